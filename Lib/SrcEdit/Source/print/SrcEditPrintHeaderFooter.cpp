#include "SrcEdit/Source/print/SrcEditPrintHeaderFooter.h"

#include "SrcEdit/Source/print/SrcEditPrintText.h"
#include "SrcEdit/Source/text/SrcEditTextRoutines.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/text/TextUtils.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <charconv>

namespace {

// A decimal number, or 0 for anything else.
int DecimalOrZero(std::string_view text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end ? value : 0;
}

// Cuts the part before the first "/" (all of it when there is none) from `rest`.
std::string_view CutField(std::string_view& rest)
{
    const size_t slash = rest.find('/');
    const std::string_view field = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    return field;
}

int FontStyleBits(TFontStyles style)
{
    return (style.Contains(fsBold) ? 1 : 0) | (style.Contains(fsItalic) ? 2 : 0) |
           (style.Contains(fsUnderline) ? 4 : 0) | (style.Contains(fsStrikeOut) ? 8 : 0);
}

TFontStyles FontStyleFromBits(int bits)
{
    TFontStyles style;
    if (bits & 1)
        style.Include(fsBold);
    if (bits & 2)
        style.Include(fsItalic);
    if (bits & 4)
        style.Include(fsUnderline);
    if (bits & 8)
        style.Include(fsStrikeOut);
    return style;
}

} // namespace

std::string RomanNumeral(int number)
{
    static const struct {
        int Value;
        const char* Text;
    } steps[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"}, {50, "L"},
                 {40, "XL"},  {10, "X"},   {9, "IX"},  {5, "V"},    {4, "IV"},  {1, "I"}};
    std::string result;
    for (const auto& step : steps)
        while (number >= step.Value) {
            result += step.Text;
            number -= step.Value;
        }
    return result;
}

THeaderFooter::THeaderFooter(TPlacement placement) : FPlacement(placement)
{
    FDefaultFont.SetName("Arial");
    FDefaultFont.SetSize(10);
    FDefaultFont.SetColor(clBlack);
}

THeaderFooter::~THeaderFooter() = default;

int THeaderFooter::AddTextItem(const std::string& text, const TFont* font, int lineNumber, TAlignment alignment)
{
    auto item = std::make_unique<THeaderFooterItem>();
    item->ItemText = text;
    item->ItemFont.Assign(font ? *font : FDefaultFont);
    item->LineNo = lineNumber;
    item->ItemAlignment = alignment;
    item->ItemIndex = static_cast<int>(FItems.size());
    FItems.push_back(std::move(item));
    return static_cast<int>(FItems.size()) - 1;
}

void THeaderFooter::ClearTextItems()
{
    FItems.clear();
}

void THeaderFooter::Assign(const TPersistent& source)
{
    if (auto other = dynamic_cast<const THeaderFooter*>(&source)) {
        if (other == this)
            return;
        ClearTextItems();
        FPlacement = other->FPlacement;
        FFrameTypes = other->FFrameTypes;
        FShadedColor = other->FShadedColor;
        FLineColor = other->FLineColor;
        for (const auto& item : other->FItems)
            AddTextItem(item->ItemText, &item->ItemFont, item->LineNo, item->ItemAlignment);
        FDefaultFont.Assign(other->FDefaultFont);
        FRomanNumbers = other->FRomanNumbers;
        FMirrorPosition = other->FMirrorPosition;
        return;
    }
    TPersistent::Assign(source);
}

void THeaderFooter::SetItemsPixelsPerInch(int value)
{
    for (auto& item : FItems) {
        const int size = item->ItemFont.Size();
        item->ItemFont.SetPixelsPerInch(value);
        item->ItemFont.SetSize(size);
    }
}

void THeaderFooter::RenumberLines()
{
    FLineInfo.clear();
    int previous = 0;
    bool first = true;
    for (auto& item : FItems) {
        if (first || item->LineNo != previous) {
            FLineInfo.emplace_back();
            previous = item->LineNo;
            first = false;
        }
        item->LineNo = static_cast<int>(FLineInfo.size());
    }
}

