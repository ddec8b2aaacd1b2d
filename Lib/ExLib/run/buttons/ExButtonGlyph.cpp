#include "ExLib/run/buttons/ExButtonGlyph.h"

#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"

namespace {

std::unique_ptr<TExGlyphCache>& CacheSlot()
{
    static std::unique_ptr<TExGlyphCache> cache;
    return cache;
}

int& PictureObjects()
{
    static int count = 0;
    return count;
}

QRgb Rgb(TColor color)
{
    return ToQColor(ColorToRGB(color)).rgb();
}

unsigned TextAlignmentFlags(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taLeftJustify: return DT_LEFT;
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: break;
    }
    return DT_CENTER;
}

// The caption cut to 255 characters and, without word wrap, each line shortened to `width`.
std::string FitCaption(TCanvas& canvas, const std::string& caption, int width, bool wordWrap)
{
    std::string text = caption.substr(0, 255);
    if (wordWrap)
        return text;
    std::string result;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!result.empty() || start > 0)
            result += '\n';
        result += TrimTrailingSpaces(ShortenTextToWidth(line, canvas, width));
        if (end == std::string::npos)
            break;
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return result;
}

} // namespace

// ---- lists and cache

int TExGlyphList::ClaimSlot()
{
    for (size_t i = 0; i < FUsed.size(); ++i)
        if (!FUsed[i])
            return static_cast<int>(i);
    FSlots.emplace_back();
    FUsed.push_back(false);
    return static_cast<int>(FSlots.size() - 1);
}

void TExGlyphList::Store(int slot, const QImage& picture)
{
    const auto i = static_cast<size_t>(slot);
    FSlots[i] = picture;
    if (!FUsed[i]) {
        FUsed[i] = true;
        ++FCount;
    }
}

void TExGlyphList::FreeSlot(int slot)
{
    const auto i = static_cast<size_t>(slot);
    if (slot < 0 || i >= FUsed.size() || !FUsed[i])
        return;
    FUsed[i] = false;
    FSlots[i] = QImage();
    --FCount;
}

TExGlyphList* TExGlyphCache::ListForSize(int width, int height)
{
    for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height)
            return it->get();
    FLists.push_back(std::make_unique<TExGlyphList>(width, height));
    return FLists.back().get();
}

void TExGlyphCache::GiveBackList(TExGlyphList* list)
{
    if (!list || list->Count() > 0)
        return;
    FLists.erase(std::remove_if(FLists.begin(), FLists.end(), [&](const auto& l) { return l.get() == list; }),
                 FLists.end());
}

TExGlyphCache* GlyphCache()
{
    return CacheSlot().get();
}

QRgb InactiveShade(QRgb color)
{
    const int gray = (77 * qRed(color) + 150 * qGreen(color) + 29 * qBlue(color)) >> 8;
    return qRgba(gray, gray, gray, qAlpha(color));
}

// ---- layout

TExContentLayout ComputeContentLayout(TCanvas& canvas, const TRect& client, TPoint offset, bool offsetText,
                                      const std::string& caption, TButtonLayout layout, int margin, int spacing,
                                      TSize glyph, bool dropDownMark, bool wordWrap, std::string* fitted)
{
    TExContentLayout result;
    result.GlyphSize = glyph;
    const int cx = client.Width(), cy = client.Height();
    const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    const int marginUsed = margin != -1 ? margin : 0;
    const int spacingUsed = spacing != -1 ? spacing : 0;
    const int roomX = horizontal ? std::max(0, cx - glyph.cx - marginUsed - spacingUsed - (dropDownMark ? 9 : 0)) : cx;
    const int roomY = horizontal ? cy : std::max(0, cy - glyph.cy - marginUsed - spacingUsed);

    const std::string text = caption.empty() ? std::string() : FitCaption(canvas, caption, roomX, wordWrap);
    if (fitted)
        *fitted = text;
    TSize t{0, 0};
    if (!text.empty()) {
        TRect r = Rect(0, 0, roomX, 0);
        DrawTextOnCanvas(canvas, text, -1, DT_CALCRECT | DT_CENTER | (wordWrap ? unsigned(DT_WORDBREAK) : 0u), r);
        t = {std::min(r.Width(), roomX), std::min(r.Height(), roomY)};
    }
    const int textWidth = t.cx;
    TSize g = glyph;
    if (dropDownMark) {
        if (g.cx == 0 || layout == TButtonLayout::blGlyphLeft)
            t.cx += 9;
        else
            g.cx += 6;
    }
    TPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.Y = cy / 2 - g.cy / 2;
        textPos.Y = cy / 2 - t.cy / 2;
    } else {
        glyphPos.X = cx / 2 - g.cx / 2;
        textPos.X = cx / 2 - t.cx / 2;
    }
    const int extent = horizontal ? cx : cy;
    const int gs = horizontal ? g.cx : g.cy;
    const int ts = horizontal ? t.cx : t.cy;
    if ((ts == 0 || gs == 0) && spacing != -1)
        spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (extent - (gs + ts)) / 3;
            spacing = margin;
        } else {
            margin = extent / 2 - (gs + spacing + ts) / 2;
        }
    } else if (spacing == -1) {
        spacing = (extent - (margin + gs)) / 2 - ts / 2;
    }
    int glyphAlong = margin;
    int textAlong = margin + gs + spacing;
    if (layout == TButtonLayout::blGlyphRight || layout == TButtonLayout::blGlyphBottom) {
        glyphAlong = extent - margin - gs;
        textAlong = glyphAlong - spacing - ts;
    }
    (horizontal ? glyphPos.X : glyphPos.Y) = glyphAlong;
    (horizontal ? textPos.X : textPos.Y) = textAlong;

    result.GlyphPos = {glyphPos.X + client.Left + offset.X, glyphPos.Y + client.Top + offset.Y};
    const TPoint textOffset = offsetText ? offset : TPoint{};
    result.TextRect = Bounds(textPos.X + client.Left + textOffset.X, textPos.Y + client.Top + textOffset.Y,
                             textWidth, t.cy);
    return result;
}

