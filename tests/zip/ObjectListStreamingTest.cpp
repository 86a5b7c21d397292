// The object lists' streams: components of registered classes round-trip with
// their properties, the owns flag and a sorted list's duplicates rule; every
// refusal leaves the list (and the target stream) as it was; a component that
// publishes a list stores it as "ObjectContainer", only when it holds objects.
#include <gtest/gtest.h>

#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "zip/ObjectList.h"
#include "zip/ZipFormat.h"

using namespace zip;

namespace {

class TStreamedItem : public TComponent {
public:
    using TComponent::TComponent;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int Size() const { return FSize; }
    void SetSize(int Value) { FSize = Value; }

private:
    std::string FCaption;
    int FSize = 0;
};

class TUnregisteredItem : public TComponent {
public:
    using TComponent::TComponent;
};

// A component that publishes a list of components, as a form would.
class TListHolder : public TComponent {
public:
    using TComponent::TComponent;
    TObjectList* Items() const { return FItems.get(); }

private:
    std::unique_ptr<TObjectList> FItems = std::make_unique<TObjectList>();
};

class TByCaption : public TSortedObjectList {
public:
    using TSortedObjectList::TSortedObjectList;
    int Compare(const void* a, const void* b) const override {
        const auto* x = static_cast<const TStreamedItem*>(static_cast<const TObject*>(a));
        const auto* y = static_cast<const TStreamedItem*>(static_cast<const TObject*>(b));
        return x->Caption().compare(y->Caption());
    }
};

TStreamedItem* Item(const std::string& caption, int size = 0) {
    auto* item = new TStreamedItem(nullptr);
    item->SetCaption(caption);
    item->SetSize(size);
    return item;
}

std::string Bytes(TMemoryStream& stream) {
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::vector<std::string> Captions(const TObjectList& list) {
    std::vector<std::string> captions;
    for (int i = 0; i < list.Count(); ++i)
        captions.push_back(static_cast<TStreamedItem*>(list.Items(i))->Caption());
    return captions;
}

class ObjectListStreaming : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool registered = [] {
            RegisterClasses({ClassOf<TStreamedItem>(), ClassOf<TListHolder>()});
            TPropertyTableOf<TStreamedItem>()
                .Value("Caption", std::string(), &TStreamedItem::Caption, &TStreamedItem::SetCaption)
                .Value("Size", 0, &TStreamedItem::Size, &TStreamedItem::SetSize)
                .Register();
            TPropertyTableOf<TListHolder>().Object("Items", &TListHolder::Items).Register();
            return true;
        }();
        (void)registered;
    }
};

} // namespace

