// The completion component in a real editor: the input before the caret, opening by the
// shortcut and by trigger characters, typing into an open list, accepting and cancelling,
// parameter hints that follow the caret, and editors that go away.

#include "SrcEdit/Source/completion/SrcEditCompletionProposal.h"

#include "SrcEdit/view/EditorTestSupport.h"
#include "support/WaitFor.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace {

class CompletionProposal : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        Edit->activateWindow();
        Edit->setFocus();
        QApplication::processEvents();
        Proposal = std::make_unique<TSrcCompletionProposal>(nullptr);
        Proposal->SetEditor(Edit.get());
        Proposal->SetEndOfTokenChr("()[]. ");
        SetItems({"foo", "foobar", "format", "bar"});
    }
    void TearDown() override
    {
        Proposal.reset();
        EditorTest::TearDown();
    }

    void SetItems(std::initializer_list<const char*> items)
    {
        TStringList list;
        for (const char* item : items)
            list.Add(item);
        Proposal->SetItemList(list);
        Items = list.Text();
    }
    // OnExecute gives the items again at each opening, as a program does.
    void ReloadItemsOnExecute()
    {
        Proposal->OnExecute = [this](SrcCompletionType, TObject*, std::string&, int&, int&, bool&) {
            TStringList list;
            list.SetText(Items);
            Proposal->SetItemList(list);
        };
    }
    void TypeAtEnd(const std::string& text)
    {
        SetText(text);
        GoTo(static_cast<int>(text.size()) + 1, 1);
    }
    void OpenByShortcut() { Key(Qt::Key_Space, Qt::ControlModifier); }
    // A key that types a character QTest cannot spell, as the keyboard delivers it.
    void TypeCharacter(const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(Edit.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(Edit.get(), &release);
    }
    std::vector<std::string> Shown()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < Proposal->Form().AssignedCount(); ++i)
            lines.push_back(Proposal->Form().AssignedText(i));
        return lines;
    }

    std::unique_ptr<TSrcCompletionProposal> Proposal;
    std::string Items;
};

} // namespace

TEST_F(CompletionProposal, TheInputRunsBackToABlankOrAnEndOfTokenCharacter)
{
    Proposal->Form().EndOfTokenChars = CharSetOf("().");
    const struct {
        const char* Line;
        int Caret;
        const char* Input;
        int Start;
    } cases[] = {
        {"a.fo", 5, "fo", 3},     {"a fo", 5, "fo", 3},   {"fo", 3, "fo", 1},        {"a.fo", 4, "f", 3},
        {"x(", 3, "", 3},         {"", 1, "", 1},          {"ab", 6, "", 6},           {"\tab", 4, "ab", 2},
        {"a f\xC3\xBC", 6, "f\xC3\xBC", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line);
        SetText(c.Line);
        Options({eoScrollPastEol});
        GoTo(c.Caret, 1);
        EXPECT_EQ(Proposal->GetCurrentInput(Edit.get()), c.Input);
        EXPECT_EQ(Proposal->CompletionStart(), c.Start);
    }
}

TEST_F(CompletionProposal, TheShortcutOpensTheListAtTheInputWithoutTypingItsCharacter)
{
    TypeAtEnd("x.fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    EXPECT_EQ(Proposal->Form().CurrentString(), "fo");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"foo", "foobar", "format"}));
    EXPECT_EQ(Line(1), "x.fo");
    // The list never takes the focus: the editor keeps it, and its window stays the active one.
    EXPECT_TRUE(Edit->hasFocus());
    EXPECT_EQ(QApplication::activeWindow(), Edit->window());
    // Typing goes on in the editor and narrows the list.
    Type("ob");
    EXPECT_EQ(Line(1), "x.foob");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"foobar"}));
    Key(Qt::Key_Return);
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "x.foobar");
    EXPECT_EQ(Caret(), MakeBufferCoord(9, 1));
    // One step undoes the completion.
    Edit->UndoLastChange();
    EXPECT_EQ(Line(1), "x.foob");
}

TEST_F(CompletionProposal, EnterReplacesTheWholeWordAtTheCaret)
{
    SetText("fotail rest");
    GoTo(3, 1);
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "foobar rest");
    EXPECT_EQ(Caret(), MakeBufferCoord(7, 1));
}

TEST_F(CompletionProposal, AnEndOfTokenCharacterAcceptsAndIsTyped)
{
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Type("(");
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "foo(");
    EXPECT_EQ(Caret(), MakeBufferCoord(5, 1));
}

