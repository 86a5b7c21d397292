// The column family unit's start-up and its registry proposal.
#include "dbgrid/DBColumnFamily.h"

namespace cvDBTLCl {

namespace {

int UnitReferences = 0;

} // namespace

void GetTreeListColumnClass(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info) {
    ProposeColumnClass<TcvDBTreeListLookupColumn, TcvDBTreeListCheckColumn, TcvDBTreeListCurrencyColumn,
                       TcvDBTreeListDateColumn, TcvDBTreeListTimeColumn, TcvDBTreeListMemoColumn,
                       TcvDBTreeListGraphicColumn, TcvDBTreeListBlobColumn, TcvDBTreeListMaskColumn>(FieldType,
                                                                                                     FieldKind, Info);
}

void Initialize() {
    if (UnitReferences++ == 0) cvDBCtrl::RegisterColumnClasses(GetTreeListColumnClass);
}

void Finalize() {
    if (UnitReferences > 0 && --UnitReferences == 0) cvDBCtrl::ResetColumnClasses();
}

} // namespace cvDBTLCl
