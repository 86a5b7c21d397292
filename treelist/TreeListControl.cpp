// The tree-list control: column registration, the placement of columns in
// band rows, the layout cache that answers the tree list's band and column
// questions, text nodes and the cell painting through the column's editor.
#include "treelist/TreeListControl.h"

#include "editors/InplaceEdit.h"
#include "platform/rtl/ComponentClasses.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Painting.h"

#include <algorithm>

namespace {

// Room for the filter button beside a caption.
constexpr int FilterButtonRoom = 15;

TcvTreeListTextNode* TextNode(const TcvTreeListNode* Node) {
    return dynamic_cast<TcvTreeListTextNode*>(const_cast<TcvTreeListNode*>(Node));
}

// A canvas on the screen's DC, for measuring without a window.
class TScreenCanvas {
public:
    TScreenCanvas() : FDC(GetDC(nullptr)) { FCanvas.SetHandle(FDC); }
    ~TScreenCanvas() {
        FCanvas.SetHandle(nullptr);
        ReleaseDC(nullptr, FDC);
    }
    TScreenCanvas(const TScreenCanvas&) = delete;
    TScreenCanvas& operator=(const TScreenCanvas&) = delete;
    TCanvas& Canvas() { return FCanvas; }

private:
    HDC FDC;
    TCanvas FCanvas;
};

} // namespace

TCustomcvTreeListControl::TCustomcvTreeListControl(TComponent* AOwner)
    : TCustomcvTreeList(AOwner), FBands(std::make_unique<TcvTreeListBands>()) {
    FBands->Add();
    FBands->SetTreeList(this);
}

TCustomcvTreeListControl::~TCustomcvTreeListControl() {
    // While the columns and bands exist.
    StoreLayout();
    Destroying();
    ClearCache();
    DestroyColumns();
    FBands->SetTreeList(nullptr);
    FBands.reset();
}

// Columns --------------------------------------------------------------------------

void TCustomcvTreeListControl::AddColumn(TcvTreeListColumn* Column) {
    FColumns.push_back(Column);
    Column->FTreeList = this;
    ColumnChanged(nullptr);
}

void TCustomcvTreeListControl::RemoveColumn(TcvTreeListColumn* Column) {
    Column->FTreeList = nullptr;
    FColumns.erase(std::remove(FColumns.begin(), FColumns.end(), Column), FColumns.end());
    RemoveSortedColumn(Column);
    if (!ComponentState().Contains(csDestroying)) ColumnChanged(nullptr);
}

void TCustomcvTreeListControl::DestroyColumns() {
    while (!FColumns.empty())
        delete FColumns.back(); // the column leaves the list as it goes
}

void TCustomcvTreeListControl::AssignColumns(TCustomcvTreeListControl* Source) {
    TUpdateGuard<TCustomcvTreeList> update(this);
    TComponent* owner = ColumnCount() > 0 ? Columns(0)->Owner() : this;
    DestroyColumns();
    for (int i = 0; i < Source->ColumnCount(); ++i) {
        TcvTreeListColumn* source = Source->Columns(i);
        auto* column = static_cast<TcvTreeListColumn*>(FindClass(source->ClassName()).Create(owner));
        column->SetTreeList(this);
        column->Assign(source);
        column->SetName(source->Name());
    }
}

TcvTreeListColumn* TCustomcvTreeListControl::Columns(int Index) const {
    return Index >= 0 && Index < ColumnCount() ? FColumns[size_t(Index)] : nullptr;
}

TcvTreeListColumn* TCustomcvTreeListControl::ColumnByName(const std::string& Name) const {
    for (TcvTreeListColumn* column : FColumns)
        if (SameText(column->Name(), Name)) return column;
    return nullptr;
}

TcvTreeListColumn* TCustomcvTreeListControl::GetVisibleColumn(int Index) const {
    for (TcvTreeListColumn* column : FColumns)
        if (column->Visible() && Index-- == 0) return column;
    return nullptr;
}

