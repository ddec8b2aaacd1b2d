// The data consumer through a test provider: assigning providers and contexts, the order of its
// notifications, pending values while a form loads, item selection and its extensions.

#include "DataTestProvider.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/data/ExDataViewList.h"

#include <gtest/gtest.h>

namespace {

struct ConsumerFixture : ::testing::Test {
    TComponent owner{nullptr};
    TTestProvider provider;
    TExDataConsumer consumer{&owner, {1, 3, 1}};
    std::vector<std::string> events;
    std::vector<std::string> seen;
    int created = 0;

    ConsumerFixture()
    {
        provider.Add("a", "A");
        provider.Add("b", "B");
        consumer.OnChanged = [this](TObject*, int reason) { events.push_back("changed " + std::to_string(reason)); };
    }
    ~ConsumerFixture() override { consumer.SetProvider(nullptr); }

    TExDataConsumerItemSelect* UseItemSelection()
    {
        provider.Extensions = {ConsumerExtensionClassOf<TExDataConsumerItemSelect>()};
        consumer.SetProvider(&provider);
        return consumer.FindExtension<TExDataConsumerItemSelect>();
    }
};

template <class E>
std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no exception)";
}

} // namespace

namespace {

// A consumer without a view list whose events go into the provider's log.
struct TracedConsumer {
    TExDataConsumer Consumer;
    TracedConsumer(TComponent* owner, TTestProvider& provider) : Consumer(owner, {2})
    {
        Consumer.OnChanging = [&provider](TObject*, int r) { provider.Log.push_back("changing " + std::to_string(r)); };
        Consumer.OnChanged = [&provider](TObject*, int r) { provider.Log.push_back("changed " + std::to_string(r)); };
    }
    ~TracedConsumer() { Consumer.SetProvider(nullptr); }
};

} // namespace

TEST_F(ConsumerFixture, AssigningAProviderRunsItsStepsInOrderAndOnlyOnce)
{
    TTestProvider other;
    TracedConsumer traced(&owner, provider);
    traced.Consumer.SetProvider(&provider);
    EXPECT_EQ(provider.Log, (std::vector<std::string>{"changing 0", "attach", "changed 2", "changed 0"}));
    EXPECT_EQ(provider.Listeners.size(), 1u);
    provider.Log.clear();
    traced.Consumer.SetProvider(&provider);
    EXPECT_TRUE(provider.Log.empty());

    traced.Consumer.SetProvider(&other);
    EXPECT_EQ(provider.Log, (std::vector<std::string>{"changing 0", "detach", "changed 2", "changed 0"}));
    EXPECT_TRUE(provider.Listeners.empty());
    EXPECT_EQ(other.Log, (std::vector<std::string>{"attach"}));
}

TEST_F(ConsumerFixture, AProviderWithContextsPutsTheConsumerInItsFirstContext)
{
    provider.UseContexts({"first", "second"});
    provider.Log.clear();
    TTestProvider other;
    TracedConsumer traced(&owner, provider);
    TExDataConsumer& consumer = traced.Consumer;
    consumer.SetProvider(&provider);
    const std::vector<std::string> expected = {"changing 0", "attach", "changing 3", "changed 3", "changed 2",
                                               "changed 0"};
    EXPECT_EQ(provider.Log, expected);
    EXPECT_EQ(consumer.Context(), "first");
    EXPECT_FALSE(consumer.ContextIsStored());
    consumer.SetContext("Second");
    EXPECT_EQ(consumer.Context(), "second");
    EXPECT_TRUE(consumer.ContextIsStored());
    consumer.SetContext("");
    EXPECT_EQ(consumer.ContextObject(), nullptr);
    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { consumer.SetContext("third"); }),
              "Provider has no context named \"third\"");

    // A context of another provider is refused.
    TExDataContexts& foreign = other.UseContexts({"foreign"});
    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { consumer.AssignContext(foreign.ContextAt(0)); }),
              "The specified context is not part of the same provider");
}

TEST_F(ConsumerFixture, AProviderWithoutContextsRefusesContextNames)
{
    consumer.SetProvider(&provider);
    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { consumer.SetContext("x"); }), "Provider does not support contexts");
    EXPECT_FALSE(consumer.ContextIsStored());
}

