#pragma once
// TMDITabControl: the row of tabs above the documents, one per document window in opening
// order. Choosing a tab activates its document; a middle-button click closes it. The control
// is visible exactly while it holds a tab.

#include "Platform/controls/Control.h"

#include <QTabBar>

#include <string>
#include <string_view>

class QMdiSubWindow;

// The part after the last "/" (the whole text when there is none).
std::string FileNameOf(std::string_view caption);

class TMDITabControl : public TQtControl<QTabBar> {
public:
    explicit TMDITabControl(TComponent* AOwner, QWidget* parent = nullptr);

    // Appends and selects a tab for a window that has none.
    void AddForm(QMdiSubWindow* form);
    void RemoveForm(QMdiSubWindow* form);
    void SelectForm(QMdiSubWindow* form);
    // The tab text follows the window's caption.
    void UpdateCaption(QMdiSubWindow* form);

    int TabCount() const { return count(); }
    QMdiSubWindow* Forms(int index) const;
    int IndexOfForm(const QMdiSubWindow* form) const;
    std::string TabText(int index) const;

    // After the user has chosen a tab and its document is active.
    TNotifyEvent OnChange;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    void TabChanged(int index);
    static void Activate(QMdiSubWindow* form);

    // Set while the program itself changes the selection.
    bool FSelecting = false;
};
