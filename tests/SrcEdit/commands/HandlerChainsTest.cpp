// Handler chains: the key and mouse chains of an editor (newest first, swallowing, re-entry
// guard, removal of the newest registration) and the notify-event chain with its exception
// routing (list order, removal of every registration).

#include "SrcEdit/Source/commands/SrcEditKbdHandler.h"
#include "SrcEdit/Source/commands/SrcEditMethodChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A component that attaches handlers and records what it sees.
class Listener : public TObject {
public:
    Listener(std::string name, std::vector<std::string>& log) : Name(std::move(name)), Log(log) {}

    void KeyDown(TObject*, WORD& key, TShiftState)
    {
        Log.push_back(Name);
        if (SwallowKey)
            key = 0;
        if (OnCall)
            OnCall();
    }
    void KeyPress(TObject*, char32_t& key)
    {
        Log.push_back(Name + ":" + std::to_string(static_cast<unsigned>(key)));
        if (SwallowKey)
            key = 0;
    }
    void MouseDown(TObject*, TMouseButton, TShiftState, int x, int y)
    {
        Log.push_back(Name + "@" + std::to_string(x) + "," + std::to_string(y));
    }
    void Cursor(TObject*, const TBufferCoord& pos, TCursor& cursor)
    {
        Log.push_back(Name + ":" + std::to_string(pos.LineNumber));
        cursor += 1;
    }
    void Notify(TObject* sender)
    {
        Log.push_back(Name + (sender ? "" : ":nil"));
        if (OnCall)
            OnCall();
    }

    TSrcKeyEventMethod KeyDownMethod() { return MakeMethod(this, &Listener::KeyDown); }
    TSrcNotifyMethod NotifyMethod() { return MakeMethod(this, &Listener::Notify); }

    std::string Name;
    std::vector<std::string>& Log;
    bool SwallowKey = false;
    std::function<void()> OnCall;
};

using Log = std::vector<std::string>;

} // namespace

TEST(MethodIdentity, ReceiverAndCodeNameTheHandler)
{
    Log log;
    Listener a("A", log), b("B", log);
    EXPECT_TRUE(a.KeyDownMethod().SameAs(a.KeyDownMethod()));
    EXPECT_FALSE(a.KeyDownMethod().SameAs(b.KeyDownMethod())) << "same code, other receiver";
    const auto press = MakeMethod(&a, &Listener::KeyPress);
    const auto down = MakeMethod(&a, &Listener::KeyDown);
    EXPECT_NE(press.Id(), down.Id()) << "same receiver, other code";
    static const int tag = 0;
    const TSrcNotifyMethod explicitTag(&a, &tag, [](TObject*) {});
    EXPECT_TRUE(explicitTag.Assigned());
    EXPECT_TRUE(explicitTag.SameAs(TSrcNotifyMethod(&a, &tag, nullptr)));
    EXPECT_FALSE(TSrcNotifyMethod().Assigned());
    EXPECT_FALSE(TSrcNotifyMethod(&a, nullptr, [](TObject*) {}).Assigned()) << "no code";
}

TEST(KbdHandler, NewestKeyHandlerRunsFirstAndCanSwallowTheKey)
{
    Log log;
    Listener a("A", log), b("B", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyDownHandler(a.KeyDownMethod());
    handler.AddKeyDownHandler(b.KeyDownMethod());

    WORD key = VK_RETURN;
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"B", "A"}));
    EXPECT_EQ(key, VK_RETURN);

    log.clear();
    b.SwallowKey = true;
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"B"})) << "A is not called once the key is 0";
    EXPECT_EQ(key, 0);
}

TEST(KbdHandler, KeyUpAndKeyPressStopAtAZeroKey)
{
    Log log;
    Listener a("A", log), b("B", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyUpHandler(a.KeyDownMethod());
    handler.AddKeyUpHandler(b.KeyDownMethod());
    handler.AddKeyPressHandler(MakeMethod(&a, &Listener::KeyPress));
    handler.AddKeyPressHandler(MakeMethod(&b, &Listener::KeyPress));
    b.SwallowKey = true;

    WORD key = 'A';
    handler.FireKeyUp(nullptr, key, {});
    char32_t ch = U'x';
    handler.FireKeyPress(nullptr, ch);
    EXPECT_EQ(log, (Log{"B", "B:120"}));
    EXPECT_EQ(ch, 0u);
}

TEST(KbdHandler, NestedKeyEventOfTheSameKindDoesNotReenterTheChain)
{
    Log log;
    Listener a("A", log), b("B", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyDownHandler(a.KeyDownMethod());
    handler.AddKeyDownHandler(b.KeyDownMethod());
    int nested = 0;
    b.OnCall = [&] {
        if (nested++ == 0) {
            WORD inner = VK_TAB;
            handler.FireKeyDown(nullptr, inner, {});
            char32_t ch = U'a';
            handler.FireKeyPress(nullptr, ch); // another chain may run
        }
    };
    handler.AddKeyPressHandler(MakeMethod(&a, &Listener::KeyPress));

    WORD key = VK_RETURN;
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"B", "A:97", "A"}));

    log.clear();
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"B", "A"})) << "the guard is gone after the walk";
}