TEST_F(CompletionProposal, WithoutEndCharacterCompletionTheTypedTextStays)
{
    Proposal->SetOptions(Proposal->Options() - TSrcCompletionOptions{scoEndCharCompletion});
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Type("(");
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "fo(");
}

TEST_F(CompletionProposal, KeysOfTheListEditTheEditorToo)
{
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Line(1), "f");
    EXPECT_EQ(Proposal->Form().CurrentString(), "f");
    EXPECT_TRUE(Proposal->Visible());
    Key(Qt::Key_Left);
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
    EXPECT_EQ(Proposal->Form().CurrentString(), "");
    Key(Qt::Key_Right);
    EXPECT_EQ(Caret(), MakeBufferCoord(2, 1));
    EXPECT_EQ(Proposal->Form().CurrentString(), "f");
    // Backspace with nothing typed deletes and cancels.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Proposal->Form().CurrentString(), "");
    Key(Qt::Key_Backspace);
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "");
}

TEST_F(CompletionProposal, EscapeCancelsAndACharacterBeyondTheListsRangeCancelsAfterTypingIt)
{
    int cancelled = 0;
    Proposal->OnCancelled = [&](TObject*) { ++cancelled; };
    TypeAtEnd("fo");
    OpenByShortcut();
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(Line(1), "fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    TypeCharacter(QString::fromUtf8("\xC3\xBC"));
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "fo\xC3\xBC");
    // Keys after the list closed reach the editor normally.
    Type("x");
    EXPECT_EQ(Line(1), "fo\xC3\xBCx");
}

TEST_F(CompletionProposal, AClickIntoTheEditorEndsTheList)
{
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Click(CellPoint(1, 1));
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Caret(), MakeBufferCoord(1, 1));
}

TEST_F(CompletionProposal, WithNoMatchingItemTheListDoesNotOpen)
{
    TypeAtEnd("zz");
    OpenByShortcut();
    EXPECT_FALSE(Proposal->Visible());
    // The shortcut's character is not swallowed from the next key.
    Type("q");
    EXPECT_EQ(Line(1), "zzq");
}

TEST_F(CompletionProposal, AReadOnlyEditorOpensNoList)
{
    TypeAtEnd("fo");
    Edit->SetReadOnly(true);
    OpenByShortcut();
    EXPECT_FALSE(Proposal->Visible());
    Proposal->OpenForEditor();
    EXPECT_FALSE(Proposal->Visible());
}

TEST_F(CompletionProposal, ATriggerCharacterArmsTheTimerAndAnyOtherStopsIt)
{
    Proposal->SetOptions(Proposal->Options() + TSrcCompletionOptions{scoUseBuiltInTimer});
    Proposal->SetTimerInterval(50);
    SetText("");
    Type("x.");
    EXPECT_TRUE(Proposal->TimerActive());
    Type("f");
    EXPECT_FALSE(Proposal->TimerActive());
    Type(".");
    EXPECT_TRUE(Proposal->TimerActive());
    Key(Qt::Key_Left);
    EXPECT_FALSE(Proposal->TimerActive());
    Key(Qt::Key_End);
    Type(".");
    ASSERT_TRUE(WaitFor([&] { return Proposal->Visible(); }));
    EXPECT_EQ(Shown().size(), 4u);
    EXPECT_EQ(Line(1), "x.f..");
}

TEST_F(CompletionProposal, AcceptingGivesTheValueToTheHandlers)
{
    TStringList inserts;
    for (const char* s : {"foo()", "foobar()", "format()", "bar()"})
        inserts.Add(s);
    Proposal->SetOptions(Proposal->Options() + TSrcCompletionOptions{scoUseInsertList});
    Proposal->SetInsertList(inserts);
    std::vector<std::string> calls;
    Proposal->OnCodeCompletion = [&](TObject*, std::string& value, TShiftState, int index, char32_t end) {
        calls.push_back("code " + value + " " + std::to_string(index) + " " + std::to_string(end));
        value += ";";
    };
    Proposal->OnAfterCodeCompletion = [&](TObject*, const std::string& value, TShiftState, int index, char32_t) {
        calls.push_back("after " + value + " " + std::to_string(index));
    };
    TypeAtEnd("for");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    EXPECT_EQ(Shown(), std::vector<std::string>{"format"});
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(1), "format();");
    EXPECT_EQ(calls, (std::vector<std::string>{"code format() 2 0", "after format(); 2"}));
}

