// The editor data module: highlighters, their settings, the choice by extension, file filters
// and editor colours.

#include "documents/zuEditorModule.h"

#include "code/zuCodeExplorerForm.h"
#include "code/zuCodeInsight.h"
#include "documents/zuCodeEditorForm.h"
#include "http/zuHTTPModule.h"
#include "http/zuHttpPaths.h"
#include "app/zuFolders.h"
#include "app/zuMainForm.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJava.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPerl.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPython.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"
#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"
#include "ShellBrowsing/Source/icons/ShellSysImages.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

TEditorModule* EditorModule = nullptr;

namespace {

// The colours and styles the highlighters start with, before the user's settings apply; a
// background of clNone leaves the highlighter's own.
struct TBuiltInStyle {
    const char* Attribute;
    TColor Foreground;
    TFontStyles Style;
    TColor Background = clNone;
};

const std::vector<TBuiltInStyle> PHPStyles = {
    {"Comment", 0x00008000, {fsItalic}},   {"Identifier", clBlack, {}}, {"Reserved Word", 0x00800000, {fsBold}},
    {"Number", 0x00800080, {}},            {"String", 0x000000C0, {}},  {"Symbol", 0x00800000, {}},
    {"Variable", 0x00808000, {}},
};
const std::vector<TBuiltInStyle> JavaScriptStyles = {
    {"Comment", 0x00008000, {fsItalic}}, {"Identifier", clBlack, {}},     {"Reserved Word", 0x00800000, {fsBold}},
    {"Non-reserved Keyword", 0x00800000, {}}, {"Event", 0x00808000, {}}, {"Number", 0x00800080, {}},
    {"String", 0x000000C0, {}},          {"Symbol", 0x00800000, {}},
};
const std::vector<TBuiltInStyle> CSSStyles = {
    {"Comment", 0x00008000, {fsItalic}}, {"Property", 0x00800000, {fsBold}}, {"Number", 0x00800080, {}},
    {"Color Value", 0x00800080, {}},     {"String", 0x000000C0, {}},         {"Symbol", clBlack, {}},
};
const std::vector<TBuiltInStyle> HTMLStyles = {
    {"Comment", 0x00808080, {fsItalic}},
    {"Identifier", 0x00000080, {fsBold}},
};

const std::vector<TBuiltInStyle> SQLStyles = {
    {"Comment", clSilver, {}, clWhite},
    {"Data Type", clBlack, {fsBold}, clWhite},
    {"Default Packages", clBlack, {fsBold}, clWhite},
    {"Exception", clNone, {fsItalic}, clWhite},
    {"Function", clBlack, {fsBold}, clWhite},
    {"Identifier", clBlack, {}, clWhite},
    {"Reserved Word", clNavy, {fsBold}, clWhite},
    {"Number", clPurple, {}, clWhite},
    {"PL/SQL Reserved Word", clBlack, {fsBold}, clWhite},
    {"Space", clWhite, {}, clWhite},
    {"SQL*Plus Command", clBlack, {fsBold}, clWhite},
    {"String", clBlue, {}, clWhite},
    {"Symbol", clBlack, {}, clWhite},
    {"Table Name", clBlack, {}},
    {"Variable", clBlack, {}, clWhite},
};
// Perl and Java look alike.
const std::vector<TBuiltInStyle> PerlJavaStyles = {
    {"Comment", clSilver, {}},           {"Reserved Word", clNavy, {fsBold}}, {"Number", clPurple, {}, clWhite},
    {"Space", clWhite, {}, clWhite},     {"String", clBlue, {}, clWhite},    {"Symbol", clBlack, {}, clWhite},
};
const std::vector<TBuiltInStyle> PythonStyles = {
    {"Comment", clSilver, {fsItalic}},
    {"Reserved Word", clNavy, {fsBold}},
    {"String", clMaroon, {}},
    {"Symbol", clBlack, {}},
};

void ApplyBuiltInStyles(TSrcCustomHighlighter& highlighter, const std::vector<TBuiltInStyle>& styles)
{
    for (int i = 0; i < highlighter.AttriCount(); ++i) {
        TSrcHighlighterAttributes* attribute = highlighter.AttriByIndex(i);
        for (const TBuiltInStyle& style : styles)
            if (attribute->Name() == style.Attribute) {
                attribute->SetForeground(style.Foreground);
                attribute->SetStyle(style.Style);
                if (style.Background != clNone)
                    attribute->SetBackground(style.Background);
            }
    }
}

struct TSchemeSetting {
    const char* Name;
    const char* StartExpr;
    const char* EndExpr;
    TColor MarkerBackground;
    TColor MarkerForeground;
};

bool ParseHexColor(std::string_view text, TColor& color)
{
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    color = static_cast<TColor>(value);
    return true;
}

} // namespace

