// The data-aware column family unit: the seventeen column classes (one per
// kind of data, each tied to its editor class and filter editor class) and
// the unit's start-up, which fills the tree list's field-type registry with
// them and resets it again at the end.
#pragma once

#include "dbgrid/ColumnClasses.h"
#include "dbgrid/DBColumnFamilyBlob.h"
#include "dbgrid/DBColumnFamilyCheck.h"
#include "dbgrid/DBColumnFamilyDropDown.h"
#include "dbgrid/DBColumnFamilyText.h"
#include "dbgrid/DBColumnFamilyWrapper.h"
#include "platform/data/DB.h"
#include "platform/rtl/ScopeGuard.h"

// The mapping both levels propose with their own classes, at priority 1.
template <class TLookup, class TCheck, class TCurrency, class TDate, class TTime, class TMemo, class TGraphic,
          class TBlob, class TMask>
void ProposeColumnClass(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info) {
    Info.Priority = 1;
    if (FieldKind == fkLookup) {
        Info.ColumnClass = &TcvColumnClassOf<TLookup>::Instance();
        return;
    }
    switch (FieldType % 128) {
    case ftBoolean:
        Info.ColumnClass = &TcvColumnClassOf<TCheck>::Instance();
        break;
    case ftCurrency:
        Info.ColumnClass = &TcvColumnClassOf<TCurrency>::Instance();
        break;
    case ftDate:
    case ftDateTime:
        Info.ColumnClass = &TcvColumnClassOf<TDate>::Instance();
        break;
    case ftTime:
        Info.ColumnClass = &TcvColumnClassOf<TTime>::Instance();
        break;
    case ftMemo:
        Info.ColumnClass = &TcvColumnClassOf<TMemo>::Instance();
        break;
    case ftGraphic:
        Info.ColumnClass = &TcvColumnClassOf<TGraphic>::Instance();
        break;
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
        Info.ColumnClass = &TcvColumnClassOf<TBlob>::Instance();
        break;
    default:
        Info.ColumnClass = &TcvColumnClassOf<TMask>::Instance();
    }
}

namespace cvDBTLCl {

// The family's proposal for a registry entry, at priority 1: lookup fields
// the lookup column; Boolean, currency, date and date-time, time, memo and
// graphic fields their own columns; the other blob types the blob column;
// the rest (the type taken modulo 128) the mask column.
void GetTreeListColumnClass(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info);

// Counted: the first Initialize registers the family with the tree list's
// registry, the last Finalize resets the registry.
void Initialize();
void Finalize();

using TUnitScope = TUnitStartup<Initialize, Finalize>;

} // namespace cvDBTLCl
