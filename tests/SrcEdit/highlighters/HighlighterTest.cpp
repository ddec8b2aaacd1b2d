// The highlighter interface driven by a small test highlighter: the token protocol, ranges
// carried from line to line and the editor's rescan contract, the sorted attribute list,
// change notification, Assign, the registry operations and the class registry.

#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include <gtest/gtest.h>

namespace {

struct Token {
    std::string Text;
    int Kind;
    int Start;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Token& t)
{
    return os << "{\"" << t.Text << "\", " << t.Kind << ", " << t.Start << "}";
}

// Reads the tokens of one line the way the editor does and checks that they cover the line.
std::vector<Token> ScanLine(TSrcCustomHighlighter& h, const std::string& line, int lineNumber)
{
    std::vector<Token> tokens;
    h.StartLine(line, lineNumber);
    std::string joined;
    while (!h.AtLineEnd()) {
        EXPECT_EQ(h.TokenStart(), static_cast<int>(joined.size())) << "tokens are contiguous";
        tokens.push_back({h.TokenText(), h.TokenKindCode(), h.TokenStart()});
        joined += h.TokenText();
        h.AdvanceToken();
    }
    EXPECT_EQ(joined, line) << "tokens cover the line";
    return tokens;
}

// Scans a whole text from its start; returns each line's end range.
std::vector<TSrcRange> ScanText(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                                std::vector<std::vector<Token>>* tokens = nullptr)
{
    std::vector<TSrcRange> ranges;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i == 0)
            h.ClearRange();
        else
            h.RestoreRange(ranges.back());
        const auto lineTokens = ScanLine(h, lines[i], static_cast<int>(i));
        if (tokens)
            tokens->push_back(lineTokens);
        ranges.push_back(h.CurrentRange());
    }
    return ranges;
}

// The editor's rescan after lines changed from `first` on: goes on until a computed range
// equals the stored one. Returns the number of lines scanned.
int Rescan(TSrcCustomHighlighter& h, const std::vector<std::string>& lines, std::vector<TSrcRange>& ranges,
           size_t first)
{
    if (first == 0)
        h.ClearRange();
    else
        h.RestoreRange(ranges[first - 1]);
    int scanned = 0;
    for (size_t i = first; i < lines.size(); ++i) {
        h.StartLine(lines[i], static_cast<int>(i));
        h.SkipToLineEnd();
        ++scanned;
        const TSrcRange range = h.CurrentRange();
        if (range == ranges[i])
            break;
        ranges[i] = range;
    }
    return scanned;
}

const std::vector<std::string> Sample = {
    "if x = 12 /* start",
    "still comment",
    "end */ y \"open",
    "str\" while",
    "",
};

using K = TTestSyn;

} // namespace

TEST(HighlighterProtocol, TokensAndRangesLineByLine)
{
    TTestSyn h;
    std::vector<std::vector<Token>> tokens;
    const auto ranges = ScanText(h, Sample, &tokens);
    const std::vector<std::vector<Token>> expected = {
        {{"if", K::tkKey, 0}, {" ", K::tkSpace, 2}, {"x", K::tkIdentifier, 3}, {" ", K::tkSpace, 4},
         {"=", K::tkSymbol, 5}, {" ", K::tkSpace, 6}, {"12", K::tkNumber, 7}, {" ", K::tkSpace, 9},
         {"/* start", K::tkComment, 10}},
        {{"still comment", K::tkComment, 0}},
        {{"end */", K::tkComment, 0}, {" ", K::tkSpace, 6}, {"y", K::tkIdentifier, 7}, {" ", K::tkSpace, 8},
         {"\"open", K::tkString, 9}},
        {{"str\"", K::tkString, 0}, {" ", K::tkSpace, 4}, {"while", K::tkKey, 5}},
        {},
    };
    EXPECT_EQ(tokens, expected);
    EXPECT_EQ(ranges, (std::vector<TSrcRange>{K::rsComment, K::rsComment, K::rsString, K::rsNormal, K::rsNormal}));
}

TEST(HighlighterProtocol, EmptyLineEndsAtOnceAndKeepsTheEnteringRange)
{
    TTestSyn h;
    for (TSrcRange entering : {K::rsNormal, K::rsComment, K::rsString}) {
        SCOPED_TRACE(entering);
        h.RestoreRange(entering);
        h.StartLine("", 7);
        EXPECT_TRUE(h.AtLineEnd());
        EXPECT_EQ(h.CurrentRange(), entering);
        EXPECT_EQ(h.LineNumber(), 7);
    }
}

