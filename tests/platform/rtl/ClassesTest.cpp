// The component model: ownership, names, free notification, the loading
// bracket and Assign's error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Classes.h"

namespace {

// Records what happens to it into a shared log.
class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, std::vector<std::string>& Log, std::string Label)
        : TComponent(AOwner), FLog(Log), FLabel(std::move(Label)) {}
    ~TProbe() override { FLog.push_back(FLabel + " freed"); }
    TComponent* Watched = nullptr;

protected:
    void Loaded() override {
        FLog.push_back(FLabel + " loaded, owner loading: " +
                       (Owner() && Owner()->ComponentState().Contains(csLoading) ? "yes" : "no"));
        TComponent::Loaded();
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Watched) {
            FLog.push_back(FLabel + " lost its watched component");
            Watched = nullptr;
        }
    }

private:
    std::vector<std::string>& FLog;
    std::string FLabel;
};

TEST(ClassesTest, OwnerFreesItsComponentsLastFirst) {
    std::vector<std::string> log;
    auto* owner = new TProbe(nullptr, log, "owner");
    new TProbe(owner, log, "first");
    auto* second = new TProbe(owner, log, "second");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(second->ComponentIndex(), 1);
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"owner freed", "second freed", "first freed"}));
}

TEST(ClassesTest, DeletingAComponentTakesItFromItsOwner) {
    std::vector<std::string> log;
    TProbe owner(nullptr, log, "owner");
    auto* child = new TProbe(&owner, log, "child");
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0);
    EXPECT_THROW(owner.Components(0), EListError);
}

TEST(ClassesTest, NamesAreIdentifiersUniqueWithoutCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("btnOK");
    EXPECT_EQ(owner.FindComponent("BTNOK"), a);
    try {
        b->SetName("BtnOk");
        FAIL() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named BtnOk already exists");
    }
    try {
        b->SetName("1st");
        FAIL() << "no exception";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "''1st'' is not a valid component name");
    }
    a->SetName("BTNOK"); // a new spelling of its own name is fine
    b->SetName("");
    EXPECT_EQ(owner.FindComponent(""), nullptr);
}

TEST(ClassesTest, FreeNotificationReachesHoldersInOtherOwners) {
    std::vector<std::string> log;
    TProbe form(nullptr, log, "form");
    auto* grid = new TProbe(&form, log, "grid");
    auto* dataSet = new TProbe(nullptr, log, "dataSet");
    grid->Watched = dataSet;
    dataSet->FreeNotification(grid);
    delete dataSet;
    EXPECT_EQ(grid->Watched, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"dataSet freed", "grid lost its watched component"}));
    // And the other way: the holder goes first, the held one forgets it.
    auto* source = new TProbe(nullptr, log, "source");
    auto* link = new TProbe(nullptr, log, "link");
    link->Watched = source;
    source->FreeNotification(link);
    delete link;
    EXPECT_TRUE(source->ComponentState().Empty()) << "no notification left behind";
    delete source;
}

TEST(ClassesTest, RemovalIsBroadcastToTheOwnersComponents) {
    std::vector<std::string> log;
    TProbe form(nullptr, log, "form");
    auto* edit = new TProbe(&form, log, "edit");
    auto* label = new TProbe(&form, log, "label");
    label->Watched = edit; // FocusControl-style link inside one form
    delete edit;
    EXPECT_EQ(label->Watched, nullptr);
}

TEST(ClassesTest, LoadingBracketEndsWithLoadedRootFirst) {
    std::vector<std::string> log;
    TProbe form(nullptr, log, "form");
    auto* before = new TProbe(&form, log, "before");
    {
        TComponentLoading loading(&form);
        EXPECT_TRUE(before->ComponentState().Contains(csLoading));
        auto* during = new TProbe(&form, log, "during");
        EXPECT_TRUE(during->ComponentState().Contains(csLoading)) << "created inside the bracket";
        new TProbe(during, log, "nested");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"form loaded, owner loading: no", "before loaded, owner loading: no",
                                             "during loaded, owner loading: no", "nested loaded, owner loading: no"}));
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST(ClassesTest, LoadingBracketLeftByAnExceptionOnlyClearsTheState) {
    std::vector<std::string> log;
    TProbe form(nullptr, log, "form");
    try {
        TComponentLoading loading(&form);
        throw Exception("bad resource");
    } catch (const Exception&) {
    }
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST(ClassesTest, AssignWithoutSupportRaises) {
    TComponent a(nullptr), b(nullptr);
    try {
        a.Assign(&b);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
    }
    EXPECT_EQ(TObject().ClassName(), "TObject");
}

} // namespace