TEST(KbdHandler, GuardDropsWhenAHandlerRaises)
{
    Log log;
    Listener a("A", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyDownHandler(a.KeyDownMethod());
    a.OnCall = [] { throw Exception("boom"); };
    WORD key = 'A';
    EXPECT_THROW(handler.FireKeyDown(nullptr, key, {}), Exception);
    a.OnCall = nullptr;
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"A", "A"}));
}

TEST(KbdHandler, RemovingATwiceAddedHandlerKeepsTheOlderOne)
{
    Log log;
    Listener a("A", log), c("C", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyDownHandler(a.KeyDownMethod());
    handler.AddKeyDownHandler(c.KeyDownMethod());
    handler.AddKeyDownHandler(a.KeyDownMethod());
    handler.RemoveKeyDownHandler(a.KeyDownMethod());

    WORD key = 'A';
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"C", "A"})) << "the newest A went; the older A stays behind C";

    Listener never("N", log);
    handler.RemoveKeyDownHandler(never.KeyDownMethod());
    handler.RemoveKeyDownHandler(TSrcKeyEventMethod());
    log.clear();
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"C", "A"})) << "removing what was never added changes nothing";
}

TEST(KbdHandler, HandlersChangingTheChainDuringTheWalk)
{
    Log log;
    Listener a("A", log), b("B", log), c("C", log), late("L", log);
    TSrcEditKbdHandler handler;
    handler.AddKeyDownHandler(a.KeyDownMethod());
    handler.AddKeyDownHandler(b.KeyDownMethod());
    handler.AddKeyDownHandler(c.KeyDownMethod());
    // C removes itself and B, and adds a newer handler: B is skipped, the newcomer waits.
    c.OnCall = [&] {
        handler.RemoveKeyDownHandler(c.KeyDownMethod());
        handler.RemoveKeyDownHandler(b.KeyDownMethod());
        handler.AddKeyDownHandler(late.KeyDownMethod());
    };
    WORD key = 'A';
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"C", "A"}));

    log.clear();
    handler.FireKeyDown(nullptr, key, {});
    EXPECT_EQ(log, (Log{"L", "A"}));
}

TEST(KbdHandler, MouseChainsCallEveryHandlerNewestFirst)
{
    Log log;
    Listener a("A", log), b("B", log);
    TSrcEditKbdHandler handler;
    handler.AddMouseDownHandler(MakeMethod(&a, &Listener::MouseDown));
    handler.AddMouseDownHandler(MakeMethod(&b, &Listener::MouseDown));
    handler.AddMouseUpHandler(MakeMethod(&a, &Listener::MouseDown));
    handler.AddMouseCursorHandler(MakeMethod(&a, &Listener::Cursor));
    handler.AddMouseCursorHandler(MakeMethod(&b, &Listener::Cursor));

    handler.FireMouseDown(nullptr, TMouseButton::mbLeft, {}, 3, 4);
    handler.FireMouseUp(nullptr, TMouseButton::mbLeft, {}, 5, 6);
    TCursor cursor = 0;
    handler.FireMouseCursor(nullptr, MakeBufferCoord(1, 7), cursor);
    EXPECT_EQ(log, (Log{"B@3,4", "A@3,4", "A@5,6", "B:7", "A:7"}));
    EXPECT_EQ(cursor, 2);

    handler.RemoveMouseDownHandler(MakeMethod(&b, &Listener::MouseDown));
    handler.RemoveMouseUpHandler(MakeMethod(&a, &Listener::MouseDown));
    handler.RemoveMouseCursorHandler(MakeMethod(&a, &Listener::Cursor));
    log.clear();
    handler.FireMouseDown(nullptr, TMouseButton::mbRight, {}, 1, 1);
    handler.FireMouseUp(nullptr, TMouseButton::mbRight, {}, 1, 1);
    handler.FireMouseCursor(nullptr, MakeBufferCoord(1, 2), cursor);
    EXPECT_EQ(log, (Log{"A@1,1", "B:2"}));
}

