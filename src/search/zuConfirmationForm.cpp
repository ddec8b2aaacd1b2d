#include "search/zuConfirmationForm.h"

#include "app/zuConstants.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

TConfirmationForm::TConfirmationForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConfirmationForm"));
    setWindowTitle(QStringLiteral("Confirm Replace"));
    setWindowFlag(Qt::Tool);
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    layout->addWidget(icon, 0, 0);
    lblConfirmation = new QLabel(this);
    lblConfirmation->setObjectName(QStringLiteral("lblConfirmation"));
    layout->addWidget(lblConfirmation, 0, 1);
    // why: an empty replacement deletes every match it is allowed to; the user sees that
    // before saying Yes.
    lblReplacement = new QLabel(this);
    lblReplacement->setObjectName(QStringLiteral("lblReplacement"));
    lblReplacement->setTextFormat(Qt::PlainText);
    layout->addWidget(lblReplacement, 1, 1);
    auto* buttons = new QHBoxLayout();
    const auto addButton = [&](const char* name, const char* caption, int answer) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
        return button;
    };
    btnReplace = addButton("btnReplace", "&Yes", caYes);
    btnSkip = addButton("btnSkip", "&No", caNo);
    btnCancel = addButton("btnCancel", "Cancel", QDialog::Rejected);
    btnReplaceAll = addButton("btnReplaceAll", "Yes to &All", caYesToAll);
    btnReplace->setDefault(true);
    layout->addLayout(buttons, 2, 0, 1, 2);
}

QPoint ConfirmationPosition(const QRect& area, QSize window, int x, int lineY, int lineLowerY)
{
    const int areaRight = area.left() + area.width();
    int left;
    if (area.width() <= window.width())
        left = area.left() - (window.width() - area.width()) / 2;
    else if (x + window.width() > areaRight)
        left = areaRight - window.width();
    else
        left = x;
    // why: the product is divided with rounding, as the window's placement always has been.
    const int twoThirds = (area.height() * 2 + 1) / 3;
    const int top = lineLowerY > area.top() + twoThirds ? lineY - window.height() - 4 : lineLowerY + 4;
    return {left, top};
}

void TConfirmationForm::ShowAt(const QRect& area, int x, int lineY, int lineLowerY, const std::string& text,
                               const std::string& replacement)
{
    lblConfirmation->setText(QStr(Format(sReplaceOccurrence, {text})));
    lblReplacement->setText(replacement.empty() ? QStringLiteral("with nothing: the text is deleted")
                                                : QStr(Format("with \"%s\"", {replacement})));
    adjustSize();
    move(ConfirmationPosition(area, size(), x, lineY, lineLowerY));
}

TSrcReplaceAction ConfirmReplacement(TSrcEdit& editor, QWidget& documentWindow,
                                     std::unique_ptr<TConfirmationForm>& confirmation,
                                     const std::function<int(QDialog&)>& showModal, const std::string& search,
                                     const std::string& replace, int line, int column)
{
    if (editor.GetSelectedText() == replace)
        return TSrcReplaceAction::raSkip;
    const TPoint client = editor.DisplayPointToClient(editor.BufferToDisplayPoint(MakeBufferCoord(column, line)));
    const TPoint screen = editor.ClientToScreen(client);
    const QRect contents = documentWindow.contentsRect();
    const QRect area(documentWindow.mapToGlobal(contents.topLeft()), contents.size());
    if (!confirmation)
        confirmation = std::make_unique<TConfirmationForm>(&documentWindow);
    confirmation->ShowAt(area, screen.X, screen.Y, screen.Y + editor.LineHeight(), search, replace);
    switch (showModal ? showModal(*confirmation) : confirmation->exec()) {
    case TConfirmationForm::caYes:
        return TSrcReplaceAction::raReplace;
    case TConfirmationForm::caNo:
        return TSrcReplaceAction::raSkip;
    case TConfirmationForm::caYesToAll:
        return TSrcReplaceAction::raReplaceAll;
    default:
        return TSrcReplaceAction::raCancel;
    }
}
