#pragma once
// The two panes of a file browser: TShellExplorerTreeview, a folder tree, and
// TShellExplorerListview, the items of one folder with detail columns. Linked through
// SetShellExplorerListview / SetShellExplorerTreeview, selecting a folder in the tree makes
// the list show it, and browsing in the list selects the folder in the tree.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

class TShellExplorerListview;

class TShellExplorerTreeview : public TCustomShellExplorerTree {
public:
    explicit TShellExplorerTreeview(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TShellExplorerTreeview() override;

    TShellExplorerListview* ShellExplorerListview() const { return FListview; }
    void SetShellExplorerListview(TShellExplorerListview* value);
    // The path combo box this view follows (nil: none).
    QObject* ExplorerComboBox() const { return FComboBox; }
    void SetExplorerComboBox(QObject* value);

protected:
    void AssignDefaultOptions() override;

private:
    TShellExplorerListview* FListview = nullptr;
    QObject* FComboBox = nullptr;
};

class TShellExplorerListview : public TCustomShellExplorerTree {
public:
    explicit TShellExplorerListview(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TShellExplorerListview() override;

    TShellExplorerTreeview* ShellExplorerTreeview() const { return FTreeview; }
    void SetShellExplorerTreeview(TShellExplorerTreeview* value);
    // The path combo box this view follows (nil: none).
    QObject* ExplorerComboBox() const { return FComboBox; }
    void SetExplorerComboBox(QObject* value);
    // The root that the list may not browse above (with toListviewLimitBrowseToRoot).
    TNamespace* BrowseLimitRoot() const { return FBrowseLimitRoot.get(); }
    void SetBrowseLimitRoot();

    bool BrowseTo(PCItemIDList list, bool expandTarget = true, bool selectTarget = true, bool takeFocus = false,
                  bool collapseAllFirst = false, bool expandPath = true) override;
    bool BrowseAllowed(PCItemIDList list) override;
    // Shows the parent of the folder shown (Backspace); false at the desktop or the limit.
    bool BrowseUp();
    void RebuildTree() override;
    void RefreshNodeChildren(PLazyNode node, bool sortAfterwards) override;
    void ExecuteNode(PLazyNode node) override;
    bool PasteFromClipboard() override;
    void PasteIntoSelection(bool all) override;
    void DispatchChangeLink() override;
    void ChangeLinkDispatch(QObject* server, PCItemIDList list) override;

protected:
    void AssignDefaultOptions() override;
    bool FireKeyAction(WORD& charCode, TShiftState& shift) override;
    TCustomImageList* FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column, bool& ghosted,
                                        int& index) override;

private:
    TShellExplorerTreeview* FTreeview = nullptr;
    QObject* FComboBox = nullptr;
    std::unique_ptr<TNamespace> FBrowseLimitRoot;
    // Set while the list browses: the root it then shows is no new limit.
    bool FBrowsingRoot = false;
};
