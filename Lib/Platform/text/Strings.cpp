#include "Platform/text/Strings.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"
#include "Platform/files/Streams.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <numeric>

// ---- TStrings

void TStrings::Error(const char* message, int data) const
{
    throw EListError(Format(message, {data}));
}

void TStrings::Put(int index, const std::string& s)
{
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

void TStrings::AddStrings(const TStrings& strings)
{
    WithUpdate(*this, [&] {
        for (int i = 0; i < strings.Count(); ++i)
            AddObject(strings.Get(i), strings.GetObject(i));
    });
}

void TStrings::Exchange(int index1, int index2)
{
    WithUpdate(*this, [&] {
        const std::string s = Get(index1);
        TObject* o = GetObject(index1);
        Put(index1, Get(index2));
        PutObject(index1, GetObject(index2));
        Put(index2, s);
        PutObject(index2, o);
    });
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    WithUpdate(*this, [&] {
        const std::string s = Get(curIndex);
        TObject* o = GetObject(curIndex);
        Delete(curIndex);
        InsertObject(newIndex, s, o);
    });
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const
{
    return CompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string s = Get(i);
        const size_t p = s.find(NameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object)
            return i;
    return -1;
}

std::string TStrings::Names(int index) const
{
    const std::string s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

std::string TStrings::ValueFromIndex(int index) const
{
    const std::string s = Get(index);
    const size_t p = s.find(NameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValues(const std::string& name, const std::string& value)
{
    const int i = IndexOfName(name);
    if (!value.empty()) {
        const std::string item = name + NameValueSeparator + value;
        if (i < 0)
            Add(item);
        else
            Put(i, item);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::Text() const
{
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += "\r\n";
    }
    return out;
}

void TStrings::SetText(std::string_view text)
{
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    WithUpdate(*this, [&] {
        Clear();
        size_t i = 0;
        while (i < text.size()) {
            const size_t start = i;
            while (i < text.size() && text[i] != '\r' && text[i] != '\n')
                ++i;
            Add(std::string(text.substr(start, i - start)));
            if (i < text.size() && text[i] == '\r')
                ++i;
            if (i < text.size() && text[i] == '\n')
                ++i;
        }
    });
}

std::string TStrings::DelimitedText() const
{
    return JoinDelimited(Delimiter, QuoteChar);
}

void TStrings::SetDelimitedText(std::string_view text)
{
    SplitDelimited(text, Delimiter, QuoteChar);
}

std::string TStrings::CommaText() const
{
    return JoinDelimited(',', '"');
}

void TStrings::SetCommaText(std::string_view text)
{
    SplitDelimited(text, ',', '"');
}

std::string TStrings::JoinDelimited(char delimiter, char quoteChar) const
{
    if (Count() == 1 && Get(0).empty())
        return std::string(2, quoteChar);
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        const bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == quoteChar || c == delimiter;
        });
        if (quote)
            s = AnsiQuotedStr(s, quoteChar);
        if (i > 0)
            out += delimiter;
        out += s;
    }
    return out;
}

void TStrings::SplitDelimited(std::string_view text, char delimiter, char quoteChar)
{
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    WithUpdate(*this, [&] {
        Clear();
        size_t p = 0;
        while (p < text.size() && blank(text[p]))
            ++p;
        while (p < text.size()) {
            std::string s;
            if (text[p] == quoteChar) {
                s = AnsiExtractQuotedStr(text, p, quoteChar);
            } else {
                const size_t start = p;
                while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != delimiter)
                    ++p;
                s = std::string(text.substr(start, p - start));
            }
            Add(s);
            while (p < text.size() && blank(text[p]))
                ++p;
            if (p < text.size() && text[p] == delimiter) {
                if (p + 1 == text.size())
                    Add(std::string());
                do
                    ++p;
                while (p < text.size() && blank(text[p]));
            }
        }
    });
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromStream(TStream& stream)
{
    WithUpdate(*this, [&] {
        SetText(ReadToEnd(stream));
    });
}

void TStrings::SaveToStream(TStream& stream) const
{
    stream.WriteString(Text());
}

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    // why: truncating the file first would lose it to a write that then fails.
    TMemoryStream stream;
    SaveToStream(stream);
    stream.SaveToFile(fileName);
}

void TStrings::Assign(const TPersistent& source)
{
    if (auto strings = dynamic_cast<const TStrings*>(&source)) {
        if (strings == this)
            return;
        WithUpdate(*this, [&] {
            Clear();
            NameValueSeparator = strings->NameValueSeparator;
            QuoteChar = strings->QuoteChar;
            Delimiter = strings->Delimiter;
            AddStrings(*strings);
        });
        return;
    }
    TPersistent::Assign(source);
}

bool TStrings::Equals(const TStrings& other) const
{
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i))
            return false;
    return true;
}

