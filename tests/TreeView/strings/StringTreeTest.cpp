// The string tree: cell texts and the default text, shortening, static text, spanning into empty
// cells, the width cache of the main column, the default incremental search, caption chunks in
// tree streams, the legacy string options and the walks over text sources.

#include "TreeView/Source/strings/LazyStringTree.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "Platform/graphics/Canvas.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <map>

namespace {

// A string tree whose texts live in a map (node, column) -> text; unknown cells say "n<index>".
class TTextTree : public TCustomLazyStringTree {
public:
    TTextTree()
    {
        resize(300, 200);
        show();
        SetColor(clWhite);
        Font().SetColor(clBlack);
        TreeOptions().SetPaintOptions(TreeOptions().PaintOptions() - toShowTreeLines - toShowRoot);
        OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, TVSTTextType type,
                           QString& text) {
            ++GetTextCalls;
            if (type == TVSTTextType::ttStatic) {
                text = StaticText;
                return;
            }
            const auto it = Texts.find({node, column});
            if (it != Texts.end())
                text = it->second;
            else if (column <= 0)
                text = QString("n%1").arg(node->SiblingIndex);
            else
                text.clear();
        };
        OnNewText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, const QString& text) {
            NewTexts.push_back({node, column, text});
        };
    }
    PLazyNode Root(std::uint32_t index) const
    {
        PLazyNode n = HiddenRoot()->ChildHead;
        while (n && index-- > 0)
            n = n->NextLink;
        return n;
    }
    QImage Shot()
    {
        QImage image(ClientWidth(), ClientHeight(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        PaintTree(painter, ClientRect(), {0, 0}, ControlPaintFlags);
        return image;
    }
    // The leftmost and rightmost dark pixel of row `row` between x = from and x = to.
    std::pair<int, int> InkSpan(const QImage& image, int row, int from = 0, int to = -1) const
    {
        if (to < 0)
            to = image.width();
        int first = -1;
        int last = -1;
        const int top = row * static_cast<int>(DefaultNodeHeight());
        for (int x = from; x < to; ++x)
            for (int y = top; y < top + static_cast<int>(DefaultNodeHeight()); ++y)
                if (qGray(image.pixel(x, y)) < 128) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }
    TLazyTreeColumn* AddColumn(int width)
    {
        TLazyTreeColumn* c = Header().Columns().AddColumn();
        c->SetWidth(width);
        Header().SetMainColumn(0);
        return c;
    }

    int WrappedHeight(PLazyNode node) { return WrappedTextHeight(Canvas(), node, 0, {}); }
    using TCustomLazyStringTree::FireGetCellIsEmpty;
    using TCustomLazyStringTree::FireIncrementalSearch;
    using TBaseLazyTree::WriteTreeStream;

    struct TNewText {
        PLazyNode Node;
        TColumnIndex Column;
        QString Text;
    };
    std::map<std::pair<PLazyNode, TColumnIndex>, QString> Texts;
    QString StaticText;
    std::vector<TNewText> NewTexts;
    int GetTextCalls = 0;
};

} // namespace

TEST(StringTree, CellsShowTheDefaultTextUntilOnGetTextSaysOtherwise)
{
    TCustomLazyStringTree tree;
    tree.SetRootNodeCount(2);
    EXPECT_EQ(tree.GetCellText(tree.HiddenRoot()->ChildHead, NoColumn), "Node");
    EXPECT_FALSE(tree.StoresDefaultText()) << "the default is not written to form data";
    tree.SetDefaultText("Item");
    EXPECT_TRUE(tree.StoresDefaultText());
    EXPECT_EQ(tree.GetCellText(tree.HiddenRoot()->ChildHead, 0), "Item");
    try {
        tree.GetCellText(nullptr, 0);
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Node must not be nil.");
    }
    EXPECT_EQ(tree.TreeClass(), &CustomLazyStringTreeClass);
    EXPECT_EQ(tree.StringOptions(), (TLTStringOptions{toSaveCaptions, toAutoAcceptEditChange}));
}

