#include "ShellBrowsing/Source/operations/PropertiesDialog.h"
#include "ShellBrowsing/Source/operations/ShellClipboard.h"
#include "ShellBrowsing/Source/operations/ShellKitLink.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"
#include "support/WaitFor.h"

#include "Platform/controls/Menus.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

class TItemActions : public TShellTest {};

// Picks the action with the text from the context menu once it shows (or closes it when there
// is none), by the keyboard as a user would. Collects the texts of the menu and its submenus.
struct TMenuPicker {
    std::vector<QString> Texts;
    std::vector<int> Commands;
    explicit TMenuPicker(QString pick, QString submenu = {})
    {
        QTimer::singleShot(50, [this, pick, submenu] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* subAction = nullptr;
            for (QAction* action : menu->actions()) {
                Texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
                Commands.push_back(action->property("zentuCommand").toInt());
                if (action->menu()) {
                    for (QAction* sub : action->menu()->actions()) {
                        Texts.push_back(QStringLiteral(">") + (sub->isSeparator() ? QStringLiteral("-") : sub->text()));
                        Commands.push_back(sub->property("zentuCommand").toInt());
                    }
                    if (action->text() == submenu)
                        subAction = action;
                }
            }
            auto choose = [pick](QMenu* from) {
                for (QAction* action : from->actions())
                    if (action->text() == pick) {
                        from->setActiveAction(action);
                        QTest::keyClick(from, Qt::Key_Return);
                        return true;
                    }
                return false;
            };
            if (!subAction) {
                if (!choose(menu))
                    menu->close();
                return;
            }
            menu->setActiveAction(subAction);
            QTest::keyClick(menu, Qt::Key_Right);
            QTimer::singleShot(50, [menu, choose] {
                auto* sub = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                if (!sub || !choose(sub))
                    menu->close();
            });
        });
    }
};

} // namespace

TEST_F(TItemActions, RenamingFollowsTheNewNameAndNeverReplaces)
{
    MakeFile("old.txt", "o");
    MakeFile("taken.txt", "t");
    TNamespace* item = Child("old.txt");
    ASSERT_TRUE(item->SetNameOf(QStringLiteral("new.txt")));
    EXPECT_EQ(item->PathBytes(), PathOf("new.txt"));
    EXPECT_EQ(ItemName(item->RelativePIDL()), "new.txt");
    item->InvalidateCache();
    EXPECT_EQ(item->DisplayNameNormal(), QStringLiteral("new.txt"));
    EXPECT_EQ(FileText(PathOf("new.txt")), "o");

    for (const char* refused : {"taken.txt", "a/b", "", "..", "."})
        EXPECT_FALSE(item->SetNameOf(QString::fromLatin1(refused))) << refused;
    EXPECT_EQ(FileText(PathOf("taken.txt")), "t");
    EXPECT_TRUE(Exists(PathOf("new.txt")));
    const std::string bytes("caf\xE9", 4);
    ASSERT_TRUE(item->SetNameOfBytes(bytes));
    EXPECT_TRUE(Exists(PathOf(bytes)));
}

TEST_F(TItemActions, PropertiesShowTheItemsFacts)
{
    const std::string file = MakeFile("page.html", std::string(3000, 'x'));
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    MakeLink("link", PathOf("nowhere"));
    TNamespace* page = Child("page.html");
    QDialog* dialog = page->ShowPropertySheetMulti({page});
    ASSERT_NE(dialog, nullptr);
    auto text = [&](const char* name) {
        const auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QString();
    };
    EXPECT_EQ(text("name"), QStringLiteral("page.html"));
    EXPECT_EQ(text("type"), QStringLiteral("HTML document"));
    EXPECT_EQ(text("location"), QString::fromStdString(Dir()));
    EXPECT_EQ(text("size"), QStringLiteral("2 KB (3,000 bytes)"));
    EXPECT_EQ(text("permissions"), QStringLiteral("rw-r-----"));
    EXPECT_FALSE(text("modified").isEmpty());
    dialog->close();

    QDialog* linkDialog = ShowPropertiesDialog({PathOf("link")});
    ASSERT_NE(linkDialog, nullptr);
    EXPECT_EQ(linkDialog->findChild<QLabel*>(QStringLiteral("target"))->text(), QString::fromStdString(PathOf("nowhere")) + QStringLiteral(" (missing)"));
    linkDialog->close();

    QDialog* both = ShowPropertiesDialog({file, Dir()});
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->findChild<QLabel*>(QStringLiteral("name"))->text(), QStringLiteral("2 items (1 folders)"));
    both->close();
    EXPECT_EQ(ShowPropertiesDialog({PathOf("missing")}), nullptr);
    EXPECT_EQ(PermissionsText(0754), QStringLiteral("rwxr-xr--"));
}

