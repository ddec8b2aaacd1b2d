#include "ShellBrowsing/Source/sort/ShellSortHelper.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

int TShellSortHelper::CompareIDSort(int column, TNamespace* ns1, TNamespace* ns2)
{
    if (!ns1->ParentShellFolder())
        return 0;
    int result = ns2->ComparePIDL(ns1->RelativePIDL(), false, column);
    if (result == 0 && column > 0)
        result = WideCompareCodePoint(ns1->DisplayNameNormal(), ns2->DisplayNameNormal());
    return result;
}

int TShellSortHelper::DiscriminateFolders(TNamespace* ns1, TNamespace* ns2)
{
    const bool folder1 = ns1->IsFolderItem();
    const bool folder2 = ns2->IsFolderItem();
    if (folder1 == folder2)
        return 0;
    return folder1 ? -1 : 1;
}

int TShellSortHelper::SortFileSize(TNamespace* ns1, TNamespace* ns2)
{
    if (const int folders = DiscriminateFolders(ns1, ns2))
        return folders;
    const std::int64_t size1 = ns1->FileSizeBytes();
    const std::int64_t size2 = ns2->FileSizeBytes();
    if (size1 != size2)
        return size1 > size2 ? 1 : -1;
    return CompareIDSort(0, ns1, ns2);
}

int TShellSortHelper::SortFileTime(FILETIME time1, FILETIME time2, TNamespace* ns1, TNamespace* ns2)
{
    if (const int folders = DiscriminateFolders(ns1, ns2))
        return folders;
    if (time1 != time2)
        return time1 < time2 ? -1 : 1;
    return CompareIDSort(0, ns1, ns2);
}

int TShellSortHelper::SortString(const QString& text1, const QString& text2, TNamespace* ns1, TNamespace* ns2)
{
    if (const int folders = DiscriminateFolders(ns1, ns2))
        return folders;
    if (const int texts = WideCompareCodePoint(text1, text2))
        return texts;
    return CompareIDSort(0, ns1, ns2);
}

int TShellSortHelper::SortType(TNamespace* ns1, TNamespace* ns2)
{
    if (FileSort == TFileSort::fsFileExtension) {
        const int folders = DiscriminateFolders(ns1, ns2);
        if (folders != 0 || !ns1->IsFileSystemItem() || !ns2->IsFileSystemItem())
            return folders;
        return SortString(ExtractFileExtW(ns1->ParsingPathForAddressBar()),
                          ExtractFileExtW(ns2->ParsingPathForAddressBar()), ns1, ns2);
    }
    return SortString(ns1->FileTypeText(), ns2->FileTypeText(), ns1, ns2);
}

int TShellSortHelper::SortColumn(int column, TNamespace* ns1, TNamespace* ns2)
{
    switch (column) {
    case 1: return SortFileSize(ns1, ns2);
    case 2: return SortType(ns1, ns2);
    case 3: return SortFileTime(ns1->ModifiedTime(), ns2->ModifiedTime(), ns1, ns2);
    case 4: return SortString(ns1->AttributesText(), ns2->AttributesText(), ns1, ns2);
    case 5: return SortFileTime(ns1->CreatedTime(), ns2->CreatedTime(), ns1, ns2);
    case 6: return SortFileTime(ns1->AccessedTime(), ns2->AccessedTime(), ns1, ns2);
    case 7: return SortString(ns1->ParsingPath(), ns2->ParsingPath(), ns1, ns2);
    case 8: return SortString(ns1->ShortFileName(), ns2->ShortFileName(), ns1, ns2);
    default: return CompareIDSort(0, ns1, ns2);
    }
}