TEST(NotifyEventChain, CallsEntriesInListOrderWithTheChainsSender)
{
    Log log;
    Listener a("A", log), b("B", log);
    TObject owner;
    TSrcNotifyEventChain chain(&owner);
    chain.AddHandler(a.NotifyMethod());
    chain.AddHandler(b.NotifyMethod());
    chain.InvokeAll();
    chain.SetSender(nullptr);
    chain.InvokeAll();
    EXPECT_EQ(log, (Log{"A", "B", "A:nil", "B:nil"}));
}

TEST(NotifyEventChain, RemoveHandlerRemovesEveryRegistration)
{
    Log log;
    Listener a("A", log), b("B", log);
    TObject owner;
    TSrcNotifyEventChain chain(&owner);
    chain.AddHandler(a.NotifyMethod());
    chain.AddHandler(b.NotifyMethod());
    chain.AddHandler(a.NotifyMethod());
    chain.RemoveHandler(a.NotifyMethod());
    EXPECT_EQ(chain.Count(), 1);
    chain.InvokeAll();
    EXPECT_EQ(log, (Log{"B"}));
}

TEST(NotifyEventChain, EntriesAddedDuringTheWalkAreCalled)
{
    Log log;
    Listener a("A", log), b("B", log);
    TObject owner;
    TSrcNotifyEventChain chain(&owner);
    a.OnCall = [&] {
        if (chain.Count() == 1)
            chain.AddHandler(b.NotifyMethod());
    };
    chain.AddHandler(a.NotifyMethod());
    chain.InvokeAll();
    EXPECT_EQ(log, (Log{"A", "B"}));
}

TEST(NotifyEventChain, EventsWithoutCodeAreRefused)
{
    TObject owner;
    TSrcNotifyEventChain chain(&owner);
    try {
        chain.AddHandler(TSrcNotifyMethod());
        FAIL() << "no exception";
    } catch (const ESrcMethodChain& e) {
        EXPECT_STREQ(e.what(), "TSrcNotifyEventChain.Entry : the parameter `AEvent' must be specified.");
    }
    try {
        chain.RemoveHandler(TSrcNotifyMethod());
        FAIL() << "no exception";
    } catch (const ESrcMethodChain& e) {
        EXPECT_STREQ(e.what(), "TSrcNotifyEventChain.Remove: the parameter `AEvent' must be specified.");
    }
}

TEST(NotifyEventChain, ExceptionHandlerDecidesWhetherTheWalkGoesOn)
{
    struct Case {
        const char* Name;
        bool HaveHandler;
        bool Continue;
        Log Expected;
        bool Propagates;
    };
    const std::vector<Case> cases = {
        {"handler stops the walk", true, false, {"A", "B", "caught boom"}, false},
        {"handler lets it go on", true, true, {"A", "B", "caught boom", "C"}, false},
        {"no handler: the caller gets it", false, false, {"A", "B"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Log log;
        Listener a("A", log), b("B", log), third("C", log);
        TObject owner;
        TSrcNotifyEventChain chain(&owner);
        b.OnCall = [] { throw EConvertError("boom"); };
        chain.AddHandler(a.NotifyMethod());
        chain.AddHandler(b.NotifyMethod());
        chain.AddHandler(third.NotifyMethod());
        if (c.HaveHandler)
            chain.ExceptionHandler = [&](TObject* sender, Exception& e, bool& doContinue) {
                EXPECT_EQ(sender, &chain);
                EXPECT_TRUE(doContinue);
                log.push_back(std::string("caught ") + e.what());
                doContinue = c.Continue;
            };
        if (c.Propagates)
            EXPECT_THROW(chain.InvokeAll(), EConvertError);
        else
            EXPECT_NO_THROW(chain.InvokeAll());
        EXPECT_EQ(log, c.Expected);
    }
}

TEST(NotifyEventChain, FailingExceptionHandlerAndForeignExceptions)
{
    Log log;
    Listener a("A", log);
    TObject owner;
    TSrcNotifyEventChain chain(&owner);
    chain.AddHandler(a.NotifyMethod());
    a.OnCall = [] { throw Exception("boom"); };
    chain.ExceptionHandler = [](TObject*, Exception&, bool&) { throw Exception("worse"); };
    try {
        chain.InvokeAll();
        FAIL() << "no exception";
    } catch (const ESrcMethodChain& e) {
        EXPECT_STREQ(e.what(),
                     "TSrcNotifyEventChain.DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler");
    }
    // Only the platform's exceptions are routed; others reach the caller unchanged.
    a.OnCall = [] { throw std::runtime_error("foreign"); };
    chain.ExceptionHandler = [&](TObject*, Exception&, bool&) { log.push_back("handled"); };
    EXPECT_THROW(chain.InvokeAll(), std::runtime_error);
    EXPECT_EQ(std::count(log.begin(), log.end(), "handled"), 0);
}
