#include "TreeView/Source/header/LTColumn.h"

#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>
#include <algorithm>
#include <numeric>

namespace {
// Smallest column record of the column block: two lengths and ten fields.
constexpr std::int64_t MinColumnRecordBytes = 12 * 4;

template <class E>
E EnumOr(std::int32_t value, E last, E fallback)
{
    return value >= 0 && value <= static_cast<std::int32_t>(last) ? static_cast<E>(value) : fallback;
}

std::uint32_t ConvertColumnOptions(std::uint32_t bits, int version)
{
    if (version >= 3)
        return bits;
    if (version == 2)
        return bits & ~0xFF00u;
    return (bits & 0x0Fu) | ((bits & 0x70u) << 1) | ((bits >> 15) << 16);
}
} // namespace

// ---- TLazyTreeColumn

TLazyTreeColumn::TLazyTreeColumn(TLazyTreeColumns& owner) : FOwner(owner) {}

TLazyTreeColumn::~TLazyTreeColumn() = default;

int TLazyTreeColumn::Index() const
{
    for (int i = 0; i < FOwner.Count(); ++i)
        if (FOwner.ColumnAt(i) == this)
            return i;
    return -1;
}

TBaseLazyTree* TLazyTreeColumn::Tree() const
{
    return &FOwner.Header().Tree();
}

bool TLazyTreeColumn::TreeLoading() const
{
    return Tree()->Loading() || FOwner.Header().States().Contains(hsLoading);
}

void TLazyTreeColumn::Changed()
{
    FOwner.ItemChanged(this);
}

void TLazyTreeColumn::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    Changed();
    Tree()->InvalidateClient();
}

void TLazyTreeColumn::SetBiDiMode(TBiDiMode value)
{
    if (value == FBiDiMode)
        return;
    FBiDiMode = value;
    FOptions.Exclude(coParentBidiMode);
    Changed();
    Tree()->InvalidateClient();
}

void TLazyTreeColumn::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    FOptions.Exclude(coParentColor);
    Changed();
    Tree()->InvalidateClient();
}

void TLazyTreeColumn::SetHint(const QString& value)
{
    FHint = value;
}

void TLazyTreeColumn::SetImageIndex(int value)
{
    if (value == FImageIndex)
        return;
    FImageIndex = value;
    Changed();
}

void TLazyTreeColumn::SetLayout(TLTHeaderColumnLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Changed();
}

void TLazyTreeColumn::SetMargin(int value)
{
    if (value < 0)
        value = 4;
    if (value == FMargin)
        return;
    FMargin = value;
    Changed();
}

