#include "explorers/zuExplorerFiles.h"

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "Platform/controls/FilterComboBox.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"

bool FileMatchesFilterMask(const std::string& mask, const std::string& fileName)
{
    const std::string extension = LowerCase(ExtractFileExt(ExtractFileName(fileName)));
    std::size_t start = 0;
    while (start <= mask.size()) {
        const std::size_t end = std::min(mask.find(';', start), mask.size());
        std::string pattern = mask.substr(start, end - start);
        pattern.erase(0, pattern.find_first_not_of(' '));
        pattern.erase(pattern.find_last_not_of(' ') + 1);
        if (pattern == "*.*")
            return true;
        // why: a whole-pattern comparison; ".ph" is no file type of "*.php".
        if (!extension.empty() && pattern.size() > 1 && pattern[0] == '*' && LowerCase(pattern.substr(1)) == extension)
            return true;
        start = end + 1;
    }
    return false;
}

bool OpensAsDocument(TNamespace& item)
{
    return item.IsFileSystemItem() && !item.IsDirectoryAttr() && !item.IsFolderItem() && !item.IsShellLinkItem() &&
           !item.IsTemporaryAttr() && !item.IsRemovableItem() && !item.IsSharedItem();
}

std::string SelectedDocumentPath(TCustomShellExplorerTree& view)
{
    TNamespace* item = nullptr;
    PLazyNode node = view.FirstSelectedNode();
    if (!node || !view.NamespaceOfNode(node, item) || !item || !OpensAsDocument(*item))
        return {};
    return item->ParsingPath().toStdString();
}

void LinkExplorerView(TCustomShellExplorerTree& view, TFilterComboBox& filter, bool restoreUppermost,
                      const TOpenDocumentEvent& open)
{
    view.OnEnumFolder = [&filter](TCustomShellExplorerTree*, TNamespace* item, bool& allow) {
        allow = item->IsFolderItem() || FileMatchesFilterMask(filter.Mask(), item->ParsingPath().toStdString());
    };
    filter.OnChange = [&view, restoreUppermost] {
        if (view.Active())
            view.RefreshKeepingState(restoreUppermost);
    };
    view.OnShellExecute = [open](TCustomShellExplorerTree* sender, TNamespace*, QString&, QString&, bool& allow) {
        // why: a file of the IDE opens in the IDE, never in another program.
        allow = false;
        const std::string path = SelectedDocumentPath(*sender);
        if (!path.empty() && open)
            open(path);
    };
}
