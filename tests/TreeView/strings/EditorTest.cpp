// In-place editing of string tree cells: F2 and the delayed click open the editor; Enter,
// Escape and focus loss end it; the edit's width follows its text and keeps its limits.

#include "TreeView/input/InputTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LTStringEditLink.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A window with an editable string tree and another control to move the focus to.
struct TEditFixture {
    QWidget Window;
    TInputTree* Tree;
    QLineEdit* Other;
    std::vector<QString> NewTexts;
    int Edited = 0;
    int Cancelled = 0;

    TEditFixture()
    {
        auto* layout = new QVBoxLayout(&Window);
        Tree = new TInputTree(4);
        Other = new QLineEdit;
        layout->addWidget(Tree);
        layout->addWidget(Other);
        Window.resize(320, 260);
        Window.show();
        QApplication::setActiveWindow(&Window);
        Tree->setFocus();
        Tree->TreeOptions().SetMiscOptions(Tree->TreeOptions().MiscOptions() + toEditable);
        Tree->OnNewText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, const QString& text) {
            NewTexts.push_back(text);
            if (node->SiblingIndex < Tree->Names.size())
                Tree->Names[node->SiblingIndex] = text;
        };
        Tree->OnEdited = [this](TBaseLazyTree*, PLazyNode, TColumnIndex) { ++Edited; };
        Tree->OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex) { ++Cancelled; };
        Tree->SetNames({"alpha", "beta", "gamma", "delta"});
        QApplication::processEvents();
    }
    // Focuses node `index` and opens its editor with F2.
    TLTEdit* OpenWithF2(std::uint32_t index)
    {
        Tree->AssignFocusedNode(Tree->Root(index));
        QTest::keyClick(Tree, Qt::Key_F2);
        return Edit();
    }
    // The edit of the running edit (ended edits free themselves a little later).
    TLTEdit* Edit() const
    {
        for (TLTEdit* edit : Tree->findChildren<TLTEdit*>())
            if (edit->isVisible())
                return edit;
        return nullptr;
    }
};

} // namespace

TEST(Editor, F2OpensTheEditorAndEnterAppliesTheText)
{
    TEditFixture f;
    TLTEdit* edit = f.OpenWithF2(1);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(f.Tree->EditorActive());
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->EditText(), "beta");
    EXPECT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->textCursor().selectedText(), "beta") << "the whole text is selected";
    QTest::keyClicks(edit, "omega");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(f.Tree->EditorActive());
    EXPECT_EQ(f.NewTexts, std::vector<QString>{"omega"});
    EXPECT_EQ(f.Edited, 1);
    EXPECT_TRUE(f.Tree->hasFocus()) << "the tree has the focus back";
    EXPECT_FALSE(edit->isVisible());
    // Enter on an unchanged text applies nothing.
    f.OpenWithF2(2);
    QTest::keyClick(f.Edit(), Qt::Key_Return);
    EXPECT_EQ(f.NewTexts.size(), 1u);
    EXPECT_EQ(f.Edited, 2);
}

TEST(Editor, EscapeDiscardsAndTabIsSwallowed)
{
    TEditFixture f;
    TLTEdit* edit = f.OpenWithF2(0);
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "x");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(edit->EditText(), "x") << "no tab in the text";
    EXPECT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_TRUE(f.NewTexts.empty());
    EXPECT_EQ(f.Cancelled, 1);
    EXPECT_FALSE(f.Tree->EditorActive());
    EXPECT_EQ(f.Tree->GetCellText(f.Tree->Root(0), NoColumn), "alpha");
}

TEST(Editor, LosingTheFocusAppliesOrDiscardsByTheStringOption)
{
    TEditFixture f;
    TLTEdit* edit = f.OpenWithF2(3);
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "kept");
    f.Other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f.NewTexts, std::vector<QString>{"kept"}) << "toAutoAcceptEditChange is on by default";
    EXPECT_FALSE(f.Tree->EditorActive());
    f.Tree->StringTreeOptions().SetStringOptions(f.Tree->StringOptions() - toAutoAcceptEditChange);
    f.Tree->setFocus();
    edit = f.OpenWithF2(3);
    QTest::keyClicks(edit, "lost");
    f.Other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(f.NewTexts.size(), 1u) << "discarded without the option";
    EXPECT_EQ(f.Cancelled, 1);
}

