// The graphic and blob columns.
#include "dbgrid/DBColumnFamilyBlob.h"

#include "dbgrid/DBColumnFamilyShared.h"
#include "editors/ExEdtr.h"
#include "editors/PictureValue.h"
#include "platform/data/DB.h"
#include "platform/ui/Graphics.h"
#include "treelist/TreeListCellViewData.h"
#include "treelist/TreeListNode.h"

const TcvInplaceEditClass& TcvInplaceDBTreeListGraphicEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListGraphicEdit, TcvGraphicEditClassOps>::Instance();
}

const TcvInplaceEditClass& TcvInplaceDBTreeListBlobEdit::StaticClass() {
    return TcvEditorClass<TcvInplaceDBTreeListBlobEdit, TcvBlobEditClassOps>::Instance();
}

// Graphic column ------------------------------------------------------------------------

TcvDBTreeListGraphicColumn::TcvDBTreeListGraphicColumn(TComponent* AOwner)
    : TcvDBTreeListColumn(AOwner), FPopupToolBar(std::make_unique<TcvPopupToolBarWindow>()),
      FPicture(std::make_unique<TPicture>()) {
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
}

TcvDBTreeListGraphicColumn::~TcvDBTreeListGraphicColumn() = default;

void TcvDBTreeListGraphicColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListGraphicColumn*>(Source);
    if (!source) return TcvDBTreeListColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListColumn::Assign(Source);
        SetCenter(source->FCenter);
        FCustomFilter = source->FCustomFilter;
        FCustomGraphic = source->FCustomGraphic;
        FDblClickActivate = source->FDblClickActivate;
        SetGraphicTransparency(source->FGraphicTransparency);
        SetPopupToolBar(source->FPopupToolBar.get());
        FPopupToolbarPosStored = source->FPopupToolbarPosStored;
        SetQuickDraw(source->FQuickDraw);
        SetShadowSelection(source->FShadowSelection);
        SetStretch(source->FStretch);
    });
}

void TcvDBTreeListGraphicColumn::RestoreDefaults() {
    TcvDBTreeListColumn::RestoreDefaults();
    SetHeaderMaxLineCount(0);
    SetDisableFilter(true);
    FCenter = true;
    FCustomFilter.clear();
    FCustomGraphic = false;
    FDblClickActivate = true;
    FGraphicTransparency = gtDefault;
    TcvPopupToolBarWindow defaultToolBar;
    SetPopupToolBar(&defaultToolBar);
    FPopupToolbarPosStored = true;
    FQuickDraw = false;
    FShadowSelection = true;
    FStretch = true;
}

const TcvInplaceEditClass& TcvDBTreeListGraphicColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListGraphicEdit::StaticClass();
}

void TcvDBTreeListGraphicColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListColumn::InitEditor(Editor);
    auto* graphic = dynamic_cast<TcvInplaceGraphicEdit*>(Editor);
    if (!graphic) return;
    graphic->SetCenter(FCenter);
    graphic->SetCustomFilter(FCustomFilter);
    graphic->SetDblClickActivate(FDblClickActivate);
    graphic->SetGraphicTransparency(FGraphicTransparency);
    graphic->PopupToolBar()->Assign(FPopupToolBar.get());
    graphic->SetStoredToolBarPos(FToolBarPos);
    graphic->SetPopupToolbarPosStored(FPopupToolbarPosStored);
    graphic->SetQuickDraw(FQuickDraw);
    graphic->SetStretch(FStretch);
    graphic->OnAssignPicture = [this](TObject* Sender, TPicture*& Picture) { DoAssignPicture(Sender, Picture); };
    graphic->OnCustomClick = [this](TObject* Sender) { DoCustomClick(Sender); };
    graphic->OnGetGraphicClass = [this](TObject*, TGraphicClass& GraphicClass) {
        GraphicClass = GetNodeGraphicClass(TreeList() ? TreeList()->FocusedNode() : nullptr);
    };
}

void TcvDBTreeListGraphicColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    LoadNodePicture(Cell.Node);
    TcvDBTreeListColumn::PrepareViewData(ViewData, Cell);
    auto* graphic = dynamic_cast<TcvGraphicEditViewData*>(&ViewData);
    if (!graphic) return;
    graphic->Picture = FPicture.get();
    graphic->Center = FCenter;
    graphic->QuickDraw = FQuickDraw;
    graphic->SelectionShading = FShadowSelection && Cell.Selected;
    graphic->SelectionColor = ColorToRGB(Cell.SelectionColor);
    graphic->Stretch = FStretch;
}

int TcvDBTreeListGraphicColumn::GetCellTextWidth(TCanvas* Canvas, TcvTreeListNode* Node) const {
    (void)Canvas;
    LoadNodePicture(Node);
    return FStretch ? 0 : FPicture->Width();
}

void TcvDBTreeListGraphicColumn::DoAssignPicture(TObject* Sender, TPicture*& Picture) {
    (void)Sender;
    if (OnAssignPicture) OnAssignPicture(this, Picture);
}

void TcvDBTreeListGraphicColumn::DoCustomClick(TObject* Sender) {
    (void)Sender;
    if (OnCustomClick) OnCustomClick(this);
}

TGraphicClass TcvDBTreeListGraphicColumn::GetNodeGraphicClass(TcvTreeListNode* Node) const {
    return DoGetGraphicClass(Node);
}

TGraphicClass TcvDBTreeListGraphicColumn::DoGetGraphicClass(TcvTreeListNode* Node) const {
    TGraphicClass graphicClass;
    if (OnGetGraphicClass) OnGetGraphicClass(const_cast<TcvDBTreeListGraphicColumn*>(this), Node, graphicClass);
    return graphicClass;
}

void TcvDBTreeListGraphicColumn::LoadNodePicture(TcvTreeListNode* Node) const {
    Variant value;
    const bool designing = ComponentState().Contains(csDesigning);
    if (Node && !(FCustomGraphic && designing)) Node->GetValue(GetIndex(), value);
    cvExEdtr::LoadPictureFromValue(FPicture.get(), DoGetGraphicClass(Node), value);
}

void TcvDBTreeListGraphicColumn::SetPaintFlag(bool& Flag, bool Value) {
    if (Value == Flag) return;
    Flag = Value;
    Changed(false);
}

void TcvDBTreeListGraphicColumn::SetCenter(bool Value) {
    SetPaintFlag(FCenter, Value);
}

void TcvDBTreeListGraphicColumn::SetGraphicTransparency(TcvGraphicEditTransparency Value) {
    if (Value == FGraphicTransparency) return;
    FGraphicTransparency = Value;
    Changed(false);
}

void TcvDBTreeListGraphicColumn::SetQuickDraw(bool Value) {
    SetPaintFlag(FQuickDraw, Value);
}

void TcvDBTreeListGraphicColumn::SetShadowSelection(bool Value) {
    SetPaintFlag(FShadowSelection, Value);
}

void TcvDBTreeListGraphicColumn::SetStretch(bool Value) {
    SetPaintFlag(FStretch, Value);
}

// Blob column ---------------------------------------------------------------------------

TcvDBTreeListBlobColumn::TcvDBTreeListBlobColumn(TComponent* AOwner) : TcvDBTreeListDropDownColumn(AOwner) {
    SetDisableFilter(true);
    SetMinWidth(20);
}

