#pragma once
// The tree's hint window: a plain hint, or in tooltip mode the full text of a cell that does not
// fit, shown exactly over that cell; it may fade or slide in. It never takes the mouse, so the
// tree under it keeps its hover state.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/graphics/Colors.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

class TBaseLazyTree;

// What a hint is about, handed by the tree to its hint window.
struct TLTHintData {
    TBaseLazyTree* OwnerTree = nullptr;
    PLazyNode HintNode = nullptr;
    TColumnIndex HintColumn = NoColumn;
    TRect HintRect;
    QString DefaultText;
    QString HintText;
    TBiDiMode ReadingDirection = TBiDiMode::bdLeftToRight;
    TAlignment TextAlignment = taLeftJustify;
    TLTTooltipLineBreakStyle LineBreaks = TLTTooltipLineBreakStyle::hlbDefault;
};

class TLazyTreeHintWindow : public QWidget {
public:
    TLazyTreeHintWindow();
    ~TLazyTreeHintWindow() override;

    // The window's rectangle for `data` with its upper left corner at (-1, -1) for tooltips
    // and (0, 0) otherwise; empty when no hint is needed.
    virtual TRect CalcHintRect(int maxWidth, const TLTHintData& data);
    // Shows the hint with its upper left corner at `screenRect`'s, kept on the desktop; an empty
    // rectangle cancels the hint.
    virtual void ActivateHint(const TRect& screenRect);
    void CancelHint();
    const TLTHintData& HintData() const { return FHintData; }
    const QString& ShownText() const { return FText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Prepares the finished hint at step 0, then shows the animation step (a plain paint: 0, 0).
    void PaintStep(QPainter& painter, int step, int stepSize);
    void PrepareDrawBuffer();

private:
    bool TooltipMode() const;

    TLTHintData FHintData;
    QString FText;
    int FTextHeight = 0;
    QImage FDrawBuffer;
    int FAnimationStep = 0;
    int FAnimationStepSize = 0;
    bool FFading = false;
    bool FSliding = false;
};
