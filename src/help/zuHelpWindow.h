#pragma once
// The help viewer of the program: local pages in the help window (a browser of our own HTML
// with Contents, Back and Forward), web pages in the user's browser. Several pages asked for
// in one go (contents, index, then the topic) reach the user's browser as the last one only.

#include "help/zuHelpRouter.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QTextBrowser;

class THelpWindow : public QWidget {
public:
    explicit THelpWindow(QWidget* parent = nullptr);

    QTextBrowser* Browser = nullptr;
    // Shows the page; false when it is no readable local file.
    bool ShowPage(const QUrl& page);
    // Web links followed from a page.
    std::function<void(const QUrl& page)> OnExternalLink;

private:
    QUrl FHome;
};

class TProgramHelpViewer : public THelpViewer {
public:
    // `openInBrowser` opens a web page in the user's browser.
    explicit TProgramHelpViewer(std::function<void(const QUrl&)> openInBrowser);
    ~TProgramHelpViewer() override;

    bool ShowPage(const QUrl& page) override;
    void ShowPopup(const std::string& text, QPoint position) override;
    void CloseAll() override;

    THelpWindow* Window() const { return FWindow; }

private:
    std::function<void(const QUrl&)> FOpenInBrowser;
    QPointer<THelpWindow> FWindow;
    QUrl FPendingRemote;
    // Ends a pending hand-over to the browser with the viewer.
    QObject FTimerContext;
};
