// The field-type registries: which column class a data-aware control makes
// for a field when it builds its columns from the dataset. Each level (the
// data-aware tree list, the grid) keeps one table: an entry per field type
// from ftUnknown to ftTypedBinary, and one entry for lookup fields. Units
// that define column classes propose a class for every entry at their start;
// a proposal wins only with a strictly higher priority, so of two units
// proposing at the same priority the one registered first keeps the entry.
#pragma once

#include "dbgrid/DBTreeListColumn.h"

#include <array>
#include <cstdint>

class TField;

struct TcvColumnClassInfo {
    const TcvDBTreeListColumnClass* ColumnClass = nullptr; // none for ftUnknown
    int32_t Priority = 0;
};

// The field types with an entry of their own: ftUnknown .. ftTypedBinary.
inline constexpr int cvFieldColumnClassCount = 22;
using TcvFieldColumnClasses = std::array<TcvColumnClassInfo, cvFieldColumnClassCount>;

// A unit's proposal for one entry. Info arrives holding the entry; the unit
// overwrites it. FieldType and FieldKind are the dataset's ordinals: the
// type entries are offered as (type, fkData), the lookup entry as (0, fkLookup).
using TcvGetColumnClassProc = void (*)(uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Info);

// The data-aware tree list's table: TcvDBTreeListColumn at priority 0 until
// a unit registers.
namespace cvDBCtrl {
const TcvFieldColumnClasses& FieldColumnClasses();
const TcvColumnClassInfo& LookupColumnClass();
// Offers every type entry, then the lookup entry, to Proc.
void RegisterColumnClasses(TcvGetColumnClassProc Proc);
// Back to the initial content.
void ResetColumnClasses();
} // namespace cvDBCtrl

// The grid's table: TcvDBGridColumn at priority 0 until a unit registers.
namespace cvDBGrid {
const TcvFieldColumnClasses& FieldColumnClasses();
const TcvColumnClassInfo& LookupColumnClass();
void RegisterColumnClasses(TcvGetColumnClassProc Proc);
void ResetColumnClasses();
// The grid's choice for Field: the lookup entry for a lookup field; the plain
// TcvDBGridColumn for any other kind than fkData and for a type without an
// entry; else the entry of its type (the plain class too while that entry
// holds none, as ftUnknown's does until a unit registers).
const TcvDBTreeListColumnClass& GetColumnClass(const TField& Field);
} // namespace cvDBGrid
