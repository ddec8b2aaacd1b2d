#include "Platform/controls/Forms.h"

TCustomForm::TCustomForm(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    setWindowFlag(Qt::Window);
    setAutoFillBackground(true);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
}
