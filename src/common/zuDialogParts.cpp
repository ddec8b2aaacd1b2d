// Dialog header and field marks.

#include "common/zuDialogParts.h"

#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* FieldColorProperty = "zentuFieldColor";

} // namespace

TDialogHeader MakeDialogHeader(QWidget* parent, const QString& caption)
{
    TDialogHeader header;
    header.Panel = new QWidget(parent);
    header.Panel->setObjectName(QStringLiteral("HeaderPanel"));
    header.Panel->setAutoFillBackground(true);
    header.Panel->setBackgroundRole(QPalette::Base);
    auto* layout = new QVBoxLayout(header.Panel);
    header.Caption = new QLabel(caption, header.Panel);
    QFont captionFont = header.Caption->font();
    captionFont.setBold(true);
    header.Caption->setFont(captionFont);
    header.Comment = new QLabel(header.Panel);
    layout->addWidget(header.Caption);
    layout->addWidget(header.Comment);
    return header;
}

void SetFieldColor(QWidget* field, TColor color)
{
    QPalette palette = field->palette();
    const QWidget* window = field->window();
    palette.setColor(QPalette::Base, color == clWindow ? window->palette().color(QPalette::Base) : ToQColor(color));
    field->setPalette(palette);
    field->setProperty(FieldColorProperty, static_cast<qlonglong>(color));
    field->update();
}

TColor FieldColor(const QWidget* field)
{
    const QVariant color = field->property(FieldColorProperty);
    return color.isValid() ? static_cast<TColor>(color.toLongLong()) : clWindow;
}

bool ClearFieldMark(QWidget* field)
{
    if (FieldColor(field) != InvalidFieldColor)
        return false;
    SetFieldColor(field, clWindow);
    return true;
}
