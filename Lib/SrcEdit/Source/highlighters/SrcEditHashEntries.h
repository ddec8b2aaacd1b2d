#pragma once
// The keyword hash list of the highlighters with long keyword lists: slots indexed by a hash
// value, each holding a chain of keywords ordered by length, and the enumeration that splits a
// keyword text into words.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One keyword with the token kind a highlighter gives it; the head of the rest of its chain.
class TSrcHashEntry {
public:
    TSrcHashEntry(std::string keyword, int kind);
    // Destroys the rest of the chain too.
    virtual ~TSrcHashEntry();
    TSrcHashEntry(const TSrcHashEntry&) = delete;
    TSrcHashEntry& operator=(const TSrcHashEntry&) = delete;

    const TSrcHashEntry* Next() const { return FNext.get(); }
    int Length() const { return FLength; }
    const std::string& Keyword() const { return FKeyword; }
    int Kind() const { return FKind; }

    // Inserts `entry` into the chain held by `head` behind every entry that is not longer.
    // invariant: a chain is ordered by length, equal lengths in the order added, and holds no two
    // keywords equal without regard to ASCII case; a duplicate raises ESrcEditError
    // "Keyword \"%s\" already in list" naming the entry already there, and the chain stays as it was.
    static void AddEntry(std::unique_ptr<TSrcHashEntry>& head, std::unique_ptr<TSrcHashEntry> entry);

private:
    std::unique_ptr<TSrcHashEntry> FNext;
    int FLength;
    std::string FKeyword;
    int FKind;
};

class TSrcHashEntryList {
public:
    TSrcHashEntryList() = default;
    TSrcHashEntryList(const TSrcHashEntryList&) = delete;
    TSrcHashEntryList& operator=(const TSrcHashEntryList&) = delete;

    int Count() const { return static_cast<int>(FSlots.size()); }
    // Grows the list to hash + 1 slots when needed and inserts the entry into the chain of that
    // slot. `hash` must not be negative (EAssertionFailed).
    void Add(int hash, std::unique_ptr<TSrcHashEntry> entry);
    // The head of the chain of a slot; null outside the slots.
    const TSrcHashEntry* Get(int index) const;
    void Clear();

private:
    std::vector<std::unique_ptr<TSrcHashEntry>> FSlots;
};

using TSrcKeywordCallback = std::function<void(const std::string& word, int kind)>;

// Calls `callback(word, kind)` for every maximal run of `identifierChars` in `keywords`, in
// order; every other byte separates words.
void EnumerateKeywords(int kind, std::string_view keywords, const TSrcCharSet& identifierChars,
                       const TSrcKeywordCallback& callback);
