#include "TreeView/Source/paint/LTHintWindow.h"

#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTDrawText.h"
#include "TreeView/Source/strings/LazyDrawTree.h"

#include "Platform/graphics/Canvas.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QToolTip>

namespace {

TAlignment Mirrored(TAlignment alignment)
{
    return alignment == taLeftJustify ? taRightJustify : alignment == taRightJustify ? taLeftJustify : alignment;
}

} // namespace

TLazyTreeHintWindow::TLazyTreeHintWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

TLazyTreeHintWindow::~TLazyTreeHintWindow() = default;

bool TLazyTreeHintWindow::TooltipMode() const
{
    return FHintData.OwnerTree && FHintData.HintNode && FHintData.OwnerTree->HintMode() == TLTHintMode::hmTooltip;
}

TRect TLazyTreeHintWindow::CalcHintRect(int maxWidth, const TLTHintData& data)
{
    FHintData = data;
    TBaseLazyTree* tree = data.OwnerTree;
    if (!tree)
        return {};
    if (auto* drawTree = dynamic_cast<TCustomLazyDrawTree*>(tree); drawTree && data.HintNode) {
        TRect r = data.HintRect;
        drawTree->FireGetHintSize(data.HintNode, data.HintColumn, r);
        return r;
    }
    const TLazyTreeColumn* column =
        tree->Header().Columns().Count() > 0 ? tree->Header().Columns().ColumnAt(data.HintColumn) : nullptr;
    FHintData.ReadingDirection = column ? column->BiDiMode() : TBiDiMode::bdLeftToRight;
    FHintData.TextAlignment = column ? column->Alignment() : tree->Alignment();
    if (FHintData.ReadingDirection != TBiDiMode::bdLeftToRight)
        FHintData.TextAlignment = Mirrored(FHintData.TextAlignment);
    const bool tooltip = TooltipMode();
    QFont font = QToolTip::font();
    if (tooltip) {
        TFont cellFont;
        TRect cellRect;
        QString cellText;
        tree->CellTextInfo(data.HintNode, data.HintColumn, cellFont, cellRect, cellText);
        font = tree->QtFontOf(cellFont);
    }
    setFont(font);
    FTextHeight = QFontMetrics(font).height();
    FText = data.DefaultText;
    if (FText.isEmpty() && data.HintNode) {
        FText = tooltip ? tree->NodeTooltipText(data.HintNode, data.HintColumn, FHintData.LineBreaks)
                        : tree->NodeHintText(data.HintNode, data.HintColumn, FHintData.LineBreaks);
    }
    FHintData.HintText = FText;
    if (FText.isEmpty())
        return {};
    TRect r;
    if (!tooltip) {
        r = {0, 0, maxWidth, FTextHeight};
        DrawTextInRect(nullptr, font, FText, r, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
        r.Bottom += 6;
        r.Right += 2 * tree->TextMargin() + 2;
        return r;
    }
    if (FHintData.LineBreaks == TLTTooltipLineBreakStyle::hlbDefault)
        FHintData.LineBreaks = data.HintNode->Has(nsWrapText) ? TLTTooltipLineBreakStyle::hlbForceMultiLine
                                                               : TLTTooltipLineBreakStyle::hlbForceSingleLine;
    if (FHintData.LineBreaks == TLTTooltipLineBreakStyle::hlbForceMultiLine) {
        r = tree->NodeDisplayRect(data.HintNode, data.HintColumn, true, false);
        TRect measured = r;
        DrawTextInRect(nullptr, font, FText, measured, DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK);
        if (FHintData.ReadingDirection != TBiDiMode::bdLeftToRight)
            r.Left = measured.Left - tree->TextMargin() + 1;
        else
            r.Right = measured.Right + tree->TextMargin();
        r.Bottom = measured.Bottom;
        ++r.Right;
        const bool fits = r.Height() <= static_cast<int>(data.HintNode->RowHeight) + 2 && r.Left >= 0 && r.Top >= 0 &&
                          r.Right <= tree->ClientWidth() + 3 && r.Bottom <= tree->ClientHeight() + 3;
        if (fits)
            return {};
    } else {
        r = tree->NodeDisplayRect(data.HintNode, data.HintColumn, true, true);
        if (tree->HasOption(toShowHorzGridLines))
            --r.Bottom;
    }
    InflateRect(r, 1, 1);
    OffsetRect(r, -1 - r.Left, -1 - r.Top);
    return r;
}

void TLazyTreeHintWindow::ActivateHint(const TRect& screenRect)
{
    if (screenRect.IsEmpty()) {
        CancelHint();
        return;
    }
    TBaseLazyTree* tree = FHintData.OwnerTree;
    QRect r = screenRect.ToQt();
    const QScreen* screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect desktop = screen->availableGeometry();
        if (r.right() > desktop.right())
            r.moveRight(desktop.right());
        if (r.bottom() > desktop.bottom())
            r.moveBottom(desktop.bottom());
        if (r.left() < desktop.left())
            r.moveLeft(desktop.left());
    }
    setGeometry(r);
    PrepareDrawBuffer();
    FAnimationStep = 0;
    FAnimationStepSize = 0;
    FFading = false;
    FSliding = false;
    const THintAnimationType animation = tree ? tree->HintAnimationToUse() : THintAnimationType::hatNone;
    show();
    if (animation == THintAnimationType::hatNone || !tree) {
        update();
        return;
    }
    FFading = animation == THintAnimationType::hatFade;
    FSliding = !FFading;
    QPointer<TLazyTreeHintWindow> self(this);
    const int steps = FFading ? 255 : height();
    const int duration = static_cast<int>(FFading ? 2 * tree->AnimationDuration() : tree->AnimationDuration());
    tree->RunAnimation(steps, duration, [this, self, tree](int step, int stepSize) {
        if (!self || !isVisible() || tree->TreeStates().Contains(tsCancelHintAnimation))
            return false;
        FAnimationStep = step;
        FAnimationStepSize = stepSize;
        if (FFading)
            setWindowOpacity(std::min(1.0, (step + stepSize) / 255.0));
        repaint();
        QCoreApplication::processEvents();
        return true;
    });
    if (self) {
        FFading = FSliding = false;
        setWindowOpacity(1.0);
        update();
    }
}

