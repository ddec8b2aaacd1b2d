#include "ExLib/run/controls/ExExMask.h"

#include <QApplication>

void TExExCustomMaskEdit::ErrorBeep()
{
    if (FBeepOnError)
        QApplication::beep();
}
