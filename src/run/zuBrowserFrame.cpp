// The internal browser panel.

#include "run/zuBrowserFrame.h"

#include "documents/zuEditorModule.h"
#include "run/zuWebBrowserView.h"

#include "SrcEdit/Source/view/SrcEdit.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QActionGroup>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ViewportSizes[4][2] = {{1280, 1024}, {1024, 768}, {800, 600}, {640, 480}};
constexpr int RulerHeight = 18;

// A pixel ruler along the upper edge of the page: a mark every 10 pixels, a longer one every
// 50 and a number every 100.
class TPixelRuler : public QWidget {
public:
    explicit TPixelRuler(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("ExRuler1"));
        setFixedHeight(RulerHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        QFont font = painter.font();
        font.setPixelSize(9);
        painter.setFont(font);
        const int bottom = height() - 1;
        painter.drawLine(0, bottom, width(), bottom);
        for (int x = 0; x < width(); x += 10) {
            const int length = x % 100 == 0 ? RulerHeight - 2 : x % 50 == 0 ? 8 : 4;
            painter.drawLine(x, bottom, x, bottom - length);
            if (x % 100 == 0 && x > 0)
                painter.drawText(x + 2, 9, QString::number(x));
        }
    }
};

} // namespace

int ViewportHeight(int itemHeight, int scrollBoxHeight, int scrollBarHeight)
{
    return std::max(0, std::min(itemHeight, scrollBoxHeight - scrollBarHeight));
}

