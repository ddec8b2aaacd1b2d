// The Find and Replace dialogs: the process-wide search state, the histories in the settings,
// the expression menus; and where "Confirm Replace" stands beside a match.

#include "search/zuConfirmationForm.h"
#include "search/zuExFindForm.h"
#include "search/zuReplaceForm.h"

#include "settings/zentuIniFiles.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SearchDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SearchCaseSensitive = SearchWholeWords = SearchSelectedOnly = SearchFromCaret = SearchRegExp =
            SearchBackwards = false;
        LastSearchText.clear();
        LastReplaceText.clear();
    }

    static void Search(TSearchForm& form, const std::string& text)
    {
        form.cmbSearchText->setEditText(QString::fromStdString(text));
        form.accept();
    }

    std::vector<std::string> Section(const std::string& name, int count)
    {
        std::vector<std::string> values;
        for (int i = 0; i < count; ++i)
            values.push_back(Ini.ReadString(name, std::to_string(i), "<none>"));
        return values;
    }

    TempDir Dir;
    TIniFileEx Ini{Dir.File("Zentupad.dat")};
};

QAction* MenuEntry(QMenu* menu, const QString& caption)
{
    for (QAction* action : menu->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

} // namespace

TEST_F(SearchDialogsTest, FindStoresItsChoicesAndPutsTheTextFirstInTheHistory)
{
    Ini.WriteString("Find", "Path", "/srv/www/");
    Ini.WriteString("Find", "Filter", "*.inc");
    for (int i = 1; i <= 20; ++i) {
        TSearchForm form(&Ini, "", nullptr);
        Search(form, "text" + std::to_string(i));
    }
    std::vector<std::string> expected;
    for (int i = 20; i > 4; --i)
        expected.push_back("text" + std::to_string(i));
    EXPECT_EQ(Section("Find", 16), expected);
    EXPECT_FALSE(Ini.ValueExists("Find", "16"));
    EXPECT_EQ(Ini.ReadString("Find", "Path", ""), "/srv/www/");
    EXPECT_EQ(Ini.ReadString("Find", "Filter", ""), "*.inc");
    EXPECT_EQ(LastSearchText, "text20");

    // An entry that differs only in case moves to the front with its own spelling.
    TSearchForm form(&Ini, "", nullptr);
    form.cbCaseSensitive->setChecked(true);
    form.rbUp->setChecked(true);
    form.cbRegExp->setChecked(true);
    Search(form, "TEXT10");
    EXPECT_EQ(Section("Find", 3), (std::vector<std::string>{"text10", "text20", "text19"}));
    EXPECT_EQ(LastSearchText, "TEXT10");
    EXPECT_TRUE(SearchCaseSensitive);
    EXPECT_TRUE(SearchBackwards);
    EXPECT_TRUE(SearchRegExp);
    EXPECT_FALSE(SearchWholeWords);

    // The next dialog opens with these options.
    TSearchForm next(&Ini, "", nullptr);
    EXPECT_TRUE(next.cbCaseSensitive->isChecked());
    EXPECT_TRUE(next.rbUp->isChecked());
    EXPECT_EQ(next.cmbSearchText->count(), 16);
    EXPECT_EQ(next.cmbSearchText->itemText(0), "text10");
}

TEST_F(SearchDialogsTest, ClosingStoresNothingButTheWordAtTheCaretIsTakenAtOnce)
{
    TSearchForm form(&Ini, "caretWord", nullptr);
    EXPECT_EQ(form.cmbSearchText->currentText(), "caretWord");
    EXPECT_EQ(LastSearchText, "caretWord");
    form.cbWholeWords->setChecked(true);
    form.reject();
    EXPECT_FALSE(SearchWholeWords);
    EXPECT_FALSE(Ini.ValueExists("Find", "0"));

    // An empty text keeps the previous one and the history.
    TSearchForm empty(&Ini, "", nullptr);
    Search(empty, "");
    EXPECT_EQ(LastSearchText, "caretWord");
    EXPECT_FALSE(Ini.ValueExists("Find", "0"));
}

TEST_F(SearchDialogsTest, ExpressionEntriesAppendToTheTextAndTurnOnRegularExpressions)
{
    TReplaceForm form(&Ini, "", nullptr);
    const QList<QAction*> entries = form.SearchExpressionMenu->actions();
    std::vector<int> rules;
    int items = 0;
    for (QAction* entry : entries) {
        if (entry->isSeparator())
            rules.push_back(items);
        else
            ++items;
    }
    EXPECT_EQ(items, 23);
    EXPECT_EQ(rules, (std::vector<int>{3, 5, 11, 19}));

    form.cmbSearchText->setEditText("a");
    MenuEntry(form.SearchExpressionMenu, "Find Tag")->trigger();
    EXPECT_EQ(form.cmbSearchText->currentText(), "a<[^>]+>");
    EXPECT_TRUE(form.cbRegExp->isChecked());
    form.cmbSearchText->setEditText("");
    MenuEntry(form.SearchExpressionMenu, "Find String in \" \"")->trigger();
    MenuEntry(form.SearchExpressionMenu, "[^ ] Character Not in Range")->trigger();
    EXPECT_EQ(form.cmbSearchText->currentText(), R"("((\\")|[^"(\\")])+"[^])");

    form.cbRegExp->setChecked(false);
    form.cmbReplaceText->setEditText("<b>");
    MenuEntry(form.ReplaceExpressionMenu, "$n Tagged Expression")->trigger();
    EXPECT_EQ(form.cmbReplaceText->currentText(), "<b>$0");
    EXPECT_TRUE(form.cbRegExp->isChecked());
}

TEST_F(SearchDialogsTest, ReplaceKeepsItsOwnHistoryAndAnEmptyReplacementDeletes)
{
    Ini.WriteString("Replace", "0", "old");
    {
        TReplaceForm form(&Ini, "", nullptr);
        EXPECT_EQ(form.cmbReplaceText->count(), 1);
        EXPECT_EQ(form.cmbReplaceText->currentText(), "");
        form.cmbReplaceText->setEditText("new");
        Search(form, "find");
    }
    EXPECT_EQ(LastReplaceText, "new");
    EXPECT_EQ(Section("Replace", 2), (std::vector<std::string>{"new", "old"}));
    EXPECT_EQ(Section("Find", 1), (std::vector<std::string>{"find"}));
    {
        TReplaceForm form(&Ini, "", nullptr);
        Search(form, "find");
    }
    EXPECT_EQ(LastReplaceText, "");
    EXPECT_EQ(Section("Replace", 2), (std::vector<std::string>{"new", "old"}));
}

TEST_F(SearchDialogsTest, TabGoesFromFieldToFieldSoTheReplacementTypedNextIsKept)
{
    // The user's way: type the search text, Tab, type the replacement, Enter.
    TReplaceForm form(&Ini, "", nullptr);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const auto typeIntoFocus = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    typeIntoFocus("foo");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    typeIntoFocus("bar");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(LastSearchText, "foo");
    EXPECT_EQ(LastReplaceText, "bar");

    // Tab walks the fields, the options and the buttons; the expression buttons come last.
    TReplaceForm walk(&Ini, "", nullptr);
    walk.show();
    walk.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&walk));
    std::vector<QWidget*> order;
    for (int i = 0; i < 14; ++i) {
        QWidget* focus = QApplication::focusWidget();
        // an editable combo box has its line edit focused
        order.push_back(focus && qobject_cast<QComboBox*>(focus->parentWidget()) ? focus->parentWidget() : focus);
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    const std::vector<QWidget*> fields = {walk.cmbSearchText, walk.cmbReplaceText, walk.cbCaseSensitive,
                                          walk.cbWholeWords,  walk.cbSelectedOnly, walk.cbFromCaret,
                                          walk.cbRegExp};
    EXPECT_EQ(std::vector<QWidget*>(order.begin(), order.begin() + 7), fields);
    const auto position = [&](QWidget* widget) {
        return std::find(order.begin(), order.end(), widget) - order.begin();
    };
    EXPECT_GT(position(walk.btnSearchExpressions), position(walk.btnFind));
    walk.reject();
}

TEST(ConfirmReplace, SaysWhatTheReplacementPutsIn)
{
    TConfirmationForm form;
    form.ShowAt(QRect(0, 0, 800, 600), 10, 10, 26, "foo", "bar");
    EXPECT_EQ(form.lblConfirmation->text(), "Replace this occurence of \"foo\"?");
    EXPECT_EQ(form.lblReplacement->text(), "with \"bar\"");
    form.ShowAt(QRect(0, 0, 800, 600), 10, 10, 26, "foo", "");
    EXPECT_EQ(form.lblReplacement->text(), "with nothing: the text is deleted");
    form.ShowAt(QRect(0, 0, 800, 600), 10, 10, 26, "foo", "<b>x</b>");
    EXPECT_EQ(form.lblReplacement->textFormat(), Qt::PlainText);
}

TEST(ConfirmReplace, StandsBelowTheMatchInTheUpperTwoThirdsAndAboveItBelow)
{
    const QRect area(100, 50, 600, 300); // two thirds: down to y 250
    const QSize window(200, 80);
    struct Case {
        const char* Name;
        int X, LineY, LowerY;
        QPoint Expected;
    };
    const Case cases[] = {
        {"upper part: 4 pixels below the line", 150, 100, 116, {150, 120}},
        {"at the two-thirds line", 150, 234, 250, {150, 254}},
        {"lower third: 4 pixels above the line", 150, 240, 256, {150, 156}},
        {"kept inside the right edge", 650, 100, 116, {500, 120}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConfirmationPosition(area, window, c.X, c.LineY, c.LowerY), c.Expected) << c.Name;
    // A window wider than the area is centred on it (halves rounded towards zero).
    EXPECT_EQ(ConfirmationPosition(QRect(100, 50, 151, 300), window, 120, 100, 116).x(), 76);
    EXPECT_EQ(ConfirmationPosition(QRect(100, 50, 200, 300), window, 120, 100, 116).x(), 100);
    // The division by three rounds: 301 * 2 / 3 = 200.67 gives 201.
    EXPECT_EQ(ConfirmationPosition(QRect(0, 0, 600, 301), window, 0, 180, 201).y(), 205);
    EXPECT_EQ(ConfirmationPosition(QRect(0, 0, 600, 301), window, 0, 186, 202).y(), 102);
}

TEST(ConfirmReplace, AsksAboutTheSearchText)
{
    TConfirmationForm form;
    form.ShowAt(QRect(0, 0, 800, 600), 10, 10, 26, "foo", "bar");
    EXPECT_EQ(form.lblConfirmation->text(), "Replace this occurence of \"foo\"?");
    EXPECT_TRUE(form.btnReplace->isDefault());
    EXPECT_EQ(form.btnReplaceAll->text(), "Yes to &All");
}

TEST(SearchDialogPlacement, TheDialogsOpenInTheMiddleOfTheScreenWhateverWindowOpensThem)
{
    TempDir dir;
    TIniFileEx ini(dir.File("Zentupad.dat"));
    // The opener sits in a corner, as the results window does at the bottom of the screen.
    QWidget opener;
    const QRect screen = opener.screen()->availableGeometry();
    opener.setGeometry(screen.right() - 300, screen.bottom() - 120, 300, 120);
    opener.show();
    TSearchForm find(&ini, "", &opener);
    TReplaceForm replace(&ini, "", &opener);
    TExFindForm files(&ini, "", "/srv/", &opener);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&find, &replace, &files}) {
        dialog->show();
        const QPoint centre = dialog->frameGeometry().center();
        EXPECT_LE(std::abs(centre.x() - screen.center().x()), 1) << dialog->windowTitle().toStdString();
        EXPECT_LE(std::abs(centre.y() - screen.center().y()), 1) << dialog->windowTitle().toStdString();
        dialog->reject();
    }
}
