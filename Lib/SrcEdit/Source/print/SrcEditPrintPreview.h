#pragma once
// TSrcEditPrintPreview: shows one page of a TSrcEditPrint as it will print, a paper-coloured
// page with a shadow on a neutral background, scaled to the whole page, to the page width or to
// a percentage. Its scroll bars scroll an enlarged page or, for the whole page, step through
// the pages. Pages are drawn by the print engine itself, mapped from printer pixels.

#include "Platform/core/Component.h"
#include "Platform/graphics/Colors.h"

#include <QAbstractScrollArea>

#include <functional>

class TSrcEditPrint;

enum TSrcPreviewScale { pscWholePage = 0, pscPageWidth = 1, pscUserScaled = 2 };

using TPreviewPageEvent = std::function<void(TObject* Sender, int PageNumber)>;
using TPreviewMouseEvent = std::function<void(TObject* Sender, Qt::MouseButton Button, QPoint Position)>;

class TSrcEditPrintPreview : public QAbstractScrollArea, public TComponent {
public:
    explicit TSrcEditPrintPreview(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TSrcEditPrintPreview() override;

    TColor Color = clAppWorkSpace;
    TColor PageBGColor() const { return FPageBGColor; }
    void SetPageBGColor(TColor value);
    TSrcEditPrint* SrcEditPrint() const { return FPrint; }
    void SetSrcEditPrint(TSrcEditPrint* value);
    TSrcPreviewScale ScaleMode() const { return FScaleMode; }
    void SetScaleMode(TSrcPreviewScale value);
    int ScalePercent() const { return FScalePercent; }
    void SetScalePercent(int value);
    bool ShowScrollHint = true;
    TPreviewPageEvent OnPreviewPage;
    TNotifyEvent OnScaleChange;
    TPreviewMouseEvent OnMouseDown;

    int ShownPage() const { return FShownPage; }
    void RefreshPages();
    void GoFirstPage();
    void GoLastPage();
    void GoNextPage();
    void GoPreviousPage();
    void PrintDocument();
    int PageTotal();

    QSize PageExtent() const { return FPageExtent; }
    QPoint ViewOffset() const { return FViewOffset; }
    void HScrollTo(int x);
    void VScrollTo(int y);
    void HScrollBy(int d) { HScrollTo(FViewOffset.x() + d); }
    void VScrollBy(int d) { VScrollTo(FViewOffset.y() + d); }
    // The page as the control draws it (no painting outside this call).
    QImage Render();

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void scrollContentsBy(int, int) override {}

private:
    void RecalcPageBox();
    void SyncScrollBars();
    void ShowPage(int page);
    void VerticalBarMoved(int value);
    void PageAction(int action);
    void Paint(QPainter& painter);
    QSize PageSizeAt100() const;

    TSrcEditPrint* FPrint = nullptr;
    TColor FPageBGColor = clWhite;
    TSrcPreviewScale FScaleMode = pscUserScaled;
    int FScalePercent = 100;
    QSize FPageExtent;
    QSize FCanvasExtent;
    QPoint FPageOrigin{12, 12};
    QPoint FViewOffset;
    int FShownPage = 1;
    int FWheelRemainder = 0;
    bool FSyncing = false;
};
