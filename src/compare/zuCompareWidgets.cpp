#include "compare/zuCompareWidgets.h"

#include "Platform/core/QtBridge.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

TCompareCaptionBar::TCompareCaptionBar(QAction* save, QAction* open, QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 1, 1, 1);
    layout->setSpacing(2);
    FLabel = new QLabel(this);
    layout->addWidget(FLabel, 1);
    for (QAction* action : {save, open}) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        layout->addWidget(button);
    }
    SetBarColor(clBtnFace);
}

void TCompareCaptionBar::SetCaption(const std::string& text)
{
    FLabel->setText(QStr(text));
}

std::string TCompareCaptionBar::Caption() const
{
    return StdStr(FLabel->text());
}

void TCompareCaptionBar::SetBarColor(TColor color)
{
    FColor = color;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    setPalette(palette);
}

TColorPanel::TColorPanel(const QString& text, QWidget* parent) : QWidget(parent), FText(text)
{
    setMinimumWidth(fontMetrics().horizontalAdvance(text) + 24);
}

void TColorPanel::SetPanelColor(TColor color)
{
    FColor = color;
    update();
}

void TColorPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(FColor));
    painter.setPen(ToQColor(clWindowText));
    painter.drawText(rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, FText);
}

TCompareOverview::TCompareOverview(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(MapWidth + MarkerWidth);
}

void TCompareOverview::Build(const std::vector<TColor>& rowColors, TColor plain)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = std::max(1, screen ? screen->size().height() : 1024);
    FMap = QImage(MapWidth, height, QImage::Format_RGB32);
    FMap.fill(ToQColor(clWindow));
    if (!rowColors.empty()) {
        QPainter painter(&FMap);
        const double step = static_cast<double>(height) / static_cast<double>(rowColors.size());
        for (size_t row = 0; row < rowColors.size(); ++row)
            if (rowColors[row] != plain)
                painter.fillRect(0, static_cast<int>(static_cast<double>(row) * step), MapWidth, 2,
                                 ToQColor(rowColors[row]));
    }
    update();
}

void TCompareOverview::SetPosition(int first, int visible, int rows)
{
    FFirst = first;
    FVisible = visible;
    FRows = rows;
    update(QRect(MapWidth, 0, MarkerWidth, height()));
}

int TCompareOverview::MarkerY() const
{
    if (FRows <= 0)
        return -1;
    return static_cast<int>(static_cast<long long>(FFirst + FVisible / 2) * height() / FRows);
}

void TCompareOverview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect map(0, 0, MapWidth, height());
    if (FMap.isNull())
        painter.fillRect(map, ToQColor(clWindow));
    else
        painter.drawImage(map, FMap);
    const QRect marker(MapWidth, 0, MarkerWidth, height());
    painter.fillRect(marker, ToQColor(clWindow));
    if (const int y = MarkerY(); y >= 0)
        painter.fillRect(MapWidth, y - 1, MarkerWidth, 2, Qt::black);
}
