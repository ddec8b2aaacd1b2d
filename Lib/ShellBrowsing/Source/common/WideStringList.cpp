#include "ShellBrowsing/Source/common/WideStringList.h"

#include "ShellBrowsing/Source/common/WideFileStream.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <cerrno>

TWideStringList::~TWideStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    Clear();
}

void TWideStringList::Error(const char* message, int data) const
{
    throw EStringListError(Format(message, {data}));
}

void TWideStringList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        Error("List index out of bounds (%d)", index);
}

void TWideStringList::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TWideStringList::Changing()
{
    if (OnChanging)
        OnChanging(this);
}

void TWideStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

void TWideStringList::SetCapacity(int capacity)
{
    if (capacity < Count() || capacity > 0x7FFFFFF)
        Error("List capacity out of bounds (%d)", capacity);
    FCapacity = capacity;
    FItems.reserve(static_cast<std::size_t>(capacity));
}

void TWideStringList::Grow()
{
    const int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
    SetCapacity(FCapacity + delta);
}

QString TWideStringList::Get(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].Text;
}

void TWideStringList::Put(int index, const QString& text)
{
    if (FSorted)
        Error("Operation not allowed on sorted list", 0);
    CheckIndex(index, Count());
    Changing();
    FItems[static_cast<std::size_t>(index)].Text = text;
    Changed();
}

TObject* TWideStringList::GetObject(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)].Object;
}

void TWideStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index, Count());
    Changing();
    FItems[static_cast<std::size_t>(index)].Object = object;
    Changed();
}

int TWideStringList::Add(const QString& text)
{
    return AddObject(text, nullptr);
}

int TWideStringList::AddObject(const QString& text, TObject* object)
{
    int index = Count();
    if (FSorted && Find(text, index)) {
        if (Duplicates == TDuplicates::dupIgnore)
            return index;
        if (Duplicates == TDuplicates::dupError)
            Error("String list does not allow duplicates", 0);
    }
    InsertItem(index, text, object);
    return index;
}

void TWideStringList::AddStrings(const TWideStringList& strings)
{
    SetUpdateState(true);
    for (const TItem& item : std::vector<TItem>(strings.FItems))
        AddObject(item.Text, item.Object);
    SetUpdateState(false);
}

void TWideStringList::AddStrings(const TStrings& strings)
{
    SetUpdateState(true);
    for (int i = 0; i < strings.Count(); ++i)
        AddObject(QStr(strings.Get(i)), strings.GetObject(i));
    SetUpdateState(false);
}

void TWideStringList::Insert(int index, const QString& text)
{
    if (FSorted)
        Error("Operation not allowed on sorted list", 0);
    CheckIndex(index, Count() + 1);
    InsertItem(index, text, nullptr);
}

void TWideStringList::InsertItem(int index, const QString& text, TObject* object)
{
    Changing();
    if (Count() == FCapacity)
        Grow();
    FItems.insert(FItems.begin() + index, TItem{text, object});
    Changed();
}

void TWideStringList::Delete(int index)
{
    CheckIndex(index, Count());
    Changing();
    TItem& item = FItems[static_cast<std::size_t>(index)];
    if (OwnsObjects && item.Object) {
        TObject* object = item.Object;
        item.Object = nullptr;
        delete object;
    }
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TWideStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    Changing();
    std::swap(FItems[static_cast<std::size_t>(index1)], FItems[static_cast<std::size_t>(index2)]);
    Changed();
}

void TWideStringList::Clear()
{
    if (FItems.empty() && FCapacity == 0)
        return;
    while (!FItems.empty())
        Delete(0);
    FCapacity = 0;
}

bool TWideStringList::Find(const QString& text, int& index) const
{
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        const int c = WideCompareText(FItems[static_cast<std::size_t>(mid)].Text, text);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (Duplicates != TDuplicates::dupAccept)
                    low = mid;
            }
        }
    }
    index = low;
    return found;
}

