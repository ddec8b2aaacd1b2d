// The compare text view: construction, properties, metrics, scrolling and painting.

#include "compare/CodeEditor.h"

#include "Platform/text/TextChars.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr TColor GutterFocusedColor = 11202286; // AAEEEE
constexpr TColor GutterColor = 13684944;        // D0D0D0
constexpr TColor GutterEdgeColor = 8421504;     // 808080
constexpr int VScrollLimit = 32766;

int DecimalDigits(int value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

} // namespace

TCodeEdit::TCodeEdit(TComponent* AOwner, QWidget* parent) : TQtScrollControl<QAbstractScrollArea>(AOwner, parent)
{
    FLines = std::make_unique<TLines>(*this);
    FFont.SetName("Courier New");
    FFont.SetSize(10);
    FFont.SetPitch(TFontPitch::fpFixed);
    SetInitialColor(clWindow);
    TWinControlCore::SetColor(clWindow);
    SetCustomPaint(true);
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAcceptDrops(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QObject::connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, viewport(),
                     [this](int action) { ScrollBarAction(true, action); });
    QObject::connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, viewport(),
                     [this](int action) { ScrollBarAction(false, action); });
    FCaretTimer.setInterval(500);
    QObject::connect(&FCaretTimer, &QTimer::timeout, viewport(), [this] { BlinkCaret(); });
    MeasureFont();
    UpdateScrollBars();
}

TCodeEdit::~TCodeEdit() = default;

// ---- properties

void TCodeEdit::SetColor(TColor color)
{
    const TColor old = Color();
    for (int i = 0; i < FLines->Count(); ++i)
        if (TLineObj& line = FLines->GetLineObj(i); line.Color == old)
            line.Color = color;
    TWinControlCore::SetColor(color);
    Invalidate();
}

void TCodeEdit::SetModifiedLineColor(TColor color)
{
    FModifiedLineColor = color;
    Invalidate();
}

void TCodeEdit::SetFont(const TFont& font)
{
    FFont.Assign(font);
    MeasureFont();
    if (FAutoLineNum)
        AutoGutterWidth();
    UpdateScrollBars();
    Invalidate();
}

void TCodeEdit::SetAutoLineNum(bool value)
{
    FAutoLineNum = value;
    if (value)
        AutoGutterWidth();
    Invalidate();
}

void TCodeEdit::SetGutterWidth(int width)
{
    FGutterWidth = std::max(0, width);
    Resize();
    Invalidate();
}

void TCodeEdit::SetReadOnly(bool value)
{
    FReadOnly = value;
    Invalidate();
}

void TCodeEdit::MeasureFont()
{
    const QFont font = FFont.ToQFont();
    const QFontMetrics metrics(font);
    FCharWidth = std::max(1, metrics.averageCharWidth());
    if (QFontInfo(font).fixedPitch())
        FCharWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('x')));
    FLineHeight = std::max(1, metrics.height() + metrics.leading());
    Resize();
}

void TCodeEdit::AutoGutterWidth()
{
    FGutterWidth = (DecimalDigits(FLines->Count()) + 1) * FCharWidth;
}

// ---- the line store's changes

void TCodeEdit::LineMeasured(const std::string& text)
{
    // Cheap for most lines: a line is at least as wide as its bytes are many, beyond its tabs.
    if (static_cast<int>(text.size()) <= FLongestLine && text.find('\t') == std::string::npos)
        return;
    int columns = 0;
    for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i)))
        columns += text[i] == '\t' ? TabWidth : TextChars::CharColumns(text, i);
    FLongestLine = std::max(FLongestLine, columns);
}

void TCodeEdit::LinesCleared()
{
    FLongestLine = 60;
    if (FAutoLineNum)
        FGutterWidth = 20;
    FFirstRow = 0;
    FLeftCol = 0;
    FCaretCol = 0;
    FCaretRow = 0;
    FRememberedCol = 0;
    FAnchor = 0;
    FCaretOffset = 0;
}

