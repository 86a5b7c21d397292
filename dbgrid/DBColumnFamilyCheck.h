// The data-aware check column: a cell text stands for one of three states by
// the column's value texts (ValueChecked, else ValueUnchecked, else grayed;
// compared case-insensitively as the locale compares), and a state is
// written back as its value text. The filter dialog lists the three value
// texts in an image filter editor.
#pragma once

#include "dbgrid/DBTreeListColumn.h"
#include "editors/CheckEdit.h"

#include <memory>
#include <string>

class TcvInplaceDBTreeListCheckEdit : public TcvInplaceCheckEdit {
public:
    explicit TcvInplaceDBTreeListCheckEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceCheckEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

// Sender: the column; Text: the new state's value text.
using TcvToggleClickEvent = std::function<void(TObject* Sender, const std::string& Text, TcvCheckBoxState State)>;

// The value texts a new check column starts with.
inline constexpr const char* SCheckValueChecked = "True";
inline constexpr const char* SCheckValueUnchecked = "False";

class TcvDBTreeListCheckColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListCheckColumn(TComponent* AOwner);
    ~TcvDBTreeListCheckColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // OnToggleClick, unless the control is loading the editor's value.
    void DoChange(TObject* Sender) override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The editor's state from the field's text; Value is the state.
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // The state's value text goes to the field.
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    // The cell paints its text's state, centred, without the text.
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    // The value text of the text's state.
    void ConvertDisplayText(const Variant& Value, std::string& Text) const override;
    // An integer is compared with the state of the field's text.
    bool IsValueCurrent(const Variant& Value) const override;
    const TcvInplaceEditClass& GetFilterEditClass() const override;
    // The image filter editor lists ValueGrayed, ValueUnchecked, ValueChecked.
    void InitFilterEdit(TcvInplaceEdit* Editor) override;
    // With a Boolean field the value texts become True, False or Null;
    // otherwise ValueGrayed becomes Null and other texts stay.
    void GetFilterEditValue(TcvInplaceEdit* Editor, Variant& Value, std::string& Text) override;
    void SetFilterEditValue(TcvInplaceEdit* Editor, const Variant& Value) override;
    // Equal and not equal, blank and not blank.
    TcvFilterOperatorCodes GetFilterOperators() const override;

    TcvCheckBoxState StateOfText(const std::string& Text) const;
    const std::string& TextOfState(TcvCheckBoxState State) const;

    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    bool Border3D() const { return FBorder3D; }
    void SetBorder3D(bool Value);
    // Made empty on first read.
    TBitmap* Glyph() const;
    // A copy of Value; nullptr frees the glyph.
    void SetGlyph(TBitmap* Value);
    int GlyphCount() const { return FGlyphCount; }
    void SetGlyphCount(int Value);
    TcvShowNullFieldStyle ShowNullFieldStyle() const { return FShowNullFieldStyle; }
    void SetShowNullFieldStyle(TcvShowNullFieldStyle Value);
    const std::string& ValueChecked() const { return FValueChecked; }
    void SetValueChecked(const std::string& Value);
    const std::string& ValueGrayed() const { return FValueGrayed; }
    void SetValueGrayed(const std::string& Value);
    const std::string& ValueUnchecked() const { return FValueUnchecked; }
    void SetValueUnchecked(const std::string& Value);

    TcvToggleClickEvent OnToggleClick;

private:
    // Stores Value in Text and relays out when it differs.
    void SetValueText(std::string& Text, const std::string& Value);
    TBitmap* GlyphOrNone() const;

    bool FAllowGrayed = false;
    bool FBorder3D = false;
    mutable std::unique_ptr<TBitmap> FGlyph;
    int FGlyphCount = 6;
    TcvShowNullFieldStyle FShowNullFieldStyle = nsUnchecked;
    std::string FValueChecked = SCheckValueChecked;
    std::string FValueGrayed;
    std::string FValueUnchecked = SCheckValueUnchecked;
};
