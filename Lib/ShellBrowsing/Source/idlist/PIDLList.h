#pragma once
// TPIDLList: a list of item identifier lists that it owns (unless SharePIDLs is set, when their
// ownership has passed elsewhere), with its own stream form: a 32-bit item count followed by one
// identifier-list record per item.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include <memory>
#include <vector>

class TPIDLList : public TObject {
public:
    TPIDLList() = default;
    ~TPIDLList() override;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" for an index outside the list.
    PItemIDList Items(int index) const;
    PItemIDList operator[](int index) const { return Items(index); }
    int Add(PItemIDList list);
    void Insert(int index, PItemIDList list);
    // Appends a copy of the list.
    int CopyAdd(PCItemIDList list);
    // Removes the entry without freeing its list.
    void Delete(int index);
    // Removes the entry and hands its list to the caller.
    PItemIDList Extract(int index);
    int IndexOf(PCItemIDList list) const;
    // Frees every list (unless SharePIDLs) and empties the list.
    virtual void Clear();

    bool SharePIDLs = false;
    TPIDLManager& PIDLManager();

    // Appends the lists of the stream (the list is not emptied first); false after any error,
    // with the lists read before it kept.
    virtual bool LoadFromStream(TStream* stream);
    virtual bool SaveToStream(TStream* stream);

private:
    void CheckIndex(int index, int count) const;
    std::vector<PItemIDList> FItems;
    std::unique_ptr<TPIDLManager> FPIDLManager;
};