void TLazyTreeColumn::SetMaxWidth(int value)
{
    value = std::max(value, FMinWidth);
    if (value == FMaxWidth)
        return;
    FMaxWidth = value;
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetMinWidth(int value)
{
    value = std::min(std::max(value, 0), FMaxWidth);
    if (value == FMinWidth)
        return;
    FMinWidth = value;
    SetWidth(FWidth);
}

void TLazyTreeColumn::SetSpacing(int value)
{
    if (value == FSpacing)
        return;
    FSpacing = value;
    Changed();
}

void TLazyTreeColumn::SetStyle(TLazyTreeColumnStyle value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    Changed();
}

void TLazyTreeColumn::SetText(const QString& value)
{
    if (value == FText)
        return;
    FText = value;
    Changed();
}

void TLazyTreeColumn::SetWidth(int value)
{
    value = std::clamp(value, FMinWidth, std::max(FMinWidth, FMaxWidth));
    if (value == FWidth)
        return;
    FLastWidth = FWidth;
    TLTHeader& header = FOwner.Header();
    const bool autoSized = header.Options().Contains(hoAutoResize) && header.AutoSizeIndex() == Index();
    if (!autoSized) {
        FWidth = value;
        FOwner.UpdateColumnPositions();
    }
    if (TreeLoading() || FOwner.Updating())
        return;
    if (header.Options().Contains(hoAutoResize))
        FOwner.FitAutoSizeColumn(Index(), false);
    Tree()->ColumnResized(Index());
}

void TLazyTreeColumn::SetOptions(TLTColumnOptions value)
{
    if (value == FOptions)
        return;
    const TLTColumnOptions old = FOptions;
    const TLTColumnOptions added = value - old;
    FOptions = value;
    if (added.Contains(coParentBidiMode))
        FBiDiMode = Tree()->layoutDirection() == Qt::RightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight;
    if (added.Contains(coParentColor))
        FColor = Tree()->Color();
    if (added.Contains(coAutoSpring))
        FSpringRest = 0;
    Changed();
    if (TreeLoading())
        return;
    const bool visibilityChanged = old.Contains(coVisible) != value.Contains(coVisible);
    if ((visibilityChanged || added.Contains(coParentColor)) && Tree()->UpdateDepth() == 0 && Tree()->WindowExists())
        Tree()->InvalidateClient();
    if (visibilityChanged)
        Tree()->RefreshScrollBars(false);
}

void TLazyTreeColumn::SetPosition(TColumnPosition value)
{
    if (TreeLoading()) {
        FPosition = value;
        return;
    }
    value = std::clamp(value, 0, std::max(FOwner.Count() - 1, 0));
    if (value == FPosition)
        return;
    auto& positions = FOwner.FPositionToIndex;
    if (static_cast<int>(positions.size()) != FOwner.Count())
        FOwner.ItemChanged(nullptr);
    Tree()->CancelNodeEdit();
    const int index = Index();
    positions.erase(std::find(positions.begin(), positions.end(), index));
    positions.insert(positions.begin() + value, index);
    FPosition = value;
    Changed();
    if (!FOwner.Updating() && Tree()->WindowExists()) {
        FOwner.Header().RepaintHeader(index);
        Tree()->InvalidateClient();
    }
    // why: fixed columns stay together at the left.
    const TColumnIndex neighbour = (FOptions.Contains(coFixed) && FPosition > 0)
                                       ? FOwner.ColumnIndexAtPosition(FPosition - 1)
                                       : FOwner.ColumnIndexAtPosition(FPosition + 1);
    if (neighbour >= 0) {
        TLTColumnOptions options = FOptions;
        if (FOwner.ColumnAt(neighbour)->Options().Contains(coFixed))
            options.Include(coFixed);
        else
            options.Exclude(coFixed);
        SetOptions(options);
    }
}

void TLazyTreeColumn::AbsoluteEdges(int& left, int& right) const
{
    left = FLeft;
    right = FLeft + FWidth;
}

int TLazyTreeColumn::ColumnLeft() const
{
    return IsFixed() ? FLeft : FLeft + Tree()->OffsetX();
}

bool TLazyTreeColumn::SameSettings(const TLazyTreeColumn& other) const
{
    return FBiDiMode == other.FBiDiMode && FImageIndex == other.FImageIndex && FLayout == other.FLayout &&
           FMargin == other.FMargin && FMaxWidth == other.FMaxWidth && FMinWidth == other.FMinWidth &&
           FPosition == other.FPosition && FSpacing == other.FSpacing && FStyle == other.FStyle &&
           FText == other.FText && FHint == other.FHint && FWidth == other.FWidth &&
           FAlignment == other.FAlignment && FColor == other.FColor && FTag == other.FTag &&
           FOptions == other.FOptions;
}

TRect TLazyTreeColumn::HeaderCellRect() const
{
    TRect r = FOwner.Header().HeaderRect();
    r.Left += FLeft;
    r.Right = r.Left + FWidth;
    return r;
}

void TLazyTreeColumn::RevertColumnWidth()
{
    FOwner.AnimatedColumnResize(Index(), FLastWidth);
}

void TLazyTreeColumn::Assign(const TPersistent& source)
{
    const auto* column = dynamic_cast<const TLazyTreeColumn*>(&source);
    if (!column) {
        TPersistent::Assign(source);
        return;
    }
    const TLTColumnOptions options = column->FOptions;
    FOptions = {};
    SetBiDiMode(column->FBiDiMode);
    SetImageIndex(column->FImageIndex);
    SetLayout(column->FLayout);
    SetMargin(column->FMargin);
    SetMaxWidth(column->FMaxWidth);
    SetMinWidth(column->FMinWidth);
    SetPosition(column->FPosition);
    SetSpacing(column->FSpacing);
    SetStyle(column->FStyle);
    SetText(column->FText);
    SetHint(column->FHint);
    SetWidth(column->FWidth);
    SetAlignment(column->FAlignment);
    SetColor(column->FColor);
    SetTag(column->FTag);
    FOptions = {};
    SetOptions(options);
    Changed();
}

QString TLazyTreeColumn::DisplayName() const
{
    for (QChar c : FText)
        if (c.unicode() > 255)
            return QStringLiteral("Column %1").arg(Index());
    return FText;
}

void TLazyTreeColumn::ReadRecord(TStream& stream, int version)
{
    const std::int32_t textLength = ReadInt32(stream);
    const QString text = ReadUtf16(stream, textLength);
    const std::int32_t hintLength = ReadInt32(stream);
    const QString hint = ReadUtf16(stream, hintLength);
    const std::int32_t width = ReadInt32(stream);
    const std::int32_t minWidth = ReadInt32(stream);
    const std::int32_t maxWidth = ReadInt32(stream);
    const std::int32_t style = ReadInt32(stream);
    const std::int32_t imageIndex = ReadInt32(stream);
    const std::int32_t layout = ReadInt32(stream);
    const std::int32_t margin = ReadInt32(stream);
    const std::int32_t spacing = ReadInt32(stream);
    const std::int32_t bidi = ReadInt32(stream);
    const auto options = static_cast<std::uint32_t>(ReadInt32(stream));
    SetText(text);
    SetHint(hint);
    // why: the limits first, so that a stored width outside the default limits survives.
    SetMinWidth(0);
    SetMaxWidth(std::max(maxWidth, minWidth));
    SetMinWidth(minWidth);
    SetWidth(width);
    SetStyle(EnumOr(style, TLazyTreeColumnStyle::vsOwnerDraw, TLazyTreeColumnStyle::vsText));
    SetImageIndex(imageIndex);
    SetLayout(EnumOr(layout, TLTHeaderColumnLayout::blGlyphBottom, TLTHeaderColumnLayout::blGlyphLeft));
    SetMargin(margin);
    SetSpacing(spacing);
    const TLTColumnOptions converted = TLTColumnOptions::FromBits(ConvertColumnOptions(options, version) & 0x3FFu);
    // The stored reading order and colour win over the parent's, so they are set after the options.
    SetOptions(converted);
    FBiDiMode = EnumOr(bidi, TBiDiMode::bdRightToLeftReadingOnly, TBiDiMode::bdLeftToRight);
    if (version >= 1) {
        SetTag(ReadInt32(stream));
        SetAlignment(EnumOr(ReadInt32(stream), TAlignment::taCenter, TAlignment::taLeftJustify));
    }
    if (version >= 2)
        FColor = ReadInt32(stream);
    Changed();
}

void TLazyTreeColumn::WriteRecord(TStream& stream) const
{
    WriteInt32(stream, static_cast<std::int32_t>(FText.size()));
    WriteUtf16(stream, FText);
    WriteInt32(stream, static_cast<std::int32_t>(FHint.size()));
    WriteUtf16(stream, FHint);
    WriteInt32(stream, FWidth);
    WriteInt32(stream, FMinWidth);
    WriteInt32(stream, FMaxWidth);
    WriteInt32(stream, static_cast<std::int32_t>(FStyle));
    WriteInt32(stream, FImageIndex);
    WriteInt32(stream, static_cast<std::int32_t>(FLayout));
    WriteInt32(stream, FMargin);
    WriteInt32(stream, FSpacing);
    WriteInt32(stream, static_cast<std::int32_t>(FBiDiMode));
    WriteInt32(stream, static_cast<std::int32_t>(FOptions.Bits()));
    WriteInt32(stream, FTag);
    WriteInt32(stream, static_cast<std::int32_t>(FAlignment));
    WriteInt32(stream, FColor);
}

// ---- TLazyTreeColumns

TLazyTreeColumns::TLazyTreeColumns(TLTHeader& header) : FHeader(header) {}

TLazyTreeColumns::~TLazyTreeColumns()
{
    FClearing = true;
    FItems.clear();
}

TBaseLazyTree* TLazyTreeColumns::Tree() const
{
    return &FHeader.Tree();
}

TLazyTreeColumn* TLazyTreeColumns::ColumnAt(TColumnIndex index) const
{
    return ColumnIndexValid(index) ? FItems[static_cast<size_t>(index)].get() : nullptr;
}

TLazyTreeColumn* TLazyTreeColumns::AddColumn()
{
    FItems.push_back(Tree()->ColumnClassToUse(*this));
    TLazyTreeColumn* column = FItems.back().get();
    column->FPosition = Count() - 1;
    column->FColor = Tree()->Color();
    column->FBiDiMode =
        Tree()->layoutDirection() == Qt::RightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight;
    ItemChanged(nullptr);
    return column;
}

void TLazyTreeColumns::RemoveAllColumns()
{
    if (FItems.empty())
        return;
    FClearing = true;
    FItems.clear();
    FPositionToIndex.clear();
    FClearing = false;
    HoverIndex = PressedIndex = ClickIndex = DropTarget = TrackIndex = DragIndex = NoColumn;
    FHeader.FAutoSizeIndex = NoColumn;
    FHeader.FSortColumn = NoColumn;
    FHeader.FMainColumn = NoColumn;
    ItemChanged(nullptr);
}

void TLazyTreeColumns::Delete(TColumnIndex index)
{
    if (!ColumnIndexValid(index))
        return;
    std::unique_ptr<TLazyTreeColumn> column = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
    ColumnRemoved(index);
    column.reset();
    ItemChanged(nullptr);
}

void TLazyTreeColumns::ColumnRemoved(TColumnIndex index)
{
    FPositionToIndex.erase(std::remove(FPositionToIndex.begin(), FPositionToIndex.end(), index),
                           FPositionToIndex.end());
    for (TColumnIndex& entry : FPositionToIndex)
        if (entry > index)
            --entry;
    auto adjust = [index](TColumnIndex& value) {
        if (value == index)
            value = NoColumn;
        else if (value > index)
            --value;
    };
    adjust(HoverIndex);
    adjust(PressedIndex);
    adjust(TrackIndex);
    adjust(ClickIndex);
    adjust(DropTarget);
    adjust(DragIndex);
    adjust(FHeader.FAutoSizeIndex);
    adjust(FHeader.FSortColumn);
    if (FHeader.FMainColumn == index)
        FHeader.FMainColumn = FItems.empty() ? NoColumn : 0;
    else if (FHeader.FMainColumn > index)
        --FHeader.FMainColumn;
}

void TLazyTreeColumns::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        ItemChanged(nullptr);
}

