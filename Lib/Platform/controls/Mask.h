#pragma once
// The class library's single-line edit (the masked edit's base) over QLineEdit. Its clipboard
// commands travel as WM_COPY ... WM_UNDO through the window procedure (EditClipboard.h).

#include "Platform/controls/Control.h"

#include <QLineEdit>
#include <memory>

class QMenu;

class TCustomMaskEdit : public TQtControl<QLineEdit> {
public:
    explicit TCustomMaskEdit(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomMaskEdit() override;

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool value) { setReadOnly(value); }
    // 0: no limit.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int value);
    void Clear() { clear(); }
    void SelectAll() { selectAll(); }
    std::string SelText() const;

    void CopyToClipboard() { Perform(WM_COPY); }
    void CutToClipboard() { Perform(WM_CUT); }
    void PasteFromClipboard() { Perform(WM_PASTE); }
    void ClearSelection() { Perform(WM_CLEAR); }
    void Undo() { Perform(WM_UNDO); }

    std::unique_ptr<QMenu> CreateEditMenu();

    TNotifyEvent OnChange;

protected:
    virtual void Change();
    void WndProc(TMessage& message) override;
    LRESULT NativeDialogCode() const override { return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS; }
    void ApplyText(const std::string& text) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int FMaxLength = 0;
    QMetaObject::Connection FTextConnection;
};
