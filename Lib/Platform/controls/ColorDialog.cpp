#include "Platform/controls/ColorDialog.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QColorDialog>
#include <QEvent>

namespace {

// Tells the dialog's owner when the window shows.
class TShowWatcher : public QObject {
public:
    TShowWatcher(TObject* sender, const TNotifyEvent& onShow) : FSender(sender), FOnShow(onShow) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && FOnShow)
            FOnShow(FSender);
        return QObject::eventFilter(watched, event);
    }

private:
    TObject* FSender;
    const TNotifyEvent& FOnShow;
};

} // namespace

bool TColorDialog::Execute()
{
    QColorDialog dialog(ToQColor(ColorToRGB(FColor)), QApplication::activeWindow());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
        const std::string value = FCustomColors.Values(std::string("Color") + static_cast<char>('A' + i));
        if (value.empty())
            continue;
        bool ok = false;
        const unsigned bgr = QStr(value).toUInt(&ok, 16);
        if (ok)
            QColorDialog::setCustomColor(i, ToQColor(static_cast<TColor>(bgr & 0xFFFFFF)));
    }
    TShowWatcher watcher(this, OnShow);
    dialog.installEventFilter(&watcher);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialog.removeEventFilter(&watcher);
    if (accepted) {
        FColor = FromQColor(dialog.selectedColor());
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            const TColor custom = FromQColor(QColorDialog::customColor(i));
            FCustomColors.SetValues(std::string("Color") + static_cast<char>('A' + i),
                                    StdStr(QString::number(static_cast<unsigned>(custom) & 0xFFFFFF, 16).toUpper()));
        }
    }
    if (OnClose)
        OnClose(this);
    return accepted;
}
