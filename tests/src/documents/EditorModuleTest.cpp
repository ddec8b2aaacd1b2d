// The editor data module: the highlighter chosen for a file, the stored masks and colours, the
// SQL dialect, the file filter text, the editor colours, and pages of every language that
// actually show in colour.

#include "src/run/ShellTestSupport.h"

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

#include <QImage>

#include <set>

namespace {

struct EditorModuleTest : ShellTest {
    TSrcHighlighterAttributes* Attribute(TSrcCustomHighlighter& highlighter, const std::string& name)
    {
        for (int i = 0; i < highlighter.AttriCount(); ++i)
            if (highlighter.AttriByIndex(i)->Name() == name)
                return highlighter.AttriByIndex(i);
        ADD_FAILURE() << "no attribute " << name;
        static TSrcHighlighterAttributes none("none");
        return &none;
    }
};

} // namespace

TEST_F(EditorModuleTest, TheHighlighterIsChosenByAWholeFileMask)
{
    Start();
    const std::vector<std::pair<const char*, TSrcCustomHighlighter*>> cases = {
        {".php", Module->PHP_HTML_XML_CSS_JS}, {".PHP", Module->PHP_HTML_XML_CSS_JS},
        {".inc", Module->PHP_HTML_XML_CSS_JS}, {".phtml", Module->PHP_HTML_XML_CSS_JS},
        {".htm", Module->HTML},                {".shtml", Module->HTML},
        {".js", Module->JavaScript},           {".css", Module->CSS},
        {".xslt", Module->XML},                {".sql", Module->SQL},
        {".pl", Module->Perl},                 {".PM", Module->Perl},
        {".py", Module->Python},               {".java", Module->Java},
        {".cgi", nullptr},                     {".txt", nullptr},
        {"", nullptr},
        // Parts of a mask name no language.
        {".c", nullptr}, {".h", nullptr}, {".in", nullptr}, {".ph", nullptr}, {".x", nullptr}, {".j", nullptr},
        {".p", nullptr}, {".jav", nullptr}, {".sq", nullptr},
    };
    for (const auto& [extension, highlighter] : cases) {
        SCOPED_TRACE(extension);
        EXPECT_EQ(Module->HighlighterForExtension(extension), highlighter);
    }
}

TEST_F(EditorModuleTest, StoredMasksWidenAHighlighter)
{
    Setting("PHP", "Filter", "*.php;*.php3;*.phtml;*.inc;*.tpl");
    Start();
    EXPECT_EQ(Module->HighlighterForExtension(".tpl"), Module->PHP);
    EXPECT_EQ(Module->HighlighterForExtension(".php"), Module->PHP_HTML_XML_CSS_JS);
    TCodeEditorForm* document = Open(WriteWork("page.tpl", "<?php ?>"));
    EXPECT_EQ(document->Editor()->Highlighter(), reinterpret_cast<TSrcCustomHighlighter*>(Module->PHP));
}

TEST_F(EditorModuleTest, TheFileFilterListsEveryLanguageInComponentOrder)
{
    Start();
    EXPECT_EQ(Module->FileFilter(),
              "All Supported Formats|*.php;*.php3;*.phtml;*.inc;*.htm;*.html;*.shtml;*.sql;*.js;*.css;"
              "*.xml;*.xsd;*.xsl;*.xslt;*.pl;*.pm;*.java;*.py;|"
              "PHP Formats|*.php;*.php3;*.phtml;*.inc|HTML Formats|*.htm;*.html;*.shtml|SQL Formats|*.sql|"
              "JavaScript Formats|*.js|CSS Formats|*.css|XML Formats|*.xml;*.xsd;*.xsl;*.xslt|"
              "Perl Formats|*.pl;*.pm|Java Formats|*.java|Python Formats|*.py|All Formats|*.*");
    EXPECT_EQ(Form->OpenDialog.Filter, Module->FileFilter());
    EXPECT_EQ(Form->SaveDialog.Filter, Module->FileFilter());
    EXPECT_EQ(QtFileFilter("PHP Formats|*.php;*.inc|All Formats|*.*"),
              QStringLiteral("PHP Formats (*.php *.inc);;All Formats (*)"));
}

