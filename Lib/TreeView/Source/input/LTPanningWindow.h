#pragma once
// Wheel panning: the small window that marks where panning started, shaped like its picture,
// and the pictures and cursors of the panning directions, drawn in code at their sizes.

#include <QCursor>
#include <QImage>
#include <QWidget>

// The panning pictures (32 x 32, magenta around the shape) and the cursors.
enum class TPanningShape { MoveAll, MoveEW, MoveNS, MoveN, MoveS, MoveE, MoveW, MoveNE, MoveNW, MoveSE, MoveSW };

QImage PanningImage(TPanningShape shape);
QCursor PanningCursor(TPanningShape shape);
// The transparent colour of the panning pictures.
constexpr QRgb PanningKeyColor = 0xFFFF00FF;

class TLTPanningWindow : public QWidget {
public:
    // A window of the picture's shape centred at `screenCentre`; not activated when shown.
    TLTPanningWindow(QWidget* owner, const QImage& image, QPoint screenCentre);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage FImage;
};
