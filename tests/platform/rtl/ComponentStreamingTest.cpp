// Component streams: what is written (only values off their default), that
// reading back and writing again gives the same bytes, references by name,
// owned objects, collections, binary properties and child components, and
// that damaged bytes and unknown names fail without touching the target.
#include <gtest/gtest.h>

#include "platform/rtl/Collection.h"
#include "platform/rtl/ComponentStreaming.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TaggedValues.h"

#include <cstdio>
#include <memory>

namespace {

enum TProbeShape { psRound, psSquare, psStar };
enum TProbeFlag { pfBold, pfWide, pfTall };
using TProbeFlags = TSet<TProbeFlag>;

class TProbeFont : public TPersistent {
public:
    int Size() const { return FSize; }
    void SetSize(int Value) { FSize = Value; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }

private:
    int FSize = 9;
    std::string FName = "Sans";
};

class TProbeItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }

private:
    std::string FCaption;
    int FWidth = 100;
};

class TProbeItems : public TCollection {
public:
    TProbeItems() : TCollection(CollectionItemClass<TProbeItem>()) {}
    TProbeItem* Items(int Index) const { return static_cast<TProbeItem*>(TCollection::Items(Index)); }
};

class TProbeComponent : public TComponent {
public:
    using TComponent::TComponent;
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }
    double Ratio() const { return FRatio; }
    void SetRatio(double Value) { FRatio = Value; }
    TProbeShape Shape() const { return FShape; }
    void SetShape(TProbeShape Value) { FShape = Value; }
    TProbeFlags Flags() const { return FFlags; }
    void SetFlags(TProbeFlags Value) { FFlags = Value; }
    TProbeComponent* Link() const { return FLink; }
    void SetLink(TProbeComponent* Value) { FLink = Value; }
    TProbeFont* Font() const { return FFont.get(); }
    TProbeItems* Items() const { return FItems.get(); }
    std::string Blob;

private:
    int FWidth = 100;
    bool FVisible = true;
    std::string FCaption;
    double FRatio = 0;
    TProbeShape FShape = psRound;
    TProbeFlags FFlags{pfBold};
    TProbeComponent* FLink = nullptr;
    std::unique_ptr<TProbeFont> FFont = std::make_unique<TProbeFont>();
    std::unique_ptr<TProbeItems> FItems = std::make_unique<TProbeItems>();
};

// A descendant adds its own property after its base's.
class TProbeChild : public TProbeComponent {
public:
    using TProbeComponent::TProbeComponent;
    int Level() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }

private:
    int FLevel = 0;
};

void RegisterProbes() {
    static const bool registered = [] {
        RegisterClasses({ClassOf<TProbeComponent>(), ClassOf<TProbeChild>()});
        TPropertyTableOf<TProbeFont>()
            .Value("Size", 9, &TProbeFont::Size, &TProbeFont::SetSize)
            .Value("Name", "Sans", &TProbeFont::Name, &TProbeFont::SetName)
            .Register();
        TPropertyTableOf<TProbeItem>()
            .Value("Caption", "", &TProbeItem::Caption, &TProbeItem::SetCaption)
            .Value("Width", 100, &TProbeItem::Width, &TProbeItem::SetWidth)
            .Register();
        TPropertyTableOf<TProbeComponent>()
            .Value("Width", 100, &TProbeComponent::Width, &TProbeComponent::SetWidth)
            .Value("Visible", true, &TProbeComponent::Visible, &TProbeComponent::SetVisible)
            .Value("Caption", "", &TProbeComponent::Caption, &TProbeComponent::SetCaption)
            .Value("Ratio", 0.0, &TProbeComponent::Ratio, &TProbeComponent::SetRatio)
            .Value("Shape", int(psRound), &TProbeComponent::Shape, &TProbeComponent::SetShape)
            .Value("Flags", int(TProbeFlags{pfBold}.Bits()), &TProbeComponent::Flags, &TProbeComponent::SetFlags)
            .Reference("Link", &TProbeComponent::Link, &TProbeComponent::SetLink)
            .Object("Font", &TProbeComponent::Font)
            .Collection("Items", &TProbeComponent::Items)
            .Binary(
                "Blob", [](TProbeComponent* C) { return !C->Blob.empty(); },
                [](TProbeComponent* C, TStream* S) { S->WriteBuffer(C->Blob.data(), Integer(C->Blob.size())); },
                [](TProbeComponent* C, TStream* S) {
                    C->Blob.assign(size_t(S->Size()), '\0');
                    S->ReadBuffer(C->Blob.data(), Integer(S->Size()));
                })
            .Children(
                [](TProbeComponent* C) {
                    std::vector<TComponent*> children;
                    for (int i = 0; i < C->ComponentCount(); ++i)
                        if (dynamic_cast<TProbeComponent*>(C->Components(i))) children.push_back(C->Components(i));
                    return children;
                },
                [](TProbeComponent* C, const TComponentClass& Class, const std::string& Name) {
                    TComponent* child = Class.Create(C);
                    child->SetName(Name);
                    return child;
                })
            .Register();
        TPropertyTableOf<TProbeChild, TProbeComponent>()
            .Value("Level", 0, &TProbeChild::Level, &TProbeChild::SetLevel)
            .Register();
        return true;
    }();
    (void)registered;
}

