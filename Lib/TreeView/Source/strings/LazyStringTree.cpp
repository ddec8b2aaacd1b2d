// The string tree: cell texts from OnGetText, their painting and measuring, the static text,
// column spanning into empty cells, the default incremental search, caption chunks in tree
// streams and the cell font for the in-place editor.

#include "TreeView/Source/strings/LazyStringTree.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/paint/LTDrawText.h"
#include "TreeView/Source/stream/LTStreamIO.h"
#include "TreeView/Source/strings/LTStringEditLink.h"

#include "Platform/files/Streams.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/PainterState.h"

#include <QPainter>

namespace {

// Runs a clean-up step however the scope ends (the canvas font hook is always undone).
template <class F>
class TAtScopeEnd {
public:
    explicit TAtScopeEnd(F f) : FF(std::move(f)) {}
    ~TAtScopeEnd() { FF(); }
    TAtScopeEnd(const TAtScopeEnd&) = delete;
    TAtScopeEnd& operator=(const TAtScopeEnd&) = delete;

private:
    F FF;
};

unsigned AlignmentFlag(TAlignment alignment)
{
    return alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

// ---- options

void TCustomStringTreeOptions::SetStringOptions(TLTStringOptions value)
{
    if (value == FStringOptions)
        return;
    const bool staticChanged = value.Contains(toShowStaticText) != FStringOptions.Contains(toShowStaticText);
    FStringOptions = value;
    if (staticChanged && Owner() && !Owner()->Loading())
        Owner()->update();
}

void TCustomStringTreeOptions::AssignTo(TPersistent& dest) const
{
    if (auto* options = dynamic_cast<TCustomStringTreeOptions*>(&dest))
        options->SetStringOptions(FStringOptions);
    TCustomLazyTreeOptions::AssignTo(dest);
}

// ---- construction

TCustomLazyStringTree::TCustomLazyStringTree(TComponent* AOwner, QWidget* parent) : TBaseLazyTree(AOwner, parent)
{
    FTextWidthCacheOffset = ReserveInternalNodeData(4);
    UpdateFontMetrics();
}

TCustomLazyStringTree::~TCustomLazyStringTree()
{
    // The clipboard data and the editor end while the string tree is whole: its text renderings
    // and its edit link still talk to this class.
    FlushClipboard();
    if (TreeStates().Contains(tsEditing))
        AbortNodeEdit();
}

std::unique_ptr<TCustomLazyTreeOptions> TCustomLazyStringTree::OptionsClassToUse()
{
    return std::make_unique<TCustomStringTreeOptions>(this);
}

TCustomStringTreeOptions& TCustomLazyStringTree::StringTreeOptions() const
{
    return static_cast<TCustomStringTreeOptions&>(TreeOptions());
}

void TCustomLazyStringTree::ReadLegacyStringOptions(const std::vector<std::string>& names)
{
    NotifyFormDesigner();
    TLTStringOptions options;
    for (const std::string& name : names) {
        if (name == "soSaveCaptions")
            options.Include(toSaveCaptions);
        else if (name == "soShowStaticText")
            options.Include(toShowStaticText);
    }
    StringTreeOptions().SetStringOptions(options);
}

void TCustomLazyStringTree::SetDefaultText(const QString& value)
{
    if (value == FDefaultText)
        return;
    FDefaultText = value;
    if (!Loading())
        InvalidateClient();
}

// ---- texts

QString TCustomLazyStringTree::GetCellText(PLazyNode node, TColumnIndex column)
{
    LTAssert(node != nullptr, "Node must not be nil.");
    if (!node->Has(nsReady))
        PrepareNode(node);
    QString text = FDefaultText;
    FireGetText(node, column, TVSTTextType::ttNormal, text);
    return text;
}

void TCustomLazyStringTree::ApplyNewText(PLazyNode node, TColumnIndex column, const QString& text)
{
    FireNewText(node, column, text);
    RepaintNode(node);
}

void TCustomLazyStringTree::FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text)
{
    if (OnGetText)
        OnGetText(this, node, column, textType, text);
}

void TCustomLazyStringTree::FireNewText(PLazyNode node, TColumnIndex column, const QString& text)
{
    if (OnNewText)
        OnNewText(this, node, column, text);
    if (UpdateDepth() == 0) {
        RefreshHorizontalScrollBar(true);
    }
}

void TCustomLazyStringTree::FirePaintText(PLazyNode node, TCanvas& canvas, TColumnIndex column, TVSTTextType textType)
{
    if (OnPaintText)
        OnPaintText(this, canvas, node, column, textType);
}

QString TCustomLazyStringTree::FireShortenString(TCanvas& canvas, PLazyNode node, TColumnIndex column,
                                                 const QString& s, int textSpace, bool rightToLeft, int ellipsisWidth)
{
    QString result;
    bool done = false;
    if (OnShortenString)
        OnShortenString(this, canvas, node, column, s, textSpace, rightToLeft, result, done);
    if (!done)
        result = ShortenWithEllipsis(MetricsOf(canvas.Font()), s, textSpace, rightToLeft, ellipsisWidth);
    return result;
}

int TCustomLazyStringTree::TextExtentOf(TCanvas& canvas, PLazyNode, TColumnIndex, const QString& text)
{
    return MetricsOf(canvas.Font()).horizontalAdvance(text);
}

int TCustomLazyStringTree::MeasureCellText(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& text)
{
    if (text.isEmpty())
        return 2 * TextMargin();
    canvas.Font().Assign(Font());
    FirePaintText(node, canvas, column, TVSTTextType::ttNormal);
    return 2 * TextMargin() + TextExtentOf(canvas, node, column, text);
}

std::uint32_t* TCustomLazyStringTree::TextWidthCache(PLazyNode node) const
{
    if (!node || node == HiddenRoot())
        return nullptr;
    return reinterpret_cast<std::uint32_t*>(node->Bytes() + FTextWidthCacheOffset);
}

int TCustomLazyStringTree::NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas)
{
    const bool useColumns = Header().Columns().Count() > 0;
    if (column >= 0 && useColumns && node->Has(nsWrapText))
        if (const TLazyTreeColumn* c = Header().Columns().ColumnAt(column))
            return c->Width();
    if (!canvas)
        canvas = &Canvas();
    const bool mainColumn = !useColumns || column == Header().MainColumn() || column == NoColumn;
    if (!mainColumn)
        return MeasureCellText(*canvas, node, column, GetCellText(node, column));
    std::uint32_t* cache = TextWidthCache(node);
    if (!cache)
        return 0;
    if (*cache != 0)
        return static_cast<int>(*cache);
    const int width = MeasureCellText(*canvas, node, column, GetCellText(node, column));
    *cache = static_cast<std::uint32_t>(width);
    return width;
}

