// The control extension bases on real widgets: which operation each notification becomes, in
// which order relative to the base class's own handling, what reaches the base class, the hint
// colour rule, the child-list notifications, dialog codes and the clipboard filter.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/controls/ExExStdCtrls.h"

#include "Platform/core/Application.h"
#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QClipboard>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

std::string Hex(std::uintptr_t v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(v));
    return buf;
}

// Logs the operations of an extension base and every message that reaches the base class.
template <class TBase>
class Probe : public TBase {
public:
    explicit Probe(V& log, std::string name = "probe", QWidget* parent = nullptr)
        : TBase(nullptr, parent), Log(log), Name(std::move(name))
    {
        this->resize(100, 60);
    }

    using TBase::HintColor;
    using TBase::OnMouseEnter;
    using TBase::OnMouseLeave;
    using TBase::OnParentColorChange;
    using TBase::SetHintColor;

    V& Log;
    std::string Name;
    bool LogBase = false;
    bool CancelHint = false;
    bool AcceptDialogChar = false;
    bool KeepNativeCodes = true;
    TDialogCodeSet CodesToAdd;
    TColor EraseColor = clNone;

protected:
    void Add(const std::string& entry) { Log.push_back(Name + ": " + entry); }

    void BaseWndProc(TMessage& m) override
    {
        if (LogBase && (m.Msg >= CM_BASE || m.Msg == WM_SETFOCUS || m.Msg == WM_ERASEBKGND || m.Msg == WM_SIZE))
            Add("base " + Hex(m.Msg) + " " + Hex(m.WParam) + " " + Hex(static_cast<std::uintptr_t>(m.LParam)));
        TBase::BaseWndProc(m);
    }
    void TextChanged() override
    {
        Add("TextChanged");
        TBase::TextChanged();
    }
    bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText) override
    {
        Add("DialogChar " + std::string(1, static_cast<char>(key)) + (shift.Contains(ssAlt) ? " alt" : "") +
            (keyText == std::u32string(1, key) ? " text" : ""));
        return AcceptDialogChar || TBase::DialogChar(key, shift, keyText);
    }
    void FontChanged() override
    {
        Add("FontChanged");
        TBase::FontChanged();
    }
    void ParentFontChanged() override
    {
        Add("ParentFontChanged");
        TBase::ParentFontChanged();
    }
    void ColorChanged() override
    {
        Add("ColorChanged");
        TBase::ColorChanged();
    }
    void ParentColorChanged() override
    {
        Add("ParentColorChanged");
        TBase::ParentColorChanged();
    }
    bool HintShow(THintInfo& info) override
    {
        const bool cancelled = TBase::HintShow(info);
        Add("HintShow " + info.HintStr);
        return cancelled || CancelHint;
    }
    void MouseEnter(TWinControlCore* control) override
    {
        Add("MouseEnter");
        TBase::MouseEnter(control);
    }
    void MouseLeave(TWinControlCore* control) override
    {
        Add("MouseLeave");
        TBase::MouseLeave(control);
    }
    void Resized() override
    {
        Add("Resized");
        TBase::Resized();
    }
    void AdjustDialogCodes(TDialogCodeSet& codes) override
    {
        codes += CodesToAdd;
        if (!KeepNativeCodes)
            codes.Exclude(dgcNative);
        TBase::AdjustDialogCodes(codes);
    }
    bool EraseBackground(TCanvas& canvas, LPARAM param) override
    {
        if (EraseColor == clNone)
            return TBase::EraseBackground(canvas, param);
        canvas.Brush().SetColor(EraseColor);
        canvas.FillRect(this->ClientRect());
        return true;
    }
    void ChildListChanging(TWinControlCore* control, bool inserting) override
    {
        const bool inside = control->Widget()->parentWidget() == this;
        Add(std::string("Changing ") + (inserting ? "insert" : "remove") + (inside ? " inside" : " outside"));
        TBase::ChildListChanging(control, inserting);
    }
    void ChildListChanged(TWinControlCore* control, bool inserting) override
    {
        const bool inside = control->Widget()->parentWidget() == this;
        Add(std::string("Changed ") + (inserting ? "insert" : "remove") + (inside ? " inside" : " outside"));
        TBase::ChildListChanged(control, inserting);
    }
    void enterEvent(QEnterEvent* e) override
    {
        Add("qt enter");
        TBase::enterEvent(e);
    }
    void leaveEvent(QEvent* e) override
    {
        Add("qt leave");
        TBase::leaveEvent(e);
    }
};