std::string THeaderFooter::ItemsAsText()
{
    RenumberLines();
    std::string result;
    for (size_t i = 0; i < FItems.size(); ++i) {
        const THeaderFooterItem& item = *FItems[i];
        const TFont& f = item.ItemFont;
        const std::string fields[] = {EscapeSlashes(item.ItemText),
                                      std::to_string(f.Charset()),
                                      std::to_string(f.Color()),
                                      std::to_string(f.Height()),
                                      EscapeSlashes(f.Name()),
                                      std::to_string(static_cast<int>(f.Pitch())),
                                      std::to_string(f.PixelsPerInch()),
                                      std::to_string(f.Size()),
                                      std::to_string(FontStyleBits(f.Style())),
                                      std::to_string(item.LineNo),
                                      std::to_string(static_cast<int>(item.ItemAlignment))};
        std::string itemText;
        for (const std::string& field : fields) {
            if (&field != &fields[0])
                itemText += '/';
            itemText += field;
        }
        if (i > 0)
            result += '/';
        result += EscapeSlashes(itemText);
    }
    return result;
}

void THeaderFooter::LoadItemsFromText(std::string_view text)
{
    ClearTextItems();
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::string itemString = UnescapeSlashes(CutField(rest));
        std::string_view fields = itemString;
        const std::string itemText = UnescapeSlashes(CutField(fields));
        TFont font;
        font.SetCharset(static_cast<TFontCharset>(DecimalOrZero(CutField(fields))));
        font.SetColor(DecimalOrZero(CutField(fields)));
        font.SetHeight(DecimalOrZero(CutField(fields)));
        font.SetName(UnescapeSlashes(CutField(fields)));
        const int pitch = DecimalOrZero(CutField(fields));
        font.SetPitch(pitch == 1 ? TFontPitch::fpVariable : pitch == 2 ? TFontPitch::fpFixed : TFontPitch::fpDefault);
        font.SetPixelsPerInch(DecimalOrZero(CutField(fields)));
        font.SetSize(DecimalOrZero(CutField(fields)));
        font.SetStyle(FontStyleFromBits(DecimalOrZero(CutField(fields))));
        const int line = DecimalOrZero(CutField(fields));
        const int alignment = DecimalOrZero(CutField(fields));
        AddTextItem(itemText, &font, line,
                    alignment == 1 ? taRightJustify : alignment == 2 ? taCenter : taLeftJustify);
    }
}

void THeaderFooter::PrepareForJob(TCanvas&, int pageCount, TSrcEditPrintMargins* margins, const std::string& title)
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    FJobDate = StdStr(locale.toString(now.date(), QLocale::ShortFormat));
    FJobTime = StdStr(locale.toString(now.time(), QLocale::ShortFormat));
    FJobPageCount = pageCount;
    FMargins = margins;
    FJobTitle = title;
    std::stable_sort(FItems.begin(), FItems.end(),
                     [](const auto& a, const auto& b) { return a->LineNo < b->LineNo; });
    RenumberLines();
    MeasureFrame();
}

void THeaderFooter::MeasureFrame()
{
    if (FItems.empty()) {
        FFrameExtent = -1;
        return;
    }
    FFrameExtent = 0;
    int offset = 0;
    int previousLine = 1;
    for (const auto& item : FItems) {
        if (item->LineNo != previousLine)
            offset = FFrameExtent;
        previousLine = item->LineNo;
        const TPrintFontMetrics m = PrintFontMetrics(item->ItemFont);
        TLineInfo& line = FLineInfo.at(static_cast<size_t>(item->LineNo - 1));
        line.BandHeight = std::max(line.BandHeight, m.Height);
        line.MaxBaseline = std::max(line.MaxBaseline, m.Height - m.Descent);
        FFrameExtent = std::max(FFrameExtent, offset + m.Height);
    }
    FFrameExtent += 2 * (FMargins ? FMargins->PixHFInternalMargin : 0);
}

std::string THeaderFooter::NumberText(int number) const
{
    return FRomanNumbers ? RomanNumeral(number) : std::to_string(number);
}

