// The grid's column classes: the plain and mask columns, and one class over
// each member of the data-aware column family. They add no behaviour of
// their own but the check column's display texts and the image column's
// descriptions, shown wherever the grid shows a value as text outside the
// cell; the grid's grouping and summary settings come with the column base.
// The unit's start-up fills the grid's field-type registry with them.
#pragma once

#include "dbgrid/DBColumnFamily.h"

class TcvDBGridColumn : public TcvDBTreeListColumn {
public:
    using TcvDBTreeListColumn::TcvDBTreeListColumn;
};

class TcvDBGridMaskColumn : public TcvDBTreeListMaskColumn {
public:
    using TcvDBTreeListMaskColumn::TcvDBTreeListMaskColumn;
};

class TcvDBGridButtonColumn : public TcvDBTreeListButtonColumn {
public:
    using TcvDBTreeListButtonColumn::TcvDBTreeListButtonColumn;
};

class TcvDBGridDateColumn : public TcvDBTreeListDateColumn {
public:
    using TcvDBTreeListDateColumn::TcvDBTreeListDateColumn;
};

// Its three states show as DisplayChecked, DisplayUnChecked and DisplayNull
// outside the cell, each where it is not empty.
class TcvDBGridCheckColumn : public TcvDBTreeListCheckColumn {
public:
    using TcvDBTreeListCheckColumn::TcvDBTreeListCheckColumn;

    void Assign(TPersistent* Source) override;
    void RestoreDefaults() override;
    std::string ConvertFilterText(const std::string& Text) const override;
    // With any display text set, the filter editor describes the three
    // values with the display texts (DisplayNull, DisplayUnChecked,
    // DisplayChecked, empty ones included).
    void InitFilterEdit(TcvInplaceEdit* Editor) override;

    const std::string& DisplayChecked() const { return FDisplayChecked; }
    void SetDisplayChecked(const std::string& Value);
    const std::string& DisplayUnChecked() const { return FDisplayUnChecked; }
    void SetDisplayUnChecked(const std::string& Value);
    const std::string& DisplayNull() const { return FDisplayNull; }
    void SetDisplayNull(const std::string& Value);

private:
    // Stores Value in Text and relays out when it differs.
    void SetDisplayText(std::string& Text, const std::string& Value);

    std::string FDisplayChecked;
    std::string FDisplayUnChecked;
    std::string FDisplayNull;
};

// A value shows as its description outside the cell, when it has one.
class TcvDBGridImageColumn : public TcvDBTreeListImageColumn {
public:
    using TcvDBTreeListImageColumn::TcvDBTreeListImageColumn;

    std::string ConvertFilterText(const std::string& Text) const override;
};

class TcvDBGridSpinColumn : public TcvDBTreeListSpinColumn {
public:
    using TcvDBTreeListSpinColumn::TcvDBTreeListSpinColumn;
};

class TcvDBGridLookupColumn : public TcvDBTreeListLookupColumn {
public:
    using TcvDBTreeListLookupColumn::TcvDBTreeListLookupColumn;
};

class TcvDBGridPickColumn : public TcvDBTreeListPickColumn {
public:
    using TcvDBTreeListPickColumn::TcvDBTreeListPickColumn;
};

class TcvDBGridCalcColumn : public TcvDBTreeListCalcColumn {
public:
    using TcvDBTreeListCalcColumn::TcvDBTreeListCalcColumn;
};

class TcvDBGridBlobColumn : public TcvDBTreeListBlobColumn {
public:
    using TcvDBTreeListBlobColumn::TcvDBTreeListBlobColumn;
};

class TcvDBGridHyperLinkColumn : public TcvDBTreeListHyperLinkColumn {
public:
    using TcvDBTreeListHyperLinkColumn::TcvDBTreeListHyperLinkColumn;
};

class TcvDBGridTimeColumn : public TcvDBTreeListTimeColumn {
public:
    using TcvDBTreeListTimeColumn::TcvDBTreeListTimeColumn;
};

class TcvDBGridCurrencyColumn : public TcvDBTreeListCurrencyColumn {
public:
    using TcvDBTreeListCurrencyColumn::TcvDBTreeListCurrencyColumn;
};

class TcvDBGridMemoColumn : public TcvDBTreeListMemoColumn {
public:
    using TcvDBTreeListMemoColumn::TcvDBTreeListMemoColumn;
};

class TcvDBGridGraphicColumn : public TcvDBTreeListGraphicColumn {
public:
    using TcvDBTreeListGraphicColumn::TcvDBTreeListGraphicColumn;
};

class TcvDBGridMRUColumn : public TcvDBTreeListMRUColumn {
public:
    using TcvDBTreeListMRUColumn::TcvDBTreeListMRUColumn;
};

class TcvDBGridWrapperColumn : public TcvDBTreeListWrapperColumn {
public:
    using TcvDBTreeListWrapperColumn::TcvDBTreeListWrapperColumn;
};

namespace cvGrClms {

// The grid column unit's proposal for a registry entry: the family's
// mapping with the grid classes, at priority 1.
void GetGridColumnClass(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info);

// Counted: the first Initialize registers the grid classes with the grid's
// registry, the last Finalize resets the registry.
void Initialize();
void Finalize();

using TUnitScope = TUnitStartup<Initialize, Finalize>;

} // namespace cvGrClms
