// The editor and the clipboard: copy, cut and paste in the three selection modes through the
// private block, plain text to and from other programs, and damaged blocks.

#include "SrcEdit/view/EditorTestSupport.h"

#include <QClipboard>
#include <QMimeData>

namespace {

const QString BlockMime = QStringLiteral("application/x-zentu-srcedit-control-block-type");

class EditorClipboard : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        QGuiApplication::clipboard()->clear();
    }

    static const QMimeData* OnClipboard() { return QGuiApplication::clipboard()->mimeData(); }
    static std::string Block() { return OnClipboard()->data(BlockMime).toStdString(); }

    // Puts data on the clipboard as another program would.
    static void Offer(const QByteArray* block, const char* plain)
    {
        auto data = std::make_unique<QMimeData>();
        if (plain)
            data->setText(QString::fromUtf8(plain));
        if (block)
            data->setData(BlockMime, *block);
        QGuiApplication::clipboard()->setMimeData(data.release());
    }

    // The text with each CR LF as LF.
    static std::string WithLF(std::string text)
    {
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.erase(at, 1);
        return text;
    }

    void SelectIn(TSrcSelectionMode mode, TBufferCoord from, TBufferCoord to)
    {
        Edit->SetSelectionMode(mode);
        Select(from, to);
    }
};

TEST_F(EditorClipboard, ARoundTripKeepsTheSelectionMode)
{
    struct Case {
        const char* What;
        TSrcSelectionMode Mode;
        TBufferCoord From;
        TBufferCoord To;
        std::string Copied;
        TBufferCoord PasteAt;
        std::string Result;
    };
    const std::string original = "abcd\r\nefgh\r\nij";
    const std::vector<Case> cases = {
        {"normal", TSrcSelectionMode::smNormal, {2, 1}, {3, 2}, "bcd\r\nef", {2, 3},
         "abcd\r\nefgh\r\nibcd\r\nefj"},
        {"line", TSrcSelectionMode::smLine, {3, 1}, {2, 2}, "abcd\r\nefgh\r\n", {2, 3},
         "abcd\r\nefgh\r\nabcd\r\nefgh\r\nij"},
        {"line, the last line of the text", TSrcSelectionMode::smLine, {1, 3}, {2, 3}, "ij", {3, 1},
         "ijabcd\r\nefgh\r\nij"},
        {"column", TSrcSelectionMode::smColumn, {2, 1}, {4, 2}, "bc\r\nfg", {2, 2},
         "abcd\r\nebcfgh\r\nifgj"},
        {"column adds lines at the end", TSrcSelectionMode::smColumn, {1, 1}, {3, 3}, "ab\r\nef\r\nij", {2, 3},
         "abcd\r\nefgh\r\niabj\r\n ef\r\n ij"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText(original);
        Edit->ClearUndoHistory();
        SelectIn(c.Mode, c.From, c.To);
        Edit->CopySelectionToClipboard();
        EXPECT_EQ(Block(), std::string(1, static_cast<char>(c.Mode)) + c.Copied + std::string(1, '\0'));
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), WithLF(c.Copied))
            << "plain text for other programs, with Linux line breaks";
        // The editor's own mode does not matter: the block says how it was copied.
        Edit->SetSelectionMode(TSrcSelectionMode::smNormal);
        GoTo(c.PasteAt.CharIndex, c.PasteAt.LineNumber);
        Edit->PasteClipboard();
        EXPECT_EQ(Text(), c.Result);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), original) << "one undo step";
        Edit->RedoLastChange();
        EXPECT_EQ(Text(), c.Result);
    }
}

TEST_F(EditorClipboard, AColumnCopyIsPaddedEvenWhenTrailingBlanksAreTrimmed)
{
    Options({eoTrimTrailingSpaces});
    SetText("0123456789\r\n01\r\n0123456789");
    SelectIn(TSrcSelectionMode::smColumn, MakeBufferCoord(3, 1), MakeBufferCoord(6, 3));
    Edit->CopySelectionToClipboard();
    EXPECT_EQ(Block(), std::string("\x02" "234\r\n   \r\n234", 14) + std::string(1, '\0'));
    EXPECT_TRUE(Edit->Options().Contains(eoTrimTrailingSpaces));
}