void TCustomcvTreeListControl::ColumnChanged(TcvTreeListColumn* Column) {
    if (ComponentState().Contains(csLoading)) return;
    (void)Column; // an unset width reads its default anyway
    if (FColumnRelayoutLock == 0) PlaceColumnsInBands();
    LayoutChanged();
}

void TCustomcvTreeListControl::ColumnMoved(int From, int To) {
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNext())
        MoveColumnEntry(dynamic_cast<TcvTreeListTextNode&>(*node).Texts(), From, To); // other nodes: a type error
}

// Placement --------------------------------------------------------------------------

std::vector<bool> TCustomcvTreeListControl::BandRowsInUse(int Band) const {
    std::vector<bool> rows(size_t(GetHeaderPanelRowCount()), false);
    for (const TcvTreeListColumn* column : FColumns)
        if (column->Visible() && column->BandIndex() == Band) rows[size_t(column->RowIndex())] = true;
    return rows;
}

void TCustomcvTreeListControl::RemoveEmptyRows() {
    for (int visible = 0; visible < FBands->VisibleCount(); ++visible) {
        const int band = FBands->GetAbsoluteIndex(visible);
        const std::vector<bool> used = BandRowsInUse(band);
        const int rowCount = int(std::count(used.begin(), used.end(), true));
        for (int row = rowCount - 1; row >= 0; --row) {
            if (BandRowsInUse(band)[size_t(row)]) continue;
            for (TcvTreeListColumn* column : FColumns)
                if (column->Visible() && column->BandIndex() == band && column->RowIndex() > row)
                    column->FStoredRowIndex = column->RowIndex() - 1;
        }
    }
}

void TCustomcvTreeListControl::ClampRowsToBands() {
    for (int band = 0; band < FBands->Count(); ++band) {
        const std::vector<bool> used = BandRowsInUse(band);
        const int rowCount = int(std::count(used.begin(), used.end(), true));
        for (TcvTreeListColumn* column : FColumns)
            if (column->BandIndex() == band && column->RowIndex() >= rowCount)
                column->FStoredRowIndex = std::max(rowCount - 1, 0);
    }
}

void TCustomcvTreeListControl::PlaceColumnsInBands() {
    if (ComponentState().Contains(csLoading)) return;
    ClearCache();
    // A column's row reads its stored row within the header rows, so the
    // clamp to the rows needs no writing.
    RemoveEmptyRows();
    ClampRowsToBands();
    if (IsAutoHeaderPanelHeight() && !FAdjustingHeaderPanel) AdjustHeaderPanelRowCount();
}

void TCustomcvTreeListControl::AdjustHeaderPanelRowCount() {
    if (ComponentState().Contains(csLoading)) return;
    FAdjustingHeaderPanel = true;
    TScopeGuard adjusted([this] { FAdjustingHeaderPanel = false; });
    // A new count places the columns again, which may close rows up and
    // lower the highest row: count again until it stands.
    for (;;) {
        int highest = -1;
        for (int i = 0; i < ColumnCount(); ++i)
            if (IsColumnVisible(i)) highest = std::max(highest, FColumns[size_t(i)]->FStoredRowIndex);
        if (highest < 0 || highest + 1 == FHeaderPanelRowCountProperty) return;
        const int before = FHeaderPanelRowCountProperty;
        SetHeaderPanelRowCount(highest + 1);
        if (FHeaderPanelRowCountProperty == before) return; // held by the maximum
    }
}

void TCustomcvTreeListControl::DisableAutoHeaderPanelHeight() {
    SetOptionsEx(OptionsEx() & ~tloex_AutoHeaderPanelRowCount);
}

void TCustomcvTreeListControl::UpdateHeaderLayout() {
    if (!IsAutoHeaderPanelHeight()) return LayoutChanged();
    TUpdateGuard<TCustomcvTreeList> update(this);
    AdjustHeaderPanelRowCount();
}

void TCustomcvTreeListControl::Loaded() {
    TCustomcvTreeList::Loaded();
    PlaceColumnsInBands();
    RestoreSortedColumnOrder();
    RestoreLayout();
    LayoutChanged();
}

