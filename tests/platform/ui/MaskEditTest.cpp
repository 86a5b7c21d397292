// The edits' Modified flag and what the masked edit does with it: validation
// when the focus leaves only after the user's changes, Escape abandoning them;
// and a masked edit's shown text kept whole when its window is made anew.
#include "UiTestSupport.h"

#include "platform/ui/Forms.h"
#include "platform/ui/Mask.h"
#include "platform/ui/StdCtrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace uitest;

namespace {

// A form with a masked edit for "0000;0;_", a plain edit after it and a
// cancel button that counts its clicks.
struct MaskForm {
    TForm* Form = nullptr;
    TMaskEdit* Masked = nullptr;
    TEdit* Plain = nullptr;
    TButton* Cancel = nullptr;
    int Cancels = 0;

    MaskForm() {
        CreateFormInstance(Form, nullptr);
        Form->SetBounds(10, 10, 300, 200);
        Masked = new TMaskEdit(Form);
        Masked->SetParent(Form);
        Masked->SetBounds(8, 8, 120, 21);
        Masked->SetEditMask("0000;0;_");
        Plain = new TEdit(Form);
        Plain->SetParent(Form);
        Plain->SetBounds(8, 40, 120, 21);
        Cancel = new TButton(Form);
        Cancel->SetParent(Form);
        Cancel->SetBounds(8, 72, 75, 25);
        Cancel->SetCancel(true);
        Cancel->OnClick = [this](TObject*) { ++Cancels; };
        Form->Show();
    }
    ~MaskForm() { delete Form; }
};

} // namespace

TEST(MaskEdit, ModifiedComesFromTheUsersEditingOnly) {
    struct Case {
        const char* Name;
        std::function<void(TCustomEdit*)> Act;
        bool Modified;
    };
    const Case cases[] = {
        {"window made", [](TCustomEdit*) {}, false},
        {"text by code", [](TCustomEdit* e) { e->SetText("12"); }, false},
        {"typed", [](TCustomEdit* e) { TypeText(e, "1234"); }, true},
        {"typed, then text by code",
         [](TCustomEdit* e) {
             TypeText(e, "1234");
             e->SetText("34");
         },
         false},
        {"typed, then the window made anew",
         [](TCustomEdit* e) {
             TypeText(e, "1234");
             e->RecreateWnd();
         },
         true},
    };
    for (const Case& c : cases) {
        DialogRecorder boxes;
        MaskForm f;
        for (TCustomEdit* edit : {static_cast<TCustomEdit*>(f.Masked), static_cast<TCustomEdit*>(f.Plain)}) {
            edit->SetFocus();
            c.Act(edit);
            EXPECT_EQ(edit->Modified(), c.Modified) << c.Name << (edit == f.Masked ? ", masked" : ", plain");
        }
    }
}

TEST(MaskEdit, LeavingValidatesOnlyWhatTheUserChanged) {
    struct Case {
        const char* Name;
        std::function<void(TMaskEdit*)> Act;
        bool Refused;
    };
    const Case cases[] = {
        {"untouched", [](TMaskEdit*) {}, false},
        {"short value by code", [](TMaskEdit* e) { e->SetText("12"); }, false},
        {"short value typed", [](TMaskEdit* e) { TypeText(e, "12"); }, true},
        {"whole value typed", [](TMaskEdit* e) { TypeText(e, "1234"); }, false},
    };
    for (const Case& c : cases) {
        DialogRecorder boxes;
        MaskForm f;
        f.Masked->SetFocus();
        c.Act(f.Masked);
        Type(f.Masked, VK_TAB);
        EXPECT_EQ(boxes.Count(TDialogKind::MessageBox), c.Refused ? 1 : 0) << c.Name;
        EXPECT_EQ(FocusedControl(), c.Refused ? static_cast<TWinControl*>(f.Masked) : f.Plain) << c.Name;
    }
}

TEST(MaskEdit, EscapeAbandonsTheUsersChangesBeforeTheCancelButtonSeesIt) {
    MaskForm f;
    f.Masked->SetText("2023");
    f.Masked->SetFocus();
    f.Masked->SetSelStart(0);
    TypeText(f.Masked, "19");
    ASSERT_EQ(f.Masked->Text(), "1923");
    Type(f.Masked, VK_ESCAPE, "\x1b");
    EXPECT_EQ(f.Masked->Text(), "2023");
    EXPECT_FALSE(f.Masked->Modified());
    EXPECT_EQ(f.Masked->SelLength(), 4);
    EXPECT_EQ(f.Cancels, 0);
    // With nothing left to abandon, Escape is the form's again.
    Type(f.Masked, VK_ESCAPE, "\x1b");
    EXPECT_EQ(f.Cancels, 1);
    EXPECT_EQ(f.Masked->Text(), "2023");
}

TEST(MaskEdit, MakingTheWindowAnewKeepsBlanksInPlace) {
    struct Case {
        const char* Mask;
        const char* Shown;
        bool FormWindow; // the form's window made anew, or the edit's own
    };
    const Case cases[] = {
        {"9999年99月;0;_", "2024年_5月", true},
        {"9999年99月;0;_", "2024年_5月", false},
        {"9999-9999;1;_", "1_3_-_6_8", true},
    };
    for (const Case& c : cases) {
        TForm* form = nullptr;
        CreateFormInstance(form, nullptr);
        form->SetBounds(10, 10, 300, 200);
        auto* edit = new TMaskEdit(form);
        edit->SetParent(form);
        edit->SetBounds(8, 8, 150, 21);
        edit->SetEditMask(c.Mask);
        form->Show();
        edit->SetEditText(c.Shown);
        ASSERT_EQ(edit->EditText(), c.Shown) << c.Mask;
        const std::string text = edit->Text();
        if (c.FormWindow)
            form->SetBorderStyle(bsDialog);
        else
            edit->RecreateWnd();
        ProcessMessages();
        EXPECT_EQ(edit->EditText(), c.Shown) << c.Mask << (c.FormWindow ? ", form" : ", edit");
        EXPECT_EQ(edit->Text(), text) << c.Mask;
        delete form;
    }
}
