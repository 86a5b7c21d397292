#include "dbgrid/DBGridLayout.h"

#include "dbgrid/DBGridProperties.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Graphics.h"

#include <algorithm>

// TcvDBGridWrapper -------------------------------------------------------------------

TcvDBGridWrapper::TcvDBGridWrapper(TComponent* AOwner, TcvDBGridLayout* ALayout)
    : TcvDBGrid(AOwner), FLayout(ALayout) {}

void TcvDBGridWrapper::SetName(const std::string& NewName) {
    (void)NewName;
}

std::string TcvDBGridWrapper::NamePath() const {
    return (FLayout ? FLayout->Name() : std::string()) + ".(DBGrid)";
}

void TcvDBGridWrapper::ApplyFilterToDataSet() {}

// TcvDBGridLayout --------------------------------------------------------------------

namespace {

// The grid carries the layout-streaming mark while a look streams.
auto MarkStreamingLayout(TCustomcvDBGrid* Grid) {
    Grid->SetStreamingLayout(true);
    return TScopeGuard([Grid] { Grid->SetStreamingLayout(false); });
}

} // namespace

TcvDBGridLayout::TcvDBGridLayout(TComponent* AOwner)
    : TComponent(AOwner), FData(std::make_unique<TMemoryStream>()) {}

TcvDBGridLayout::~TcvDBGridLayout() {
    FWrapper.reset();
    SetEditParent(nullptr);
    SetLayoutList(nullptr);
}

void TcvDBGridLayout::Assign(TPersistent* Source) {
    if (auto* layout = dynamic_cast<TcvDBGridLayout*>(Source)) {
        if (layout == this) return;
        FData->Clear();
        FData->CopyFrom(layout->FData.get(), 0);
        // Storing writes the wrapper back into Data: it must hold the copy.
        if (FWrapper) RenewWrapper();
        return;
    }
    if (auto* grid = dynamic_cast<TCustomcvDBGrid*>(Source)) {
        WriteGridToData(grid);
        RenewWrapper();
        WriteGridToData(FWrapper.get());
        return;
    }
    TComponent::Assign(Source);
}

void TcvDBGridLayout::AssignTo(TPersistent* Dest) {
    auto* grid = dynamic_cast<TCustomcvDBGrid*>(Dest);
    if (!grid) return TComponent::AssignTo(Dest);
    TUpdateGuard<TCustomcvTreeList> update(grid);
    ResetGridToDefaults(grid);
    const std::string name = grid->Name();
    {
        const auto streaming = MarkStreamingLayout(grid);
        try {
            ReadDataToGrid(grid);
        } catch (...) {
            // What was read before the damage goes: the grid keeps its defaults.
            ResetGridToDefaults(grid);
            grid->SetName(name);
            throw;
        }
        grid->SetName(name);
    }
    grid->LayoutStreamed();
    // The criteria were read before the columns they name: bind and apply
    // them now.
    grid->Filter()->Changed();
}

void TcvDBGridLayout::RenewWrapper() {
    FWrapper.reset();
    SetEditing(true);
}

void TcvDBGridLayout::WriteGridToData(TCustomcvDBGrid* Grid) {
    FData->Clear();
    const auto streaming = MarkStreamingLayout(Grid);
    WriteComponent(FData.get(), Grid);
}

void TcvDBGridLayout::ReadDataToGrid(TCustomcvDBGrid* Grid) {
    if (FData->Size() == 0) return;
    FData->SetPosition(0);
    // References name components of the grid's form; the wrapper has none,
    // so it looks in the layout's.
    TComponent* scope = Grid->Owner() ? Grid->Owner() : Owner();
    ReadComponent(FData.get(), Grid, [scope](const std::string& Name) {
        return scope ? scope->FindComponent(Name) : nullptr;
    });
}

bool TcvDBGridLayout::IsDataStored() const {
    return FWrapper || FData->Size() > 0;
}

void TcvDBGridLayout::WriteData(TStream* Stream) {
    if (FWrapper) WriteGridToData(FWrapper.get());
    std::string bytes;
    AppendLittleEndian(bytes, int32_t(FData->Size()));
    bytes.append(static_cast<const char*>(FData->Memory()), size_t(FData->Size()));
    Stream->WriteBuffer(bytes.data(), Integer(bytes.size()));
}