TEST(HighlighterProtocol, ScanningFromAStoredRangeMatchesTheFullScan)
{
    TTestSyn h;
    std::vector<std::vector<Token>> full;
    const auto ranges = ScanText(h, Sample, &full);
    // Scan the lines out of order, each from the range stored for the line before it.
    for (size_t i : {3u, 1u, 4u, 2u, 0u}) {
        SCOPED_TRACE(i);
        if (i == 0)
            h.ClearRange();
        else
            h.RestoreRange(ranges[i - 1]);
        EXPECT_EQ(ScanLine(h, Sample[i], static_cast<int>(i)), full[i]);
        EXPECT_EQ(h.CurrentRange(), ranges[i]);
    }
}

TEST(HighlighterProtocol, RescanStopsWhereTheRangeRunsOutAsBefore)
{
    struct Case {
        const char* Name;
        size_t Line;
        std::string NewText;
        int Scanned;
    };
    const std::vector<Case> cases = {
        {"comment closed early; the next line reopens nothing new", 1, "still */ done", 2},
        {"comment no longer opened", 0, "if x = 12", 3},
        {"change inside a line keeps its range", 3, "str\" else", 1},
        {"string opened on the last line", 4, "\"", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TTestSyn h;
        std::vector<std::string> lines = Sample;
        std::vector<TSrcRange> ranges = ScanText(h, lines);
        lines[c.Line] = c.NewText;
        EXPECT_EQ(Rescan(h, lines, ranges, c.Line), c.Scanned);
        TTestSyn fresh;
        EXPECT_EQ(ranges, ScanText(fresh, lines)) << "the stored ranges equal a full scan";
    }
}

TEST(HighlighterAttributes, SortedByNameWithBoundsChecked)
{
    TTestSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Comment", "Identifier", "Number", "Reserved Word", "Space", "String",
                                               "Symbol"}));
    EXPECT_EQ(h.AttriByIndex(-1), nullptr);
    EXPECT_EQ(h.AttriByIndex(h.AttriCount()), nullptr);
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri);
    EXPECT_EQ(h.RoleAttri(6), nullptr);

    try {
        h.AddAttri(std::make_unique<TSrcHighlighterAttributes>("comment"));
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(h.AttriCount(), 7);
}

TEST(HighlighterAttributes, ChangesAreReportedOnceAndOnlyWhenReal)
{
    TTestSyn h;
    ChangeListener first, second;
    h.AddAttriChangeHook(first.Method());
    h.AddAttriChangeHook(second.Method());

    h.CommentAttri->SetForeground(clGreen);
    h.CommentAttri->SetBackground(clNone);
    h.CommentAttri->SetStyle({fsItalic});
    EXPECT_TRUE(first.Senders.empty()) << "current values are no change";

    h.CommentAttri->SetBackground(clYellow);
    EXPECT_EQ(first.Senders, (std::vector<TObject*>{h.CommentAttri}));
    EXPECT_EQ(second.Senders, first.Senders);

    TSrcHighlighterAttributes other("Other");
    other.SetForeground(clGreen);
    other.SetBackground(clYellow);
    other.SetStyle({fsItalic});
    h.CommentAttri->AssignColorsAndStyle(other);
    EXPECT_EQ(first.Senders.size(), 1u) << "equal values assign silently";
    other.SetStyle({fsBold, fsUnderline});
    other.SetForeground(clRed);
    h.CommentAttri->AssignColorsAndStyle(other);
    EXPECT_EQ(first.Senders.size(), 2u) << "one report for several values";

    h.SetEnabled(false);
    h.SetEnabled(false);
    EXPECT_EQ(first.Senders.size(), 3u);
    EXPECT_EQ(first.Senders.back(), nullptr) << "Enabled reports with no sender";

    h.RemoveAttriChangeHook(first.Method());
    h.SetEnabled(true);
    EXPECT_EQ(first.Senders.size(), 3u);
    EXPECT_EQ(second.Senders.size(), 4u);
}

TEST(HighlighterAttributes, NothingIsReportedWhileLoadingAndOnceAfterwards)
{
    TTestSyn h;
    ChangeListener listener;
    h.AddAttriChangeHook(listener.Method());
    h.BeginLoading();
    h.StringAttri->SetForeground(clPurple);
    h.SetEnabled(false);
    EXPECT_TRUE(listener.Senders.empty());
    h.Loaded();
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{nullptr}));
}

