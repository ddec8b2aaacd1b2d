#pragma once
// TShellSortHelper: the comparison with which an explorer sorts the items of one folder by name,
// size, time, text or type, folders always ahead of files, and the folder's own order as the
// tie-break. Results are negative, 0 or positive; the explorer may reverse the sign.

#include "Platform/core/Component.h"
#include "Platform/core/DateTime.h"

#include <QString>
#include <cstdint>

class TNamespace;

enum class TFileSort : std::uint8_t { fsFileType = 0, fsFileExtension = 1 };

class TShellSortHelper : public TObject {
public:
    TFileSort FileSort = TFileSort::fsFileType;

    // The folder's order by column; for a column above 0 an equal answer falls back to the
    // display names in code-point order. 0 when the first item has no parent folder.
    virtual int CompareIDSort(int column, TNamespace* ns1, TNamespace* ns2);
    // -1 when only the first is a folder, 1 when only the second is, else 0.
    virtual int DiscriminateFolders(TNamespace* ns1, TNamespace* ns2);
    virtual int SortFileSize(TNamespace* ns1, TNamespace* ns2);
    virtual int SortFileTime(FILETIME time1, FILETIME time2, TNamespace* ns1, TNamespace* ns2);
    virtual int SortString(const QString& text1, const QString& text2, TNamespace* ns1, TNamespace* ns2);
    // By type name, or by extension with fsFileExtension.
    virtual int SortType(TNamespace* ns1, TNamespace* ns2);

    // The explorer's choice by column: 0 name, 1 size, 2 type, 3 modified, 4 attributes,
    // 5 created, 6 accessed, 7 path, 8 DOS name; a negative column sorts by name.
    int SortColumn(int column, TNamespace* ns1, TNamespace* ns2);
};