void TLazyTreeColumns::ItemChanged(TLazyTreeColumn* column)
{
    const auto count = static_cast<size_t>(Count());
    if (FPositionToIndex.size() < count) {
        for (size_t i = FPositionToIndex.size(); i < count; ++i)
            FPositionToIndex.push_back(static_cast<TColumnIndex>(i));
    } else if (FPositionToIndex.size() > count) {
        FPositionToIndex.resize(count);
    }
    // A shrunken array may still name columns beyond the count; pull them into range.
    for (TColumnIndex& entry : FPositionToIndex)
        while (entry >= static_cast<TColumnIndex>(count) && entry > 0)
            --entry;
    TBaseLazyTree* tree = Tree();
    if (tree->Loading())
        FNeedPositionsFix = true;
    else
        UpdateColumnPositions();
    if (count > 0 && FHeader.FMainColumn < 0)
        FHeader.FMainColumn = 0;
    if (tree->Loading() || FHeader.States().Contains(hsLoading) || Updating())
        return;
    if (FHeader.Options().Contains(hoAutoResize))
        FitAutoSizeColumn();
    if (column) {
        FHeader.RepaintHeader(column->Index());
    } else {
        tree->RefreshScrollBars(false);
        FHeader.RepaintHeader();
        tree->InvalidateClient();
    }
}

