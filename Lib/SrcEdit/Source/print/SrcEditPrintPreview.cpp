#include "SrcEdit/Source/print/SrcEditPrintPreview.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "Platform/core/Application.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/Graphics.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

namespace {

constexpr int Border = 12;
constexpr int Extra = 26; // the border on both sides and the shadow

} // namespace

TSrcEditPrintPreview::TSrcEditPrintPreview(TComponent* AOwner, QWidget* parent)
    : QAbstractScrollArea(parent), TComponent(AOwner)
{
    resize(200, 120);
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!FSyncing)
            HScrollTo(-value);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) { VerticalBarMoved(value); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { PageAction(action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { PageAction(action); });
    connect(verticalScrollBar(), &QScrollBar::sliderMoved, this, [this](int value) {
        if (FScaleMode == pscWholePage && ShowScrollHint) {
            const QPoint at = mapToGlobal(QPoint(viewport()->width() - 4 - 200, 10));
            QToolTip::showText(at, QStringLiteral("Page: %1").arg(value), this);
        }
    });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [] { QToolTip::hideText(); });
}

TSrcEditPrintPreview::~TSrcEditPrintPreview()
{
    SetSrcEditPrint(nullptr);
}

void TSrcEditPrintPreview::SetPageBGColor(TColor value)
{
    if (value != FPageBGColor) {
        FPageBGColor = value;
        viewport()->update();
    }
}

void TSrcEditPrintPreview::SetSrcEditPrint(TSrcEditPrint* value)
{
    if (FPrint)
        RemoveFreeNotification(FPrint);
    FPrint = value;
    if (FPrint)
        FreeNotification(FPrint);
}

void TSrcEditPrintPreview::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FPrint) {
        FPrint = nullptr;
        viewport()->update();
    }
}

void TSrcEditPrintPreview::SetScaleMode(TSrcPreviewScale value)
{
    if (value == FScaleMode)
        return;
    FScaleMode = value;
    FViewOffset = {};
    RecalcPageBox();
    if (OnScaleChange)
        OnScaleChange(this);
    viewport()->update();
}

void TSrcEditPrintPreview::SetScalePercent(int value)
{
    if (value == FScalePercent) {
        SetScaleMode(pscUserScaled);
    } else {
        FScaleMode = pscUserScaled;
        FViewOffset = {};
        FScalePercent = value;
        RecalcPageBox();
        viewport()->update();
    }
    if (OnScaleChange)
        OnScaleChange(this);
}

int TSrcEditPrintPreview::PageTotal()
{
    return FPrint ? FPrint->CountPages() : 0;
}

void TSrcEditPrintPreview::RefreshPages()
{
    const TSrcPreviewScale mode = FScaleMode;
    const int percent = FScalePercent;
    FScalePercent = 100;
    if (FPrint) {
        TCanvas canvas;
        FPrint->PreparePages(canvas);
    }
    RecalcPageBox();
    viewport()->update();
    SetScaleMode(mode);
    if (mode == pscUserScaled)
        SetScalePercent(percent);
    if (OnPreviewPage)
        OnPreviewPage(this, FShownPage);
}

void TSrcEditPrintPreview::ShowPage(int page)
{
    FShownPage = page;
    SyncScrollBars();
    if (OnPreviewPage)
        OnPreviewPage(this, FShownPage);
    viewport()->update();
}

void TSrcEditPrintPreview::GoFirstPage()
{
    ShowPage(1);
}

void TSrcEditPrintPreview::GoLastPage()
{
    if (FPrint)
        ShowPage(FPrint->CountPages());
}

void TSrcEditPrintPreview::GoNextPage()
{
    ShowPage(FPrint ? std::min(FShownPage + 1, FPrint->CountPages()) : FShownPage + 1);
}

void TSrcEditPrintPreview::GoPreviousPage()
{
    ShowPage(FPrint ? std::max(FShownPage - 1, 1) : FShownPage - 1);
}

void TSrcEditPrintPreview::PrintDocument()
{
    if (!FPrint)
        return;
    FPrint->PrintAllPages();
    RefreshPages();
}

QSize TSrcEditPrintPreview::PageSizeAt100() const
{
    if (!FPrint)
        return {};
    TSrcEditPrinterInfo& g = FPrint->PrinterGeometry();
    return {MulDiv(g.PaperWidth(), logicalDpiX(), g.DotsPerInchX()),
            MulDiv(g.PaperHeight(), logicalDpiY(), g.DotsPerInchY())};
}

void TSrcEditPrintPreview::RecalcPageBox()
{
    if (!FPrint)
        return;
    TSrcEditPrinterInfo& g = FPrint->PrinterGeometry();
    const QSize client = viewport()->size();
    const auto heightFor = [&](int w) { return MulDiv(w, g.PaperHeight(), g.PaperWidth()); };
    const auto widthFor = [&](int h) { return MulDiv(h, g.PaperWidth(), g.PaperHeight()); };
    int w = 0;
    int h = 0;
    switch (FScaleMode) {
    case pscWholePage:
        w = client.width() - Extra;
        h = client.height() - Extra;
        if (widthFor(h) < w)
            w = widthFor(h);
        else
            h = heightFor(w);
        break;
    case pscPageWidth:
        w = client.width() - Extra;
        h = heightFor(w);
        break;
    case pscUserScaled: {
        const QSize full = PageSizeAt100();
        w = MulDiv(full.width(), FScalePercent, 100);
        h = MulDiv(full.height(), FScalePercent, 100);
        break;
    }
    }
    FPageExtent = QSize(std::max(w, 1), std::max(h, 1));
    FCanvasExtent = FPageExtent + QSize(Extra, Extra);
    FPageOrigin = QPoint(Border + std::max(0, (client.width() - FCanvasExtent.width()) / 2),
                         Border + std::max(0, (client.height() - FCanvasExtent.height()) / 2));
    FViewOffset = {};
    SyncScrollBars();
}

