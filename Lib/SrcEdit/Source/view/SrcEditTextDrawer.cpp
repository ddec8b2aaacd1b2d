// The font cache, the font stock and the fixed-grid text drawer of the editor.

#include "SrcEdit/Source/view/SrcEditTextDrawer.h"

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QFontDatabase>
#include <algorithm>
#include <cstdlib>

namespace {

[[noreturn]] void AssertionFailed(const char* message)
{
    throw EAssertionFailed(message);
}

bool ReportsDoubleByteSupport(const TFont& font)
{
    const QString family = QStr(ResolveFontFamily(font.Name()));
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
}

int CharsIn(std::string_view text, bool& hasWide)
{
    int count = 0;
    hasWide = false;
    for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i))) {
        if (TextChars::CharColumns(text, i) > 1)
            hasWide = true;
        ++count;
    }
    return count;
}

} // namespace

int FontStyleIndex(TFontStyles style)
{
    return static_cast<int>(style.Bits() & 15);
}

TFontKey FontKeyOf(const TFont& font)
{
    TFontKey key;
    key.FaceName = font.Name();
    key.Height = font.Height();
    key.Bold = font.Style().Contains(fsBold);
    key.Charset = font.Charset();
    key.Pitch = font.Pitch();
    return key;
}

// ---- TheFontsInfoManager

TheFontsInfoManager::~TheFontsInfoManager() = default;

TFontsInfo* TheFontsInfoManager::AcquireFontsInfo(const TFont& font)
{
    const TFontKey key = FontKeyOf(font);
    for (const auto& record : FRecords)
        if (record->BaseLogFont == key) {
            ++record->RefCount;
            return record.get();
        }
    auto record = std::make_unique<TFontsInfo>();
    record->BaseFont.Assign(font);
    record->BaseLogFont = key;
    record->IsDBCSFont = ReportsDoubleByteSupport(font);
    record->RefCount = 1;
    FRecords.push_back(std::move(record));
    return FRecords.back().get();
}

void TheFontsInfoManager::ReleaseFontsInfo(TFontsInfo* info)
{
    const auto it = std::find_if(FRecords.begin(), FRecords.end(), [info](const auto& r) { return r.get() == info; });
    if (it == FRecords.end())
        AssertionFailed("Releasing a fonts info record that the manager does not hold.");
    if (info->RefCount <= info->LockCount)
        AssertionFailed("Call DeactivateFontsInfo before calling this.");
    if (info->RefCount < 2)
        FRecords.erase(it);
    else
        --info->RefCount;
}

void TheFontsInfoManager::ActivateFontsInfo(TFontsInfo* info)
{
    ++info->LockCount;
}

void TheFontsInfoManager::DeactivateFontsInfo(TFontsInfo* info)
{
    if (info->LockCount <= 0)
        AssertionFailed("Unbalanced DeactivateFontsInfo.");
    if (--info->LockCount == 0)
        for (auto& data : info->FontsData)
            data.Handle.reset();
}

TheFontsInfoManager& FontsInfoManager()
{
    static TheFontsInfoManager manager;
    return manager;
}

// ---- TheFontStock

TheFontStock::TheFontStock(const TFont* font)
{
    SetBaseFont(font);
}

TheFontStock::~TheFontStock()
{
    ReleaseRecord();
}

void TheFontStock::ReleaseRecord()
{
    if (!FInfo)
        return;
    ReleaseFontHandles();
    FontsInfoManager().ReleaseFontsInfo(FInfo);
    FInfo = nullptr;
    FCurrentData = nullptr;
}

const TFontData& TheFontStock::FontData(TFontStyles style) const
{
    return FInfo->FontsData[static_cast<size_t>(FontStyleIndex(style))];
}