TEST(HighlighterAttributes, StoredOnlyWhenDifferentFromTheBuiltInValue)
{
    TTestSyn h;
    TSrcHighlighterAttributes* comment = h.CommentAttri;
    EXPECT_FALSE(comment->IsForegroundStored());
    EXPECT_FALSE(comment->IsBackgroundStored());
    EXPECT_FALSE(comment->IsStyleStored());
    comment->SetForeground(clRed);
    comment->SetStyle({});
    EXPECT_TRUE(comment->IsForegroundStored());
    EXPECT_TRUE(comment->IsStyleStored());
    comment->SetForeground(clGreen);
    EXPECT_FALSE(comment->IsForegroundStored());

    const TSrcHighlighterAttributes fresh("Fresh");
    EXPECT_EQ(fresh.Background(), clNone);
    EXPECT_EQ(fresh.Foreground(), clNone);
    EXPECT_TRUE(fresh.Style().Empty());
}

TEST(HighlighterAttributes, AssignTakesNameColoursAndStyle)
{
    TSrcHighlighterAttributes target("Target");
    int changes = 0;
    target.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &target);
        ++changes;
    };
    TSrcHighlighterAttributes source("Source");
    source.SetBackground(clAqua);
    source.SetStyle({fsStrikeOut});
    target.Assign(source);
    EXPECT_EQ(target.Name(), "Source");
    EXPECT_EQ(target.Background(), clAqua);
    EXPECT_EQ(target.Style(), TFontStyles{fsStrikeOut});
    EXPECT_EQ(changes, 1);
    TTestSyn h;
    EXPECT_THROW(target.Assign(h), EConvertError);
}

TEST(Highlighter, DefaultsOfTheBase)
{
    TTestSyn h;
    EXPECT_TRUE(h.Enabled());
    EXPECT_EQ(h.WordBreakChars(), CharSetOf("!\"'()*+,-./:;=?[\\]^{}|"));
    EXPECT_EQ(h.WordBreakChars().count(), 22u);
    EXPECT_FALSE(h.IsReservedWord("if"));
    EXPECT_FALSE(h.ApplyUserSettings(0));
    TStringList settings;
    settings.Add("stale");
    h.ListUserSettings(settings);
    EXPECT_EQ(settings.Count(), 0);
    EXPECT_EQ(h.DefaultFilter(), TTestSyn::BuiltInFilter);
    EXPECT_FALSE(h.IsFilterStored());
    h.SetDefaultFilter("*.tst;*.test");
    EXPECT_TRUE(h.IsFilterStored());

    // What a highlighter that keeps the base operations answers.
    class Bare : public TSrcCustomHighlighter {
    public:
        using TSrcCustomHighlighter::TSrcCustomHighlighter;
        TSrcHighlighterAttributes* RoleAttri(int) const override { return nullptr; }
        bool AtLineEnd() const override { return true; }
        std::string TokenText() const override { return {}; }
        TSrcHighlighterAttributes* TokenAttri() const override { return nullptr; }
        int TokenKindCode() const override { return 0; }
        int TokenStart() const override { return 0; }
        void AdvanceToken() override {}
        void StartLine(std::string_view, int) override {}
    } bare(nullptr);
    EXPECT_EQ(bare.IdentifierChars(), CharRange(33, 255));
    EXPECT_EQ(bare.GetLanguageTitle(), "<Unknown>");
    EXPECT_EQ(bare.HighlighterClass().FeatureFlags(), 2u);
    EXPECT_EQ(bare.DefaultFilter(), "");
    EXPECT_TRUE(bare.IsFilterStored());
    bare.SetSampleText("ignored");
    EXPECT_EQ(bare.SampleText(), "");
    bare.RestoreRange(42);
    EXPECT_EQ(bare.CurrentRange(), 0u);
    EXPECT_EQ(bare.AttriCount(), 0);
}

