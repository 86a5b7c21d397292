// The check column.
#include "dbgrid/DBColumnFamilyCheck.h"

#include "dbgrid/DBColumnFamilyShared.h"
#include "dbgrid/FilterEdit.h"
#include "editors/Container.h"
#include "platform/data/DB.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListNode.h"

namespace {

// The filter dialog's operators a check value allows: equal, not equal,
// blank, not blank.
constexpr TcvFilterOperatorCodes CheckFilterOperators = (1 << 0) | (1 << 1) | (1 << 6) | (1 << 7);

} // namespace

const TcvInplaceEditClass& TcvInplaceDBTreeListCheckEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListCheckEdit, TcvCheckEditClassOps>::Instance();
}

TcvDBTreeListCheckColumn::TcvDBTreeListCheckColumn(TComponent* AOwner) : TcvDBTreeListColumn(AOwner) {
    SetMinWidth(16);
}

TcvDBTreeListCheckColumn::~TcvDBTreeListCheckColumn() = default;

void TcvDBTreeListCheckColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListCheckColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        FAllowGrayed = source->FAllowGrayed;
        SetBorder3D(source->FBorder3D);
        SetGlyph(source->FGlyph.get());
        SetGlyphCount(source->FGlyphCount);
        SetShowNullFieldStyle(source->FShowNullFieldStyle);
        SetValueChecked(source->FValueChecked);
        SetValueGrayed(source->FValueGrayed);
        SetValueUnchecked(source->FValueUnchecked);
        OnToggleClick = source->OnToggleClick;
    });
}

void TcvDBTreeListCheckColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    SetMinWidth(16);
    FAllowGrayed = false;
    FBorder3D = false;
    FGlyph.reset();
    FGlyphCount = 6;
    FShowNullFieldStyle = nsUnchecked;
    FValueChecked = SCheckValueChecked;
    FValueGrayed.clear();
    FValueUnchecked = SCheckValueUnchecked;
}

const TcvInplaceEditClass& TcvDBTreeListCheckColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListCheckEdit::StaticClass();
}

void TcvDBTreeListCheckColumn::DoChange(TObject* Sender) {
    TcvDBTreeListColumn::DoChange(Sender);
    auto* check = dynamic_cast<TcvInplaceCheckEdit*>(Sender);
    const bool loading = TreeList() && TreeList()->FillingEditor();
    if (!check || loading || !OnToggleClick) return;
    OnToggleClick(this, TextOfState(check->State()), check->State());
}

void TcvDBTreeListCheckColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* check = dynamic_cast<TcvInplaceCheckEdit*>(Editor);
    if (!check) return;
    check->SetAlignment(taCenter);
    check->SetAllowGrayed(FAllowGrayed);
    check->Style()->SetButtonStyle(FBorder3D ? bts3D : btsSimple);
    check->SetGlyph(GlyphOrNone());
    check->SetGlyphCount(FGlyphCount);
    check->SetNullStyle(FShowNullFieldStyle);
}

void TcvDBTreeListCheckColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* check = dynamic_cast<TcvInplaceCheckEdit*>(Editor);
    if (!Field() || !check) return TcvDBTreeListColumn::InitEditValue(Node, Editor, Value);
    check->SetState(StateOfText(Field()->Text()));
    Value = int32_t(check->State());
}

void TcvDBTreeListCheckColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* check = dynamic_cast<TcvInplaceCheckEdit*>(Editor);
    if (!Field() || !check) return TcvDBTreeListColumn::ApplyEditorValue(Node, Editor, Value);
    Field()->SetText(TextOfState(check->State()));
    Node->GetValue(GetIndex(), Value);
}

void TcvDBTreeListCheckColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    auto* check = dynamic_cast<TcvCheckEditViewData*>(&ViewData);
    if (!check) return;
    check->Value = int32_t(StateOfText(Cell.Text));
    check->Caption.clear();
    check->Alignment = taCenter;
    check->ButtonStyle = FBorder3D ? bts3D : btsSimple;
    check->Glyph = GlyphOrNone();
    check->GlyphCount = FGlyphCount;
    check->NullStyle = FShowNullFieldStyle;
}

void TcvDBTreeListCheckColumn::ConvertDisplayText(const Variant& Value, std::string& Text) const {
    (void)Value;
    Text = TextOfState(StateOfText(Text));
}

bool TcvDBTreeListCheckColumn::IsValueCurrent(const Variant& Value) const {
    const TVarType type = VarType(Value);
    if (!Field() || (type != varInteger && type != varSmallint && type != varInt64))
        return TcvDBTreeListColumn::IsValueCurrent(Value);
    return Value == Variant(int32_t(StateOfText(Field()->Text())));
}

