// The distinct values of a column that the header filter drop-down lists:
// a string list whose strings are the display texts and whose objects own
// the values, kept in value order so that each value is found by halving.
#pragma once

#include "platform/rtl/StringList.h"
#include "platform/rtl/Variants.h"

#include <string>

// A value held as a string list's object.
class TcvFilterValue : public TObject {
public:
    explicit TcvFilterValue(Variant AValue) : Value(std::move(AValue)) {}
    Variant Value;
};

class TcvDBGridFilterValues : public TStringList {
public:
    TcvDBGridFilterValues() = default;
    ~TcvDBGridFilterValues() override;

    // Strings are compared (and kept) upper-cased.
    bool CaseInsensitive() const { return FCaseInsensitive; }
    void SetCaseInsensitive(bool Value) { FCaseInsensitive = Value; }
    // The most values AddValue accepts without Append; 0: no cap.
    int MaxCount() const { return FMaxCount; }
    void SetMaxCount(int Value) { FMaxCount = Value; }

    // With CaseInsensitive a string value and its text are upper-cased first.
    // Without Append the value goes to its place in value order unless an
    // equal one is there or MaxCount values are; with Append it goes last,
    // unchecked.
    void AddValue(const std::string& DisplayText, const Variant& Value, bool Append);
    // True when an equal value is listed: Index is the first equal entry;
    // otherwise Index is where Value would go.
    bool FindValue(const Variant& Value, int& Index) const;
    // The value of entry Index.
    const Variant& Value(int Index) const;
    // A total order that never raises: VarCompare, with strings upper-cased
    // under CaseInsensitive, so halving neither doubles nor misses a value
    // whatever kinds the column mixes.
    int CompareValues(const Variant& A, const Variant& B) const;

    // Both free the values they drop.
    void Delete(int Index) override;
    void Clear() override;

private:
    bool FCaseInsensitive = false;
    int FMaxCount = 0;
};
