#include "experts/zuSelectSyntaxForm.h"
#include "experts/zuExpertButtons.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* NoScheme = "-- None --";
constexpr const char* SQLDialectCaptions[] = {"Standard ", "Interbase 6 ", "MS SQL7 ", "MySQL ",
                                              "Oracle",    "Sybase ",      "Ingres ",  "MS SQL2K"};

} // namespace

std::string SchemeCaption(const TSrcCustomHighlighter& highlighter)
{
    if (dynamic_cast<const TSrcMultiSyn*>(&highlighter)) {
        std::string name = highlighter.Name();
        std::replace(name.begin(), name.end(), '_', '+');
        return name;
    }
    return highlighter.GetLanguageTitle();
}

TSelectSyntaxForm::TSelectSyntaxForm(std::vector<TSrcCustomHighlighter*> highlighters, TSrcSQLSyn* sql,
                                     TSrcEdit* editor, QWidget* parent)
    : QDialog(parent), FHighlighters(std::move(highlighters)), FSQL(sql), FEditor(editor)
{
    setWindowTitle(QStringLiteral("Syntax Highlighting"));
    SchemeBox = new QListWidget(this);
    SchemeBox->setObjectName(QStringLiteral("SchemeBox"));
    for (const TSrcCustomHighlighter* highlighter : FHighlighters)
        SchemeBox->addItem(QStr(SchemeCaption(*highlighter)));
    SchemeBox->addItem(QString::fromUtf8(NoScheme));
    const TSrcCustomHighlighter* current = FEditor ? FEditor->Highlighter() : nullptr;
    const auto found = std::find(FHighlighters.begin(), FHighlighters.end(), current);
    SchemeBox->setCurrentRow(current && found != FHighlighters.end() ? static_cast<int>(found - FHighlighters.begin())
                                                                      : static_cast<int>(FHighlighters.size()));

    SQLSchemeBox = new QListWidget(this);
    SQLSchemeBox->setObjectName(QStringLiteral("SQLSchemeBox"));
    for (const char* caption : SQLDialectCaptions)
        SQLSchemeBox->addItem(QString::fromUtf8(caption));
    SQLSchemeBox->setCurrentRow(FSQL ? static_cast<int>(FSQL->SQLDialect()) : -1);

    auto* schemeLabel = new QLabel(QStringLiteral("Select Syntax Scheme:"), this);
    schemeLabel->setBuddy(SchemeBox);
    auto* sqlLabel = new QLabel(QStringLiteral("Select SQL Dialect:"), this);
    sqlLabel->setBuddy(SQLSchemeBox);
    QDialogButtonBox* buttons = MakeApplyCancelButtons(*this, "Apply", "Cancel", [this] { ApplyClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(schemeLabel);
    layout->addWidget(SchemeBox, 2);
    layout->addWidget(sqlLabel);
    layout->addWidget(SQLSchemeBox, 1);
    layout->addWidget(buttons);
    resize(300, 420);
}

TSrcCustomHighlighter* TSelectSyntaxForm::SelectedHighlighter() const
{
    const int row = SchemeBox->currentRow();
    return row >= 0 && row < static_cast<int>(FHighlighters.size()) ? FHighlighters[static_cast<size_t>(row)] : nullptr;
}

void TSelectSyntaxForm::ApplyClick()
{
    if (FEditor)
        FEditor->SetHighlighter(SelectedHighlighter());
    const int dialect = SQLSchemeBox->currentRow();
    if (FSQL && dialect >= 0 && dialect < SQLDialectCount)
        FSQL->SetSQLDialect(static_cast<TSQLDialect>(dialect));
    accept();
}
