// The sort comparators over sort items: key by key with direction, the
// identity tie-break, the locale's text order and the OnCompare event.
#include "TestTreeList.h"

#include "treelist/cvTL.h"

#include <algorithm>

using treelisttest::TTestTreeList;

namespace {

struct SortCase {
    const char* Name;
    unsigned Options, OptionsEx;
    std::vector<Variant> Keys1;
    bool Descending1;
    std::vector<Variant> Keys2; // empty: one key
    TListSortCompare Compare;
    std::vector<int> Order; // node numbers after sorting; empty: by identity
};

// Sorts one item per node (numbered 0..) and answers the node numbers in order.
std::vector<int> SortNodes(TTestTreeList& Tree, const SortCase& Case) {
    std::vector<TcvTreeListNode*> nodes;
    std::vector<std::unique_ptr<cvTL::TcvSortItem>> items;
    TList list;
    for (size_t i = 0; i < Case.Keys1.size(); ++i) {
        nodes.push_back(Tree.Add());
        auto item = std::make_unique<cvTL::TcvSortItem>();
        item->Node = nodes.back();
        item->Value = Case.Keys1[i];
        item->Descending = Case.Descending1;
        if (!Case.Keys2.empty()) {
            item->Next = std::make_unique<cvTL::TcvSortItem>();
            item->Next->Node = nodes.back();
            item->Next->Value = Case.Keys2[i];
        }
        list.Add(item.get());
        items.push_back(std::move(item));
    }
    list.Sort(Case.Compare);
    std::vector<int> order;
    for (int i = 0; i < list.Count(); ++i) {
        const auto* item = static_cast<cvTL::TcvSortItem*>(list.Items(i));
        order.push_back(int(std::find(nodes.begin(), nodes.end(), item->Node) - nodes.begin()));
    }
    return order;
}

// The node numbers in the identity order of their nodes.
std::vector<int> IdentityOrder(TTestTreeList& Tree) {
    std::vector<int> order(Tree.Count());
    for (int i = 0; i < Tree.Count(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return cvTL::ComparePointers(Tree.Items(a), Tree.Items(b)) < 0; });
    return order;
}

TEST(cvTLSort, ComparatorsOrderByKeysDirectionLocaleAndEvent) {
    const unsigned o = 0x37;
    const unsigned ox = 0x303E;
    const unsigned ansi = ox | tloex_AnsiSort;
    const SortCase cases[] = {
        {"one key", o, ox, {3, 1, 2}, false, {}, cvTL::CompareNodesBySortKeys, {1, 2, 0}},
        {"descending", o, ox, {3, 1, 2}, true, {}, cvTL::CompareNodesBySortKeys, {0, 2, 1}},
        {"the second key breaks a tie",
         o,
         ox,
         {1, 1, 0},
         false,
         {"b", "a", "z"},
         cvTL::CompareNodesBySortKeys,
         {2, 1, 0}},
        {"equal keys: identity order", o, ox, {7, 7, 7}, false, {}, cvTL::CompareNodesBySortKeys, {}},
        {"mixed kinds in one total order",
         o,
         ox,
         {"x", Variant(), 2},
         false,
         {},
         cvTL::CompareNodesBySortKeys,
         {1, 2, 0}},
        {"text by bytes without the locale option",
         o,
         ox,
         {"a", "B"},
         false,
         {},
         cvTL::CompareNodesBySortKeysText,
         {1, 0}},
        {"locale, case-insensitive",
         o | tlo_CaseInsensitive,
         ansi,
         {"a", "B"},
         false,
         {},
         cvTL::CompareNodesBySortKeysText,
         {0, 1}},
        {"locale, equal but for case: identity",
         o | tlo_CaseInsensitive,
         ansi,
         {"a", "A"},
         false,
         {},
         cvTL::CompareNodesBySortKeysText,
         {}},
    };
    for (const SortCase& c : cases) {
        TTestTreeList tree(nullptr);
        tree.SetOptionsEx(c.OptionsEx);
        tree.SetOptions(c.Options);
        const std::vector<int> order = SortNodes(tree, c);
        EXPECT_EQ(order, c.Order.empty() ? IdentityOrder(tree) : c.Order) << c.Name;
    }
}

TEST(cvTLSort, TheEventComparatorAloneDecidesWhateverTheDirection) {
    TTestTreeList tree(nullptr);
    tree.OnCompare = [&](TObject*, TcvTreeListNode* a, TcvTreeListNode* b, int& compare) {
        compare = tree.IndexOf(b) - tree.IndexOf(a); // reversed insertion order
    };
    const SortCase reversed{"event", 0x37, 0x303E, {1, 2, 3}, true, {}, cvTL::CompareNodesByEvent, {2, 1, 0}};
    EXPECT_EQ(SortNodes(tree, reversed), reversed.Order);
}

} // namespace