TEST(Highlighter, AssignCopiesAttributesByNameAndTheClassDependentSampleText)
{
    TTestSubSyn source;
    source.CommentAttri->SetForeground(clRed);
    source.SetSampleText("x = 1");
    source.SetWordDelimiters(CharSetOf(".,"));
    source.SetDefaultFilter("*.sub");
    source.SetEnabled(false);

    TTestSyn target;
    ChangeListener listener;
    target.AddAttriChangeHook(listener.Method());
    target.Assign(source);
    EXPECT_EQ(target.CommentAttri->Foreground(), clRed);
    EXPECT_EQ(target.SampleText(), "x = 1") << "the source derives from the target's class";
    EXPECT_EQ(target.WordBreakChars(), CharSetOf(".,"));
    EXPECT_EQ(target.DefaultFilter(), "*.sub");
    EXPECT_FALSE(target.Enabled());
    EXPECT_FALSE(listener.Senders.empty());

    TTestSubSyn derivedTarget;
    TTestSyn base;
    base.SetSampleText("from the base");
    derivedTarget.SetSampleText("kept");
    derivedTarget.Assign(base);
    EXPECT_EQ(derivedTarget.SampleText(), "kept") << "a base-class source is not of the target's class";

    // Attributes without a partner of the same exact name keep their values.
    class OneAttribute : public TTestSyn {
    public:
        OneAttribute()
        {
            SymbolAttri->SetForeground(clFuchsia);
            AddAttri(std::make_unique<TSrcHighlighterAttributes>("Extra"))->SetForeground(clLime);
        }
    } extra;
    TTestSyn plain;
    plain.Assign(extra);
    EXPECT_EQ(plain.SymbolAttri->Foreground(), clFuchsia);
    EXPECT_EQ(plain.AttriCount(), 7);

    TSrcHighlighterAttributes notAHighlighter("x");
    EXPECT_THROW(plain.Assign(notAHighlighter), EConvertError);
}

TEST(HighlighterRegistry, WriteThenReadRestoresEveryAttribute)
{
    TSrcMemoryRegistry registry;
    TTestSyn written;
    written.KeyAttri->SetBackground(clSilver);
    written.KeyAttri->SetStyle({fsBold, fsUnderline, fsStrikeOut});
    ASSERT_TRUE(written.WriteToRegistry(registry, "Software\\Zentu\\Test"));
    ASSERT_TRUE(registry.OpenKeyReadOnly("software\\zentu\\test\\Reserved Word"));
    EXPECT_EQ(registry.ReadInteger("Style"), 1 | 4 | 8);
    EXPECT_EQ(registry.ReadInteger("Background"), clSilver);
    EXPECT_EQ(registry.ReadInteger("Foreground"), clNone);

    TTestSyn read;
    ChangeListener listener;
    read.AddAttriChangeHook(listener.Method());
    EXPECT_TRUE(read.ReadFromRegistry(registry, "Software\\Zentu\\Test"));
    EXPECT_EQ(read.KeyAttri->Background(), clSilver);
    EXPECT_EQ(read.KeyAttri->Style(), (TFontStyles{fsBold, fsUnderline, fsStrikeOut}));
    EXPECT_EQ(listener.Senders.size(), 2u) << "only the changed values report";

    EXPECT_FALSE(read.ReadFromRegistry(registry, "Software\\Nowhere"));
}

TEST(HighlighterRegistry, MissingAttributeKeysFailButTheOthersAreRead)
{
    TSrcMemoryRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Hl\\Number", true));
    registry.WriteInteger("Background", clNone);
    registry.WriteInteger("Foreground", clTeal);
    registry.WriteInteger("Style", 2);
    ASSERT_TRUE(registry.OpenKey("Hl\\String", true));
    registry.WriteInteger("Foreground", clRed); // incomplete: nothing is set

    TTestSyn h;
    EXPECT_FALSE(h.ReadFromRegistry(registry, "Hl"));
    EXPECT_EQ(h.NumberAttri->Foreground(), clTeal);
    EXPECT_EQ(h.NumberAttri->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.StringAttri->Foreground(), clMaroon);
}

TEST(HighlighterRegistry, ValuesOfAnotherTypeAreNoSettingsAndRaiseNothing)
{
    TSrcMemoryRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Hl\\Number", true));
    registry.WriteInteger("Background", clYellow);
    registry.WriteInteger("Foreground", clTeal);
    registry.WriteString("Style", "bold");

    TTestSyn h;
    bool result = false;
    EXPECT_NO_THROW(result = h.NumberAttri->ReadFromRegistry(registry, "Hl"));
    EXPECT_TRUE(result) << "the key is there; its values are as good as missing";
    EXPECT_EQ(h.NumberAttri->Background(), clNone);
    EXPECT_EQ(h.NumberAttri->Foreground(), clBlue);
    EXPECT_NO_THROW(result = h.ReadFromRegistry(registry, "Hl"));
    EXPECT_FALSE(result) << "the other attributes' keys are missing";
}