void TLazyTreeColumns::UpdateColumnPositions(bool force)
{
    if (FNeedPositionsFix || (!force && Updating()))
        return;
    int left = 0;
    for (size_t p = 0; p < FPositionToIndex.size(); ++p) {
        TLazyTreeColumn* column = ColumnAt(FPositionToIndex[p]);
        if (!column)
            continue;
        column->FPosition = static_cast<TColumnPosition>(p);
        column->FLeft = left;
        if (column->FOptions.Contains(coVisible))
            left += column->FWidth;
    }
}

void TLazyTreeColumns::FixColumnPositions()
{
    std::vector<TColumnIndex> positions(FItems.size(), NoColumn);
    bool valid = true;
    for (int i = 0; i < Count() && valid; ++i) {
        const TColumnPosition p = FItems[static_cast<size_t>(i)]->FPosition;
        valid = p >= 0 && p < Count() && positions[static_cast<size_t>(p)] == NoColumn;
        if (valid)
            positions[static_cast<size_t>(p)] = i;
    }
    // why: positions read from a damaged form would leave columns unreachable; fall back to
    // the collection order.
    if (!valid)
        std::iota(positions.begin(), positions.end(), 0);
    FPositionToIndex = positions;
    FNeedPositionsFix = false;
    UpdateColumnPositions(true);
}

