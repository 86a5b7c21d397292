// The filter drop-down's value list: objects are owned TcvFilterValue
// entries, sorted by CompareValues unless appended.
#include "dbgrid/FilterValues.h"

#include "platform/rtl/SysUtils.h"

namespace {

// The value as the case-insensitive list keeps it (a wide string stays one).
Variant UpperCased(const Variant& Value) {
    const std::string text = AnsiUpperCase(Value.AsString());
    return Value.VarType() == varOleStr ? Variant::FromOleStr(text) : Variant(text);
}

} // namespace

TcvDBGridFilterValues::~TcvDBGridFilterValues() {
    Clear();
}

void TcvDBGridFilterValues::AddValue(const std::string& DisplayText, const Variant& Value, bool Append) {
    const bool upperCase = FCaseInsensitive && VarIsStr(Value);
    const std::string text = upperCase ? AnsiUpperCase(DisplayText) : DisplayText;
    const Variant value = upperCase ? UpperCased(Value) : Value;
    if (Append) {
        AddObject(text, new TcvFilterValue(value));
        return;
    }
    int index = 0;
    if ((FMaxCount != 0 && Count() >= FMaxCount) || FindValue(value, index)) return;
    InsertObject(index, text, new TcvFilterValue(value));
}

bool TcvDBGridFilterValues::FindValue(const Variant& Value, int& Index) const {
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int order = CompareValues(this->Value(middle), Value);
        if (order < 0) {
            low = middle + 1;
        } else {
            // Going on to the left finds the first of equal entries.
            if (order == 0) found = true;
            high = middle - 1;
        }
    }
    Index = low;
    return found;
}

const Variant& TcvDBGridFilterValues::Value(int Index) const {
    return static_cast<const TcvFilterValue*>(Objects(Index))->Value;
}

int TcvDBGridFilterValues::CompareValues(const Variant& A, const Variant& B) const {
    if (FCaseInsensitive && VarIsStr(A) && VarIsStr(B)) return VarCompare(UpperCased(A), UpperCased(B));
    return VarCompare(A, B);
}

void TcvDBGridFilterValues::Delete(int Index) {
    delete Objects(Index);
    TStringList::Delete(Index);
}

void TcvDBGridFilterValues::Clear() {
    for (int i = 0; i < Count(); ++i)
        delete Objects(i);
    TStringList::Clear();
}
