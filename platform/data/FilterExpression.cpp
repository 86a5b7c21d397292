// Recursive-descent parser and evaluator of the dataset's filter text.
// Literals next to a field are converted to the field's type once, when the
// text is parsed, so evaluating a record only compares values.
#include "platform/data/FilterExpression.h"

#include <cctype>

#include "platform/data/DB.h"

namespace {

enum TCompareOp { coEqual, coNotEqual, coGreater, coLess, coGreaterEqual, coLessEqual };

enum TTokenKind { tkEnd, tkOpen, tkClose, tkOperator, tkName, tkBracketName, tkString, tkNumber };

struct TToken {
    TTokenKind Kind = tkEnd;
    std::string Text;
    TCompareOp Op = coEqual;
};

bool IsNameChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 0x80;
}

[[noreturn]] void SyntaxError(const std::string& Text) {
    throw EDatabaseError("Invalid filter expression: " + Text);
}

} // namespace

struct TFilterExpression::TNode {
    enum TKind { nkAnd, nkOr, nkNot, nkCompare, nkIsNull, nkField, nkLiteral };
    TKind Kind = nkLiteral;
    std::unique_ptr<TNode> Left;
    std::unique_ptr<TNode> Right;
    TCompareOp Op = coEqual;
    bool Negated = false; // Is Not Null
    TField* Field = nullptr;
    Variant Value;
};

namespace {

using TNode = TFilterExpression::TNode;
using TNodePtr = std::unique_ptr<TNode>;

class TParser {
public:
    TParser(const std::string& Text, const TFilterExpression::TFindField& FindField)
        : FText(Text), FFindField(FindField) {
        Advance();
    }

    TNodePtr ParseAll() {
        TNodePtr result = ParseOr();
        if (FToken.Kind != tkEnd) SyntaxError(FText);
        return result;
    }

private:
    bool AtKeyword(const char* Word) const { return FToken.Kind == tkName && SameText(FToken.Text, Word); }

    TNodePtr ParseOr() {
        TNodePtr left = ParseAnd();
        while (AtKeyword("OR")) {
            Advance();
            left = Binary(TNode::nkOr, std::move(left), ParseAnd());
        }
        return left;
    }

    TNodePtr ParseAnd() {
        TNodePtr left = ParseNot();
        while (AtKeyword("AND")) {
            Advance();
            left = Binary(TNode::nkAnd, std::move(left), ParseNot());
        }
        return left;
    }

    TNodePtr ParseNot() {
        if (AtKeyword("NOT")) {
            Advance();
            auto node = std::make_unique<TNode>();
            node->Kind = TNode::nkNot;
            node->Left = ParseNot();
            return node;
        }
        return ParseCondition();
    }

    TNodePtr ParseCondition() {
        if (FToken.Kind == tkOpen) {
            Advance();
            TNodePtr inner = ParseOr();
            if (FToken.Kind != tkClose) SyntaxError(FText);
            Advance();
            return inner;
        }
        TNodePtr left = ParseOperand();
        if (AtKeyword("IS")) {
            Advance();
            auto node = std::make_unique<TNode>();
            node->Kind = TNode::nkIsNull;
            if (AtKeyword("NOT")) {
                node->Negated = true;
                Advance();
            }
            if (!AtKeyword("NULL")) SyntaxError(FText);
            Advance();
            node->Left = std::move(left);
            return node;
        }
        if (FToken.Kind != tkOperator) SyntaxError(FText);
        auto node = std::make_unique<TNode>();
        node->Kind = TNode::nkCompare;
        node->Op = FToken.Op;
        Advance();
        node->Left = std::move(left);
        node->Right = ParseOperand();
        CoerceLiteral(*node->Left, *node->Right);
        CoerceLiteral(*node->Right, *node->Left);
        return node;
    }

    TNodePtr ParseOperand() {
        auto node = std::make_unique<TNode>();
        switch (FToken.Kind) {
        case tkName:
            if (SameText(FToken.Text, "TRUE") || SameText(FToken.Text, "FALSE")) {
                node->Value = Variant(SameText(FToken.Text, "TRUE"));
                break;
            }
            if (SameText(FToken.Text, "NULL")) {
                node->Value = Null();
                break;
            }
            [[fallthrough]];
        case tkBracketName:
            node->Kind = TNode::nkField;
            node->Field = FFindField(FToken.Text);
            if (!node->Field) throw EDatabaseError("Field '" + FToken.Text + "' not found");
            break;
        case tkString:
            node->Value = Variant(FToken.Text);
            break;
        case tkNumber: {
            Int64 i;
            if (TryStrToInt64(FToken.Text, i))
                node->Value = Variant(i);
            else
                node->Value = Variant(StrToFloat(FToken.Text));
            break;
        }
        default:
            SyntaxError(FText);
        }
        Advance();
        return node;
    }