TEST_F(CompletionProposal, AnInputGivenByTheExecuteHandlerIsWhatAcceptingReplaces)
{
    Proposal->SetEndOfTokenChr("()[]. -");
    SetItems({"a-bc", "a-bd", "abc"});
    ReloadItemsOnExecute();
    auto reload = Proposal->OnExecute;
    Proposal->OnExecute = [&](SrcCompletionType kind, TObject* sender, std::string& input, int& x, int& y, bool& can) {
        reload(kind, sender, input, x, y, can);
        const std::string line = Edit->GetCaretLineText();
        if (line.size() >= 3 && line.compare(line.size() - 3, 3, "a-b") == 0)
            input = "a-b";
    };
    TypeAtEnd("x a-b");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    EXPECT_EQ(Proposal->Form().CurrentString(), "a-b");
    EXPECT_EQ(Proposal->CompletionStart(), 3);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"a-bc", "a-bd"}));
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "x a-bc");
}

TEST_F(CompletionProposal, APrettyLineAcceptedWithoutAnInsertListGoesInWithoutItsFormatting)
{
    Proposal->SetOptions(Proposal->Options() + TSrcCompletionOptions{scoUsePrettyText});
    SetItems({"\\image{0}\\style{+B}foo\\style{-B}", "bar"});
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Key(Qt::Key_Return);
    EXPECT_EQ(Line(1), "foo");
}

TEST_F(CompletionProposal, ADoubleClickAccepts)
{
    TypeAtEnd("b");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    TSrcBaseCompletionProposalForm& form = Proposal->Form();
    QTest::mouseDClick(&form, Qt::LeftButton, {}, QPoint(30, form.FrameSize() + form.LineHeight() / 2));
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Line(1), "bar");
}

TEST_F(CompletionProposal, AParameterHintFollowsTheCaret)
{
    Proposal->SetDefaultType(SrcCompletionType::ctParams);
    int executed = 0;
    Proposal->OnExecute = [&](SrcCompletionType kind, TObject*, std::string&, int&, int&, bool& canExecute) {
        ++executed;
        EXPECT_EQ(kind, SrcCompletionType::ctParams);
        const std::string line = Edit->GetCaretLineText().substr(0, static_cast<size_t>(Edit->CaretChar() - 1));
        const size_t open = line.rfind('(');
        canExecute = open != std::string::npos && line.find(')', open) == std::string::npos;
        if (!canExecute)
            return;
        TStringList hint;
        hint.Add("f (a, b, c)");
        Proposal->SetItemList(hint);
        Proposal->SetCurrentIndex(1 + static_cast<int>(std::count(line.begin() + static_cast<long>(open), line.end(), ',')));
    };
    SetText("");
    Type("f(");
    Proposal->OpenForEditor();
    ASSERT_TRUE(Proposal->Visible());
    EXPECT_EQ(Proposal->CurrentIndex(), 1);
    EXPECT_TRUE(Edit->hasFocus());
    // Each command runs OnExecute again.
    const int before = executed;
    Type("1,");
    EXPECT_GT(executed, before);
    EXPECT_EQ(Proposal->CurrentIndex(), 2);
    // The keys stay with the editor while a hint shows.
    EXPECT_EQ(Line(1), "f(1,");
    Type(")");
    EXPECT_FALSE(Proposal->Visible());
    // Opened again for the new caret position, as a program does when the caret moves.
    Key(Qt::Key_Left);
    Proposal->OpenForEditor();
    EXPECT_TRUE(Proposal->Visible());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Proposal->Visible());
}

TEST_F(CompletionProposal, DestroyingTheEditorItServesClosesThePopUp)
{
    TypeAtEnd("fo");
    OpenByShortcut();
    ASSERT_TRUE(Proposal->Visible());
    Edit.reset();
    EXPECT_FALSE(Proposal->Visible());
    EXPECT_EQ(Proposal->Editor(), nullptr);
    EXPECT_EQ(Proposal->EditorCount(), 0);
    Proposal.reset();
}

TEST_F(CompletionProposal, DestroyingTheComponentUnhooksItsEditors)
{
    TSrcEdit second;
    Proposal->AddEditor(&second);
    EXPECT_EQ(Proposal->EditorCount(), 2);
    Proposal.reset();
    // The editors still type without the component.
    TypeAtEnd("fo");
    Type("x.");
    EXPECT_EQ(Line(1), "fox.");
}
