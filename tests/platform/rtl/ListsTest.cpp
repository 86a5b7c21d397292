// TList and TObjectList: checked indexes, ownership, and a sort that stays in
// bounds whatever the comparator answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/rtl/Lists.h"

namespace {

// Counts live instances, so a test sees exactly what a list freed.
struct TCounted : TObject {
    explicit TCounted(int& Live) : FLive(Live) { ++FLive; }
    ~TCounted() override { --FLive; }
    int& FLive;
};

TEST(ListsTest, EditingOperations) {
    int a = 1, b = 2, c = 3;
    TList list;
    list.Add(&a);
    list.Add(&b);
    list.Insert(0, &c);
    EXPECT_EQ(list.Items(0), &c);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Items(2), &c);
    list.Move(2, 0);
    EXPECT_EQ((std::vector<void*>{list.Items(0), list.Items(1), list.Items(2)}), (std::vector<void*>{&c, &b, &a}));
    EXPECT_EQ(list.Remove(&a), 2);
    EXPECT_EQ(list.Remove(&a), -1);
    list.Add(nullptr);
    list.Add(nullptr);
    list.Pack();
    EXPECT_EQ(list.Count(), 2);
    try {
        list.Items(2);
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(list.Insert(3, &a), EListError);
    EXPECT_THROW(list.Move(0, 5), EListError);
}

TEST(ListsTest, ObjectListFreesWhatItDeletes) {
    int live = 0;
    {
        TObjectList list;
        for (int i = 0; i < 4; ++i)
            list.Add(new TCounted(live));
        EXPECT_EQ(live, 4);
        list.Delete(0);
        EXPECT_EQ(live, 3);
        list.Remove(list.Items(0));
        EXPECT_EQ(live, 2);
        TObject* kept = list.Extract(list.Items(0));
        EXPECT_EQ(live, 2) << "extracted, not freed";
        delete kept;
        list.SetItems(0, new TCounted(live)); // replaces and frees the old one
        EXPECT_EQ(live, 1);
    }
    EXPECT_EQ(live, 0) << "the list frees the rest";
    TObjectList borrowed(false);
    TCounted stays(live);
    borrowed.Add(&stays);
    borrowed.Clear();
    EXPECT_EQ(live, 1);
}

TEST(ListsTest, SortOrdersStably) {
    std::vector<std::pair<int, char>> items = {{3, 'a'}, {1, 'b'}, {3, 'c'}, {2, 'd'}, {1, 'e'}};
    TList list;
    for (auto& item : items)
        list.Add(&item);
    list.Sort([](void* x, void* y) {
        return static_cast<std::pair<int, char>*>(x)->first - static_cast<std::pair<int, char>*>(y)->first;
    });
    std::string order;
    for (int i = 0; i < list.Count(); ++i)
        order += static_cast<std::pair<int, char>*>(list.Items(i))->second;
    EXPECT_EQ(order, "bedac");
}

TEST(ListsTest, SortWithAnInconsistentComparatorStaysInBoundsAndEnds) {
    const struct {
        const char* Name;
        std::function<int(int, int)> Compare;
    } comparators[] = {
        {"always less", [](int, int) { return -1; }},
        {"always greater", [](int, int) { return 1; }},
        {"not antisymmetric", [](int a, int b) { return a % 3 == 0 ? -1 : (a < b ? -1 : 1); }},
        {"random", [](int, int) { return std::rand() % 3 - 1; }},
    };
    for (const auto& c : comparators) {
        std::vector<int> values(257);
        for (int i = 0; i < int(values.size()); ++i)
            values[size_t(i)] = i;
        TList list;
        for (int& v : values)
            list.Add(&v);
        // The comparator only ever sees items of the list.
        list.Sort([&](void* x, void* y) {
            const int* a = static_cast<int*>(x);
            const int* b = static_cast<int*>(y);
            EXPECT_TRUE(a >= values.data() && a < values.data() + values.size()) << c.Name;
            EXPECT_TRUE(b >= values.data() && b < values.data() + values.size()) << c.Name;
            return c.Compare(*a, *b);
        });
        std::vector<int> after;
        for (int i = 0; i < list.Count(); ++i)
            after.push_back(*static_cast<int*>(list.Items(i)));
        std::sort(after.begin(), after.end());
        std::vector<int> expected(values.begin(), values.end());
        EXPECT_EQ(after, expected) << c.Name << ": the same items, each once";
    }
}

TEST(ListsTest, ThrowingComparatorLeavesTheListAsItWas) {
    int a = 2, b = 1;
    TList list;
    list.Add(&a);
    list.Add(&b);
    EXPECT_THROW(list.Sort([](void*, void*) -> int { throw EListError("stop"); }), EListError);
    EXPECT_EQ(list.Items(0), &a);
}

} // namespace