TColumnIndex TLazyTreeColumns::ColumnIndexAtPosition(TColumnPosition position) const
{
    if (position < 0 || position >= static_cast<TColumnPosition>(FPositionToIndex.size()))
        return NoColumn;
    return FPositionToIndex[static_cast<size_t>(position)];
}

TColumnIndex TLazyTreeColumns::ColumnAndBoundsAt(int x, int& left, int& right, bool relative) const
{
    left = right = 0;
    if (x < 0)
        return InvalidColumn;
    int sum = (relative && x > FixedColumnsWidth()) ? Tree()->OffsetX() : 0;
    for (TColumnIndex index : FPositionToIndex) {
        const TLazyTreeColumn* column = ColumnAt(index);
        if (!column || !column->Options().Contains(coVisible))
            continue;
        const int columnLeft = sum;
        sum += column->Width();
        if (x < sum) {
            left = columnLeft;
            right = sum;
            return index;
        }
    }
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::ColumnAtPoint(TPoint p, bool relative) const
{
    if (p.X < 0 || p.Y < 0 || p.Y > Tree()->Height())
        return InvalidColumn;
    int left = 0;
    int right = 0;
    return ColumnAndBoundsAt(p.X, left, right, relative);
}

void TLazyTreeColumns::ColumnEdges(TColumnIndex index, int& left, int& right) const
{
    const TLazyTreeColumn* column = ColumnAt(index);
    if (!column) {
        left = 0;
        right = Tree()->ClientWidth();
        return;
    }
    left = column->ColumnLeft();
    right = left + column->Width();
}

TColumnIndex TLazyTreeColumns::ColumnAfter(TColumnIndex index) const
{
    const TLazyTreeColumn* column = ColumnAt(index);
    if (!column || column->Position() + 1 >= Count())
        return InvalidColumn;
    return ColumnIndexAtPosition(column->Position() + 1);
}

TColumnIndex TLazyTreeColumns::ColumnBefore(TColumnIndex index) const
{
    const TLazyTreeColumn* column = ColumnAt(index);
    if (!column || column->Position() <= 0)
        return InvalidColumn;
    return ColumnIndexAtPosition(column->Position() - 1);
}

TColumnIndex TLazyTreeColumns::NextShownColumn(TColumnIndex index) const
{
    TColumnIndex run = ColumnAfter(index);
    while (run >= 0 && !ColumnAt(run)->Options().Contains(coVisible))
        run = ColumnAfter(run);
    return run;
}

TColumnIndex TLazyTreeColumns::PreviousShownColumn(TColumnIndex index) const
{
    TColumnIndex run = ColumnBefore(index);
    while (run >= 0 && !ColumnAt(run)->Options().Contains(coVisible))
        run = ColumnBefore(run);
    return run;
}

TColumnIndex TLazyTreeColumns::FirstShownColumn() const
{
    for (TColumnIndex index : FPositionToIndex)
        if (ColumnAt(index) && ColumnAt(index)->Options().Contains(coVisible))
            return index;
    return InvalidColumn;
}

TColumnIndex TLazyTreeColumns::LastShownColumn() const
{
    for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it)
        if (ColumnAt(*it) && ColumnAt(*it)->Options().Contains(coVisible))
            return *it;
    return InvalidColumn;
}