// Bands and header rows -------------------------------------------------------------

void TCustomcvTreeListControl::SetBands(TcvTreeListBands* Value) {
    FBands->Assign(Value);
}

void TCustomcvTreeListControl::SetBandMaxRowCount(int Value) {
    FBandMaxRowCount = std::max(Value, 1);
    SetBandRowCount(FBandRowCountProperty);
}

void TCustomcvTreeListControl::SetBandRowCount(int Value) {
    Value = std::clamp(Value, 1, FBandMaxRowCount);
    if (Value == FBandRowCountProperty) return;
    FBandRowCountProperty = Value;
    UpdateHeaderLayout();
}

void TCustomcvTreeListControl::SetHeaderPanelMaxRowCount(int Value) {
    FHeaderPanelMaxRowCount = std::max(Value, 1);
    SetHeaderPanelRowCount(FHeaderPanelRowCountProperty);
}

void TCustomcvTreeListControl::SetHeaderPanelRowCount(int Value) {
    Value = std::clamp(Value, 1, FHeaderPanelMaxRowCount);
    if (Value == FHeaderPanelRowCountProperty) return;
    if (!FAdjustingHeaderPanel) DisableAutoHeaderPanelHeight();
    FHeaderPanelRowCountProperty = Value;
    if (Value > 1) FDefaultLayout = false;
    PlaceColumnsInBands();
    LayoutChanged();
}

void TCustomcvTreeListControl::SetHeaderMinRowCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FHeaderMinRowCount) return;
    FHeaderMinRowCount = Value;
    LayoutChanged();
}

void TCustomcvTreeListControl::SetDefaultLayout(bool Value) {
    const bool switchedOn = Value && !FDefaultLayout;
    FDefaultLayout = Value;
    if (switchedOn) MakeDefaultLayout();
}

void TCustomcvTreeListControl::MakeDefaultLayout() {
    TUpdateGuard<TCustomcvTreeList> update(this);
    SetShowBands(false);
    SetHeaderPanelRowCount(1);
    {
        TUpdateGuard<TCollection> bands(FBands.get());
        while (FBands->Count() > 1)
            FBands->Delete(FBands->Count() - 1);
        if (FBands->Count() == 0) FBands->Add();
        FBands->Items(0)->SetVisible(true);
    }
    for (TcvTreeListColumn* column : FColumns)
        column->FBandIndex = 0;
}

// The layout cache --------------------------------------------------------------------

void TCustomcvTreeListControl::ClearCache() {
    TCustomcvTreeList::ClearCache();
    FLayoutCacheValid = false;
    FBandIndexByVisible.clear();
    FVisibleIndexByBand.clear();
    FBandRowColumns.clear();
    ClearLayoutCache();
}

void TCustomcvTreeListControl::ClearLayoutCache() {
    FDisplayWidths.clear();
}

void TCustomcvTreeListControl::RefreshLayoutCache() {
    FLayoutCacheValid = false;
    EnsureLayoutCache();
    ClearLayoutCache();
}

void TCustomcvTreeListControl::EnsureLayoutCache() const {
    if (FLayoutCacheValid) return;
    FBandIndexByVisible.clear();
    FVisibleIndexByBand.assign(size_t(FBands->Count()), -1);
    for (int band = 0; band < FBands->Count(); ++band) {
        if (!FBands->Items(band)->Visible()) continue;
        FVisibleIndexByBand[size_t(band)] = int(FBandIndexByVisible.size());
        FBandIndexByVisible.push_back(band);
    }
    // Absolute order is the order within a band row.
    FBandRowColumns.assign(FBandIndexByVisible.size(), {});
    for (int i = 0; i < ColumnCount(); ++i) {
        if (!IsColumnVisible(i)) continue;
        const TcvTreeListColumn* column = FColumns[size_t(i)];
        auto& rows = FBandRowColumns[size_t(FVisibleIndexByBand[size_t(column->BandIndex())])];
        const size_t row = size_t(column->RowIndex());
        if (rows.size() <= row) rows.resize(row + 1);
        rows[row].push_back(i);
    }
    FLayoutCacheValid = true;
}