void TCodeEdit::LinesChanged()
{
    if (FAutoLineNum)
        AutoGutterWidth();
    Resize();
    // The caret stays on a character boundary inside the text.
    const int total = FLines->TextLength();
    FCaretOffset = std::clamp(FCaretOffset, 0, total);
    FAnchor = std::clamp(FAnchor, 0, total);
    const TPoint caret = OffsetToPoint(FCaretOffset);
    const bool moved = caret.X != FCaretCol || caret.Y != FCaretRow;
    FCaretCol = caret.X;
    FCaretRow = caret.Y;
    Invalidate();
    if (moved)
        CaretMoved();
}

// ---- metrics and scrolling

void TCodeEdit::Resize()
{
    TQtScrollControl<QAbstractScrollArea>::Resize();
    const TRect client = ClientRect();
    FVisibleRows = std::max(1, (client.Height() - UpperMargin) / FLineHeight);
    FVisibleCols = std::max(1, (client.Width() - TextLeft()) / FCharWidth);
    FFirstRow = std::clamp(FFirstRow, 0, MaxFirstRow());
    FLeftCol = std::clamp(FLeftCol, 0, MaxLeftCol());
    UpdateScrollBars();
}

int TCodeEdit::MaxFirstRow() const
{
    return std::max(0, FLines->Count() - FVisibleRows + 1);
}

int TCodeEdit::MaxLeftCol() const
{
    return std::max(0, FLongestLine - FVisibleCols + 3);
}

void TCodeEdit::UpdateScrollBars()
{
    FUpdatingBars = true;
    FVScrollShift = 0;
    for (int range = FLines->Count(); range > VScrollLimit; range >>= 1)
        ++FVScrollShift;
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, MaxFirstRow() >> FVScrollShift);
    vertical->setPageStep(std::max(1, FVisibleRows >> FVScrollShift));
    vertical->setValue(FFirstRow >> FVScrollShift);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, MaxLeftCol());
    horizontal->setPageStep(FVisibleCols);
    horizontal->setValue(FLeftCol);
    FUpdatingBars = false;
}

void TCodeEdit::ScrollBarAction(bool vertical, int action)
{
    if (FUpdatingBars)
        return;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    const int current = vertical ? FFirstRow : FLeftCol;
    const int page = vertical ? FVisibleRows : FVisibleCols;
    const int shift = vertical ? FVScrollShift : 0;
    int target = current;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: target = current + 1; break;
    case QAbstractSlider::SliderSingleStepSub: target = current - 1; break;
    case QAbstractSlider::SliderPageStepAdd: target = current + page; break;
    case QAbstractSlider::SliderPageStepSub: target = current - page; break;
    default: target = bar->sliderPosition() << shift; break;
    }
    if (vertical)
        SetFirstRow(target);
    else
        SetLeftCol(target);
    bar->setSliderPosition((vertical ? FFirstRow : FLeftCol) >> shift);
}

void TCodeEdit::SetFirstRow(int row)
{
    ScrollTo(FFirstRow, std::clamp(row, 0, MaxFirstRow()));
}

void TCodeEdit::SetLeftCol(int column)
{
    ScrollTo(FLeftCol, std::clamp(column, 0, MaxLeftCol()));
}

void TCodeEdit::ScrollTo(int& position, int value)
{
    if (value == position)
        return;
    position = value;
    UpdateScrollBars();
    Invalidate();
    if (OnScroll)
        OnScroll(this);
}

void TCodeEdit::ScrollCaretIntoView()
{
    if (FCaretRow < FFirstRow)
        SetFirstRow(FCaretRow);
    else if (FCaretRow >= FFirstRow + FVisibleRows)
        SetFirstRow(FCaretRow - FVisibleRows + 1);
    const int column = DisplayColumn(FCaretRow, FCaretCol);
    if (column < FLeftCol)
        SetLeftCol(column);
    else if (column >= FLeftCol + FVisibleCols)
        SetLeftCol(column - FVisibleCols + 1);
}

