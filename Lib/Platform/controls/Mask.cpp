#include "Platform/controls/Mask.h"

#include "Platform/controls/EditClipboard.h"
#include "Platform/core/QtBridge.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

TCustomMaskEdit::TCustomMaskEdit(TComponent* AOwner, QWidget* parent) : TQtControl<QLineEdit>(AOwner, parent)
{
    SetInitialColor(clWindow);
    FTextConnection = QObject::connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        SyncText(StdStr(text));
        Change();
    });
}

TCustomMaskEdit::~TCustomMaskEdit()
{
    QObject::disconnect(FTextConnection);
}

void TCustomMaskEdit::SetMaxLength(int value)
{
    FMaxLength = std::max(0, value);
    setMaxLength(FMaxLength == 0 ? 32767 : FMaxLength);
}

std::string TCustomMaskEdit::SelText() const
{
    return StdStr(selectedText());
}

void TCustomMaskEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomMaskEdit::ApplyText(const std::string& text)
{
    setText(QStr(text));
}

void TCustomMaskEdit::WndProc(TMessage& message)
{
    // why: QLineEdit::del removes the character after the cursor when nothing is selected
    const auto clearSelection = [this] {
        if (hasSelectedText())
            del();
    };
    if (!PerformClipboardMessage(*this, message, clearSelection))
        TQtControl<QLineEdit>::WndProc(message);
}

void TCustomMaskEdit::keyPressEvent(QKeyEvent* event)
{
    if (!SendClipboardKey(*this, *event))
        QLineEdit::keyPressEvent(event);
}

std::unique_ptr<QMenu> TCustomMaskEdit::CreateEditMenu()
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    RouteEditMenuActions(*menu, *this);
    return menu;
}

void TCustomMaskEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu = CreateEditMenu();
    menu->exec(event->globalPos());
}
