// The wrapper column: borrows another column's behaviour row by row. A
// handler names the reference column for a node; each cell operation runs on
// that column (reading and writing the wrapper's cells), and without one the
// wrapper behaves as a plain column of its field. Filtering is always off.
#pragma once

#include "dbgrid/DBTreeListColumn.h"

#include <functional>

using TcvGetReferenceColumnEvent =
    std::function<void(TObject* Sender, TcvTreeListNode* Node, TcvDBTreeListColumn*& Column)>;

class TcvDBTreeListWrapperColumn : public TcvDBTreeListColumn {
public:
    explicit TcvDBTreeListWrapperColumn(TComponent* AOwner);

    void RestoreDefaults() override;
    void ApplyEditorValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    std::string GetDisplayText(TcvTreeListNode* Node) const override;
    bool TextFollowsValue() const override;
    std::string GetStoredDisplayText(TcvTreeListNode* Node, const Variant& Value) const override;
    void GetCellCursor(TcvTreeListNode* Node, TCursor& Cursor) const override;
    void InitEditor(TcvInplaceEdit* Editor) override;
    void InitEditValue(TcvTreeListNode* Node, TcvInplaceEdit* Editor, Variant& Value) override;
    bool ShowsEditButton(bool Default) const override;
    void PrepareViewData(TcvEditViewData& ViewData, const TcvTreeListCellViewData& Cell) override;
    std::string GetValueText(const Variant& Value) const override;
    bool CanEditValue() const override;
    bool IsValueCurrent(const Variant& Value) const override;
    bool IsPictureColumn() const override;
    void LoadNodeValue(TcvTreeListNode* Node) override;

    // The wrapper column's virtual operation: OnGetReferenceColumn for Node,
    // or for the focused node when Node is nullptr; nullptr when none.
    virtual TcvDBTreeListColumn* GetReferenceColumn(TcvTreeListNode* Node) const;

    TcvGetReferenceColumnEvent OnGetReferenceColumn;

private:
    // Runs Operation on Reference while it reads and writes this column's cells.
    template <class TOperation> void AtOwnIndex(TcvDBTreeListColumn& Reference, TOperation&& Operation) const;
};
