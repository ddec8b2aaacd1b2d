#pragma once
// The path combo box's completion drop-down: a list of the paths that complete what is typed,
// refreshed at each keystroke. Up, Down and the page keys walk the list and put the entry into
// the edit; a click or Enter takes it and goes there.

#include "ShellBrowsing/Source/combo/DropDownWnd.h"
#include "ShellBrowsing/Source/combo/ShellAutoComplete.h"

#include "TreeView/Source/strings/LazyStringTree.h"

class TCustomShellExplorerCombobox;
class TPopupAutoCompleteDropDown;

using TOnAutoCompleteUpdateList = std::function<void(TObject* Sender, const QString& CurrentEditContents,
                                                     TWideStringList& EnumList, bool& Handled)>;

class TPopupAutoCompleteTree : public TCustomLazyStringTree {
public:
    TPopupAutoCompleteTree(TPopupAutoCompleteDropDown* dropDown, QWidget* parent);

    TShellKitAutoComplete& AutoComplete() { return *FAutoComplete; }
    TWideStringList& Candidates() { return FCandidates; }
    // The candidate a node shows.
    QString NodeText(PLazyNode node) const;
    // The texts the list shows, in order.
    std::vector<QString> ShownTexts() const;

    void FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text) override;

protected:
    void MouseMove(TShiftState shift, int x, int y) override;
    void MousePressed(TMessage& message, const TLTHitRecord& hit) override;
    void MouseReleased(TMessage& message, const TLTHitRecord& hit) override;

private:
    TPopupAutoCompleteDropDown* FDropDown;
    std::unique_ptr<TShellKitAutoComplete> FAutoComplete;
    TWideStringList FCandidates;
    QPoint FLastMouse{-1, -1};
};

class TPopupAutoCompleteDropDown : public TDropDownWnd {
public:
    TPopupAutoCompleteDropDown(TCustomShellExplorerCombobox* comboBox, QWidget* parent);

    TPopupAutoCompleteTree* Tree() const { return FTree; }
    TCustomShellExplorerCombobox* ComboBox() const { return FComboBox; }

    // Fills the list with the candidates that complete `typed`.
    void UpdateList(const QString& typed);

    void Prepare() override;
    void RollUp(bool selected) override;
    void HandleKey(WORD key, bool& handled) override;
    void UpdateScrollbar() override;

    TOnAutoCompleteUpdateList OnAutoCompleteUpdateList;

private:
    TPopupAutoCompleteTree* FTree;
    TCustomShellExplorerCombobox* FComboBox;
};

// The completion drop-down's settings as the combo box publishes them.
class TPopupAutoCompleteOptions : public TPopupDropDownOptions {
public:
    explicit TPopupAutoCompleteOptions(TPopupAutoCompleteDropDown* dropDown)
        : TPopupDropDownOptions(dropDown), FDropDown(dropDown)
    {
    }

    TAutoCompleteContents Contents() const { return FDropDown->Tree()->AutoComplete().Contents(); }
    void SetContents(TAutoCompleteContents value) { FDropDown->Tree()->AutoComplete().SetContents(value); }
    void SetOnAutoCompleteUpdateList(TOnAutoCompleteUpdateList handler)
    {
        FDropDown->OnAutoCompleteUpdateList = std::move(handler);
    }

private:
    TPopupAutoCompleteDropDown* FDropDown;
};