    static TNodePtr Binary(TNode::TKind Kind, TNodePtr Left, TNodePtr Right) {
        auto node = std::make_unique<TNode>();
        node->Kind = Kind;
        node->Left = std::move(Left);
        node->Right = std::move(Right);
        return node;
    }

    // A literal compared with a field takes the field's type, so that '42'
    // matches the number 42 and '2024-05-01' a date.
    static void CoerceLiteral(const TNode& FieldNode, TNode& Literal) {
        if (FieldNode.Kind != TNode::nkField || Literal.Kind != TNode::nkLiteral) return;
        const Variant& v = Literal.Value;
        if (v.IsNull()) return;
        switch (FieldNode.Field->DataType()) {
        case ftBCD: {
            // Money compares exactly, as Currency.
            Int64 c;
            if (v.VarType() == varString ? TryStrToCurr(v.AsString(), c) : v.IsNumeric())
                Literal.Value = Variant::FromCurrency(v.VarType() == varString ? c : v.AsCurrency());
            break;
        }
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftFloat:
        case ftCurrency:
        case ftAutoInc:
        case ftLargeint: {
            double d;
            if (v.VarType() == varString && TryStrToFloat(v.AsString(), d)) Literal.Value = Variant(d);
            break;
        }
        case ftDate:
        case ftTime:
        case ftDateTime: {
            TDateTime d;
            if (v.VarType() == varString) {
                if (TryStrToDateTime(v.AsString(), d) || TryStrToDate(v.AsString(), d))
                    Literal.Value = Variant::FromDateTime(d);
            } else if (v.IsNumeric()) {
                Literal.Value = Variant::FromDateTime(v.AsFloat());
            }
            break;
        }
        case ftBoolean:
            if (v.VarType() == varString && (SameText(v.AsString(), "True") || SameText(v.AsString(), "False")))
                Literal.Value = Variant(SameText(v.AsString(), "True"));
            break;
        case ftString:
        case ftFixedChar:
        case ftWideString:
        case ftMemo:
        case ftFmtMemo:
            Literal.Value = Variant(v.AsString());
            break;
        default:
            break;
        }
    }

    void SkipBlanks() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ')
            ++FPos;
    }

    // A quote ends a string only where the expression can go on after it; a
    // lone quote inside a value (the grid writes them unescaped) stays text.
    bool QuoteEndsString(size_t After) const {
        size_t p = After;
        while (p < FText.size() && static_cast<unsigned char>(FText[p]) <= ' ')
            ++p;
        if (p >= FText.size()) return true;
        char c = FText[p];
        if (c == ')' || c == '=' || c == '<' || c == '>') return true;
        if (p == After) return false;
        for (const char* word : {"AND", "OR", "IS"}) {
            size_t l = std::char_traits<char>::length(word);
            if (p + l <= FText.size() && SameText(std::string_view(FText).substr(p, l), word) &&
                (p + l == FText.size() || !IsNameChar(FText[p + l])))
                return true;
        }
        return false;
    }