void TCustomLazyStringTree::ResetAllTextWidths()
{
    // Every existing node, without initialising any.
    for (PLazyNode node = FirstNodeRaw(); node; node = NextNodeRaw(node))
        *TextWidthCache(node) = 0;
}

void TCustomLazyStringTree::UpdateFontMetrics()
{
    const QFontMetrics& metrics = MetricsOf(Font());
    FFontLineHeight = metrics.height();
    FEllipsisExtent = metrics.horizontalAdvance(QStringLiteral("..."));
    ResetAllTextWidths();
}

void TCustomLazyStringTree::WndProc(TMessage& message)
{
    TBaseLazyTree::WndProc(message);
    if (message.Msg == CM_FONTCHANGED || message.Msg == WM_SETFONT)
        UpdateFontMetrics();
}

void TCustomLazyStringTree::RepaintNode(PLazyNode node)
{
    if (std::uint32_t* cache = TextWidthCache(node)) {
        *cache = 0;
        node->StateBits.Exclude(nsHeightKnown);
    }
    TBaseLazyTree::RepaintNode(node);
}

void TCustomLazyStringTree::ReinitializeNode(PLazyNode node, bool recursive)
{
    TBaseLazyTree::ReinitializeNode(node, recursive);
    if (std::uint32_t* cache = TextWidthCache(node))
        *cache = 0;
}

