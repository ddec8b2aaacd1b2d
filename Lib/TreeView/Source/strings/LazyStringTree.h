#pragma once
// TCustomLazyStringTree: the tree that shows text. Every cell's text comes from OnGetText; the
// class paints it (shortened with an ellipsis, word-wrapped for multi-line nodes, with an
// optional static text behind it), measures it once per node for the main column, answers the
// default incremental search on the focused column's text, keeps node captions in tree streams
// and edits cells in place through its default edit link. It stores no text itself: edited and
// streamed captions reach the application through OnNewText.

#include "TreeView/Source/core/LTOptions.h"
#include "TreeView/Source/core/LazyTree.h"

#include <QString>
#include <functional>

enum TLTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TLTStringOptions = TSet<TLTStringOption>;
constexpr TLTStringOptions DefaultStringOptions{toSaveCaptions, toAutoAcceptEditChange};

// The options of a string tree: the base option sets and the string options.
class TCustomStringTreeOptions : public TCustomLazyTreeOptions {
public:
    using TCustomLazyTreeOptions::TCustomLazyTreeOptions;
    TLTStringOptions StringOptions() const { return FStringOptions; }
    void SetStringOptions(TLTStringOptions value);

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    TLTStringOptions FStringOptions = DefaultStringOptions;
};
using TStringTreeOptions = TCustomStringTreeOptions;

enum class TVSTTextType { ttNormal, ttStatic };
// Which nodes a text walk visits.
enum class TLTTextSource { txsAll, txsInitialized, txsSelected, txsMarked, txsVisible };

class TCustomLazyStringTree;
using TVSTGetTextEvent = std::function<void(TCustomLazyStringTree* Sender, PLazyNode Node, TColumnIndex Column,
                                            TVSTTextType TextType, QString& CellText)>;
using TLTPaintText = std::function<void(TCustomLazyStringTree* Sender, TCanvas& TargetCanvas, PLazyNode Node,
                                        TColumnIndex Column, TVSTTextType TextType)>;
using TVSTGetHintEvent =
    std::function<void(TCustomLazyStringTree* Sender, PLazyNode Node, TColumnIndex Column,
                       TLTTooltipLineBreakStyle& LineBreakStyle, QString& HintText)>;
using TVSTNewTextEvent =
    std::function<void(TCustomLazyStringTree* Sender, PLazyNode Node, TColumnIndex Column, const QString& NewText)>;
using TVSTShortenStringEvent =
    std::function<void(TCustomLazyStringTree* Sender, TCanvas& TargetCanvas, PLazyNode Node, TColumnIndex Column,
                       const QString& S, int TextSpace, bool RightToLeft, QString& Result, bool& Done)>;

