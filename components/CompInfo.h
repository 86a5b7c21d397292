// The version and author record a component publishes as its Info property,
// and the small dialog that shows it (opened only by design-time tools).
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/ImageList.h"

#include <string>

class TLabel;
class TButton;
class TmUrlLabel;

class TComponentInfo : public TPersistent {
public:
    TComponentInfo(TComponent* AOwner, const std::string& AMailTo, const std::string& ALatestVersionURL,
                   const std::string& AMisc, const std::string& AVersion, const std::string& ACopyrightPeriod,
                   const std::string& ACopyrightOwner);

    TComponent* Owner() const { return FOwner; }
    const std::string& Version() const { return FVersion; }
    // Taken only while the owner is read from a form.
    void SetVersion(const std::string& Value);
    // The current year when no period is recorded.
    std::string CopyrightPeriod() const;
    void SetCopyrightPeriod(const std::string& Value) { FCopyrightPeriod = Value; }
    const std::string& CopyrightOwner() const { return FCopyrightOwner; }
    const std::string& Misc() const { return FMisc; }
    const std::string& LatestVersionURL() const { return FLatestVersionURL; }
    const std::string& MailTo() const { return FMailTo; }
    const std::string& FileImageVersion() const { return FFileImageVersion; }

    void ShowAbout();

private:
    TComponent* FOwner;
    std::string FVersion;
    std::string FCopyrightOwner;
    std::string FCopyrightPeriod;
    std::string FMisc;
    std::string FLatestVersionURL;
    std::string FMailTo;
    std::string FFileImageVersion;
};

// Shows picture 0 of Images, picture 1 while the mouse is over it.
class TSwitchImage : public TGraphicControl {
public:
    explicit TSwitchImage(TComponent* AOwner);

    TCustomImageList* Images() const { return FImages; }
    // Sizes the control to the list's pictures.
    void SetImages(TCustomImageList* Value);
    bool Hot() const { return FHot; }
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomImageList* FImages = nullptr;
    bool FHot = false;
};

class TAboutComponentDlg : public TForm {
public:
    explicit TAboutComponentDlg(TComponent* AOwner);
    // OnDestroy frees the envelope while the dialog is whole.
    ~TAboutComponentDlg() override;

    // Lays the dialog out for Info: texts, addresses, what shows and the height.
    void SetInfo(TComponentInfo* Info);

    TLabel* lblAbout = nullptr;
    TLabel* lblMisc = nullptr;
    TLabel* lblWebInfo = nullptr;
    TmUrlLabel* lblURL = nullptr;
    TButton* btnOK = nullptr;
    TImageList* ImageList = nullptr;
    TSwitchImage* Envelope = nullptr;
    // The mail address the envelope opens ("mailto:...?subject=...").
    std::string MailAddress;

    void FormCreate(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void EnvelopeClick(TObject* Sender);
};