void TCustomLazyStringTree::MainColumnSwitched()
{
    TBaseLazyTree::MainColumnSwitched();
    ResetAllTextWidths();
}

int TCustomLazyStringTree::WrappedTextHeight(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& text)
{
    const QString measured = text.isEmpty() ? GetCellText(node, column) : text;
    TRect r = NodeDisplayRect(node, column, false, true);
    TTreeCellPaintRecord record;
    record.Canvas = &canvas;
    record.Node = node;
    record.Column = column;
    record.CellRect = r;
    const TLazyTreeColumn* c = Header().Columns().ColumnAt(column);
    record.BidiMode = c ? c->BiDiMode() : TBiDiMode::bdLeftToRight;
    TColumnIndex next = InvalidColumn;
    FitPaintCell(record, next);
    r = record.CellRect;
    unsigned flags = DT_CALCRECT | DT_NOPREFIX | DT_WORDBREAK;
    if (record.RightToLeft())
        flags |= DT_RIGHT | DT_RTLREADING;
    return DrawTextInRect(nullptr, QtFontOf(canvas.Font()), measured, r, flags);
}

// ---- painting

void TCustomLazyStringTree::DrawNodeContent(TTreeCellPaintRecord& record)
{
    TCanvas& canvas = *record.Canvas;
    HookCanvasFontChange(canvas);
    const TAtScopeEnd unhook([&] { UnhookCanvasFontChange(canvas); });
    const QString text = GetCellText(record.Node, record.Column);
    if (!text.isEmpty())
        PaintCellText(record, text);
    if (Alignment() != taCenter && !record.Node->Has(nsWrapText) && StringOptions().Contains(toShowStaticText)) {
        QString staticText;
        FireGetText(record.Node, record.Column, TVSTTextType::ttStatic, staticText);
        if (!staticText.isEmpty())
            PaintCellStaticText(record, staticText);
    }
}

void TCustomLazyStringTree::PrepareCellFont(TTreeCellPaintRecord& record)
{
    TFont& font = record.Canvas->Font();
    font.Assign(Font());
    PLazyNode node = record.Node;
    if (HasOption(toHotTrack) && node == HotNode()) {
        font.SetStyle(font.Style() + fsUnderline);
        font.SetColor(Colors().HotColor());
    }
    if (record.PaintFlags.Contains(tpSelection) && (record.Column == FocusedColumn() || HasOption(toFullRowSelect))) {
        if (node == DropTargetNode()) {
            if (LastDropMode() == TDropMode::dmOnNode || node->Has(nsPicked))
                font.SetColor(clHighlightText);
        } else if (node->Has(nsPicked) && (hasFocus() || HasOption(toPopupMode))) {
            font.SetColor(clHighlightText);
        }
    }
}

void TCustomLazyStringTree::PaintCellText(TTreeCellPaintRecord& record, QString text)
{
    TCanvas& canvas = *record.Canvas;
    PrepareCellFont(record);
    TRect r = record.ContentRect;
    canvas.SetTextFlags(0);
    InflateRect(r, -TextMargin(), 0);
    const bool rtl = record.RightToLeft();
    const bool disabled = record.Node->Has(nsInactive) || !isEnabled();
    unsigned flags;
    if (record.Node->Has(nsWrapText)) {
        FirePaintText(record.Node, canvas, record.Column, TVSTTextType::ttNormal);
        if (disabled)
            canvas.Font().SetColor(Colors().DisabledColor());
        flags = DT_END_ELLIPSIS | DT_EDITCONTROL | DT_NOPREFIX | DT_WORDBREAK | AlignmentFlag(record.Alignment);
        if (rtl)
            flags |= DT_RTLREADING;
    } else {
        ClearCanvasFontChanged();
        int ellipsisWidth = FEllipsisExtent;
        FirePaintText(record.Node, canvas, record.Column, TVSTTextType::ttNormal);
        if (CanvasFontChanged()) {
            ellipsisWidth = 0;
            record.NodeWidth = 2 * TextMargin() + TextExtentOf(canvas, record.Node, record.Column, text);
        }
        if (disabled)
            canvas.Font().SetColor(Colors().DisabledColor());
        flags = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
        if (rtl)
            flags |= DT_RTLREADING;
        if (record.Column < 0) {
            flags |= AlignmentFlag(record.Alignment);
        } else if (record.NodeWidth - 2 * TextMargin() > r.Width()) {
            text = FireShortenString(canvas, record.Node, record.Column, text, r.Width(), rtl, ellipsisWidth);
            if (record.Alignment == taRightJustify)
                flags |= DT_RIGHT;
        } else {
            flags |= AlignmentFlag(record.Alignment);
        }
    }
    RenderCellText(record, text, r, flags);
}