    void Advance() {
        SkipBlanks();
        FToken = TToken();
        if (FPos >= FText.size()) return;
        char c = FText[FPos];
        if (c == '(' || c == ')') {
            FToken.Kind = c == '(' ? tkOpen : tkClose;
            ++FPos;
            return;
        }
        if (c == '=' || c == '<' || c == '>') {
            FToken.Kind = tkOperator;
            char n = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
            FPos += 1;
            if (c == '=') {
                FToken.Op = coEqual;
            } else if (c == '<' && n == '>') {
                FToken.Op = coNotEqual;
                ++FPos;
            } else if (n == '=') {
                FToken.Op = c == '<' ? coLessEqual : coGreaterEqual;
                ++FPos;
            } else {
                FToken.Op = c == '<' ? coLess : coGreater;
            }
            return;
        }
        if (c == '[') {
            size_t close = FText.find(']', FPos + 1);
            if (close == std::string::npos) SyntaxError(FText);
            FToken.Kind = tkBracketName;
            FToken.Text = FText.substr(FPos + 1, close - FPos - 1);
            FPos = close + 1;
            return;
        }
        if (c == '\'' || c == '"') {
            FToken.Kind = tkString;
            size_t p = FPos + 1;
            for (;;) {
                if (p >= FText.size()) SyntaxError(FText);
                if (FText[p] == c) {
                    if (p + 1 < FText.size() && FText[p + 1] == c) {
                        FToken.Text += c;
                        p += 2;
                        continue;
                    }
                    if (QuoteEndsString(p + 1)) break;
                }
                FToken.Text += FText[p++];
            }
            FPos = p + 1;
            return;
        }
        bool sign = (c == '-' || c == '+') && FPos + 1 < FText.size() &&
                    std::isdigit(static_cast<unsigned char>(FText[FPos + 1]));
        if (std::isdigit(static_cast<unsigned char>(c)) || sign || c == '.') {
            size_t p = FPos + (sign ? 1 : 0);
            while (p < FText.size() && (std::isdigit(static_cast<unsigned char>(FText[p])) || FText[p] == '.'))
                ++p;
            if (p < FText.size() && (FText[p] == 'e' || FText[p] == 'E')) {
                size_t q = p + 1;
                if (q < FText.size() && (FText[q] == '+' || FText[q] == '-')) ++q;
                if (q < FText.size() && std::isdigit(static_cast<unsigned char>(FText[q]))) {
                    p = q;
                    while (p < FText.size() && std::isdigit(static_cast<unsigned char>(FText[p])))
                        ++p;
                }
            }
            FToken.Kind = tkNumber;
            FToken.Text = FText.substr(FPos, p - FPos);
            FPos = p;
            return;
        }
        if (IsNameChar(c)) {
            size_t p = FPos;
            while (p < FText.size() && IsNameChar(FText[p]))
                ++p;
            FToken.Kind = tkName;
            FToken.Text = FText.substr(FPos, p - FPos);
            FPos = p;
            return;
        }
        SyntaxError(FText);
    }

    const std::string& FText;
    const TFilterExpression::TFindField& FFindField;
    size_t FPos = 0;
    TToken FToken;
};

struct TEvaluator {
    const TFilterExpression::TFieldValue& ValueOf;
    bool CaseInsensitive;

    Variant Operand(const TNode& Node) const { return Node.Kind == TNode::nkField ? ValueOf(Node.Field) : Node.Value; }

    static bool Blank(const Variant& V) {
        return V.IsNull() || V.IsEmpty() || (V.VarType() == varString && V.AsString().empty());
    }

    int Compare(const Variant& A, const Variant& B) const {
        if (A.VarType() == varString && B.VarType() == varString) {
            if (CaseInsensitive) return CompareStr(AnsiUpperCase(A.AsString()), AnsiUpperCase(B.AsString()));
            return CompareStr(A.AsString(), B.AsString());
        }
        return VarCompare(A, B);
    }

    bool Evaluate(const TNode& Node) const {
        switch (Node.Kind) {
        case TNode::nkAnd:
            return Evaluate(*Node.Left) && Evaluate(*Node.Right);
        case TNode::nkOr:
            return Evaluate(*Node.Left) || Evaluate(*Node.Right);
        case TNode::nkNot:
            return !Evaluate(*Node.Left);
        case TNode::nkIsNull:
            return Blank(Operand(*Node.Left)) != Node.Negated;
        case TNode::nkCompare: {
            Variant a = Operand(*Node.Left);
            Variant b = Operand(*Node.Right);
            // A missing value satisfies no comparison.
            if (a.IsNull() || a.IsEmpty() || b.IsNull() || b.IsEmpty()) return false;
            int c = Compare(a, b);
            switch (Node.Op) {
            case coEqual:
                return c == 0;
            case coNotEqual:
                return c != 0;
            case coGreater:
                return c > 0;
            case coLess:
                return c < 0;
            case coGreaterEqual:
                return c >= 0;
            case coLessEqual:
                return c <= 0;
            }
            return false;
        }
        case TNode::nkField:
        case TNode::nkLiteral:
            break; // operands only appear inside conditions
        }
        return false;
    }
};

} // namespace

TFilterExpression::TFilterExpression(const std::string& Text, const TFindField& FindField) {
    TParser parser(Text, FindField);
    FRoot = parser.ParseAll();
}

TFilterExpression::~TFilterExpression() = default;

bool TFilterExpression::Evaluate(const TFieldValue& ValueOf, bool CaseInsensitive) const {
    TEvaluator evaluator{ValueOf, CaseInsensitive};
    return evaluator.Evaluate(*FRoot);
}