TEST_F(TItemActions, ContextMenuPutsTheCallersItemsInASubmenu)
{
    MakeFile("a.txt");
    TNamespace* item = Child("a.txt");
    QWidget owner;
    TPopupMenu popup(nullptr);
    std::vector<std::string> clicked;
    for (const char* caption : {"First", "-", "Third"}) {
        auto* menuItem = new TMenuItem(&popup);
        menuItem->SetCaption(caption);
        menuItem->OnClick = [&clicked, caption](TObject*) { clicked.push_back(caption); };
        popup.Items()->Add(menuItem);
    }
    bool shellRan = false;
    TContextMenuHandlers handlers;
    handlers.AfterCommand = [&](TNamespace*, const QString&, int, bool) { shellRan = true; };
    const QPoint at(10, 10);
    TMenuPicker picker(QStringLiteral("Third"), QStringLiteral("Mine"));
    EXPECT_TRUE(item->ShowContextMenu(&owner, handlers, &at, &popup, QStringLiteral("Mine")));
    EXPECT_EQ(clicked, std::vector<std::string>{"Third"});
    EXPECT_FALSE(shellRan);
    EXPECT_EQ(item->CurrentContextMenu, nullptr);
    const std::vector<QString> expected = {"Open", "-", "Cut", "Copy", "-", "Delete", "-", "Make Link", "-",
                                           "Properties", "-", "Mine", ">First", ">-", ">Third"};
    EXPECT_EQ(picker.Texts, expected);
    // Every command number is used once.
    std::vector<int> numbers;
    for (int n : picker.Commands)
        if (n != 0)
            numbers.push_back(n);
    std::vector<int> unique = numbers;
    std::sort(unique.begin(), unique.end());
    unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
    EXPECT_EQ(unique.size(), numbers.size());
}

TEST_F(TItemActions, ContextMenuRunsVerbsAndLetsTheCallerHandleThem)
{
    MakeDir("folder");
    MakeFile("a.txt", "a");
    TNamespace* file = Child("a.txt");
    TNamespace* folder = Child("folder");
    QWidget owner;
    const QPoint at(10, 10);
    {
        TMenuPicker picker(QStringLiteral("Copy"));
        QString after;
        TContextMenuHandlers handlers;
        handlers.AfterCommand = [&](TNamespace*, const QString& verb, int, bool ok) { after = ok ? verb : QString(); };
        EXPECT_TRUE(file->ShowContextMenu(&owner, handlers, &at));
        EXPECT_EQ(after, QStringLiteral("copy"));
    }
    {
        TMenuPicker picker(QStringLiteral("Paste"));
        EXPECT_TRUE(folder->ShowContextMenu(&owner, {}, &at));
        EXPECT_EQ(FileText(PathOf("folder/a.txt")), "a");
        EXPECT_NE(std::find(picker.Texts.begin(), picker.Texts.end(), QStringLiteral("New Folder")), picker.Texts.end());
    }
    {
        TMenuPicker picker(QStringLiteral("Rename"));
        QString handledVerb;
        TContextMenuHandlers handlers;
        handlers.OnCommand = [&](TNamespace*, const QString& verb, int, bool& handled) {
            handledVerb = verb;
            handled = true;
        };
        EXPECT_TRUE(file->ShowContextMenu(&owner, handlers, &at));
        EXPECT_EQ(handledVerb, QStringLiteral("rename"));
    }
    {
        TContextMenuHandlers handlers;
        handlers.OnShow = [](TNamespace*, QMenu*, bool& allow) { allow = false; };
        EXPECT_FALSE(file->ShowContextMenu(&owner, handlers, &at));
    }
    try {
        file->ShowContextMenu(nullptr, {});
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "To show a Context Menu using TNamespace you must pass a valid Owner TWinControl");
    }
}

