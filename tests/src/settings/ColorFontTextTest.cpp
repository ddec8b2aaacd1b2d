// The colour and font texts of the settings files, through the settings file class.

#include "settings/zentuIniFiles.h"

#include "Platform/graphics/Graphics.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct ColorFontText : ::testing::Test {
    TempDir Dir;
    TIniFileEx Ini{Dir.File("Zentupad.dat")};

    std::string Stored(const std::string& key) { return Ini.ReadString("Editor", key, "(missing)"); }
    void Store(const std::string& key, const std::string& text) { Ini.WriteString("Editor", key, text); }
};

void SetEditorFont(TFont& font)
{
    font.SetName("Courier New");
    font.SetSize(10);
    font.SetCharset(DEFAULT_CHARSET);
    font.SetStyle({});
    font.SetColor(clWindowText);
}

} // namespace

TEST_F(ColorFontText, ColoursAreWrittenByNameOrAsEightHexDigits)
{
    struct Case {
        TColor colour;
        const char* text;
    };
    const std::vector<Case> cases = {
        {0x00FF0000, "clBlue"},
        {static_cast<TColor>(0xFF000008), "clWindowText"},
        {0x00F0CAA6, "clSkyBlue"},
        {0x00C0C0C0, "clSilver"},
        {0x00A4A0A0, "clMedGray"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
        {0x00F0CAA7, "$00F0CAA7"},
        {0x00123456, "$00123456"},
        {static_cast<TColor>(0xFF000019), "$FF000019"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Ini.WriteColor("Editor", "C", c.colour);
        EXPECT_EQ(Stored("C"), c.text);
        EXPECT_EQ(Ini.ReadColor("Editor", "C", clRed), c.colour);
    }
}

TEST_F(ColorFontText, ColourTextsReadByNameOrNumber)
{
    struct Case {
        const char* text;
        TColor expected; // the default is clLime
    };
    const std::vector<Case> cases = {
        {"$00123456", 0x00123456},
        {"1193046", 0x00123456},
        {"CLBLUE", 0x00FF0000},
        {"clwindow", static_cast<TColor>(0xFF000005)},
        {"$FF00000D", clHighlight},
        {"-1", -1},
        {"blue", clLime},
        {"$", clLime},
        {"", clLime},
        {"clBlue2", clLime},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Store("C", c.text);
        EXPECT_EQ(Ini.ReadColor("Editor", "C", clLime), c.expected);
    }
    EXPECT_EQ(Ini.ReadColor("Editor", "Missing", clHighlight), clHighlight);
}

TEST_F(ColorFontText, FontTextOfTheDefaultEditorFont)
{
    TFont font;
    SetEditorFont(font);
    EXPECT_EQ(FontToString(font), "Courier New,10,1,0000,FF000008");

    font.SetStyle({fsBold, fsStrikeOut});
    font.SetColor(clRed);
    font.SetCharset(ANSI_CHARSET);
    font.SetSize(9);
    font.SetName("Arial");
    Ini.WriteFont("Editor", "Font", font);
    EXPECT_EQ(Stored("Font"), "Arial,9,0,1001,000000FF");
}

TEST_F(ColorFontText, FontTextsApplyFieldByField)
{
    TFont font;
    SetEditorFont(font);
    Store("Font", "Arial,9,0,1001,000000FF");
    Ini.ReadFont("Editor", "Font", font);
    EXPECT_EQ(font.Name(), "Arial");
    EXPECT_EQ(font.Size(), 9);
    EXPECT_EQ(font.Charset(), ANSI_CHARSET);
    EXPECT_EQ(font.Style(), TFontStyles({fsBold, fsStrikeOut}));
    EXPECT_EQ(font.Color(), clRed);

    // Style characters other than "1" leave that style off.
    Store("Font", "Mono,12,1,x1y1,FF000008");
    Ini.ReadFont("Editor", "Font", font);
    EXPECT_EQ(font.Style(), TFontStyles({fsItalic, fsStrikeOut}));
    EXPECT_EQ(font.Color(), clWindowText);
}

TEST_F(ColorFontText, MalformedFontTextsLeaveTheFontAsItWas)
{
    const std::vector<std::string> texts = {
        "Arial,9,0,010,00000000",   // three style digits
        "Arial,nine,0,0100,00000000", // size not a number
        "Arial,9,x,0100,00000000",  // character set not a number
        "Arial,9,0,0100,0000000G",  // colour not hexadecimal
        "Arial,9,0,0100,",          // no colour
        "Arial",                    // nothing after the name
        "A,B,10,1,0000,FF000008",   // a comma in the face name cannot be stored
        "",
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        Store("Font", text);
        TFont font;
        SetEditorFont(font);
        font.SetStyle({fsItalic});
        const std::string before = FontToString(font);
        Ini.ReadFont("Editor", "Font", font);
        EXPECT_EQ(FontToString(font), before);
    }
}

TEST_F(ColorFontText, StringToFontNamesTheMalformedText)
{
    TFont font;
    try {
        StringToFont("Arial,9,0,010,00000000", font);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Invalid string to font conversion");
    }
    EXPECT_EQ(font.Name(), "Arial") << "fields before the fault are applied";
}

TEST_F(ColorFontText, AMissingFontKeyKeepsTheFont)
{
    TFont font;
    SetEditorFont(font);
    font.SetSize(14);
    Ini.ReadFont("Editor", "Font", font);
    EXPECT_EQ(FontToString(font), "Courier New,14,1,0000,FF000008");
}
