#include "search/zuSearchForm.h"

#include "search/zuDialogPlacement.h"
#include "search/zuSearchHistory.h"
#include "settings/zuSettings.h"

#include "Platform/core/QtBridge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

const std::vector<TExpressionItem>& SearchExpressionItems()
{
    static const std::vector<TExpressionItem> items = {
        {". Any Single Character", "."},
        {"* 0 or More Matches", "*"},
        {"+ 1 or More Matches", "+", true},
        {"^ Beginning of Line", "^"},
        {"$ End of Line", "$", true},
        {"[ ] Character in Range", "[]"},
        {"[^ ] Character Not in Range", "[^]"},
        {"| Or", "|"},
        {"\\ Escape Special Character", "\\"},
        {"( ) Subexpression", "()"},
        {"{ } Tag Expression", "{}", true},
        {"\\w Alphanumeric Character", "\\w"},
        {"\\W Nonalphanumeric Character", "\\W"},
        {"\\d Numeric Character", "\\d"},
        {"\\D Non-numeric Character", "\\D"},
        {"Find URL", R"((http|https|ftp|news):\/\/[\w]+(\.[\w]+)+([\w\-\.,@?^=%&:/~\+#]*[\w\-\@?^=%&/~\+#])?)"},
        {"Find Tag", "<[^>]+>"},
        {"Find Opening Tag", "<[^/][^>]+>"},
        {"Find Closing Tag", "</[^>]+>", true},
        {"Find String in \" \"", R"("((\\")|[^"(\\")])+")"},
        {"Find String in ( )", R"(\(((\\")|[^"(\\")])+\))"},
        {"Find String in { }", R"({((\\")|[^"(\\")])+})"},
        {"Find String in [ ]", R"(\[((\\")|[^"(\\")])+\])"},
    };
    return items;
}

TSearchForm::TSearchForm(TIniFileEx* settings, const std::string& wordAtCaret, QWidget* parent)
    : QDialog(parent), FSettings(settings)
{
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Find Text"));
    auto* layout = new QVBoxLayout(this);
    FTextRows = new QGridLayout();
    layout->addLayout(FTextRows);

    cmbSearchText = new QComboBox(this);
    cmbSearchText->setObjectName(QStringLiteral("cmbSearchText"));
    cmbSearchText->setEditable(true);
    cmbSearchText->setInsertPolicy(QComboBox::NoInsert);
    cmbSearchText->setMinimumWidth(280);
    btnSearchExpressions = MakeExpressionButton(cmbSearchText, SearchExpressionItems(), SearchExpressionMenu);
    AddTextRow(QStringLiteral("&Search for:"), cmbSearchText, btnSearchExpressions);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    const auto addCheck = [&](const char* name, const char* caption, bool checked) {
        auto* box = new QCheckBox(QString::fromUtf8(caption), options);
        box->setObjectName(QString::fromUtf8(name));
        box->setChecked(checked);
        optionsLayout->addWidget(box);
        return box;
    };
    cbCaseSensitive = addCheck("cbCaseSensitive", "C&ase sensitivity", SearchCaseSensitive);
    cbWholeWords = addCheck("cbWholeWords", "&Whole words only", SearchWholeWords);
    cbSelectedOnly = addCheck("cbSelectedOnly", "&Selected text only", SearchSelectedOnly);
    cbFromCaret = addCheck("cbFromCaret", "&Search from caret", SearchFromCaret);
    cbRegExp = addCheck("cbRegExp", "&Regular Expressions", SearchRegExp);

    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    direction->setObjectName(QStringLiteral("rgDirection"));
    auto* directionLayout = new QVBoxLayout(direction);
    rbUp = new QRadioButton(QStringLiteral("&Up"), direction);
    rbDown = new QRadioButton(QStringLiteral("&Down"), direction);
    directionLayout->addWidget(rbUp);
    directionLayout->addWidget(rbDown);
    directionLayout->addStretch();
    (SearchBackwards ? rbUp : rbDown)->setChecked(true);

    auto* boxes = new QHBoxLayout();
    boxes->addWidget(options);
    boxes->addWidget(direction);
    layout->addLayout(boxes);

    auto* buttons = new QDialogButtonBox(this);
    btnFind = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::AcceptRole);
    btnFind->setDefault(true);
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    btnHelp = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    btnHelp->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        if (FHelp)
            FHelp();
    });
    layout->addWidget(buttons);

    // why: Tab goes from field to field; the small expression buttons, which only add to a
    // field, come last, so typing after a Tab never lands on one of them.
    QWidget* previous = cmbSearchText;
    for (QWidget* next : std::initializer_list<QWidget*>{cbCaseSensitive, cbWholeWords, cbSelectedOnly, cbFromCaret,
                                                        cbRegExp, rbUp, rbDown, btnFind,
                                                        close, btnHelp, btnSearchExpressions}) {
        setTabOrder(previous, next);
        previous = next;
    }

    const std::vector<std::string> history =
        FSettings ? ReadSearchHistory(*FSettings, Settings::Find::Section) : std::vector<std::string>();
    FillHistoryBox(*cmbSearchText, history, wordAtCaret);
    if (!wordAtCaret.empty())
        LastSearchText = wordAtCaret;
    cmbSearchText->lineEdit()->selectAll();
    cmbSearchText->setFocus();
}