TEST_F(ConsumerFixture, WithoutAProviderContextAndItemWaitWhileLoadingAndAreRefusedOtherwise)
{
    provider.UseContexts({"first", "second"});
    provider.Extensions = {ConsumerExtensionClassOf<TExDataConsumerItemSelect>()};
    consumer.SetProvider(&provider);
    auto* selection = consumer.FindExtension<TExDataConsumerItemSelect>();
    ASSERT_NE(selection, nullptr);
    consumer.SetProvider(nullptr);
    EXPECT_EQ(consumer.FindExtension<TExDataConsumerItemSelect>(), nullptr);

    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { consumer.SetContext("second"); }),
              "You must specify a provider before setting the context");

    // While the owner loads, the values wait; the provider arriving applies them.
    TExDataConsumerItemSelect* loading = Construct<TExDataConsumerItemSelect>(consumer);
    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { loading->SetItem("b"); }),
              "You must specify a provider before setting the item");
    owner.BeginLoading();
    consumer.SetContext("second");
    loading->SetItem("b");
    EXPECT_EQ(consumer.Context(), "");
    EXPECT_TRUE(consumer.ExtensionLoadingPending());
    consumer.AfterOwnerLoaded(); // no provider yet: nothing applied, nothing raised
    owner.Loaded();
    consumer.SetProvider(&provider);
    EXPECT_EQ(consumer.Context(), "second");
    EXPECT_EQ(loading->Item(), "b");
    EXPECT_EQ(consumer.FindExtension<TExDataConsumerItemSelect>(), loading);
}

TEST_F(ConsumerFixture, ThePendingContextOfALoadedFormIsAppliedByAfterOwnerLoaded)
{
    provider.UseContexts({"first", "second"});
    owner.BeginLoading();
    consumer.SetProvider(&provider);
    consumer.SetContext("second");
    EXPECT_EQ(consumer.Context(), "second");
    owner.Loaded();
    consumer.AfterOwnerLoaded();
    EXPECT_EQ(consumer.Context(), "second");
}

TEST_F(ConsumerFixture, AttributeThreeKeepsExactlyOneViewList)
{
    EXPECT_TRUE(consumer.HasAttribute(1));
    EXPECT_TRUE(consumer.HasAttribute(3));
    EXPECT_FALSE(consumer.HasAttribute(2));
    EXPECT_EQ(consumer.ViewList(), nullptr);
    consumer.SetProvider(&provider);
    EXPECT_NE(consumer.ViewList(), nullptr);
    EXPECT_EQ(consumer.ExtensionCount(), 1);
    provider.AfterChange(pcrViewChange, nullptr);
    EXPECT_EQ(consumer.ExtensionCount(), 1);
    EXPECT_EQ(consumer.ViewList()->RowCount(), 2);

    TExDataConsumer plain(&owner, {2});
    plain.SetProvider(&provider);
    EXPECT_EQ(plain.ViewList(), nullptr);
    plain.SetProvider(nullptr);
}

TEST_F(ConsumerFixture, TheProvidersExtensionClassesAreCreatedUnlessTheEventDeclines)
{
    consumer.OnAfterCreateExtension = [&](TObject*, TExDataConsumerAggregatedObject*) { ++created; };
    consumer.OnBeforeCreateExtension = [](TObject*, TExConsumerExtensionClass& c) {
        if (*c.Type == typeid(TExDataConsumerViewList))
            c = {};
    };
    UseItemSelection();
    EXPECT_NE(consumer.FindExtension<TExDataConsumerItemSelect>(), nullptr);
    EXPECT_EQ(consumer.ViewList(), nullptr);
    EXPECT_EQ(created, 1);
}

TEST_F(ConsumerFixture, TheAccessBracketMakesTheConsumerAndContextCurrent)
{
    TExDataContexts& contexts = provider.UseContexts({"only"});
    consumer.SetProvider(&provider);
    consumer.WithAccess([&] {
        EXPECT_EQ(provider.CurrentConsumer(), &consumer);
        EXPECT_EQ(provider.Contexts.back(), contexts.ContextAt(0));
    });
    EXPECT_TRUE(provider.Consumers.empty());
    EXPECT_TRUE(provider.Contexts.empty());
    EXPECT_THROW(consumer.WithAccess([] { throw EAbort("stop"); }), EAbort);
    EXPECT_TRUE(provider.Consumers.empty());
}

TEST_F(ConsumerFixture, DeletingTheSelectedItemOrAParentOfItClearsTheSelection)
{
    auto* a = dynamic_cast<TExBaseDataItem*>(provider.RootItems()->ItemAt(0));
    TExBaseDataItem* inner = TTestProvider::Add(TTestProvider::Children(a), "inner", "Inner");
    TExDataConsumerItemSelect* selection = UseItemSelection();
    selection->SetItem("inner");
    EXPECT_EQ(selection->SelectedItem(), inner);
    EXPECT_EQ(MessageOf<EExLibDataConsumer>([&] { selection->SetItem("missing"); }),
              "Item not found in the selected context");

    provider.Editor->RemoveAt(1); // b: unrelated
    EXPECT_EQ(selection->Item(), "inner");
    provider.Editor->RemoveAt(0); // a, the parent of the selected item
    EXPECT_EQ(selection->SelectedItem(), nullptr);
    EXPECT_EQ(selection->Item(), "");
}