class TCustomLazyStringTree : public TBaseLazyTree {
public:
    explicit TCustomLazyStringTree(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TCustomLazyStringTree() override;

    const TLTTreeClass* TreeClass() const override { return &CustomLazyStringTreeClass; }

    // The text of a cell: DefaultText, then what OnGetText makes of it (initialises the node).
    QString GetCellText(PLazyNode node, TColumnIndex column);
    // Hands an edited or streamed text to the application (OnNewText) and repaints the node.
    void ApplyNewText(PLazyNode node, TColumnIndex column, const QString& text);

    const QString& DefaultText() const { return FDefaultText; }
    void SetDefaultText(const QString& value);
    // Whether the default text differs from "Node" and is written to form data.
    bool StoresDefaultText() const { return FDefaultText != QStringLiteral("Node"); }
    int FontLineHeight() const { return FFontLineHeight; }
    int EllipsisExtent() const { return FEllipsisExtent; }
    int TextWidthCacheOffset() const { return FTextWidthCacheOffset; }

    TCustomStringTreeOptions& StringTreeOptions() const;
    TLTStringOptions StringOptions() const { return StringTreeOptions().StringOptions(); }
    // The legacy "StringOptions" of old form data: soSaveCaptions, soShowStaticText.
    void ReadLegacyStringOptions(const std::vector<std::string>& names);

    // The first node of a text walk and the step to the next.
    using TTextWalkStep = std::function<PLazyNode(PLazyNode)>;
    PLazyNode TextSourceWalk(TLTTextSource kind, TTextWalkStep& next);
    // The main-column text width kept for a node (0: not measured; none for nil and the root).
    std::uint32_t* TextWidthCache(PLazyNode node) const;

    // The exports of the nodes a text source walks (lines end with CR LF).
    std::string ExportAsText(TLTTextSource source, char separator);
    QString ExportAsWideText(TLTTextSource source, QChar separator);
    std::string ExportAsRTF(TLTTextSource source);
    std::string ExportAsHTML(TLTTextSource source, const QString& caption);
    // A clipboard format's rendering with its terminating NUL; empty for other formats.
    QByteArray ExportToGlobalMemory(std::uint16_t format, TLTTextSource source);
    int RenderDataFormat(const TFormatEtc& format, QByteArray& medium, bool forClipboard) override;

    TVSTGetTextEvent OnGetText;
    TLTPaintText OnPaintText;
    TVSTGetHintEvent OnGetHint;
    TVSTNewTextEvent OnNewText;
    TVSTShortenStringEvent OnShortenString;

    // The overridable operations the string tree adds.
    virtual int MeasureCellText(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& text);
    virtual void FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text);
    virtual void FireNewText(PLazyNode node, TColumnIndex column, const QString& text);
    virtual void FirePaintText(PLazyNode node, TCanvas& canvas, TColumnIndex column, TVSTTextType textType);
    virtual QString FireShortenString(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& s,
                                      int textSpace, bool rightToLeft, int ellipsisWidth);
    virtual void RenderCellText(TTreeCellPaintRecord& record, const QString& text, TRect r, unsigned drawFormat);
    virtual int TextExtentOf(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& text);
    virtual int WrappedTextHeight(TCanvas& canvas, PLazyNode node, TColumnIndex column, const QString& text);

    void RepaintNode(PLazyNode node) override;
    void ReinitializeNode(PLazyNode node, bool recursive) override;
    void CellTextInfo(PLazyNode node, TColumnIndex column, TFont& font, TRect& r, QString& text) override;
    int NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas) override;
    QString NodeHintText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle) override;
    QString NodeTooltipText(PLazyNode node, TColumnIndex column, TLTTooltipLineBreakStyle& lineBreakStyle) override;
    void MainColumnSwitched() override;

protected:
    void WndProc(TMessage& message) override;
    std::unique_ptr<TCustomLazyTreeOptions> OptionsClassToUse() override;
    void DrawNodeContent(TTreeCellPaintRecord& record) override;
    void FitPaintCell(TTreeCellPaintRecord& record, TColumnIndex& nextNonEmpty) override;
    bool FireGetCellIsEmpty(PLazyNode node, TColumnIndex column) override;
    int FireIncrementalSearch(PLazyNode node, const QString& searchText) override;
    void FireCreateEditor(PLazyNode node, TColumnIndex column, PLTEditLink& editLink) override;
    bool ParseNodeChunk(TStream& stream, int version, PLazyNode node, std::int32_t chunkType,
                        std::int32_t chunkSize) override;
    void EmitNodeChunks(TStream& stream, PLazyNode node) override;

    // The cell's font before OnPaintText: the tree font, hot and selected looks.
    void PrepareCellFont(TTreeCellPaintRecord& record);
    void PaintCellText(TTreeCellPaintRecord& record, QString text);
    void PaintCellStaticText(TTreeCellPaintRecord& record, const QString& text);
    // Measures the font's line height and the ellipsis and forgets every measured width.
    void UpdateFontMetrics();
    void ResetAllTextWidths();
    int MaxLevelOf(TLTTextSource source);
    QString ExportText(TLTTextSource source, QChar separator, bool wide);

private:
    QString FDefaultText = QStringLiteral("Node");
    int FFontLineHeight = 0;
    int FEllipsisExtent = 0;
    int FTextWidthCacheOffset = 0;
};

// The string tree as the forms use it; the same class.
using TLazyStringTree = TCustomLazyStringTree;