using ControlProbe = Probe<TExExCustomControl>;
using MemoProbe = Probe<TExExCustomMemo>;
using FormProbe = Probe<TExExForm>;

bool Contains(const V& log, const std::string& entry)
{
    return std::find(log.begin(), log.end(), entry) != log.end();
}

} // namespace

TEST(ExtensionBases, ChildListOperationsComeBeforeAndAfterTheChange)
{
    V log;
    ControlProbe parent(log, "parent");
    {
        TWinControl child(nullptr);
        parent.InsertControl(&child);
        EXPECT_EQ(log, (V{"parent: Changing insert outside", "parent: Changed insert inside"}));
        EXPECT_TRUE(child.isVisibleTo(&parent));
        log.clear();
        parent.RemoveControl(&child);
        EXPECT_EQ(log, (V{"parent: Changing remove inside", "parent: Changed remove outside"}));
        log.clear();
        child.SetParent(&parent);
        log.clear();
    } // a control that is destroyed leaves its parent the same way
    EXPECT_EQ(log, (V{"parent: Changing remove inside", "parent: Changed remove outside"}));
}

TEST(ExtensionBases, MovingAChildTellsBothParentsInOrder)
{
    V log;
    ControlProbe first(log, "first");
    ControlProbe second(log, "second");
    TWinControl child(nullptr);
    child.SetParent(&first);
    log.clear();
    child.SetParent(&second);
    EXPECT_EQ(log, (V{"first: Changing remove inside", "first: Changed remove outside",
                      "second: Changing insert outside", "second: Changed insert inside"}));
}

TEST(ExtensionBases, MouseEnterFiresItsEventBeforeTheBaseAndLeaveAfter)
{
    V log;
    ControlProbe c(log);
    std::vector<bool> insideSeen;
    c.OnMouseEnter = [&](TObject* sender) {
        EXPECT_EQ(sender, &c);
        log.push_back("OnMouseEnter");
        insideSeen.push_back(c.MouseInside());
    };
    c.OnMouseLeave = [&](TObject*) {
        log.push_back("OnMouseLeave");
        insideSeen.push_back(c.MouseInside());
    };
    EXPECT_FALSE(c.MouseInside());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&c, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&c, &leave);
    EXPECT_EQ(log, (V{"probe: MouseEnter", "OnMouseEnter", "probe: qt enter", "probe: MouseLeave", "probe: qt leave",
                      "OnMouseLeave"}));
    EXPECT_EQ(insideSeen, (std::vector<bool>{true, false}));
    // Hiding does not reset it.
    QCoreApplication::sendEvent(&c, &enter);
    c.hide();
    EXPECT_TRUE(c.MouseInside());
}

TEST(ExtensionBases, NotificationsReachTheBaseWithTheirParameters)
{
    V log;
    ControlProbe c(log);
    c.LogBase = true;
    THintInfo hint;
    const auto hintAddress = reinterpret_cast<LPARAM>(&hint);
    TWinControl other(nullptr);
    const auto otherAddress = reinterpret_cast<WPARAM>(static_cast<TWinControlCore*>(&other));
    struct Case {
        UINT Msg;
        WPARAM WParam;
        LPARAM LParam;
        LPARAM BaseLParam; // what the base class gets
    };
    const std::vector<Case> cases = {
        {CM_TEXTCHANGED, 0, 0, 0},
        {CM_FONTCHANGED, 0, 0, 0},
        {CM_PARENTCOLORCHANGED, 0, 0, 0},
        {CM_MOUSEENTER, 0, 0x1234, 0x1234},
        {CM_FOCUSCHANGED, 0, 0x5678, 0x5678},
        {CM_HINTSHOW, 0, hintAddress, hintAddress},
        {CM_HITTEST, 0, MakeLParam(-3, 7), MakeLParam(-3, 7)},
        {CM_SHOWHINTCHANGED, 0, 0, 0},
        {CM_CONTROLLISTCHANGE, otherAddress, 1, 1},
        {CM_CONTROLCHANGE, otherAddress, 0, 0},
        // Only the Shift, Ctrl and Alt bits of the key data survive.
        {CM_DIALOGCHAR, 'x', 0x20000001, 0x20000000},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(Hex(k.Msg));
        log.clear();
        c.Perform(k.Msg, k.WParam, k.LParam);
        const std::string expected = "probe: base " + Hex(k.Msg) + " " + Hex(k.WParam) + " " +
                                     Hex(static_cast<std::uintptr_t>(k.BaseLParam));
        EXPECT_TRUE(Contains(log, expected)) << ::testing::PrintToString(log);
    }
    // The subclassing query is answered here and answers 0.
    log.clear();
    EXPECT_EQ(c.Perform(CM_SUBCLASSQUERY), 0);
    EXPECT_TRUE(log.empty());
}