std::string AttributeText(const TSrcHighlighterAttributes& attribute)
{
    const TFontStyles style = attribute.Style();
    return IntToHex(static_cast<std::uint32_t>(attribute.Background()), 8) +
           IntToHex(static_cast<std::uint32_t>(attribute.Foreground()), 8) + (style.Contains(fsBold) ? "1" : "0") +
           (style.Contains(fsItalic) ? "1" : "0") + (style.Contains(fsUnderline) ? "1" : "0") +
           (style.Contains(fsStrikeOut) ? "1" : "0");
}

std::string SchemeSettingKey(std::string_view schemeName)
{
    std::string key;
    for (char c : schemeName)
        key += c == '=' ? std::string("%3D") : std::string(1, c);
    return key;
}

void ApplyAttributeText(std::string_view text, TSrcHighlighterAttributes& attribute)
{
    if (text.size() != 20)
        return;
    TColor background = clWindow;
    TColor foreground = clWindowText;
    if (!ParseHexColor(text.substr(0, 8), background))
        background = clWindow;
    if (!ParseHexColor(text.substr(8, 8), foreground))
        foreground = clWindowText;
    TFontStyles style;
    const TFontStyle flags[4] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    for (int i = 0; i < 4; ++i)
        if (text[16 + static_cast<size_t>(i)] == '1')
            style.Include(flags[i]);
    attribute.SetBackground(background);
    attribute.SetForeground(foreground);
    attribute.SetStyle(style);
}

TEditorModule::TEditorModule(TComponent* AOwner) : TComponent(AOwner)
{
    SetName("EditorModule");
    EditorModule = this;
    AutoCorrection = new TSrcAutoCorrect(this);
    AutoCorrection->SetName("AutoCorrection");
    AutoCorrection->Items().Add("(c)\t\xC2\xA9");
    AutoCorrection->Items().Add("(r)\t\xC2\xAE");
    CreateHighlighters();
    CodeInsight = new TCodeInsight(this);
    BasicSearch = new TSrcEditSearch(this);
    BasicSearch->SetName("BasicSearch");
    RegExpSearch = new TSrcEditRegexSearch(this);
    RegExpSearch->SetName("RegExpSearch");
    CodeTimer.setInterval(1000);
    QObject::connect(&CodeTimer, &QTimer::timeout, [this] { CodeTimerTimer(); });

    LoadSystemIconLists();
    LoadAutoCorrect();
    LoadHighlighterSettings();
    BuildFileFilters();
    LoadEditorColors();
    LoadCompletionData();
}

TEditorModule::~TEditorModule()
{
    CodeTimer.stop();
    // The system image lists are handed back, never destroyed.
    LargeIconList = nullptr;
    SmallIconList = nullptr;
    if (EditorModule == this)
        EditorModule = nullptr;
}

void TEditorModule::LoadSystemIconLists()
{
    SmallIconList = SmallSysImages();
    LargeIconList = LargeSysImages();
}