TEST_F(ConsumerFixture, SelectingAnItemShowsItsChildrenInTheViewList)
{
    TExBaseDataItem* a = dynamic_cast<TExBaseDataItem*>(provider.RootItems()->ItemAt(0));
    TTestProvider::Add(TTestProvider::Children(a), "one", "One");
    TTestProvider::Add(TTestProvider::Children(a), "two", "Two");
    TExDataConsumerItemSelect* selection = UseItemSelection();
    TExConsumerStrings strings(consumer);
    EXPECT_EQ(strings.Text(), "A\r\nB\r\n");
    selection->SetItem("a");
    EXPECT_EQ(strings.Text(), "One\r\nTwo\r\n");
    selection->SetItem("");
    EXPECT_EQ(strings.Count(), 2);
}

TEST_F(ConsumerFixture, TheConsumerStringsAreTheRowCaptionsAndReadOnly)
{
    TExConsumerStrings strings(consumer);
    EXPECT_EQ(strings.Count(), 0);
    consumer.SetProvider(&provider);
    provider.Add("mute");
    provider.AfterChange(pcrViewChange, nullptr);
    ASSERT_EQ(strings.Count(), 3);
    EXPECT_EQ(strings[0], "A");
    EXPECT_EQ(strings[2], "");
    strings.Add("ignored");
    strings.Delete(0);
    strings.Clear();
    EXPECT_EQ(strings.Count(), 3);
    for (int bad : {-1, 3})
        EXPECT_EQ(MessageOf<EListError>([&] { strings.Get(bad); }),
                  "List index out of bounds (" + std::to_string(bad) + ")");
}

TEST_F(ConsumerFixture, ProviderChangesReachTheEventsAndAGoingProviderIsDropped)
{
    consumer.OnProviderChanging = [&](IExDataProvider*, int reason, IExInterface*) {
        seen.push_back("changing " + std::to_string(reason));
    };
    consumer.OnProviderChanged = [&](IExDataProvider*, int reason, IExInterface*) {
        seen.push_back("changed " + std::to_string(reason));
    };
    consumer.SetProvider(&provider);
    events.clear();
    provider.Editor->RemoveAll();
    EXPECT_EQ(seen, (std::vector<std::string>{"changing 3", "changed 3"}));
    EXPECT_EQ(events, (std::vector<std::string>{"changed 1"}));
    provider.BeforeChange(pcrDestroy, nullptr);
    EXPECT_EQ(consumer.Provider(), nullptr);
    EXPECT_TRUE(provider.Listeners.empty());
}

TEST_F(ConsumerFixture, AReportedSelectionReachesTheExtensionsAndTheItemsClick)
{
    class TClickItem : public TExBaseDataItem, public virtual IExDataItemClick {
    public:
        using TExBaseDataItem::TExBaseDataItem;
        bool Click(TComponent* sender) override
        {
            Sender = sender;
            return true;
        }
        TComponent* Sender = nullptr;
    };
    class TWatcher : public TExDataConsumerAggregatedObject {
    public:
        using TExDataConsumerAggregatedObject::TExDataConsumerAggregatedObject;
        void ItemWasSelected(IExDataItem* item) override { Selected = item; }
        IExDataItem* Selected = nullptr;
    };
    auto* item = Construct<TClickItem>(provider.RootItems());
    provider.RootList()->AddItemObject(item);
    consumer.SetProvider(&provider);
    auto* watcher = Construct<TWatcher>(consumer);
    consumer.ReportItemSelected(item);
    EXPECT_EQ(watcher->Selected, item);
    EXPECT_EQ(item->Sender, &owner);
}

TEST(DataVisibility, TheConsumersAnswerComesFirstAndTheItemDecidesStatesTwoAndThree)
{
    class TVisibleItem : public TExBaseDataItem, public virtual IExDataItemVisibility {
    public:
        using TExBaseDataItem::TExBaseDataItem;
        std::uint8_t VisibleState() override { return State; }
        std::uint8_t State = 0;
    };
    class TSeeingConsumer : public TExDataConsumer, public virtual IExDataConsumerVisibility {
    public:
        using TExDataConsumer::TExDataConsumer;
        std::uint8_t VisibleStateOf(IExDataItem*) override { return Answer; }
        std::uint8_t Answer = 1;
    };
    TTestProvider provider;
    auto* item = Construct<TVisibleItem>(provider.RootItems());
    provider.RootList()->AddItemObject(item);
    EXPECT_EQ(ItemVisibleState(nullptr), 3);
    EXPECT_EQ(ItemVisibleState(item), 0); // no current consumer: the item's own state
    TSeeingConsumer consumer(nullptr, {});
    provider.PushConsumer(&consumer);
    EXPECT_EQ(ItemVisibleState(item), 1);
    consumer.Answer = 2;
    item->State = 5;
    EXPECT_EQ(ItemVisibleState(item), 5);
    provider.PopConsumer();
}
