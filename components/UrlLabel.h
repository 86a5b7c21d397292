// A label that opens a web or mail address when clicked: blue, bold and
// underlined, with a hand cursor, turning ActiveColor while the mouse is over it.
#pragma once

#include "platform/ui/StdCtrls.h"

#include <string>

class TmUrlLabel : public TLabel {
public:
    explicit TmUrlLabel(TComponent* AOwner);

    const std::string& URL() const { return FURL; }
    // A label still captioned with its name takes the address as its caption too.
    void SetURL(const std::string& Value);
    TColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(TColor Value) { FActiveColor = Value; }

    // Opens the trimmed URL, or the trimmed caption when there is no URL.
    void Click() override;
    void WndProc(TMessage& Message) override;

private:
    std::string FURL;
    TColor FSavedColor = clBlue;
    TColor FActiveColor = clPurple;
};
