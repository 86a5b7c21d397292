// The component information record and its dialog. The dialog is laid out in
// code from the record, so the same layout serves every component.
#include "components/CompInfo.h"

#include "components/UrlLabel.h"
#include "platform/os/Shell.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"
#include "platform/ui/StdCtrls.h"

TComponentInfo::TComponentInfo(TComponent* AOwner, const std::string& AMailTo, const std::string& ALatestVersionURL,
                               const std::string& AMisc, const std::string& AVersion,
                               const std::string& ACopyrightPeriod, const std::string& ACopyrightOwner)
    : FOwner(AOwner), FVersion(AVersion), FCopyrightOwner(ACopyrightOwner), FCopyrightPeriod(ACopyrightPeriod),
      FMisc(AMisc), FLatestVersionURL(ALatestVersionURL), FMailTo(AMailTo) {}

void TComponentInfo::SetVersion(const std::string& Value) {
    if (FOwner && FOwner->ComponentState().Contains(csReading)) FVersion = Value;
}

std::string TComponentInfo::CopyrightPeriod() const {
    if (!FCopyrightPeriod.empty()) return FCopyrightPeriod;
    Word year = 0, month = 0, day = 0;
    DecodeDate(Date(), year, month, day);
    return IntToStr(year);
}

void TComponentInfo::ShowAbout() {
    std::unique_ptr<TAboutComponentDlg> dialog;
    TAboutComponentDlg* instance = nullptr;
    CreateFormInstance(instance, nullptr);
    dialog.reset(instance);
    dialog->SetInfo(this);
    dialog->ShowModal();
}

// ---- TSwitchImage -------------------------------------------------------------

TSwitchImage::TSwitchImage(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TSwitchImage::SetImages(TCustomImageList* Value) {
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) {
        FImages->FreeNotification(this);
        SetBounds(Left(), Top(), FImages->Width(), FImages->Height());
    }
    Invalidate();
}

void TSwitchImage::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

void TSwitchImage::WndProc(TMessage& Message) {
    if (Message.Msg == CM_MOUSEENTER || Message.Msg == CM_MOUSELEAVE) {
        FHot = Message.Msg == CM_MOUSEENTER;
        Invalidate();
    }
    TGraphicControl::WndProc(Message);
}

void TSwitchImage::Paint() {
    if (!FImages) return;
    const int index = FHot ? 1 : 0;
    if (index >= FImages->Count()) return;
    FImages->Draw(Canvas(), (Width() - FImages->Width()) / 2, (Height() - FImages->Height()) / 2, index);
}

// ---- TAboutComponentDlg --------------------------------------------------------

namespace {
constexpr int DialogClientWidth = 340;
constexpr int DialogClientHeight = 185;
constexpr int EnvelopeSize = 27;
constexpr int Margin = 12;
constexpr int WebInfoGap = 9;
constexpr int WrappedUrlDrop = 13;
constexpr int HeightBelowLabels = 92;
constexpr int EnvelopeAboveBottom = 71;

// An envelope, closed (picture 0) or with its flap open (picture 1), on a
// magenta background that the list masks out.
void DrawEnvelope(TCanvas* canvas, int offset, bool open) {
    constexpr TColor background = clFuchsia;
    canvas->Brush()->SetColor(background);
    canvas->FillRect(Rect(offset, 0, offset + EnvelopeSize, EnvelopeSize));
    canvas->Brush()->SetColor(open ? clWhite : clCream);
    canvas->Pen()->SetColor(clNavy);
    canvas->Rectangle(offset + 2, 7, offset + 25, 22);
    if (open)
        canvas->Polyline({Point(offset + 2, 7), Point(offset + 13, 1), Point(offset + 24, 7)});
    else
        canvas->Polyline({Point(offset + 2, 7), Point(offset + 13, 15), Point(offset + 24, 7)});
}
} // namespace