void TSrcEditPrintPreview::SyncScrollBars()
{
    FSyncing = true;
    QScrollBar* hbar = horizontalScrollBar();
    QScrollBar* vbar = verticalScrollBar();
    const QSize client = viewport()->size();
    if (FScaleMode == pscWholePage) {
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        vbar->setRange(1, FPrint ? std::max(1, FPrint->CountPages()) : 1);
        vbar->setPageStep(1);
        vbar->setSingleStep(1);
        vbar->setValue(FShownPage);
    } else {
        setHorizontalScrollBarPolicy(FScaleMode == pscUserScaled ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        hbar->setRange(0, std::max(0, FCanvasExtent.width() - client.width()));
        hbar->setPageStep(client.width());
        hbar->setSingleStep(std::max(1, client.width() / 10));
        hbar->setValue(-FViewOffset.x());
        vbar->setRange(0, std::max(0, FCanvasExtent.height() - client.height()));
        vbar->setPageStep(client.height());
        vbar->setSingleStep(std::max(1, client.height() / 10));
        vbar->setValue(-FViewOffset.y());
    }
    FSyncing = false;
}

void TSrcEditPrintPreview::PageAction(int action)
{
    // The page keys move by half the client, while the thumb shows the whole client.
    if (FScaleMode == pscWholePage || (action != QAbstractSlider::SliderPageStepAdd &&
                                       action != QAbstractSlider::SliderPageStepSub))
        return;
    auto* bar = qobject_cast<QScrollBar*>(sender());
    if (!bar)
        return;
    const int half = (bar->orientation() == Qt::Horizontal ? viewport()->width() : viewport()->height()) / 2;
    bar->setSliderPosition(bar->value() + (action == QAbstractSlider::SliderPageStepAdd ? half : -half));
}

void TSrcEditPrintPreview::VerticalBarMoved(int value)
{
    if (FSyncing)
        return;
    if (FScaleMode == pscWholePage) {
        if (value != FShownPage)
            ShowPage(value);
    } else {
        VScrollTo(-value);
    }
}

void TSrcEditPrintPreview::HScrollTo(int x)
{
    x = std::min(std::max(x, viewport()->width() - FCanvasExtent.width()), 0);
    if (x != FViewOffset.x()) {
        FViewOffset.setX(x);
        SyncScrollBars();
        viewport()->update();
    }
}

void TSrcEditPrintPreview::VScrollTo(int y)
{
    y = std::min(std::max(y, viewport()->height() - FCanvasExtent.height()), 0);
    if (y != FViewOffset.y()) {
        FViewOffset.setY(y);
        SyncScrollBars();
        viewport()->update();
    }
}

void TSrcEditPrintPreview::wheelEvent(QWheelEvent* event)
{
    FWheelRemainder += event->angleDelta().y();
    while (FWheelRemainder >= 120) {
        VScrollBy(120);
        FWheelRemainder -= 120;
    }
    while (FWheelRemainder <= -120) {
        VScrollBy(-120);
        FWheelRemainder += 120;
    }
    event->accept();
}

void TSrcEditPrintPreview::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown) {
        try {
            OnMouseDown(this, event->button(), event->position().toPoint());
        } catch (...) {
            HandleCurrentException();
        }
    }
}

void TSrcEditPrintPreview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    RecalcPageBox();
}

void TSrcEditPrintPreview::Paint(QPainter& painter)
{
    const QRect client(QPoint(0, 0), viewport()->size());
    painter.fillRect(client, ToQColor(Color));
    if (!FPrint) {
        painter.fillRect(QRect(12, 12, 43, 30), ToQColor(FPageBGColor));
        painter.setPen(Qt::black);
        painter.drawRect(QRect(12, 12, 43, 30));
        return;
    }
    const QRect page(FPageOrigin.x() + FViewOffset.x(),
                     FPageOrigin.y() + (FScaleMode == pscWholePage ? 0 : FViewOffset.y()), FPageExtent.width(),
                     FPageExtent.height());
    painter.setPen(Qt::black);
    for (int d = 1; d <= 2; ++d) {
        painter.drawLine(page.left() + d, page.bottom() + d, page.right() + d, page.bottom() + d);
        painter.drawLine(page.right() + d, page.top() + d, page.right() + d, page.bottom() + d);
    }
    painter.fillRect(page, ToQColor(FPageBGColor));
    painter.drawRect(page.adjusted(0, 0, -1, -1));

    TSrcEditPrinterInfo& g = FPrint->PrinterGeometry();
    const double sx = static_cast<double>(FPageExtent.width()) / g.PaperWidth();
    const double sy = static_cast<double>(FPageExtent.height()) / g.PaperHeight();
    painter.save();
    painter.setClipRect(page);
    painter.translate(page.left() + g.OffsetLeft() * sx, page.top() + g.OffsetTop() * sy);
    painter.scale(sx, sy);
    painter.setClipRect(QRect(0, 0, g.PrintAreaWidth(), g.PrintAreaHeight()), Qt::IntersectClip);
    painter.setRenderHint(QPainter::TextAntialiasing);
    TCanvas canvas(&painter);
    canvas.Font().Assign(FPrint->Font());
    FPrint->RenderPage(canvas, FShownPage);
    painter.restore();
}

void TSrcEditPrintPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    try {
        Paint(painter);
    } catch (...) {
        HandleCurrentException();
    }
}

QImage TSrcEditPrintPreview::Render()
{
    QImage image(viewport()->size(), QImage::Format_RGB32);
    QPainter painter(&image);
    Paint(painter);
    return image;
}