void TCustomcvTreeListControl::RefreshVisibleColumnCache() {
    FDisplayWidths.assign(size_t(ColumnCount()), 0);
    for (int i = 0; i < ColumnCount(); ++i)
        if (IsColumnVisible(i)) FDisplayWidths[size_t(i)] = TCustomcvTreeList::GetColumnDisplayWidth(i);
}

int TCustomcvTreeListControl::GetColumnDisplayWidth(int Column) const {
    if (FDisplayWidths.empty() && !IsUpdating())
        const_cast<TCustomcvTreeListControl*>(this)->RefreshVisibleColumnCache();
    if (Column >= 0 && Column < int(FDisplayWidths.size())) return FDisplayWidths[size_t(Column)];
    return TCustomcvTreeList::GetColumnDisplayWidth(Column);
}

// Band answers ----------------------------------------------------------------------------

TcvTreeListBand* TCustomcvTreeListControl::VisibleBand(int Band) const {
    const int index = GetBandIndexFromVisible(Band);
    return index >= 0 ? FBands->Items(index) : nullptr;
}

int TCustomcvTreeListControl::GetBandCount() const {
    EnsureLayoutCache();
    return int(FBandIndexByVisible.size());
}

int TCustomcvTreeListControl::GetBandsTotalCount() const {
    return FBands->Count();
}

int TCustomcvTreeListControl::GetBandIndexFromVisible(int Band) const {
    EnsureLayoutCache();
    return Band >= 0 && Band < int(FBandIndexByVisible.size()) ? FBandIndexByVisible[size_t(Band)] : -1;
}

int TCustomcvTreeListControl::GetFixedLeftBandIndex() const {
    const TcvTreeListBand* band = VisibleBand(0);
    return band && band->Fixed() == bfLeft ? 0 : -1;
}

int TCustomcvTreeListControl::GetFixedRightBandIndex() const {
    const int last = GetBandCount() - 1;
    const TcvTreeListBand* band = VisibleBand(last);
    return band && band->Fixed() == bfRight ? last : -1;
}

int TCustomcvTreeListControl::GetVisibleBandWidth(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band ? band->Width() : 0;
}

TAlignment TCustomcvTreeListControl::GetBandAlignment(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band ? band->Alignment() : taCenter;
}

std::string TCustomcvTreeListControl::GetBandCaption(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band ? band->Caption() : std::string();
}

int TCustomcvTreeListControl::GetBandMinWidth(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band ? band->MinWidth() : 0;
}

bool TCustomcvTreeListControl::GetBandOnlyOwnColumns(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band && band->OnlyOwnColumns();
}

bool TCustomcvTreeListControl::CanBandSizing(int Band) const {
    const TcvTreeListBand* band = VisibleBand(Band);
    return band && band->Sizing();
}

int TCustomcvTreeListControl::GetBandRowCountOf(int Band) const {
    if (GetBandIndexFromVisible(Band) < 0) return 0;
    const auto& rows = FBandRowColumns[size_t(Band)];
    return int(std::count_if(rows.begin(), rows.end(), [](const std::vector<int>& row) { return !row.empty(); }));
}

int TCustomcvTreeListControl::GetColumnCountInBandRow(int Band, int Row) const {
    if (GetBandIndexFromVisible(Band) < 0 || Row < 0) return 0;
    const auto& rows = FBandRowColumns[size_t(Band)];
    return Row < int(rows.size()) ? int(rows[size_t(Row)].size()) : 0;
}

int TCustomcvTreeListControl::GetColumnAt(int Band, int Row, int Position) const {
    if (Position < 0 || Position >= GetColumnCountInBandRow(Band, Row)) return -1;
    return FBandRowColumns[size_t(Band)][size_t(Row)][size_t(Position)];
}

