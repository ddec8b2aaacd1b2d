#pragma once
// The class library's string lists: TStrings, an abstract indexed list of 8-bit strings with
// object slots, and TStringList, its stored implementation with sorting and duplicates.

#include "Platform/core/Component.h"

#include <functional>
#include <string>
#include <vector>

class TStream;

class TStrings : public TPersistent {
public:
    // Storage operations; descendants override them.
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual int Capacity() const { return Count(); }
    virtual void SetCapacity(int) {}
    virtual void Clear() = 0;
    virtual void Delete(int index) = 0;
    virtual void Insert(int index, const std::string& s) = 0;

    virtual int Add(const std::string& s);
    int AddObject(const std::string& s, TObject* object);
    void Append(const std::string& s) { Add(s); }
    void InsertObject(int index, const std::string& s, TObject* object);
    virtual void AddStrings(const TStrings& strings);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);

    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    void SetStrings(int index, const std::string& s) { Put(index, s); }
    TObject* Objects(int index) const { return GetObject(index); }
    void SetObjects(int index, TObject* object) { PutObject(index, object); }

    // Case-insensitive in TStrings; TStringList follows its CaseSensitive flag.
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;

    // "name=value" items.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // An empty value deletes the item.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;
    char NameValueSeparator = '=';

    // Every item followed by CR LF. Writing splits at CR LF, lone CR or lone LF and ends at NUL.
    virtual std::string Text() const;
    virtual void SetText(std::string_view text);
    // Items separated by `Delimiter`; items with blanks, quotes or the delimiter are quoted.
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view text);
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    char Delimiter = ',';
    char QuoteChar = '"';

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    virtual void LoadFromStream(TStream& stream);
    virtual void SaveToStream(TStream& stream) const;
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName) const;

    void Assign(const TPersistent& source) override;
    bool Equals(const TStrings& other) const;

protected:
    // Called with true when the first BeginUpdate opens and false when the last EndUpdate closes.
    virtual void SetUpdateState(bool) {}
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    [[noreturn]] void Error(const char* message, int data) const;

private:
    std::string JoinDelimited(char delimiter, char quoteChar) const;
    void SplitDelimited(std::string_view text, char delimiter, char quoteChar);

    int FUpdateCount = 0;
};

// Runs `change` between BeginUpdate and EndUpdate of `strings`. EndUpdate runs also when
// `change` throws; an exception of EndUpdate itself (a change handler) reaches the caller.
template <class F>
void WithUpdate(TStrings& strings, F&& change)
{
    strings.BeginUpdate();
    try {
        change();
    } catch (...) {
        strings.EndUpdate();
        throw;
    }
    strings.EndUpdate();
}

// Brackets a block of changes in BeginUpdate/EndUpdate, closing also when an exception leaves it.
// A change handler that throws when the bracket closes is reported to the application's
// handler, since a destructor must not throw.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& strings) : FStrings(strings) { FStrings.BeginUpdate(); }
    ~TStringsUpdate();
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& FStrings;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    using TStringListSortCompare = std::function<int(TStringList& list, int index1, int index2)>;

    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Capacity() const override { return static_cast<int>(FItems.capacity()); }
    void SetCapacity(int capacity) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void Exchange(int index1, int index2) override;
    int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true when found; `index` is the match or the insert point.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    // When set, the list deletes the objects of its items when they are removed.
    bool OwnsObjects = false;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool updating) override;
    int CompareStrings(const std::string& a, const std::string& b) const override;
    virtual void InsertItem(int index, const std::string& s, TObject* object);

private:
    struct Item {
        std::string Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int index) const;

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};
