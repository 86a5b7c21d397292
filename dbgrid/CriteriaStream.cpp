// Writing and reading the criteria block. A block is built whole in memory and
// written at once, so a failure leaves nothing half written; every length and
// count read is checked against the bytes left before it is used.
#include "dbgrid/CriteriaStream.h"

#include "dbgrid/FilterCriteria.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"

namespace {

const char* const SWriteError = "Stream write error";

// The fewest bytes an item takes: a group without children.
constexpr Int64 MinItemSize = 7;

void AppendCounted(std::string& Bytes, const std::string& Ansi) {
    AppendLittleEndian(Bytes, int32_t(Ansi.size()));
    Bytes += Ansi;
}

// A field name in code page 936; one with a character it cannot hold would
// name another field when read back, so the write is refused.
std::string FieldNameBytes(const std::string& FieldName) {
    if (!IsGbkRepresentable(FieldName)) throw EWriteError(SWriteError);
    return Utf8ToGbk(FieldName);
}

void WriteBytes(TStream* Stream, const std::string& Bytes) {
    Stream->WriteBuffer(Bytes.data(), Integer(Bytes.size()));
}

// Groups enclosing Item below the root, Item itself included when it is one.
int Depth(const TcvCustomCriteriaItem& Item) {
    int depth = Item.IsList() ? 1 : 0;
    for (const TcvCriteriaItemList* list = Item.Parent(); list && list->Parent(); list = list->Parent())
        ++depth;
    return depth;
}

void ReadItems(TBoundedReader& Reader, TcvCriteriaItemList& List, Int64 Count, int Depth) {
    for (Int64 i = 0; i < Count; ++i) {
        const bool isList = Reader.Number<Byte>() != 0;
        const bool negated = Reader.Number<Byte>() != 0;
        if (isList) {
            if (Depth > cvMaxCriteriaDepth) ReadError();
            TcvCriteriaItemList* group = List.AddGroup(Reader.Number<Byte>() != 0);
            ReadItems(Reader, *group, Reader.Count(MinItemSize), Depth + 1);
            group->SetNegated(negated);
        } else {
            const std::string displayText = Reader.AnsiText(Reader.Count(1));
            const std::string fieldName = Reader.AnsiText(Reader.Count(1));
            const Byte operatorIndex = Reader.Number<Byte>();
            if (operatorIndex >= cvOperatorCount) ReadError();
            const Variant value = Reader.TaggedValue(Reader.Number<Byte>());
            List.AddCondition(fieldName, operatorIndex, displayText, value)->SetNegated(negated);
        }
    }
}

} // namespace

void TcvCriteriaItemList::WriteToStream(TStream* Stream) const {
    if (Depth(*this) > cvMaxCriteriaDepth) throw EWriteError(SWriteError);
    std::string bytes{char(1), char(Negated() ? 1 : 0), char(IsOr() ? 1 : 0)};
    AppendLittleEndian(bytes, int32_t(Count()));
    WriteBytes(Stream, bytes);
    for (int i = 0; i < Count(); ++i)
        Items(i)->WriteToStream(Stream);
}

void TcvCriteriaItem::WriteToStream(TStream* Stream) const {
    std::string bytes{char(0), char(Negated() ? 1 : 0)};
    // The display text only shows the value, which keeps every character on
    // its own tag: what code page 936 cannot hold becomes '?'.
    AppendCounted(bytes, Utf8ToGbk(DisplayText()));
    AppendCounted(bytes, FieldNameBytes(FieldName()));
    bytes.push_back(char(OperatorIndex()));
    bytes += EncodeTaggedValue(Value());
    WriteBytes(Stream, bytes);
}

void TcvCriteria::WriteData(TStream* Stream) const {
    TMemoryStream block;
    std::string count;
    AppendLittleEndian(count, int32_t(Root()->Count()));
    WriteBytes(&block, count);
    for (int i = 0; i < Root()->Count(); ++i)
        Root()->Items(i)->WriteToStream(&block);
    Stream->WriteBuffer(block.Memory(), Integer(block.Size()));
}

void TcvCriteria::ReadData(TStream* Stream) {
    Clear();
    TBoundedReader reader(Stream);
    ReadItems(reader, *Root(), reader.Count(MinItemSize), 1);
}
