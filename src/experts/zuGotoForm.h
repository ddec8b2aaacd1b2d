#pragma once
// TGotoForm: the "Go To" dialog. The user types "line", "line:column" or ":column", each part
// absolute or, with a "+" or "-" in it, relative to the caret; "&Go To" shows that place in the
// active document and closes the dialog.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include <QDialog>

#include <string_view>

class QLineEdit;
class TCodeEditorForm;

// Where the text moves a caret at `caret`: a part with "+" or "-" in it adds its value (nothing
// when it is no number), any other part replaces the value (unless it is no number). Without ":"
// the column stays. The result never lies before line 1, column 1.
TBufferCoord GotoTarget(std::string_view text, TBufferCoord caret);

class TGotoForm : public QDialog {
public:
    explicit TGotoForm(TCodeEditorForm* document, QWidget* parent = nullptr);

    QLineEdit* PositionEdit = nullptr;

    // "&Go To": moves the document's caret and closes the dialog.
    void GotoClick();

private:
    TCodeEditorForm* FDocument;
};
