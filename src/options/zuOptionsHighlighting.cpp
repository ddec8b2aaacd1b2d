// The application options' "Syntax Highlighting" page: the live colours, styles and masks of
// the editor module's highlighters, written on Apply and put back on Cancel.

#include "options/zuApplicationOptionsForm.h"

#include "documents/zuEditorModule.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"
#include "ExLib/run/lists/ExComboBox.h"
#include "ExLib/run/lists/ExListBox.h"

#include "Platform/core/QtBridge.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

QWidget* TApplicationOptionsForm::MakeHighlightingPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QGridLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Scheme")), 0, 0);
    cmbxScheme = new TExComboBox(nullptr, page);
    cmbxScheme->SetStyle(TComboBoxStyle::csDropDownList);
    layout->addWidget(cmbxScheme, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Extension(s)")), 1, 0);
    edExtensions = new QLineEdit(page);
    edExtensions->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\S*")), page));
    layout->addWidget(edExtensions, 1, 1);

    Preview = new TSrcEdit(nullptr, page);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setMinimumHeight(150);
    layout->addWidget(Preview, 2, 0, 1, 3);

    lbElements = new TExListBox(nullptr, page);
    lbElements->setObjectName(QStringLiteral("Elements"));
    layout->addWidget(lbElements, 3, 0, 2, 2);

    auto* colors = new QGroupBox(QStringLiteral("Colors"), page);
    auto* colorGrid = new QGridLayout(colors);
    colorGrid->addWidget(new QLabel(QStringLiteral("Foreground Color")), 0, 0);
    btnForeground = MakeOptionsColorButton(colors);
    colorGrid->addWidget(btnForeground, 0, 1);
    colorGrid->addWidget(new QLabel(QStringLiteral("Background Color")), 1, 0);
    btnBackground = MakeOptionsColorButton(colors);
    colorGrid->addWidget(btnBackground, 1, 1);
    layout->addWidget(colors, 3, 2);
    auto* styles = new QGroupBox(QStringLiteral("Styles"), page);
    auto* styleGrid = new QGridLayout(styles);
    cbBold = new QCheckBox(QStringLiteral("Bold"), styles);
    cbItalic = new QCheckBox(QStringLiteral("Italic"), styles);
    cbUnderline = new QCheckBox(QStringLiteral("Underline"), styles);
    cbStrikeOut = new QCheckBox(QStringLiteral("Strike Out"), styles);
    styleGrid->addWidget(cbBold, 0, 0);
    styleGrid->addWidget(cbItalic, 0, 1);
    styleGrid->addWidget(cbUnderline, 1, 0);
    styleGrid->addWidget(cbStrikeOut, 1, 1);
    layout->addWidget(styles, 4, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    layout->setRowStretch(3, 1);

    connect(cmbxScheme, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (!FSetting)
            ChooseScheme(index);
    });
    connect(lbElements, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!FSetting)
            ChooseElement(row);
    });
    for (QCheckBox* box : {cbBold, cbItalic, cbUnderline, cbStrikeOut})
        connect(box, &QCheckBox::toggled, this, [this] { AttributeEdited(); });
    for (TExOfficeColorButton* button : {btnForeground, btnBackground})
        button->OnColorChange = [this](TObject*) { AttributeEdited(); };
    connect(edExtensions, &QLineEdit::textEdited, this, [this](const QString& text) { ExtensionsEdited(text); });
    Preview->OnStatusChange = [this](TObject*, TSrcStatusChanges) { PreviewClicked(); };
    return page;
}

void TApplicationOptionsForm::LoadHighlighting()
{
    FSavedHighlighters.clear();
    for (TSrcCustomHighlighter* highlighter : EditorModule->Highlighters()) {
        THighlighterState saved{highlighter, highlighter->DefaultFilter(), {}};
        if (highlighter == EditorModule->PHP_HTML_XML_CSS_JS) {
            const TSchemes& schemes = EditorModule->PHP_HTML_XML_CSS_JS->Schemes();
            for (int i = 0; i < schemes.Count(); ++i)
                saved.Attributes.push_back(AttributeText(*schemes.SchemeAt(i)->MarkerAttri()));
        } else {
            for (int i = 0; i < highlighter->AttriCount(); ++i)
                saved.Attributes.push_back(AttributeText(*highlighter->AttriByIndex(i)));
        }
        FSavedHighlighters.push_back(std::move(saved));
    }

    FSetting = true;
    cmbxScheme->Items().Clear();
    for (TSrcCustomHighlighter* highlighter : EditorModule->Highlighters()) {
        std::string name = highlighter->Name();
        if (highlighter == EditorModule->PHP_HTML_XML_CSS_JS)
            std::replace(name.begin(), name.end(), '_', '+');
        else
            name = highlighter->GetLanguageTitle();
        cmbxScheme->Items().Add(name);
    }
    cmbxScheme->SetItemIndex(0);
    FSetting = false;
    ChooseScheme(0);
}

void TApplicationOptionsForm::ChooseScheme(int index)
{
    const std::vector<TSrcCustomHighlighter*> highlighters = EditorModule->Highlighters();
    if (index < 0 || index >= static_cast<int>(highlighters.size()))
        return;
    FHighlighter = highlighters[static_cast<size_t>(index)];
    FSetting = true;
    edExtensions->setText(QStr(FHighlighter->DefaultFilter()));
    lbElements->Items().Clear();
    if (FHighlighter == EditorModule->PHP_HTML_XML_CSS_JS) {
        Preview->SetHighlighter(nullptr);
        Preview->SetAllText("");
        const TSchemes& schemes = EditorModule->PHP_HTML_XML_CSS_JS->Schemes();
        for (int i = 0; i < schemes.Count(); ++i)
            lbElements->Items().Add(schemes.SchemeAt(i)->DisplayName());
    } else {
        Preview->SetHighlighter(FHighlighter);
        Preview->SetAllText(FHighlighter->SampleText());
        for (int i = 0; i < FHighlighter->AttriCount(); ++i)
            lbElements->Items().Add(FHighlighter->AttriByIndex(i)->Name());
    }
    FSetting = false;
    lbElements->SetItemIndex(0);
    ChooseElement(0);
}