TEST(StringTree, ANarrowCellShortensItsTextWithAnEllipsis)
{
    TTextTree tree;
    tree.AddColumn(90);
    tree.AddColumn(100);
    tree.SetRootNodeCount(2);
    tree.Texts[{tree.Root(0), 0}] = "A text much wider than its column ever is";
    tree.Texts[{tree.Root(1), 0}] = "Short";
    std::vector<std::pair<QString, int>> asked;
    tree.OnShortenString = [&](TCustomLazyStringTree*, TCanvas&, PLazyNode, TColumnIndex, const QString& s, int space,
                               bool, QString&, bool&) { asked.emplace_back(s, space); };
    const QImage shot = tree.Shot();
    ASSERT_EQ(asked.size(), 1u) << "only the text that does not fit";
    // The space is the cell minus the margin and twice the text margin.
    EXPECT_EQ(asked[0].second, 90 - tree.Margin() - 2 * tree.TextMargin());
    const auto [first, last] = tree.InkSpan(shot, 0, 0, 120);
    EXPECT_GE(first, tree.Margin() + tree.TextMargin());
    EXPECT_LT(last, 90 - tree.TextMargin()) << "never wider than the cell minus the text margin";
    // With a handler that answers, its text is drawn.
    tree.OnShortenString = [&](TCustomLazyStringTree*, TCanvas&, PLazyNode, TColumnIndex, const QString&, int, bool,
                               QString& result, bool& done) {
        result = "";
        done = true;
    };
    const QImage blank = tree.Shot();
    EXPECT_EQ(tree.InkSpan(blank, 0, 0, 90).first, -1);
    tree.OnShortenString = nullptr;
    tree.Header().Columns().ColumnAt(0)->SetWidth(12);
    const QImage tiny = tree.Shot();
    EXPECT_EQ(tree.InkSpan(tiny, 0, 0, 12).first, -1) << "not even the ellipsis fits: nothing";
}

TEST(StringTree, AnIndentedTextIsShortenedWithinItsCell)
{
    // The indentation moves the text's start, not the cell's end: a child's text that reaches past
    // the cell is shortened to end inside it.
    TTextTree tree;
    tree.TreeOptions().SetPaintOptions(tree.TreeOptions().PaintOptions() + toShowRoot);
    tree.AddColumn(150);
    tree.AddColumn(100);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates& s) {
        if (node->ParentLink->NextLink == node->ParentLink)
            s.Include(ivsHasChildren);
    };
    tree.OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 1; };
    tree.SetRootNodeCount(1);
    tree.FlipExpanded(tree.Root(0));
    PLazyNode child = tree.Root(0)->ChildHead;
    tree.Texts[{child, 0}] = "a child text that runs on and on";
    tree.RepaintNode(child);
    int asked = 0;
    tree.OnShortenString = [&](TCustomLazyStringTree*, TCanvas&, PLazyNode, TColumnIndex, const QString&, int space,
                               bool, QString&, bool&) {
        ++asked;
        EXPECT_EQ(space, 150 - 2 * 18 - tree.Margin() - 2 * tree.TextMargin());
    };
    const QImage shot = tree.Shot();
    EXPECT_EQ(asked, 1);
    const auto [first, last] = tree.InkSpan(shot, 1, 0, 250);
    EXPECT_GE(first, 2 * 18 + tree.Margin());
    EXPECT_LT(last, 150 - tree.TextMargin());
}

TEST(StringTree, ACentredTextThatHadToBeShortenedIsDrawnFromTheLeft)
{
    TTextTree tree;
    TLazyTreeColumn* column = tree.AddColumn(90);
    column->SetAlignment(taCenter);
    tree.SetRootNodeCount(2);
    tree.Texts[{tree.Root(0), 0}] = "A text much wider than its column ever is";
    tree.Texts[{tree.Root(1), 0}] = "ab";
    const QImage shot = tree.Shot();
    const int left = tree.Margin() + tree.TextMargin();
    EXPECT_LE(tree.InkSpan(shot, 0).first, left + 2) << "shortened: from the left";
    EXPECT_GT(tree.InkSpan(shot, 1).first, left + 20) << "a short text stays centred";
}

