#include "ExLib/run/lists/ExItemsSearchs.h"

#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/core/QtBridge.h"

namespace {

template <class Match>
int Search(const TStrings& items, int startIndex, Match&& match)
{
    const int count = items.Count();
    if (count == 0)
        return -1;
    // A start outside the list begins the walk at item 0 and still examines every item once.
    const int start = startIndex >= 0 && startIndex < count ? startIndex : count - 1;
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        if (match(items.Get(index)))
            return index;
    }
    return -1;
}

} // namespace

int TExItemsSearchs::FindExact(const TStrings& items, const std::string& value, int startIndex, bool caseSensitive)
{
    return Search(items, startIndex, [&](const std::string& item) {
        return caseSensitive ? item == value : SameTextIgnoringCase(item, value);
    });
}

int TExItemsSearchs::FindPrefix(const TStrings& items, const std::string& value, int startIndex, bool caseSensitive)
{
    if (value.empty())
        return -1;
    const QString wanted = caseSensitive ? QStr(value) : QStr(value).toUpper();
    return Search(items, startIndex, [&](const std::string& item) {
        const QString text = caseSensitive ? QStr(item) : QStr(item).toUpper();
        return text.startsWith(wanted);
    });
}
