// The editor data module: the highlighter chosen for a file, the stored masks and colours, the
// file filter text, the editor colours, and a PHP page that actually shows in colour.

#include "src/run/ShellTestSupport.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
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
        {".xslt", Module->XML},                {".txt", nullptr},
        {"", nullptr},
        // Parts of a mask name no language.
        {".c", nullptr}, {".h", nullptr}, {".in", nullptr}, {".ph", nullptr}, {".x", nullptr}, {".j", nullptr},
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
              "All Supported Formats|*.php;*.php3;*.phtml;*.inc;*.htm;*.html;*.shtml;*.js;*.css;"
              "*.xml;*.xsd;*.xsl;*.xslt;|"
              "PHP Formats|*.php;*.php3;*.phtml;*.inc|HTML Formats|*.htm;*.html;*.shtml|JavaScript Formats|*.js|"
              "CSS Formats|*.css|XML Formats|*.xml;*.xsd;*.xsl;*.xslt|All Formats|*.*");
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
