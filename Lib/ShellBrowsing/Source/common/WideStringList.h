#pragma once
// TWideStringList: a sortable list of wide strings with attached objects, with the class
// library's string-list semantics, loadable from UTF-16 (with a byte-order mark) or 8-bit
// files and saved as UTF-16LE with the mark FF FE.

#include "ShellBrowsing/Source/common/ShellTexts.h"

#include "Platform/core/Component.h"
#include "Platform/text/Strings.h"

#include <QString>
#include <functional>
#include <vector>

class TStream;

class TWideStringList : public TPersistent {
public:
    using TWideStringListSortCompare = std::function<int(TWideStringList& list, int index1, int index2)>;

    TWideStringList() = default;
    ~TWideStringList() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    int Capacity() const { return FCapacity; }
    // Raises "List capacity out of bounds (%d)" below Count or above 0x7FFFFFF.
    void SetCapacity(int capacity);

    QString Get(int index) const;
    QString operator[](int index) const { return Get(index); }
    void Put(int index, const QString& text);
    TObject* GetObject(int index) const;
    void PutObject(int index, TObject* object);

    int Add(const QString& text);
    int AddObject(const QString& text, TObject* object);
    void AddStrings(const TWideStringList& strings);
    void AddStrings(const TStrings& strings);
    void Insert(int index, const QString& text);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Clear();

    // Binary search of a sorted list, without regard to case: true on a match; `index` is the
    // match (the first of equal items with dupAccept) or the insertion point.
    bool Find(const QString& text, int& index) const;
    int IndexOf(const QString& text) const;
    void Sort();
    void CustomSort(const TWideStringListSortCompare& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates = TDuplicates::dupIgnore;
    // Deleting an item frees its object.
    bool OwnsObjects = false;
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Every string followed by CR LF; setting splits at CR LF, or a single CR, LF, VT, FF,
    // U+2028 or U+2029.
    QString Text() const;
    void SetText(const QString& text);

    // From the position to the end: FF FE means UTF-16LE, FE FF UTF-16BE, else UTF-8 text.
    void LoadFromStream(TStream& stream);
    // Raises EOSError with the system's error when the file cannot be opened or read.
    void LoadFromFile(const QString& fileName);
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const QString& fileName) const;

    void Assign(const TPersistent& source) override;
    // Starts (true) or ends (false) a block of changes.
    void SetUpdateState(bool updating);

protected:
    void AssignTo(TPersistent& dest) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct TItem {
        QString Text;
        TObject* Object = nullptr;
    };
    void CheckIndex(int index, int count) const;
    void InsertItem(int index, const QString& text, TObject* object);
    void Grow();
    void QuickSort(int left, int right, const TWideStringListSortCompare& compare);
    [[noreturn]] void Error(const char* message, int data) const;

    std::vector<TItem> FItems;
    int FCapacity = 0;
    bool FSorted = false;
};
