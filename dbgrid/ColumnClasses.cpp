// The two field-type registries. They are filled by the column units at
// their start and reset at their end; nothing else writes them.
#include "dbgrid/ColumnClasses.h"

#include "dbgrid/GridColumns.h"
#include "platform/data/DB.h"

namespace {

// One level's table with its plain column class.
struct TRegistry {
    explicit TRegistry(const TcvDBTreeListColumnClass& Plain) : PlainClass(Plain) { Reset(); }

    const TcvDBTreeListColumnClass& PlainClass;
    TcvFieldColumnClasses Types{};
    TcvColumnClassInfo Lookup{};

    void Reset() {
        for (TcvColumnClassInfo& entry : Types)
            entry = {&PlainClass, 0};
        Types[ftUnknown] = {};
        Lookup = {&PlainClass, 0};
    }

    // Only a strictly higher priority replaces the entry.
    static void Offer(TcvGetColumnClassProc Proc, uint8_t FieldType, uint8_t FieldKind, TcvColumnClassInfo& Entry) {
        TcvColumnClassInfo proposal = Entry;
        Proc(FieldType, FieldKind, proposal);
        if (proposal.Priority > Entry.Priority) Entry = proposal;
    }

    void Register(TcvGetColumnClassProc Proc) {
        for (int type = 0; type < cvFieldColumnClassCount; ++type)
            Offer(Proc, uint8_t(type), fkData, Types[type]);
        Offer(Proc, 0, fkLookup, Lookup);
    }
};

TRegistry& TreeListRegistry() {
    static TRegistry registry(TcvColumnClassOf<TcvDBTreeListColumn>::Instance());
    return registry;
}

TRegistry& GridRegistry() {
    static TRegistry registry(TcvColumnClassOf<TcvDBGridColumn>::Instance());
    return registry;
}

} // namespace

namespace cvDBCtrl {

const TcvFieldColumnClasses& FieldColumnClasses() {
    return TreeListRegistry().Types;
}

const TcvColumnClassInfo& LookupColumnClass() {
    return TreeListRegistry().Lookup;
}

void RegisterColumnClasses(TcvGetColumnClassProc Proc) {
    TreeListRegistry().Register(Proc);
}

void ResetColumnClasses() {
    TreeListRegistry().Reset();
}

} // namespace cvDBCtrl

namespace cvDBGrid {

const TcvFieldColumnClasses& FieldColumnClasses() {
    return GridRegistry().Types;
}

const TcvColumnClassInfo& LookupColumnClass() {
    return GridRegistry().Lookup;
}

void RegisterColumnClasses(TcvGetColumnClassProc Proc) {
    GridRegistry().Register(Proc);
}

void ResetColumnClasses() {
    GridRegistry().Reset();
}

const TcvDBTreeListColumnClass& GetColumnClass(const TField& Field) {
    const TRegistry& registry = GridRegistry();
    const TcvColumnClassInfo* entry = nullptr;
    if (Field.FieldKind() == fkLookup)
        entry = &registry.Lookup;
    else if (Field.FieldKind() == fkData && Field.DataType() < cvFieldColumnClassCount)
        entry = &registry.Types[Field.DataType()];
    return entry && entry->ColumnClass ? *entry->ColumnClass : registry.PlainClass;
}

} // namespace cvDBGrid
