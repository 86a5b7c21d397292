// The URL label and the component information record with its dialog.
#include "components/UrlLabel.h"
#include "components/CompInfo.h"

#include "platform/os/Shell.h"
#include "platform/rtl/DateTime.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Timers.h"

#include <gtest/gtest.h>

namespace {

// Records what the shell would open.
class LaunchRecorder {
public:
    LaunchRecorder() {
        FPrevious = SetShellLauncher([this](const std::string& target) {
            Opened.push_back(target);
            return SE_SUCCESS;
        });
    }
    ~LaunchRecorder() { SetShellLauncher(FPrevious); }
    std::vector<std::string> Opened;

private:
    TShellLauncher FPrevious;
};

class UrlLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = std::make_unique<TForm>(nullptr);
        Label = new TmUrlLabel(Form.get());
        Label->SetParent(Form.get());
    }
    std::unique_ptr<TForm> Form;
    TmUrlLabel* Label = nullptr;
    LaunchRecorder Shell;
};

TEST_F(UrlLabelTest, StartsBlueBoldUnderlinedWithAHand) {
    EXPECT_EQ(Label->Font()->Color(), clBlue);
    EXPECT_EQ(Label->Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(Label->Cursor(), crHandPoint);
    EXPECT_EQ(Label->Layout(), tlCenter);
    EXPECT_EQ(Label->ActiveColor(), clPurple);
}

TEST_F(UrlLabelTest, ClickOpensTheTrimmedUrlOrElseTheCaption) {
    struct Case {
        const char* Url;
        const char* Caption;
        std::vector<std::string> Opened;
    } cases[] = {
        {"  http://example.org/a  ", "caption", {"http://example.org/a"}},
        {"", " http://example.org/caption ", {"http://example.org/caption"}},
        {"", "", {}},
        {"  ", "  ", {}},
    };
    for (const auto& c : cases) {
        Shell.Opened.clear();
        Label->SetCaption(c.Caption);
        Label->SetURL(c.Url);
        Label->SetCaption(c.Caption);
        Label->Click();
        EXPECT_EQ(Shell.Opened, c.Opened) << c.Url << "|" << c.Caption;
    }
}

TEST_F(UrlLabelTest, UrlBecomesTheCaptionOnlyWhileTheCaptionIsTheName) {
    Label->SetName("mUrlLabel1");
    Label->SetCaption("mUrlLabel1");
    Label->SetURL("http://a.example");
    EXPECT_EQ(Label->Caption(), "http://a.example");
    Label->SetCaption("home page");
    Label->SetURL("http://b.example");
    EXPECT_EQ(Label->Caption(), "home page");
}

TEST_F(UrlLabelTest, MouseOverShowsTheActiveColourAndLeavingRestoresIt) {
    Label->Font()->SetColor(clGreen);
    Label->Perform(CM_MOUSEENTER);
    EXPECT_EQ(Label->Font()->Color(), clPurple);
    Label->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(Label->Font()->Color(), clGreen);
}

class TInfoOwner : public TComponent {
public:
    using TComponent::TComponent;
};

TEST(ComponentInfo, EmptyPeriodReadsAsTheCurrentYear) {
    TClockScope clock(EncodeDate(2026, 5, 1));
    TInfoOwner owner(nullptr);
    TComponentInfo info(&owner, "", "", "", "1.0", "", "us");
    EXPECT_EQ(info.CopyrightPeriod(), "2026");
    info.SetCopyrightPeriod("1999-2001");
    EXPECT_EQ(info.CopyrightPeriod(), "1999-2001");
}

TEST(ComponentInfo, VersionIsTakenOnlyWhileTheOwnerIsRead) {
    TInfoOwner owner(nullptr);
    TComponentInfo info(&owner, "", "", "", "1.0", "", "");
    info.SetVersion("2.0");
    EXPECT_EQ(info.Version(), "1.0");
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override { CreateFormInstance(Dialog, nullptr); }
    void TearDown() override { delete Dialog; }
    TAboutComponentDlg* Dialog = nullptr;
    TInfoOwner Owner{nullptr};
    LaunchRecorder Shell;
};

TEST_F(AboutDialogTest, MailAddressGainsSchemeAndSubjectOnce) {
    struct Case {
        const char* MailTo;
        const char* Address;
    } cases[] = {
        {" someone@example.org ", "mailto:someone@example.org?subject=TInfoOwner"},
        {"MAILTO:a@example.org", "MAILTO:a@example.org?subject=TInfoOwner"},
        {"a@example.org?subject=Hello", "mailto:a@example.org?subject=Hello"},
    };
    for (const auto& c : cases) {
        TComponentInfo info(&Owner, c.MailTo, "", "", "1.0", "2026", "us");
        Dialog->SetInfo(&info);
        EXPECT_EQ(Dialog->MailAddress, c.Address);
        EXPECT_TRUE(Dialog->Envelope->Visible());
        Shell.Opened.clear();
        Dialog->Envelope->Click();
        EXPECT_EQ(Shell.Opened, std::vector<std::string>{c.Address});
    }
}

TEST_F(AboutDialogTest, NoMailAddressHidesTheEnvelope) {
    TComponentInfo info(&Owner, "  ", "", "", "1.0", "2026", "us");
    Dialog->SetInfo(&info);
    EXPECT_FALSE(Dialog->Envelope->Visible());
    Dialog->EnvelopeClick(Dialog->Envelope);
    EXPECT_TRUE(Shell.Opened.empty());
}

TEST_F(AboutDialogTest, WebAddressGetsHttpAndTheLabelsShowOnlyWithOne) {
    TComponentInfo with(&Owner, "", "www.example.org/latest", "thanks", "1.0", "2026", "us");
    Dialog->SetInfo(&with);
    EXPECT_TRUE(Dialog->lblURL->Visible());
    EXPECT_TRUE(Dialog->lblWebInfo->Visible());
    EXPECT_EQ(Dialog->lblURL->URL(), "http://www.example.org/latest");
    EXPECT_EQ(Dialog->lblURL->Caption(), "www.example.org/latest");
    EXPECT_EQ(Dialog->lblWebInfo->Top(), Dialog->lblMisc->Top() + Dialog->lblMisc->Height() + 9);
    EXPECT_EQ(Dialog->ClientHeight(), Dialog->lblURL->Top() + Dialog->lblURL->Height() + 92);

    TComponentInfo without(&Owner, "", "", "", "1.0", "2026", "us");
    Dialog->SetInfo(&without);
    EXPECT_FALSE(Dialog->lblURL->Visible());
    EXPECT_FALSE(Dialog->lblWebInfo->Visible());
    EXPECT_EQ(Dialog->ClientHeight(), Dialog->lblAbout->Top() + Dialog->lblAbout->Height() + 92);
    EXPECT_NE(Dialog->lblAbout->Caption().find("TInfoOwner 1.0"), std::string::npos);
}

TEST_F(AboutDialogTest, SecureAddressKeepsItsScheme) {
    TComponentInfo info(&Owner, "", "https://example.org", "", "1.0", "2026", "us");
    Dialog->SetInfo(&info);
    EXPECT_EQ(Dialog->lblURL->URL(), "https://example.org");
}

TEST(ComponentInfo, ShowAboutShowsTheDialogModallyForTheRecord) {
    TInfoOwner owner(nullptr);
    TComponentInfo info(&owner, "a@example.org", "", "", "3.1", "2026", "us");
    std::string shownText;
    bool wasModal = false;
    // Closes the dialog from inside its modal loop, as the user's OK would.
    SetTimer(nullptr, 0, 10, [&](HWND, UINT, UINT_PTR id, DWORD) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* dialog = dynamic_cast<TAboutComponentDlg*>(Screen->Forms(i)); dialog && dialog->Modal()) {
                KillTimer(nullptr, id);
                wasModal = dialog->Modal();
                shownText = dialog->lblAbout->Caption();
                dialog->btnOK->Click();
                return;
            }
    });
    info.ShowAbout();
    EXPECT_TRUE(wasModal);
    EXPECT_NE(shownText.find("TInfoOwner 3.1"), std::string::npos);
}

TEST_F(AboutDialogTest, EnvelopeShowsThePictureOfItsState) {
    EXPECT_EQ(Dialog->Envelope->Width(), 27);
    EXPECT_EQ(Dialog->Envelope->Height(), 27);
    Dialog->Envelope->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(Dialog->Envelope->Hot());
    Dialog->Envelope->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(Dialog->Envelope->Hot());
}

} // namespace