TEST(StringTree, StaticTextFollowsTheNormalTextOnlyWhenAsked)
{
    TTextTree tree;
    tree.SetRootNodeCount(1);
    tree.StaticText = "static";
    tree.OnPaintText = [](TCustomLazyStringTree*, TCanvas& canvas, PLazyNode, TColumnIndex, TVSTTextType type) {
        if (type == TVSTTextType::ttStatic)
            canvas.Font().SetColor(clRed);
    };
    auto redFrom = [](const QImage& image) {
        for (int x = 0; x < image.width(); ++x)
            for (int y = 0; y < 18; ++y) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 100)
                    return x;
            }
        return -1;
    };
    EXPECT_EQ(redFrom(tree.Shot()), -1) << "no static text without toShowStaticText";
    tree.StringTreeOptions().SetStringOptions(tree.StringOptions() + toShowStaticText);
    const int width = tree.NodeContentWidth(tree.Root(0), NoColumn, nullptr);
    const int at = redFrom(tree.Shot());
    EXPECT_GE(at, tree.Margin() + width + tree.TextMargin()) << "TextMargin after the normal text's width";
    EXPECT_LT(at, tree.Margin() + width + tree.TextMargin() + 4);
    tree.SetAlignment(taCenter);
    EXPECT_EQ(redFrom(tree.Shot()), -1) << "not with a centred tree";
    tree.SetAlignment(taLeftJustify);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& s) { s.Include(ivsMultiline); };
    tree.ReinitializeNode(tree.Root(0), false);
    EXPECT_EQ(redFrom(tree.Shot()), -1) << "not for multi-line nodes";
}

TEST(StringTree, TextSpillsIntoEmptyNeighbourCellsUnderAutoSpan)
{
    TTextTree tree;
    tree.AddColumn(60);
    tree.AddColumn(60);
    tree.AddColumn(60);
    tree.SetRootNodeCount(2);
    tree.Texts[{tree.Root(0), 0}] = "A long text running over three columns";
    tree.Texts[{tree.Root(1), 0}] = "A long text running over three columns";
    tree.Texts[{tree.Root(1), 2}] = "x";
    EXPECT_TRUE(tree.FireGetCellIsEmpty(tree.Root(0), 1));
    EXPECT_FALSE(tree.FireGetCellIsEmpty(tree.Root(0), 0));
    QImage shot = tree.Shot();
    EXPECT_EQ(tree.InkSpan(shot, 0, 62, 120).first, -1) << "no spill without toAutoSpanColumns";
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() + toAutoSpanColumns);
    shot = tree.Shot();
    EXPECT_GT(tree.InkSpan(shot, 0, 125, 180).first, 0) << "over both empty columns";
    EXPECT_GT(tree.InkSpan(shot, 1, 62, 118).first, 0) << "into the empty middle column";
    EXPECT_GE(tree.InkSpan(shot, 1, 118, 180).first, 120 + tree.Margin()) << "stopped by the next text";
    tree.Header().Columns().ColumnAt(1)->SetBiDiMode(TBiDiMode::bdRightToLeft);
    shot = tree.Shot();
    EXPECT_EQ(tree.InkSpan(shot, 0, 62, 180).first, -1) << "a right-to-left column stops the spill";
}

