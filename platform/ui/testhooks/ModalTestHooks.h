// Test hooks for what Qt runs in a loop of its own (message boxes, file
// dialogs, drop-down menus), without Qt types: what the next one showed,
// read while it is up, after which it is closed without a choice.
#pragma once

#include "platform/ui/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform_ui::test {

// What a modal dialog showed: its title, a message box's text, its push
// buttons from left to right (texts and rectangles in dialog coordinates, the
// default one's index) and its picture as 0x00RRGGBB pixels, row by row.
struct TShownDialog {
    std::string Title;
    std::string Text;
    std::vector<std::string> ButtonTexts;
    std::vector<TRect> ButtonRects;
    int DefaultButton = -1;
    TSize Size{};
    std::vector<uint32_t> Pixels;
    bool Seen = false;
    // A window of ours held the mouse (its capture or Qt's grab) while it was up.
    bool MouseHeld = false;

    uint32_t Pixel(int X, int Y) const { return Pixels[static_cast<size_t>(Y * Size.cx + X)]; }
};

// The next modal dialog that runs is recorded into Shown once it is up, then
// closed as if cancelled. Shown must outlive that dialog.
void CloseNextDialog(TShownDialog& Shown);

struct TShownMenu {
    bool Seen = false;
    std::string ActiveItem; // the highlighted entry's text, empty when none
    bool MouseHeld = false; // as for a dialog
};

// The next drop-down menu that opens is recorded into Shown once it is up,
// then closed without a choice. Shown must outlive that menu.
void CloseNextMenu(TShownMenu& Shown);

} // namespace platform_ui::test
