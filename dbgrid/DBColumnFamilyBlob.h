// The data-aware picture and blob columns. Their values are whole blobs, so
// filtering is always off: the graphic column paints the node's picture, the
// blob column an icon of the blob's kind (or its text) and edits the blob in
// a popup.
#pragma once

#include "dbgrid/DBColumnFamilyDropDown.h"
#include "editors/BlobEdit.h"
#include "editors/GraphicEdit.h"

#include <memory>
#include <string>

class TPicture;

class TcvInplaceDBTreeListGraphicEdit : public TcvInplaceGraphicEdit {
public:
    explicit TcvInplaceDBTreeListGraphicEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceGraphicEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvInplaceDBTreeListBlobEdit : public TcvInplaceBlobEdit {
public:
    explicit TcvInplaceDBTreeListBlobEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceBlobEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvDBTreeListGraphicColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListGraphicColumn(TComponent* AOwner);
    ~TcvDBTreeListGraphicColumn() override;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The node's picture, loaded into the column's picture, shapes the cell.
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    // The picture's width; 0 with Stretch or without a picture.
    int GetCellTextWidth(TCanvas* Canvas, TcvTreeListNode* Node) const override;
    bool IsPictureColumn() const override { return true; }
    bool CanEditValue() const override { return true; }

    // The graphic column's virtual operations.
    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual void DoCustomClick(TObject* Sender);
    // The class the node's blob loads as; none loads a bitmap.
    virtual TGraphicClass GetNodeGraphicClass(TcvTreeListNode* Node) const;
    virtual TGraphicClass DoGetGraphicClass(TcvTreeListNode* Node) const;

    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    const std::string& CustomFilter() const { return FCustomFilter; }
    void SetCustomFilter(const std::string& Value) { FCustomFilter = Value; }
    bool CustomGraphic() const { return FCustomGraphic; }
    void SetCustomGraphic(bool Value) { FCustomGraphic = Value; }
    bool DblClickActivate() const { return FDblClickActivate; }
    void SetDblClickActivate(bool Value) { FDblClickActivate = Value; }
    TcvGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
    void SetGraphicTransparency(TcvGraphicEditTransparency Value);
    // The settings the editor's picture tool window takes; a copy is kept.
    TcvPopupToolBarWindow* PopupToolBar() const { return FPopupToolBar.get(); }
    void SetPopupToolBar(TcvPopupToolBarWindow* Value) { FPopupToolBar->Assign(Value); }
    bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
    void SetPopupToolbarPosStored(bool Value) { FPopupToolbarPosStored = Value; }
    bool QuickDraw() const { return FQuickDraw; }
    void SetQuickDraw(bool Value);
    bool ShadowSelection() const { return FShadowSelection; }
    void SetShadowSelection(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    TPicture* Picture() const { return FPicture.get(); }

    TcvGraphicEditAssignPictureEvent OnAssignPicture;
    TNotifyEvent OnCustomClick;
    // Node: the row whose blob is loading.
    std::function<void(TObject* Sender, TcvTreeListNode* Node, TGraphicClass& GraphicClass)> OnGetGraphicClass;

private:
    // The node's value into the column's picture (cleared for a custom
    // graphic at design time).
    void LoadNodePicture(TcvTreeListNode* Node) const;
    // Stores Value in Flag and repaints when it differs.
    void SetPaintFlag(bool& Flag, bool Value);

    bool FCenter = true;
    std::string FCustomFilter;
    bool FCustomGraphic = false;
    bool FDblClickActivate = true;
    TcvGraphicEditTransparency FGraphicTransparency = gtDefault;
    std::unique_ptr<TcvPopupToolBarWindow> FPopupToolBar;
    bool FPopupToolbarPosStored = true;
    bool FQuickDraw = false;
    bool FShadowSelection = true;
    bool FStretch = true;
    TPoint FToolBarPos{-10000, -10000}; // none remembered yet
    std::unique_ptr<TPicture> FPicture;
};

class TcvDBTreeListBlobColumn : public TcvDBTreeListDropDownColumn {
public:
    explicit TcvDBTreeListBlobColumn(TComponent* AOwner);

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // With bpsText, the field's text cut to MaxDisplayLength.
    std::string GetDisplayText(TcvTreeListNode* Node) const override;
    bool TextFollowsValue() const override;
    std::string GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const override;
    // Every own setting but MaxDisplayLength, and the blob kind resolved for
    // the field.
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The field's bytes are the editor's blob.
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;

    // The blob column's virtual operations.
    virtual void DoAssignPicture(TObject* Sender, TPicture*& Picture);
    virtual TGraphicClass DoGetGraphicClass(TObject* Sender) const;
    // A blob editor's popup size becomes the column's.
    virtual void StorePopupSize(TcvInplaceEdit* Editor);

    bool AlwaysSaveText() const { return FAlwaysSaveText; }
    void SetAlwaysSaveText(bool Value) { FAlwaysSaveText = Value; }
    TcvBlobKind BlobKind() const { return FBlobKind; }
    void SetBlobKind(TcvBlobKind Value);
    TcvBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
    void SetBlobPaintStyle(TcvBlobPaintStyle Value);
    int MaxDisplayLength() const { return FMaxDisplayLength; }
    void SetMaxDisplayLength(int Value) { FMaxDisplayLength = Value; }
    TEditCharCase MemoCharCase() const { return FMemoCharCase; }
    void SetMemoCharCase(TEditCharCase Value) { FMemoCharCase = Value; }
    bool MemoHideScrollBars() const { return FMemoHideScrollBars; }
    void SetMemoHideScrollBars(bool Value) { FMemoHideScrollBars = Value; }
    int MemoMaxLength() const { return FMemoMaxLength; }
    void SetMemoMaxLength(int Value) { FMemoMaxLength = Value; }
    bool MemoOEMConvert() const { return FMemoOEMConvert; }
    void SetMemoOEMConvert(bool Value) { FMemoOEMConvert = Value; }
    TScrollStyle MemoScrollBars() const { return FMemoScrollBars; }
    void SetMemoScrollBars(TScrollStyle Value) { FMemoScrollBars = Value; }
    bool MemoSelectionBar() const { return FMemoSelectionBar; }
    void SetMemoSelectionBar(bool Value) { FMemoSelectionBar = Value; }
    bool MemoWantReturns() const { return FMemoWantReturns; }
    void SetMemoWantReturns(bool Value) { FMemoWantReturns = Value; }
    bool MemoWantTabs() const { return FMemoWantTabs; }
    void SetMemoWantTabs(bool Value) { FMemoWantTabs = Value; }
    bool MemoWordWrap() const { return FMemoWordWrap; }
    void SetMemoWordWrap(bool Value) { FMemoWordWrap = Value; }
    bool PictureAutoSize() const { return FPictureAutoSize; }
    void SetPictureAutoSize(bool Value) { FPictureAutoSize = Value; }
    const std::string& PictureFilter() const { return FPictureFilter; }
    void SetPictureFilter(const std::string& Value) { FPictureFilter = Value; }
    TcvGraphicEditTransparency PictureTransparency() const { return FPictureTransparency; }
    void SetPictureTransparency(TcvGraphicEditTransparency Value) { FPictureTransparency = Value; }
    int PopupHeight() const { return FPopupHeight; }
    void SetPopupHeight(int Value) { FPopupHeight = Value; }
    int PopupWidth() const { return FPopupWidth; }
    void SetPopupWidth(int Value) { FPopupWidth = Value; }
    bool ShowExPopupItems() const { return FShowExPopupItems; }
    void SetShowExPopupItems(bool Value) { FShowExPopupItems = Value; }
    bool ShowPicturePopup() const { return FShowPicturePopup; }
    void SetShowPicturePopup(bool Value) { FShowPicturePopup = Value; }
    bool SizeablePopup() const { return FSizeablePopup; }
    void SetSizeablePopup(bool Value) { FSizeablePopup = Value; }

    TcvBlobAssignPictureEvent OnAssignPicture;
    TcvBlobGetGraphicClassEvent OnGetGraphicClass;

private:
    bool FAlwaysSaveText = false;
    TcvBlobKind FBlobKind = bkAuto;
    TcvBlobPaintStyle FBlobPaintStyle = bpsIcon;
    int FMaxDisplayLength = 255;
    TEditCharCase FMemoCharCase = ecNormal;
    bool FMemoHideScrollBars = true;
    int FMemoMaxLength = 0;
    bool FMemoOEMConvert = false;
    TScrollStyle FMemoScrollBars = ssBoth;
    bool FMemoSelectionBar = false;
    bool FMemoWantReturns = true;
    bool FMemoWantTabs = true;
    bool FMemoWordWrap = true;
    bool FPictureAutoSize = true;
    std::string FPictureFilter;
    TcvGraphicEditTransparency FPictureTransparency = gtDefault;
    int FPopupHeight = 140;
    int FPopupWidth = 200;
    bool FShowExPopupItems = false;
    bool FShowPicturePopup = false;
    bool FSizeablePopup = true;
};
