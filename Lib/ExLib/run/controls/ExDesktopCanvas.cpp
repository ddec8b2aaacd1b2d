#include "ExLib/run/controls/ExDesktopCanvas.h"

#include "Platform/graphics/PainterState.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

class TExDesktopCanvas::Overlay : public QWidget {
public:
    explicit Overlay(const QImage& picture)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput),
          FPicture(picture)
    {
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, FPicture);
    }

private:
    const QImage& FPicture;
};

TExDesktopCanvas::TExDesktopCanvas() = default;

TExDesktopCanvas::~TExDesktopCanvas()
{
    SetHandle(nullptr);
    FPainter.reset();
}

void TExDesktopCanvas::HandleNeeded()
{
    if (FPainter)
        return;
    QRect screen(0, 0, 1, 1);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    FPicture = QImage(screen.size(), QImage::Format_ARGB32_Premultiplied);
    FPicture.fill(Qt::transparent);
    FOverlay = std::make_unique<Overlay>(FPicture);
    FOverlay->setGeometry(screen);
    FPainter = std::make_unique<QPainter>(&FPicture);
    SetHandle(FPainter.get());
}

void TExDesktopCanvas::Flush()
{
    if (!FOverlay)
        return;
    FOverlay->show();
    FOverlay->update();
}

void TExDesktopCanvas::Clear()
{
    if (!FPainter)
        return;
    {
        const TPainterStateGuard state(*FPainter);
        FPainter->setCompositionMode(QPainter::CompositionMode_Source);
        FPainter->fillRect(FPicture.rect(), Qt::transparent);
    }
    Flush();
}
