// The window-procedure hook registry: the order of before-hooks, the control's own procedure
// and after-hooks, a hook that ends the dispatch, and hooks added, removed or outliving their
// control while a message is on its way.

#include "ExLib/run/menus/ExWndProcHook.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

constexpr UINT WM_PROBE = WM_USER + 7;

using Log = std::vector<std::string>;

class LoggingControl : public TWinControl {
public:
    explicit LoggingControl(Log& log) : TWinControl(nullptr), FLog(log) {}

protected:
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_PROBE)
            FLog.push_back("control");
        TWinControl::WndProc(m);
    }

private:
    Log& FLog;
};

// An observer with named hooks whose behaviour each test sets.
struct Observer {
    Observer(Log& out, std::string name) : Out(out), Name(std::move(name)) {}
    Log& Out;
    std::string Name;
    std::function<bool(TMessage&)> Action;

    bool Hook(TMessage& m)
    {
        if (m.Msg != WM_PROBE)
            return false;
        Out.push_back(Name);
        return Action ? Action(m) : false;
    }
    TExHookProc Proc() { return MakeHookProc<&Observer::Hook>(this); }
};

struct HookFixture : ::testing::Test {
    Log log;
    std::unique_ptr<LoggingControl> control = std::make_unique<LoggingControl>(log);

    void Register(Observer& o, TExHookOrder order) { ASSERT_TRUE(RegisterWndProcHook(control.get(), order, o.Proc())); }
    Log Send()
    {
        log.clear();
        control->Perform(WM_PROBE);
        return log;
    }
};

} // namespace

TEST_F(HookFixture, BeforeHooksRunInRegistrationOrderThenTheControlThenAfterHooks)
{
    Observer a{log, "a"}, b{log, "b"}, c{log, "c"};
    Register(c, TExHookOrder::AfterMessage);
    Register(a, TExHookOrder::BeforeMessage);
    Register(b, TExHookOrder::BeforeMessage);
    EXPECT_EQ(Send(), (Log{"a", "b", "control", "c"}));
}

TEST_F(HookFixture, AHookThatHandlesTheMessageEndsTheDispatch)
{
    Observer before{log, "before"}, later{log, "later"}, after{log, "after"};
    before.Action = [](TMessage& m) {
        m.Result = 42;
        return true;
    };
    Register(before, TExHookOrder::BeforeMessage);
    Register(later, TExHookOrder::BeforeMessage);
    Register(after, TExHookOrder::AfterMessage);
    log.clear();
    EXPECT_EQ(control->Perform(WM_PROBE), 42);
    EXPECT_EQ(log, (Log{"before"}));

    before.Action = nullptr;
    Observer stop{log, "stop"};
    stop.Action = [](TMessage&) { return true; };
    UnregisterWndProcHook(control.get(), TExHookOrder::AfterMessage, after.Proc());
    Register(stop, TExHookOrder::AfterMessage);
    Register(after, TExHookOrder::AfterMessage);
    EXPECT_EQ(Send(), (Log{"before", "later", "control", "stop"}));
}

TEST_F(HookFixture, AHookRemovingItselfDoesNotStopTheHooksAfterIt)
{
    Observer a{log, "a"}, b{log, "b"}, c{log, "c"};
    a.Action = [&](TMessage&) {
        UnregisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, a.Proc());
        return false;
    };
    Register(a, TExHookOrder::BeforeMessage);
    Register(b, TExHookOrder::BeforeMessage);
    Register(c, TExHookOrder::AfterMessage);
    EXPECT_EQ(Send(), (Log{"a", "b", "control", "c"}));
    EXPECT_EQ(Send(), (Log{"b", "control", "c"}));
}

TEST_F(HookFixture, AHookRemovingTheNextOneSkipsIt)
{
    Observer a{log, "a"}, b{log, "b"}, c{log, "c"};
    a.Action = [&](TMessage&) {
        UnregisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, b.Proc());
        return false;
    };
    Register(a, TExHookOrder::BeforeMessage);
    Register(b, TExHookOrder::BeforeMessage);
    Register(c, TExHookOrder::BeforeMessage);
    EXPECT_EQ(Send(), (Log{"a", "c", "control"}));
}

TEST_F(HookFixture, HooksAddedDuringADispatchAreCalledInThatDispatch)
{
    // `late` joins the before-list after it has been run through (from an after-hook); `next`
    // joins the after-list before its end is reached.
    Observer first{log, "first"}, late{log, "late"}, adder{log, "adder"}, next{log, "next"};
    bool added = false;
    adder.Action = [&](TMessage&) {
        if (!added) {
            added = true;
            Register(next, TExHookOrder::AfterMessage);
            Register(late, TExHookOrder::BeforeMessage);
        }
        return false;
    };
    Register(first, TExHookOrder::BeforeMessage);
    Register(adder, TExHookOrder::AfterMessage);
    EXPECT_EQ(Send(), (Log{"first", "control", "adder", "next"}));
    EXPECT_EQ(Send(), (Log{"first", "late", "control", "adder", "next"}));

    // A before-hook added while the before-list is still being run through is called in turn.
    Observer starter{log, "starter"}, joined{log, "joined"};
    bool once = false;
    starter.Action = [&](TMessage&) {
        if (!once) {
            once = true;
            Register(joined, TExHookOrder::BeforeMessage);
        }
        return false;
    };
    UnregisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, first.Proc());
    UnregisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, late.Proc());
    Register(starter, TExHookOrder::BeforeMessage);
    EXPECT_EQ(Send(), (Log{"starter", "joined", "control", "adder", "next"}));
}