bool TCodeEdit::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (TQtScrollControl<QAbstractScrollArea>::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    SetFirstRow(FFirstRow - wheelDelta * 3 / 120);
    return true;
}

// ---- rows, columns and offsets

int TCodeEdit::DisplayColumn(int row, int column) const
{
    if (row < 0 || row >= FLines->Count())
        return 0;
    const std::string& text = FLines->LineText(row);
    const size_t end = std::min(text.size(), static_cast<size_t>(std::max(0, column)));
    int cells = 0;
    for (size_t i = 0; i < end; i += static_cast<size_t>(TextChars::CharLength(text, i)))
        cells += text[i] == '\t' ? TabWidth : TextChars::CharColumns(text, i);
    return cells;
}

int TCodeEdit::RowAt(int y) const
{
    const int row = FFirstRow + (y - UpperMargin) / FLineHeight - (y < UpperMargin ? 1 : 0);
    return std::clamp(row, 0, std::max(0, FLines->Count() - 1));
}

int TCodeEdit::ColumnAt(int x, int row) const
{
    if (row < 0 || row >= FLines->Count())
        return 0;
    const std::string& text = FLines->LineText(row);
    // The boundary nearest the pointer: a click on the right half of a cell is after it.
    const int target2 = 2 * (x - TextLeft()) / FCharWidth + 2 * FLeftCol;
    int cells = 0;
    size_t i = 0;
    while (i < text.size()) {
        const int width = text[i] == '\t' ? TabWidth : TextChars::CharColumns(text, i);
        if (2 * cells + width > target2)
            break;
        cells += width;
        i += static_cast<size_t>(TextChars::CharLength(text, i));
    }
    return static_cast<int>(i);
}

int TCodeEdit::PointToOffset(int column, int row) const
{
    if (FLines->Count() == 0 || row < 0)
        return 0;
    if (row >= FLines->Count())
        return FLines->TextLength();
    const TLineObj& line = FLines->GetLineObj(row);
    return line.Position + std::clamp(column, 0, line.Length);
}

TPoint TCodeEdit::OffsetToPoint(int offset) const
{
    if (FLines->Count() == 0)
        return {0, 0};
    int low = 0, high = FLines->Count() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (FLines->GetLineObj(middle).Position <= offset)
            low = middle;
        else
            high = middle - 1;
    }
    const TLineObj& line = FLines->GetLineObj(low);
    return {std::clamp(offset - line.Position, 0, line.Length), low};
}

// ---- painting

TRect TCodeEdit::CaretRect() const
{
    const int x = TextLeft() + (DisplayColumn(FCaretRow, FCaretCol) - FLeftCol) * FCharWidth;
    const int y = UpperMargin + (FCaretRow - FFirstRow) * FLineHeight + 1;
    return Bounds(x, y, 2, FLineHeight - 2);
}

void TCodeEdit::BlinkCaret()
{
    FCaretShown = !FCaretShown;
    InvalidateRect(CaretRect());
}

void TCodeEdit::Paint()
{
    TCanvas& canvas = Canvas();
    QPainter& painter = *canvas.Handle();
    const TRect client = ClientRect();
    const bool focused = Focused();

    if (FGutterWidth > 0) {
        canvas.Brush().SetColor(focused ? GutterFocusedColor : GutterColor);
        canvas.FillRect(Rect(0, 0, FGutterWidth, client.Bottom));
        canvas.Pen().SetColor(GutterEdgeColor);
        canvas.MoveTo(FGutterWidth - 1, 0);
        canvas.LineTo(FGutterWidth - 1, client.Bottom);
        canvas.Pen().SetColor(clSilver);
        canvas.MoveTo(FGutterWidth - 2, 0);
        canvas.LineTo(FGutterWidth - 2, client.Bottom);
    }
    const bool firstVisible = FFirstRow == 0 || FFirstRow > FLines->Count();
    canvas.Brush().SetColor(firstVisible ? Color() : FLines->GetLineObj(FFirstRow - 1).Color);
    canvas.FillRect(Rect(FGutterWidth, 0, client.Right, UpperMargin));

    painter.setFont(FFont.ToQFont());
    int y = UpperMargin;
    for (int row = FFirstRow; row < FLines->Count() && y < client.Bottom; ++row, y += FLineHeight)
        PaintRow(canvas, row, y);
    if (y < client.Bottom) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(Rect(FGutterWidth, y, client.Right, client.Bottom));
    }

    if (focused && !FReadOnly && FCaretShown && FCaretRow >= FFirstRow && FCaretRow < FFirstRow + FVisibleRows + 1) {
        const TRect caret = CaretRect();
        if (caret.Left >= TextLeft() && caret.Left < client.Right) {
            canvas.Brush().SetColor(clWindowText);
            canvas.FillRect(caret);
        }
    }
}

