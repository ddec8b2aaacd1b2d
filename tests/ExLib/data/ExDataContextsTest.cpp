// Data contexts: names unique within a list, paths between lists, and which contexts can go.

#include "DataTestProvider.h"

#include "ExLib/run/common/ExExceptions.h"

#include <gtest/gtest.h>

namespace {

struct ContextFixture : ::testing::Test {
    TTestProvider provider;
    // The provider's list holds a, b and c; a nested list below a holds x and y.
    TExDataContexts& top = provider.UseContexts({"a", "b", "c"});
    IExDataContext* a = top.ContextAt(0);
    TExDataContexts* nested = Construct<TExDataContexts>(static_cast<IExDataProvider*>(&provider), a);
    TIntf<IExDataContextList> nestedRef{nested};

    ContextFixture()
    {
        for (const char* name : {"x", "y"})
            nested->AddContext(Construct<TExDataContext>(nested, name));
        provider.Log.clear();
    }
    static std::string NameOf(IExDataContext* context) { return context ? context->ContextName() : "(none)"; }
};

} // namespace

TEST_F(ContextFixture, PathsFindContextsInThisListAboveItAndAtTheProvider)
{
    struct Case {
        IExDataContextList* from;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {&top, "B", "b"},
        {&top, "x", "(none)"},
        {nested, "x\\", "x"},
        {nested, "..\\b", "b"},
        {nested, "../c", "c"},
        {nested, "\\c", "c"},
        {&top, "..\\a", "(none)"},  // the provider's list has no ancestor
        {&top, "\\a", "(none)"},     // nor a root above it
        {&top, "", "(none)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameOf(c.from->ContextByPath(c.path)), c.expected) << c.path;
    EXPECT_EQ(nested->IndexOfContext(nested->ContextAt(1)), 1);
    EXPECT_EQ(nested->IndexOfContext(a), -1);
}

TEST_F(ContextFixture, RenamingKeepsNamesUniqueWithoutRegardToCase)
{
    auto* naming = Supports<IExDataContextNaming>(top.ContextAt(1));
    ASSERT_NE(naming, nullptr);
    naming->Rename("b");
    naming->Rename("B");
    EXPECT_EQ(NameOf(top.ContextAt(1)), "B");
    for (const char* taken : {"a", "C"}) {
        try {
            naming->Rename(taken);
            ADD_FAILURE() << taken;
        } catch (const EExLibDataContexts& e) {
            EXPECT_STREQ(e.what(), "A context with that name already exists");
        }
    }
    // A plain context offers no renaming.
    EXPECT_EQ(Supports<IExDataContextNaming>(nested->ContextAt(0)), nullptr);
}

TEST_F(ContextFixture, AddingAndDeletingTellTheProviderAroundTheChange)
{
    auto* d = Construct<TExDataContext>(nested, "d");
    nested->AddContext(d);
    nested->AddContext(d); // the same context again: nothing
    nested->RemoveContext(nested->ContextAt(0));
    const std::vector<std::string> expected = {
        "before 5 context a", "after 5 context d", "before 6 context x", "after 6 context a",
    };
    EXPECT_EQ(provider.Log, expected);
    EXPECT_EQ(nested->ContextCount(), 2);

    TIntf<IExDataContext> twin(Construct<TExDataContext>(nested, "twin"));
    nested->AddContext(twin.get());
    TIntf<IExDataContext> clash(Construct<TExDataContext>(&top, "TWIN"));
    EXPECT_THROW(nested->AddContext(clash.get()), EExLibDataContexts);
}

TEST_F(ContextFixture, AFixedContextSurvivesDeletionButNotRemoveAll)
{
    nested->AddContext(Construct<TExFixedDataContext>(nested, "fixed"));
    provider.Log.clear();
    IExDataContext* fixed = nested->ContextAt(2);
    EXPECT_FALSE(fixed->CanDelete());
    EXPECT_TRUE(dynamic_cast<TExBaseDataContext*>(fixed)->IsStreamable());
    nested->DeleteContextAt(2);
    nested->RemoveContext(fixed);
    EXPECT_EQ(nested->ContextCount(), 3);
    EXPECT_TRUE(provider.Log.empty());
    nested->RemoveAllContexts();
    EXPECT_EQ(nested->ContextCount(), 0);
    EXPECT_TRUE(provider.Log.empty());
}

TEST(DataContexts, AContextNeedsAListAndTheListCanCarryAnEditor)
{
    try {
        Construct<TExDataContext>(nullptr, "orphan");
        FAIL() << "no exception";
    } catch (const EExLibDataContexts& e) {
        EXPECT_STREQ(e.what(), "Cannot create a context without a context list owner");
    }

    class TEditor : public TAggregatedPersistentEx, public virtual IExDataItemClick {
    public:
        using TAggregatedPersistentEx::TAggregatedPersistentEx;
        bool Click(TComponent*) override { return true; }
    };
    TTestProvider provider;
    TIntf<IExDataContextList> list(Construct<TExDataContexts>(
        static_cast<IExDataProvider*>(&provider), nullptr,
        [](TExtensibleInterfacedPersistent& owner) { return Construct<TEditor>(owner); }));
    EXPECT_NE(Supports<IExDataItemClick>(list.get()), nullptr);
}
