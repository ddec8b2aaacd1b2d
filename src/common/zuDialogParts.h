#pragma once
// Parts that the IDE's tool dialogs share: the header strip (a bold caption and a comment line
// under it) and the marking of invalid fields, which are painted red (colour value 255) until
// they are entered again.

#include "Platform/graphics/Colors.h"

#include <QString>

class QLabel;
class QWidget;

inline constexpr TColor InvalidFieldColor = 255;

struct TDialogHeader {
    QWidget* Panel = nullptr;
    QLabel* Caption = nullptr;
    QLabel* Comment = nullptr;
};
// A header with its caption, to be placed at the top of the dialog's layout.
TDialogHeader MakeDialogHeader(QWidget* parent, const QString& caption);

// Paints the field's background in `color` (clWindow gives it the normal colour back).
void SetFieldColor(QWidget* field, TColor color);
// The colour the field was painted in: InvalidFieldColor when marked, else clWindow.
TColor FieldColor(const QWidget* field);
// Entering a marked field makes it normal again; true when it was marked.
bool ClearFieldMark(QWidget* field);
