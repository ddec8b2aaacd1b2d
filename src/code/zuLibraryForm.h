#pragma once
// TLibraryForm: the dockable "Code Library", a read-only reference tree of PHP functions, HTML
// elements and attributes, CSS properties and JavaScript objects and members, one library at a
// time as chosen in the list above the tree. A double-click on an entry inserts its snippet
// into the active document with the caret inside it.

#include "code/zuCodeLibrary.h"
#include "windows/zuToolWindowForm.h"

#include "TreeView/Source/strings/LazyStringTree.h"

#include <string>
#include <vector>

class TCustomImageList;
class TExComboBox;

class TLibraryForm : public TToolWindowForm {
public:
    // The data files are read from `dataFolder` (with its trailing separator).
    TLibraryForm(TExDockBasicStyle* style, std::string dataFolder);
    ~TLibraryForm() override;

    TExComboBox* cmbxLibrary = nullptr;
    TLazyStringTree* LibraryTree = nullptr;
    TCustomImageList* ImageList1 = nullptr;

    // Shows the library of the list's index; a library whose file is missing leaves the tree as
    // it was. A damaged file raises after the tree was left as it was.
    void LoadLibrary(int index);
    // The entry of a node; null for none.
    const TLibraryEntry* NodeEntry(PLazyNode node) const;
    // The focused entry's snippet into the active document; nothing without either.
    void InsertFocusedEntry();

private:
    void CreateTree();

    std::string FDataFolder;
    // invariant: the tree's nodes point into these entries; they change only with the nodes.
    std::vector<TLibraryEntry> FEntries;
};