TStringsUpdate::~TStringsUpdate()
{
    try {
        FStrings.EndUpdate();
    } catch (...) {
        HandleCurrentException();
    }
}

// ---- TStringList

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (OwnsObjects)
        for (auto& item : FItems)
            delete item.Object;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        Error("List index out of bounds (%d)", index);
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating)
        Changing();
    else
        Changed();
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::Put(int index, const std::string& s)
{
    if (Sorted())
        Error("Operation not allowed on sorted list", 0);
    CheckIndex(index);
    Changing();
    FItems[static_cast<size_t>(index)].Text = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    auto& slot = FItems[static_cast<size_t>(index)].Object;
    if (OwnsObjects && slot != object)
        delete slot;
    slot = object;
    Changed();
}

void TStringList::SetCapacity(int capacity)
{
    if (capacity < Count())
        Error("List capacity out of bounds (%d)", capacity);
    if (capacity > Capacity())
        FItems.reserve(static_cast<size_t>(capacity));
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    if (OwnsObjects)
        for (auto& item : FItems)
            delete item.Object;
    FItems.clear();
    Changed();
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    auto it = FItems.begin() + index;
    if (OwnsObjects)
        delete it->Object;
    FItems.erase(it);
    Changed();
}

void TStringList::Insert(int index, const std::string& s)
{
    if (Sorted())
        Error("Operation not allowed on sorted list", 0);
    if (index < 0 || index > Count())
        Error("List index out of bounds (%d)", index);
    InsertItem(index, s, nullptr);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object)
{
    Changing();
    FItems.insert(FItems.begin() + index, Item{s, object});
    Changed();
}

int TStringList::Add(const std::string& s)
{
    int index;
    if (!Sorted()) {
        index = Count();
    } else if (Find(s, index)) {
        switch (FDuplicates) {
        case TDuplicates::dupIgnore: return index;
        case TDuplicates::dupError: Error("String list does not allow duplicates", 0);
        case TDuplicates::dupAccept: break;
        }
    }
    InsertItem(index, s, nullptr);
    return index;
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const
{
    return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

bool TStringList::Find(const std::string& s, int& index) const
{
    bool found = false;
    int lo = 0;
    int hi = Count() - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = CompareStrings(FItems[static_cast<size_t>(mid)].Text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept)
                    lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

int TStringList::IndexOf(const std::string& s) const
{
    if (!Sorted())
        return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Sort()
{
    CustomSort([](TStringList& list, int a, int b) {
        return list.CompareStrings(list.FItems[static_cast<size_t>(a)].Text, list.FItems[static_cast<size_t>(b)].Text);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (Count() < 2)
        return;
    Changing();
    // Sort a permutation so that `compare` always sees the unmoved items; stable for equal keys.
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(FItems.size());
    for (int i : order)
        sorted.push_back(std::move(FItems[static_cast<size_t>(i)]));
    FItems = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (FSorted == value)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (FCaseSensitive == value)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}