TBrowserFrame::TBrowserFrame(QWidget* parent) : QWidget(parent), CreateView(CreateWebEngineBrowserView)
{
    setObjectName(QStringLiteral("BrowserFrame"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildTitleBar();
    BuildToolBar();
    BuildPages();
    BuildStatusBar();
    layout->addWidget(TitlePanel);
    layout->addWidget(ToolBar);
    layout->addWidget(PageControl, 1);
    layout->addWidget(StatusBar);
    BrowserCommandStateChange();
}

TBrowserFrame::~TBrowserFrame()
{
    // why: the engine's widget lives among this frame's children; it goes first, by its owner.
    FBrowser.reset();
}

void TBrowserFrame::BuildTitleBar()
{
    TitlePanel = new QFrame(this);
    TitlePanel->setObjectName(QStringLiteral("TitlePanel"));
    static_cast<QFrame*>(TitlePanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    TitlePanel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(TitlePanel);
    row->setContentsMargins(6, 2, 2, 2);
    TitleLabel = new QLabel(TitlePanel);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    TitleLabel->setTextFormat(Qt::PlainText);
    CloseButton = new QPushButton(QStringLiteral("Close"), TitlePanel);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    row->addWidget(TitleLabel, 1);
    row->addWidget(CloseButton);
    connect(CloseButton, &QPushButton::clicked, this, [this] {
        if (OnCloseButton)
            OnCloseButton();
        else
            CloseButtonClick();
    });
}

void TBrowserFrame::BuildToolBar()
{
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    const auto button = [this](const char* name, const char* hint, QStyle::StandardPixmap icon,
                               void (TBrowserFrame::*handler)()) {
        QAction* action = ToolBar->addAction(style()->standardIcon(icon), QString::fromLatin1(hint));
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(QString::fromLatin1(hint));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    BackwardButton = button("BackwardButton", "Backward", QStyle::SP_ArrowBack, &TBrowserFrame::OnGoBack);
    ForwardButton = button("ForwardButton", "Forward", QStyle::SP_ArrowForward, &TBrowserFrame::OnForward);
    StopButton = button("StopButton", "Stop", QStyle::SP_BrowserStop, &TBrowserFrame::OnStop);
    RefreshButton = button("RefreshButton", "Refresh", QStyle::SP_BrowserReload, &TBrowserFrame::OnRefresh);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    auto* group = new QActionGroup(PopupMenu1);
    FitToWindowItem = PopupMenu1->addAction(QStringLiteral("Fit To Window"));
    FitToWindowItem->setCheckable(true);
    FitToWindowItem->setChecked(true);
    group->addAction(FitToWindowItem);
    connect(FitToWindowItem, &QAction::triggered, this, [this] { FitToWindowMenuClick(); });
    PopupMenu1->setDefaultAction(FitToWindowItem);
    PopupMenu1->addSeparator();
    for (int i = 0; i < 4; ++i) {
        const QString caption = QStringLiteral("%1 x %2").arg(ViewportSizes[i][0]).arg(ViewportSizes[i][1]);
        SizeItems[i] = PopupMenu1->addAction(caption);
        SizeItems[i]->setCheckable(true);
        group->addAction(SizeItems[i]);
        connect(SizeItems[i], &QAction::triggered, this, [this, i] { N1280x10241Click(i); });
    }
    auto* sizes = new QToolButton(ToolBar);
    sizes->setObjectName(QStringLiteral("ViewportButton"));
    sizes->setIcon(style()->standardIcon(QStyle::SP_DesktopIcon));
    sizes->setToolTip(QStringLiteral("Viewport Size"));
    sizes->setMenu(PopupMenu1);
    sizes->setPopupMode(QToolButton::InstantPopup);
    ToolBar->addWidget(sizes);

    URLEdit = new QLineEdit(ToolBar);
    URLEdit->setObjectName(QStringLiteral("URLEdit"));
    URLEdit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    URLEdit->installEventFilter(this);
    ToolBar->addWidget(URLEdit);
}

void TBrowserFrame::BuildPages()
{
    PageControl = new QStackedWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    ScrollBox1 = new QScrollArea(PageControl);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    // why: the page control resizes only its current page; the box itself says when it changed.
    ScrollBox1->installEventFilter(this);
    FCanvas = new QWidget;
    auto* canvas = new QVBoxLayout(FCanvas);
    canvas->setContentsMargins(0, 0, 0, 0);
    canvas->setSpacing(0);
    ExRuler1 = new TPixelRuler(FCanvas);
    canvas->addWidget(ExRuler1);
    canvas->addStretch(1);
    ScrollBox1->setWidget(FCanvas);
    ScrollBox1->setWidgetResizable(true);
    PageControl->addWidget(ScrollBox1);

    Editor = new TSrcEdit(nullptr, PageControl);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->SetReadOnly(true);
    TFont font;
    font.Assign(Editor->Font());
    font.SetName("Courier New");
    Editor->SetFont(font);
    PageControl->addWidget(Editor);
}

void TBrowserFrame::BuildStatusBar()
{
    auto* bar = new QFrame(this);
    StatusBar = bar;
    bar->setObjectName(QStringLiteral("StatusBar"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    TabBar = new QTabBar(bar);
    TabBar->setObjectName(QStringLiteral("TabBar"));
    TabBar->setShape(QTabBar::RoundedSouth);
    TabBar->addTab(QStringLiteral("Preview"));
    TabBar->addTab(QStringLiteral("Source"));
    TabBar->setDrawBase(false);
    TabBar->setUsesScrollButtons(false);
    auto* tabPanel = new QWidget(bar);
    // why: 105 pixels as a floor; a style with wider tabs must still show both of them.
    tabPanel->setFixedWidth(std::max(105, TabBar->sizeHint().width()));
    auto* tabRow = new QHBoxLayout(tabPanel);
    tabRow->setContentsMargins(0, 0, 0, 0);
    tabRow->addStretch();
    tabRow->addWidget(TabBar);
    tabRow->addStretch();
    StatusText = new QLabel(bar);
    StatusText->setObjectName(QStringLiteral("StatusText"));
    StatusText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusText->setTextFormat(Qt::PlainText);
    StatusText->setMinimumWidth(100);
    StatusText->setMaximumWidth(800);
    row->addWidget(tabPanel);
    row->addWidget(StatusText, 1);
    connect(TabBar, &QTabBar::currentChanged, this, [this](int index) { TabBarTabSelected(index); });
}

TBrowserView& TBrowserFrame::Browser()
{
    if (!FBrowser) {
        FBrowser = CreateView(FCanvas);
        FBrowser->OnBeforeNavigate = [this](const std::string& url) { BrowserBeforeNavigate2(url); };
        FBrowser->OnCommandStateChange = [this] { BrowserCommandStateChange(); };
        FBrowser->OnTitleChange = [this](const std::string& title) { BrowserTitleChange(title); };
        FBrowser->OnStatusTextChange = [this](const std::string& text) { BrowserStatusTextChange(text); };
        FBrowser->OnDocumentComplete = [this](bool ok) { BrowserDocumentComplete(ok); };
        auto* canvas = static_cast<QVBoxLayout*>(FCanvas->layout());
        // The stretch that stood in for the page gives way to it.
        delete canvas->takeAt(1);
        canvas->addWidget(FBrowser->Widget(), 1, FBrowserTag > 0 ? Qt::AlignLeft | Qt::AlignTop : Qt::Alignment());
        ApplyViewportSize();
        BrowserCommandStateChange();
    }
    return *FBrowser;
}

QSize TBrowserFrame::BrowserSize() const
{
    return FBrowser ? FBrowser->Widget()->size() : QSize();
}

void TBrowserFrame::Navigate(const TBrowserRequest& request)
{
    Browser().Navigate(request);
}

// ---- navigation

void TBrowserFrame::OnGoBack()
{
    if (FBrowser)
        FBrowser->GoBack();
}

void TBrowserFrame::OnForward()
{
    if (FBrowser)
        FBrowser->GoForward();
}

void TBrowserFrame::OnStop()
{
    if (FBrowser)
        FBrowser->Stop();
}

void TBrowserFrame::OnRefresh()
{
    if (FBrowser)
        FBrowser->Refresh();
}

void TBrowserFrame::URLEditKeyDown()
{
    const std::string url = Trim(StdStr(URLEdit->text()));
    if (url.empty())
        return;
    TBrowserRequest request;
    request.URL = url;
    Navigate(request);
}

void TBrowserFrame::CloseButtonClick()
{
    if (!FBrowser)
        return;
    FBrowser->Stop();
    TBrowserRequest blank;
    blank.URL = "about:blank";
    FBrowser->Navigate(blank);
}

void TBrowserFrame::TabBarTabSelected(int index)
{
    if (index >= 0 && index < PageControl->count())
        PageControl->setCurrentIndex(index);
}

void TBrowserFrame::BrowserBeforeNavigate2(const std::string& url)
{
    if (!SameText(url, StdStr(URLEdit->text())))
        URLEdit->setText(QStr(url));
}

void TBrowserFrame::BrowserCommandStateChange()
{
    StopButton->setEnabled(FBrowser && FBrowser->Busy());
    BackwardButton->setEnabled(FBrowser && FBrowser->CanGoBack());
    ForwardButton->setEnabled(FBrowser && FBrowser->CanGoForward());
}

void TBrowserFrame::BrowserTitleChange(const std::string& title)
{
    TitleLabel->setText(QStr(title));
}

void TBrowserFrame::BrowserStatusTextChange(const std::string& text)
{
    StatusText->setText(QStr(text));
}

void TBrowserFrame::BrowserDocumentComplete(bool)
{
    if (!FBrowser)
        return;
    FBrowser->RequestHtml([frame = QPointer<TBrowserFrame>(this)](const std::string& html) {
        if (!frame)
            return;
        TSrcEdit& editor = *frame->Editor;
        if (EditorModule && editor.Highlighter() != EditorModule->PHP_HTML_XML_CSS_JS)
            editor.SetHighlighter(EditorModule->PHP_HTML_XML_CSS_JS);
        editor.ResetContents();
        editor.SetAllText(html);
        editor.SetContentModified(false);
        editor.ClearUndoHistory();
    });
}

// ---- viewport sizes

void TBrowserFrame::FitToWindowMenuClick()
{
    FitToWindowItem->setChecked(true);
    FBrowserTag = 0;
    FBrowserWidth = 0;
    ApplyViewportSize();
}

void TBrowserFrame::N1280x10241Click(int item)
{
    if (item < 0 || item >= 4)
        return;
    SizeItems[item]->setChecked(true);
    FBrowserWidth = ViewportSizes[item][0];
    FBrowserTag = ViewportSizes[item][1];
    ApplyViewportSize();
}

int TBrowserFrame::ScrollBoxClientHeight() const
{
    // The ruler takes the box's upper edge; the browser has what lies below it.
    return ScrollBox1->height() - RulerHeight;
}

void TBrowserFrame::ApplyViewportSize()
{
    QWidget* browser = FBrowser ? FBrowser->Widget() : nullptr;
    auto* canvas = static_cast<QVBoxLayout*>(FCanvas->layout());
    if (FBrowserTag <= 0) {
        if (browser) {
            browser->setMinimumSize(0, 0);
            browser->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            canvas->setAlignment(browser, Qt::Alignment());
        }
        FCanvas->setMinimumSize(0, 0);
        FCanvas->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        ScrollBox1->setWidgetResizable(true);
        return;
    }
    const int scrollBar = ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox1);
    const int height = ViewportHeight(FBrowserTag, ScrollBoxClientHeight(), scrollBar);
    if (browser) {
        browser->setFixedSize(FBrowserWidth, height);
        canvas->setAlignment(browser, Qt::AlignLeft | Qt::AlignTop);
    }
    ScrollBox1->setWidgetResizable(false);
    FCanvas->setFixedSize(FBrowserWidth, RulerHeight + height);
}

void TBrowserFrame::PageControlResize()
{
    if (FBrowserTag > 0)
        ApplyViewportSize();
}

bool TBrowserFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == URLEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            URLEditKeyDown();
            return true;
        }
    }
    if (watched == ScrollBox1 && event->type() == QEvent::Resize)
        PageControlResize();
    return QWidget::eventFilter(watched, event);
}