void TSearchForm::SetHelpHandler(std::function<void()> handler)
{
    FHelp = std::move(handler);
    btnHelp->setEnabled(static_cast<bool>(FHelp));
}

void TSearchForm::AddTextRow(const QString& caption, QWidget* box, QToolButton* button)
{
    const int row = FTextRows->rowCount();
    auto* label = new QLabel(caption, this);
    label->setBuddy(box);
    FTextRows->addWidget(label, row, 0);
    FTextRows->addWidget(box, row, 1);
    FTextRows->addWidget(button, row, 2);
}

QToolButton* TSearchForm::MakeExpressionButton(QComboBox* box, const std::vector<TExpressionItem>& items,
                                               QMenu*& menu)
{
    auto* button = new QToolButton(this);
    button->setArrowType(Qt::RightArrow);
    button->setPopupMode(QToolButton::InstantPopup);
    menu = new QMenu(button);
    for (const TExpressionItem& item : items) {
        QAction* entry = menu->addAction(QStr(item.Caption));
        const QString text = QStr(item.Text);
        connect(entry, &QAction::triggered, this, [this, box, text] {
            cbRegExp->setChecked(true);
            box->setEditText(box->currentText() + text);
        });
        if (item.RuleAfter)
            menu->addSeparator();
    }
    button->setMenu(menu);
    return button;
}

void TSearchForm::showEvent(QShowEvent* event)
{
    CentreOnScreen(*this);
    QDialog::showEvent(event);
}

void TSearchForm::done(int result)
{
    if (result == QDialog::Accepted)
        StoreChoices();
    QDialog::done(result);
}

void TSearchForm::StoreChoices()
{
    SearchCaseSensitive = cbCaseSensitive->isChecked();
    SearchWholeWords = cbWholeWords->isChecked();
    SearchSelectedOnly = cbSelectedOnly->isChecked();
    SearchFromCaret = cbFromCaret->isChecked();
    SearchRegExp = cbRegExp->isChecked();
    SearchBackwards = rbUp->isChecked();
    const std::string text = StdStr(cmbSearchText->currentText());
    if (text.empty())
        return;
    LastSearchText = text;
    std::vector<std::string> history = HistoryOfBox(*cmbSearchText);
    PushSearchHistory(history, text);
    if (FSettings)
        WriteSearchHistory(*FSettings, Settings::Find::Section, history,
                           {Settings::Find::Path.Key, Settings::Find::Filter.Key});
}
