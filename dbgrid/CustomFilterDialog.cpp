// The custom filter dialog: the form as designed, the column's choosers and
// editors made at their placeholders, the check of the typed values and the
// conditions the dialog writes into the grid's criteria.
#include "dbgrid/CustomFilterDialog.h"

#include "dbgrid/DBGrid.h"
#include "dbgrid/FilterCriteria.h"
#include "editors/StandaloneEdit.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/FormBuilder.h"
#include "platform/ui/StdCtrls.h"

#include <initializer_list>
#include <limits>
#include <memory>
#include <optional>

namespace {

struct TDialogOperator {
    const char* Text;
    Byte OperatorIndex;
    bool Negated;
};

// Indexed by the dialog code.
constexpr TDialogOperator DialogOperators[cvFilterDialogCodeCount] = {
    {"equals", cvEqualOperatorIndex, false},
    {"does not equal", cvEqualOperatorIndex, true},
    {"is greater than", cvGreaterOperatorIndex, false},
    {"is greater than or equal to", cvGreaterEqualOperatorIndex, false},
    {"is less than", cvLessOperatorIndex, false},
    {"is less than or equal to", cvLessEqualOperatorIndex, false},
    {"blanks", cvNullOperatorIndex, false},
    {"non blanks", cvNullOperatorIndex, true},
};

// Indexed by the operator index.
constexpr TcvFilterDialogCode OperatorCodes[cvOperatorCount] = {fdcBlanks, fdcEquals,       fdcGreater,
                                                                fdcLess,   fdcGreaterEqual, fdcLessEqual};

// Only "=" and "Is Null" keep a negation in the dialog.
TcvFilterDialogCode ConditionCode(const TcvCriteriaItem& Item) {
    const TcvFilterDialogCode code = OperatorCodes[Item.OperatorIndex()];
    if (!Item.Negated()) return code;
    if (code == fdcEquals) return fdcNotEquals;
    if (code == fdcBlanks) return fdcNonBlanks;
    return code;
}

void AddChoice(TcvFilterDialogComboEdit* Chooser, const std::string& Value, const std::string& Text) {
    Chooser->Values()->Add(Value);
    Chooser->Descriptions()->Add(Text);
}

void AddAllowedCodes(TcvFilterDialogComboEdit* Chooser, TcvFilterOperatorCodes Allowed) {
    for (int code = 0; code < cvFilterDialogCodeCount; ++code)
        if (Allowed & (1 << code)) AddChoice(Chooser, std::to_string(code), DialogOperators[code].Text);
}

void SetCode(TcvFilterDialogComboEdit* Chooser, int Code) {
    Chooser->SetValueText(std::to_string(Code));
}

// The code chosen; -1 when none (the second chooser's empty item).
int ChosenCode(const TcvFilterDialogComboEdit* Chooser) {
    try {
        return StrToInt(Chooser->Text());
    } catch (const EConvertError&) {
        return -1;
    }
}

// Value in the column's filter value type, so that a condition on a number
// column compares numbers; no type (an unbound column) and strings keep the
// value as the editor gave it. Nothing when it does not convert.
std::optional<Variant> ToValueType(const Variant& Value, TVarType Type) {
    if (VarIsNull(Value)) return Value;
    try {
        switch (Type) {
        case varSmallint: {
            const Integer number = Value.AsInteger();
            if (number < std::numeric_limits<int16_t>::min() || number > std::numeric_limits<int16_t>::max())
                return std::nullopt;
            return Variant(int16_t(number));
        }
        case varInteger:
            return Variant(Value.AsInteger());
        case varDouble:
            return Variant(Value.AsFloat());
        case varCurrency:
            return Variant::FromCurrency(Value.AsCurrency());
        case varDate:
            return VarFromDateTime(Value.AsDateTime());
        default:
            return Value;
        }
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

// The radio buttons are placed by their left and top; both fit before the
// next one.
constexpr int RadioWidth = 50;
constexpr int RadioHeight = 17;

TBounds BoundsOf(const TControl* Placeholder) {
    return {Placeholder->Left(), Placeholder->Top(), Placeholder->Width(), Placeholder->Height()};
}

} // namespace

const TcvInplaceEditClass& TcvFilterDialogComboEdit::StaticClass() {
    return TcvEditorClass<TcvFilterDialogComboEdit, TcvStandaloneEditClass<TcvImageEditClassOps>>::Instance();
}

TfmCustomDialog::TfmCustomDialog(TComponent* AOwner) : TForm(AOwner) {
    TFormBuilder build(this);
    SetName("fmCustomDialog");
    SetBorderStyle(bsDialog);
    SetBorderIcons({biSystemMenu, biHelp});
    SetPosition(poScreenCenter);
    SetCaption("Custom AutoFilter");
    SetClientWidth(412);
    SetClientHeight(166);
    Font()->SetName("MS Sans Serif");
    Font()->SetHeight(-11);
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    lblTitle = build.Control<TLabel>(this, "lblTitle", {8, 8, 0, 0}, "Show rows where:");
    LColumnName = build.Control<TLabel>(this, "LColumnName", {8, 27, 0, 0});
    bvlLine = build.Control<TBevel>(this, "bvlLine", {8, 34, 396, 4});
    bvlLine->SetShape(bsTopLine);
    // The column's name heads the line: its opaque label, ending in a space,
    // covers the line's start.
    LColumnName->BringToFront();
    cbOperator1 = build.Control<TLabel>(this, "cbOperator1", {14, 46, 185, 21});
    Edit1 = build.Control<TLabel>(this, "Edit1", {214, 46, 185, 21});
    rbAnd = build.Control<TRadioButton>(this, "rbAnd", {60, 74, RadioWidth, RadioHeight}, "&And");
    rbAnd->SetChecked(true);
    rbAnd->SetTabOrder(0);
    rbOr = build.Control<TRadioButton>(this, "rbOr", {118, 74, RadioWidth, RadioHeight}, "&Or");
    rbOr->SetTabOrder(1);
    // Tab reaches the pair at its checked button; the arrows move within it.
    rbOr->SetTabStop(false);
    cbOperator2 = build.Control<TLabel>(this, "cbOperator2", {14, 96, 185, 21});
    Edit2 = build.Control<TLabel>(this, "Edit2", {214, 96, 185, 21});
    lblSingle = build.Control<TLabel>(this, "lblSingle", {8, 134, 0, 0}, "Use ? to represent any single character");
    lblSeries = build.Control<TLabel>(this, "lblSeries", {8, 153, 0, 0}, "Use * to represent any series of characters");
    for (TLabel* placeholder : {cbOperator1, Edit1, cbOperator2, Edit2}) {
        placeholder->SetAutoSize(false);
        placeholder->SetVisible(false);
    }
    lblSingle->SetVisible(false);
    lblSeries->SetVisible(false);
    btnOK = build.Control<TButton>(this, "btnOK", {248, 136, 75, 23}, "OK");
    btnOK->SetDefault(true);
    btnOK->SetModalResult(mrOk);
    btnCancel = build.Control<TButton>(this, "btnCancel", {330, 136, 75, 23}, "Cancel");
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
}

void TfmCustomDialog::Prepare(TcvDBGridCriteria* Criteria, TcvDBTreeListColumn* Column) {
    FColumn = Column;
    Font()->SetName(Criteria->Grid()->Font()->Name());
    Font()->SetCharset(Criteria->Grid()->Font()->Charset());
    LColumnName->SetCaption(Column->Caption() + " ");

    const TcvFilterOperatorCodes allowed = Column->GetFilterOperators();
    Operator1 = new TcvFilterDialogComboEdit(this);
    AddAllowedCodes(Operator1, allowed);
    SetCode(Operator1, fdcEquals);
    Operator2 = new TcvFilterDialogComboEdit(this);
    AddChoice(Operator2, cvNoFilterDialogCode, "");
    AddAllowedCodes(Operator2, allowed);
    Operator2->SetValueText(cvNoFilterDialogCode);
    Value1 = Column->CreateFilterEdit(this);
    Value2 = Column->CreateFilterEdit(this);
    const std::pair<TWinControl*, TControl*> places[] = {
        {Operator1, cbOperator1}, {Value1, Edit1}, {Operator2, cbOperator2}, {Value2, Edit2}};
    for (const auto& [control, placeholder] : places) {
        control->SetParent(this);
        const TBounds bounds = BoundsOf(placeholder);
        control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    }
    int tabOrder = 0;
    for (TWinControl* control : std::initializer_list<TWinControl*>{Operator1, Value1, rbAnd, rbOr, Operator2, Value2})
        control->SetTabOrder(tabOrder++);

    const TcvCriteriaItem* first = Criteria->FindColumnItem(Column);
    if (!first) return;
    SetCode(Operator1, ConditionCode(*first));
    Column->SetFilterEditValue(Value1, first->Value());
    const TcvCriteriaItemList* group = first->Parent();
    if (group == Criteria->Root() || group->Count() < 2) return;
    // Only a second condition on the same field belongs to this column's pair.
    const auto* second = dynamic_cast<const TcvCriteriaItem*>(group->Items(1));
    if (!second || second == first || second->FieldName() != first->FieldName()) return;
    (group->IsOr() ? rbOr : rbAnd)->SetChecked(true);
    SetCode(Operator2, ConditionCode(*second));
    Column->SetFilterEditValue(Value2, second->Value());
}

void TfmCustomDialog::FormCloseQuery(TObject*, bool&) {
    if (ModalResult() != mrOk) return;
    for (const auto& [chooser, editor] : {std::pair{Operator1, Value1}, std::pair{Operator2, Value2}}) {
        if (chooser == Operator2 && ChosenCode(Operator2) == -1) continue;
        Variant value;
        std::string text;
        FColumn->GetFilterEditValue(editor, value, text);
        if (ToValueType(value, FColumn->GetFilterValueType())) continue;
        editor->SetFocus();
        throw Exception("Invalid value");
    }
}

void TfmCustomDialog::Apply(TcvDBGridCriteria* Criteria) const {
    Criteria->RemoveColumnItems(FColumn);
    TcvCriteriaItemList* list = nullptr;
    if (ChosenCode(Operator2) != -1) list = Criteria->Root()->AddGroup(rbOr->Checked());
    for (const auto& [chooser, editor] : {std::pair{Operator1, Value1}, std::pair{Operator2, Value2}}) {
        const int code = ChosenCode(chooser);
        if (code < 0 || code >= cvFilterDialogCodeCount) continue;
        Variant value;
        std::string text;
        FColumn->GetFilterEditValue(editor, value, text);
        // The close query let only values that convert through.
        value = ToValueType(value, FColumn->GetFilterValueType()).value_or(value);
        const TDialogOperator& op = DialogOperators[code];
        // Blanks and non blanks are "Is Null" already and drop what was typed.
        if (op.OperatorIndex == cvNullOperatorIndex) {
            value = Null();
            text.clear();
        }
        const Byte operatorIndex = VarIsNull(value) ? cvNullOperatorIndex : op.OperatorIndex;
        Criteria->AddCondition(list, FColumn, op.Negated, text, value, operatorIndex);
    }
}

bool ShowCustomDialog(TcvDBGridCriteria* Criteria, TcvDBTreeListColumn* Column) {
    TfmCustomDialog* form = nullptr;
    CreateFormInstance(form, Application);
    const std::unique_ptr<TfmCustomDialog> dialog(form);
    dialog->Prepare(Criteria, Column);
    if (dialog->ShowModal() != mrOk) return false;
    dialog->Apply(Criteria);
    return true;
}