std::string THeaderFooter::ExpandMacros(std::string_view text, int pageNumber) const
{
    if (text.find_first_not_of(' ') == std::string_view::npos)
        return {};
    const auto replacement = [&](std::string_view macro, std::string& out) {
        if (SameText(macro, "$PAGENUM$"))
            out = NumberText(pageNumber);
        else if (SameText(macro, "$PAGECOUNT$"))
            out = NumberText(FJobPageCount);
        else if (SameText(macro, "$TITLE$"))
            out = FJobTitle;
        else if (SameText(macro, "$DATE$"))
            out = FJobDate;
        else if (SameText(macro, "$TIME$"))
            out = FJobTime;
        else if (SameText(macro, "$DATETIME$"))
            out = FJobDate + " " + FJobTime;
        else if (SameText(macro, "$TIMEDATE$"))
            out = FJobTime + " " + FJobDate;
        else
            return false;
        return true;
    };
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        size_t start = text.find('$', i);
        if (start == std::string_view::npos) {
            result.append(text.substr(i));
            break;
        }
        result.append(text.substr(i, start - i));
        for (;;) {
            const size_t close = text.find('$', start + 1);
            if (close == std::string_view::npos) {
                result.append(text.substr(start));
                return result;
            }
            std::string value;
            if (replacement(text.substr(start, close - start + 1), value)) {
                result += value;
                i = close + 1;
                break;
            }
            // The closing "$" may open the next macro.
            result.append(text.substr(start, close - start));
            start = close;
        }
    }
    return result;
}

void THeaderFooter::DrawFrame(TCanvas& canvas) const
{
    if (FFrameTypes.Empty() || !FMargins)
        return;
    const TSrcEditPrintMargins& m = *FMargins;
    canvas.Pen().SetColor(FLineColor);
    canvas.Brush().SetColor(FShadedColor);
    canvas.Brush().SetStyle(FFrameTypes.Contains(ftShaded) ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
    canvas.Pen().SetStyle(FFrameTypes.Contains(ftBox) ? TPenStyle::psSolid : TPenStyle::psClear);
    const bool footer = FPlacement == TPlacement::Footer;
    if (FFrameTypes.Contains(ftBox) || FFrameTypes.Contains(ftShaded)) {
        if (footer)
            canvas.Rectangle(m.PixLeft, m.PixFooter, m.PixRight, m.PixFooter + FFrameExtent);
        else
            canvas.Rectangle(m.PixLeft, m.PixHeader - FFrameExtent, m.PixRight, m.PixHeader);
    }
    if (FFrameTypes.Contains(ftLine)) {
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        const int y = footer ? m.PixFooter : m.PixHeader;
        canvas.MoveTo(m.PixLeft, y);
        canvas.LineTo(m.PixRight, y);
    }
}

void THeaderFooter::PrintHeaderFooter(TCanvas& canvas, int pageNumber)
{
    if (FFrameExtent <= 0 || !FMargins)
        return;
    QPainter& painter = *canvas.Handle();
    painter.save();
    TPen savedPen;
    savedPen.Assign(canvas.Pen());
    TBrush savedBrush;
    savedBrush.Assign(canvas.Brush());
    DrawFrame(canvas);
    const TSrcEditPrintMargins& m = *FMargins;
    int y = FPlacement == TPlacement::Footer ? m.PixFooter : m.PixHeader - FFrameExtent;
    y += m.PixHFInternalMargin;
    int currentLine = 1;
    for (const auto& item : FItems) {
        const QFont font = item->ItemFont.ToQFont();
        if (item->LineNo != currentLine) {
            y += FLineInfo.at(static_cast<size_t>(currentLine - 1)).BandHeight;
            currentLine = item->LineNo;
        }
        const QString text = QStr(ExpandMacros(item->ItemText, pageNumber));
        TAlignment alignment = item->ItemAlignment;
        if (FMirrorPosition && pageNumber % 2 == 0 && alignment != taCenter)
            alignment = alignment == taLeftJustify ? taRightJustify : taLeftJustify;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        int x = m.PixLeftHFTextIndent;
        if (alignment == taRightJustify)
            x = m.PixRightHFTextIndent - width;
        else if (alignment == taCenter)
            x = (m.PixLeftHFTextIndent + m.PixRightHFTextIndent - width) / 2;
        painter.setFont(font);
        painter.setPen(ToQColor(item->ItemFont.Color()));
        painter.drawText(QPoint(x, y + FLineInfo.at(static_cast<size_t>(currentLine - 1)).MaxBaseline), text);
    }
    canvas.Pen().Assign(savedPen);
    canvas.Brush().Assign(savedBrush);
    painter.restore();
}