int TCustomcvTreeListControl::GetHeaderLineCount() const {
    return std::max(FHeaderMinRowCount, TCustomcvTreeList::GetHeaderLineCount());
}

bool TCustomcvTreeListControl::IsBandHeaderWidth() const {
    return FDefaultLayout || TCustomcvTreeList::IsBandHeaderWidth();
}

// Column answers -----------------------------------------------------------------------

int TCustomcvTreeListControl::GetColumnWidth(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->Width() : 0;
}

int TCustomcvTreeListControl::GetColumnMinWidth(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    if (!column) return 0;
    return column->Sizing() ? column->MinWidth() : column->Width();
}

bool TCustomcvTreeListControl::CanColumnSizing(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->Sizing();
}

int TCustomcvTreeListControl::GetColumnHeaderMaxLineCount(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->HeaderMaxLineCount() : 1;
}

int TCustomcvTreeListControl::GetColumnBandIndex(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->BandIndex() : -1;
}

int TCustomcvTreeListControl::GetColumnRowIndex(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->RowIndex() : 0;
}

bool TCustomcvTreeListControl::GetColumnTabStop(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->TabStop();
}

std::string TCustomcvTreeListControl::GetColumnCaption(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && !column->DisableCaption() ? column->Caption() : std::string();
}

std::string TCustomcvTreeListControl::GetColumnCaptionText(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->Caption() : std::string();
}

TAlignment TCustomcvTreeListControl::GetColumnHeaderAlignment(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->HeaderAlignment() : taLeftJustify;
}

TAlignment TCustomcvTreeListControl::GetColumnAlignment(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->Alignment() : taLeftJustify;
}

TColor TCustomcvTreeListControl::GetColumnColor(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->Color() : Color();
}

TFont* TCustomcvTreeListControl::GetColumnFont(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column ? column->Font() : Font();
}

bool TCustomcvTreeListControl::IsColumnFontAssigned(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->IsAssigned(cavFont);
}

bool TCustomcvTreeListControl::HasColumnHeaderGlyph(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->HasHeaderGlyph();
}

int TCustomcvTreeListControl::GetHeaderButtonState(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->DisableFilter() ? 0 : TCustomcvTreeList::GetHeaderButtonState(Column);
}

TBitmap* TCustomcvTreeListControl::GetColumnHeaderGlyph(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->HasHeaderGlyph() ? column->HeaderGlyph() : nullptr;
}

bool TCustomcvTreeListControl::IsColumnVisible(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    if (!column || !column->Visible()) return false;
    const int band = column->BandIndex();
    return band >= 0 && band < FBands->Count() && FBands->Items(band)->Visible();
}

bool TCustomcvTreeListControl::IsMemoColumn(int Column) const {
    const TcvTreeListColumn* column = Columns(Column);
    return column && column->IsMemoColumn();
}

// Best fit -------------------------------------------------------------------------------

void TCustomcvTreeListControl::ApplyBestFit(TcvTreeListColumn* Column) {
    TScreenCanvas screen;
    if (Column) return FitColumn(Column, screen.Canvas());
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (TcvTreeListColumn* column : FColumns)
        FitColumn(column, screen.Canvas());
}

void TCustomcvTreeListControl::FitColumn(TcvTreeListColumn* Column, TCanvas& Canvas) {
    Canvas.SetFont(Font());
    const int margin = Canvas.TextWidth("0") / 2 + 1;
    // The first column of the first shown band also holds the tree's indent.
    const bool indented = IsColumnVisible(Column->GetIndex()) && FBands->GetVisibleIndex(Column->BandIndex()) == 0 &&
                          Column->ColIndex() == 0;
    if (Column->IsAssigned(cavFont)) Canvas.SetFont(Column->Font());
    int widest = 0;
    for (TcvTreeListNode* node = Items(0); node; node = node->GetNext()) {
        if (IsGroupNode(node)) continue;
        int width = Column->GetCellTextWidth(&Canvas, node);
        if (indented) {
            int imagesLeft = 0;
            int textLeft = 0;
            GetNodeIndents(node, imagesLeft, textLeft);
            width += textLeft;
        }
        widest = std::max(widest, width);
    }
    const int caption = Canvas.TextWidth(Column->Caption()) + (Column->DisableFilter() ? 0 : FilterButtonRoom);
    widest = std::max(widest, caption);
    if (Column->Sizing()) Column->SetWidth(widest + 2 * margin);
}