TEST_F(EditorClipboard, PlainTextFromAnotherProgramIsPastedInTheEditorsMode)
{
    struct Case {
        const char* What;
        TSrcSelectionMode Mode;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {"normal", TSrcSelectionMode::smNormal, "aX\r\nYbc\r\ndef"},
        {"line: whole lines before the caret line, the rest in front of it", TSrcSelectionMode::smLine,
         "X\r\nYabc\r\ndef"},
        {"column", TSrcSelectionMode::smColumn, "aXbc\r\ndYef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText("abc\r\ndef");
        Edit->ClearUndoHistory();
        Edit->SetSelectionMode(c.Mode);
        Offer(nullptr, "X\nY");
        GoTo(2, 1);
        ASSERT_TRUE(Edit->PasteAvailable());
        Edit->PasteClipboard();
        EXPECT_EQ(Text(), c.Result);
        Edit->UndoLastChange();
        EXPECT_EQ(Text(), "abc\r\ndef") << "one undo step, nothing of the caret line lost";
    }
}

TEST_F(EditorClipboard, EveryLineBreakOfAnotherProgramBreaksTheLine)
{
    struct Case {
        const char* What;
        const char* Plain;
    };
    for (const Case& c : std::vector<Case>{{"LF", "X\nY\nZ"}, {"CR LF", "X\r\nY\r\nZ"}, {"CR", "X\rY\rZ"},
                                           {"mixed", "X\r\nY\rZ"}}) {
        SCOPED_TRACE(c.What);
        SetText("ab");
        Offer(nullptr, c.Plain);
        GoTo(2, 1);
        Edit->PasteClipboard();
        EXPECT_EQ(Edit->Lines().Count(), 3);
        EXPECT_EQ(Text(), "aX\r\nY\r\nZb");
    }
}

TEST_F(EditorClipboard, OtherProgramsGetLinuxLineBreaksWhileTheBlockKeepsItsOwn)
{
    SetText("one\r\ntwo\r\nthree");
    Select(MakeBufferCoord(2, 1), MakeBufferCoord(3, 3));
    Edit->CopySelectionToClipboard();
    EXPECT_EQ(OnClipboard()->data(QStringLiteral("text/plain")).toStdString(), "ne\ntwo\nth");
    EXPECT_EQ(Block(), std::string("\0ne\r\ntwo\r\nth", 12) + std::string(1, '\0'));
}

TEST_F(EditorClipboard, ADamagedPrivateBlockFallsBackToThePlainText)
{
    struct Case {
        const char* What;
        QByteArray Block;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {"empty", QByteArray(), "xPLAINyz"},
        {"the mode byte alone", QByteArray("\x01", 1), "xPLAINyz"},
        {"an unknown mode", QByteArray("\x07" "BLOCK\0", 7), "xPLAINyz"},
        {"no terminating 0 within the block", QByteArray("\x01" "BLOCK", 6), "xPLAINyz"},
        {"sound: the text ends at its 0", QByteArray("\x00" "BLOCK\0tail\0", 12), "xBLOCKyz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        SetText("xyz");
        Offer(&c.Block, "PLAIN");
        GoTo(2, 1);
        Edit->PasteClipboard();
        EXPECT_EQ(Text(), c.Result);
    }
    // A damaged block without plain text pastes nothing.
    SetText("xyz");
    const QByteArray broken("\x01" "BLOCK", 6);
    Offer(&broken, nullptr);
    EXPECT_TRUE(Edit->PasteAvailable());
    Edit->PasteClipboard();
    EXPECT_EQ(Text(), "xyz");
    EXPECT_FALSE(Edit->UndoAvailable());
}

TEST_F(EditorClipboard, PastingReplacesTheSelectionInOneUndoStep)
{
    SetText("one two three");
    Offer(nullptr, "2");
    Select(MakeBufferCoord(5, 1), MakeBufferCoord(8, 1));
    Edit->ClearUndoHistory();
    Edit->PasteClipboard();
    EXPECT_EQ(Text(), "one 2 three");
    EXPECT_EQ(Caret(), MakeBufferCoord(6, 1));
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "one two three");
    EXPECT_EQ(Edit->GetSelectedText(), "two");
    EXPECT_FALSE(Edit->UndoAvailable());
}

TEST_F(EditorClipboard, CutCopiesAndDeletesInOneUndoStep)
{
    SetText("one two three");
    Select(MakeBufferCoord(4, 1), MakeBufferCoord(8, 1));
    Edit->ClearUndoHistory();
    Edit->CutSelectionToClipboard();
    EXPECT_EQ(Text(), "one three");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), " two");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "one two three");
    EXPECT_FALSE(Edit->UndoAvailable());
}

TEST_F(EditorClipboard, AReadOnlyEditorCopiesButNeitherCutsNorPastes)
{
    SetText("one two");
    Offer(nullptr, "X");
    Edit->SetReadOnly(true);
    EXPECT_FALSE(Edit->PasteAvailable());
    Edit->PasteClipboard();
    Command(ecPaste);
    Edit->Perform(WM_PASTE);
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(4, 1));
    Edit->CutSelectionToClipboard();
    Command(ecCut);
    Edit->Perform(WM_CUT);
    EXPECT_EQ(Text(), "one two");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "X");
    Edit->Perform(WM_COPY);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "one");
}

TEST_F(EditorClipboard, KeysMessagesAndCommandsReachTheClipboard)
{
    SetText("abc");
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(3, 1));
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "ab");
    Key(Qt::Key_End);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abcab");
    Select(MakeBufferCoord(1, 1), MakeBufferCoord(2, 1));
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Text(), "bcab");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "a");
    Edit->Perform(WM_PASTE);
    EXPECT_EQ(Text(), "abcab");
    Select(MakeBufferCoord(4, 1), MakeBufferCoord(6, 1));
    Command(ecCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "ab");
    Edit->Perform(WM_CUT);
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditorClipboard, NothingIsCopiedWithoutASelection)
{
    SetText("abc");
    Offer(nullptr, "keep");
    Edit->CopySelectionToClipboard();
    Edit->PutTextOnClipboard("");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "keep");
}

TEST_F(EditorClipboard, ALinePasteIntoANarrowWindowCanBeUndone)
{
    for (int width = 300; Edit->CharsInWindow() > 1 && width > 0; width -= 4) {
        Edit->resize(width, 200);
        QApplication::processEvents();
    }
    ASSERT_LE(Edit->CharsInWindow(), 1);
    SetText("one\r\ntwo");
    const QByteArray block = QByteArray("\x01" "new\r\n", 6) + QByteArray(1, '\0');
    Offer(&block, "new\r\n");
    GoTo(1, 2);
    Edit->PasteClipboard();
    EXPECT_EQ(Text(), "one\r\nnew\r\ntwo");
    Edit->UndoLastChange();
    EXPECT_EQ(Text(), "one\r\ntwo");
}

} // namespace