std::vector<TLazyTreeColumn*> TLazyTreeColumns::VisibleColumnList() const
{
    std::vector<TLazyTreeColumn*> result;
    for (TColumnIndex index : FPositionToIndex)
        if (TLazyTreeColumn* column = ColumnAt(index); column && column->Options().Contains(coVisible))
            result.push_back(column);
    return result;
}

int TLazyTreeColumns::FixedColumnsWidth() const
{
    int width = 0;
    for (const auto& column : FItems)
        if (column->IsFixed())
            width += column->Width();
    return width;
}

int TLazyTreeColumns::TotalColumnWidth() const
{
    const TLazyTreeColumn* last = ColumnAt(LastShownColumn());
    return last ? last->AbsoluteLeft() + last->Width() : 0;
}

void TLazyTreeColumns::FitAutoSizeColumn(TColumnIndex currentIndex, bool force)
{
    if (FItems.empty())
        return;
    TColumnIndex target = FHeader.AutoSizeIndex();
    if (!ColumnIndexValid(target))
        target = Count() - 1;
    const TLazyTreeColumn* current = ColumnAt(currentIndex);
    if (current && current->Position() >= ColumnAt(target)->Position())
        target = NextShownColumn(currentIndex);
    if (target < 0)
        return;
    TBaseLazyTree* tree = Tree();
    int available = tree->WindowExists() ? tree->ClientWidth() : tree->Width();
    for (const auto& column : FItems)
        if (column.get() != ColumnAt(target) && column->Options().Contains(coVisible))
            available -= column->Width();
    TLazyTreeColumn* column = ColumnAt(target);
    const int width = std::clamp(available, column->MinWidth(), std::max(column->MinWidth(), column->MaxWidth()));
    if (!force && width == column->FWidth)
        return;
    column->FLastWidth = column->FWidth;
    column->FWidth = width;
    UpdateColumnPositions(true);
    tree->ColumnResized(target);
}

