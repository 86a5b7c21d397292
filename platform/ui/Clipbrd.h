// The clipboard: text and pictures, on the system clipboard through Qt.
#pragma once

#include "platform/rtl/Classes.h"
#include "platform/ui/WinTypes.h"

#include <string>

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_UNICODETEXT = 13;

class TClipboard : public TPersistent {
public:
    std::string AsText() const;
    void SetAsText(const std::string& Value);
    bool HasFormat(UINT Format) const;
    void Clear();
    // Puts a TBitmap or a TPicture's graphic on the clipboard.
    void Assign(TPersistent* Source) override;
    // Fills a TBitmap or TPicture from the clipboard's picture.
    void AssignTo(TPersistent* Dest) override;
};

// The one clipboard object of the program.
TClipboard* Clipboard();