// Nodes and cells ------------------------------------------------------------------------

TcvTreeListNode* TCustomcvTreeListControl::CreateNode() {
    return new TcvTreeListTextNode(this);
}

std::string TCustomcvTreeListControl::GetNodeString(const TcvTreeListNode* Node, int Column) const {
    const TcvTreeListTextNode* node = TextNode(Node);
    if (!node || Column < 0 || Column >= int(node->Texts().size())) return {};
    return node->Texts()[size_t(Column)];
}

void TCustomcvTreeListControl::GetNodeValue(const TcvTreeListNode* Node, int Column, Variant& Value) const {
    Value = GetNodeString(Node, Column);
}

void TCustomcvTreeListControl::StoreNodeString(TcvTreeListNode* Node, int Column, const std::string& Text) {
    TcvTreeListTextNode* node = TextNode(Node);
    if (!node || Column < 0) return;
    std::vector<std::string>& texts = node->Texts();
    if (int(texts.size()) <= Column) texts.resize(size_t(Column) + 1);
    texts[size_t(Column)] = Text;
}

void TCustomcvTreeListControl::DeleteNodeValue(TcvTreeListNode* Node, int Index) {
    if (TcvTreeListTextNode* node = TextNode(Node); node && Index >= 0 && Index < int(node->Texts().size()))
        node->Texts().erase(node->Texts().begin() + Index);
    for (int i = 0; i < Node->Count(); ++i)
        DeleteNodeValue(Node->Items(i), Index);
}

namespace {

int NodeIndex(const TcvTreeListNode* Node, int TcvTreeListTextNode::*Field, const TcvTreeListGetIndexEvent& Event,
              TObject* Sender) {
    const TcvTreeListTextNode* node = TextNode(Node);
    int index = node ? node->*Field : -1;
    Fire(Event, Sender, const_cast<TcvTreeListNode*>(Node), index);
    return index;
}

} // namespace

int TCustomcvTreeListControl::GetNodeImageIndex(const TcvTreeListNode* Node) const {
    return NodeIndex(Node, &TcvTreeListTextNode::FImageIndex, OnGetImageIndex,
                     const_cast<TCustomcvTreeListControl*>(this));
}

int TCustomcvTreeListControl::GetNodeSelectedIndex(const TcvTreeListNode* Node) const {
    return NodeIndex(Node, &TcvTreeListTextNode::FSelectedIndex, OnGetSelectedIndex,
                     const_cast<TCustomcvTreeListControl*>(this));
}

int TCustomcvTreeListControl::GetNodeStateIndex(const TcvTreeListNode* Node) const {
    return NodeIndex(Node, &TcvTreeListTextNode::FStateIndex, OnGetStateIndex,
                     const_cast<TCustomcvTreeListControl*>(this));
}

void TCustomcvTreeListControl::SetNodeImageIndex(TcvTreeListNode* Node, int Value) {
    SetNodeIndex(Node, &TcvTreeListTextNode::FImageIndex, Value);
}

void TCustomcvTreeListControl::SetNodeSelectedIndex(TcvTreeListNode* Node, int Value) {
    SetNodeIndex(Node, &TcvTreeListTextNode::FSelectedIndex, Value);
}

void TCustomcvTreeListControl::SetNodeStateIndex(TcvTreeListNode* Node, int Value) {
    SetNodeIndex(Node, &TcvTreeListTextNode::FStateIndex, Value);
}

void TCustomcvTreeListControl::SetNodeIndex(TcvTreeListNode* Node, int TcvTreeListTextNode::*Field, int Value) {
    TcvTreeListTextNode* node = TextNode(Node);
    if (!node || node->*Field == Value) return;
    node->*Field = Value;
    InvalidateNode(Node, false);
}

