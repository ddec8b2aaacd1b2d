#pragma once
// TBrowserView: what the internal browser panel needs of a browser engine: navigation with a
// method, body and headers, the history and stop commands, the page's title, status text and
// source, and the events of a load. The program uses the web engine (zuWebBrowserView); tests
// give the panel a stand-in.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;

// One navigation as the run commands ask for it.
struct TBrowserRequest {
    std::string URL;
    bool Post = false;
    // The request body of a POST (sent as it is, nothing appended).
    std::string Body;
    std::vector<std::pair<std::string, std::string>> Headers;
};

class TBrowserView {
public:
    virtual ~TBrowserView() = default;

    // The widget that shows the page; the view owns it.
    virtual QWidget* Widget() = 0;

    // Loads without reading or writing any cache.
    virtual void Navigate(const TBrowserRequest& request) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void Stop() = 0;
    virtual void Refresh() = 0;

    virtual bool CanGoBack() const = 0;
    virtual bool CanGoForward() const = 0;
    // True while a page loads.
    virtual bool Busy() const = 0;

    // The page's current document as HTML, as the engine holds it; delivered later, on the GUI
    // thread, unless the view is gone by then.
    virtual void RequestHtml(std::function<void(const std::string& html)> done) = 0;

    // A main-frame navigation to this URL is about to start.
    std::function<void(const std::string& url)> OnBeforeNavigate;
    // Busy, CanGoBack or CanGoForward may have changed.
    std::function<void()> OnCommandStateChange;
    std::function<void(const std::string& title)> OnTitleChange;
    // The text the status bar shows: the link under the mouse, "" when there is none.
    std::function<void(const std::string& text)> OnStatusTextChange;
    // A page has loaded (`ok` false when the load failed).
    std::function<void(bool ok)> OnDocumentComplete;
};

// Makes a view whose widget will be placed in `parent`.
using TBrowserViewFactory = std::function<std::unique_ptr<TBrowserView>(QWidget* parent)>;