void PaintDropDownMark(TCanvas& canvas, int x, int y, bool enabled)
{
    const auto rows = [&](int dx, int dy, TColor color) {
        canvas.Pen().SetColor(color);
        for (int i = 0; i < 4; ++i) {
            canvas.MoveTo(x + dx + i, y + dy - 1 + i);
            canvas.LineTo(x + dx + 7 - i, y + dy - 1 + i);
        }
    };
    if (!enabled) {
        rows(1, 1, clBtnHighlight);
        rows(0, 0, clBtnShadow);
        return;
    }
    rows(0, 0, clBtnText);
}

// ---- the picture object

TJvxButtonGlyph::TJvxButtonGlyph()
{
    if (!CacheSlot())
        CacheSlot() = std::make_unique<TExGlyphCache>();
    ++PictureObjects();
}

TJvxButtonGlyph::~TJvxButtonGlyph()
{
    ReleaseStatePictures();
    if (--PictureObjects() == 0 && CacheSlot() && CacheSlot()->ListCount() == 0)
        CacheSlot().reset();
}

void TJvxButtonGlyph::SetGlyph(const QImage& glyph)
{
    ReleaseStatePictures();
    FGlyph = glyph;
    if (!glyph.isNull()) {
        FTransparentColor = FromQColor(QColor(glyph.pixel(0, glyph.height() - 1))) & 0x00FFFFFF;
        if (glyph.height() > 0 && glyph.width() % glyph.height() == 0) {
            const int count = glyph.width() / glyph.height();
            FNumGlyphs = count > 5 ? 1 : std::max(1, count);
        }
    }
    if (OnChange)
        OnChange(nullptr);
}

void TJvxButtonGlyph::SetNumGlyphs(int value)
{
    value = std::min(value, 5);
    if (value <= 0 || value == FNumGlyphs)
        return;
    ReleaseStatePictures();
    FNumGlyphs = value;
    if (OnChange)
        OnChange(nullptr);
}

void TJvxButtonGlyph::SetGrayNewStyle(bool value)
{
    if (value == FGrayNewStyle)
        return;
    ReleaseStatePictures();
    FGrayNewStyle = value;
}

TSize TJvxButtonGlyph::PictureSize() const
{
    if (FGlyph.isNull())
        return {0, 0};
    return {FGlyph.width() / std::max(1, FNumGlyphs), FGlyph.height()};
}

void TJvxButtonGlyph::ReleaseStatePictures()
{
    for (int& slot : FSlots) {
        if (slot >= 0 && FList)
            FList->FreeSlot(slot);
        slot = -1;
    }
    if (FList && GlyphCache())
        GlyphCache()->GiveBackList(FList);
    FList = nullptr;
    FInactiveIndex = -1;
    FInactiveImage = QImage();
}

