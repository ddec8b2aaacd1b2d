// Actions: shortcut codes as key sequences, enabled handlers only, and exceptions of a handler
// that a trigger runs stay out of Qt.

#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QMenu>
#include <gtest/gtest.h>

TEST(Action, ShortcutCodeBecomesTheKeySequence)
{
    QObject owner;
    TAction action("acSave", "&Save", ShortCut('S', {ssCtrl}), &owner);
    EXPECT_EQ(action.ShortCut(), 16467);
    EXPECT_EQ(action.shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(action.Caption(), "&Save");
    action.SetShortCut(scNone);
    EXPECT_TRUE(action.shortcut().isEmpty());
    EXPECT_EQ(action.ShortCut(), scNone);
}

TEST(Action, ExecuteRunsTheHandlerOnlyWhenEnabled)
{
    QObject owner;
    TAction action("acOpen", "&Open", scNone, &owner);
    int runs = 0;
    EXPECT_FALSE(action.Execute()) << "no handler";
    action.OnExecute = [&](TObject*) { ++runs; };
    EXPECT_TRUE(action.Execute());
    action.SetEnabled(false);
    EXPECT_FALSE(action.Execute());
    action.trigger();
    EXPECT_EQ(runs, 1);
}

TEST(Action, AnExceptionOfATriggeredHandlerGoesToTheApplication)
{
    QObject owner;
    TAction action("acFail", "Fail", scNone, &owner);
    action.OnExecute = [](TObject*) { throw Exception("Cannot do that"); };
    std::vector<std::string> shown;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&](const TMessageBoxRequest& r) {
        shown.push_back(r.Text);
        return IDOK;
    };
    action.trigger();
    Application()->MessageBoxHook = saved;
    EXPECT_EQ(shown, std::vector<std::string>{"Cannot do that."});
    EXPECT_THROW(action.Execute(), Exception) << "a direct call reports to its caller";
}

TEST(ActionList, FindsActionsByNameWithoutLetterCase)
{
    QObject owner;
    TActionList list;
    list.Add(new TAction("acNewFile", "&New", scNone, &owner));
    list.Add(new TAction("acClose", "&Close", scNone, &owner));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Find("ACCLOSE"), list.Items(1));
    EXPECT_EQ(list.Find("acMissing"), nullptr);
}