void TApplicationOptionsForm::ChooseElement(int index)
{
    FAttribute = nullptr;
    if (!FHighlighter || index < 0)
        return;
    if (FHighlighter == EditorModule->PHP_HTML_XML_CSS_JS) {
        const TSchemes& schemes = EditorModule->PHP_HTML_XML_CSS_JS->Schemes();
        if (index < schemes.Count())
            FAttribute = schemes.SchemeAt(index)->MarkerAttri();
    } else {
        FAttribute = FHighlighter->AttriByIndex(index);
    }
    if (lbElements->ItemIndex() != index) {
        FSetting = true;
        lbElements->SetItemIndex(index);
        FSetting = false;
    }
    ShowAttribute();
}

void TApplicationOptionsForm::ShowAttribute()
{
    if (!FAttribute)
        return;
    FSetting = true;
    const TFontStyles style = FAttribute->Style();
    cbBold->setChecked(style.Contains(fsBold));
    cbItalic->setChecked(style.Contains(fsItalic));
    cbUnderline->setChecked(style.Contains(fsUnderline));
    cbStrikeOut->setChecked(style.Contains(fsStrikeOut));
    btnBackground->SetSelectedColor(FAttribute->Background() == clNone ? clWindow : FAttribute->Background());
    btnForeground->SetSelectedColor(FAttribute->Foreground() == clNone ? clWindowText : FAttribute->Foreground());
    FSetting = false;
}

void TApplicationOptionsForm::AttributeEdited()
{
    if (FSetting || !FAttribute)
        return;
    FHighlightersChanged = true;
    TFontStyles style;
    if (cbBold->isChecked())
        style.Include(fsBold);
    if (cbItalic->isChecked())
        style.Include(fsItalic);
    if (cbUnderline->isChecked())
        style.Include(fsUnderline);
    if (cbStrikeOut->isChecked())
        style.Include(fsStrikeOut);
    FAttribute->SetStyle(style);
    // why: an unset colour shows as the window's; it stays unset until the user picks another
    const TColor shownBackground = FAttribute->Background() == clNone ? clWindow : FAttribute->Background();
    if (btnBackground->SelectedColor() != shownBackground)
        FAttribute->SetBackground(btnBackground->SelectedColor());
    const TColor shownForeground = FAttribute->Foreground() == clNone ? clWindowText : FAttribute->Foreground();
    if (btnForeground->SelectedColor() != shownForeground)
        FAttribute->SetForeground(btnForeground->SelectedColor());
    Preview->viewport()->update();
}

void TApplicationOptionsForm::ExtensionsEdited(const QString& text)
{
    if (!FHighlighter)
        return;
    FHighlighter->SetDefaultFilter(StdStr(text));
    FHighlightersChanged = true;
}

void TApplicationOptionsForm::PreviewClicked()
{
    if (FSetting || !FHighlighter || Preview->Highlighter() != FHighlighter)
        return;
    std::string token;
    TSrcHighlighterAttributes* attribute = nullptr;
    if (!Preview->GetTokenAtPos({Preview->CaretChar(), Preview->CaretLine()}, token, attribute) || !attribute)
        return;
    for (int i = 0; i < FHighlighter->AttriCount(); ++i)
        if (FHighlighter->AttriByIndex(i) == attribute) {
            ChooseElement(i);
            return;
        }
}

void TApplicationOptionsForm::ApplyHighlighters()
{
    TIniFileEx& ini = *SettingsFile;
    for (TSrcCustomHighlighter* highlighter : EditorModule->Highlighters()) {
        const std::string& section = highlighter->Name();
        if (highlighter == EditorModule->PHP_HTML_XML_CSS_JS) {
            const TSchemes& schemes = EditorModule->PHP_HTML_XML_CSS_JS->Schemes();
            for (int i = 0; i < schemes.Count(); ++i)
                ini.WriteString(section, SchemeSettingKey(schemes.SchemeAt(i)->SchemeName()),
                               AttributeText(*schemes.SchemeAt(i)->MarkerAttri()));
            continue;
        }
        ini.WriteString(section, std::string(Settings::HighlighterFilterKey), highlighter->DefaultFilter());
        for (int i = 0; i < highlighter->AttriCount(); ++i) {
            const TSrcHighlighterAttributes& attribute = *highlighter->AttriByIndex(i);
            ini.WriteString(section, attribute.Name(), AttributeText(attribute));
        }
    }
}

void TApplicationOptionsForm::RestoreHighlighters()
{
    for (const THighlighterState& saved : FSavedHighlighters) {
        saved.Highlighter->SetDefaultFilter(saved.Filter);
        if (saved.Highlighter == EditorModule->PHP_HTML_XML_CSS_JS) {
            const TSchemes& schemes = EditorModule->PHP_HTML_XML_CSS_JS->Schemes();
            for (int i = 0; i < schemes.Count() && i < static_cast<int>(saved.Attributes.size()); ++i)
                ApplyAttributeText(saved.Attributes[static_cast<size_t>(i)], *schemes.SchemeAt(i)->MarkerAttri());
            continue;
        }
        for (int i = 0; i < saved.Highlighter->AttriCount() && i < static_cast<int>(saved.Attributes.size()); ++i)
            ApplyAttributeText(saved.Attributes[static_cast<size_t>(i)], *saved.Highlighter->AttriByIndex(i));
    }
}
