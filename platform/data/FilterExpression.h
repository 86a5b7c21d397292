// The dataset's Filter text, parsed once and evaluated per record in memory;
// it never reaches SQL. Grammar: conditions joined by AND and OR (AND binds
// tighter), NOT (...), parentheses; a condition is "operand op operand" with
// = <> > < >= <=, or "operand Is [Not] Null"; operands are field names (bare
// or [bracketed]), quoted strings ('' for a quote), numbers and True/False.
// A quoted literal compared with a date field is read as a date, with a
// number field as a number. "Is Null" also holds for an empty text.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/rtl/Variants.h"

class TField;

class TFilterExpression {
public:
    using TFindField = std::function<TField*(const std::string& Name)>;
    using TFieldValue = std::function<Variant(const TField* Field)>;

    // Raises EDatabaseError on a syntax error or an unknown field.
    TFilterExpression(const std::string& Text, const TFindField& FindField);
    ~TFilterExpression();

    bool Evaluate(const TFieldValue& ValueOf, bool CaseInsensitive) const;

    struct TNode;

private:
    std::unique_ptr<TNode> FRoot;
};