std::string Write(TComponent* Instance) {
    TStringStream stream;
    WriteComponent(&stream, Instance);
    return stream.DataString();
}

void Read(const std::string& Bytes, TComponent* Instance) {
    TStringStream stream(Bytes);
    ReadComponent(&stream, Instance);
}

std::string ShortString(const std::string& Text) {
    return char(Text.size()) + Text;
}

class ComponentStreamingTest : public testing::Test {
protected:
    void SetUp() override { RegisterProbes(); }

    // A probe with every kind of property off its default, a linked
    // sibling and a child.
    TProbeComponent* MakeFull() {
        auto* probe = new TProbeComponent(&FForm);
        probe->SetName("Probe");
        probe->SetWidth(70000);
        probe->SetVisible(false);
        probe->SetCaption("城市 and more");
        probe->SetRatio(2.5);
        probe->SetShape(psStar);
        probe->SetFlags({pfWide, pfTall});
        probe->SetLink(FTarget);
        probe->Font()->SetSize(12);
        static_cast<TProbeItem*>(probe->Items()->Add())->SetCaption("first");
        static_cast<TProbeItem*>(probe->Items()->Add())->SetWidth(-1);
        probe->Blob = std::string("\0\1\2", 3);
        auto* child = new TProbeChild(probe);
        child->SetName("Kid");
        child->SetLevel(3);
        return probe;
    }

    TComponent FForm{nullptr};
    TProbeComponent* FTarget = [this] {
        auto* target = new TProbeComponent(&FForm);
        target->SetName("Target");
        return target;
    }();
};

TEST_F(ComponentStreamingTest, DefaultsAreNotWritten) {
    TProbeComponent probe(nullptr);
    probe.SetName("Plain");
    EXPECT_EQ(Write(&probe), "TPF0" + ShortString("TProbeComponent") + ShortString("Plain") + std::string(2, '\0'));
}

TEST_F(ComponentStreamingTest, EveryKindOfPropertyComesBackAndWritesTheSameBytes) {
    const std::string bytes = Write(MakeFull());
    TComponent otherForm(nullptr);
    auto* otherTarget = new TProbeComponent(&otherForm);
    otherTarget->SetName("Target");
    auto* copy = new TProbeComponent(&otherForm);
    Read(bytes, copy);

    EXPECT_EQ(copy->Name(), "Probe");
    EXPECT_EQ(copy->Width(), 70000);
    EXPECT_FALSE(copy->Visible());
    EXPECT_EQ(copy->Caption(), "城市 and more");
    EXPECT_EQ(copy->Ratio(), 2.5);
    EXPECT_EQ(copy->Shape(), psStar);
    EXPECT_TRUE(copy->Flags() == (TProbeFlags{pfWide, pfTall}));
    EXPECT_EQ(copy->Link(), otherTarget) << "a reference is found by name";
    EXPECT_EQ(copy->Font()->Size(), 12);
    ASSERT_EQ(copy->Items()->Count(), 2);
    EXPECT_EQ(copy->Items()->Items(0)->Caption(), "first");
    EXPECT_EQ(copy->Items()->Items(1)->Width(), -1);
    EXPECT_EQ(copy->Blob, std::string("\0\1\2", 3));
    auto* kid = dynamic_cast<TProbeChild*>(copy->FindComponent("Kid"));
    ASSERT_NE(kid, nullptr);
    EXPECT_EQ(kid->Level(), 3);
    EXPECT_EQ(Write(copy), bytes);
}

