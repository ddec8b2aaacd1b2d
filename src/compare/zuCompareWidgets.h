#pragma once
// The small controls of the compare window: the caption bar above each pane, a status bar panel
// filled with a row colour, and the overview strip with the change map and the position marker.

#include "Platform/graphics/Colors.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QToolButton;
class QAction;

// Two spaces and the file name, with the side's Save and Open buttons.
class TCompareCaptionBar : public QWidget {
public:
    TCompareCaptionBar(QAction* save, QAction* open, QWidget* parent);
    void SetCaption(const std::string& text);
    std::string Caption() const;
    // clBtnFace, or 13426912 (CCE0E0) for a side with unsaved edits.
    void SetBarColor(TColor color);
    TColor BarColor() const { return FColor; }

private:
    QLabel* FLabel = nullptr;
    TColor FColor = clBtnFace;
};

// A status bar panel filled with its colour, the text 4 px from the left.
class TColorPanel : public QWidget {
public:
    TColorPanel(const QString& text, QWidget* parent);
    void SetPanelColor(TColor color);
    TColor PanelColor() const { return FColor; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString FText;
    TColor FColor = clWindow;
};

// The strip at the left edge: a wide part with the change map (a bitmap as tall as the screen,
// stretched to the strip) and a narrow part with the position marker.
class TCompareOverview : public QWidget {
public:
    static constexpr int MapWidth = 14;
    static constexpr int MarkerWidth = 6;

    explicit TCompareOverview(QWidget* parent);
    // One 2-px line per coloured row, in the row's colour; rows of `plain` are left out.
    void Build(const std::vector<TColor>& rowColors, TColor plain);
    // The marker stands at row (first + visible div 2) of `rows`.
    void SetPosition(int first, int visible, int rows);
    const QImage& Map() const { return FMap; }
    // The marker's y in the strip, -1 without rows.
    int MarkerY() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FMap;
    int FFirst = 0;
    int FVisible = 0;
    int FRows = 0;
};
