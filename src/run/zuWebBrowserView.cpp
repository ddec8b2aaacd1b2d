// The web engine behind the internal browser panel.

#include "run/zuWebBrowserView.h"

#include "Platform/core/QtBridge.h"

#include <QPointer>
#include <QWebEngineHistory>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <unistd.h>

namespace {

class TZentuWebPage : public QWebEnginePage {
public:
    TZentuWebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}
    std::function<void(const QUrl&)> OnNavigation;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && OnNavigation)
            OnNavigation(url);
        return true;
    }
};

class TWebEngineBrowserView : public TBrowserView {
public:
    explicit TWebEngineBrowserView(QWidget* parent)
    {
        // invariant: a profile without a storage name is off the record; nothing reaches disk.
        FProfile = std::make_unique<QWebEngineProfile>();
        FProfile->setHttpCacheType(QWebEngineProfile::NoCache);
        FView = new QWebEngineView(parent);
        FView->setObjectName(QStringLiteral("Browser"));
        FPage = new TZentuWebPage(FProfile.get(), FView);
        FView->setPage(FPage);
        FPage->OnNavigation = [this](const QUrl& url) {
            if (OnBeforeNavigate)
                OnBeforeNavigate(StdStr(url.toString()));
        };
        QObject::connect(FView, &QWebEngineView::titleChanged, FView, [this](const QString& title) {
            if (OnTitleChange)
                OnTitleChange(StdStr(title));
        });
        QObject::connect(FPage, &QWebEnginePage::linkHovered, FView, [this](const QString& url) {
            if (OnStatusTextChange)
                OnStatusTextChange(StdStr(url));
        });
        QObject::connect(FView, &QWebEngineView::loadStarted, FView, [this] {
            FBusy = true;
            CommandStateChanged();
        });
        QObject::connect(FView, &QWebEngineView::loadFinished, FView, [this](bool ok) {
            FBusy = false;
            CommandStateChanged();
            if (OnDocumentComplete)
                OnDocumentComplete(ok);
        });
        QObject::connect(FView, &QWebEngineView::urlChanged, FView, [this] { CommandStateChanged(); });
    }

    ~TWebEngineBrowserView() override
    {
        // why: the page must go before its profile, and the view owns the page.
        delete FView.data();
        FProfile.reset();
    }

    QWidget* Widget() override { return FView; }

    void Navigate(const TBrowserRequest& request) override
    {
        QWebEngineHttpRequest http(QUrl(QStr(request.URL), QUrl::TolerantMode));
        if (request.Post) {
            http.setMethod(QWebEngineHttpRequest::Post);
            http.setPostData(QByteArray(request.Body.data(), static_cast<qsizetype>(request.Body.size())));
        }
        for (const auto& [name, value] : request.Headers)
            http.setHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
        FView->load(http);
    }

    void GoBack() override { FView->back(); }
    void GoForward() override { FView->forward(); }
    void Stop() override { FView->stop(); }
    void Refresh() override { FView->reload(); }
    bool CanGoBack() const override { return FView->history()->canGoBack(); }
    bool CanGoForward() const override { return FView->history()->canGoForward(); }
    bool Busy() const override { return FBusy; }

    void RequestHtml(std::function<void(const std::string&)> done) override
    {
        QPointer<QWebEngineView> alive(FView);
        FPage->toHtml([alive, done = std::move(done)](const QString& html) {
            if (alive && done)
                done(StdStr(html));
        });
    }

private:
    void CommandStateChanged()
    {
        if (OnCommandStateChange)
            OnCommandStateChange();
    }

    std::unique_ptr<QWebEngineProfile> FProfile;
    QPointer<QWebEngineView> FView;
    TZentuWebPage* FPage = nullptr;
    bool FBusy = false;
};

} // namespace

std::unique_ptr<TBrowserView> CreateWebEngineBrowserView(QWidget* parent)
{
    return std::make_unique<TWebEngineBrowserView>(parent);
}

void PrepareWebEngineEnvironment()
{
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
