#include "platform/ui/GraphicsProperties.h"

#include "platform/rtl/ComponentStreaming.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Graphics.h"

void RegisterGraphicsProperties() {
    static const bool registered = [] {
        TPropertyTableOf<TFont>()
            .Value("Charset", DEFAULT_CHARSET, &TFont::Charset, &TFont::SetCharset)
            .Value("Color", clWindowText, &TFont::Color, &TFont::SetColor)
            .Value("Height", -12, &TFont::Height, &TFont::SetHeight)
            .Value("Name", "宋体", &TFont::Name, &TFont::SetName)
            .Value("Pitch", int(fpDefault), &TFont::Pitch, &TFont::SetPitch)
            .Value("Style", 0, &TFont::Style, &TFont::SetStyle)
            .Register();
        return true;
    }();
    (void)registered;
}
