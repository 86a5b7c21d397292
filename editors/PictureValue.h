// Pictures as the database keeps them: a blob value holding the graphic's own
// file bytes, optionally behind an 8-byte header (16-bit 1, 16-bit 0x0100,
// 32-bit length of the rest). Read through a stream laid over the value's
// bytes, so a picture loads without a copy of its blob.
#pragma once

#include "platform/rtl/Streams.h"
#include "platform/rtl/Variants.h"
#include "platform/ui/Graphics.h"

#include <string>

// A stream over bytes it does not own; it never writes.
class TMemoryStreamReadOnly : public TStream {
public:
    // The bytes must outlive the stream's use; the position goes to 0.
    void SetPointer(const void* Data, Int64 Size);
    Integer Read(void* Buffer, Integer Count) override;
    Integer Write(const void* Buffer, Integer Count) override; // answers 0
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return FSize; }
    void SetSize(Int64 NewSize) override { (void)NewSize; }

private:
    const char* FData = nullptr;
    Int64 FSize = 0;
    Int64 FPosition = 0;
};

namespace cvExEdtr {

// Loads a blob value into Picture: a value that is not a string, one shorter
// than 8 bytes or one with nothing after its header empties it. Without a
// GraphicClass the bytes load as a bitmap; with one, as a graphic of that
// class. A value the graphic cannot read raises its load error.
void LoadPictureFromValue(TPicture* Picture, const TGraphicClass& GraphicClass, const Variant& Value);
// The graphic's own file bytes, without a header; empty for an empty picture.
void SavePictureToString(TPicture* Picture, std::string& S);
// No picture, no graphic, or an empty graphic.
bool IsPictureEmpty(const TPicture* Picture);
// The class of Graphic's kind: new, empty graphics of the same kind.
TGraphicClass GraphicClassOf(const TGraphic& Graphic);

} // namespace cvExEdtr