TEST_F(EditorModuleTest, AttributeTextsSetColoursAndStyle)
{
    TSrcHighlighterAttributes attribute("Test");
    ApplyAttributeText("00FFFFFF000000FF1010", attribute);
    EXPECT_EQ(attribute.Background(), clWhite);
    EXPECT_EQ(attribute.Foreground(), clRed);
    EXPECT_EQ(attribute.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(AttributeText(attribute), "00FFFFFF000000FF1010");

    ApplyAttributeText("00FFFFFF000000FF101", attribute); // too short: ignored
    ApplyAttributeText("00FFFFFF000000FF10100", attribute); // too long: ignored
    EXPECT_EQ(attribute.Foreground(), clRed);

    ApplyAttributeText("ZZZZZZZZ1FFFFFFFx0y1", attribute);
    EXPECT_EQ(attribute.Background(), clWindow);
    EXPECT_EQ(attribute.Foreground(), clNone);
    EXPECT_EQ(attribute.Style(), (TFontStyles{fsStrikeOut}));
    ApplyAttributeText("1FFFFFFFnothex!!0000", attribute);
    EXPECT_EQ(attribute.Foreground(), clWindowText);
}

TEST_F(EditorModuleTest, StoredColoursApplyToAttributesAndSchemeMarkers)
{
    Setting("PHP", "Reserved Word", "00FFFFFF000000FF0100");
    Setting("PHP", "Comment", "bad");
    Setting("PHP_HTML_XML_CSS_JS", "PHP Marker", "0000FF0000FFFFFF0000");
    Start();
    TSrcHighlighterAttributes* reserved = Attribute(*Module->PHP, "Reserved Word");
    EXPECT_EQ(reserved->Foreground(), clRed);
    EXPECT_EQ(reserved->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(Attribute(*Module->PHP, "Comment")->Foreground(), TColor(0x00008000)) << "built-in kept";
    TScheme* php = Module->PHP_HTML_XML_CSS_JS->Schemes().SchemeAt(1);
    EXPECT_EQ(php->SchemeName(), "PHP Marker");
    EXPECT_EQ(php->MarkerAttri()->Background(), TColor(0x0000FF00));
    TScheme* style = Module->PHP_HTML_XML_CSS_JS->Schemes().SchemeAt(3);
    EXPECT_EQ(style->SchemeName(), "CSS within <style>...</style> ");
    EXPECT_EQ(style->MarkerAttri()->Background(), clFuchsia);
}

TEST_F(EditorModuleTest, EditorColoursComeFromTheEditorSection)
{
    Setting("Editor", "BookmarkBG", "clRed");
    Setting("Editor", "ActiveLineBG", "$00EEEEEE");
    Start();
    EXPECT_EQ(Module->BookmarkBG, clRed);
    EXPECT_EQ(Module->MatchedLineBG, TColor(0x00F0CAA6));
    EXPECT_EQ(Module->SelectionBG, clHighlight);
    EXPECT_EQ(Module->ActiveLineBG, TColor(0x00EEEEEE));
    TCodeEditorForm* document = Open(WriteWork("a.php", ""));
    EXPECT_EQ(document->Editor()->ActiveLineColor(), TColor(0x00EEEEEE));
}

TEST_F(EditorModuleTest, APHPPageIsPaintedInSeveralColours)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("page.php", "<html>\r\n<?php\r\n// comment\r\n$name = \"World\";\r\n"
                                                           "function greet($who) { return 42; }\r\n?>\r\n</html>"));
    document->Editor()->SetCaretCoord(MakeBufferCoord(1, 7));
    const QImage image = document->Editor()->viewport()->grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 60; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
    // Text, comment, keyword, variable, string, number, marker... well beyond black on white.
    for (TColor wanted : {TColor(0x00008000), TColor(0x00800000), TColor(0x00808000), TColor(0x000000C0)}) {
        const QColor c = ToQColor(wanted);
        EXPECT_TRUE(colours.count(c.rgb() & 0xFFFFFF)) << std::hex << wanted;
    }
}

TEST_F(EditorModuleTest, TheModuleHoldsTenHighlightersInComponentOrder)
{
    Start();
    std::vector<std::string> names;
    for (TSrcCustomHighlighter* highlighter : Module->Highlighters())
        names.push_back(highlighter->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"PHP_HTML_XML_CSS_JS", "PHP", "HTML", "SQL", "JavaScript", "CSS", "XML",
                                               "Perl", "Java", "Python"}));
    EXPECT_EQ(Module->SQL->SQLDialect(), sqlMySQL) << "the dialect of a missing setting";
    EXPECT_EQ(Module->SQL->DefaultFilter(), "*.sql");
    EXPECT_TRUE(Module->SQL->IsFilterStored());
}

TEST_F(EditorModuleTest, TheSqlDialectComesFromTheGeneralSection)
{
    const std::vector<std::pair<const char*, TSQLDialect>> cases = {
        {"0", sqlStandard}, {"4", sqlOracle}, {"7", sqlMSSQL2K}, {"8", sqlMySQL}, {"-1", sqlMySQL}, {"x", sqlMySQL},
    };
    for (const auto& [text, dialect] : cases) {
        SCOPED_TRACE(text);
        Setting("General", "SQLDialect", text);
        Start();
        EXPECT_EQ(Module->SQL->SQLDialect(), dialect);
        Stop();
    }
}

