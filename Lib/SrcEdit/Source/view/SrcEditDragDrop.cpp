// The editor and drag and drop: dragging the selected text out of an editor, moving or copying
// text dropped from an editor (this one or another), and files dropped from the desktop.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditClipboardBlock.h"
#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/core/QtBridge.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <algorithm>

namespace {

// The data of a drag that an editor started: the text in the clipboard formats, and the editor
// it comes from, which the drop asks for its selection and, when moving, deletes it.
class TSrcEditDragData : public QMimeData {
public:
    explicit TSrcEditDragData(TCustomSrcEdit* source) : FSource(source) {}
    TCustomSrcEdit* Source() const { return FSource.data(); }

private:
    QPointer<TCustomSrcEdit> FSource;
};

TCustomSrcEdit* DragSource(const QMimeData* data)
{
    const auto* ours = dynamic_cast<const TSrcEditDragData*>(data);
    return ours ? ours->Source() : nullptr;
}

std::vector<std::string> DroppedFileNames(const QMimeData* data)
{
    std::vector<std::string> names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            names.push_back(StdStr(url.toLocalFile()));
    return names;
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers)
{
    return ShiftStateFromQt(modifiers);
}

} // namespace

// ---- the drag source

void TCustomSrcEdit::BeginTextDrag()
{
    SetMouseCapture(false);
    auto data = std::make_unique<TSrcEditDragData>(this);
    SrcEditFillMimeData(*data, FActiveSelectionMode, GetSelectedText());
    FDragging = true;
    try {
        ExecuteDrag(std::move(data));
    } catch (...) {
        FDragging = false;
        StopAutoScroll();
        throw;
    }
    FDragging = false;
    // The button was released inside the drag; nothing of the click is left to finish.
    StopAutoScroll();
    SetState(sfWaitForDragging, false);
    SetState(sfDblClicked, false);
    SetState(sfPossibleGutterClick, false);
}

