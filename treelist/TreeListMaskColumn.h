// TcvTreeListMaskColumn: a column whose cells are edited through an edit
// mask. It hands its mask and its blank rule to the mask editor it names;
// an empty mask edits like a text column.
#pragma once

#include "editors/MaskEdit.h"
#include "treelist/TreeListColumns.h"

#include <string>

// The mask editor under the tree list's own name.
class TcvInplaceTreeListMaskEdit : public TcvInplaceMaskEdit {
public:
    explicit TcvInplaceTreeListMaskEdit(TComponent* AOwner, const TcvInplaceEditClass& Class = StaticClass())
        : TcvInplaceMaskEdit(AOwner, Class) {}
    static const TcvInplaceEditClass& StaticClass();
};

class TcvTreeListMaskColumn : public TcvTreeListColumn {
public:
    using TcvTreeListColumn::TcvTreeListColumn;

    // From another mask column: the column's values, then EditMask (its own
    // IgnoreMaskBlank stays).
    void Assign(TPersistent* Source) override;
    const TcvInplaceEditClass& GetEditorClass() const override;
    // The mask and the blank rule on a mask editor, and the column's set-up.
    void InitEditor(TcvInplaceEdit* Editor) override;
    // The column's defaults and no mask.
    void RestoreDefaults() override;

    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& Value) { FEditMask = Value; }
    // A value left blank is accepted.
    bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool Value) { FIgnoreMaskBlank = Value; }

private:
    std::string FEditMask;
    bool FIgnoreMaskBlank = false;
};