TEST(ExtensionBases, SizeReachesTheBaseFirstThenResized)
{
    V log;
    ControlProbe c(log);
    c.LogBase = true;
    c.OnResize = [&](TObject*) { log.push_back("OnResize"); };
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    log.clear();
    c.resize(150, 70);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].substr(0, 15), "probe: base 5 0");
    EXPECT_EQ(log[1], "OnResize");
    EXPECT_EQ(log[2], "probe: Resized");
}

TEST(ExtensionBases, AnOverrideThatSkipsTheInheritedOperationSuppressesTheBase)
{
    class Deaf : public TExExCustomControl {
    public:
        Deaf() : TExExCustomControl(nullptr) {}
        int Entered = 0;

    protected:
        void FocusReceived(QWidget*) override {} // the base never hears of the focus
        void DoEnter() override { ++Entered; }
    };
    Deaf c;
    c.Perform(WM_SETFOCUS);
    EXPECT_EQ(c.Entered, 0);

    class Hearing : public TExExCustomControl {
    public:
        Hearing() : TExExCustomControl(nullptr) {}
        int Entered = 0;

    protected:
        void DoEnter() override { ++Entered; }
    };
    Hearing h;
    h.Perform(WM_SETFOCUS);
    EXPECT_EQ(h.Entered, 1);
}

TEST(ExtensionBases, ParentFontAndColourArriveBeforeTheControlsOwnChange)
{
    V log;
    ControlProbe parent(log, "parent");
    ControlProbe child(log, "child");
    ControlProbe styled(log, "styled");
    child.SetParent(&parent);
    styled.SetParent(&parent);
    QFont own = styled.font();
    own.setItalic(true);
    styled.setFont(own);
    int parentColorEvents = 0;
    child.OnParentColorChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &child);
        ++parentColorEvents;
    };

    log.clear();
    QFont bigger = parent.font();
    bigger.setPointSize(bigger.pointSize() + 4);
    parent.setFont(bigger);
    EXPECT_TRUE(Contains(log, "parent: FontChanged"));
    const auto at = [&](const std::string& e) { return std::find(log.begin(), log.end(), e) - log.begin(); };
    ASSERT_TRUE(Contains(log, "child: ParentFontChanged"));
    EXPECT_LT(at("child: ParentFontChanged"), at("child: FontChanged"));
    // A control with a font of its own takes the change as its own.
    EXPECT_FALSE(Contains(log, "styled: ParentFontChanged"));

    log.clear();
    parent.SetColor(clYellow);
    EXPECT_TRUE(Contains(log, "parent: ColorChanged"));
    ASSERT_TRUE(Contains(log, "child: ParentColorChanged"));
    EXPECT_LT(at("child: ParentColorChanged"), at("child: ColorChanged"));
    EXPECT_EQ(parentColorEvents, 1);
    EXPECT_EQ(child.Color(), clYellow); // the child shows its parent's colour
    child.SetColor(clRed);
    EXPECT_EQ(child.Color(), clRed);
}

