#pragma once
// TConfirmationForm: "Confirm Replace", asked for each match of a replace with prompting, placed
// next to the match; and the handler that answers the editor's replace-text event with it.

#include "SrcEdit/Source/view/SrcEditControlTypes.h"

#include <QDialog>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class TSrcEdit;

class TConfirmationForm : public QDialog {
public:
    // The dialog's results besides Rejected (Cancel, Esc, closing).
    enum TAnswer { caYes = 10, caNo, caYesToAll };

    explicit TConfirmationForm(QWidget* parent = nullptr);

    // Sets the question for `text`, says what `replacement` puts in its place and moves the
    // window next to the match (all in screen pixels): `x` and `lineY` are the match's left and
    // its line's upper edge, `lineLowerY` the line's lower edge, `area` the document window's
    // client area.
    void ShowAt(const QRect& area, int x, int lineY, int lineLowerY, const std::string& text,
                const std::string& replacement);

    QLabel* lblConfirmation = nullptr;
    QLabel* lblReplacement = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnSkip = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnReplaceAll = nullptr;
};

// Where the window's upper left corner goes: beside the match horizontally, kept inside the
// area (centred on it when the window is wider); below the match line in the upper two thirds
// of the area, above it in the lowest third.
QPoint ConfirmationPosition(const QRect& area, QSize window, int x, int lineY, int lineLowerY);

// The replace-text event of a document's editor during one replace run: skips a match equal to
// its replacement, otherwise asks through `confirmation` (made on first use and kept for the
// run) shown by `showModal`.
TSrcReplaceAction ConfirmReplacement(TSrcEdit& editor, QWidget& documentWindow,
                                     std::unique_ptr<TConfirmationForm>& confirmation,
                                     const std::function<int(QDialog&)>& showModal, const std::string& search,
                                     const std::string& replace, int line, int column);
