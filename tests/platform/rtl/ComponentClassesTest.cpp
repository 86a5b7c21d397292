// The registry of streamable component classes: found by name in any case,
// made for an owner, registered once, and unknown names answered or raised.
#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/ComponentClasses.h"

namespace {

class TRegistryProbe : public TComponent {
public:
    using TComponent::TComponent;
};

class TRegistryOther : public TComponent {
public:
    using TComponent::TComponent;
};

namespace other {
// Another class under a registered class's name.
class TRegistryProbe : public TComponent {
public:
    using TComponent::TComponent;
};
} // namespace other

TEST(ComponentClassesTest, RegisteredClassesAreFoundByNameAndMakeComponentsForTheirOwner) {
    RegisterClasses({ClassOf<TRegistryProbe>(), ClassOf<TRegistryOther>()});
    const TComponentClass* found = GetClass("tregistryprobe");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->ClassName(), "TRegistryProbe");
    EXPECT_EQ(&FindClass("TREGISTRYOTHER"), GetClass("TRegistryOther"));

    TComponent owner(nullptr);
    TComponent* made = found->Create(&owner);
    EXPECT_NE(dynamic_cast<TRegistryProbe*>(made), nullptr);
    EXPECT_EQ(made->Owner(), &owner);
}

TEST(ComponentClassesTest, AClassRegistersOnceAndANameBelongsToOneClass) {
    RegisterClass(ClassOf<TRegistryProbe>());
    EXPECT_NO_THROW(RegisterClass(ClassOf<TRegistryProbe>()));
    try {
        RegisterClass(ClassOf<other::TRegistryProbe>());
        FAIL() << "a second class under a taken name";
    } catch (const EFilerError& e) {
        EXPECT_STREQ(e.what(), "A class named TRegistryProbe already exists");
    }
    EXPECT_EQ(FindClass("TRegistryProbe").Type(), typeid(TRegistryProbe));
}

TEST(ComponentClassesTest, AnUnknownNameIsAnsweredByGetClassAndRaisedByFindClass) {
    EXPECT_EQ(GetClass("TNeverRegistered"), nullptr);
    try {
        FindClass("TNeverRegistered");
        FAIL() << "FindClass of an unknown name";
    } catch (const EClassNotFound& e) {
        EXPECT_STREQ(e.what(), "Class TNeverRegistered not found");
    }
}

} // namespace