QImage TJvxButtonGlyph::StatePicture(TExButtonState state)
{
    const TSize size = PictureSize();
    if (FGlyph.isNull() || size.cx <= 0 || size.cy <= 0)
        return {};
    const int s = static_cast<int>(state);
    if (FSlots[s] >= 0 && FList)
        return FList->Picture(FSlots[s]);
    if (!FList) {
        if (!CacheSlot())
            CacheSlot() = std::make_unique<TExGlyphCache>();
        FList = CacheSlot()->ListForSize(size.cx, size.cy);
    }
    const auto piece = [&](int i) {
        return FGlyph.copy(i * size.cx, 0, size.cx, size.cy).convertToFormat(QImage::Format_RGB32);
    };
    TColor transparent = FTransparentColor;
    QImage picture;
    switch (state) {
    case TExButtonState::bsDisabled:
        if (FNumGlyphs >= 2) {
            picture = piece(1);
        } else if (FGrayNewStyle) {
            picture = MakeEmbossedDisabledBitmap(piece(0), FTransparentColor);
        } else {
            picture = MakeDisabledBitmap(piece(0), clBlack);
            transparent = clBtnFace;
        }
        break;
    case TExButtonState::bsInactive:
        if (FNumGlyphs >= 5) {
            picture = piece(4);
        } else {
            picture = piece(0);
            const QRgb keep1 = Rgb(FTransparentColor), keep2 = Rgb(clBtnFace);
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const QRgb p = picture.pixel(x, y);
                    if (p != keep1 && p != keep2)
                        picture.setPixel(x, y, InactiveShade(p));
                }
        }
        break;
    case TExButtonState::bsDown:
        picture = piece(FNumGlyphs < 3 ? 0 : 2);
        break;
    default:
        picture = piece(s < FNumGlyphs ? s : 0);
        break;
    }
    const int slot = FList->ClaimSlot();
    FList->Store(slot, MaskedImage(picture, transparent));
    FSlots[s] = slot;
    return FList->Picture(slot);
}

void TJvxButtonGlyph::DrawPicture(TCanvas& canvas, TPoint at, TExButtonState state, const TCustomImageList* images,
                                  int index)
{
    if (images && images->ValidIndex(index)) {
        switch (state) {
        case TExButtonState::bsDisabled:
            if (FGrayNewStyle)
                images->Draw(canvas, at.X, at.Y, index, false);
            else
                DrawImageDisabled(images->Image(index), canvas, at.X, at.Y, true, clBtnShadow, clBtnHighlight);
            return;
        case TExButtonState::bsInactive:
            if (FInactiveIndex != index) {
                QImage copy = images->Image(index);
                const QRgb face = Rgb(clBtnFace);
                for (int y = 0; y < copy.height(); ++y)
                    for (int x = 0; x < copy.width(); ++x) {
                        const QRgb p = copy.pixel(x, y);
                        if (qAlpha(p) != 0 && (p | 0xFF000000u) != face)
                            copy.setPixel(x, y, InactiveShade(p));
                    }
                FInactiveImage = copy;
                FInactiveIndex = index;
            }
            canvas.Draw(at.X, at.Y, FInactiveImage);
            return;
        default: images->Draw(canvas, at.X, at.Y, index); return;
        }
    }
    const QImage picture = StatePicture(state);
    if (!picture.isNull())
        canvas.Draw(at.X, at.Y, picture);
}

void TJvxButtonGlyph::DrawCaption(TCanvas& canvas, const std::string& caption, TRect r, TExButtonState state)
{
    if (caption.empty())
        return;
    const unsigned flags = TextAlignmentFlags(Alignment) | (WordWrap ? DT_WORDBREAK : 0u);
    const TBrushStyle brush = canvas.Brush().Style();
    const TColor color = canvas.Font().Color();
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (state == TExButtonState::bsDisabled) {
        TRect shadow = r;
        OffsetRect(shadow, 1, 1);
        canvas.Font().SetColor(clBtnHighlight);
        DrawTextOnCanvas(canvas, caption, -1, flags, shadow);
        canvas.Font().SetColor(clBtnShadow);
    }
    DrawTextOnCanvas(canvas, caption, -1, flags, r);
    canvas.Font().SetColor(color);
    canvas.Brush().SetStyle(brush);
}

TRect TJvxButtonGlyph::Draw(TCanvas& canvas, const TRect& client, TPoint offset, bool offsetText,
                            const std::string& caption, TButtonLayout layout, int margin, int spacing,
                            TExButtonState state, bool dropDownMark, const TCustomImageList* images, int imageIndex)
{
    const bool fromList = images && images->ValidIndex(imageIndex);
    const TSize glyph = fromList ? TSize{images->Width(), images->Height()} : PictureSize();
    std::string fitted;
    const TExContentLayout l = ComputeContentLayout(canvas, client, offset, offsetText, caption, layout, margin,
                                                    spacing, glyph, dropDownMark, WordWrap, &fitted);
    if (glyph.cx > 0 && glyph.cy > 0)
        DrawPicture(canvas, l.GlyphPos, state, images, imageIndex);
    DrawCaption(canvas, fitted, l.TextRect, state);
    if (dropDownMark) {
        const bool enabled = state != TExButtonState::bsDisabled;
        if (glyph.cx > 0 && layout != TButtonLayout::blGlyphLeft)
            PaintDropDownMark(canvas, l.GlyphPos.X + glyph.cx + 1, l.GlyphPos.Y + glyph.cy / 2, enabled);
        else if (!fitted.empty())
            PaintDropDownMark(canvas, l.TextRect.Right + 3, (l.TextRect.Top + l.TextRect.Bottom) / 2, enabled);
        else
            PaintDropDownMark(canvas, (client.Left + client.Right - 7) / 2, (client.Top + client.Bottom) / 2, enabled);
    }
    return l.TextRect;
}