TEST_F(HookFixture, NestedDispatchesKeepTheirOwnPlace)
{
    Observer outer{log, "outer"}, inner{log, "inner"};
    int depth = 0;
    outer.Action = [&](TMessage&) {
        if (depth++ == 0)
            control->Perform(WM_PROBE);
        return false;
    };
    Register(outer, TExHookOrder::BeforeMessage);
    Register(inner, TExHookOrder::BeforeMessage);
    EXPECT_EQ(Send(), (Log{"outer", "outer", "inner", "control", "inner", "control"}));
}

TEST_F(HookFixture, TheSameProcedureTwiceIsCalledTwiceAndUnregisteredOnceAtATime)
{
    Observer a{log, "a"};
    Register(a, TExHookOrder::AfterMessage);
    Register(a, TExHookOrder::AfterMessage);
    EXPECT_EQ(Send(), (Log{"control", "a", "a"}));
    EXPECT_TRUE(UnregisterWndProcHook(control.get(), TExHookOrder::AfterMessage, a.Proc()));
    EXPECT_EQ(Send(), (Log{"control", "a"}));

    // The same method on another object is another procedure.
    Observer other{log, "other"};
    EXPECT_TRUE(UnregisterWndProcHook(control.get(), TExHookOrder::AfterMessage, other.Proc()));
    EXPECT_EQ(Send(), (Log{"control", "a"}));
}

TEST_F(HookFixture, TheLastHookToGoPutsTheControlsOwnProcedureBack)
{
    const TWndMethod original = control->WindowProc;
    control->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_PROBE)
            log.push_back("subclass");
        original(m);
    };
    Observer a{log, "a"}, b{log, "b"};
    Register(a, TExHookOrder::BeforeMessage);
    Register(b, TExHookOrder::AfterMessage);
    EXPECT_EQ(Send(), (Log{"a", "subclass", "control", "b"}));
    UnregisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, a.Proc());
    EXPECT_EQ(Send(), (Log{"subclass", "control", "b"}));
    UnregisterWndProcHook(control.get(), TExHookOrder::AfterMessage, b.Proc());
    EXPECT_EQ(Send(), (Log{"subclass", "control"}));
    // Hooking again after the unhook works as the first time.
    Register(a, TExHookOrder::BeforeMessage);
    EXPECT_EQ(Send(), (Log{"a", "subclass", "control"}));
}

TEST_F(HookFixture, RegistrationsWithoutAControlOrProcedureAreRefused)
{
    Observer a{log, "a"};
    EXPECT_FALSE(RegisterWndProcHook(nullptr, TExHookOrder::BeforeMessage, a.Proc()));
    EXPECT_FALSE(RegisterWndProcHook(control.get(), TExHookOrder::BeforeMessage, TExHookProc{}));
    EXPECT_FALSE(UnregisterWndProcHook(nullptr, TExHookOrder::BeforeMessage, a.Proc()));
    LoggingControl neverHooked(log);
    EXPECT_FALSE(UnregisterWndProcHook(&neverHooked, TExHookOrder::BeforeMessage, a.Proc()));
    EXPECT_EQ(Send(), (Log{"control"}));
}

TEST_F(HookFixture, AControlDestroyedDuringADispatchEndsItAndItsEntryIsFreedLater)
{
    Observer killer{log, "killer"}, after{log, "after"};
    bool kill = false;
    killer.Action = [&](TMessage&) {
        if (kill)
            control.reset();
        return false;
    };
    Register(killer, TExHookOrder::BeforeMessage);
    Register(after, TExHookOrder::AfterMessage);
    kill = true;
    log.clear();
    // why: the control dies inside the call, so the call must not run on the control itself.
    const TWndMethod dispatch = control->WindowProc;
    TMessage m{WM_PROBE, 0, 0, 0};
    dispatch(m);
    EXPECT_EQ(log, (Log{"killer"}));
    EXPECT_EQ(control, nullptr);
    // The dead entry waits for the message loop; processing it frees it without calling hooks.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(log, (Log{"killer"}));

    // A new control (perhaps at the same address) starts without hooks.
    control = std::make_unique<LoggingControl>(log);
    EXPECT_EQ(Send(), (Log{"control"}));
}

TEST_F(HookFixture, AControlDestroyedWhileHookedRestoresNothingAndCallsNoHookAgain)
{
    Observer a{log, "a"};
    Register(a, TExHookOrder::BeforeMessage);
    control.reset();
    QCoreApplication::sendPostedEvents();
    // Unregistering for the dead control finds nothing.
    LoggingControl fresh(log);
    EXPECT_FALSE(UnregisterWndProcHook(&fresh, TExHookOrder::BeforeMessage, a.Proc()));
    log.clear();
    fresh.Perform(WM_PROBE);
    EXPECT_EQ(log, (Log{"control"}));
}