void TcvDBTreeListBlobColumn::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TcvDBTreeListBlobColumn*>(Source);
    if (!source) return TcvDBTreeListDropDownColumn::Assign(Source);
    CopyInsideUpdate(*this, [&] {
        TcvDBTreeListDropDownColumn::Assign(Source);
        FAlwaysSaveText = source->FAlwaysSaveText;
        SetBlobKind(source->FBlobKind);
        SetBlobPaintStyle(source->FBlobPaintStyle);
        FMaxDisplayLength = source->FMaxDisplayLength;
        FMemoCharCase = source->FMemoCharCase;
        FMemoHideScrollBars = source->FMemoHideScrollBars;
        FMemoMaxLength = source->FMemoMaxLength;
        FMemoOEMConvert = source->FMemoOEMConvert;
        FMemoScrollBars = source->FMemoScrollBars;
        FMemoSelectionBar = source->FMemoSelectionBar;
        FMemoWantReturns = source->FMemoWantReturns;
        FMemoWantTabs = source->FMemoWantTabs;
        FMemoWordWrap = source->FMemoWordWrap;
        FPictureAutoSize = source->FPictureAutoSize;
        FPictureFilter = source->FPictureFilter;
        FPictureTransparency = source->FPictureTransparency;
        FPopupHeight = source->FPopupHeight;
        FPopupWidth = source->FPopupWidth;
        FShowExPopupItems = source->FShowExPopupItems;
        FShowPicturePopup = source->FShowPicturePopup;
        FSizeablePopup = source->FSizeablePopup;
    });
}

void TcvDBTreeListBlobColumn::RestoreDefaults() {
    TcvDBTreeListDropDownColumn::RestoreDefaults();
    SetDisableFilter(true);
    SetMinWidth(20);
    FAlwaysSaveText = false;
    FBlobKind = bkAuto;
    FBlobPaintStyle = bpsIcon;
    FMaxDisplayLength = 255;
    FMemoCharCase = ecNormal;
    FMemoHideScrollBars = true;
    FMemoMaxLength = 0;
    FMemoOEMConvert = false;
    FMemoScrollBars = ssBoth;
    FMemoSelectionBar = false;
    FMemoWantReturns = true;
    FMemoWantTabs = true;
    FMemoWordWrap = true;
    FPictureAutoSize = true;
    FPictureFilter.clear();
    FPictureTransparency = gtDefault;
    FPopupHeight = 140;
    FPopupWidth = 200;
    FShowExPopupItems = false;
    FShowPicturePopup = false;
    FSizeablePopup = true;
}

const TcvInplaceEditClass& TcvDBTreeListBlobColumn::GetEditorClass() const {
    return TcvInplaceDBTreeListBlobEdit::StaticClass();
}

std::string TcvDBTreeListBlobColumn::GetDisplayText(TcvTreeListNode* Node) const {
    if (FBlobPaintStyle != bpsText || !Field()) return TcvDBTreeListDropDownColumn::GetDisplayText(Node);
    return CutToDisplayLength(Field()->AsString(), FMaxDisplayLength);
}

bool TcvDBTreeListBlobColumn::TextFollowsValue() const {
    return (FBlobPaintStyle == bpsText && Field()) || TcvDBTreeListDropDownColumn::TextFollowsValue();
}

std::string TcvDBTreeListBlobColumn::GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const {
    if (FBlobPaintStyle != bpsText || !Field()) return TcvDBTreeListDropDownColumn::GetStoredDisplayText(Node, Value);
    return CutToDisplayLength(Value.AsString(), FMaxDisplayLength);
}

