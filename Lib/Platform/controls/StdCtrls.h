#pragma once
// The class library's standard controls over Qt widgets: the memo (a multi-line edit), the
// combo box and the list box. Their texts and items speak the library's vocabulary (Text with
// CR LF line breaks, Lines and Items as TStrings); the memo's clipboard commands travel as
// WM_COPY ... WM_UNDO through the window procedure (EditClipboard.h).

#include "Platform/controls/Control.h"
#include "Platform/text/Strings.h"

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <memory>

class QMenu;

class TCustomMemo : public TQtScrollControl<QPlainTextEdit> {
public:
    explicit TCustomMemo(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomMemo() override;

    // The lines of the text; a line break at the very end starts no further line.
    TStrings& Lines() { return *FLines; }
    void SetLines(const TStrings& lines) { FLines->Assign(lines); }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool value) { setReadOnly(value); }
    void Clear();
    void SelectAll() { selectAll(); }
    // The selected text with CR LF line breaks.
    std::string SelText() const;

    void CopyToClipboard() { Perform(WM_COPY); }
    void CutToClipboard() { Perform(WM_CUT); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void ClearSelection() { Perform(WM_CLEAR); }
    void Undo() { Perform(WM_UNDO); }

    // The context menu with its clipboard entries routed through the window procedure.
    std::unique_ptr<QMenu> CreateEditMenu(const QPoint& pos);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void WndProc(TMessage& message) override;
    LRESULT NativeDialogCode() const override;
    void ApplyText(const std::string& text) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    std::unique_ptr<TStrings> FLines;
    QMetaObject::Connection FTextConnection;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TQtControl<QComboBox> {
public:
    explicit TCustomComboBox(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomComboBox() override;

    TStrings& Items() { return *FItems; }
    void SetItems(const TStrings& items) { FItems->Assign(items); }
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
    TComboBoxStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxStyle style);

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    LRESULT NativeDialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void ApplyText(const std::string& text) override;

private:
    std::unique_ptr<TStrings> FItems;
    TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
    QMetaObject::Connection FTextConnection;
};

// List-box messages: the items change only through them, so that a list box can watch them.
// LParam of LB_ADDSTRING and LB_INSERTSTRING points to the std::string; the result is the index.
enum : UINT {
    LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182, LB_RESETCONTENT = 0x0184,
    LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194,
};

class TCustomListBox : public TQtScrollControl<QListWidget> {
public:
    explicit TCustomListBox(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomListBox() override;

    TStrings& Items() { return *FItems; }
    void SetItems(const TStrings& items) { FItems->Assign(items); }
    int ItemIndex() const { return currentRow(); }
    void SetItemIndex(int index) { setCurrentRow(index); }

protected:
    LRESULT NativeDialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void WndProc(TMessage& message) override;
    // With a horizontal extent set, the list scrolls just that far.
    void updateGeometries() override;

private:
    std::unique_ptr<TStrings> FItems;
    int FHorizontalExtent = -1;
};
