#pragma once
// TBrowserFrame: the internal browser panel in which a document runs inside the IDE. A title
// bar with the page title and a Close button, a navigation tool bar with an address box and a
// choice of fixed viewport sizes, the page under a pixel ruler, a second page with the loaded
// page's source in a read-only editor, and a status bar with the "Preview" and "Source" tabs
// and the browser's status text.
//
// The browser engine is made on first use (CreateView), so a program that never runs a page
// never starts it.

#include "run/zuBrowserView.h"

#include <QWidget>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabBar;
class QToolBar;
class TSrcEdit;

class TBrowserFrame : public QWidget {
public:
    explicit TBrowserFrame(QWidget* parent = nullptr);
    ~TBrowserFrame() override;

    // Makes the browser engine; the web engine unless a test puts its own here.
    TBrowserViewFactory CreateView;
    // The engine, made on the first call.
    TBrowserView& Browser();
    bool HasBrowser() const { return FBrowser != nullptr; }

    // Shows the page at request.URL (no cache).
    void Navigate(const TBrowserRequest& request);

    // ---- controls
    QWidget* TitlePanel = nullptr;
    QLabel* TitleLabel = nullptr;
    QPushButton* CloseButton = nullptr;
    QToolBar* ToolBar = nullptr;
    QAction* BackwardButton = nullptr;
    QAction* ForwardButton = nullptr;
    QAction* StopButton = nullptr;
    QAction* RefreshButton = nullptr;
    QLineEdit* URLEdit = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* FitToWindowItem = nullptr;
    // "1280 x 1024", "1024 x 768", "800 x 600", "640 x 480".
    QAction* SizeItems[4] = {};
    QStackedWidget* PageControl = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ExRuler1 = nullptr;
    TSrcEdit* Editor = nullptr;
    // The row below the pages: the Preview and Source tabs and the status text.
    QWidget* StatusBar = nullptr;
    QTabBar* TabBar = nullptr;
    QLabel* StatusText = nullptr;

    // The fixed viewport height in pixels; 0 while the page fits the window.
    int BrowserTag() const { return FBrowserTag; }
    // The browser's size (its widget's size once it exists).
    QSize BrowserSize() const;

    // The Close button runs this; unset, CloseButtonClick.
    std::function<void()> OnCloseButton;

    // ---- handlers
    void OnGoBack();
    void OnForward();
    void OnStop();
    void OnRefresh();
    void FitToWindowMenuClick();
    // One of the four size items (0: 1280 x 1024 ... 3: 640 x 480).
    void N1280x10241Click(int item);
    // Stops the browser and shows "about:blank".
    void CloseButtonClick();
    void TabBarTabSelected(int index);
    // Enter in the address box: navigates to its text.
    void URLEditKeyDown();
    void PageControlResize();

    void BrowserBeforeNavigate2(const std::string& url);
    void BrowserCommandStateChange();
    void BrowserTitleChange(const std::string& title);
    void BrowserStatusTextChange(const std::string& text);
    void BrowserDocumentComplete(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTitleBar();
    void BuildToolBar();
    void BuildPages();
    void BuildStatusBar();
    void ApplyViewportSize();
    // The height left to the browser below the ruler in the scroll box.
    int ScrollBoxClientHeight() const;

    std::unique_ptr<TBrowserView> FBrowser;
    QWidget* FCanvas = nullptr;
    int FBrowserTag = 0;
    int FBrowserWidth = 0;
};

// The browser height for a fixed viewport size: the item's height, or less when the scroll
// box (less the height of a horizontal scroll bar) is lower.
int ViewportHeight(int itemHeight, int scrollBoxHeight, int scrollBarHeight);
