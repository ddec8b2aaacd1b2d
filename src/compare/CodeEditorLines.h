#pragma once
// The line store of the compare text view: every line carries its place in the whole text, a
// modified mark, a background colour and a margin number. Offsets count each line's bytes and 2
// for every line break, as the text joined with CR LF has them.

#include "Platform/graphics/Colors.h"
#include "Platform/text/Strings.h"

#include <cstdint>
#include <string>
#include <vector>

class TCodeEdit;

struct TLineObj {
    // Bytes in the line.
    std::int32_t Length = 0;
    // Offset of the line's first byte in the whole text.
    std::int32_t Position = 0;
    // Typed in or replaced since the store was last marked as not modified.
    bool Modified = false;
    TColor Color = clWindow;
    // The number the owner shows in the margin (0: none).
    std::int32_t LineNumber = 0;
    // For the owner: how many lines of its file come before this row when it laid the row out
    // (-1: a row made by editing).
    std::int32_t Place = -1;
};

class TLines : public TStrings {
public:
    explicit TLines(TCodeEdit& owner);

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    // Replaces a line's text; the line and the store become modified.
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    // From another TLines: the lines with their colours and margin numbers; from any other
    // string list, the text. The undo list is emptied and nothing is modified afterwards.
    void Assign(const TPersistent& source) override;
    // The same for lines of text.
    void AssignLines(const std::vector<std::string>& texts);

    // A new line at `index` in the control's colour, marked modified.
    void InsertLine(int index, const std::string& text);
    // Several new lines at once, and several lines removed at once.
    void InsertLines(int index, const std::vector<std::string>& texts);
    void DeleteLines(int index, int count);
    // EListError "TLines.GetLineObj() - index out of bounds." outside 0..Count-1.
    TLineObj& GetLineObj(int index);
    const TLineObj& GetLineObj(int index) const;
    const std::string& LineText(int index) const { return FItems[static_cast<size_t>(index)].Text; }

    // Lines carry their own objects; these string-list methods cannot be used here.
    [[noreturn]] int AddObject(const std::string& s, TObject* object);
    [[noreturn]] void InsertObject(int index, const std::string& s, TObject* object);

    bool Modified() const { return FModified; }
    // Also sets every line's mark.
    void SetModified(bool value);
    bool Updating() const { return FUpdating; }
    // Offset just past the last line break (the length of the whole text).
    std::int32_t TextLength() const;

    // After every change outside a batch update, once the control has caught up.
    TNotifyEvent OnChange;

protected:
    void SetUpdateState(bool updating) override;

private:
    struct TItem {
        std::string Text;
        TLineObj Obj;
    };
    void MovePositions(int from, std::int32_t by);
    void Changed();
    void CheckIndex(int index) const;

    TCodeEdit& FOwner;
    std::vector<TItem> FItems;
    bool FModified = false;
    bool FUpdating = false;
};
