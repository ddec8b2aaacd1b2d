#pragma once
// TFormColumnSettings: the dialog in which the user picks which columns of an explorer list are
// shown (check boxes), in which order (drag a row onto another) and how wide the selected one is
// (pixels). It only edits its rows; the opener (TColumnSettingsSession) fills them, applies them
// to the header on OK or while Live Update is on, and puts the header back on Cancel.

#include "ShellBrowsing/Source/views/ColumnLayout.h"

#include "TreeView/Source/strings/LazyStringTree.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TCustomShellExplorerTree;

struct TColumnData {
    QString ColumnTitle;
    bool ColumnVisible = true;
    int ColumnWidth = 0;
    int HeaderIndex = 0;
};

class TFormColumnSettings : public QDialog {
public:
    explicit TFormColumnSettings(QWidget* parent = nullptr);
    ~TFormColumnSettings() override;

    // Called after each change while Live Update is checked.
    std::function<void(TFormColumnSettings*)> OnLiveUpdate;

    void AddRow(const TColumnData& row);
    // The rows in their order in the list.
    std::vector<TColumnData> Rows() const;
    TCustomLazyStringTree& VSTColumnNames() const { return *FList; }
    QLineEdit& EditPixelWidth() const { return *FEditPixelWidth; }
    QCheckBox& CheckBoxLiveUpdate() const { return *FLiveUpdate; }
    PLazyNode RowNode(int index) const;

    // Drops the row being dragged (DraggedNode) onto `target`: after it when the dragged row
    // stood before, else before it.
    void SetDraggedNode(PLazyNode node) { FDraggedNode = node; }
    void DropDraggedOn(PLazyNode target);
    // Stores the width edit's value in the focused row.
    void StoreEditedWidth();
    void RunLiveUpdate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TColumnData* RowOf(PLazyNode node) const;
    void StoreWidthIn(PLazyNode node);
    void LayOutWidthRow();

    std::unique_ptr<TCustomLazyStringTree> FList;
    std::vector<std::unique_ptr<TColumnData>> FRows;
    QLabel* FLabel1 = nullptr;
    QLabel* FLabel2 = nullptr;
    QLabel* FLabel3 = nullptr;
    QLineEdit* FEditPixelWidth = nullptr;
    QCheckBox* FLiveUpdate = nullptr;
    QFrame* FBevel = nullptr;
    QPushButton* FButtonOk = nullptr;
    QPushButton* FButtonCancel = nullptr;
    PLazyNode FDraggedNode = nullptr;
};

// The column menu's use of the dialog over one explorer tree: fills the rows from the header
// (display order, one row per caption), keeps the header as it was, applies rows live and on OK,
// and puts the header back on Cancel.
class TColumnSettingsSession {
public:
    explicit TColumnSettingsSession(TCustomShellExplorerTree& tree);
    ~TColumnSettingsSession();

    TFormColumnSettings& Dialog() { return *FDialog; }
    // Gives every row's column its row's position, visibility and width.
    void ApplyRows();
    // OK applies the rows and stores the layout; anything else restores the header.
    void Finish(bool accepted);

private:
    TCustomShellExplorerTree& FTree;
    std::unique_ptr<TFormColumnSettings> FDialog;
    // The header as it was, for Cancel.
    TColumnLayout FHeader;
};
