// The keyword hash list and the keyword enumeration.

#include "SrcEdit/Source/highlighters/SrcEditHashEntries.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

TSrcHashEntry::TSrcHashEntry(std::string keyword, int kind)
    : FLength(static_cast<int>(keyword.size())), FKeyword(std::move(keyword)), FKind(kind)
{
}

TSrcHashEntry::~TSrcHashEntry()
{
    // why: unlink the chain one entry at a time so that a long chain does not recurse deeply
    std::unique_ptr<TSrcHashEntry> rest = std::move(FNext);
    while (rest)
        rest = std::move(rest->FNext);
}

void TSrcHashEntry::AddEntry(std::unique_ptr<TSrcHashEntry>& head, std::unique_ptr<TSrcHashEntry> entry)
{
    if (!entry)
        return;
    std::unique_ptr<TSrcHashEntry>* link = &head;
    while (*link) {
        TSrcHashEntry& e = **link;
        // invariant: a duplicate has the length of the entry it repeats, so it is met here
        // before a longer entry can take the new one in front of it
        if (SameText(entry->FKeyword, e.FKeyword))
            throw ESrcEditError(Format("Keyword \"%s\" already in list", {e.FKeyword}));
        if (entry->FLength < e.FLength)
            break;
        link = &e.FNext;
    }
    entry->FNext = std::move(*link);
    *link = std::move(entry);
}

void TSrcHashEntryList::Add(int hash, std::unique_ptr<TSrcHashEntry> entry)
{
    if (hash < 0)
        throw EAssertionFailed(Format("Invalid hash value %d", {hash}));
    if (static_cast<size_t>(hash) >= FSlots.size())
        FSlots.resize(static_cast<size_t>(hash) + 1);
    TSrcHashEntry::AddEntry(FSlots[static_cast<size_t>(hash)], std::move(entry));
}

const TSrcHashEntry* TSrcHashEntryList::Get(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= FSlots.size())
        return nullptr;
    return FSlots[static_cast<size_t>(index)].get();
}

void TSrcHashEntryList::Clear()
{
    FSlots.clear();
}

void EnumerateKeywords(int kind, std::string_view keywords, const TSrcCharSet& identifierChars,
                       const TSrcKeywordCallback& callback)
{
    if (!callback)
        return;
    size_t i = 0;
    while (i < keywords.size()) {
        while (i < keywords.size() && !identifierChars.test(static_cast<unsigned char>(keywords[i])))
            ++i;
        if (i >= keywords.size())
            return;
        const size_t start = i;
        while (i < keywords.size() && identifierChars.test(static_cast<unsigned char>(keywords[i])))
            ++i;
        callback(std::string(keywords.substr(start, i - start)), kind);
    }
}