void TCustomLazyStringTree::PaintCellStaticText(TTreeCellPaintRecord& record, const QString& text)
{
    TCanvas& canvas = *record.Canvas;
    TFont& font = canvas.Font();
    font.Assign(Font());
    PLazyNode node = record.Node;
    if (HasOption(toFullRowSelect)) {
        if (node == DropTargetNode()) {
            if (LastDropMode() == TDropMode::dmOnNode || node->Has(nsPicked))
                font.SetColor(clHighlightText);
        } else if (node->Has(nsPicked) && (hasFocus() || HasOption(toPopupMode))) {
            font.SetColor(clHighlightText);
        }
    }
    unsigned flags = DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    canvas.SetTextFlags(0);
    FirePaintText(node, canvas, record.Column, TVSTTextType::ttStatic);
    if (node->Has(nsInactive) || !isEnabled())
        font.SetColor(Colors().DisabledColor());
    TRect r = record.ContentRect;
    if (record.Alignment == taRightJustify)
        r.Right -= record.NodeWidth + TextMargin();
    else
        r.Left += record.NodeWidth + TextMargin();
    if (record.RightToLeft())
        flags |= DT_RTLREADING;
    RenderCellText(record, text, r, flags);
}

void TCustomLazyStringTree::RenderCellText(TTreeCellPaintRecord& record, const QString& text, TRect r,
                                           unsigned drawFormat)
{
    TCanvas& canvas = *record.Canvas;
    QPainter& painter = record.Painter();
    const TPainterStateGuard guard(painter);
    if (canvas.TextFlags() & ETO_OPAQUE)
        painter.fillRect(r.ToQt(), ToQColor(canvas.Brush().Color()));
    painter.setPen(ToQColor(canvas.Font().Color()));
    DrawTextInRect(&painter, QtFontOf(canvas.Font()), text, r, drawFormat);
}

void TCustomLazyStringTree::FitPaintCell(TTreeCellPaintRecord& record, TColumnIndex& nextNonEmpty)
{
    TLazyTreeColumns& columns = Header().Columns();
    if (!HasOption(toAutoSpanColumns) || columns.Count() == 0 || record.RightToLeft()) {
        TBaseLazyTree::FitPaintCell(record, nextNonEmpty);
        return;
    }
    TColumnIndex next = columns.NextShownColumn(record.Column);
    while (next >= 0 && columns.ColumnAt(next)->BiDiMode() == TBiDiMode::bdLeftToRight &&
           FireGetCellIsEmpty(record.Node, next)) {
        record.CellRect.Right += columns.ColumnAt(next)->Width();
        next = columns.NextShownColumn(next);
    }
    nextNonEmpty = next >= 0 ? next : InvalidColumn;
}

bool TCustomLazyStringTree::FireGetCellIsEmpty(PLazyNode node, TColumnIndex column)
{
    if (!GetCellText(node, column).isEmpty())
        return false;
    return TBaseLazyTree::FireGetCellIsEmpty(node, column);
}

// ---- hints, search, editor font

QString TCustomLazyStringTree::NodeHintText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle)
{
    QString text = TBaseLazyTree::NodeHintText(node, column, lineBreakStyle);
    if (OnGetHint)
        OnGetHint(this, node, column, lineBreakStyle, text);
    return text;
}

