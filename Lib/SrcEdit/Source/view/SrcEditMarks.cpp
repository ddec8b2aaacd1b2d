// Gutter marks and bookmarks: the mark and its list, the editor's bookmark operations, the
// gutter click and the adjustments that keep marks on their lines.

#include "SrcEdit/Source/view/SrcEditMarks.h"

#include "SrcEdit/Source/view/SrcEdit.h"
#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <algorithm>
#include <memory>

// ---- TSrcEditMark

TSrcEditMark::TSrcEditMark(TCustomSrcEdit* editor) : FEdit(editor), FEditAlive(editor) {}

TCustomSrcEdit* TSrcEditMark::GetOwnerEditor()
{
    // why: a mark taken out of the list may outlive its editor.
    if (!FEditAlive)
        FEdit = nullptr;
    if (FEdit && !FEdit->State(TCustomSrcEdit::sfDestroying) && FEdit->MarkList().Contains(this))
        return FEdit;
    return nullptr;
}

void TSrcEditMark::RepaintGutterRow(int line)
{
    if (TCustomSrcEdit* editor = GetOwnerEditor())
        editor->InvalidateGutterRows(line, line);
}

void TSrcEditMark::SetCharIndex(int value)
{
    FChar = value;
}

void TSrcEditMark::SetMarkImage(int value)
{
    FImageIndex = value;
    if (FVisible)
        RepaintGutterRow(FLine);
}

void TSrcEditMark::SetBuiltInImageFlag(bool value)
{
    FInternalImage = value;
    if (FVisible)
        RepaintGutterRow(FLine);
}

void TSrcEditMark::SetLineNumber(int value)
{
    if (FVisible && GetOwnerEditor()) {
        if (FLine > 0)
            RepaintGutterRow(FLine);
        RepaintGutterRow(value);
    }
    FLine = value;
}

void TSrcEditMark::SetVisibleFlag(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    RepaintGutterRow(FLine);
}

// ---- TSrcEditMarkList

TSrcEditMarkList::~TSrcEditMarkList()
{
    for (TSrcEditMark* mark : FItems)
        delete mark;
}

bool TSrcEditMarkList::Contains(const TSrcEditMark* mark) const
{
    return std::find(FItems.begin(), FItems.end(), mark) != FItems.end();
}

void TSrcEditMarkList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSrcEditMarkList::AddMark(TSrcEditMark* mark)
{
    if (!mark)
        return;
    FItems.push_back(mark);
    Changed();
}

void TSrcEditMarkList::PlaceMark(TSrcEditMark* mark)
{
    if (FEdit && FEdit->OnPlaceBookmark)
        FEdit->OnPlaceBookmark(FEdit, mark);
    if (mark)
        AddMark(mark);
    Changed();
}

void TSrcEditMarkList::RemoveMark(TSrcEditMark* mark)
{
    const auto it = std::find(FItems.begin(), FItems.end(), mark);
    if (it == FItems.end())
        return;
    FItems.erase(it);
    Changed();
}

