// TStringList: sorted and case-insensitive lookup, duplicates, Text and
// CommaText, name=value lines and the change notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/StringList.h"
#include "tests/support/ScratchFolder.h"

namespace {

std::vector<std::string> Lines(const TStrings& List) {
    std::vector<std::string> r;
    for (int i = 0; i < List.Count(); ++i)
        r.push_back(List.Get(i));
    return r;
}

TEST(StringListTest, IndexOfIgnoresCaseUnlessCaseSensitive) {
    TStringList list;
    list.Add("Alpha");
    list.Add("beta");
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    EXPECT_EQ(list.IndexOf("Beta"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    EXPECT_EQ(list.IndexOf("Alpha"), 0);
}

TEST(StringListTest, SortedListKeepsLocaleOrderAndFindsWithoutCase) {
    TStringList list;
    list.SetSorted(true);
    // 中 zhong, 北 bei, 安 an: Chinese by pronunciation (an, bei, zhong), then Latin.
    for (const char* s : {"\xE4\xB8\xAD", "banana", "Apple", "\xE5\x8C\x97", "cherry", "\xE5\xAE\x89", "apple2"})
        list.Add(s);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"\xE5\xAE\x89", "\xE5\x8C\x97", "\xE4\xB8\xAD", "Apple", "apple2",
                                                     "banana", "cherry"}));
    int index = -1;
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 5);
    EXPECT_FALSE(list.Find("blueberry", index));
    EXPECT_EQ(index, 6) << "where it would go";
    EXPECT_EQ(list.IndexOf("CHERRY"), 6);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError);
    EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
}

TEST(StringListTest, DuplicatesOnASortedList) {
    TStringList list;
    list.SetSorted(true);
    list.Add("one");
    EXPECT_EQ(list.Add("ONE"), 0) << "dupIgnore returns the line already there";
    EXPECT_EQ(list.Count(), 1);
    list.SetDuplicates(dupAccept);
    list.Add("One");
    EXPECT_EQ(list.Count(), 2);
    list.SetDuplicates(dupError);
    try {
        list.Add("one");
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
}

TEST(StringListTest, BadIndexRaisesListError) {
    TStringList list;
    list.Add("a");
    try {
        list.Get(1);
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    EXPECT_THROW(list.Delete(-1), EStringListError);
}

TEST(StringListTest, CapacityHoldsTheLinesAddedAndNeverFallsBelowCount) {
    TStringList list;
    list.SetCapacity(3);
    const int capacity = list.Capacity();
    EXPECT_GE(capacity, 3);
    for (const char* line : {"a", "b", "c"})
        list.Add(line);
    EXPECT_EQ(list.Capacity(), capacity);
    try {
        list.SetCapacity(2);
        FAIL() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List capacity out of bounds (2)");
    }
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n");
}

TEST(StringListTest, TextBreaksAtCrLfCrOrLf) {
    TStringList list;
    list.SetText("a\r\nb\rc\nd\n\ne");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    list.SetText("x\r\n");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"x"})) << "a final break adds no line";
    list.Add("y");
    EXPECT_EQ(list.Text(), "x\r\ny\r\n");
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, CommaTextQuotesWhatNeedsIt) {
    const struct {
        std::vector<std::string> Items;
        const char* Text;
    } cases[] = {
        {{"a", "b"}, "a,b"},
        {{"a b", "c"}, "\"a b\",c"},
        {{"x,y", "say \"hi\""}, "\"x,y\",\"say \"\"hi\"\"\""},
        {{""}, "\"\""},
        {{"a", "", "b"}, "a,,b"},
        {{"\xE4\xB8\xAD\xE6\x96\x87", "z"}, "\xE4\xB8\xAD\xE6\x96\x87,z"},
    };
    for (const auto& c : cases) {
        TStringList list;
        for (const auto& item : c.Items)
            list.Add(item);
        EXPECT_EQ(list.CommaText(), c.Text);
        TStringList back;
        back.SetCommaText(c.Text);
        EXPECT_EQ(Lines(back), c.Items) << c.Text;
    }
    TStringList list;
    list.SetCommaText(" a  b ,c,");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b", "c", ""}))
        << "blanks split too; a trailing comma adds one";
    list.SetDelimiter(';');
    list.SetDelimitedText("p;\"q;r\"");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"p", "q;r"}));
}

TEST(StringListTest, NamesAndValues) {
    TStringList list;
    list.Add("Host=example");
    list.Add("Port=80");
    list.Add("flag");
    EXPECT_EQ(list.Values("host"), "example");
    EXPECT_EQ(list.Names(1), "Port");
    EXPECT_EQ(list.ValueFromIndex(1), "80");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.IndexOfName("PORT"), 1);
    list.SetValues("port", "8080");
    EXPECT_EQ(list.Get(1), "port=8080");
    list.SetValues("User", "me");
    EXPECT_EQ(list.Get(3), "User=me");
    list.SetValues("Host", "");
    EXPECT_EQ(list.IndexOfName("Host"), -1) << "an empty value deletes the line";
}

TEST(StringListTest, UpdateGuardSendsOneChangePair) {
    TStringList list;
    std::vector<std::string> events;
    list.OnChanging = [&](TObject*) { events.push_back("changing"); };
    list.OnChange = [&](TObject*) { events.push_back("change"); };
    list.Add("a");
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
    events.clear();
    {
        TUpdateGuard<TStrings> outer(list);
        TUpdateGuard<TStrings> inner(list);
        list.Add("b");
        list.Add("c");
        list.Delete(0);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"changing", "change"}));
    EXPECT_EQ(list.UpdateCount(), 0);
    // An exception leaves no list frozen.
    try {
        TUpdateGuard<TStrings> guard(list);
        list.Get(99);
    } catch (const EStringListError&) {
    }
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringListTest, ObjectsTravelWithTheirLines) {
    TObject a, b;
    TStringList list;
    list.SetSorted(true);
    list.AddObject("zeta", &a);
    list.AddObject("alpha", &b);
    EXPECT_EQ(list.Objects(0), &b);
    EXPECT_EQ(list.IndexOfObject(&a), 1);
    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(Lines(copy), Lines(list));
    EXPECT_EQ(copy.Objects(1), &a);
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}

TEST(StringListTest, SavesAndLoadsUtf8Files) {
    TScratchFolder folder;
    TStringList list;
    list.Add("\xE4\xB8\xAD\xE6\x96\x87");
    list.Add("line two");
    list.SaveToFile(folder / "list.txt");
    TStringList back;
    back.LoadFromFile(folder / "list.txt");
    EXPECT_EQ(Lines(back), Lines(list));
    try {
        back.LoadFromFile(folder / "missing.txt");
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("missing.txt"), std::string::npos);
    }
}

TEST(StringListTest, CustomSortSurvivesAnInconsistentComparator) {
    TStringList list;
    for (int i = 0; i < 200; ++i)
        list.Add(std::to_string(i));
    unsigned seed = 7;
    list.CustomSort([&](TStringList*, int, int) {
        seed = seed * 1103515245 + 12345;
        return int(seed >> 16) % 3 - 1;
    });
    ASSERT_EQ(list.Count(), 200);
    std::vector<std::string> sorted = Lines(list);
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i)
        expected.push_back(std::to_string(i));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected) << "the same lines, each once";
}

} // namespace