TEST_F(TItemActions, DropsFollowTheKeysAndTheTarget)
{
    MakeFile("src/a.txt", "a");
    MakeDir("dst");
    const auto data = ShellClipboard::MakeFileMimeData({PathOf("src/a.txt")}, false);
    TNamespace* file = Child("src");
    TNamespace* target = Child("dst");
    const std::uint32_t all = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const QPoint at;
    MakeFile("plain.txt");
    TNamespace* plain = Child("plain.txt");
    std::uint32_t effect = all;
    plain->DragEnter(data.get(), 0, at, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);

    const struct {
        std::uint32_t Keys;
        std::uint32_t Allowed;
        std::uint32_t Expected;
    } cases[] = {
        {0, all, DROPEFFECT_MOVE},  {MK_CONTROL, all, DROPEFFECT_COPY}, {MK_SHIFT, all, DROPEFFECT_MOVE},
        {MK_CONTROL | MK_SHIFT, all, DROPEFFECT_LINK}, {MK_ALT_KEY, all, DROPEFFECT_LINK},
        {0, DROPEFFECT_COPY, DROPEFFECT_COPY}, {MK_CONTROL, DROPEFFECT_LINK, DROPEFFECT_LINK}, {0, 0, DROPEFFECT_NONE},
    };
    for (const auto& c : cases) {
        effect = c.Allowed;
        EXPECT_EQ(target->DragEnter(data.get(), c.Keys, at, effect), S_OK);
        EXPECT_EQ(effect, c.Expected) << c.Keys << " " << c.Allowed;
        effect = c.Allowed;
        target->DragOver(c.Keys, at, effect);
        EXPECT_EQ(effect, c.Expected) << c.Keys << " " << c.Allowed;
    }
    target->DragLeave();
    effect = all;
    EXPECT_EQ(target->Drop(data.get(), MK_CONTROL, at, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(FileText(PathOf("dst/a.txt")), "a");
    EXPECT_TRUE(Exists(PathOf("src/a.txt")));
    (void)file;
}

TEST_F(TItemActions, OpeningGoesThroughTheProgramsHandlerAndSparesFolders)
{
    MakeDir("folder");
    MakeFile("page.php");
    MakeLink("to-folder", PathOf("folder"));
    std::vector<std::string> opened;
    SetShellExecuteHandler([&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    EXPECT_FALSE(Child("folder")->ShellExecuteNamespace({}, {}, true, false));
    EXPECT_FALSE(Child("to-folder")->ShellExecuteNamespace({}, {}, false, true));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(Child("page.php")->ShellExecuteNamespace({}, {}, false, false));
    EXPECT_TRUE(Child("folder")->ShellExecuteNamespace({}, {}, false, true));
    EXPECT_TRUE(Child("to-folder")->ShellExecuteNamespace({}, {}, true, false));
    EXPECT_EQ(opened, (std::vector<std::string>{PathOf("page.php"), PathOf("folder"), PathOf("to-folder")}));
    SetShellExecuteHandler(nullptr);
}

TEST_F(TItemActions, LinksNameTheirTargets)
{
    MakeDir("dir");
    MakeLink("rel", "dir");
    MakeLink("dangling", PathOf("gone"));
    TShellKitLink link;
    ASSERT_TRUE(link.ReadLinkBytes(PathOf("rel")));
    EXPECT_EQ(link.TargetPathBytes, PathOf("dir"));
    EXPECT_NE(link.TargetIDList, nullptr);
    ASSERT_TRUE(link.ReadLinkBytes(PathOf("dangling")));
    EXPECT_EQ(link.TargetIDList, nullptr);
    EXPECT_EQ(link.TargetPath, QString::fromStdString(PathOf("gone")));
    EXPECT_FALSE(link.ReadLinkBytes(PathOf("dir")));
    EXPECT_TRUE(link.FileName.isEmpty());
}