void TSrcEditMarkList::DeleteMark(int index)
{
    if (index < 0 || index >= Count())
        return;
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TSrcEditMarkList::RemoveLineMarks(int line)
{
    for (int i = Count() - 1; i >= 0; --i) {
        const TSrcEditMark* mark = FItems[static_cast<size_t>(i)];
        if (mark->Line() == line && !mark->IsBookmark())
            DeleteMark(i);
    }
}

void TSrcEditMarkList::CollectLineMarks(int line, std::array<TSrcEditMark*, 16>& marks) const
{
    marks.fill(nullptr);
    size_t n = 0;
    for (TSrcEditMark* mark : FItems) {
        if (n == marks.size())
            break;
        if (mark->Line() == line)
            marks[n++] = mark;
    }
}

void TSrcEditMarkList::ClearAll()
{
    if (FItems.empty())
        return;
    const std::vector<TSrcEditMark*> items = std::move(FItems);
    FItems.clear();
    for (TSrcEditMark* mark : items)
        delete mark;
    Changed();
}

// ---- the editor's bookmarks

TSrcEditMark* TCustomSrcEdit::Bookmark(int number) const
{
    return number >= 0 && number <= 9 ? FBookmarks[static_cast<size_t>(number)] : nullptr;
}

void TCustomSrcEdit::PlaceBookmark(int number, int charIndex, int line)
{
    if (number < 0 || number > 9 || line < 1 || line > std::max(1, LineCount()))
        return;
    auto own = std::make_unique<TSrcEditMark>(this);
    own->SetLineNumber(line);
    own->SetCharIndex(charIndex);
    own->SetMarkImage(number);
    own->SetBookmarkNumber(number);
    own->SetVisibleFlag(true);
    own->SetBuiltInImageFlag(FBookMarkOpt->BookmarkImages() == nullptr);
    TSrcEditMark* mark = own.get();
    FirePlaceBookmark(mark);
    if (mark == own.get())
        own.release();
    else
        own.reset(); // the handler dropped or replaced the editor's mark
    if (!mark)
        return;
    if (FBookmarks[static_cast<size_t>(number)])
        RemoveBookmark(number);
    mark->SetBookmarkNumber(number);
    FBookmarks[static_cast<size_t>(number)] = mark;
    FMarkList->AddMark(mark);
}

void TCustomSrcEdit::RemoveBookmark(int number)
{
    if (number < 0 || number > 9)
        return;
    TSrcEditMark* mark = FBookmarks[static_cast<size_t>(number)];
    if (!mark)
        return;
    TSrcEditMark* reported = mark;
    FireClearBookmark(reported);
    FBookmarks[static_cast<size_t>(number)] = nullptr;
    FMarkList->RemoveMark(mark);
    delete mark;
}

void TCustomSrcEdit::JumpToBookmark(int number)
{
    const TSrcEditMark* mark = Bookmark(number);
    if (!mark || mark->Line() > LineCount())
        return;
    WithPaintLock([&] {
        MoveCaretEx(false, MakeBufferCoord(mark->Char(), mark->Line()));
        ScrollCaretIntoViewEx(true);
        if (HasSelection())
            InvalidateSelectionRows();
        if (FBlockBegin != FCaret || FBlockEnd != FCaret)
            FStatusChanges.Include(scSelection);
        FBlockBegin = FCaret;
        FBlockEnd = FCaret;
    });
}

void TCustomSrcEdit::FireGutterClick(TMouseButton button, int x, int y)
{
    if (!OnGutterClick)
        return;
    const int line = RowToLine(ClientToDisplayPoint(x, y).DisplayRow);
    if (line > LineCount())
        return;
    std::array<TSrcEditMark*, 16> marks;
    FMarkList->CollectLineMarks(line, marks);
    TSrcEditMark* clicked = nullptr;
    int runningX = 0;
    for (TSrcEditMark* mark : marks) {
        if (!mark)
            continue;
        runningX += FBookMarkOpt->Xoffset();
        if (runningX > x) {
            clicked = mark;
            break;
        }
    }
    OnGutterClick(this, button, x, y, line, clicked);
}

void TCustomSrcEdit::AdjustMarksForInsertedLines(int first, int count)
{
    for (int i = 0; i < FMarkList->Count(); ++i) {
        TSrcEditMark* mark = FMarkList->GetMark(i);
        if (mark->Line() >= first)
            mark->SetLineNumber(mark->Line() + count);
    }
}

void TCustomSrcEdit::AdjustMarksForDeletedLines(int first, int count)
{
    for (int i = 0; i < FMarkList->Count(); ++i) {
        TSrcEditMark* mark = FMarkList->GetMark(i);
        if (mark->Line() >= first + count)
            mark->SetLineNumber(mark->Line() - count);
        else if (mark->Line() > first)
            mark->SetLineNumber(first);
    }
}

TSrcInternalImage& TCustomSrcEdit::InternalBookmarkImage()
{
    if (!FInternalImage)
        FInternalImage = std::make_unique<TSrcInternalImage>("SrcEditInternalImages", 10);
    return *FInternalImage;
}