void TheFontStock::SetBaseFont(const TFont* font)
{
    if (!font)
        throw EheFontStockException("SetBaseFont: 'Value' must be specified.");
    TFontsInfo* info = FontsInfoManager().AcquireFontsInfo(*font);
    if (info == FInfo) {
        FontsInfoManager().ReleaseFontsInfo(info);
        return;
    }
    ReleaseRecord();
    FInfo = info;
    FBaseLF = info->BaseLogFont;
    SetStyle(font->Style());
}

void TheFontStock::SetStyle(TFontStyles style)
{
    if (!FUsingFontHandles) {
        FontsInfoManager().ActivateFontsInfo(FInfo);
        FUsingFontHandles = true;
    }
    TFontData& data = FInfo->FontsData[static_cast<size_t>(FontStyleIndex(style))];
    if (&data == FCurrentData && data.Handle)
        return;
    if (!data.Handle) {
        // invariant: measuring happens once per style and key; a re-created handle keeps its sizes
        QFont font = CreateStyledFont(style);
        if (data.CharHeight == 0)
            MeasureFont(font, data);
        data.Style = style;
        data.Handle = std::make_unique<QFont>(std::move(font));
    }
    FCurrentData = &data;
    FCurrentFont = *data.Handle;
    FCurrentStyle = style;
}

void TheFontStock::ReleaseFontHandles()
{
    if (!FUsingFontHandles)
        return;
    FUsingFontHandles = false;
    FontsInfoManager().DeactivateFontsInfo(FInfo);
}

QFont TheFontStock::CreateStyledFont(TFontStyles style) const
{
    TFont font;
    font.SetName(FBaseLF.FaceName);
    font.SetHeight(FBaseLF.Height);
    font.SetCharset(FBaseLF.Charset);
    font.SetPitch(FBaseLF.Pitch);
    font.SetStyle(style);
    return font.ToQFont();
}

bool TheFontStock::CharABCWidths(const QFontMetrics& metrics, char32_t ch, int& a, int& b, int& c) const
{
    if (!metrics.inFontUcs4(ch))
        return false;
    const QString text = QString::fromUcs4(&ch, 1);
    const int advance = metrics.horizontalAdvance(text);
    a = text.size() == 1 ? metrics.leftBearing(text[0]) : 0;
    c = text.size() == 1 ? metrics.rightBearing(text[0]) : 0;
    b = advance - a - c;
    return true;
}

void TheFontStock::MeasureFont(const QFont& font, TFontData& data) const
{
    const QFontMetrics metrics(font);
    int a = 0, b = 0, c = 0;
    const bool measuredM = CharABCWidths(metrics, U'M', a, b, c);
    if (!measuredM) {
        a = 0;
        b = metrics.averageCharWidth();
        c = 0;
    }
    data.CharAdvance = a + b + c;
    data.CharHeight = std::abs(metrics.height());
    data.DBCharAdvance = NoDBCharAdvance;
    constexpr TFontCharset SHIFTJIS_CHARSET = 128;
    int a1 = 0, b1 = 0, c1 = 0, a2 = 0, b2 = 0, c2 = 0;
    // why: the ideographic comma and hiragana "a" stand for the double-byte cells of the font
    if (FInfo && FInfo->IsDBCSFont && FBaseLF.Charset == SHIFTJIS_CHARSET && measuredM &&
        CharABCWidths(metrics, U'\u3001', a1, b1, c1) && CharABCWidths(metrics, U'\u3042', a2, b2, c2)) {
        const int w1 = a1 + b1 + c1;
        if (w1 * 2 > data.CharAdvance * 3 && w1 == a2 + b2 + c2)
            data.DBCharAdvance = w1;
    }
}

// ---- TheTextDrawer

TheTextDrawer::TheTextDrawer(TFontStyles baseStyle, const TFont* font) : FBaseStyle(baseStyle)
{
    if (!font)
        throw EheTextDrawerException("SetBaseFont: 'Value' must be specified.");
    FFontStock = std::make_unique<TheFontStock>(font);
    SetBaseFont(font);
}

