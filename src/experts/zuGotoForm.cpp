#include "experts/zuGotoForm.h"

#include "documents/zuCodeEditorForm.h"
#include "help/zuHelpRouter.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/text/TextUtils.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int MaxColumnPart = 255;

int ApplyPart(const std::string& part, int current)
{
    int value = 0;
    const bool number = TryStrToInt(part, value);
    if (part.find_first_of("+-") != std::string::npos)
        return number ? current + value : current;
    return number ? value : current;
}

} // namespace

TBufferCoord GotoTarget(std::string_view text, TBufferCoord caret)
{
    int line = caret.LineNumber;
    int column = caret.CharIndex;
    const size_t colon = text.find(':');
    line = ApplyPart(std::string(text.substr(0, colon)), line);
    if (colon != std::string_view::npos)
        column = ApplyPart(std::string(text.substr(colon + 1, MaxColumnPart)), column);
    return MakeBufferCoord(std::max(column, 1), std::max(line, 1));
}

TGotoForm::TGotoForm(TCodeEditorForm* document, QWidget* parent) : QDialog(parent), FDocument(document)
{
    setWindowTitle(QStringLiteral("Go To"));
    PositionEdit = new QLineEdit(this);
    PositionEdit->setObjectName(QStringLiteral("PositionEdit"));
    PositionEdit->setMaxLength(21);
    auto* label = new QLabel(QStringLiteral("Goto [Line:Column]"), this);
    label->setBuddy(PositionEdit);
    auto* note = new QLabel(QStringLiteral("You may use +/- marks to locate caret relatively\nto the current position"), this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* go = buttons->addButton(QStringLiteral("&Go To"), QDialogButtonBox::AcceptRole);
    go->setDefault(true);
    buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    QPushButton* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    connect(go, &QPushButton::clicked, this, [this] { GotoClick(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [] { ShowProgramHelpContents(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(PositionEdit);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void TGotoForm::GotoClick()
{
    if (FDocument && FDocument->Editor())
        FDocument->ShowLine(GotoTarget(PositionEdit->text().toStdString(), FDocument->Editor()->GetCaretCoord()));
    accept();
}
