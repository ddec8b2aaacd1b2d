// Menus over Qt: the item tree and its actions, finding items by command, and items that are
// freed by their owner or by their parent.

#include "Platform/controls/Forms.h"
#include "Platform/controls/Menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

TEST(Menus, ItemsShowAsActionsInTheirParentsWindowInOrder)
{
    TCustomForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    file->SetCaption("&File");
    menu->Items()->Add(file);
    auto* open = new TMenuItem(&form);
    open->SetCaption("&Open");
    open->SetShortCut(scCtrl | 'O');
    auto* exit = new TMenuItem(&form);
    exit->SetCaption("E&xit");
    file->Add(exit);
    file->Insert(0, open);
    auto* line = new TMenuItem(&form);
    line->SetCaption("-");
    file->Insert(1, line);

    ASSERT_EQ(menu->MenuBar()->actions().size(), 1);
    auto* dropDown = qobject_cast<QMenu*>(file->SubMenuWidget());
    ASSERT_NE(dropDown, nullptr);
    const QList<QAction*> actions = dropDown->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0], open->Action());
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2], exit->Action());
    EXPECT_EQ(open->Action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(menu->FindItem(exit->Command()), exit);
    EXPECT_EQ(exit->GetParentMenu(), menu);
    EXPECT_EQ(open->MenuIndex(), 0);

    int clicks = 0;
    exit->OnClick = [&](TObject*) { ++clicks; };
    exit->Action()->trigger();
    EXPECT_EQ(clicks, 1);

    // An item freed by its owner leaves its parent; a parent frees the sub-items left in it.
    delete line;
    EXPECT_EQ(file->Count(), 2);
    EXPECT_EQ(dropDown->actions().size(), 2);
    const UINT openCommand = open->Command();
    file->Clear();
    EXPECT_EQ(menu->FindItem(openCommand), nullptr);
    EXPECT_EQ(form.ComponentCount(), 2); // the menu and the file item
}
