#pragma once
// The apply and cancel buttons of the insert experts: the apply button runs the expert's work
// (which closes the dialog), the cancel button and Esc close it without any change.

#include <QDialogButtonBox>

#include <functional>

class QDialog;

QDialogButtonBox* MakeApplyCancelButtons(QDialog& dialog, const char* apply, const char* cancel,
                                         std::function<void()> onApply);
