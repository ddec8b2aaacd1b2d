#pragma once
// The file explorer: a path combo box on top, a folder tree below it, the files of the folder
// selected in it below that, and a filter drop-down at the bottom that limits the list to the file types the editor knows. A
// double-click on a file opens it as a document. The folder shown is remembered in
// [Application] LastPath and shown again at the next start.

#include "explorers/zuExplorerFiles.h"
#include "windows/zuToolWindowForm.h"

#include <string>

class QSplitter;
class TFilterComboBox;
class TIniFileEx;
class TShellExplorerCombobox;
class TShellExplorerListview;
class TShellExplorerTreeview;

class TFileExplorerForm : public TToolWindowForm {
public:
    // `settings` is the main settings file (null: no folder is remembered); `open` opens a
    // file as a document.
    TFileExplorerForm(TExDockBasicStyle* style, TIniFileEx* settings, TOpenDocumentEvent open);
    // Writes the folder shown to [Application] LastPath.
    ~TFileExplorerForm() override;

    // The editor's file filters ("Description|mask|..."); the list follows the first of them.
    void SetFileFilter(const std::string& filter);
    // The folder the list shows ("" for none).
    std::string ShownFolder() const;
    // Shows `folder` in the tree and the list; false when it is no folder.
    bool ShowFolder(const std::string& folder);
    // Opens the list's first selected file as a document.
    void LocalListViewDblClick();

    // Shows the list's folder; a path typed into it (Enter) or picked from its drop-down tree is
    // shown by the list and the tree.
    TShellExplorerCombobox* PathCombo;
    TShellExplorerTreeview* LocalTreeView;
    QSplitter* Splitter;
    TShellExplorerListview* LocalListView;
    TFilterComboBox* FilterEdit;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    // The combo box follows the folder the list shows.
    void ListRootChanged();

    TIniFileEx* FSettings;
    TOpenDocumentEvent FOpen;
};
