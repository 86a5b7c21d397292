// The grid's column classes: the plain and mask columns, and one class over
// each member of the data-aware column family. They add no behaviour of
// their own but the check column's display texts and the image column's
// descriptions, shown wherever the grid shows a value as text outside the
// cell; the grid's grouping and summary settings come with the column base.
#pragma once

#include "dbgrid/DBColumnFamilyDropDown.h"
#include "dbgrid/DBColumnFamilyText.h"
#include "dbgrid/DBTreeListColumn.h"

class TcvDBGridColumn : public TcvDBTreeListColumn {
public:
    using TcvDBTreeListColumn::TcvDBTreeListColumn;
};

class TcvDBGridMaskColumn : public TcvDBTreeListMaskColumn {
public:
    using TcvDBTreeListMaskColumn::TcvDBTreeListMaskColumn;
};

class TcvDBGridDateColumn : public TcvDBTreeListDateColumn {
public:
    using TcvDBTreeListDateColumn::TcvDBTreeListDateColumn;
};

class TcvDBGridCurrencyColumn : public TcvDBTreeListCurrencyColumn {
public:
    using TcvDBTreeListCurrencyColumn::TcvDBTreeListCurrencyColumn;
};

class TcvDBGridMemoColumn : public TcvDBTreeListMemoColumn {
public:
    using TcvDBTreeListMemoColumn::TcvDBTreeListMemoColumn;
};
