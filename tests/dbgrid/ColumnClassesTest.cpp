// The field-type registries: the grid's choice of column class per field
// before and after the column units start, the priority rule, and the reset
// at the units' end.
#include "dbgrid/ColumnClasses.h"
#include "dbgrid/GridColumns.h"
#include "platform/data/DB.h"

#include <gtest/gtest.h>

namespace {

// A field of any type and kind, as a dataset would make it.
class TTypedField : public TField {
public:
    TTypedField(TFieldType Type, TFieldKind Kind) : TField(nullptr, Type) { SetFieldKind(Kind); }
};

template <class T> const TcvDBTreeListColumnClass* ClassOf() {
    return &TcvColumnClassOf<T>::Instance();
}

const TcvDBTreeListColumnClass* GridChoice(TFieldType Type, TFieldKind Kind = fkData) {
    return &cvDBGrid::GetColumnClass(TTypedField(Type, Kind));
}

struct TChoiceCase {
    TFieldType Type;
    TFieldKind Kind;
    const TcvDBTreeListColumnClass* Expected;
};

TEST(ColumnClassesTest, GridChoosesByKindThenTypeOnceTheUnitRuns) {
    cvGrClms::TUnitScope unit;
    const TChoiceCase cases[] = {
        {ftString, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftUnknown, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftFloat, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftInteger, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftBCD, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftAutoInc, fkData, ClassOf<TcvDBGridMaskColumn>()},
        {ftBoolean, fkData, ClassOf<TcvDBGridCheckColumn>()},
        {ftCurrency, fkData, ClassOf<TcvDBGridCurrencyColumn>()},
        {ftDate, fkData, ClassOf<TcvDBGridDateColumn>()},
        {ftDateTime, fkData, ClassOf<TcvDBGridDateColumn>()},
        {ftTime, fkData, ClassOf<TcvDBGridTimeColumn>()},
        {ftMemo, fkData, ClassOf<TcvDBGridMemoColumn>()},
        {ftGraphic, fkData, ClassOf<TcvDBGridGraphicColumn>()},
        {ftBytes, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftVarBytes, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftBlob, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftFmtMemo, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftParadoxOle, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftDBaseOle, fkData, ClassOf<TcvDBGridBlobColumn>()},
        {ftTypedBinary, fkData, ClassOf<TcvDBGridBlobColumn>()},
        // Types past the table stay plain, registered or not.
        {ftWideString, fkData, ClassOf<TcvDBGridColumn>()},
        {ftLargeint, fkData, ClassOf<TcvDBGridColumn>()},
        {ftGuid, fkData, ClassOf<TcvDBGridColumn>()},
        // Other kinds than data are plain, lookups always the lookup column.
        {ftBoolean, fkCalculated, ClassOf<TcvDBGridColumn>()},
        {ftBoolean, fkInternalCalc, ClassOf<TcvDBGridColumn>()},
        {ftCurrency, fkAggregate, ClassOf<TcvDBGridColumn>()},
        {ftString, fkLookup, ClassOf<TcvDBGridLookupColumn>()},
        {ftInteger, fkLookup, ClassOf<TcvDBGridLookupColumn>()},
    };
    for (const TChoiceCase& c : cases)
        EXPECT_EQ(GridChoice(c.Type, c.Kind), c.Expected) << "type " << c.Type << " kind " << c.Kind;
}

TEST(ColumnClassesTest, EveryFieldIsPlainBeforeAndAfterTheUnit) {
    const auto allPlain = [] {
        for (const TFieldType type : {ftUnknown, ftString, ftBoolean, ftMemo, ftBlob})
            EXPECT_EQ(GridChoice(type), ClassOf<TcvDBGridColumn>()) << "type " << type;
        EXPECT_EQ(GridChoice(ftString, fkLookup), ClassOf<TcvDBGridColumn>());
        // The table's own first entry holds no class at all.
        EXPECT_EQ(cvDBGrid::FieldColumnClasses()[ftUnknown].ColumnClass, nullptr);
    };
    allPlain();
    { cvGrClms::TUnitScope unit; }
    allPlain();
}

TEST(ColumnClassesTest, UnitStartIsCountedAndItsEndResets) {
    {
        cvGrClms::TUnitScope outer;
        { cvGrClms::TUnitScope inner; }
        EXPECT_EQ(GridChoice(ftBoolean), ClassOf<TcvDBGridCheckColumn>()) << "an inner end keeps the registry";
    }
    EXPECT_EQ(GridChoice(ftBoolean), ClassOf<TcvDBGridColumn>());
}

// A later unit proposing the check column for every entry at its priority.
int ProposedPriority = 0;
void ProposeCheckEverywhere(uint8_t, uint8_t, TcvColumnClassInfo& Info) {
    Info = {ClassOf<TcvDBGridCheckColumn>(), ProposedPriority};
}

TEST(ColumnClassesTest, OnlyAHigherPriorityReplacesAnEntry) {
    cvGrClms::TUnitScope unit;
    ProposedPriority = 1;
    cvDBGrid::RegisterColumnClasses(ProposeCheckEverywhere);
    EXPECT_EQ(GridChoice(ftString), ClassOf<TcvDBGridMaskColumn>()) << "the first unit at priority 1 keeps it";
    EXPECT_EQ(GridChoice(ftString, fkLookup), ClassOf<TcvDBGridLookupColumn>());
    ProposedPriority = 2;
    cvDBGrid::RegisterColumnClasses(ProposeCheckEverywhere);
    EXPECT_EQ(GridChoice(ftString), ClassOf<TcvDBGridCheckColumn>());
    EXPECT_EQ(GridChoice(ftString, fkLookup), ClassOf<TcvDBGridCheckColumn>());
    EXPECT_EQ(cvDBGrid::FieldColumnClasses()[ftMemo].Priority, 2);
}

TEST(ColumnClassesTest, TreeListRegistryTakesTheFamilyClasses) {
    const auto entry = [](TFieldType Type) { return cvDBCtrl::FieldColumnClasses()[Type].ColumnClass; };
    EXPECT_EQ(entry(ftBoolean), ClassOf<TcvDBTreeListColumn>());
    {
        cvDBTLCl::TUnitScope unit;
        EXPECT_EQ(entry(ftBoolean), ClassOf<TcvDBTreeListCheckColumn>());
        EXPECT_EQ(entry(ftString), ClassOf<TcvDBTreeListMaskColumn>());
        EXPECT_EQ(entry(ftTime), ClassOf<TcvDBTreeListTimeColumn>());
        EXPECT_EQ(entry(ftBlob), ClassOf<TcvDBTreeListBlobColumn>());
        EXPECT_EQ(cvDBCtrl::LookupColumnClass().ColumnClass, ClassOf<TcvDBTreeListLookupColumn>());
        EXPECT_EQ(cvDBGrid::LookupColumnClass().ColumnClass, ClassOf<TcvDBGridColumn>()) << "the grid's stays";
    }
    EXPECT_EQ(entry(ftBoolean), ClassOf<TcvDBTreeListColumn>());
    EXPECT_EQ(entry(ftUnknown), nullptr);
}

TEST(ColumnClassesTest, TypeIsTakenModulo128) {
    TcvColumnClassInfo info;
    cvGrClms::GetGridColumnClass(uint8_t(128 + ftBoolean), fkData, info);
    EXPECT_EQ(info.ColumnClass, ClassOf<TcvDBGridCheckColumn>());
    EXPECT_EQ(info.Priority, 1);
}

} // namespace
