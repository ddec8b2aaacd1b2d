#include "compare/CodeEditorLines.h"

#include "compare/CodeEditor.h"

#include "Platform/core/Exceptions.h"

#include <iterator>

TLines::TLines(TCodeEdit& owner) : FOwner(owner) {}

void TLines::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("TLines.GetLineObj() - index out of bounds.");
}

std::string TLines::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Text;
}

TLineObj& TLines::GetLineObj(int index)
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Obj;
}

const TLineObj& TLines::GetLineObj(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Obj;
}

int TLines::AddObject(const std::string&, TObject*)
{
    throw EListError("TLines.AddObject - invalid method");
}

void TLines::InsertObject(int, const std::string&, TObject*)
{
    throw EListError("TLines.InsertObject - invalid method");
}

void TLines::MovePositions(int from, std::int32_t by)
{
    for (size_t i = static_cast<size_t>(from); i < FItems.size(); ++i)
        FItems[i].Obj.Position += by;
}

std::int32_t TLines::TextLength() const
{
    if (FItems.empty())
        return 0;
    const TLineObj& last = FItems.back().Obj;
    return last.Position + last.Length + 2;
}

void TLines::InsertLine(int index, const std::string& text)
{
    if (index < 0 || index > Count())
        throw EListError("TLines.GetLineObj() - index out of bounds.");
    TItem item;
    item.Text = text;
    item.Obj.Length = static_cast<std::int32_t>(text.size());
    if (index > 0) {
        const TLineObj& before = FItems[static_cast<size_t>(index - 1)].Obj;
        item.Obj.Position = before.Position + before.Length + 2;
    }
    item.Obj.Modified = true;
    item.Obj.Color = FOwner.Color();
    FItems.insert(FItems.begin() + index, std::move(item));
    MovePositions(index + 1, static_cast<std::int32_t>(text.size()) + 2);
    FModified = true;
    FOwner.LineMeasured(text);
    Changed();
}

void TLines::InsertLines(int index, const std::vector<std::string>& texts)
{
    if (index < 0 || index > Count())
        throw EListError("TLines.GetLineObj() - index out of bounds.");
    if (texts.empty())
        return;
    std::int32_t position = 0;
    if (index > 0) {
        const TLineObj& before = FItems[static_cast<size_t>(index - 1)].Obj;
        position = before.Position + before.Length + 2;
    }
    std::vector<TItem> items(texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        items[i].Text = texts[i];
        items[i].Obj.Length = static_cast<std::int32_t>(texts[i].size());
        items[i].Obj.Position = position;
        items[i].Obj.Modified = true;
        items[i].Obj.Color = FOwner.Color();
        position += items[i].Obj.Length + 2;
        FOwner.LineMeasured(texts[i]);
    }
    const std::int32_t added = position - items.front().Obj.Position;
    FItems.insert(FItems.begin() + index, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    MovePositions(index + static_cast<int>(texts.size()), added);
    FModified = true;
    Changed();
}

void TLines::DeleteLines(int index, int count)
{
    if (count <= 0)
        return;
    CheckIndex(index);
    CheckIndex(index + count - 1);
    const std::int32_t removed = FItems[static_cast<size_t>(index + count - 1)].Obj.Position +
                                 FItems[static_cast<size_t>(index + count - 1)].Obj.Length + 2 -
                                 FItems[static_cast<size_t>(index)].Obj.Position;
    FItems.erase(FItems.begin() + index, FItems.begin() + index + count);
    MovePositions(index, -removed);
    FModified = true;
    Changed();
}

void TLines::Insert(int index, const std::string& s)
{
    InsertLine(index, s);
}

void TLines::Put(int index, const std::string& s)
{
    CheckIndex(index);
    TItem& item = FItems[static_cast<size_t>(index)];
    const std::int32_t change = static_cast<std::int32_t>(s.size()) - item.Obj.Length;
    item.Text = s;
    item.Obj.Length = static_cast<std::int32_t>(s.size());
    item.Obj.Modified = true;
    MovePositions(index + 1, change);
    FModified = true;
    FOwner.LineMeasured(s);
    Changed();
}

void TLines::Delete(int index)
{
    DeleteLines(index, 1);
}

void TLines::Clear()
{
    FItems.clear();
    FItems.shrink_to_fit();
    FOwner.LinesCleared();
    Changed();
}

void TLines::Assign(const TPersistent& source)
{
    if (&source == this)
        return;
    const auto* strings = dynamic_cast<const TStrings*>(&source);
    if (!strings) {
        TStrings::Assign(source);
        return;
    }
    FOwner.ClearUndo();
    WithUpdate(*this, [&] {
        Clear();
        const auto* lines = dynamic_cast<const TLines*>(strings);
        std::vector<std::string> texts(static_cast<size_t>(strings->Count()));
        for (int i = 0; i < strings->Count(); ++i)
            texts[static_cast<size_t>(i)] = lines ? lines->LineText(i) : strings->Get(i);
        InsertLines(0, texts);
        if (lines)
            for (int i = 0; i < Count(); ++i) {
                FItems[static_cast<size_t>(i)].Obj.Color = lines->GetLineObj(i).Color;
                FItems[static_cast<size_t>(i)].Obj.LineNumber = lines->GetLineObj(i).LineNumber;
                FItems[static_cast<size_t>(i)].Obj.Place = lines->GetLineObj(i).Place;
            }
        SetModified(false);
    });
}

void TLines::AssignLines(const std::vector<std::string>& texts)
{
    FOwner.ClearUndo();
    WithUpdate(*this, [&] {
        Clear();
        InsertLines(0, texts);
        SetModified(false);
    });
}

void TLines::SetModified(bool value)
{
    FModified = value;
    for (TItem& item : FItems)
        item.Obj.Modified = value;
    FOwner.Invalidate();
}

void TLines::SetUpdateState(bool updating)
{
    FUpdating = updating;
    if (!updating)
        Changed();
}

void TLines::Changed()
{
    if (FUpdating)
        return;
    FOwner.LinesChanged();
    if (OnChange)
        OnChange(this);
}
