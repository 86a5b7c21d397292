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
        TNodePtr Result = ParseOr();
        if (FToken.Kind != tkEnd) SyntaxError(FText);
        return Result;
    }

private:
    bool AtKeyword(const char* Word) const { return FToken.Kind == tkName && SameText(FToken.Text, Word); }

    TNodePtr ParseOr() {
        TNodePtr Left = ParseAnd();
        while (AtKeyword("OR")) {
            Advance();
            Left = Binary(TNode::nkOr, std::move(Left), ParseAnd());
        }
        return Left;
    }

    TNodePtr ParseAnd() {
        TNodePtr Left = ParseNot();
        while (AtKeyword("AND")) {
            Advance();
            Left = Binary(TNode::nkAnd, std::move(Left), ParseNot());
        }
        return Left;
    }

    TNodePtr ParseNot() {
        if (AtKeyword("NOT")) {
            Advance();
            auto Node = std::make_unique<TNode>();
            Node->Kind = TNode::nkNot;
            Node->Left = ParseNot();
            return Node;
        }
        return ParseCondition();
    }

    TNodePtr ParseCondition() {
        if (FToken.Kind == tkOpen) {
            Advance();
            TNodePtr Inner = ParseOr();
            if (FToken.Kind != tkClose) SyntaxError(FText);
            Advance();
            return Inner;
        }
        TNodePtr Left = ParseOperand();
        if (AtKeyword("IS")) {
            Advance();
            auto Node = std::make_unique<TNode>();
            Node->Kind = TNode::nkIsNull;
            if (AtKeyword("NOT")) {
                Node->Negated = true;
                Advance();
            }
            if (!AtKeyword("NULL")) SyntaxError(FText);
            Advance();
            Node->Left = std::move(Left);
            return Node;
        }
        if (FToken.Kind != tkOperator) SyntaxError(FText);
        auto Node = std::make_unique<TNode>();
        Node->Kind = TNode::nkCompare;
        Node->Op = FToken.Op;
        Advance();
        Node->Left = std::move(Left);
        Node->Right = ParseOperand();
        CoerceLiteral(*Node->Left, *Node->Right);
        CoerceLiteral(*Node->Right, *Node->Left);
        return Node;
    }

    TNodePtr ParseOperand() {
        auto Node = std::make_unique<TNode>();
        switch (FToken.Kind) {
        case tkName:
            if (SameText(FToken.Text, "TRUE") || SameText(FToken.Text, "FALSE")) {
                Node->Value = Variant(SameText(FToken.Text, "TRUE"));
                break;
            }
            if (SameText(FToken.Text, "NULL")) {
                Node->Value = Null();
                break;
            }
            [[fallthrough]];
        case tkBracketName:
            Node->Kind = TNode::nkField;
            Node->Field = FFindField(FToken.Text);
            if (!Node->Field) throw EDatabaseError("Field '" + FToken.Text + "' not found");
            break;
        case tkString:
            Node->Value = Variant(FToken.Text);
            break;
        case tkNumber: {
            Int64 I;
            if (TryStrToInt64(FToken.Text, I))
                Node->Value = Variant(I);
            else
                Node->Value = Variant(StrToFloat(FToken.Text));
            break;
        }
        default:
            SyntaxError(FText);
        }
        Advance();
        return Node;
    }

    static TNodePtr Binary(TNode::TKind Kind, TNodePtr Left, TNodePtr Right) {
        auto Node = std::make_unique<TNode>();
        Node->Kind = Kind;
        Node->Left = std::move(Left);
        Node->Right = std::move(Right);
        return Node;
    }

    // A literal compared with a field takes the field's type, so that '42'
    // matches the number 42 and '2024-05-01' a date.
    static void CoerceLiteral(const TNode& FieldNode, TNode& Literal) {
        if (FieldNode.Kind != TNode::nkField || Literal.Kind != TNode::nkLiteral) return;
        const Variant& V = Literal.Value;
        if (V.IsNull()) return;
        switch (FieldNode.Field->DataType()) {
        case ftBCD: {
            // Money compares exactly, as Currency.
            Int64 C;
            if (V.VarType() == varString ? TryStrToCurr(V.AsString(), C) : V.IsNumeric())
                Literal.Value = Variant::FromCurrency(V.VarType() == varString ? C : V.AsCurrency());
            break;
        }
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftFloat:
        case ftCurrency:
        case ftAutoInc:
        case ftLargeint: {
            double D;
            if (V.VarType() == varString && TryStrToFloat(V.AsString(), D)) Literal.Value = Variant(D);
            break;
        }
        case ftDate:
        case ftTime:
        case ftDateTime: {
            TDateTime D;
            if (V.VarType() == varString) {
                if (TryStrToDateTime(V.AsString(), D) || TryStrToDate(V.AsString(), D))
                    Literal.Value = Variant::FromDateTime(D);
            } else if (V.IsNumeric()) {
                Literal.Value = Variant::FromDateTime(V.AsFloat());
            }
            break;
        }
        case ftBoolean:
            if (V.VarType() == varString && (SameText(V.AsString(), "True") || SameText(V.AsString(), "False")))
                Literal.Value = Variant(SameText(V.AsString(), "True"));
            break;
        case ftString:
        case ftFixedChar:
        case ftWideString:
        case ftMemo:
        case ftFmtMemo:
            Literal.Value = Variant(V.AsString());
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
        size_t P = After;
        while (P < FText.size() && static_cast<unsigned char>(FText[P]) <= ' ')
            ++P;
        if (P >= FText.size()) return true;
        char C = FText[P];
        if (C == ')' || C == '=' || C == '<' || C == '>') return true;
        if (P == After) return false;
        for (const char* Word : {"AND", "OR", "IS"}) {
            size_t L = std::char_traits<char>::length(Word);
            if (P + L <= FText.size() && SameText(std::string_view(FText).substr(P, L), Word) &&
                (P + L == FText.size() || !IsNameChar(FText[P + L])))
                return true;
        }
        return false;
    }

    void Advance() {
        SkipBlanks();
        FToken = TToken();
        if (FPos >= FText.size()) return;
        char C = FText[FPos];
        if (C == '(' || C == ')') {
            FToken.Kind = C == '(' ? tkOpen : tkClose;
            ++FPos;
            return;
        }
        if (C == '=' || C == '<' || C == '>') {
            FToken.Kind = tkOperator;
            char N = FPos + 1 < FText.size() ? FText[FPos + 1] : '\0';
            FPos += 1;
            if (C == '=') {
                FToken.Op = coEqual;
            } else if (C == '<' && N == '>') {
                FToken.Op = coNotEqual;
                ++FPos;
            } else if (N == '=') {
                FToken.Op = C == '<' ? coLessEqual : coGreaterEqual;
                ++FPos;
            } else {
                FToken.Op = C == '<' ? coLess : coGreater;
            }
            return;
        }
        if (C == '[') {
            size_t Close = FText.find(']', FPos + 1);
            if (Close == std::string::npos) SyntaxError(FText);
            FToken.Kind = tkBracketName;
            FToken.Text = FText.substr(FPos + 1, Close - FPos - 1);
            FPos = Close + 1;
            return;
        }
        if (C == '\'' || C == '"') {
            FToken.Kind = tkString;
            size_t P = FPos + 1;
            for (;;) {
                if (P >= FText.size()) SyntaxError(FText);
                if (FText[P] == C) {
                    if (P + 1 < FText.size() && FText[P + 1] == C) {
                        FToken.Text += C;
                        P += 2;
                        continue;
                    }
                    if (QuoteEndsString(P + 1)) break;
                }
                FToken.Text += FText[P++];
            }
            FPos = P + 1;
            return;
        }
        bool Sign = (C == '-' || C == '+') && FPos + 1 < FText.size() &&
                    std::isdigit(static_cast<unsigned char>(FText[FPos + 1]));
        if (std::isdigit(static_cast<unsigned char>(C)) || Sign || C == '.') {
            size_t P = FPos + (Sign ? 1 : 0);
            while (P < FText.size() && (std::isdigit(static_cast<unsigned char>(FText[P])) || FText[P] == '.'))
                ++P;
            if (P < FText.size() && (FText[P] == 'e' || FText[P] == 'E')) {
                size_t Q = P + 1;
                if (Q < FText.size() && (FText[Q] == '+' || FText[Q] == '-')) ++Q;
                if (Q < FText.size() && std::isdigit(static_cast<unsigned char>(FText[Q]))) {
                    P = Q;
                    while (P < FText.size() && std::isdigit(static_cast<unsigned char>(FText[P])))
                        ++P;
                }
            }
            FToken.Kind = tkNumber;
            FToken.Text = FText.substr(FPos, P - FPos);
            FPos = P;
            return;
        }
        if (IsNameChar(C)) {
            size_t P = FPos;
            while (P < FText.size() && IsNameChar(FText[P]))
                ++P;
            FToken.Kind = tkName;
            FToken.Text = FText.substr(FPos, P - FPos);
            FPos = P;
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
            Variant A = Operand(*Node.Left);
            Variant B = Operand(*Node.Right);
            // A missing value satisfies no comparison.
            if (A.IsNull() || A.IsEmpty() || B.IsNull() || B.IsEmpty()) return false;
            int C = Compare(A, B);
            switch (Node.Op) {
            case coEqual:
                return C == 0;
            case coNotEqual:
                return C != 0;
            case coGreater:
                return C > 0;
            case coLess:
                return C < 0;
            case coGreaterEqual:
                return C >= 0;
            case coLessEqual:
                return C <= 0;
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
    TParser Parser(Text, FindField);
    FRoot = Parser.ParseAll();
}

TFilterExpression::~TFilterExpression() = default;

bool TFilterExpression::Evaluate(const TFieldValue& ValueOf, bool CaseInsensitive) const {
    TEvaluator Evaluator{ValueOf, CaseInsensitive};
    return Evaluator.Evaluate(*FRoot);
}