void TcvDBTreeListBlobColumn::InitEditor(TcvInplaceEdit* Editor) {
    TcvDBTreeListDropDownColumn::InitEditor(Editor);
    auto* blob = dynamic_cast<TcvInplaceBlobEdit*>(Editor);
    if (!blob) return;
    blob->SetAlwaysSaveText(FAlwaysSaveText);
    blob->SetBlobKind(cvDBEdtr::ResolveBlobKind(FBlobKind, Field()));
    blob->SetBlobPaintStyle(FBlobPaintStyle);
    blob->SetMemoCharCase(FMemoCharCase);
    blob->SetMemoHideScrollBars(FMemoHideScrollBars);
    blob->SetMemoMaxLength(FMemoMaxLength);
    blob->SetMemoOEMConvert(FMemoOEMConvert);
    blob->SetMemoScrollBars(FMemoScrollBars);
    blob->SetMemoSelectionBar(FMemoSelectionBar);
    blob->SetMemoWantReturns(FMemoWantReturns);
    blob->SetMemoWantTabs(FMemoWantTabs);
    blob->SetMemoWordWrap(FMemoWordWrap);
    blob->SetPictureAutoSize(FPictureAutoSize);
    blob->SetPictureFilter(FPictureFilter);
    blob->SetPictureTransparency(Byte(FPictureTransparency));
    blob->SetPopupSize(FPopupWidth, FPopupHeight);
    blob->SetShowExPopupItems(FShowExPopupItems);
    blob->SetShowPicturePopup(FShowPicturePopup);
    blob->SetSizeablePopup(FSizeablePopup);
    blob->OnAssignPicture = [this](TObject* Sender, TPicture*& Picture) { DoAssignPicture(Sender, Picture); };
    blob->OnGetGraphicClass = [this](TObject* Sender, TGraphicClass& GraphicClass) {
        GraphicClass = DoGetGraphicClass(Sender);
    };
}

void TcvDBTreeListBlobColumn::InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) {
    auto* blob = dynamic_cast<TcvInplaceBlobEdit*>(Editor);
    if (!Field() || !blob) return TcvDBTreeListDropDownColumn::InitEditValue(Node, Editor, Value);
    blob->SetBlobValue(Field()->AsString());
    Value = blob->BlobValue();
}

void TcvDBTreeListBlobColumn::PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) {
    TcvDBTreeListDropDownColumn::PrepareViewData(ViewData, Cell);
    auto* blob = dynamic_cast<TcvBlobEditViewData*>(&ViewData);
    if (!blob) return;
    blob->BlobKind = cvDBEdtr::ResolveBlobKind(FBlobKind, Field());
    blob->PaintStyle = FBlobPaintStyle;
    blob->Images = cvExEdtr::BlobGlyphs();
    std::string text;
    if (Cell.Node && !Cell.NewItemRowIdle) {
        if (FBlobPaintStyle == bpsText) {
            Variant value;
            Cell.Node->GetValue(GetIndex(), value);
            text = CutToDisplayLength(VarToStr(value), FMaxDisplayLength);
        } else {
            text = Cell.Node->Strings(GetIndex());
        }
    }
    blob->Value = text;
    blob->BlobEmpty = text.empty();
}

void TcvDBTreeListBlobColumn::DoAssignPicture(TObject* Sender, TPicture*& Picture) {
    (void)Sender;
    if (OnAssignPicture) OnAssignPicture(this, Picture);
}

TGraphicClass TcvDBTreeListBlobColumn::DoGetGraphicClass(TObject* Sender) const {
    (void)Sender;
    TGraphicClass graphicClass;
    if (OnGetGraphicClass) OnGetGraphicClass(const_cast<TcvDBTreeListBlobColumn*>(this), graphicClass);
    return graphicClass;
}

void TcvDBTreeListBlobColumn::StorePopupSize(TcvInplaceEdit* Editor) {
    if (auto* blob = dynamic_cast<TcvInplaceBlobEdit*>(Editor)) {
        FPopupWidth = blob->PopupWidth();
        FPopupHeight = blob->PopupHeight();
    }
}

void TcvDBTreeListBlobColumn::SetBlobKind(TcvBlobKind Value) {
    if (Value == FBlobKind) return;
    FBlobKind = Value;
    Changed(false);
}

void TcvDBTreeListBlobColumn::SetBlobPaintStyle(TcvBlobPaintStyle Value) {
    if (Value == FBlobPaintStyle) return;
    FBlobPaintStyle = Value;
    Changed(false);
}
