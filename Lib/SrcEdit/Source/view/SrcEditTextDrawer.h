#pragma once
// The text drawer: the editor paints on a fixed character grid whatever the font. A process-wide
// cache (TheFontsInfoManager) keeps, per font, the 16 styled variants (bold 1, italic 2,
// underline 4, strike-out 8) with their measured cell sizes; TheFontStock selects among them for
// one user; TheTextDrawer draws text with every character advancing exactly one cell (two for
// East Asian wide characters; a UTF-8 sequence is never split).

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Exceptions.h"
#include "Platform/graphics/Graphics.h"

#include <QFont>
#include <QFontMetrics>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

ZENTU_DECLARE_EXCEPTION(EheFontStockException, Exception);
ZENTU_DECLARE_EXCEPTION(EheTextDrawerException, Exception);

// A style set packed into 0..15.
int FontStyleIndex(TFontStyles style);

// The key of a font: what identifies it apart from italic, underline and strike-out (which the
// styled variants supply) and its colour.
struct TFontKey {
    std::string FaceName;
    int Height = 0;
    bool Bold = false;
    TFontCharset Charset = DEFAULT_CHARSET;
    TFontPitch Pitch = TFontPitch::fpDefault;
    bool operator==(const TFontKey&) const = default;
};

TFontKey FontKeyOf(const TFont& font);

// No double-byte advance measured.
constexpr int NoDBCharAdvance = 2147483647;

struct TFontData {
    TFontStyles Style;
    std::unique_ptr<QFont> Handle; // none until first used
    int CharAdvance = 0;
    int DBCharAdvance = NoDBCharAdvance;
    int CharHeight = 0;
};

struct TFontsInfo {
    int RefCount = 0;
    int LockCount = 0;
    TFont BaseFont;
    TFontKey BaseLogFont;
    bool IsDBCSFont = false;
    std::array<TFontData, 16> FontsData;
};

class TheFontsInfoManager {
public:
    TheFontsInfoManager() = default;
    TheFontsInfoManager(const TheFontsInfoManager&) = delete;
    TheFontsInfoManager& operator=(const TheFontsInfoManager&) = delete;
    ~TheFontsInfoManager();

    // The record of Font's key, made on first use; one more reference.
    TFontsInfo* AcquireFontsInfo(const TFont& font);
    // One reference less; the last one frees the record. Raises EAssertionFailed "Call
    // DeactivateFontsInfo before calling this." when the record is still locked by the caller.
    void ReleaseFontsInfo(TFontsInfo* info);
    void ActivateFontsInfo(TFontsInfo* info);
    // The last unlock deletes the record's font handles; measured sizes stay.
    void DeactivateFontsInfo(TFontsInfo* info);

    int Count() const { return static_cast<int>(FRecords.size()); }

private:
    std::vector<std::unique_ptr<TFontsInfo>> FRecords;
};

// The one manager of the process, made on first use.
TheFontsInfoManager& FontsInfoManager();

class TheFontStock {
public:
    // Raises EheFontStockException when `font` is null.
    explicit TheFontStock(const TFont* font);
    TheFontStock(const TheFontStock&) = delete;
    TheFontStock& operator=(const TheFontStock&) = delete;
    virtual ~TheFontStock();

    int CharAdvance() const { return FCurrentData ? FCurrentData->CharAdvance : 0; }
    int CharHeight() const { return FCurrentData ? FCurrentData->CharHeight : 0; }
    int DBCharAdvance() const { return FCurrentData ? FCurrentData->DBCharAdvance : NoDBCharAdvance; }
    const TFontData& FontData(TFontStyles style) const;
    // The font of the current style (a default font before any style was selected).
    const QFont& FontHandle() const { return FCurrentFont; }
    TFontStyles Style() const { return FCurrentStyle; }
    const TFontsInfo* FontsInfo() const { return FInfo; }

    // Raises EheFontStockException "SetBaseFont: 'Value' must be specified." for no font.
    virtual void SetBaseFont(const TFont* font);
    virtual void SetStyle(TFontStyles style);
    // Gives up this stock's lock on the font handles; they are deleted when no stock holds one.
    virtual void ReleaseFontHandles();

protected:
    virtual QFont CreateStyledFont(TFontStyles style) const;
    virtual void MeasureFont(const QFont& font, TFontData& data) const;
    // The A, B and C widths of a character; false when the font cannot measure it.
    virtual bool CharABCWidths(const QFontMetrics& metrics, char32_t ch, int& a, int& b, int& c) const;

private:
    void ReleaseRecord();

    TFontsInfo* FInfo = nullptr;
    TFontKey FBaseLF;
    bool FUsingFontHandles = false;
    TFontData* FCurrentData = nullptr;
    QFont FCurrentFont;
    TFontStyles FCurrentStyle;
};

class TheTextDrawer {
public:
    // Raises EheTextDrawerException when `font` is null.
    TheTextDrawer(TFontStyles baseStyle, const TFont* font);
    TheTextDrawer(const TheTextDrawer&) = delete;
    TheTextDrawer& operator=(const TheTextDrawer&) = delete;
    virtual ~TheTextDrawer();

    // The cell size of the base style; the width includes the character extra.
    virtual int CharWidth() const;
    virtual int CharHeight() const;

    // Attaches the canvas (nesting; a second canvas while one is attached is a programming
    // error) and saves its state; the last EndDrawing restores it.
    virtual void BeginDrawing(TCanvas& canvas);
    virtual void EndDrawing();
    // Text at (X, Y) with the font's own advances.
    virtual void DrawText(int X, int Y, std::string_view text);
    // Text at (X, Y) on the grid: each character advances CharWidth (twice that for a wide
    // character); Options (ETO_OPAQUE, ETO_CLIPPED) and Rect as TCanvas::ExtTextOut takes them.
    virtual void DrawTextSpaced(int X, int Y, unsigned options, const TRect& rect, std::string_view text);

    // Raises EheTextDrawerException "SetBaseFont: 'Value' must be specified." for no font.
    virtual void SetBaseFont(const TFont* font);
    // The style that defines the cell size.
    virtual void SetBaseStyle(TFontStyles style);
    // The style of the text drawn next; the cell size stays.
    virtual void SetStyle(TFontStyles style);
    virtual void SetForeColor(TColor color);
    virtual void SetBackColor(TColor color);
    virtual void SetCharExtra(int extra);
    virtual void ReleaseTemporaryResources();

    TFontStyles BaseStyle() const { return FBaseStyle; }
    TColor ForeColor() const { return FColor; }
    TColor BackColor() const { return FBkColor; }
    int CharExtra() const { return FCharExtra; }
    const TheFontStock& FontStock() const { return *FFontStock; }
    // Entries of the spacing table (grown in steps of 64).
    int SpacingTableSize() const { return static_cast<int>(FETODist.size()); }

protected:
    virtual void ReleaseETODist();

private:
    QFont DrawingFont() const;
    void TakeBaseCellSize();

    std::unique_ptr<TheFontStock> FFontStock;
    TCanvas* FDC = nullptr;
    int FDrawingCount = 0;
    TFontStyles FBaseStyle;
    int FBaseCharWidth = 0;
    int FBaseCharHeight = 0;
    std::vector<int> FETODist;
    std::vector<int> FWideDist;
    TColor FColor = clWindowText;
    TColor FBkColor = clWindow;
    int FCharExtra = 0;
};