TEST(HighlighterRegistry, ImportFromOneCommaSeparatedValue)
{
    struct Case {
        const char* Name;
        const char* Value;
        bool Result;
        TColor Background;
        TColor Foreground;
        TFontStyles Style;
    };
    const std::vector<Case> cases = {
        {"palette colours", "x,y,BI,0,0,4,14", true, clAqua, clNavy, {fsBold, fsItalic}},
        {"default colours", "x,y,U,1,1,3,3", true, clWindow, clWindowText, {fsUnderline}},
        {"too few fields", "x,y,B,0,0,4", false, clYellow, clBlack, {}},
        {"bad foreground after the background", "x,y,B,0,0,z,1", false, clMaroon, clBlack, {}},
        {"palette number out of range", "x,y,B,0,0,4,16", false, clYellow, clBlack, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcMemoryRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Other\\Colors", true));
        registry.WriteString("Comment", c.Value);
        TSrcHighlighterAttributes attribute("Comment");
        attribute.SetBackground(clYellow);
        attribute.SetForeground(clBlack);
        EXPECT_EQ(attribute.ImportRegistryColors(registry, "Other\\Colors", "Comment", true), c.Result);
        EXPECT_EQ(attribute.Background(), c.Background);
        EXPECT_EQ(attribute.Foreground(), c.Foreground);
        EXPECT_EQ(attribute.Style(), c.Style);
    }
    TSrcMemoryRegistry empty;
    TSrcHighlighterAttributes attribute("Comment");
    EXPECT_FALSE(attribute.ImportRegistryColors(empty, "Other\\Colors", "Comment", true));
}

TEST(HighlighterRegistry, ImportFromASubkey)
{
    struct Case {
        const char* Name;
        std::function<void(TSrcMemoryRegistry&)> Change;
        bool Result;
        TColor Background;
        TColor Foreground;
        TFontStyles Style;
    };
    const std::vector<Case> cases = {
        {"palette and named colours", [](TSrcMemoryRegistry&) {}, true, clYellow, clRed, {fsBold}},
        {"default background", [](TSrcMemoryRegistry& r) { r.WriteString("Default Background", "true"); }, true,
         clWindow, clRed, {fsBold}},
        {"default foreground, FALSE in any case", [](TSrcMemoryRegistry& r) {
             r.WriteString("Default Foreground", "yes");
             r.WriteString("Bold", "false");
         },
         true, clYellow, clWindowText, {}},
        {"flag that is not a text", [](TSrcMemoryRegistry& r) { r.WriteInteger("Underline", 0); }, false, clNone, clNone, {}},
        {"unknown colour name", [](TSrcMemoryRegistry& r) { r.WriteString("Background Color New", "clNoSuch"); },
         false, clNone, clNone, {}},
        {"numbered new colour", [](TSrcMemoryRegistry& r) { r.WriteString("Background Color New", "$00FF0000"); },
         true, clBlue, clRed, {fsBold}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcMemoryRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Other\\Comment", true));
        registry.WriteInteger("Foreground Color", 9);
        registry.WriteString("Background Color New", "clYellow");
        registry.WriteString("Bold", "1");
        registry.WriteString("Italic", "FALSE");
        registry.WriteString("Underline", "0");
        registry.WriteString("Default Foreground", "0");
        registry.WriteString("Default Background", "False");
        c.Change(registry);
        TSrcHighlighterAttributes attribute("Comment");
        EXPECT_EQ(attribute.ImportRegistryColors(registry, "Other", "Comment", false), c.Result);
        EXPECT_EQ(attribute.Background(), c.Background);
        EXPECT_EQ(attribute.Foreground(), c.Foreground);
        EXPECT_EQ(attribute.Style(), c.Style);
    }
}

TEST(HighlighterClasses, RegisteringTwiceLeavesOneEntry)
{
    const int before = HighlighterList().Count();
    RegisterHighlighterClass(TTestSyn::StaticClass());
    RegisterHighlighterClass(TTestSyn::StaticClass());
    EXPECT_EQ(HighlighterList().Count(), before + 1);
    EXPECT_EQ(&HighlighterList().Items(HighlighterList().IndexOf(TTestSyn::StaticClass())), &TTestSyn::StaticClass());

    TTestSubSyn sub;
    EXPECT_EQ(sub.GetLanguageTitle(), "Test Dialect");
    EXPECT_TRUE(sub.HighlighterClass().InheritsFrom(TTestSyn::StaticClass()));
    EXPECT_TRUE(sub.HighlighterClass().InheritsFrom(TSrcCustomHighlighter::StaticClass()));
    EXPECT_FALSE(TTestSyn::StaticClass().InheritsFrom(TTestSubSyn::StaticClass()));
}