const TcvInplaceEditClass& TcvDBTreeListCheckColumn::GetFilterEditClass() const {
    return TCustomcvFilterImageEdit::StaticClass();
}

void TcvDBTreeListCheckColumn::InitFilterEdit(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitFilterEdit(Editor);
    auto* image = dynamic_cast<TCustomcvFilterImageEdit*>(Editor);
    if (!image) return;
    TStringList texts;
    texts.Add(FValueGrayed);
    texts.Add(FValueUnchecked);
    texts.Add(FValueChecked);
    image->SetValues(&texts);
    image->SetDescriptions(&texts);
    image->SetShowDescription(true);
}

void TcvDBTreeListCheckColumn::GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) {
    TcvDBTreeListColumn::GetFilterEditValue(Editor, Value, Text);
    if (VarType(Value) == varString) {
        const std::string text = Value.AsString();
        if (Field() && Field()->DataType() == ftBoolean) {
            if (AnsiSameText(text, FValueChecked))
                Value = true;
            else if (AnsiSameText(text, FValueUnchecked))
                Value = false;
            else
                Value = Null();
        } else if (AnsiSameText(text, FValueGrayed)) {
            Value = Null();
        }
    }
    if (auto* image = dynamic_cast<TCustomcvFilterImageEdit*>(Editor)) {
        int description = -1;
        int imageIndex = -1;
        TcvInplaceImageEdit::FindValueIndexes(Text, image->ImageIndexes(), description, imageIndex,
                                              image->DefaultImages(), image->Values(), image->Descriptions());
        if (description >= 0) Text = image->Descriptions()->Get(description);
    }
}

void TcvDBTreeListCheckColumn::SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) {
    auto* image = dynamic_cast<TCustomcvFilterImageEdit*>(Editor);
    if (!image) return TcvDBTreeListColumn::SetFilterEditValue(Editor, Value);
    if (VarIsNull(Value))
        image->SetValueText(FValueGrayed);
    else if (VarType(Value) == varBoolean)
        image->SetValueText(Value.AsBoolean() ? FValueChecked : FValueUnchecked);
    else
        image->SetValueText(VarToStr(Value));
}

TcvFilterOperatorCodes TcvDBTreeListCheckColumn::GetFilterOperators() const {
    return CheckFilterOperators;
}

TcvCheckBoxState TcvDBTreeListCheckColumn::StateOfText(const std::string& Text) const {
    if (AnsiSameText(Text, FValueChecked)) return cbsChecked;
    if (AnsiSameText(Text, FValueUnchecked)) return cbsUnchecked;
    return cbsGrayed;
}

const std::string& TcvDBTreeListCheckColumn::TextOfState(TcvCheckBoxState State) const {
    switch (State) {
    case cbsChecked:
        return FValueChecked;
    case cbsUnchecked:
        return FValueUnchecked;
    default:
        return FValueGrayed;
    }
}

void TcvDBTreeListCheckColumn::SetBorder3D(bool Value) {
    if (Value == FBorder3D) return;
    FBorder3D = Value;
    Changed(false);
}

TBitmap* TcvDBTreeListCheckColumn::Glyph() const {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    return FGlyph.get();
}

void TcvDBTreeListCheckColumn::SetGlyph(TBitmap* Value) {
    if (Value)
        Glyph()->Assign(Value);
    else
        FGlyph.reset();
    Changed(true);
}

TBitmap* TcvDBTreeListCheckColumn::GlyphOrNone() const {
    return FGlyph && !FGlyph->Empty() ? FGlyph.get() : nullptr;
}

void TcvDBTreeListCheckColumn::SetGlyphCount(int Value) {
    if (Value == FGlyphCount) return;
    FGlyphCount = Value;
    Changed(true);
}

void TcvDBTreeListCheckColumn::SetShowNullFieldStyle(TcvShowNullFieldStyle Value) {
    if (Value == FShowNullFieldStyle) return;
    FShowNullFieldStyle = Value;
    Changed(true);
}

void TcvDBTreeListCheckColumn::SetValueChecked(const std::string& Value) {
    SetValueText(FValueChecked, Value);
}

void TcvDBTreeListCheckColumn::SetValueGrayed(const std::string& Value) {
    SetValueText(FValueGrayed, Value);
}

void TcvDBTreeListCheckColumn::SetValueUnchecked(const std::string& Value) {
    SetValueText(FValueUnchecked, Value);
}

void TcvDBTreeListCheckColumn::SetValueText(std::string& Text, const std::string& Value) {
    if (Value == Text) return;
    Text = Value;
    Changed(true);
}