void TcvDBGridLayout::ReadData(TStream* Stream) {
    TBoundedReader reader(Stream);
    const std::string bytes = reader.Bytes(reader.Count(1));
    FData->Clear();
    FData->WriteBuffer(bytes.data(), Integer(bytes.size()));
}

void TcvDBGridLayout::SetEditing(bool Value) {
    if (Value) {
        if (!FWrapper) {
            FWrapper = std::make_unique<TcvDBGridWrapper>(nullptr, this);
            FWrapper->FreeNotification(this);
        }
        if (FEditParent) {
            const TRect client = FEditParent->ClientRect();
            FWrapper->SetBounds(client.Left, client.Top, client.Right - client.Left, client.Bottom - client.Top);
            FWrapper->SetParent(FEditParent);
        }
        if (FData->Size() > 0)
            ReadDataToGrid(FWrapper.get());
        else
            WriteGridToData(FWrapper.get());
    } else if (FWrapper) {
        WriteGridToData(FWrapper.get());
        FWrapper.reset();
    }
}

void TcvDBGridLayout::SetEditParent(TWinControl* Value) {
    if (FEditParent == Value) return;
    if (FEditParent) FEditParent->RemoveFreeNotification(this);
    FEditParent = Value;
    if (FEditParent) FEditParent->FreeNotification(this);
}

void TcvDBGridLayout::SetLayoutList(TcvDBGridLayoutList* Value) {
    if (FLayoutList == Value) return;
    if (FLayoutList) {
        std::vector<TcvDBGridLayout*>& layouts = FLayoutList->FLayouts;
        layouts.erase(std::remove(layouts.begin(), layouts.end(), this), layouts.end());
    }
    FLayoutList = Value;
    if (FLayoutList) FLayoutList->FLayouts.push_back(this);
}

void TcvDBGridLayout::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    if (FLayoutList) FLayoutList->Changed();
}

void TcvDBGridLayout::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FEditParent) FEditParent = nullptr;
    // The edit parent frees its child controls, the wrapper among them.
    if (AComponent == FWrapper.get()) (void)FWrapper.release();
}