TEST_F(ComponentStreamingTest, DamagedBytesFailAsAReadErrorAndChangeNothing) {
    const std::string bytes = Write(MakeFull());
    const auto at = [&](const std::string& Name) { return bytes.find(ShortString(Name)) + Name.size() + 1; };
    std::string hugeBinary = bytes;
    hugeBinary.replace(at("Blob") + 1, 4, "\xff\xff\xff\x7f");
    std::string negativeBinary = bytes;
    negativeBinary.replace(at("Blob") + 1, 4, "\xff\xff\xff\xff");
    std::string unknownTag = bytes;
    unknownTag[at("Width")] = char(11);
    std::string hugeString = bytes;
    hugeString.replace(at("Caption"), 5, std::string("\x0c\xff\xff\xff\x7f", 5));
    std::string badMarker = bytes;
    badMarker[at("Items") + 1] = char(vaInt8);
    // Components nested one deeper than allowed, each the first child of the last.
    std::string deep = "TPF0";
    for (int i = 0; i <= MaxComponentStreamDepth + 1; ++i)
        deep += ShortString("TProbeComponent") + ShortString("") + '\0';
    deep += std::string(MaxComponentStreamDepth + 2, '\0');

    std::vector<std::pair<const char*, std::string>> cases = {
        {"no signature", "TPF1" + bytes.substr(4)},
        {"a binary size past the end", hugeBinary},
        {"a negative binary size", negativeBinary},
        {"an unknown tag", unknownTag},
        {"a string length past the end", hugeString},
        {"a collection item without its marker", badMarker},
        {"nesting too deep", deep},
    };
    for (size_t length = 0; length < bytes.size(); length += 7)
        cases.emplace_back("cut short", bytes.substr(0, length));

    TProbeComponent untouched(nullptr);
    for (const auto& [what, damaged] : cases) {
        TProbeComponent target(nullptr);
        try {
            Read(damaged, &target);
            ADD_FAILURE() << what << " was read";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error") << what;
        }
        EXPECT_EQ(Write(&target), Write(&untouched)) << what;
    }
}

TEST_F(ComponentStreamingTest, UnknownNamesFailClearly) {
    const std::string header = "TPF0" + ShortString("TProbeComponent") + ShortString("");
    const struct {
        std::string Bytes;
        std::string Message;
    } cases[] = {
        {"TPF0" + ShortString("TNoSuchProbe") + ShortString("") + std::string(2, '\0'), "Class TNoSuchProbe not found"},
        {header + ShortString("Height") + "\x02\x05" + std::string(2, '\0'),
         "Property TProbeComponent.Height does not exist"},
        {header + ShortString("Font.Weight") + "\x02\x05" + std::string(2, '\0'),
         "Property TProbeFont.Weight does not exist"},
        {header + '\0' + ShortString("TNoSuchProbe") + ShortString("x") + std::string(3, '\0'),
         "Class TNoSuchProbe not found"},
        {header + ShortString("Width") + char(vaIdent) + ShortString("Target") + std::string(2, '\0'),
         "Invalid property value"},
    };
    for (const auto& c : cases) {
        TProbeComponent target(nullptr);
        try {
            Read(c.Bytes, &target);
            ADD_FAILURE() << c.Message << ": read";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
    }
}

} // namespace
