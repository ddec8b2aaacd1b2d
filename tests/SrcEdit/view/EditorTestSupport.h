#pragma once
// A shown editor on the offscreen platform for the editor control's tests, with helpers to load
// text, send keys and commands and read the result.

#include "SrcEdit/Source/view/SrcEdit.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Edit = std::make_unique<TSrcEdit>();
        Edit->resize(640, 400);
        Edit->show();
        QApplication::processEvents();
    }

    void TearDown() override { Edit.reset(); }

public:
    // Lines joined with CR LF.
    void SetText(const std::string& text)
    {
        Edit->SetAllText(text);
        Edit->SetCaretCoord(MakeBufferCoord(1, 1));
    }
    std::string Text() const { return Edit->GetAllText(); }
    std::string Line(int n) const { return Edit->Lines().Get(n - 1); }
    TBufferCoord Caret() const { return Edit->GetCaretCoord(); }

    void Command(TSrcEditorCommand command, char32_t ch = 0, void* data = nullptr)
    {
        Edit->DispatchCommand(command, ch, data);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Edit.get(), key, modifiers);
    }
    void Type(const std::string& text) { QTest::keyClicks(Edit.get(), QString::fromUtf8(text.c_str())); }
    void GoTo(int charIndex, int line) { Edit->SetCaretCoord(MakeBufferCoord(charIndex, line)); }
    void Select(TBufferCoord from, TBufferCoord to)
    {
        Edit->SetCaretCoord(from);
        Edit->SetSelectionEnd(to);
        Edit->MoveCaret(to);
    }
    void Options(std::initializer_list<TSrcEditorOption> add, std::initializer_list<TSrcEditorOption> remove = {})
    {
        TSrcEditorOptions options = Edit->Options();
        for (TSrcEditorOption o : add)
            options.Include(o);
        for (TSrcEditorOption o : remove)
            options.Exclude(o);
        Edit->SetOptions(options);
    }
    // Undo (redo) until nothing is left; the number of steps it took.
    int UndoAll()
    {
        int steps = 0;
        for (; steps < 10000 && Edit->UndoAvailable(); ++steps)
            Edit->UndoLastChange();
        return steps;
    }
    int RedoAll()
    {
        int steps = 0;
        for (; steps < 10000 && Edit->RedoAvailable(); ++steps)
            Edit->RedoLastChange();
        return steps;
    }

    // A client point just right of the left edge of display cell (column, row) of `edit`, at half
    // the row's height: the nearest character boundary is the cell's left edge.
    static QPoint CellPoint(const TCustomSrcEdit& edit, int column, int row)
    {
        const TPoint p = edit.DisplayPointToClient(MakeDisplayPoint(column, row));
        return {p.X + 1, p.Y + edit.LineHeight() / 2};
    }
    QPoint CellPoint(int column, int row) const { return CellPoint(*Edit, column, row); }

    // Mouse events on the client area (the viewport) of the editor.
    void Press(QPoint p, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(Edit->viewport(), button, modifiers, p);
    }
    void Release(QPoint p, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(Edit->viewport(), button, modifiers, p);
    }
    void Click(QPoint p, Qt::KeyboardModifiers modifiers = {}, Qt::MouseButton button = Qt::LeftButton)
    {
        Press(p, modifiers, button);
        Release(p, modifiers, button);
    }
    // With a button down: the move goes to the editor (as it would while the mouse is captured).
    void DragTo(QPoint p) { QTest::mouseMove(Edit->viewport(), p); }

    std::unique_ptr<TSrcEdit> Edit;
};

inline std::ostream& operator<<(std::ostream& os, const TBufferCoord& p)
{
    return os << "(" << p.CharIndex << ", " << p.LineNumber << ")";
}

inline std::ostream& operator<<(std::ostream& os, const TDisplayPoint& p)
{
    return os << "[" << p.DisplayColumn << ", " << p.DisplayRow << "]";
}

// The shortest case found by leaving out one step at a time while `fails` still holds, so that a
// randomized failure reads as a short sequence.
template <class TCase, class Fails>
TCase ShrinkSteps(TCase c, Fails fails)
{
    for (bool shrunk = true; shrunk;) {
        shrunk = false;
        for (size_t i = 0; i < c.Steps.size() && !shrunk; ++i) {
            TCase shorter = c;
            shorter.Steps.erase(shorter.Steps.begin() + static_cast<std::ptrdiff_t>(i));
            if (fails(shorter)) {
                c = shorter;
                shrunk = true;
            }
        }
    }
    return c;
}