TcvEditButtonViewStyle TCustomcvTreeListControl::GetDefaultButtonStyle() const {
    return cvTL::ButtonStyleOf(LookAndFeel());
}

void TCustomcvTreeListControl::DrawCellContent(HDC DC, const TRect& R, int Column, TcvTreeListCellViewData& Cell) {
    TcvTreeListColumn* column = Columns(Column);
    if (!column) return;
    column->SetPaintingNode(Cell.Node);
    TScopeGuard painted([column] { column->SetPaintingNode(nullptr); });
    TcvEditViewData& view = *column->GetViewData();
    column->PrepareViewData(view, Cell);
    TRect rect = R;
    if (Cell.InvertedSelection)
        TcvTreeListColumn::DrawInvertSelectFrame(DC, rect, Cell.Brush, Cell.LeftEdge, Cell.RightEdge);
    GetCellViewBounds(rect, view.Bounds);
    column->GetEditorClass().DrawCell(DC, view, nullptr);
}

bool TCustomcvTreeListControl::CalcCellLineCount(TcvTreeListNode* Node, int Column, const std::string& Text,
                                                 int BoundsWidth, int MaxLineCount, bool InflateFlag, bool GridFlag,
                                                 int& LineCount, int& TextHeight) {
    TcvTreeListColumn* column = Columns(Column);
    if (OnCalcRowLineHeight) {
        bool done = false;
        OnCalcRowLineHeight(this, Node, column, Text, BoundsWidth, TextHeight, MaxLineCount, InflateFlag, GridFlag,
                            LineCount, TextHeight, done);
        if (done) return true;
    }
    LineCount = 1;
    if (column) {
        TcvTreeListCellViewData cell;
        cell.Brush = Brush()->Handle();
        cell.Font = (IsColumnFontAssigned(Column) ? column->Font() : Font())->Handle();
        cell.Color = cell.TextColor = cell.ColumnColor = TColor(0);
        cell.ColumnBrush = cell.Brush;
        cell.Alignment = column->Alignment();
        cell.Text = Text;
        cell.MultiLine = true;
        cell.Node = Node;
        cell.SelectionColor = HighlightColor();
        cell.Hot = IsHotCell(Node, Column);
        column->SetPaintingNode(Node);
        TScopeGuard measured([column] { column->SetPaintingNode(nullptr); });
        TcvEditViewData& view = *column->GetViewData();
        column->PrepareViewData(view, cell);
        GetCellViewBounds({0, 0, BoundsWidth, TextHeight}, view.Bounds);
        const TcvInplaceEditClass& editorClass = column->GetEditorClass();
        TcvEditViewInfo info;
        editorClass.CalcViewInfo(view, false, info);
        view.MeasureRequest = true;
        view.LineCount = 0;
        TScreenCanvas screen;
        if (editorClass.DrawContent(screen.Canvas().Handle(), info.Content, view)) {
            TextHeight = view.TextHeight;
            LineCount = view.LineCount;
            if (MaxLineCount != -1 && LineCount > MaxLineCount) {
                LineCount = MaxLineCount;
                TextHeight = MaxLineCount * view.LineHeight;
            }
        }
        view.MeasureRequest = false;
    }
    TextHeight += cvTL::RowTextMargin;
    return true;
}

void TCustomcvTreeListControl::GetCellViewBounds(const TRect& R, TRect& Bounds) const {
    Bounds = R;
    InflateRect(Bounds, 2, 2);
}

// Messages ---------------------------------------------------------------------------------

void TCustomcvTreeListControl::WndProc(TMessage& Message) {
    if (Message.Msg == CM_FONTCHANGED) return CMFontChanged();
    TCustomcvTreeList::WndProc(Message);
}

void TCustomcvTreeListControl::CMFontChanged() {
    TUpdateGuard<TCustomcvTreeList> update(this);
    for (TcvTreeListColumn* column : FColumns)
        column->SyncFont();
}