void TEditorModule::CreateHighlighters()
{
    PHP_HTML_XML_CSS_JS = new TSrcMultiSyn(this);
    PHP_HTML_XML_CSS_JS->SetName("PHP_HTML_XML_CSS_JS");
    PHP = new TSrcPHPSyn(this);
    PHP->SetName("PHP");
    HTML = new TSrcHTMLSyn(this);
    HTML->SetName("HTML");
    SQL = new TSrcSQLSyn(this);
    SQL->SetName("SQL");
    SQL->SetSQLDialect(sqlMySQL);
    JavaScript = new TSrcJScriptSyn(this);
    JavaScript->SetName("JavaScript");
    CSS = new TSrcCssSyn(this);
    CSS->SetName("CSS");
    XML = new TSrcXMLSyn(this);
    XML->SetName("XML");
    XML->SetWantBracesParsed(false);
    Perl = new TSrcPerlSyn(this);
    Perl->SetName("Perl");
    Java = new TSrcJavaSyn(this);
    Java->SetName("Java");
    Python = new TSrcPythonSyn(this);
    Python->SetName("Python");

    PHP_HTML_XML_CSS_JS->SetDefaultFilter("*.php;*.php3;*.phtml;*.inc");
    PHP->SetDefaultFilter("*.php;*.php3;*.phtml;*.inc");
    HTML->SetDefaultFilter("*.htm;*.html;*.shtml");
    SQL->SetDefaultFilter("*.sql");
    JavaScript->SetDefaultFilter("*.js");
    CSS->SetDefaultFilter("*.css");
    XML->SetDefaultFilter("*.xml;*.xsd;*.xsl;*.xslt");
    Perl->SetDefaultFilter("*.pl;*.pm");
    Java->SetDefaultFilter("*.java");
    Python->SetDefaultFilter("*.py");

    ApplyBuiltInStyles(*PHP, PHPStyles);
    ApplyBuiltInStyles(*JavaScript, JavaScriptStyles);
    ApplyBuiltInStyles(*CSS, CSSStyles);
    ApplyBuiltInStyles(*HTML, HTMLStyles);
    ApplyBuiltInStyles(*SQL, SQLStyles);
    ApplyBuiltInStyles(*Perl, PerlJavaStyles);
    ApplyBuiltInStyles(*Java, PerlJavaStyles);
    ApplyBuiltInStyles(*Python, PythonStyles);

    TSrcMultiSyn& multi = *PHP_HTML_XML_CSS_JS;
    multi.SetDefaultHighlighter(HTML);
    multi.SetDefaultLanguageName("Default");
    const TSchemeSetting schemes[] = {
        {"XML Marker", "<\\?(xml)", "\\?>", clAqua, clWhite},
        {"PHP Marker", "<\\?(php){0,1}", "\\?>", 0x008080FF, clWhite},
        {"JavaScript Marker", "<(script)[^>]*>", "</script>", clMoneyGreen, clWhite},
        {"CSS within <style>...</style> ", "<(style)[^>]*>", "</style>", clFuchsia, clWhite},
        {"CSS within style=\"...\"", "style=\"", "\"", 0x00C080FF, clBlack},
    };
    TSrcCustomHighlighter* schemeHighlighters[] = {XML, PHP, JavaScript, CSS, CSS};
    for (size_t i = 0; i < std::size(schemes); ++i) {
        TScheme* scheme = multi.Schemes().Add();
        scheme->SetSchemeName(schemes[i].Name);
        scheme->SetCaseSensitive(false);
        scheme->SetStartExpr(schemes[i].StartExpr);
        scheme->SetEndExpr(schemes[i].EndExpr);
        scheme->SetHighlighter(schemeHighlighters[i]);
        // why: PHP runs before the page is sent, so a PHP block counts inside a script or style
        // element as anywhere else in the page.
        scheme->SetOpensInsideSchemes(schemeHighlighters[i] == PHP);
        TSrcHighlighterAttributes marker(schemes[i].Name);
        marker.SetBackground(schemes[i].MarkerBackground);
        marker.SetForeground(schemes[i].MarkerForeground);
        scheme->SetMarkerAttri(marker);
    }
}

std::vector<TSrcCustomHighlighter*> TEditorModule::Highlighters() const
{
    return {PHP_HTML_XML_CSS_JS, PHP, HTML, SQL, JavaScript, CSS, XML, Perl, Java, Python};
}

TSrcCustomHighlighter* TEditorModule::HighlighterForExtension(std::string_view extension) const
{
    if (extension.empty())
        return nullptr;
    for (TSrcCustomHighlighter* highlighter : Highlighters())
        for (const std::string& mask : FilterMasks(highlighter->DefaultFilter())) {
            // why: a whole-mask match; a substring test would open .c files as CSS and .h as HTML.
            const std::string_view masked = mask.front() == '*' ? std::string_view(mask).substr(1) : mask;
            if (SameText(masked, extension))
                return highlighter;
        }
    return nullptr;
}

