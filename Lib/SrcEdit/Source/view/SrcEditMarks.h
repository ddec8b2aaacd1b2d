#pragma once
// Gutter marks that follow the text (TSrcEditMark) and the editor's list of them
// (TSrcEditMarkList); ten of the marks can be the numbered bookmarks 0..9.

#include "Platform/core/Component.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <array>
#include <vector>

class TCustomSrcEdit;

class TSrcEditMark : public TObject {
public:
    explicit TSrcEditMark(TCustomSrcEdit* editor);

    int Line() const { return FLine; }
    int Char() const { return FChar; }
    int ImageIndex() const { return FImageIndex; }
    bool Visible() const { return FVisible; }
    bool InternalImage() const { return FInternalImage; }
    int BookmarkNumber() const { return FBookmarkNumber; }
    void SetBookmarkNumber(int number) { FBookmarkNumber = number; }

    // The owner editor while the mark is in that editor's mark list, else null. A mark outside
    // the list keeps its editor for when it is added again, and forgets it when the editor dies.
    virtual TCustomSrcEdit* GetOwnerEditor();
    virtual void SetCharIndex(int value);
    virtual void SetMarkImage(int value);
    virtual void SetLineNumber(int value);
    void SetVisibleFlag(bool value);
    void SetBuiltInImageFlag(bool value);
    bool IsBookmark() const { return FBookmarkNumber >= 0; }

private:
    void RepaintGutterRow(int line);

    int FLine = 0;
    int FChar = 0;
    int FImageIndex = 0;
    TCustomSrcEdit* FEdit;
    QPointer<QAbstractScrollArea> FEditAlive;
    bool FVisible = false;
    bool FInternalImage = false;
    int FBookmarkNumber = -1;
};

// Holds mark references. It deletes the marks it still holds when it is destroyed; a mark taken
// out of the list (Remove*, Delete*) belongs to the caller again.
class TSrcEditMarkList : public TObject {
public:
    explicit TSrcEditMarkList(TCustomSrcEdit* editor) : FEdit(editor) {}
    ~TSrcEditMarkList() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    TSrcEditMark* GetMark(int index) const { return FItems.at(static_cast<size_t>(index)); }
    bool Contains(const TSrcEditMark* mark) const;

    // The list takes the mark.
    void AddMark(TSrcEditMark* mark);
    // Asks OnPlaceBookmark first, which may replace or drop the mark.
    void PlaceMark(TSrcEditMark* mark);
    void RemoveMark(TSrcEditMark* mark);
    void DeleteMark(int index);
    // Takes every mark of Line that is not a bookmark out of the list.
    void RemoveLineMarks(int line);
    // The marks of Line in list order, at most 16; the rest of the array is null.
    void CollectLineMarks(int line, std::array<TSrcEditMark*, 16>& marks) const;
    // Deletes every mark.
    void ClearAll();

    TNotifyEvent OnChange;

private:
    void Changed();

    TCustomSrcEdit* FEdit;
    std::vector<TSrcEditMark*> FItems;
};