TEST(StringTree, TheMainColumnIsMeasuredOncePerNodeOtherColumnsEveryTime)
{
    TTextTree tree;
    tree.AddColumn(100);
    tree.AddColumn(100);
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.Root(0);
    tree.Texts[{node, 1}] = "other";
    const int width = tree.NodeContentWidth(node, 0, nullptr);
    EXPECT_EQ(static_cast<int>(*tree.TextWidthCache(node)), width);
    EXPECT_EQ(width, 2 * tree.TextMargin() + QFontMetrics(tree.Font().ToQFont()).horizontalAdvance("n0"));
    tree.GetTextCalls = 0;
    tree.NodeContentWidth(node, 0, nullptr);
    EXPECT_EQ(tree.GetTextCalls, 0) << "cached";
    tree.NodeContentWidth(node, 1, nullptr);
    tree.NodeContentWidth(node, 1, nullptr);
    EXPECT_EQ(tree.GetTextCalls, 2) << "other columns each time";
    struct TReset {
        const char* What;
        std::function<void()> Do;
    };
    const TReset resets[] = {
        {"RepaintNode", [&] { tree.RepaintNode(node); }},
        {"ReinitializeNode", [&] { tree.ReinitializeNode(node, false); }},
        {"main column switch", [&] { tree.Header().SetMainColumn(1); tree.Header().SetMainColumn(0); }},
        {"font change", [&] { TFont font; font.Assign(tree.Font()); font.SetHeight(-20); tree.SetFont(font); }},
    };
    for (const TReset& reset : resets) {
        tree.NodeContentWidth(node, 0, nullptr);
        reset.Do();
        EXPECT_EQ(*tree.TextWidthCache(node), 0u) << reset.What;
    }
    EXPECT_EQ(tree.TextWidthCache(tree.HiddenRoot()), nullptr);
    EXPECT_EQ(tree.TextWidthCache(nullptr), nullptr);
}

TEST(StringTree, DefaultIncrementalSearchComparesTheStartOfTheFocusedText)
{
    TTextTree tree;
    tree.SetRootNodeCount(1);
    PLazyNode node = tree.Root(0);
    struct TCase {
        const char* Text;
        const char* Search;
        int Expected;
    };
    const TCase cases[] = {{"abc", "ab", 0}, {"Abc", "ab", 1}, {"cab", "ab", 1}, {"ab", "abc", 1}, {"abc", "", 0}};
    for (const TCase& c : cases) {
        tree.Texts[{node, NoColumn}] = c.Text;
        EXPECT_EQ(tree.FireIncrementalSearch(node, c.Search), c.Expected) << c.Text << " / " << c.Search;
    }
    tree.OnIncrementalSearch = [](TBaseLazyTree*, PLazyNode, const QString&, int& result) { result = 7; };
    EXPECT_EQ(tree.FireIncrementalSearch(node, "ab"), 7) << "the handler speaks first";
}

TEST(StringTree, CaptionsTravelInTreeStreamsAndComeBackThroughOnNewText)
{
    TTextTree source;
    source.SetRootNodeCount(3);
    source.Texts[{source.Root(1), NoColumn}] = "";
    for (int i = 0; i < 3; ++i)
        source.GetCellText(source.Root(static_cast<std::uint32_t>(i)), NoColumn);
    TMemoryStream stream;
    source.WriteTreeStream(stream);
    TTextTree target;
    stream.SetPosition(0);
    target.ReadTreeStream(stream);
    ASSERT_EQ(target.NewTexts.size(), 2u) << "one per captioned node; the empty text has no chunk";
    EXPECT_EQ(target.NewTexts[0].Text, "n0");
    EXPECT_EQ(target.NewTexts[0].Node, target.Root(0));
    EXPECT_EQ(target.NewTexts[0].Column, NoColumn) << "the main column";
    EXPECT_EQ(target.NewTexts[1].Text, "n2");

    source.StringTreeOptions().SetStringOptions({});
    TMemoryStream bare;
    source.WriteTreeStream(bare);
    EXPECT_LT(bare.Size(), stream.Size());
    TTextTree other;
    bare.SetPosition(0);
    other.ReadTreeStream(bare);
    EXPECT_TRUE(other.NewTexts.empty()) << "no caption chunks without toSaveCaptions";
}