TEST_F(EditorModuleTest, TheNewLanguagesStartWithTheIdesColours)
{
    Start();
    struct TExpected {
        TSrcCustomHighlighter* Highlighter;
        const char* Attribute;
        TColor Foreground;
        TColor Background;
        TFontStyles Style;
    };
    const std::vector<TExpected> cases = {
        {Module->SQL, "Comment", clSilver, clWhite, {}},
        {Module->SQL, "Reserved Word", clNavy, clWhite, {fsBold}},
        {Module->SQL, "Exception", clNone, clWhite, {fsItalic}},
        {Module->SQL, "Table Name", clBlack, clNone, {}},
        {Module->SQL, "Delimited Identifier", clNone, clNone, {}},
        {Module->SQL, "Conditional Comment", clNone, clNone, {fsItalic}},
        {Module->SQL, "Space", clWhite, clWhite, {}},
        {Module->Perl, "Comment", clSilver, clNone, {}},
        {Module->Perl, "Number", clPurple, clWhite, {}},
        {Module->Perl, "Variable", clNone, clNone, {fsBold}},
        {Module->Java, "Comment", clSilver, clNone, {}},
        {Module->Java, "String", clBlue, clWhite, {}},
        {Module->Java, "Documentation", clNone, clNone, {fsItalic}},
        {Module->Python, "Comment", clSilver, clNone, {fsItalic}},
        {Module->Python, "String", clMaroon, clNone, {}},
        {Module->Python, "Documentation", clTeal, clNone, {}},
    };
    for (const TExpected& c : cases) {
        SCOPED_TRACE(c.Highlighter->Name() + " " + c.Attribute);
        const TSrcHighlighterAttributes* attribute = Attribute(*c.Highlighter, c.Attribute);
        EXPECT_EQ(attribute->Foreground(), c.Foreground);
        EXPECT_EQ(attribute->Background(), c.Background);
        EXPECT_EQ(attribute->Style(), c.Style);
    }
}

TEST_F(EditorModuleTest, StoredColoursApplyToTheNewLanguages)
{
    Setting("SQL", "String", "00FFFFFF000000FF0010");
    Setting("Python", "Filter", "*.py;*.pyw");
    Start();
    EXPECT_EQ(Attribute(*Module->SQL, "String")->Foreground(), clRed);
    EXPECT_EQ(Attribute(*Module->SQL, "String")->Style(), TFontStyles{fsUnderline});
    EXPECT_EQ(Module->HighlighterForExtension(".pyw"), reinterpret_cast<TSrcCustomHighlighter*>(Module->Python));
}

// Each language's file opens with its highlighter and shows the IDE's colours for it.
TEST_F(EditorModuleTest, FilesOfEveryNewLanguageArePaintedInTheirColours)
{
    Start();
    struct TPage {
        const char* Name;
        const char* Text;
        std::vector<TColor> Colours;
    };
    const std::vector<TPage> pages = {
        {"query.sql", "-- orders\r\nSELECT name, 424242 FROM t WHERE a = 'Hello World';",
         {clSilver, clNavy, clPurple, clBlue}},
        {"tool.pl", "# tool\r\nmy $n = 424242; print \"Hello World\";", {clSilver, clNavy, clPurple, clBlue}},
        {"Lib.pm", "package Lib; # module\r\nreturn 424242;", {clSilver, clNavy, clPurple}},
        {"tool.py", "# tool\r\ndef f():\r\n    return 'Hello World' + 0x1F1F1F", {clSilver, clNavy, clMaroon, clBlue}},
        {"Main.java", "// main\r\npublic class Main { int n = 424242; String s = \"Hello World\"; }",
         {clSilver, clNavy, clPurple, clBlue}},
    };
    for (const TPage& page : pages) {
        SCOPED_TRACE(page.Name);
        TCodeEditorForm* document = Open(WriteWork(page.Name, page.Text));
        ASSERT_NE(document->Editor()->Highlighter(), nullptr);
        EXPECT_EQ(document->Editor()->Highlighter(),
                  Module->HighlighterForExtension(ExtractFileExt(page.Name)));
        const QImage image = document->Editor()->viewport()->grab().toImage();
        std::set<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 60; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) & 0xFFFFFF);
        for (TColor wanted : page.Colours) {
            const QColor c = ToQColor(wanted);
            EXPECT_TRUE(colours.count(c.rgb() & 0xFFFFFF)) << std::hex << wanted;
        }
    }
}
