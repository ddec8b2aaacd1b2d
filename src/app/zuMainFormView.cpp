// The main window's view and window commands: the syntax choice, full screen, the MDI window
// arrangements, and the status bar's clicks and hints.

#include "app/zuMainForm.h"

#include "documents/zuCodeEditorForm.h"
#include "documents/zuEditorModule.h"
#include "experts/zuSelectSyntaxForm.h"

#include "Platform/core/Application.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace {

constexpr int GotoPanelEnd = 75;
constexpr int SyntaxPanelStart = 225;
constexpr int SyntaxPanelEnd = 375;
constexpr int HintPanel = 4;

// Status bar clicks go to the main window; hints go to the fifth panel instead of replacing
// the panels.
class TStatusBarWatcher : public QObject {
public:
    explicit TStatusBarWatcher(TMainForm& form) : QObject(&form), FForm(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::StatusTip && watched == &FForm) {
            FForm.SetStatusPanel(HintPanel, static_cast<QStatusTipEvent*>(event)->tip().toStdString());
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && watched != &FForm) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const auto* widget = static_cast<QWidget*>(watched);
            const QPoint client = widget->mapTo(&FForm, mouse->position().toPoint());
            try {
                FForm.StatusBarClick(client.x());
            } catch (...) {
                HandleCurrentException();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm& FForm;
};

std::vector<QMdiSubWindow*> ShownWindows(const QMdiArea& area)
{
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder))
        if (window->isVisible() && !window->isMinimized())
            windows.push_back(window);
    return windows;
}

// Places the shown windows side by side across (`across`) or one below the other.
void Tile(QMdiArea& area, bool across)
{
    const std::vector<QMdiSubWindow*> windows = ShownWindows(area);
    if (windows.empty())
        return;
    const QRect client = area.viewport()->rect();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[static_cast<size_t>(i)];
        if (window->isMaximized())
            window->showNormal();
        if (across) {
            const int left = client.width() * i / count;
            window->setGeometry(left, 0, client.width() * (i + 1) / count - left, client.height());
        } else {
            const int top = client.height() * i / count;
            window->setGeometry(0, top, client.width(), client.height() * (i + 1) / count - top);
        }
    }
}

} // namespace

void TMainForm::StatusBarClick(int x)
{
    if (FStatusSimple)
        return;
    if (x >= 0 && x <= GotoPanelEnd)
        acGoto->Execute();
    else if (x >= SyntaxPanelStart && x <= SyntaxPanelEnd)
        acChangeSyntax->Execute();
}

void TMainForm::ChangeSyntaxExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document || !EditorModule)
        return;
    TSelectSyntaxForm dialog(EditorModule->Highlighters(), EditorModule->SQL, document->Editor(), this);
    if (ShowModal(dialog) == QDialog::Accepted)
        document->UpdateHighlighterPanel();
}

void TMainForm::FullScreenExecute()
{
    const bool on = !isFullScreen();
    if (on) {
        FMaximizedBeforeFullScreen = isMaximized();
        FBoundsBeforeFullScreen = normalGeometry();
        // why: the menu bar stays, caption and borders go; the window manager keeps them out of
        // the screen only for a full-screen window.
        showFullScreen();
    } else if (FMaximizedBeforeFullScreen) {
        showMaximized();
    } else {
        showNormal();
        if (FBoundsBeforeFullScreen.isValid())
            setGeometry(FBoundsBeforeFullScreen);
    }
    acFullScreen->SetChecked(on);
}

void TMainForm::WndTileHorzExecute()
{
    Tile(*MDIArea, false);
}

void TMainForm::WndTileVertExecute()
{
    Tile(*MDIArea, true);
}

void TMainForm::WndMinimizeAllExecute()
{
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder))
        window->showMinimized();
}

void TMainForm::WndArrangeExecute()
{
    // Minimised windows in rows along the lower edge, from the left.
    const QRect client = MDIArea->viewport()->rect();
    int x = 0;
    int row = 0;
    for (QMdiSubWindow* window : MDIArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        if (x > 0 && x + size.width() > client.width()) {
            x = 0;
            ++row;
        }
        window->move(x, client.height() - (row + 1) * size.height());
        x += size.width();
    }
}

void TMainForm::StartStatusBarWatcher()
{
    auto* watcher = new TStatusBarWatcher(*this);
    installEventFilter(watcher);
    statusBar()->installEventFilter(watcher);
    for (QWidget* panel : statusBar()->findChildren<QWidget*>())
        panel->installEventFilter(watcher);
}