TEST(Editor, TheEditGrowsWithItsTextAndKeepsItsLimits)
{
    TEditFixture f;
    TLTEdit* edit = f.OpenWithF2(0);
    ASSERT_NE(edit, nullptr);
    const int before = edit->width();
    QTest::keyClicks(edit, "a much longer text than before");
    EXPECT_GT(edit->width(), before);
    const int grown = edit->width();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_LT(edit->width(), grown);
    EXPECT_EQ(edit->width(), 30) << "never narrower than 30 pixels";
    QTest::keyClicks(edit, QString(400, 'w'));
    EXPECT_LE(edit->geometry().right() + 1, f.Tree->ClientWidth()) << "never beyond the client area";
    QTest::keyClick(edit, Qt::Key_Escape);
    // A right-aligned narrow cell: the edit grows to the left of the cell's right edge.
    f.Tree->Header().Columns().AddColumn()->SetWidth(40);
    f.Tree->Header().Columns().ColumnAt(0)->SetAlignment(taRightJustify);
    f.Tree->Header().SetMainColumn(0);
    f.Tree->AssignFocusedColumn(0);
    f.Tree->SetNames({"", "b", "c", "d"});
    edit = f.OpenWithF2(0);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->width(), 30);
    const TRect text = f.Tree->NodeDisplayRect(f.Tree->Root(0), 0, true, true);
    EXPECT_EQ(edit->geometry().right() + 1, text.Right);
}

TEST(Editor, MultiLineCellsBreakLinesAndEndWithCtrlEnter)
{
    TEditFixture f;
    f.Tree->OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& s) { s.Include(ivsMultiline); };
    f.Tree->ReinitializeNode(f.Tree->Root(1), false);
    f.Tree->SetRowHeight(f.Tree->Root(1), 54);
    TLTEdit* edit = f.OpenWithF2(1);
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "two");
    EXPECT_TRUE(f.Tree->EditorActive());
    EXPECT_EQ(edit->EditText(), "beta\ntwo");
    QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(f.Tree->EditorActive());
    EXPECT_EQ(f.NewTexts, std::vector<QString>{"beta\ntwo"});
}

TEST(Editor, ADelayedClickOnTheFocusedNodeOpensTheEditor)
{
    TEditFixture f;
    f.Tree->SetEditDelay(50);
    QTest::mouseClick(f.Tree->viewport(), Qt::LeftButton, Qt::NoModifier, f.Tree->LabelPoint(f.Tree->Root(2)));
    EXPECT_EQ(f.Tree->FocusNode(), f.Tree->Root(2));
    EXPECT_FALSE(f.Tree->TreeStates().Contains(tsEditPending)) << "the first click only selects";
    QTest::mouseClick(f.Tree->viewport(), Qt::LeftButton, Qt::NoModifier, f.Tree->LabelPoint(f.Tree->Root(2)));
    EXPECT_TRUE(f.Tree->TreeStates().Contains(tsEditPending));
    EXPECT_FALSE(f.Tree->EditorActive());
    QTest::qWait(150);
    EXPECT_TRUE(f.Tree->EditorActive()) << "after EditDelay";
    ASSERT_NE(f.Edit(), nullptr);
    QTest::keyClick(f.Edit(), Qt::Key_Escape);
    // A double click in between cancels the pending edit.
    QTest::mouseClick(f.Tree->viewport(), Qt::LeftButton, Qt::NoModifier, f.Tree->LabelPoint(f.Tree->Root(2)));
    QTest::mouseDClick(f.Tree->viewport(), Qt::LeftButton, Qt::NoModifier, f.Tree->LabelPoint(f.Tree->Root(2)));
    QTest::qWait(150);
    EXPECT_FALSE(f.Tree->EditorActive());
}

TEST(Editor, AHandlerThatGivesNoLinkIsAnError)
{
    TEditFixture f;
    f.Tree->OnCreateEditor = [](TBaseLazyTree*, PLazyNode, TColumnIndex, PLTEditLink&) {};
    try {
        f.Tree->BeginNodeEdit(f.Tree->Root(0), NoColumn);
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.HelpContext(), 2000);
        EXPECT_STREQ(e.what(), "Edit link must not be nil.");
    }
}

TEST(Editor, AFailingNewTextHandlerLeavesTheEditOpen)
{
    TEditFixture f;
    TLTEdit* edit = f.OpenWithF2(0);
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "boom");
    f.Tree->OnNewText = [](TCustomLazyStringTree*, PLazyNode, TColumnIndex, const QString&) {
        throw Exception("refused");
    };
    EXPECT_THROW(f.Tree->CommitNodeEdit(), Exception);
    EXPECT_TRUE(f.Tree->EditorActive()) << "the link is not finished";
    f.Tree->OnNewText = nullptr;
    EXPECT_TRUE(f.Tree->CommitNodeEdit()) << "and can end again";
    EXPECT_FALSE(f.Tree->EditorActive());
}