void TcvDBGridLayout::ResetGridToDefaults(TCustomcvDBGrid* Grid) {
    TUpdateGuard<TCustomcvTreeList> update(Grid);
    TFont defaultFont;
    // The dataset the grid filtered goes unfiltered before the grid lets it go.
    Grid->Filter()->SetAutoDataSetFilter(false);
    Grid->SetDataSource(nullptr);
    Grid->DestroyColumns();
    // Bands and summary groups as a new grid has them, so nothing of the
    // grid's own look outlives the layout.
    Grid->Bands()->Clear();
    Grid->Bands()->Add();
    Grid->SummaryGroups()->Clear();
    Grid->SetBorderStyle(bsSingle);
    Grid->SetColor(clWindow);
    Grid->SetCtl3D(true);
    Grid->SetDragCursor(crDrag);
    Grid->SetFont(&defaultFont);
    Grid->SetParentColor(false);
    Grid->SetParentCtl3D(true);
    Grid->SetParentFont(true);
    Grid->SetPopupMenu(nullptr);
    Grid->SetArrowsColor(clLime);
    Grid->SetGroupPanelColor(clBtnShadow);
    Grid->SetGroupPanelFontColor(clBtnFace);
    Grid->SetGroupNodeColor(clBtnFace);
    Grid->SetGroupNodeTextColor(clNone);
    Grid->SetBandColor(clBtnFace);
    Grid->SetBandFont(&defaultFont);
    Grid->SetRowFooterColor(cl3DLight);
    Grid->SetRowFooterTextColor(clWindowText);
    Grid->SetHeaderColor(clBtnFace);
    Grid->SetHeaderFont(&defaultFont);
    Grid->SetHideFocusRect(false);
    Grid->SetHideSelection(false);
    Grid->SetIndentDesc(20);
    Grid->SetFixedBandLineWidth(2);
    Grid->SetLookAndFeel(lfStandard);
    Grid->SetDefaultRowHeight(17);
    Grid->SetRowSeparatorLineWidth(1);
    Grid->SetPreviewLines(2);
    TFont previewFont;
    previewFont.SetColor(clBlue);
    Grid->SetPreviewFont(&previewFont);
    // A part font's change cuts the link to the parent's font.
    Grid->SetParentFont(true);
    Grid->SetHighlightColor(clHighlight);
    Grid->SetHighlightTextColor(clHighlightText);
    Grid->SetHideSelectionColor(clHighlight);
    Grid->SetHideSelectionTextColor(clHighlightText);
    Grid->SetWaitForExpandNodeTime(500);
    Grid->SetScrollBars(ssBoth);
    Grid->SetCustomizingRowCount(11);
    Grid->SetShowBands(false);
    Grid->SetShowGrid(true);
    Grid->SetShowPreviewGrid(true);
    Grid->SetShowHeader(true);
    Grid->SetShowRowFooter(false);
    Grid->SetShowNewItemRow(false);
    Grid->SetIniFileName("");
    Grid->SetGrIndicatorWidth(12);
    Grid->SetPreviewFieldName("");
    Grid->SetRegistryPath("");
    Grid->SetGridLineColor(clNone);
    Grid->SetDefaultFields(false);
    Grid->SetKeyField("");
    Grid->SetShowGroupPanel(false);
    Grid->SetShowSummaryFooter(false);
    Grid->SetSummarySeparator(", ");
    Grid->SetPreviewMaxLength(0);
    Grid->Filter()->RestoreDefaults();
    Grid->SetAutoExpandOnSearch(true);
    Grid->SetAutoSearchColor(clNone);
    Grid->SetAutoSearchTextColor(clNone);
    Grid->SetDblClkExpanding(true);
    Grid->SetFixedBandLineColor(clWindowFrame);
    Grid->SetIniSectionName("");
    Grid->SetMaxRowLineCount(-1);
    Grid->SetOptionsBehavior(cvDBGrid::DefaultOptionsBehavior);
    Grid->SetOptionsCustomize(cvDBGrid::DefaultOptionsCustomize);
    Grid->SetOptionsDB(cvDBGrid::DefaultOptionsDB);
    Grid->SetOptionsView(cvDBGrid::DefaultOptionsView);
}

// TcvDBGridLayoutList ----------------------------------------------------------------

TcvDBGridLayoutList::TcvDBGridLayoutList(TComponent* AOwner) : TComponent(AOwner) {}

TcvDBGridLayoutList::~TcvDBGridLayoutList() {
    while (!FLayouts.empty())
        delete FLayouts.back();
}

TcvDBGridLayout* TcvDBGridLayoutList::Layouts(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    return FLayouts[size_t(Index)];
}

std::vector<TComponent*> TcvDBGridLayoutList::Children(TComponent* Root) const {
    std::vector<TComponent*> children;
    for (TcvDBGridLayout* layout : FLayouts)
        if (layout->Owner() == Root) children.push_back(layout);
    return children;
}

void TcvDBGridLayoutList::Changed() {
    Fire(OnChange, this);
}

// Registration -----------------------------------------------------------------------

void cvLayout::RegisterClasses() {
    static const bool registered = [] {
        RegisterDBGridProperties();
        ::RegisterClasses({ClassOf<TcvDBGrid>()});
        RegisterClass(TComponentClass(typeid(TcvDBGridWrapper), "TcvDBGridWrapper", [](TComponent* AOwner) {
            return new TcvDBGridWrapper(AOwner, nullptr);
        }));
        RegisterClass(ClassOf<TcvDBGridLayout>());
        TPropertyTableOf<TcvDBGridLayout>()
            .Binary(
                "Data", [](TcvDBGridLayout* L) { return L->IsDataStored(); },
                [](TcvDBGridLayout* L, TStream* S) { L->WriteData(S); },
                [](TcvDBGridLayout* L, TStream* S) { L->ReadData(S); })
            .Register();
        return true;
    }();
    (void)registered;
}