void TLazyTreeColumns::ApplySpringColumns(int newHeaderWidth)
{
    if (FSpringWidth < 0 || !FHeader.Options().Contains(hoAutoSpring)) {
        FSpringWidth = newHeaderWidth;
        return;
    }
    const int difference = newHeaderWidth - FSpringWidth;
    FSpringWidth = newHeaderWidth;
    std::vector<TLazyTreeColumn*> springs;
    for (const auto& column : FItems)
        if (column->Options().Contains(coVisible) && column->Options().Contains(coAutoSpring))
            springs.push_back(column.get());
    if (difference == 0 || springs.empty())
        return;
    const double share = static_cast<double>(difference) / static_cast<double>(springs.size());
    for (TLazyTreeColumn* column : springs) {
        column->FSpringRest += share;
        const int whole = static_cast<int>(column->FSpringRest);
        if (whole != 0) {
            column->FSpringRest -= whole;
            column->SetWidth(column->Width() + whole);
        }
    }
}

void TLazyTreeColumns::AnimatedColumnResize(TColumnIndex index, int newWidth)
{
    TLazyTreeColumn* column = ColumnAt(index);
    if (!column)
        return;
    // why: the resize is shown at once; a sliding animation would hold the event loop.
    column->SetWidth(newWidth);
}

bool TLazyTreeColumns::SameColumns(const TLazyTreeColumns& other) const
{
    if (other.Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i)
        if (!FItems[static_cast<size_t>(i)]->SameSettings(*other.FItems[static_cast<size_t>(i)]))
            return false;
    return FPositionToIndex == other.FPositionToIndex;
}

void TLazyTreeColumns::ReadColumnBlock(TStream& stream, int version)
{
    const std::int32_t count = ReadInt32(stream);
    RemoveAllColumns();
    if (count <= 0)
        return;
    // A count the remaining bytes cannot hold is damage, found before anything is made.
    RequireBytes(stream, std::int64_t{count} * (MinColumnRecordBytes + 4));
    BeginUpdate();
    try {
        for (std::int32_t i = 0; i < count; ++i)
            AddColumn()->ReadRecord(stream, version);
        std::vector<TColumnIndex> positions(static_cast<size_t>(count));
        for (auto& entry : positions)
            entry = ReadInt32(stream);
        std::vector<TColumnIndex> sorted = positions;
        std::sort(sorted.begin(), sorted.end());
        std::vector<TColumnIndex> identity(static_cast<size_t>(count));
        std::iota(identity.begin(), identity.end(), 0);
        FPositionToIndex = sorted == identity ? positions : identity;
        UpdateColumnPositions(true);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TLazyTreeColumns::WriteColumnBlock(TStream& stream) const
{
    WriteInt32(stream, Count());
    for (const auto& column : FItems)
        column->WriteRecord(stream);
    for (TColumnIndex index : FPositionToIndex)
        WriteInt32(stream, index);
}

void TLazyTreeColumns::Assign(const TPersistent& source)
{
    const auto* columns = dynamic_cast<const TLazyTreeColumns*>(&source);
    if (!columns) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    FClearing = true;
    FItems.clear();
    FClearing = false;
    for (const auto& column : columns->FItems) {
        FItems.push_back(Tree()->ColumnClassToUse(*this));
        TLazyTreeColumn& copy = *FItems.back();
        copy.FAlignment = column->FAlignment;
        copy.FBiDiMode = column->FBiDiMode;
        copy.FColor = column->FColor;
        copy.FHint = column->FHint;
        copy.FImageIndex = column->FImageIndex;
        copy.FLayout = column->FLayout;
        copy.FMargin = column->FMargin;
        copy.FMaxWidth = column->FMaxWidth;
        copy.FMinWidth = column->FMinWidth;
        copy.FOptions = column->FOptions;
        copy.FPosition = column->FPosition;
        copy.FSpacing = column->FSpacing;
        copy.FStyle = column->FStyle;
        copy.FTag = column->FTag;
        copy.FText = column->FText;
        copy.FWidth = column->FWidth;
        copy.FLastWidth = column->FLastWidth;
    }
    FPositionToIndex = columns->FPositionToIndex;
    UpdateColumnPositions(true);
    EndUpdate();
}
