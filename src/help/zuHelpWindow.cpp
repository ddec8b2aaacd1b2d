#include "help/zuHelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Zentu Help"));
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("HelpBrowser"));
    Browser->setOpenLinks(false);
    connect(Browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (link.isLocalFile() || link.isRelative())
            Browser->setSource(Browser->source().resolved(link));
        else if (OnExternalLink)
            OnExternalLink(link);
    });
    connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = Browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Zentu Help") : title);
    });

    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    auto* forward = new QPushButton(QStringLiteral("&Forward"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] {
        if (FHome.isValid())
            Browser->setSource(FHome);
    });
    connect(back, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    connect(Browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Browser, 1);
    resize(720, 560);
}

bool THelpWindow::ShowPage(const QUrl& page)
{
    if (!page.isLocalFile() || !QFileInfo(page.toLocalFile()).isFile())
        return false;
    // why: the contents of the book shown first is where "Contents" goes back to.
    if (!FHome.isValid() || page.fileName() == QStringLiteral("index.html"))
        FHome = page;
    Browser->setSource(page);
    return true;
}

TProgramHelpViewer::TProgramHelpViewer(std::function<void(const QUrl&)> openInBrowser)
    : FOpenInBrowser(std::move(openInBrowser))
{
}

TProgramHelpViewer::~TProgramHelpViewer()
{
    CloseAll();
}

bool TProgramHelpViewer::ShowPage(const QUrl& page)
{
    if (!page.isLocalFile()) {
        if (!page.isValid() || !FOpenInBrowser)
            return false;
        // why: one request may name the contents, the index and then the topic; the user's
        // browser gets the last of them, once.
        const bool scheduled = FPendingRemote.isValid();
        FPendingRemote = page;
        if (!scheduled)
            QTimer::singleShot(0, &FTimerContext, [this] {
                const QUrl pending = FPendingRemote;
                FPendingRemote = QUrl();
                if (pending.isValid() && FOpenInBrowser)
                    FOpenInBrowser(pending);
            });
        return true;
    }
    if (!FWindow) {
        FWindow = new THelpWindow;
        FWindow->OnExternalLink = FOpenInBrowser;
    }
    if (!FWindow->ShowPage(page))
        return false;
    FWindow->show();
    FWindow->raise();
    FWindow->activateWindow();
    return true;
}

void TProgramHelpViewer::ShowPopup(const std::string& text, QPoint position)
{
    QToolTip::showText(position, QString::fromStdString(text));
}

void TProgramHelpViewer::CloseAll()
{
    FPendingRemote = QUrl();
    if (FWindow)
        FWindow->close();
}
