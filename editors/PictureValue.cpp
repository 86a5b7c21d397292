// Picture blobs: the optional header skipped on reading, never written.
#include "editors/PictureValue.h"

#include <algorithm>
#include <cstring>
#include <memory>

void TMemoryStreamReadOnly::SetPointer(const void* Data, Int64 Size) {
    FData = static_cast<const char*>(Data);
    FSize = Size;
    FPosition = 0;
}

Integer TMemoryStreamReadOnly::Read(void* Buffer, Integer Count) {
    if (Count <= 0 || FPosition < 0 || FPosition >= FSize) return 0;
    const Integer n = static_cast<Integer>(std::min<Int64>(Count, FSize - FPosition));
    std::memcpy(Buffer, FData + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

Integer TMemoryStreamReadOnly::Write(const void* Buffer, Integer Count) {
    (void)Buffer, (void)Count;
    return 0;
}

Int64 TMemoryStreamReadOnly::Seek(Int64 Offset, TSeekOrigin Origin) {
    const Int64 base = Origin == soBeginning ? 0 : Origin == soCurrent ? FPosition : FSize;
    FPosition = base + Offset;
    return FPosition;
}

namespace {

constexpr int HeaderSize = 8;

uint32_t LittleEndianAt(const std::string& S, size_t At, int Bytes) {
    uint32_t value = 0;
    for (int i = Bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(S[At + static_cast<size_t>(i)]);
    return value;
}

bool HasPictureHeader(const std::string& S) {
    return LittleEndianAt(S, 0, 2) == 1 && LittleEndianAt(S, 2, 2) == 0x0100 &&
           LittleEndianAt(S, 4, 4) == S.size() - HeaderSize;
}

} // namespace

namespace cvExEdtr {

void LoadPictureFromValue(TPicture* Picture, const TGraphicClass& GraphicClass, const Variant& Value) {
    if (Value.VarType() != varString || Value.AsString().size() < HeaderSize) {
        Picture->SetGraphic(nullptr);
        return;
    }
    const std::string bytes = Value.AsString();
    TMemoryStreamReadOnly stream;
    stream.SetPointer(bytes.data(), static_cast<Int64>(bytes.size()));
    if (HasPictureHeader(bytes)) stream.SetPosition(HeaderSize);
    if (stream.Position() >= stream.Size()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    if (!GraphicClass) {
        Picture->Bitmap()->LoadFromStream(&stream);
        return;
    }
    std::unique_ptr<TGraphic> graphic(GraphicClass());
    graphic->LoadFromStream(&stream);
    Picture->SetGraphic(graphic.get());
}

void SavePictureToString(TPicture* Picture, std::string& S) {
    S.clear();
    if (IsPictureEmpty(Picture)) return;
    TMemoryStream stream;
    Picture->Graphic()->SaveToStream(&stream);
    S.assign(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

bool IsPictureEmpty(const TPicture* Picture) {
    return !Picture || !Picture->Graphic() || Picture->Graphic()->Empty();
}

TGraphicClass GraphicClassOf(const TGraphic& Graphic) {
    std::shared_ptr<const TGraphic> sample(Graphic.CreateSameKind());
    return [sample] { return sample->CreateSameKind(); };
}

} // namespace cvExEdtr
