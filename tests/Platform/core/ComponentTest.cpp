// Ownership, names and free notification of components.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records every notification it hears and drops its reference when the target dies.
class Watcher : public TComponent {
public:
    explicit Watcher(TComponent* owner, std::vector<std::string>* log = nullptr) : TComponent(owner), Log(log) {}
    ~Watcher() override
    {
        if (Destroyed)
            *Destroyed = true;
    }
    TComponent* Target = nullptr;
    std::vector<std::string>* Log;
    bool* Destroyed = nullptr;

protected:
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (Log)
            Log->push_back((operation == TOperation::opInsert ? "insert " : "remove ") + Name());
        if (operation == TOperation::opRemove && component == Target)
            Target = nullptr;
    }
};

} // namespace

TEST(Component, OwnerDestroysItsComponents)
{
    bool firstGone = false;
    bool secondGone = false;
    {
        TComponent owner(nullptr);
        auto* a = new Watcher(&owner);
        auto* b = new Watcher(&owner);
        a->Destroyed = &firstGone;
        b->Destroyed = &secondGone;
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(a->Owner(), &owner);
        EXPECT_EQ(b->ComponentIndex(), 1);
    }
    EXPECT_TRUE(firstGone);
    EXPECT_TRUE(secondGone);
}

TEST(Component, DeletingAComponentRemovesItFromItsOwner)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_THROW(owner.Components(1), EListError);
}

TEST(Component, NamesAreUniqueAmongSiblingsWithoutLetterCase)
{
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Editor1");
    EXPECT_EQ(owner.FindComponent("EDITOR1"), a);
    try {
        b->SetName("editor1");
        FAIL() << "duplicate name accepted";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "A component named editor1 already exists");
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("EDITOR1"); // renaming a component to its own name in another case is allowed
    EXPECT_EQ(a->Name(), "EDITOR1");
}

TEST(Component, InvalidNamesAreRefused)
{
    TComponent c(nullptr);
    for (const char* bad : {"1abc", "a b", "a-b", "é"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(c.SetName(bad), EComponentError);
    }
    c.SetName("_ok9");
    EXPECT_EQ(c.Name(), "_ok9");
    c.SetName("");
    EXPECT_EQ(c.Name(), "");
}

TEST(Component, FreeNotificationDropsTheReferenceWhenTheTargetDies)
{
    Watcher watcher(nullptr);
    auto* target = new TComponent(nullptr);
    watcher.Target = target;
    watcher.FreeNotification(target);
    delete target;
    EXPECT_EQ(watcher.Target, nullptr);
}

TEST(Component, FreeNotificationIsMutualAndCanBeWithdrawn)
{
    std::vector<std::string> log;
    auto* a = new Watcher(nullptr, &log);
    a->SetName("A");
    auto* b = new Watcher(nullptr, &log);
    b->SetName("B");
    a->FreeNotification(b);
    a->RemoveFreeNotification(b);
    delete b;
    EXPECT_TRUE(log.empty());

    auto* c = new Watcher(nullptr, &log);
    c->SetName("C");
    a->FreeNotification(c);
    delete a; // c hears that a went away
    EXPECT_EQ(log, std::vector<std::string>{"remove C"});
    delete c;
}

TEST(Component, SiblingsHearOfInsertionAndRemoval)
{
    std::vector<std::string> log;
    TComponent owner(nullptr);
    auto* first = new Watcher(&owner, &log);
    first->SetName("First");
    auto* second = new TComponent(&owner);
    EXPECT_EQ(log, std::vector<std::string>{"insert First"});
    owner.RemoveComponent(second);
    EXPECT_EQ(log.back(), "remove First");
    delete second;
}

TEST(Component, InsertingMovesAComponentBetweenOwners)
{
    TComponent a(nullptr);
    TComponent b(nullptr);
    auto* c = new TComponent(&a);
    b.InsertComponent(c);
    EXPECT_EQ(a.ComponentCount(), 0);
    EXPECT_EQ(b.ComponentCount(), 1);
    EXPECT_EQ(c->Owner(), &b);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaises)
{
    TPersistent a;
    TComponent b(nullptr);
    try {
        a.Assign(b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TComponent to a TPersistent");
    }
}

TEST(Component, LoadingStateBracketsInitialisation)
{
    TComponent c(nullptr);
    c.BeginLoading();
    EXPECT_TRUE(c.ComponentState().Contains(csLoading));
    c.Loaded();
    EXPECT_FALSE(c.ComponentState().Contains(csLoading));
}