int TWideStringList::IndexOf(const QString& text) const
{
    if (FSorted) {
        int index = -1;
        return Find(text, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (WideCompareText(FItems[static_cast<std::size_t>(i)].Text, text) == 0)
            return i;
    return -1;
}

void TWideStringList::Sort()
{
    CustomSort([](TWideStringList& list, int a, int b) { return WideCompareText(list.Get(a), list.Get(b)); });
}

void TWideStringList::CustomSort(const TWideStringListSortCompare& compare)
{
    if (FSorted || Count() < 2)
        return;
    Changing();
    QuickSort(0, Count() - 1, compare);
    Changed();
}

void TWideStringList::QuickSort(int left, int right, const TWideStringListSortCompare& compare)
{
    while (left < right) {
        int i = left;
        int j = right;
        int pivot = (left + right) / 2;
        while (i <= j) {
            while (compare(*this, i, pivot) < 0)
                ++i;
            while (compare(*this, j, pivot) > 0)
                --j;
            if (i <= j) {
                std::swap(FItems[static_cast<std::size_t>(i)], FItems[static_cast<std::size_t>(j)]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        }
        if (left < j)
            QuickSort(left, j, compare);
        left = i;
    }
}

void TWideStringList::SetSorted(bool value)
{
    if (FSorted == value)
        return;
    if (value)
        Sort();
    FSorted = value;
}

QString TWideStringList::Text() const
{
    QString text;
    for (const TItem& item : FItems)
        text += item.Text + QStringLiteral("\r\n");
    return text;
}

void TWideStringList::SetText(const QString& text)
{
    SetUpdateState(true);
    Clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\r' && c != u'\n' && c != 0x0B && c != 0x0C && c != 0x2028 && c != 0x2029)
            continue;
        Add(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        Add(text.mid(start));
    SetUpdateState(false);
}

void TWideStringList::LoadFromStream(TStream& stream)
{
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size() - stream.Position())), '\0');
    bytes.resize(static_cast<std::size_t>(stream.Read(bytes.data(), static_cast<std::int64_t>(bytes.size()))));
    QString text;
    const auto unit = [&](std::size_t i, bool bigEndian) {
        const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        return QChar(static_cast<char16_t>(lo | (hi << 8)));
    };
    const bool little = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool big = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
    if (little || big) {
        text.reserve(static_cast<qsizetype>(bytes.size() / 2));
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += unit(i, big);
    } else {
        text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    SetText(text);
}

void TWideStringList::LoadFromFile(const QString& fileName)
{
    try {
        TWideFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
        LoadFromStream(stream);
    } catch (const EStreamError&) {
        RaiseLastOSError(errno ? errno : EIO);
    }
}

void TWideStringList::SaveToStream(TStream& stream) const
{
    const QString text = Text();
    std::string bytes("\xFF\xFE", 2);
    bytes.reserve(2 + static_cast<std::size_t>(text.size()) * 2);
    for (QChar c : text) {
        bytes += static_cast<char>(c.unicode() & 0xFF);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    stream.WriteString(bytes);
}

void TWideStringList::SaveToFile(const QString& fileName) const
{
    TWideFileStream stream(fileName, 0xFFFF);
    SaveToStream(stream);
}

void TWideStringList::Assign(const TPersistent& source)
{
    if (const auto* wide = dynamic_cast<const TWideStringList*>(&source)) {
        if (wide == this)
            return;
        SetUpdateState(true);
        Clear();
        AddStrings(*wide);
        SetUpdateState(false);
        return;
    }
    if (const auto* strings = dynamic_cast<const TStrings*>(&source)) {
        SetUpdateState(true);
        Clear();
        AddStrings(*strings);
        SetUpdateState(false);
        return;
    }
    TPersistent::Assign(source);
}

void TWideStringList::AssignTo(TPersistent& dest) const
{
    if (auto* wide = dynamic_cast<TWideStringList*>(&dest)) {
        wide->Assign(*this);
        return;
    }
    if (auto* strings = dynamic_cast<TStrings*>(&dest)) {
        WithUpdate(*strings, [&] {
            strings->Clear();
            for (const TItem& item : FItems)
                strings->AddObject(StdStr(item.Text), item.Object);
        });
        return;
    }
    TPersistent::AssignTo(dest);
}