QString TCustomLazyStringTree::NodeTooltipText(PLazyNode node, TColumnIndex column,
                                               TLTTooltipLineBreakStyle& lineBreakStyle)
{
    if (!OnGetHint)
        return GetCellText(node, column);
    QString text = TBaseLazyTree::NodeTooltipText(node, column, lineBreakStyle);
    OnGetHint(this, node, column, lineBreakStyle, text);
    return text;
}

int TCustomLazyStringTree::FireIncrementalSearch(PLazyNode node, const QString& searchText)
{
    if (OnIncrementalSearch)
        return TBaseLazyTree::FireIncrementalSearch(node, searchText);
    return GetCellText(node, FocusedColumn()).startsWith(searchText, Qt::CaseSensitive) ? 0 : 1;
}

void TCustomLazyStringTree::CellTextInfo(PLazyNode node, TColumnIndex column, TFont& font, TRect& r, QString& text)
{
    TBaseLazyTree::CellTextInfo(node, column, font, r, text);
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(font);
    ClearCanvasFontChanged();
    HookCanvasFontChange(canvas);
    int textHeight;
    {
        const TAtScopeEnd unhook([&] { UnhookCanvasFontChange(canvas); });
        FirePaintText(node, canvas, column, TVSTTextType::ttNormal);
        if (CanvasFontChanged()) {
            font.Assign(canvas.Font());
            textHeight = MetricsOf(canvas.Font()).height();
        } else {
            textHeight = FFontLineHeight;
        }
    }
    text = GetCellText(node, column);
    r = NodeDisplayRect(node, column, !node->Has(nsWrapText), true);
    if (HasOption(toShowHorzGridLines))
        --r.Bottom;
    const int delta = (r.Top + textHeight - r.Bottom) / 2;
    InflateRect(r, 0, delta);
}

void TCustomLazyStringTree::FireCreateEditor(PLazyNode node, TColumnIndex column, PLTEditLink& editLink)
{
    TBaseLazyTree::FireCreateEditor(node, column, editLink);
    if (!editLink)
        editLink = std::make_shared<TStringEditLink>();
}

// ---- text walks

PLazyNode TCustomLazyStringTree::TextSourceWalk(TLTTextSource kind, TTextWalkStep& next)
{
    switch (kind) {
    case TLTTextSource::txsInitialized:
        next = [this](PLazyNode node) { return NextInitializedAfter(node); };
        return FirstInitializedNode();
    case TLTTextSource::txsSelected:
        next = [this](PLazyNode node) { return NextSelectedAfter(node); };
        return FirstSelectedNode();
    case TLTTextSource::txsMarked:
        next = [this](PLazyNode node) {
            PLazyNode found = NextCutCopyAfter(node);
            if (found && !found->Has(nsReady))
                PrepareNode(found);
            return found;
        };
        return next(nullptr);
    case TLTTextSource::txsVisible:
        next = [this](PLazyNode node) { return NextVisibleAfter(node); };
        return FirstVisibleNode();
    default:
        next = [this](PLazyNode node) { return NextNodeInOrder(node); };
        return FirstNode();
    }
}

// ---- caption chunks

void TCustomLazyStringTree::EmitNodeChunks(TStream& stream, PLazyNode node)
{
    TBaseLazyTree::EmitNodeChunks(stream, node);
    if (!StringOptions().Contains(toSaveCaptions) || node == HiddenRoot() || !node->Has(nsReady))
        return;
    const QString text = GetCellText(node, Header().MainColumn());
    if (text.isEmpty())
        return;
    WriteInt32(stream, CaptionChunk);
    WriteInt32(stream, static_cast<std::int32_t>(2 * text.size()));
    WriteUtf16(stream, text);
}

bool TCustomLazyStringTree::ParseNodeChunk(TStream& stream, int version, PLazyNode node, std::int32_t chunkType,
                                           std::int32_t chunkSize)
{
    if (chunkType != CaptionChunk)
        return TBaseLazyTree::ParseNodeChunk(stream, version, node, chunkType, chunkSize);
    RequireBytes(stream, chunkSize);
    const QString text = ReadUtf16(stream, chunkSize / 2);
    if (chunkSize % 2 != 0)
        ReadUInt8(stream);
    ApplyNewText(node, Header().MainColumn(), text);
    return true;
}