TAboutComponentDlg::TAboutComponentDlg(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Component Information");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(DialogClientWidth);
    SetClientHeight(DialogClientHeight);

    lblAbout = new TLabel(this);
    lblAbout->SetParent(this);
    lblAbout->SetBounds(Margin, Margin, DialogClientWidth - 2 * Margin, 0);
    lblAbout->SetWordWrap(true);

    lblMisc = new TLabel(this);
    lblMisc->SetParent(this);
    lblMisc->SetWordWrap(true);

    lblWebInfo = new TLabel(this);
    lblWebInfo->SetParent(this);
    lblWebInfo->SetCaption("The latest version is at");

    lblURL = new TmUrlLabel(this);
    lblURL->SetParent(this);

    btnOK = new TButton(this);
    btnOK->SetParent(this);
    btnOK->SetCaption("OK");
    btnOK->SetDefault(true);
    btnOK->SetCancel(true);
    btnOK->SetModalResult(mrOk);
    btnOK->SetBounds(DialogClientWidth - Margin - 75, 0, 75, 25);

    ImageList = new TImageList(this);
    ImageList->SetWidth(EnvelopeSize);
    ImageList->SetHeight(EnvelopeSize);
    TBitmap pictures;
    pictures.SetSize(2 * EnvelopeSize, EnvelopeSize);
    DrawEnvelope(pictures.Canvas(), 0, false);
    DrawEnvelope(pictures.Canvas(), EnvelopeSize, true);
    ImageList->AddMasked(&pictures, clFuchsia);

    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
}

TAboutComponentDlg::~TAboutComponentDlg() {
    BeforeDestruction();
}

void TAboutComponentDlg::FormCreate(TObject*) {
    Envelope = new TSwitchImage(this);
    Envelope->SetParent(this);
    Envelope->SetBounds(Margin, 0, EnvelopeSize, EnvelopeSize);
    Envelope->SetImages(ImageList);
    Envelope->SetCursor(crHandPoint);
    Envelope->OnClick = [this](TObject* Sender) { EnvelopeClick(Sender); };
}

void TAboutComponentDlg::FormDestroy(TObject*) {
    delete Envelope;
    Envelope = nullptr;
}

void TAboutComponentDlg::EnvelopeClick(TObject*) {
    if (!MailAddress.empty()) ShellExecute("open", MailAddress);
}

void TAboutComponentDlg::SetInfo(TComponentInfo* Info) {
    const std::string className = Info->Owner() ? Info->Owner()->ClassName() : std::string();
    lblAbout->SetCaption(className + " " + Info->Version() + "\r\n\r\nCopyright (C) " + Info->CopyrightPeriod() + " " +
                         Info->CopyrightOwner());
    lblMisc->SetBounds(lblAbout->Left(), lblAbout->Top() + lblAbout->Height(), lblAbout->Width(), lblMisc->Height());
    lblMisc->SetCaption(Info->Misc());
    TControl* lastShown = Info->Misc().empty() ? static_cast<TControl*>(lblAbout) : lblMisc;

    lblWebInfo->SetLeft(lblAbout->Left());
    lblWebInfo->SetTop(lastShown->Top() + lastShown->Height() + WebInfoGap);
    const std::string url = Info->LatestVersionURL();
    if (!url.empty()) {
        lblURL->SetCaption(url);
        lblURL->SetURL(url.find("://") == std::string::npos ? "http://" + url : url);
        lblURL->SetLeft(lblWebInfo->Left() + lblWebInfo->Width() + 4);
        lblURL->SetTop(lblWebInfo->Top() + lblWebInfo->Height() - lblURL->Height());
        if (lblURL->Left() + lblURL->Width() > lblAbout->Left() + lblAbout->Width()) {
            lblURL->SetBounds(lblWebInfo->Left(), lblURL->Top() + WrappedUrlDrop, lblAbout->Width(), lblURL->Height());
            lblURL->SetWordWrap(true);
        }
        lblWebInfo->Show();
        lblURL->Show();
        lastShown = lblURL;
    } else {
        lblWebInfo->Hide();
        lblURL->Hide();
    }
    SetClientHeight(lastShown->Top() + lastShown->Height() + HeightBelowLabels);

    MailAddress = Trim(Info->MailTo());
    if (Envelope) Envelope->SetVisible(!MailAddress.empty());
    if (!MailAddress.empty()) {
        if (LowerCase(MailAddress).rfind("mailto", 0) != 0) MailAddress = "mailto:" + MailAddress;
        if (MailAddress.find("?subject") == std::string::npos) MailAddress += "?subject=" + className;
    }
    if (Envelope) {
        Envelope->SetTop(ClientHeight() - EnvelopeAboveBottom);
        btnOK->SetTop(Envelope->Top() + (Envelope->Height() - btnOK->Height()) / 2);
    }
}
