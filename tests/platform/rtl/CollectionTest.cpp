// TCollection: owned items, IDs, moving items and the Update notification.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Collection.h"

namespace {

class TColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Width = 0;
    void SetWidth(int Value) {
        Width = Value;
        Changed(false);
    }
    void Assign(TPersistent* Source) override {
        if (auto* column = dynamic_cast<TColumn*>(Source)) {
            Width = column->Width;
            return;
        }
        TCollectionItem::Assign(Source);
    }
};

class TColumns : public TCollection {
public:
    TColumns() : TCollection(CollectionItemClass<TColumn>()) {}
    std::vector<TCollectionItem*> Updates;

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
};

TEST(CollectionTest, ItemsKeepUniqueIdsAndMoveByIndex) {
    TColumns columns;
    TCollectionItem* a = columns.Add();
    TCollectionItem* b = columns.Add();
    TCollectionItem* c = columns.Insert(0);
    EXPECT_EQ((std::vector<int>{a->ID(), b->ID(), c->ID()}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(c->Index(), 0);
    b->SetIndex(0);
    EXPECT_EQ(columns.Items(0), b);
    EXPECT_EQ(columns.Items(2), a);
    columns.Delete(1);
    EXPECT_EQ(columns.Count(), 2);
    EXPECT_EQ(columns.FindItemID(2), nullptr);
    EXPECT_EQ(columns.Add()->ID(), 3) << "IDs are never reused";
    EXPECT_THROW(columns.Items(5), EListError);
    delete a; // an item freed directly leaves its collection
    EXPECT_EQ(columns.Count(), 2);
}

TEST(CollectionTest, ChangesReachUpdateOnceOutsideAnUpdateBracket) {
    TColumns columns;
    auto* column = static_cast<TColumn*>(columns.Add());
    columns.Updates.clear();
    column->SetWidth(10);
    EXPECT_EQ(columns.Updates, (std::vector<TCollectionItem*>{column}));
    columns.Updates.clear();
    {
        TUpdateGuard<TCollection> guard(columns);
        column->SetWidth(20);
        columns.Add();
        columns.Delete(0);
        EXPECT_TRUE(columns.Updates.empty());
    }
    EXPECT_EQ(columns.Updates, (std::vector<TCollectionItem*>{nullptr}));
}

TEST(CollectionTest, AssignCopiesEveryItem) {
    TColumns source, copy;
    static_cast<TColumn*>(source.Add())->Width = 5;
    static_cast<TColumn*>(source.Add())->Width = 7;
    copy.Add();
    copy.Assign(&source);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TColumn*>(copy.Items(1))->Width, 7);
}

} // namespace