TheTextDrawer::~TheTextDrawer()
{
    if (FDC && FDC->HandleAllocated())
        FDC->Restore();
}

void TheTextDrawer::ReleaseETODist()
{
    FETODist.clear();
    FETODist.shrink_to_fit();
}

int TheTextDrawer::CharWidth() const
{
    return FBaseCharWidth + FCharExtra;
}

int TheTextDrawer::CharHeight() const
{
    return FBaseCharHeight;
}

void TheTextDrawer::TakeBaseCellSize()
{
    FBaseCharWidth = FFontStock->CharAdvance();
    FBaseCharHeight = FFontStock->CharHeight();
}

void TheTextDrawer::SetBaseFont(const TFont* font)
{
    if (!font)
        throw EheTextDrawerException("SetBaseFont: 'Value' must be specified.");
    ReleaseETODist();
    FFontStock->SetBaseFont(font);
    FFontStock->SetStyle(FBaseStyle);
    TakeBaseCellSize();
    SetStyle(font->Style());
}

void TheTextDrawer::SetBaseStyle(TFontStyles style)
{
    if (style == FBaseStyle)
        return;
    FBaseStyle = style;
    ReleaseETODist();
    FFontStock->SetStyle(style);
    TakeBaseCellSize();
}

void TheTextDrawer::SetStyle(TFontStyles style)
{
    FFontStock->SetStyle(style);
}

void TheTextDrawer::BeginDrawing(TCanvas& canvas)
{
    if (FDC && FDC != &canvas)
        AssertionFailed("BeginDrawing: another canvas is attached.");
    if (!FDC) {
        canvas.Save();
        FDC = &canvas;
    }
    ++FDrawingCount;
}

void TheTextDrawer::EndDrawing()
{
    if (FDrawingCount <= 0)
        AssertionFailed("EndDrawing without BeginDrawing.");
    if (--FDrawingCount == 0) {
        TCanvas* canvas = FDC;
        FDC = nullptr;
        canvas->Restore();
    }
}

QFont TheTextDrawer::DrawingFont() const
{
    QFont font = FFontStock->FontHandle();
    if (FCharExtra != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, FCharExtra);
    return font;
}

void TheTextDrawer::DrawText(int X, int Y, std::string_view text)
{
    if (!FDC)
        AssertionFailed("DrawText: no canvas is attached.");
    FDC->ExtTextOut(DrawingFont(), FColor, FBkColor, X, Y, 0, nullptr, text);
}

void TheTextDrawer::DrawTextSpaced(int X, int Y, unsigned options, const TRect& rect, std::string_view text)
{
    if (!FDC)
        AssertionFailed("DrawTextSpaced: no canvas is attached.");
    bool hasWide = false;
    const int count = CharsIn(text, hasWide);
    if (static_cast<int>(FETODist.size()) < count)
        FETODist.resize(static_cast<size_t>(count / 64 * 64 + 64), CharWidth());
    const int* dx = FETODist.data();
    if (hasWide) {
        FWideDist.assign(static_cast<size_t>(count), 0);
        size_t n = 0;
        for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i)))
            FWideDist[n++] = FETODist[0] * TextChars::CharColumns(text, i);
        dx = FWideDist.data();
    }
    FDC->ExtTextOut(DrawingFont(), FColor, FBkColor, X, Y, options, &rect, text, count > 0 ? dx : nullptr);
}

void TheTextDrawer::SetForeColor(TColor color)
{
    FColor = color;
}

void TheTextDrawer::SetBackColor(TColor color)
{
    FBkColor = color;
}

void TheTextDrawer::SetCharExtra(int extra)
{
    if (extra == FCharExtra)
        return;
    FCharExtra = extra;
    // why: every entry of the spacing table must stay equal to the cell width, which includes
    // the extra
    ReleaseETODist();
}

void TheTextDrawer::ReleaseTemporaryResources()
{
    FFontStock->ReleaseFontHandles();
}
