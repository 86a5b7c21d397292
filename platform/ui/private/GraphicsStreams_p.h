// Picture bytes in streams, shared by the bitmap and the icon, PNG and JPEG
// pictures: each reads from the stream's position to its end.
#pragma once

#include "platform/rtl/Types.h"

#include <QImage>

#include <vector>

class TStream;

namespace platform_ui {

// The bytes from the stream's position to its end.
std::vector<Byte> ReadRest(TStream* Stream);
// The rest of the stream decoded in a file format ("BMP", "PNG"; nullptr guesses);
// EInvalidGraphic with `error` when it does not decode.
QImage ReadImage(TStream* Stream, const char* format, const char* error);
// The image encoded in a file format, written at the stream's position.
void WriteImage(TStream* Stream, const QImage& image, const char* format);

} // namespace platform_ui