void TCodeEdit::PaintRow(TCanvas& canvas, int row, int y)
{
    QPainter& painter = *canvas.Handle();
    const TLineObj& line = FLines->GetLineObj(row);
    const std::string& text = FLines->LineText(row);
    const TRect client = ClientRect();

    if (FGutterWidth > 0) {
        const TRect margin = Rect(0, y, FGutterWidth - 2, y + FLineHeight);
        if (FAutoLineNum) {
            painter.setPen(ToQColor(clWindowText));
            painter.drawText(QRect(0, y, FGutterWidth - 4, FLineHeight), Qt::AlignRight | Qt::AlignVCenter,
                             QString::number(row + 1));
        } else if (OnPaintLeftMargin) {
            OnPaintLeftMargin(this, canvas, margin, row + 1, line.LineNumber);
        }
    }

    const TColor background = line.Modified ? FModifiedLineColor : line.Color;
    canvas.Brush().SetColor(background);
    canvas.FillRect(Rect(FGutterWidth, y, client.Right, y + FLineHeight));
    painter.save();
    painter.setClipRect(QRect(TextLeft(), y, std::max(0, client.Right - TextLeft()), FLineHeight));

    const int selStart = SelStart() - line.Position;
    const int selEnd = selStart + SelLength();
    const bool focused = Focused();
    const QColor textColor = ToQColor(FFont.Color());
    const QColor selText = ToQColor(clHighlightText);
    const QColor selBack = ToQColor(focused ? clHighlight : clSilver);
    const int ascent = QFontMetrics(painter.font()).ascent();
    const int lastCell = FLeftCol + FVisibleCols + 1;

    // Runs of one-cell characters with the same selection state are drawn at once; wide
    // characters each on their two cells. Tabs draw nothing but their background.
    QString run;
    int runCell = 0;
    bool runSelected = false;
    const auto flush = [&] {
        if (run.isEmpty())
            return;
        painter.setPen(runSelected ? selText : textColor);
        painter.drawText(TextLeft() + (runCell - FLeftCol) * FCharWidth, y + ascent, run);
        run.clear();
    };
    int cell = 0;
    for (size_t i = 0; i < text.size() && cell < lastCell;) {
        int length = 1;
        const char32_t code = TextChars::Decode(text, i, &length);
        const bool tab = text[i] == '\t';
        const int width = tab ? TabWidth : TextChars::CharColumns(text, i);
        const int offset = static_cast<int>(i);
        const bool selected = offset >= selStart && offset < selEnd;
        if (cell + width > FLeftCol) {
            const int x = TextLeft() + (cell - FLeftCol) * FCharWidth;
            if (selected)
                painter.fillRect(QRect(x, y, width * FCharWidth, FLineHeight), selBack);
            if (!run.isEmpty() && (selected != runSelected || width != 1 || tab))
                flush();
            if (!tab) {
                if (run.isEmpty()) {
                    runCell = cell;
                    runSelected = selected;
                }
                run += QString::fromUcs4(&code, 1);
                if (width != 1)
                    flush();
            }
        }
        cell += width;
        i += static_cast<size_t>(length);
    }
    flush();
    painter.restore();
}