TEST(ExtensionBases, TheHintColourRuleAsksTheNearestAncestorWithAColour)
{
    const TColor appColor = Application()->HintColor;
    struct Case {
        const char* Name;
        TColor Grandparent, Parent, Child;
        TColor Expected;
    };
    const std::vector<Case> cases = {
        {"own colour", clDefault, clDefault, clRed, clRed},
        {"parent decides", clDefault, clLime, clDefault, clLime},
        {"grandparent decides", clBlue, clDefault, clDefault, clBlue},
        {"nearest wins", clBlue, clLime, clDefault, clLime},
        {"none set", clDefault, clDefault, clDefault, appColor},
        {"clNone takes the application's even under a coloured parent", clBlue, clLime, clNone, appColor},
        {"a parent with clNone answers the application's", clBlue, clNone, clDefault, appColor},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Name);
        V log;
        ControlProbe grandparent(log, "g");
        ControlProbe parent(log, "p");
        ControlProbe child(log, "c");
        parent.SetParent(&grandparent);
        child.SetParent(&parent);
        grandparent.SetHintColor(k.Grandparent);
        parent.SetHintColor(k.Parent);
        child.SetHintColor(k.Child);
        THintInfo info;
        info.HintColor = clFuchsia; // what the record came with
        if (k.Child == clDefault && k.Parent == clDefault && k.Grandparent == clDefault)
            info.HintColor = appColor;
        child.Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.HintColor, k.Expected);
    }
}

TEST(ExtensionBases, ADefaultHintColourUnderAPlainParentKeepsTheLibrarysColour)
{
    V log;
    TWinControl plain(nullptr);
    ControlProbe child(log);
    child.SetParent(&plain);
    THintInfo info;
    info.HintColor = clInfoBk;
    EXPECT_EQ(child.Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.HintColor, clInfoBk);
}

TEST(ExtensionBases, AToolTipBecomesHintShowWithTheShortHint)
{
    V log;
    ControlProbe c(log);
    c.SetHintColor(clLime);
    c.SetHint("short|the long part");
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    log.clear();
    QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), c.mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(&c, &help);
    EXPECT_EQ(log, (V{"probe: HintShow short"}));
    EXPECT_EQ(QToolTip::text(), "short");
    EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), ToQColor(clLime));

    // A HintShow that answers true cancels the hint.
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
    c.CancelHint = true;
    QCoreApplication::sendEvent(&c, &help);
    QTest::qWait(20);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST(ExtensionBases, DialogCodesAreKeptOrReplacedAsAWhole)
{
    V log;
    MemoProbe memo(log);
    const LRESULT native = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    EXPECT_EQ(memo.Perform(WM_GETDLGCODE), native);
    memo.CodesToAdd = {dgcWantTab};
    EXPECT_EQ(memo.Perform(WM_GETDLGCODE), native); // dgcNative kept: nothing changes
    memo.KeepNativeCodes = false;
    EXPECT_EQ(memo.Perform(WM_GETDLGCODE), native | DLGC_WANTTAB);
    memo.CodesToAdd = {};
    EXPECT_EQ(memo.Perform(WM_GETDLGCODE), native);

    struct Case {
        LRESULT Result;
        TDialogCodeSet Codes;
    };
    const std::vector<Case> cases = {
        {0, {}},
        {DLGC_WANTALLKEYS | DLGC_WANTTAB, {dgcWantAllKeys, dgcWantTab}},
        {DLGC_BUTTON | DLGC_STATIC | 0x20, {dgcButton}}, // bits outside the six are dropped
        {DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL, {dgcWantArrows, dgcWantChars, dgcHasSetSel}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Result);
        EXPECT_EQ(DialogCodesFromResult(k.Result), k.Codes);
        EXPECT_EQ(DialogCodesToResult(k.Codes + TDialogCodeSet{dgcNative}), k.Result & ~LRESULT(DLGC_STATIC | 0x20));
    }
}

TEST(ExtensionBases, AControlThatWantsTabKeepsItAndOneThatDoesNotPassesTheFocusOn)
{
    V log;
    TCustomForm form(nullptr);
    auto* memo = new MemoProbe(log, "memo", &form);
    auto* next = new MemoProbe(log, "next", &form);
    next->move(0, 80);
    form.resize(200, 200);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);
    memo->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->hasFocus(); }));

    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return next->hasFocus(); }));
    EXPECT_EQ(memo->toPlainText(), "");

    memo->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return memo->hasFocus(); }));
    memo->CodesToAdd = {dgcWantTab};
    memo->KeepNativeCodes = false;
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_TRUE(memo->hasFocus());
    EXPECT_EQ(memo->toPlainText(), "\t");
}

