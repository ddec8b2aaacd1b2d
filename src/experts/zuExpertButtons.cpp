#include "experts/zuExpertButtons.h"

#include <QDialog>

QDialogButtonBox* MakeApplyCancelButtons(QDialog& dialog, const char* apply, const char* cancel,
                                         std::function<void()> onApply)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QString::fromUtf8(apply), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(cancel), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, std::move(onApply));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}