TEST_F(ObjectListStreaming, RegisteredComponentsRoundTripWithTheirPropertiesAndTheOwnsFlag) {
    TObjectList list;
    list.Add(Item("项目", 7));
    list.Add(Item("second"));
    TMemoryStream stream;
    list.SaveToStream(stream);
    const std::string bytes = Bytes(stream);
    EXPECT_EQ(bytes.substr(0, 5), std::string("\x01\x02\x00\x00\x00", 5));
    EXPECT_EQ(bytes.substr(5, 14), "\x0DTStreamedItem");

    TObjectList loaded(false);
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
    EXPECT_TRUE(loaded.OwnsObjects());
    ASSERT_EQ(loaded.Count(), 2);
    const auto* first = dynamic_cast<TStreamedItem*>(loaded.Items(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Caption(), "项目");
    EXPECT_EQ(first->Size(), 7);
    EXPECT_EQ(Captions(loaded), (std::vector<std::string>{"项目", "second"}));
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST_F(ObjectListStreaming, RefusalsLeaveTheListAndTheStreamAsTheyWere) {
    TObject plain;
    TUnregisteredItem unregistered(nullptr);
    struct TSaveCase {
        const char* Name;
        TObject* Object;
        std::string Message;
    } saves[] = {
        {"nil", nullptr, "Nil Source Class!"},
        {"no component", &plain, "Source Class <TObject> not registered"},
        {"not registered", &unregistered, "Source Class <TUnregisteredItem> not registered"},
    };
    for (const auto& c : saves) {
        TObjectList list(false);
        list.Add(Item("kept"));
        list.Add(c.Object);
        TMemoryStream stream;
        try {
            list.SaveToStream(stream);
            ADD_FAILURE() << c.Name;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Name;
        }
        EXPECT_EQ(stream.Size(), 0) << c.Name;
        delete list.Items(0);
    }

    TObjectList source;
    source.Add(Item("new"));
    TMemoryStream saved;
    source.SaveToStream(saved);
    const std::string good = Bytes(saved);
    std::string unknown = good;
    unknown.replace(6, 13, "TNeverMadeNow");
    struct TLoadCase {
        const char* Name;
        std::string Bytes;
        std::string Message;
    } loads[] = {
        {"class not registered", unknown, "Class <TNeverMadeNow> not registered"},
        {"cut short", good.substr(0, good.size() - 3), "Stream read error"},
        {"count past the bytes", std::string("\x01\xFF\xFF\xFF\x0F", 5) + good.substr(5), "Stream read error"},
        {"no class name", std::string("\x01\x01\x00\x00\x00\x00", 6), "Stream read error"},
    };
    for (const auto& c : loads) {
        TObjectList list;
        list.Add(Item("old"));
        TMemoryStream stream;
        stream.WriteBuffer(c.Bytes.data(), static_cast<Integer>(c.Bytes.size()));
        stream.SetPosition(0);
        try {
            list.LoadFromStream(stream);
            ADD_FAILURE() << c.Name;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Name;
        }
        EXPECT_EQ(Captions(list), std::vector<std::string>{"old"}) << c.Name;
    }
}

TEST_F(ObjectListStreaming, ASortedListCarriesItsDuplicatesRuleAndAddsInOrder) {
    TByCaption list(true, dupError);
    list.Add(Item("b"));
    list.Add(Item("a"));
    TMemoryStream stream;
    list.SaveToStream(stream);
    EXPECT_EQ(Bytes(stream)[0], char(dupError));
    TByCaption loaded(true, dupIgnore);
    stream.SetPosition(0);
    loaded.LoadFromStream(stream);
    EXPECT_EQ(loaded.Duplicates(), dupError);
    EXPECT_EQ(Captions(loaded), (std::vector<std::string>{"a", "b"}));

    // Equal captions under the stream's own rule: refused whole, the old rule and items stay.
    TByCaption twins(true, dupAccept);
    twins.Add(Item("x"));
    twins.Add(Item("x"));
    TMemoryStream twinStream;
    twins.SaveToStream(twinStream);
    std::string bytes = Bytes(twinStream);
    bytes[0] = char(dupError);
    TMemoryStream refused;
    refused.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    refused.SetPosition(0);
    try {
        loaded.SetDuplicates(dupIgnore);
        loaded.LoadFromStream(refused);
        ADD_FAILURE() << "a duplicate under dupError was loaded";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Duplicate Object index");
    }
    EXPECT_EQ(loaded.Duplicates(), dupIgnore);
    EXPECT_EQ(Captions(loaded), (std::vector<std::string>{"a", "b"}));

    // The entry list holds entries only, which are no components: it takes none from a stream.
    TSortedZip entries;
    stream.SetPosition(0);
    try {
        entries.LoadFromStream(stream);
        ADD_FAILURE() << "components were loaded into the entry list";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "A TSortedZip cannot hold a TStreamedItem");
    }
    EXPECT_EQ(entries.Count(), 0);
}

TEST_F(ObjectListStreaming, APublishedListIsStoredAsObjectContainerOnlyWhenItHoldsObjects) {
    TListHolder holder(nullptr);
    TMemoryStream empty;
    WriteComponent(&empty, &holder);
    EXPECT_EQ(Bytes(empty).find("ObjectContainer"), std::string::npos);

    holder.Items()->Add(Item("one", 1));
    holder.Items()->Add(Item("two", 2));
    TMemoryStream stream;
    WriteComponent(&stream, &holder);
    EXPECT_NE(Bytes(stream).find("Items.ObjectContainer"), std::string::npos);
    TListHolder copy(nullptr);
    stream.SetPosition(0);
    ReadComponent(&stream, &copy);
    EXPECT_EQ(Captions(*copy.Items()), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(static_cast<TStreamedItem*>(copy.Items()->Items(1))->Size(), 2);

    // A list that holds its own holder would nest without end: it stops at the streams' depth limit.
    TListHolder loop(nullptr);
    loop.Items()->SetOwnsObjects(false);
    loop.Items()->Add(&loop);
    TMemoryStream looped;
    EXPECT_THROW(WriteComponent(&looped, &loop), EWriteError);
    EXPECT_EQ(looped.Size(), 0);
}
