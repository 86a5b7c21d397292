// The URL label: opens its address through the shell.
#include "components/UrlLabel.h"

#include "platform/os/Shell.h"
#include "platform/rtl/SysUtils.h"
#include "platform/ui/Graphics.h"
#include "platform/ui/Messages.h"

TmUrlLabel::TmUrlLabel(TComponent* AOwner) : TLabel(AOwner) {
    SetLayout(tlCenter);
    SetCursor(crHandPoint);
    Font()->SetColor(clBlue);
    Font()->SetStyle(TFontStyles{fsBold, fsUnderline});
}

void TmUrlLabel::SetURL(const std::string& Value) {
    FURL = Value;
    if (Caption() == Name()) SetCaption(Value);
}

void TmUrlLabel::Click() {
    TLabel::Click();
    std::string target = Trim(FURL);
    if (target.empty()) target = Trim(Caption());
    if (!target.empty()) ShellExecute("open", target);
}

void TmUrlLabel::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        FSavedColor = Font()->Color();
        Font()->SetColor(FActiveColor);
        break;
    case CM_MOUSELEAVE:
        Font()->SetColor(FSavedColor);
        break;
    default:
        break;
    }
    TLabel::WndProc(Message);
}
