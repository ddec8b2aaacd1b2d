#include "ExLib/run/docking/support/ExDockOverlay.h"

#include <QPainter>
#include <QWidget>

class TExDockOverlay::Band : public QWidget {
public:
    Band(QWidget* parent, int thickness) : QWidget(parent), FThickness(thickness)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        if (!parent) {
            setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus);
            setAttribute(Qt::WA_ShowWithoutActivating);
        }
    }

    // Strips of a shaped band, in the band's own coordinates; none for a plain frame.
    std::vector<QRect> Strips;

    // A frame on the screen shows only its strips: without a compositor a window cannot be
    // see-through, so its middle is cut away.
    void UpdateMask()
    {
        const QRect r = rect();
        const int t = FThickness;
        if (!Strips.empty()) {
            QRegion shape;
            for (const QRect& s : Strips)
                shape += s;
            setMask(shape);
            return;
        }
        if (parentWidget() || t <= 0 || r.width() <= 2 * t || r.height() <= 2 * t) {
            clearMask();
            return;
        }
        setMask(QRegion(r).subtracted(QRegion(r.adjusted(t, t, -t, -t))));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QBrush pattern(QColor(0, 0, 0), Qt::Dense4Pattern);
        const QRect r = rect();
        if (!Strips.empty()) {
            for (const QRect& s : Strips) {
                painter.fillRect(s, QColor(160, 160, 160));
                painter.fillRect(s, pattern);
            }
            return;
        }
        if (parentWidget() || FThickness <= 0 || r.width() <= 2 * FThickness || r.height() <= 2 * FThickness) {
            painter.fillRect(r, QColor(255, 255, 255, 90));
            painter.fillRect(r, pattern);
            return;
        }
        const int t = FThickness;
        // The four strips tile the frame without overlapping.
        const QRect strips[] = {
            QRect(t, 0, r.width() - t, t),
            QRect(r.width() - t, t, t, r.height() - t),
            QRect(0, r.height() - t, r.width() - t, t),
            QRect(0, 0, t, r.height() - t),
        };
        for (const QRect& s : strips) {
            painter.fillRect(s, QColor(160, 160, 160));
            painter.fillRect(s, pattern);
        }
    }

private:
    int FThickness;
};

TExDockOverlay::TExDockOverlay(QWidget* parent, int thickness) : FBand(new Band(parent, thickness))
{
    FBand->hide();
}

TExDockOverlay::~TExDockOverlay()
{
    // A bar belongs to its parent widget as well; delete it only while it still exists.
    delete FBand.data();
}

QWidget* TExDockOverlay::Widget() const
{
    return FBand.data();
}

void TExDockOverlay::Xor(const TRect& r)
{
    XorStrips(r, {});
}

void TExDockOverlay::XorStrips(const TRect& r, const std::vector<TRect>& strips)
{
    if (!FBand)
        return;
    if (FShown && r == FRect && strips == FStrips) {
        Hide();
        return;
    }
    FRect = r;
    FStrips = strips;
    FShown = true;
    FBand->Strips.clear();
    for (const TRect& s : strips)
        FBand->Strips.push_back(QRect(s.Left - r.Left, s.Top - r.Top, s.Width(), s.Height()));
    FBand->setGeometry(r.ToQt());
    FBand->UpdateMask();
    FBand->show();
    FBand->raise();
}

void TExDockOverlay::Hide()
{
    FShown = false;
    if (FBand)
        FBand->hide();
}