void TEditorModule::LoadHighlighterSettings()
{
    if (!SettingsFile)
        return;
    const TIniFileEx& ini = *SettingsFile;
    // why: a number outside the eight dialects is no dialect; the default one stands for it
    const int dialect = Settings::General::SQLDialect.Read(ini);
    SQL->SetSQLDialect(dialect >= 0 && dialect < SQLDialectCount ? static_cast<TSQLDialect>(dialect) : sqlMySQL);
    for (TSrcCustomHighlighter* highlighter : Highlighters()) {
        const std::string& section = highlighter->Name();
        if (highlighter == PHP_HTML_XML_CSS_JS) {
            TSchemes& schemes = PHP_HTML_XML_CSS_JS->Schemes();
            for (int i = 0; i < schemes.Count(); ++i) {
                TScheme* scheme = schemes.SchemeAt(i);
                ApplyAttributeText(ini.ReadString(section, SchemeSettingKey(scheme->SchemeName()), ""),
                                   *scheme->MarkerAttri());
            }
            continue;
        }
        highlighter->SetDefaultFilter(
            ini.ReadString(section, std::string(Settings::HighlighterFilterKey), highlighter->DefaultFilter()));
        for (int i = 0; i < highlighter->AttriCount(); ++i) {
            TSrcHighlighterAttributes* attribute = highlighter->AttriByIndex(i);
            ApplyAttributeText(ini.ReadString(section, attribute->Name(), ""), *attribute);
        }
    }
}

void TEditorModule::BuildFileFilters()
{
    std::string all;
    std::string filters;
    for (TSrcCustomHighlighter* highlighter : Highlighters()) {
        if (highlighter == PHP_HTML_XML_CSS_JS)
            continue;
        all += highlighter->DefaultFilter() + ";";
        filters += Format("%s Formats|%s|", {highlighter->Name(), highlighter->DefaultFilter()});
    }
    FFileFilter = Format("All Supported Formats|%s|%sAll Formats|*.*", {all, filters});
    if (MainForm) {
        MainForm->OpenDialog.Filter = FFileFilter;
        MainForm->SaveDialog.Filter = FFileFilter;
        MainForm->SetExplorerFileFilter(FFileFilter);
    }
    // The server runs as PHP exactly the files the PHP highlighter colours.
    if (HTTPModule)
        HTTPModule->UpdateServerValues([this](TServerValues& values) { values.PHPFilter = PHP->DefaultFilter(); });
}

void TEditorModule::LoadEditorColors()
{
    if (!SettingsFile)
        return;
    const TIniFileEx& ini = *SettingsFile;
    SelectionBG = Settings::Editor::SelectionBG.Read(ini);
    SelectionFG = Settings::Editor::SelectionFG.Read(ini);
    BookmarkBG = Settings::Editor::BookmarkBG.Read(ini);
    BookmarkFG = Settings::Editor::BookmarkFG.Read(ini);
    MatchedLineBG = Settings::Editor::MatchedLineBG.Read(ini);
    MatchedLineFG = Settings::Editor::MatchedLineFG.Read(ini);
    ActiveLineBG = Settings::Editor::ActiveLineBG.Read(ini);
}

void TEditorModule::LoadAutoCorrect()
{
    if (SettingsFile) {
        const TIniFileEx& ini = *SettingsFile;
        AutoCorrection->Enabled = Settings::AutoCorrection::Enabled.Read(ini);
        TAsSrcAutoCorrectOptions options;
        if (Settings::AutoCorrection::IgnoreCase.Read(ini))
            options.Include(ascoIgnoreCase);
        if (Settings::AutoCorrection::MaintainCase.Read(ini))
            options.Include(ascoMaintainCase);
        if (Settings::AutoCorrection::MouseDown.Read(ini))
            options.Include(ascoCorrectOnMouseDown);
        AutoCorrection->Options = options;
    }
    if (!UserFolder.empty())
        AutoCorrection->LoadItemsFromFile(UserFolder + "autocorrect.dat");
}

void TEditorModule::LoadCompletionData()
{
    CodeInsight->LoadCompletionData(DataFolder);
}

void TEditorModule::AttachEditor(TCustomSrcEdit* editor)
{
    AutoCorrection->SetEditor(editor);
    CodeInsight->AttachEditor(editor);
}

void TEditorModule::CodeTimerTimer()
{
    CodeTimer.stop();
    if (!MainForm)
        return;
    TCodeExplorerForm* explorer = MainForm->CodeExplorerForm();
    TCodeEditorForm* document = MainForm->ActiveEditorForm();
    if (!document) {
        if (explorer)
            explorer->ClearTree();
        return;
    }
    document->TypedSinceParse = false;
    if (explorer)
        explorer->RequestParse(document, TCodeExplorerForm::prkParse);
}