TEST(StringTree, LegacyStringOptionsOfOldFormData)
{
    TCustomLazyStringTree tree;
    tree.ReadLegacyStringOptions({"soShowStaticText"});
    EXPECT_EQ(tree.StringOptions(), TLTStringOptions{toShowStaticText});
    tree.ReadLegacyStringOptions({"soSaveCaptions", "soUnknown"});
    EXPECT_EQ(tree.StringOptions(), TLTStringOptions{toSaveCaptions});
    // Assigning options copies the string options with the base sets.
    TCustomLazyStringTree other;
    other.TreeOptions().Assign(tree.TreeOptions());
    EXPECT_EQ(other.StringOptions(), TLTStringOptions{toSaveCaptions});
}

TEST(StringTree, TextSourcesWalkTheirNodes)
{
    TTextTree tree;
    tree.SetRootNodeCount(4);
    tree.GetCellText(tree.Root(1), 0);
    tree.GetCellText(tree.Root(3), 0);
    tree.SetNodeSelected(tree.Root(2), true);
    tree.SetNodeShown(tree.Root(0), false);
    auto walk = [&](TLTTextSource kind) {
        std::vector<PLazyNode> nodes;
        TCustomLazyStringTree::TTextWalkStep next;
        for (PLazyNode node = tree.TextSourceWalk(kind, next); node; node = next(node))
            nodes.push_back(node);
        return nodes;
    };
    EXPECT_EQ(walk(TLTTextSource::txsInitialized), (std::vector<PLazyNode>{tree.Root(0), tree.Root(1), tree.Root(2), tree.Root(3)}));
    EXPECT_EQ(walk(TLTTextSource::txsSelected), (std::vector<PLazyNode>{tree.Root(2)}));
    EXPECT_EQ(walk(TLTTextSource::txsVisible), (std::vector<PLazyNode>{tree.Root(1), tree.Root(2), tree.Root(3)}));
    EXPECT_TRUE(walk(TLTTextSource::txsMarked).empty()) << "nothing without a pending cut or copy";
    EXPECT_EQ(walk(TLTTextSource::txsAll).size(), 4u);
}

TEST(StringTree, MultiLineNodesWrapTheirText)
{
    TTextTree tree;
    tree.AddColumn(80);
    tree.OnInitNode = [](TBaseLazyTree*, PLazyNode, PLazyNode, TShellNodeInitStates& s) { s.Include(ivsMultiline); };
    tree.SetRootNodeCount(1);
    tree.SetRowHeight(tree.Root(0), 54);
    tree.Texts[{tree.Root(0), 0}] = "one two three four five six";
    const QImage shot = tree.Shot();
    int inkedLines = 0;
    bool inLine = false;
    for (int y = 0; y < 54; ++y) {
        bool ink = false;
        for (int x = 0; x < 80; ++x)
            ink = ink || qGray(shot.pixel(x, y)) < 128;
        if (ink && !inLine)
            ++inkedLines;
        inLine = ink;
    }
    EXPECT_GE(inkedLines, 2) << "the text goes on below";
    EXPECT_EQ(tree.NodeContentWidth(tree.Root(0), 0, nullptr), 80) << "a multi-line cell is as wide as its column";
    EXPECT_GT(tree.WrappedHeight(tree.Root(0)), tree.FontLineHeight()) << "measured over more than one line";
}

TEST(StringTree, ApplicationDataStaysAlignedBehindTheWidthCache)
{
    // The width cache takes 4 bytes of every node; 8-byte data behind it must still be aligned.
    TCustomLazyStringTree tree;
    tree.SetNodeDataSize(sizeof(std::uint64_t));
    tree.SetRootNodeCount(3);
    for (PLazyNode node = tree.HiddenRoot()->ChildHead; node; node = node->NextLink) {
        auto* data = tree.NodeData<std::uint64_t>(node);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % alignof(std::uint64_t), 0u);
        EXPECT_GE(reinterpret_cast<std::byte*>(data), reinterpret_cast<std::byte*>(tree.TextWidthCache(node)) + 4);
        *data = 0x0102030405060708u;
        *tree.TextWidthCache(node) = 77;
        EXPECT_EQ(*data, 0x0102030405060708u) << "the areas do not overlap";
    }
}