void TLazyTreeHintWindow::CancelHint()
{
    hide();
}

void TLazyTreeHintWindow::hideEvent(QHideEvent*)
{
    FHintData = {};
}

void TLazyTreeHintWindow::PrepareDrawBuffer()
{
    FDrawBuffer = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    FDrawBuffer.fill(ToQColor(clInfoBk));
    QPainter p(&FDrawBuffer);
    TBaseLazyTree* tree = FHintData.OwnerTree;
    if (auto* drawTree = dynamic_cast<TCustomLazyDrawTree*>(tree); drawTree && FHintData.HintNode) {
        TCanvas canvas(&p);
        drawTree->FireDrawHint(canvas, FHintData.HintNode, TRect::FromQt(FDrawBuffer.rect()), FHintData.HintColumn);
        return;
    }
    QFont font = QToolTip::font();
    int textTop = 2;
    if (TooltipMode()) {
        TFont cellFont;
        TRect cellRect;
        QString cellText;
        tree->CellTextInfo(FHintData.HintNode, FHintData.HintColumn, cellFont, cellRect, cellText);
        font = tree->QtFontOf(cellFont);
        textTop = FHintData.LineBreaks == TLTTooltipLineBreakStyle::hlbForceMultiLine
                      ? 1
                      : (cellRect.Top + height() - cellRect.Bottom) / 2;
    }
    TRect r = TRect::FromQt(FDrawBuffer.rect());
    p.setPen(Qt::black);
    p.setBrush(ToQColor(clInfoBk));
    p.drawRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    InflateRect(r, -1, -1);
    const int margin = tree ? tree->TextMargin() : 4;
    unsigned flags = DT_NOPREFIX;
    if (FHintData.ReadingDirection != TBiDiMode::bdLeftToRight) {
        flags |= DT_RIGHT | DT_RTLREADING;
        r.Right = r.Right - margin + 1;
    } else {
        r.Left += margin;
    }
    if (FHintData.LineBreaks == TLTTooltipLineBreakStyle::hlbForceMultiLine && TooltipMode())
        flags |= DT_WORDBREAK;
    r.Top += textTop - 1;
    p.setPen(ToQColor(clInfoText));
    DrawTextInRect(&p, font, FText, r, flags);
}

void TLazyTreeHintWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintStep(painter, FAnimationStep, FAnimationStepSize);
}

void TLazyTreeHintWindow::PaintStep(QPainter& painter, int step, int)
{
    if (FDrawBuffer.isNull())
        return;
    if (FSliding) {
        // The lowest `step` lines of the finished hint at the window's upper edge.
        const int lines = std::clamp(step, 0, height());
        painter.fillRect(rect(), ToQColor(clInfoBk));
        painter.drawImage(QPoint(0, 0), FDrawBuffer, QRect(0, height() - lines, width(), lines));
        return;
    }
    painter.drawImage(0, 0, FDrawBuffer);
}