void TCustomSrcEdit::ExecuteDrag(std::unique_ptr<QMimeData> data)
{
    // invariant: Qt deletes the drag object (and its data) itself once the drag has ended.
    auto* drag = new QDrag(viewport());
    drag->setMimeData(data.release());
    // The target moves or copies the text itself (and deletes it here when moving), so what the
    // drag returns needs no answer.
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

// ---- Qt's drag events

void TCustomSrcEdit::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TCustomSrcEdit::dragMoveEvent(QDragMoveEvent* event)
{
    const TPoint p = TPoint::FromQt(event->position().toPoint());
    if (TCustomSrcEdit* source = DragSource(event->mimeData())) {
        FPointer = p;
        bool accept = false;
        const TShiftState shift = ShiftOf(event->modifiers());
        const TDragState state =
            event->type() == QEvent::DragEnter ? TDragState::dsDragEnter : TDragState::dsDragMove;
        DragOver(source, p.X, p.Y, state, shift, accept);
        if (accept) {
            event->setDropAction(shift.Contains(ssCtrl) ? Qt::CopyAction : Qt::MoveAction);
            event->accept();
        } else {
            event->ignore();
        }
        return;
    }
    if (FOptions.Contains(eoDropFiles) && !DroppedFileNames(event->mimeData()).empty()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return;
    }
    event->ignore();
}

void TCustomSrcEdit::dragLeaveEvent(QDragLeaveEvent* event)
{
    // why: Qt says only that the drag left, not what it carried; a drag of this editor's text
    // is the one whose leaving matters (the caret goes back to where the drag began).
    if (FDragging) {
        bool accept = false;
        DragOver(this, FPointer.X, FPointer.Y, TDragState::dsDragLeave, {}, accept);
    }
    event->accept();
}

void TCustomSrcEdit::dropEvent(QDropEvent* event)
{
    const TPoint p = TPoint::FromQt(event->position().toPoint());
    const TShiftState shift = ShiftOf(event->modifiers());
    if (TCustomSrcEdit* source = DragSource(event->mimeData())) {
        if (ReadOnly()) {
            event->ignore();
            return;
        }
        DragDrop(source, p.X, p.Y, shift);
        const bool moved = source == this ? !shift.Contains(ssCtrl) : shift.Contains(ssShift) && !source->ReadOnly();
        event->setDropAction(moved ? Qt::MoveAction : Qt::CopyAction);
        event->accept();
        return;
    }
    if (FOptions.Contains(eoDropFiles)) {
        TSrcDroppedFiles files{p, DroppedFileNames(event->mimeData())};
        if (!files.FileNames.empty()) {
            Perform(WM_DROPFILES, reinterpret_cast<WPARAM>(&files), 0);
            event->setDropAction(Qt::CopyAction);
            event->accept();
            return;
        }
    }
    event->ignore();
}

// ---- the rules

// The keys held decide only the drop action shown (Ctrl: copy), which dragMoveEvent sets.
void TCustomSrcEdit::DragOver(TCustomSrcEdit* source, int x, int y, TDragState state, TShiftState /*shift*/,
                              bool& accept)
{
    if (!source || ReadOnly())
        return;
    accept = true;
    if (source != this) {
        PlaceCaretAtClient(x, y);
        return;
    }
    if (state == TDragState::dsDragLeave) {
        PlaceCaretAtClient(FMouseDownPoint.X, FMouseDownPoint.Y);
        return;
    }
    TDisplayPoint p = ClientToNearestDisplayPoint(x, y);
    p.DisplayColumn =
        std::max(FFirstVisibleColumn, std::min(p.DisplayColumn, FFirstVisibleColumn + FCharsInWindow - 1));
    p.DisplayRow = std::max(FFirstVisibleRow, std::min(p.DisplayRow, FFirstVisibleRow + FVisibleLineCount - 1));
    MoveCaret(DisplayPointToBuffer(p));
    UpdateAutoScroll(x, y);
}

void TCustomSrcEdit::DragDrop(TCustomSrcEdit* source, int x, int y, TShiftState shift)
{
    if (ReadOnly() || !source || !source->HasSelection())
        return;
    WithPaintLock([&] {
        PlaceCaretAtClient(x, y);
        TBufferCoord newPos = FCaret;
        const bool self = source == this;
        bool move;
        bool dropAfter = false;
        bool drop;
        TBufferCoord bb;
        TBufferCoord be;
        if (self) {
            move = !shift.Contains(ssCtrl);
            bb = GetSelectionStart();
            be = GetSelectionEnd();
            dropAfter = newPos.LineNumber > be.LineNumber ||
                        (newPos.LineNumber == be.LineNumber &&
                         (newPos.CharIndex > be.CharIndex || (!move && newPos.CharIndex == be.CharIndex)));
            drop = dropAfter || newPos.LineNumber < bb.LineNumber ||
                   (newPos.LineNumber == bb.LineNumber &&
                    (newPos.CharIndex < bb.CharIndex || (!move && newPos.CharIndex == bb.CharIndex)));
        } else {
            // why: text is never taken out of a read-only editor; from there a drop copies.
            move = shift.Contains(ssShift) && !source->ReadOnly();
            drop = true;
        }
        if (!drop)
            return;
        WithUndoBlock([&] {
            const std::string text = source->GetSelectedText();
            if (move) {
                if (self) {
                    SetSelectedText({});
                    // why: what followed the selection on its end line now follows its start, so a
                    // drop point there moves by the same distance, also when the selection spanned
                    // lines and started after column 1.
                    if (dropAfter && newPos.LineNumber == be.LineNumber)
                        newPos.CharIndex -= be.CharIndex - bb.CharIndex;
                    if (dropAfter && be.LineNumber > bb.LineNumber)
                        newPos.LineNumber -= be.LineNumber - bb.LineNumber;
                } else {
                    source->SetSelectedText({});
                }
            }
            WithPastEolMode([&] {
                MoveCaret(newPos);
                SetSelectionStart(newPos);
                // why: the insertion records itself, with the blanks it fills in before a drop
                // beyond the line end and what trimming takes; a single record of it made
                // afterwards lost those, and undo or redo left blanks or lost text.
                SetSelectedText(text);
            });
            if (TSrcEditUndoItem* item = FUndoList->PeekItem();
                self && item && item->Reason == TSrcUndoReason::urInsert && !text.empty())
                item->Reason = TSrcUndoReason::urDragDropInsert;
            SetSelectionEnd(FCaret);
            DispatchCommand(ecSelGotoXY, 0, &newPos);
        });
    });
}

// ---- files from the desktop

void TCustomSrcEdit::HandleDropFiles(const TSrcDroppedFiles& files)
{
    if (!OnDropFiles)
        return;
    // why: names are passed whole; a fixed 260-character buffer would cut longer Linux paths
    // into names of other files.
    TStringList list;
    for (const std::string& name : files.FileNames)
        list.Add(name);
    OnDropFiles(this, files.Point.X, files.Point.Y, list);
}
