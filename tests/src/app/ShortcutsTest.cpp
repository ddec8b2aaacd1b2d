// Keys of the main window: every command's key reaches its command from a document, no key has
// two owners (commands, the document windows' own keys, other built-in keys), and the document
// windows' close keys close the active document.

#include "src/run/ShellTestSupport.h"

#include <QShortcut>

#include <map>
#include <set>

namespace {

struct Shortcuts : ShellTest {
    // Every key sequence of the main window and its children with the objects that answer it.
    std::map<QString, std::set<const QObject*>> Owners() const
    {
        std::map<QString, std::set<const QObject*>> owners;
        for (const QAction* action : Form->findChildren<QAction*>())
            for (const QKeySequence& key : action->shortcuts())
                owners[key.toString()].insert(action);
        for (const QShortcut* shortcut : Form->findChildren<QShortcut*>())
            for (const QKeySequence& key : shortcut->keys())
                owners[key.toString()].insert(shortcut);
        return owners;
    }

    void ExpectOneOwnerPerKey() const
    {
        for (const auto& [key, owners] : Owners())
            EXPECT_EQ(owners.size(), 1u) << key.toStdString() << " has " << owners.size() << " owners";
    }

    static void Press(QWidget* target, const QKeySequence& key)
    {
        const QKeyCombination combination = key[0];
        QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
    }
};

} // namespace

TEST_F(Shortcuts, NoTwoOwnersShareAKey)
{
    Start();
    ExpectOneOwnerPerKey();
    Open(WriteWork("a.php", "a"));
    Open(WriteWork("b.php", "b"));
    ExpectOneOwnerPerKey();
    EXPECT_EQ(Owners().count(QStringLiteral("Ctrl+F4")), 1u) << "the document windows' own close key";
    EXPECT_EQ(Owners().count(QStringLiteral("Ctrl+W")), 1u);
}

TEST_F(Shortcuts, ACommandGivenTheWindowCloseKeyTakesItOver)
{
    ForceDirectories(UserFile(""));
    TIniFileEx(UserFile("keymap.dat")).WriteInteger("Keymap", "acSaveAll", ShortCut(VK_F4, {ssCtrl}));
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.php", "a"));
    ExpectOneOwnerPerKey();
    Type("1");
    Press(document->Editor(), QKeySequence(Qt::CTRL | Qt::Key_F4));
    EXPECT_EQ(Form->Documents().size(), 1u) << "the document stays open";
    EXPECT_EQ(ReadWholeFile(Work("a.php")), "1a") << "Save All ran instead";
}

TEST_F(Shortcuts, EveryCommandKeyReachesItsCommandFromADocument)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.php", "a"));
    int keys = 0;
    for (TAction* action : Form->ActionList.Actions()) {
        if (action->shortcut().isEmpty())
            continue;
        SCOPED_TRACE(action->Name() + " " + action->shortcut().toString().toStdString());
        ++keys;
        int executed = 0;
        const auto handler = action->OnExecute;
        action->OnExecute = [&](TObject*) { ++executed; };
        // Commands that wait for a selection or a change are enabled by hand: only the key counts.
        action->SetEnabled(true);
        Press(document->Editor(), action->shortcut());
        action->OnExecute = handler;
        EXPECT_EQ(executed, 1);
    }
    EXPECT_GE(keys, 15);
}

TEST_F(Shortcuts, CtrlWAndCtrlF4CloseTheActiveDocument)
{
    struct Case {
        const char* What;
        QKeySequence Key;
    };
    Start();
    for (const Case& c : std::vector<Case>{{"Ctrl+W", QKeySequence(Qt::CTRL | Qt::Key_W)},
                                           {"Ctrl+F4", QKeySequence(Qt::CTRL | Qt::Key_F4)}}) {
        SCOPED_TRACE(c.What);
        Open(WriteWork("keep.php", "k"));
        TCodeEditorForm* closing = Open(WriteWork("close.php", "c"));
        ASSERT_EQ(Form->ActiveEditorForm(), closing);
        Press(closing->Editor(), c.Key);
        Flush();
        ASSERT_EQ(Form->Documents().size(), 1u);
        EXPECT_EQ(Form->Documents().front()->FileName(), Work("keep.php"));

        // A modified document asks first; Cancel keeps it.
        Type("x");
        Answers = {IDCANCEL};
        Press(Form->ActiveEditor(), c.Key);
        Flush();
        EXPECT_EQ(Form->Documents().size(), 1u);
        Answers = {IDNO};
        Press(Form->ActiveEditor(), c.Key);
        Flush();
        EXPECT_TRUE(Form->Documents().empty());
    }
}