TEST(ExtensionBases, AltCharactersReachDialogCharThroughTheForm)
{
    V log;
    FormProbe form(log, "form");
    auto* target = new ControlProbe(log, "target", &form);
    auto* editor = new MemoProbe(log, "editor", &form);
    editor->move(0, 70);
    form.resize(200, 200);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);
    editor->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->hasFocus(); }));
    target->AcceptDialogChar = true;
    log.clear();
    QTest::keyClick(editor, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(Contains(log, "target: DialogChar f alt text")) << ::testing::PrintToString(log);
    // The first control that accepts ends the search.
    EXPECT_FALSE(Contains(log, "editor: DialogChar f alt text"));
}

TEST(ExtensionBases, TheFormInitialisesItsUiStateAndShowsCuesOnDialogKeys)
{
    V log;
    FormProbe form(log, "form");
    std::vector<WPARAM> states;
    const TWndMethod previous = form.WindowProc;
    form.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_CHANGEUISTATE)
            states.push_back(m.WParam);
        previous(m);
    };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(states, (std::vector<WPARAM>{UIS_INITIALIZE}));
    states.clear();
    form.Perform(CM_DIALOGKEY, VK_TAB);
    form.Perform(CM_DIALOGKEY, VK_MENU);
    form.Perform(CM_DIALOGKEY, 'A');
    EXPECT_EQ(states, (std::vector<WPARAM>{UIS_CLEAR | (UISF_HIDEFOCUS << 16),
                                           UIS_CLEAR | ((UISF_HIDEFOCUS | UISF_HIDEACCEL) << 16)}));
    form.WindowProc = previous;
}

TEST(ExtensionBases, EraseBackgroundPaintsOnTheRealPainter)
{
    V log;
    ControlProbe c(log);
    c.EraseColor = clBlue;
    const QImage image = c.grab().toImage();
    EXPECT_EQ(image.pixelColor(50, 30), QColor(0, 0, 255));
}

TEST(ExtensionBases, KeyDataCarriesOnlyShiftCtrlAndAlt)
{
    struct Case {
        TShiftState Shift;
        LPARAM Data;
    };
    const std::vector<Case> cases = {
        {{}, 0},
        {{ssShift}, 0x08000000},
        {{ssCtrl}, 0x10000000},
        {{ssAlt}, 0x20000000},
        {{ssShift, ssCtrl, ssAlt, ssLeft, ssDouble}, 0x38000000},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Data);
        EXPECT_EQ(KeyDataFromShift(k.Shift), k.Data);
    }
}

TEST(ClipboardFilter, ACommandOutsideTheSetIsSwallowed)
{
    V log;
    MemoProbe memo(log);
    memo.SetText("abc");
    QGuiApplication::clipboard()->setText("pasted");
    memo.SetClipboardCommands(AllClipboardCommands - TExClipboardCommands{caPaste});
    memo.selectAll();
    EXPECT_EQ(memo.Perform(WM_PASTE), 1);
    EXPECT_EQ(memo.Text(), "abc");
    // Keys and the context menu take the same way.
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), "abc");
    const std::unique_ptr<QMenu> menu = memo.CreateEditMenu(QPoint(1, 1));
    for (QAction* a : menu->actions())
        if (a->objectName() == "edit-paste")
            a->trigger();
    EXPECT_EQ(memo.Text(), "abc");

    memo.SetClipboardCommands(AllClipboardCommands);
    memo.selectAll();
    QTest::keyClick(&memo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), "pasted");
}

TEST(ClipboardFilter, EveryCommandHasItsMessage)
{
    V log;
    MemoProbe memo(log);
    struct Case {
        UINT Msg;
        TExClipboardCommand Command;
    };
    const std::vector<Case> cases = {
        {WM_COPY, caCopy}, {WM_CUT, caCut}, {WM_PASTE, caPaste}, {WM_CLEAR, caClear}, {WM_UNDO, caUndo}, {EM_UNDO, caUndo},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.Msg);
        memo.SetText("one two");
        QGuiApplication::clipboard()->setText("clip");
        memo.selectAll();
        memo.SetClipboardCommands(AllClipboardCommands - TExClipboardCommands{k.Command});
        EXPECT_EQ(memo.Perform(k.Msg), 1);
        EXPECT_EQ(memo.Text(), "one two");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "clip");
    }
    memo.SetClipboardCommands(AllClipboardCommands);
    memo.selectAll();
    memo.Perform(WM_CUT);
    EXPECT_EQ(memo.Text(), "");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "one two");
    memo.Perform(WM_UNDO);
    EXPECT_EQ(memo.Text(), "one two");
}
