#pragma once
// The path combo box's folder drop-down: a shell folder tree in a drop-down window. The classic
// style shows two levels below the desktop plus the way to the current folder; the enhanced
// style shows every folder with buttons and lines. Hovering selects, a click or Enter takes the
// folder under the mouse as the combo box's path, Escape or any other key leaves it.

#include "ShellBrowsing/Source/combo/DropDownWnd.h"
#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

class TCustomShellExplorerCombobox;
class TPopupExplorerDropDown;

enum class TComboBoxStyle { cbsClassic, cbsVETEnhanced };

class TPopupExplorerTree : public TCustomShellExplorerTree {
public:
    TPopupExplorerTree(TPopupExplorerDropDown* dropDown, QWidget* parent);

    bool BrowseTo(PCItemIDList list, bool expandTarget = true, bool selectTarget = true, bool takeFocus = false,
                  bool collapseAllFirst = false, bool expandPath = true) override;
    // Whether the enumeration offers `ns` under the drop-down's target and style.
    bool ItemShown(TNamespace* ns) const;

    // The handler of the combo box's options; the tree's own OnEnumFolder applies the filter.
    TVETEnumFolderEvent OnEnumFolderUser;

protected:
    void AssignDefaultOptions() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MousePressed(TMessage& message, const TLTHitRecord& hit) override;
    void MouseReleased(TMessage& message, const TLTHitRecord& hit) override;
    void FireExpanded(PLazyNode node) override;
    void FireCollapsed(PLazyNode node) override;

private:
    TPopupExplorerDropDown* FDropDown;
    QPoint FLastMouse{-1, -1};
};

class TPopupExplorerDropDown : public TDropDownWnd {
public:
    TPopupExplorerDropDown(TCustomShellExplorerCombobox* comboBox, QWidget* parent);
    ~TPopupExplorerDropDown() override;

    TPopupExplorerTree* Tree() const { return FTree; }
    TComboBoxStyle ComboBoxStyle() const { return FComboBoxStyle; }
    void SetComboBoxStyle(TComboBoxStyle value);
    PCItemIDList TargetPIDL() const { return FTargetPIDL; }
    // Takes a copy of `list` (nil: none).
    void SetTargetPIDL(PCItemIDList list);
    bool SelectTarget() const { return FSelectTarget; }
    void SetSelectTarget(bool value) { FSelectTarget = value; }
    TCustomShellExplorerCombobox* ComboBox() const { return FComboBox; }
    void SetOptions(TPopupOptions value) override;

    void Prepare() override;
    void RollUp(bool selected) override;
    void HandleKey(WORD key, bool& handled) override;
    void UpdateScrollbar() override;

private:
    TPopupExplorerTree* FTree;
    TComboBoxStyle FComboBoxStyle = TComboBoxStyle::cbsClassic;
    PItemIDList FTargetPIDL = nullptr;
    TCustomShellExplorerCombobox* FComboBox;
    bool FSelectTarget = false;
};

// The explorer drop-down's settings as the combo box publishes them.
class TPopupExplorerOptions : public TPopupDropDownOptions {
public:
    explicit TPopupExplorerOptions(TPopupExplorerDropDown* dropDown)
        : TPopupDropDownOptions(dropDown), FDropDown(dropDown)
    {
    }

    TComboBoxStyle ComboBoxStyle() const { return FDropDown->ComboBoxStyle(); }
    void SetComboBoxStyle(TComboBoxStyle value) { FDropDown->SetComboBoxStyle(value); }
    void SetOnEnumFolder(TVETEnumFolderEvent handler) { FDropDown->Tree()->OnEnumFolderUser = std::move(handler); }

private:
    TPopupExplorerDropDown* FDropDown;
};
