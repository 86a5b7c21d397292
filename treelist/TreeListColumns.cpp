// The column: its properties with their computed defaults, its place in the
// band rows, and the filling of its editor class's view data for painting.
#include "treelist/TreeListColumns.h"

#include "platform/ui/Colors.h"
#include "platform/ui/Gdi.h"
#include "treelist/TreeListControl.h"

#include <algorithm>

const TcvInplaceEditClass& TcvInplaceTreeListTextEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceTreeListTextEdit, TcvTextEditClassOps>::Instance();
}

namespace {

bool SameFont(const TFont& A, const TFont& B) {
    return A.Name() == B.Name() && A.Height() == B.Height() && A.Style() == B.Style() && A.Color() == B.Color() &&
           A.Charset() == B.Charset() && A.Pitch() == B.Pitch();
}

} // namespace

TcvTreeListColumn::TcvTreeListColumn(TComponent* AOwner) : TComponent(AOwner) {}

TcvTreeListColumn::~TcvTreeListColumn() {
    if (!FTreeList) return;
    if (!FTreeList->ComponentState().Contains(csDestroying)) {
        const int index = GetIndex();
        for (int i = 0; i < FTreeList->Count(); ++i)
            FTreeList->DeleteNodeValue(FTreeList->Items(i), index);
    }
    FTreeList->RemoveColumn(this);
}

// Virtual operations ------------------------------------------------------------------

void TcvTreeListColumn::ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    if (auto* textEditor = dynamic_cast<TcvInplaceTextEdit*>(Editor)) Node->StoreString(GetIndex(), textEditor->Text());
    Node->GetValue(GetIndex(), Value);
}

void TcvTreeListColumn::DoCustomDrawCell(TCanvas* ACanvas, const TRect& ARect, TcvTreeListNode* ANode, bool ASelected,
                                         bool AFocused, bool ANewItemRow, std::string& AText, TColor& AColor,
                                         TFont* AFont, TAlignment& AAlignment, bool& ADone) {
    Fire(OnCustomDrawCell, FTreeList, ACanvas, ARect, ANode, this, ASelected, AFocused, ANewItemRow, AText, AColor,
         AFont, AAlignment, ADone);
}

void TcvTreeListColumn::DoCustomDrawColumnHeader(TCanvas* ACanvas, const TRect& ARect, std::string& AText,
                                                 TColor& AColor, TFont* AFont, TAlignment& AAlignment,
                                                 TcvTreeListColumnSort& ASorted, bool& ADone) {
    Fire(OnCustomDrawColumnHeader, FTreeList, this, ACanvas, ARect, AText, AColor, AFont, AAlignment, ASorted, ADone);
}

void TcvTreeListColumn::FontChanged() {
    SetAssigned(cavFont);
    Changed(true);
}

const TcvInplaceEditClass& TcvTreeListColumn::GetEditorClass() const {
    return TcvInplaceTreeListTextEdit::StaticClass();
}

std::string TcvTreeListColumn::GetDisplayText(TcvTreeListNode* Node) const {
    return FTreeList ? FTreeList->GetNodeString(Node, GetIndex()) : std::string();
}

int TcvTreeListColumn::GetIndex() const {
    if (FFixedIndex >= 0) return FFixedIndex;
    if (!FTreeList) return -1;
    for (int i = 0; i < FTreeList->ColumnCount(); ++i)
        if (FTreeList->Columns(i) == this) return i;
    return -1;
}

TcvEditViewData* TcvTreeListColumn::GetViewData() const {
    // Made on first use: the editor class is a virtual answer of the descendant.
    if (!FViewData) FViewData = GetEditorClass().CreateViewData();
    return FViewData.get();
}

void TcvTreeListColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    ViewData.Enabled = true;
    ViewData.Focused = false;
    ViewData.Active = Cell.Hot;
    ViewData.BorderColor = clNone;
    ViewData.BorderStyle = xbsNone;
    ViewData.ButtonStyle = FTreeList ? FTreeList->GetDefaultButtonStyle() : bts3D;
    ViewData.ButtonsTransparent = false;
    ViewData.Edges = cvAllEdges;
    ViewData.Shadow = false;
    // The search pass draws its prefix opaquely over the painted cell.
    ViewData.UnfocusedHighlight = Cell.SearchHighlight;
    ViewData.KeepBackgroundMode = Cell.SearchHighlight;
    ViewData.EditMargins = {1, 0, 0, 0};
    ViewData.Bounds = Cell.Bounds;
    ViewData.VerticalTextMode = Cell.MultiLine ? 3 : int(FVertAlignment);
    ViewData.Font = Cell.Font;
    ViewData.Brush = Cell.Brush;
    ViewData.BackgroundColor = ColorToRGB(Cell.Color);
    ViewData.TextColor = ColorToRGB(Cell.TextColor);
    ViewData.Alignment = Cell.Alignment;
    ViewData.HasEditControl = false;
    ViewData.Value = Cell.Text;
    ViewData.TextLength = Cell.HighlightLength;
    ViewData.MeasureRequest = false;
    if (auto* text = dynamic_cast<TcvTextEditViewData*>(&ViewData)) {
        text->CharCase = FCharCase;
        text->EndEllipsis = Cell.EndEllipsis;
        text->PasswordChar = FPasswordChar;
    }
}

void TcvTreeListColumn::DrawInvertSelectFrame(HDC DC, TRect& R, HBRUSH Brush, bool LeftEdge, bool RightEdge) {
    const TRect top{R.Left, R.Top, R.Right, R.Top + 1};
    const TRect bottom{R.Left, R.Bottom - 1, R.Right, R.Bottom};
    FillRect(DC, &top, Brush);
    FillRect(DC, &bottom, Brush);
    R.Top += 1;
    R.Bottom -= 1;
    if (LeftEdge) {
        const TRect left{R.Left, R.Top, R.Left + 1, R.Bottom};
        FillRect(DC, &left, Brush);
        R.Left += 1;
    }
    if (RightEdge) {
        const TRect right{R.Right - 1, R.Top, R.Right, R.Bottom};
        FillRect(DC, &right, Brush);
        R.Right -= 1;
    }
}

void TcvTreeListColumn::SetIndex(int Value) {
    const int old = GetIndex();
    if (!FTreeList || old < 0) return;
    Value = std::clamp(Value, 0, FTreeList->ColumnCount() - 1);
    if (Value == old) return;
    FTreeList->ColumnMoved(old, Value);
    std::vector<TcvTreeListColumn*>& columns = FTreeList->FColumns;
    columns.erase(columns.begin() + old);
    columns.insert(columns.begin() + Value, this);
    Changed(true);
}

int TcvTreeListColumn::GetCellTextWidth(TCanvas* Canvas, TcvTreeListNode* Node) const {
    return Canvas->TextWidth(GetDisplayText(Node));
}

void TcvTreeListColumn::RestoreDefaults() {
    FAssignedValues = {};
    SyncFont();
    FDisableCaption = false;
    FDisableCustomizing = false;
    FDisableEditor = false;
    FHeaderAlignment = taLeftJustify;
    FMinWidth = 20;
    FSizing = true;
    FSorted = csNone;
    if (FTreeList) FTreeList->RemoveSortedColumn(this); // no sort key without a sort
    FTabStop = true;
    FVertAlignment = tlTop;
}

// Other operations ----------------------------------------------------------------------

void TcvTreeListColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvTreeListColumn*>(Source);
    if (!source) {
        TComponent::Assign(Source);
        return;
    }
    const auto copy = [&] {
        RestoreDefaults();
        if (source->IsAssigned(cavAlignment)) SetAlignment(source->FAlignment);
        if (source->IsAssigned(cavCaption)) SetCaption(source->FCaption);
        if (source->IsAssigned(cavReadOnly)) SetReadOnly(source->FReadOnly);
        if (source->IsAssigned(cavWidth)) SetWidth(source->FWidth);
        if (source->IsAssigned(cavColor)) SetColor(source->FColor);
        if (source->IsAssigned(cavFont)) SetFont(source->Font());
        SetDisableCaption(source->FDisableCaption);
        SetDisableCustomizing(source->FDisableCustomizing);
        SetDisableEditor(source->FDisableEditor);
        SetDisableFilter(source->FDisableFilter);
        SetHeaderAlignment(source->FHeaderAlignment);
        if (source->HasHeaderGlyph()) SetHeaderGlyph(source->FHeaderGlyph.get());
        SetMinWidth(source->FMinWidth);
        SetSizing(source->FSizing);
        SetSorted(source->FSorted);
        SetVertAlignment(source->FVertAlignment);
        SetVisible(source->FVisible);
        SetTabStop(source->FTabStop);
        SetBandIndex(source->FBandIndex);
        SetRowIndex(source->RowIndex());
        SetColIndex(source->ColIndex());
        SetHeaderMaxLineCount(source->FHeaderMaxLineCount);
    };
    if (!FTreeList) return copy();
    TUpdateGuard<TCustomcvTreeList> update(FTreeList);
    copy();
}

