// Test hooks for the system clipboard as other programs use it: they go to
// Qt's clipboard directly, never through the program's own clipboard object.
#pragma once

#include <cstdint>

namespace platform_ui::test {

// Another program copies a Width x Height picture of one colour (0x00RRGGBB).
void CopyPictureFromOtherProgram(int Width, int Height, uint32_t Rgb);
// Another program copies a text.
void CopyTextFromOtherProgram(const char* Text);

} // namespace platform_ui::test
