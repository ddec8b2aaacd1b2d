#pragma once
// Tree columns: TLazyTreeColumn, one column under the header, and TLazyTreeColumns, the
// collection the header owns, with the display order (positions), widths and their limits, the
// automatically sized and spring columns, fixed columns, the geometry used by painting and hit
// testing, and the binary column block of the header stream.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Component.h"
#include "Platform/graphics/Colors.h"

#include <QString>
#include <memory>
#include <vector>

class QFontMetrics;
class QPainter;
class TStream;
class TLTHeader;
class TLazyTreeColumns;

enum TLTColumnOption {
    coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable, coShowDropMark, coVisible,
    coAutoSpring, coFixed,
};
using TLTColumnOptions = TSet<TLTColumnOption>;
constexpr TLTColumnOptions DefaultColumnOptions = TLTColumnOptions::FromBits(0xFF);

enum class TLTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum class TLazyTreeColumnStyle { vsText, vsOwnerDraw };

class TLazyTreeColumn : public TPersistent {
public:
    explicit TLazyTreeColumn(TLazyTreeColumns& owner);
    ~TLazyTreeColumn() override;

    TLazyTreeColumns& OwningColumns() const { return FOwner; }
    int Index() const;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TBiDiMode BiDiMode() const { return FBiDiMode; }
    void SetBiDiMode(TBiDiMode value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    const QString& Hint() const { return FHint; }
    void SetHint(const QString& value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    TLTHeaderColumnLayout Layout() const { return FLayout; }
    void SetLayout(TLTHeaderColumnLayout value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int value);
    TLTColumnOptions Options() const { return FOptions; }
    void SetOptions(TLTColumnOptions value);
    TColumnPosition Position() const { return FPosition; }
    void SetPosition(TColumnPosition value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    TLazyTreeColumnStyle Style() const { return FStyle; }
    void SetStyle(TLazyTreeColumnStyle value);
    int Tag() const { return FTag; }
    void SetTag(int value) { FTag = value; }
    const QString& Text() const { return FText; }
    void SetText(const QString& value);
    int Width() const { return FWidth; }
    void SetWidth(int value);

    // Fixed: visible and coFixed; such a column never scrolls horizontally.
    bool IsFixed() const { return FOptions.Contains(coVisible) && FOptions.Contains(coFixed); }
    // Left and right edge without scroll offset.
    void AbsoluteEdges(int& left, int& right) const;
    int AbsoluteLeft() const { return FLeft; }
    // Left edge on screen: the scroll offset applies to columns that are not fixed.
    int ColumnLeft() const;
    int LastWidth() const { return FLastWidth; }
    virtual bool SameSettings(const TLazyTreeColumn& other) const;
    // The header rectangle narrowed to this column.
    virtual TRect HeaderCellRect() const;
    // Where the caption, the sort glyph and the header glyph go in the header cell `client`.
    virtual void LayoutHeaderCell(const QFontMetrics& metrics, const TRect& client, TRect& textBounds,
                                  TPoint& sortGlyphPos, TPoint& glyphPos, bool showSortGlyph,
                                  bool showHeaderGlyph) const;
    void RevertColumnWidth();

    void Assign(const TPersistent& source) override;
    // The design-time name: the text, or "Column %d" for texts outside 8 bits.
    QString DisplayName() const;

    // The binary record of the column block (version of the stream being read).
    void ReadRecord(TStream& stream, int version);
    void WriteRecord(TStream& stream) const;

private:
    friend class TLazyTreeColumns;
    friend class TLTHeader;
    void Changed();
    TBaseLazyTree* Tree() const;
    bool TreeLoading() const;

    TLazyTreeColumns& FOwner;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
    TColor FColor = clWindow;
    QString FHint;
    int FImageIndex = -1;
    TLTHeaderColumnLayout FLayout = TLTHeaderColumnLayout::blGlyphLeft;
    int FMargin = 4;
    int FMaxWidth = 10000;
    int FMinWidth = 10;
    TLTColumnOptions FOptions = DefaultColumnOptions;
    TColumnPosition FPosition = 0;
    int FSpacing = 4;
    TLazyTreeColumnStyle FStyle = TLazyTreeColumnStyle::vsText;
    int FTag = 0;
    QString FText;
    int FWidth = 50;
    int FLeft = 0;
    int FLastWidth = 50;
    double FSpringRest = 0;
};

class TLazyTreeColumns : public TPersistent {
public:
    explicit TLazyTreeColumns(TLTHeader& header);
    ~TLazyTreeColumns() override;

    TLTHeader& Header() const { return FHeader; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TLazyTreeColumn* ColumnAt(TColumnIndex index) const;
    TLazyTreeColumn* operator[](TColumnIndex index) const { return ColumnAt(index); }

    virtual TLazyTreeColumn* AddColumn();
    virtual void RemoveAllColumns();
    void Delete(TColumnIndex index);

    // Collection updates batch the position recomputation and the repaints.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

    // Geometry: -2 when nothing is hit. Relative points are in the tree's client coordinates
    // (scroll offset applied to columns that are not fixed).
    virtual TColumnIndex ColumnAtPoint(TPoint p, bool relative) const;
    virtual TColumnIndex ColumnIndexAtPosition(TColumnPosition position) const;
    TColumnIndex ColumnAndBoundsAt(int x, int& left, int& right, bool relative) const;
    void ColumnEdges(TColumnIndex index, int& left, int& right) const;
    TColumnIndex FirstShownColumn() const;
    TColumnIndex LastShownColumn() const;
    TColumnIndex ColumnAfter(TColumnIndex index) const;
    TColumnIndex NextShownColumn(TColumnIndex index) const;
    TColumnIndex ColumnBefore(TColumnIndex index) const;
    TColumnIndex PreviousShownColumn(TColumnIndex index) const;
    std::vector<TLazyTreeColumn*> VisibleColumnList() const;
    int FixedColumnsWidth() const;
    int TotalColumnWidth() const;
    bool ColumnIndexValid(TColumnIndex index) const { return index >= 0 && index < Count(); }

    // Sizes the automatically sized column to the free width.
    void FitAutoSizeColumn(TColumnIndex currentIndex = NoColumn, bool force = false);
    // Shares a change of the header width among the spring columns.
    void ApplySpringColumns(int newHeaderWidth);
    void AnimatedColumnResize(TColumnIndex index, int newWidth);
    void FixColumnPositions();
    void UpdateColumnPositions(bool force = false);
    bool SameColumns(const TLazyTreeColumns& other) const;
    const std::vector<TColumnIndex>& PositionToIndex() const { return FPositionToIndex; }

    // The column block of the header stream.
    void ReadColumnBlock(TStream& stream, int version);
    void WriteColumnBlock(TStream& stream) const;

    // Paints the part `r` of the header into `painter` (header coordinates: x as the tree's
    // client area, y from the header's upper edge).
    virtual void PaintHeaderTo(QPainter& painter, const TRect& r);
    // Paints one column's cell with its left edge at x = 0, as the column drag image shows it.
    void PaintColumnImage(QPainter& painter, TColumnIndex column);

    void Assign(const TPersistent& source) override;

    // Indices of the header's mouse handling (-1 when none).
    TColumnIndex HoverIndex = NoColumn;
    TColumnIndex PressedIndex = NoColumn;
    TColumnIndex ClickIndex = NoColumn;
    TColumnIndex DropTarget = NoColumn;
    TColumnIndex TrackIndex = NoColumn;
    TColumnIndex DragIndex = NoColumn;
    bool DropBefore = false;

private:
    friend class TLazyTreeColumn;
    // The collection's notice that a column changed (null: several or the collection itself).
    void ItemChanged(TLazyTreeColumn* column);
    // Keeps the positions and the indices that name columns right after column `index` went.
    void ColumnRemoved(TColumnIndex index);
    TBaseLazyTree* Tree() const;

    TLTHeader& FHeader;
    std::vector<std::unique_ptr<TLazyTreeColumn>> FItems;
    std::vector<TColumnIndex> FPositionToIndex;
    int FUpdateCount = 0;
    bool FClearing = false;
    bool FNeedPositionsFix = false;
    int FSpringWidth = -1; // the header width at the last spring adjustment
};