void TcvTreeListColumn::Changed(bool WholeLayout) {
    if (FTreeList) FTreeList->ColumnChanged(WholeLayout ? nullptr : this);
}

void TcvTreeListColumn::SetTreeList(TCustomcvTreeListControl* Value) {
    if (Value == FTreeList) return;
    if (FTreeList) FTreeList->RemoveColumn(this);
    if (Value) Value->AddColumn(this);
}

void TcvTreeListColumn::SyncFont() {
    if (FFont && !IsAssigned(cavFont) && FTreeList) CopyControlFont();
}

void TcvTreeListColumn::CopyControlFont() const {
    const TNotifyEvent handler = std::move(FFont->OnChange);
    FFont->OnChange = nullptr;
    FFont->Assign(FTreeList->Font());
    FFont->OnChange = handler;
}

// Properties ---------------------------------------------------------------------------

TAlignment TcvTreeListColumn::Alignment() const {
    return IsAssigned(cavAlignment) ? FAlignment : GetDefaultAlignment();
}

void TcvTreeListColumn::SetAlignment(TAlignment Value) {
    if (IsAssigned(cavAlignment) && Value == FAlignment) return;
    FAlignment = Value;
    SetAssigned(cavAlignment);
    Changed(false);
}

std::string TcvTreeListColumn::Caption() const {
    return IsAssigned(cavCaption) ? FCaption : GetDefaultCaption();
}

void TcvTreeListColumn::SetCaption(const std::string& Value) {
    if (IsAssigned(cavCaption) && Value == FCaption) return;
    FCaption = Value;
    SetAssigned(cavCaption);
    Changed(false);
}

void TcvTreeListColumn::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase) return;
    FCharCase = Value;
    Changed(true);
}

TColor TcvTreeListColumn::Color() const {
    return IsAssigned(cavColor) ? FColor : DefaultColor();
}

TColor TcvTreeListColumn::DefaultColor() const {
    return FTreeList ? FTreeList->Color() : clWindow;
}

void TcvTreeListColumn::SetColor(TColor Value) {
    if (IsAssigned(cavColor) && Value == FColor) return;
    FColor = Value;
    SetAssigned(cavColor);
    Changed(false);
}

void TcvTreeListColumn::SetDisableCaption(bool Value) {
    if (Value == FDisableCaption) return;
    FDisableCaption = Value;
    Changed(true);
}

void TcvTreeListColumn::SetDisableCustomizing(bool Value) {
    if (Value == FDisableCustomizing) return;
    FDisableCustomizing = Value;
    Changed(true);
}

void TcvTreeListColumn::SetDisableFilter(bool Value) {
    if (Value == FDisableFilter) return;
    FDisableFilter = Value;
    Changed(true);
}

TFont* TcvTreeListColumn::Font() const {
    if (!FFont) {
        FFont = std::make_unique<TFont>();
        if (FTreeList) CopyControlFont();
        auto* self = const_cast<TcvTreeListColumn*>(this);
        FFont->OnChange = [self](TObject*) { self->FontChanged(); };
    } else if (!IsAssigned(cavFont) && FTreeList && !SameFont(*FFont, *FTreeList->Font())) {
        CopyControlFont();
    }
    return FFont.get();
}

void TcvTreeListColumn::SetFont(TFont* Value) {
    Font()->Assign(Value); // the font's change handler marks it set and relays out
    SetAssigned(cavFont);
}

void TcvTreeListColumn::SetHeaderAlignment(TAlignment Value) {
    if (Value == FHeaderAlignment) return;
    FHeaderAlignment = Value;
    Changed(true);
}

TBitmap* TcvTreeListColumn::HeaderGlyph() const {
    if (!FHeaderGlyph) FHeaderGlyph = std::make_unique<TBitmap>();
    return FHeaderGlyph.get();
}

void TcvTreeListColumn::SetHeaderGlyph(TBitmap* Value) {
    if (Value)
        HeaderGlyph()->Assign(Value);
    else
        FHeaderGlyph.reset();
    Changed(true);
}

