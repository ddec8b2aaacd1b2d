#include "Platform/controls/Forms.h"

#include "Platform/controls/FormList.h"

TCustomForm::TCustomForm(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    setWindowFlag(Qt::Window);
    setAutoFillBackground(true);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    RegisterCustomForm(this);
}

TCustomForm::~TCustomForm()
{
    UnregisterCustomForm(this);
}