int TcvTreeListColumn::MaxLength() const {
    return IsAssigned(cavMaxLength) ? FMaxLength : GetDefaultMaxLength();
}

void TcvTreeListColumn::SetMaxLength(int Value) {
    if (IsAssigned(cavMaxLength) && Value == FMaxLength) return;
    FMaxLength = Value;
    SetAssigned(cavMaxLength);
    Changed(false);
}

void TcvTreeListColumn::SetMinWidth(int Value) {
    FMinWidth = std::max(Value, 0);
    SetWidth(Width());
}

void TcvTreeListColumn::SetOEMConvert(bool Value) {
    if (Value == FOEMConvert) return;
    FOEMConvert = Value;
    Changed(false);
}

void TcvTreeListColumn::SetPasswordChar(char32_t Value) {
    if (Value == FPasswordChar) return;
    FPasswordChar = Value;
    Changed(false);
}

bool TcvTreeListColumn::ReadOnly() const {
    return (FTreeList && FTreeList->IsEditorReadOnly()) || OwnReadOnly();
}

void TcvTreeListColumn::SetReadOnly(bool Value) {
    if (IsAssigned(cavReadOnly) && Value == FReadOnly) return;
    FReadOnly = Value;
    SetAssigned(cavReadOnly);
    Changed(false);
}

void TcvTreeListColumn::SetSizing(bool Value) {
    if (Value == FSizing) return;
    FSizing = Value;
    Changed(false);
}

void TcvTreeListColumn::SetVertAlignment(TTextLayout Value) {
    if (Value == FVertAlignment) return;
    FVertAlignment = Value;
    Changed(false);
}

void TcvTreeListColumn::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed(false);
}

void TcvTreeListColumn::SetWidth(int Value) {
    Value = std::max(Value, FMinWidth);
    // An unset width equal to the default stays "default".
    if (IsAssigned(cavWidth) ? Value == FWidth : Value == GetDefaultWidth()) return;
    FWidth = Value;
    SetAssigned(cavWidth);
    Changed(false);
}

void TcvTreeListColumn::SizeWidth(int Value) {
    FWidth = std::max(Value, FMinWidth);
    SetAssigned(cavWidth);
}

void TcvTreeListColumn::SetBandIndex(int Value) {
    Value = std::max(Value, -1);
    if (FTreeList) Value = std::min(Value, FTreeList->GetBandsTotalCount() - 1);
    if (Value == FBandIndex) return;
    FBandIndex = Value;
    Changed(false);
}

int TcvTreeListColumn::RowIndex() const {
    if (!FTreeList) return FStoredRowIndex;
    return std::clamp(FStoredRowIndex, 0, FTreeList->GetHeaderPanelRowCount() - 1);
}

void TcvTreeListColumn::SetRowIndex(int Value) {
    Value = FTreeList ? std::clamp(Value, 0, FTreeList->GetHeaderPanelRowCount() - 1) : std::max(Value, 0);
    if (Value == RowIndex()) return;
    FStoredRowIndex = Value;
    Changed(false);
}

int TcvTreeListColumn::ColIndex() const {
    if (!FTreeList) return -1;
    const int row = RowIndex();
    int before = 0;
    for (const TcvTreeListColumn* column : FTreeList->FColumns) {
        if (column == this && FVisible) return before;
        if (column->FVisible && column->FBandIndex == FBandIndex && column->RowIndex() == row) ++before;
    }
    return before - 1; // an invisible column
}

void TcvTreeListColumn::SetColIndex(int Value) {
    if (!FTreeList || FBandIndex < 0 || Value == ColIndex()) return;
    const int band = FTreeList->Bands()->GetVisibleIndex(FBandIndex);
    const int row = RowIndex();
    const int count = FTreeList->GetColumnCountInBandRow(band, row);
    if (count == 0) return;
    Value = std::clamp(Value, 0, count - 1);
    const int target = FTreeList->GetColumnAt(band, row, Value);
    if (target < 0) return;
    SetIndex(Value == count - 1 ? target + 1 : target);
}

void TcvTreeListColumn::SetHeaderMaxLineCount(int Value) {
    Value = std::max(Value, 0);
    if (Value == FHeaderMaxLineCount) return;
    FHeaderMaxLineCount = Value;
    Changed(true);
}
