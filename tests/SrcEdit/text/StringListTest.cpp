// The editor's line store: byte-exact load and save with break-style detection, the change
// events and update counter, index errors, the tab-expansion cache and the longest line.

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Lines = std::vector<std::string>;

Lines Items(const TSrcEditStringList& list)
{
    Lines items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Get(i));
    return items;
}

std::string Bytes(const char* data, size_t size)
{
    return std::string(data, size);
}

const char* StyleName(TLineBreakStyle style)
{
    switch (style) {
    case TLineBreakStyle::lbsCRLF: return "CRLF";
    case TLineBreakStyle::lbsLF: return "LF";
    case TLineBreakStyle::lbsCR: return "CR";
    }
    return "?";
}

// Records the list's events in the order they arrive.
struct EventLog {
    std::vector<std::string> Events;

    void Attach(TSrcEditStringList& list)
    {
        list.OnChanging = [this](TObject*) { Events.push_back("changing"); };
        list.OnChange = [this](TObject*) { Events.push_back("change"); };
        list.OnCleared = [this](TObject*) { Events.push_back("cleared"); };
        list.OnLinesInserted = [this](TObject*, int i, int n) { Events.push_back(Line("inserted", i, n)); };
        list.OnLinesDeleted = [this](TObject*, int i, int n) { Events.push_back(Line("deleted", i, n)); };
        list.OnLinesPut = [this](TObject*, int i, int n) { Events.push_back(Line("put", i, n)); };
    }
    static std::string Line(const char* what, int index, int count)
    {
        return std::string(what) + " " + std::to_string(index) + "," + std::to_string(count);
    }
};

class TObjectTag : public TObject {};

// A stream that promises bytes and then fails to deliver them.
class TFailingStream : public TStream {
public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }
    std::int64_t Size() override { return 10; }
    void SetSize(std::int64_t) override {}
};

} // namespace

// ---- Loading and saving

TEST(LineStoreFiles, CorpusLoadsWithItsBreakStyleAndSavesBackByteForByte)
{
    struct Case {
        std::string Name;
        std::string Content;
        Lines Expected;
        TLineBreakStyle Style;
        std::string Saved; // what a save writes back
    };
    const std::string same = "\x01";
    const std::vector<Case> cases = {
        {"empty", "", {}, TLineBreakStyle::lbsCRLF, same},
        {"one byte", "a", {"a"}, TLineBreakStyle::lbsCRLF, same},
        {"crlf final", "a\r\n", {"a", ""}, TLineBreakStyle::lbsCRLF, same},
        {"crlf alone", "\r\n", {"", ""}, TLineBreakStyle::lbsCRLF, same},
        {"crlf", "<?php\r\necho 1;\r\n?>\r\n", {"<?php", "echo 1;", "?>", ""}, TLineBreakStyle::lbsCRLF, same},
        {"lf", "x\ny\n", {"x", "y", ""}, TLineBreakStyle::lbsLF, same},
        {"lf no final break", "a\nb", {"a", "b"}, TLineBreakStyle::lbsLF, same},
        {"lf only breaks", "\n\n\n", {"", "", "", ""}, TLineBreakStyle::lbsLF, same},
        {"cr", "a\rb\r", {"a", "b", ""}, TLineBreakStyle::lbsCR, same},
        {"cr no final break", "a\r\rb", {"a", "", "b"}, TLineBreakStyle::lbsCR, same},
        // Mixed breaks: each line keeps its own.
        {"lf cr is two breaks", "a\n\rb", {"a", "", "b"}, TLineBreakStyle::lbsCRLF, same},
        {"mixed crlf and lf", "a\r\nb\nc\r\n", {"a", "b", "c", ""}, TLineBreakStyle::lbsCRLF, same},
        {"mixed cr and lf", "a\rb\nc", {"a", "b", "c"}, TLineBreakStyle::lbsCRLF, same},
        {"all three and lf cr", "1\r\n2\n3\r4\n\r5\r\n\r\n", {"1", "2", "3", "4", "", "5", "", ""},
         TLineBreakStyle::lbsCRLF, same},
        {"lone cr inside crlf text", "<?php\r\n$a = '\r';\r\n", {"<?php", "$a = '", "';", ""}, TLineBreakStyle::lbsCRLF,
         same},
        {"binary", Bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\r\r\n\n\0", 21),
         {"\x89PNG", "\x1a", Bytes("\0\0\0", 3), "IHDR", "", "", Bytes("\0", 1)}, TLineBreakStyle::lbsCRLF, same},
        {"nul bytes", Bytes("a\0b\n\0\nc\0", 8), {Bytes("a\0b", 3), Bytes("\0", 1), Bytes("c\0", 2)},
         TLineBreakStyle::lbsLF, same},
        {"invalid utf-8", "\xFF\xFE\n\xC3\n\xE6\xBC\n", {"\xFF\xFE", "\xC3", "\xE6\xBC", ""}, TLineBreakStyle::lbsLF, same},
        {"utf-8", "\xC3\xA9\t\xE6\xBC\xA2\r\n\xF0\x9F\x98\x80", {"\xC3\xA9\t\xE6\xBC\xA2", "\xF0\x9F\x98\x80"},
         TLineBreakStyle::lbsCRLF, same},
        {"long line", std::string(40000, 'x') + "\ny", {std::string(40000, 'x'), "y"}, TLineBreakStyle::lbsLF, same},
        // Loads read in slices of 256 KiB: breaks and lines that straddle a slice boundary.
        {"cr lf across a slice", std::string(262143, 'a') + "\r\nb", {std::string(262143, 'a'), "b"},
         TLineBreakStyle::lbsCRLF, same},
        {"lf cr across a slice", std::string(262143, 'a') + "\n\rb", {std::string(262143, 'a'), "", "b"},
         TLineBreakStyle::lbsCRLF, same},
        {"cr lf and lf across a slice", std::string(262143, 'a') + "\r\n" + std::string(262142, 'b') + "\nc",
         {std::string(262143, 'a'), std::string(262142, 'b'), "c"}, TLineBreakStyle::lbsCRLF, same},
        {"cr at a slice end", std::string(262143, 'a') + "\rb\r", {std::string(262143, 'a'), "b", ""},
         TLineBreakStyle::lbsCR, same},
        {"line over three slices", "x\n" + std::string(700000, 'y') + "\nz", {"x", std::string(700000, 'y'), "z"},
         TLineBreakStyle::lbsLF, same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string expectedSave = c.Saved == same ? c.Content : c.Saved;
        TempDir dir;
        const std::string source = dir.Write("in.php", c.Content);

        TSrcEditStringList list;
        list.LoadFromFile(source);
        EXPECT_EQ(Items(list), c.Expected);
        EXPECT_STREQ(StyleName(list.LineBreakStyle()), StyleName(c.Style));

        // Watched line by line, the load gives the same lines, each reported as it arrives.
        TSrcEditStringList watched;
        watched.Add("old");
        Lines seen;
        watched.OnLinesInserted = [&](TObject*, int index, int count) {
            EXPECT_EQ(count, 1);
            EXPECT_EQ(index, watched.Count() - 1);
            seen.push_back(watched.Get(index));
        };
        watched.LoadFromFile(source);
        EXPECT_EQ(seen, c.Expected);
        EXPECT_EQ(Items(watched), c.Expected);

        list.SaveToFile(dir.File("out.php"));
        EXPECT_EQ(dir.Read("out.php"), expectedSave);

        TStringStream stream;
        list.SaveToStream(stream);
        EXPECT_EQ(stream.DataString(), expectedSave);

        // Saving over the source replaces it with the same bytes.
        list.SaveToFile(source);
        EXPECT_EQ(ReadWholeFile(source), expectedSave);
    }
}

TEST(LineStoreFiles, LoadReplacesEarlierLinesAndRedetectsTheStyle)
{
    TSrcEditStringList list;
    TStringStream cr("a\rb");
    list.LoadFromStream(cr);
    EXPECT_EQ(list.LineBreakStyle(), TLineBreakStyle::lbsCR);
    TStringStream lf("x\n");
    lf.SetPosition(1); // the load reads from the start whatever the position
    list.LoadFromStream(lf);
    EXPECT_EQ(Items(list), (Lines{"x", ""}));
    EXPECT_EQ(list.LineBreakStyle(), TLineBreakStyle::lbsLF);
    TStringStream none("");
    list.LoadFromStream(none);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.LineBreakStyle(), TLineBreakStyle::lbsCRLF);
}

TEST(LineStoreFiles, ReadErrorLeavesTheLinesAndClosesTheUpdate)
{
    TSrcEditStringList list;
    list.Add("kept");
    EventLog log;
    log.Attach(list);
    TFailingStream stream;
    EXPECT_THROW(list.LoadFromStream(stream), EReadError);
    EXPECT_EQ(Items(list), (Lines{"kept"}));
    EXPECT_EQ(log.Events, (std::vector<std::string>{"changing", "change"}));
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(LineStoreFiles, LoadReportsEachLineAndOneClearInsideOneUpdate)
{
    TSrcEditStringList list;
    list.Add("old");
    EventLog log;
    log.Attach(list);
    TStringStream stream("a\nb");
    list.LoadFromStream(stream);
    EXPECT_EQ(log.Events,
              (std::vector<std::string>{"changing", "cleared", "inserted 0,1", "inserted 1,1", "change"}));
}

TEST(LineStoreFiles, MissingFileAndUnwritableTargetRaiseAndKeepWhatWasThere)
{
    TempDir dir;
    TSrcEditStringList list;
    list.Add("kept");
    EXPECT_THROW(list.LoadFromFile(dir.File("missing.php")), EFOpenError);
    EXPECT_EQ(Items(list), (Lines{"kept"}));
    EXPECT_THROW(list.SaveToFile(dir.File("no/such/folder/x.php")), EFCreateError);
}

TEST(LineStoreFiles, SaveAfterEditsUsesTheLoadedBreak)
{
    TempDir dir;
    TSrcEditStringList list;
    list.LoadFromFile(dir.Write("a.php", "one\rtwo\r"));
    list.Put(1, "2");
    list.Insert(0, "zero");
    list.SaveToFile(dir.File("a.php"));
    EXPECT_EQ(dir.Read("a.php"), "zero\rone\r2\r");
}

TEST(LineStoreFiles, AnEditChangesTheBytesOfTheEditedLinesOnly)
{
    using namespace std::string_literals;
    // A file with every kind of break (LF CR too), a NUL byte and no break at its end.
    const std::string original = "one\r\ntwo\nthree\rfour\n\rfi\0ve\r\nsix"s;
    struct Case {
        const char* Name;
        std::function<void(TSrcEditStringList&)> Edit;
        std::string Saved;
    };
    const std::vector<Case> cases = {
        {"nothing", [](auto&) {}, original},
        {"a line put twice, back to its text", [](auto& l) { l.Put(2, "threeX"); l.Put(2, "three"); }, original},
        {"a line changed", [](auto& l) { l.Put(1, "TWO"); }, "one\r\nTWO\nthree\rfour\n\rfi\0ve\r\nsix"s},
        {"the last line changed", [](auto& l) { l.Put(6, "6"); }, "one\r\ntwo\nthree\rfour\n\rfi\0ve\r\n6"s},
        {"a line deleted", [](auto& l) { l.Delete(2); }, "one\r\ntwo\nfour\n\rfi\0ve\r\nsix"s},
        // A new line ends with the style's break (mixed breaks give CR LF).
        {"a line inserted", [](auto& l) { l.Insert(3, "new"); },
         "one\r\ntwo\nthree\rnew\r\nfour\n\rfi\0ve\r\nsix"s},
        {"a line added after the last", [](auto& l) { l.Add("seven"); },
         "one\r\ntwo\nthree\rfour\n\rfi\0ve\r\nsix\r\nseven"s},
        {"blank lines filled", [](auto& l) { l.InsertBlankLines(1, 2); l.Put(1, "a"); l.Put(2, "b"); },
         "one\r\na\r\nb\r\ntwo\nthree\rfour\n\rfi\0ve\r\nsix"s},
        {"two lines exchanged, each with its break", [](auto& l) { l.Exchange(0, 1); },
         "two\none\r\nthree\rfour\n\rfi\0ve\r\nsix"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        TSrcEditStringList list;
        list.LoadFromFile(dir.Write("mixed.bin", original));
        c.Edit(list);
        EXPECT_EQ(list.FileText(), c.Saved);
        list.SaveToFile(dir.File("mixed.bin"));
        EXPECT_EQ(dir.Read("mixed.bin"), c.Saved);
    }
}

TEST(LineStoreFiles, TheStyleIsTheBreakOfNewLinesAndApplyingItDropsTheFilesBreaks)
{
    TSrcEditStringList list;
    TStringStream mixed("a\r\nb\nc");
    list.LoadFromStream(mixed);
    list.SetLineBreakStyle(TLineBreakStyle::lbsCR);
    list.Add("d");
    EXPECT_EQ(list.FileText(), "a\r\nb\nc\rd");
    EXPECT_EQ(list.LineBreak(0), TLineBreak::lbCRLF);
    EXPECT_EQ(list.LineBreak(1), TLineBreak::lbLF);
    EXPECT_EQ(list.LineBreak(3), TLineBreak::lbDefault);
    list.ApplyLineBreakStyle(TLineBreakStyle::lbsLF);
    EXPECT_EQ(list.FileText(), "a\nb\nc\nd");
    EXPECT_EQ(list.LineBreakStyle(), TLineBreakStyle::lbsLF);
    // Text given whole takes the style too.
    list.SetText("x\r\ny\rz");
    EXPECT_EQ(list.FileText(), "x\ny\nz");
}

TEST(LineStoreFiles, AFileWithoutAKnownSizeLoadsToItsEnd)
{
    // procfs reports no size (cpuinfo, status) or a size of 0 (environ).
    for (const auto& [file, start] : std::vector<std::pair<const char*, const char*>>{
             {"/proc/cpuinfo", "processor"}, {"/proc/self/status", "Name:"}, {"/proc/self/environ", ""}}) {
        SCOPED_TRACE(file);
        TSrcEditStringList list;
        list.LoadFromFile(file);
        EXPECT_TRUE(list.FileText().starts_with(start)) << list.FileText().substr(0, 50);
        EXPECT_GT(list.FileText().size(), 10u);
    }
}

TEST(LineStoreFiles, AStreamThatNeverEndsIsRefusedAfterTheBoundAndTheLinesStay)
{
    // As /proc/self/pagemap: no size, and bytes without end.
    class TEndlessStream : public TStream {
    public:
        std::int64_t Read(void* buffer, std::int64_t count) override
        {
            std::memset(buffer, 'z', static_cast<size_t>(count));
            if (count > 100)
                static_cast<char*>(buffer)[100] = '\n';
            return count;
        }
        std::int64_t Write(const void*, std::int64_t) override { return 0; }
        std::int64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }
        std::int64_t Size() override { return -1; }
        void SetSize(std::int64_t) override {}
        bool ExactSize() const override { return false; }
    };
    TSrcEditStringList list;
    list.Add("kept");
    TEndlessStream endless;
    EXPECT_THROW(list.LoadFromStream(endless), EReadError);
    EXPECT_EQ(Items(list), (Lines{"kept"}));
}

TEST(LineStoreFiles, AStreamThatGrowsPastItsSizeIsReadWhole)
{
    // A file's size is a hint: more may arrive, across slices and CR LF pairs.
    class TGrowingStream : public TStream {
    public:
        explicit TGrowingStream(std::string data) : FData(std::move(data)) {}
        std::int64_t Read(void* buffer, std::int64_t count) override
        {
            const auto n = std::min<std::int64_t>(count, static_cast<std::int64_t>(FData.size()) - FPosition);
            std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
            FPosition += n;
            return n;
        }
        std::int64_t Write(const void*, std::int64_t) override { return 0; }
        std::int64_t Seek(std::int64_t offset, TSeekOrigin) override { return FPosition = offset; }
        std::int64_t Size() override { return 5; }
        void SetSize(std::int64_t) override {}
        bool ExactSize() const override { return false; }

    private:
        std::string FData;
        std::int64_t FPosition = 0;
    };
    std::string content = "ab\r\ncd";
    for (int i = 0; i < 100000; ++i)
        content += i % 3 == 0 ? "\r\nline" : (i % 3 == 1 ? "\nx" : "\ry");
    TGrowingStream stream(content);
    TSrcEditStringList list;
    list.LoadFromStream(stream);
    EXPECT_EQ(list.Count(), 100002);
    EXPECT_EQ(list.FileText(), content);
}

TEST(LineStoreFiles, WriterReplacesTheFileOnlyOnCommit)
{
    TempDir dir;
    const std::string file = dir.Write("w.txt", "original");
    {
        TSrcEditFileWriter writer(file);
        writer.WriteLine(std::string(20000, 'x'));
        writer.Write("tail");
        writer.Flush();
    }
    EXPECT_EQ(ReadWholeFile(file), "original");

    const std::string big(300000, 'b'); // larger than the writer's buffer
    for (const TLineBreakStyle style : {TLineBreakStyle::lbsCRLF, TLineBreakStyle::lbsLF, TLineBreakStyle::lbsCR}) {
        SCOPED_TRACE(StyleName(style));
        TSrcEditFileWriter writer(file);
        writer.SetLineBreakStyle(style);
        std::string expected;
        const std::string lineBreak = style == TLineBreakStyle::lbsCRLF ? "\r\n" : (style == TLineBreakStyle::lbsLF ? "\n" : "\r");
        for (int i = 0; i < 30000; ++i) {
            const std::string line = "line " + std::to_string(i);
            writer.WriteLine(line);
            expected += line + lineBreak;
        }
        writer.WriteLine(big);
        writer.Write("end");
        expected += big + lineBreak + "end";
        writer.Commit();
        EXPECT_EQ(ReadWholeFile(file), expected);
    }
}

// ---- Events and the update counter

TEST(LineStoreEvents, EachChangeIsBracketedByChangingAndChange)
{
    struct Case {
        std::string Name;
        std::function<void(TSrcEditStringList&)> Change;
        std::vector<std::string> Expected;
    };
    TStringList more;
    more.Add("x");
    more.Add("y");
    const std::vector<Case> cases = {
        {"add", [](auto& l) { l.Add("n"); }, {"changing", "inserted 3,1", "change"}},
        {"insert", [](auto& l) { l.Insert(1, "n"); }, {"changing", "inserted 1,1", "change"}},
        {"put", [](auto& l) { l.Put(2, "n"); }, {"changing", "put 2,1", "change"}},
        {"put at count", [](auto& l) { l.Put(3, "n"); }, {"changing", "inserted 3,1", "change"}},
        {"delete", [](auto& l) { l.Delete(0); }, {"changing", "deleted 0,1", "change"}},
        {"delete range", [](auto& l) { l.DeleteLineRange(1, 9); }, {"changing", "deleted 1,2", "change"}},
        {"blank lines", [](auto& l) { l.InsertBlankLines(3, 2); }, {"changing", "inserted 3,2", "change"}},
        {"add strings", [&](auto& l) { l.AddStrings(more); }, {"changing", "inserted 3,2", "change"}},
        {"clear", [](auto& l) { l.Clear(); }, {"changing", "cleared", "change"}},
        {"exchange", [](auto& l) { l.Exchange(0, 2); }, {"changing", "change"}},
        {"object", [](auto& l) { l.PutObject(0, nullptr); }, {"changing", "change"}},
        {"range", [](auto& l) { l.SetLineRange(0, 7); }, {"changing", "change"}},
        {"text", [](auto& l) { l.SetText("p\nq"); }, {"changing", "cleared", "inserted 0,1", "inserted 1,1", "change"}},
        {"nothing to delete", [](auto& l) { l.DeleteLineRange(3, 4); }, {}},
        {"no lines to delete", [](auto& l) { l.DeleteLineRange(0, 0); }, {}},
        {"no blank lines", [](auto& l) { l.InsertBlankLines(0, 0); }, {}},
        {"no strings", [](auto& l) { l.AddStrings(TStringList()); }, {}},
        {"same tab width", [](auto& l) { l.SetTabWidth(8); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcEditStringList list;
        list.SetText("a\nb\nc");
        EventLog log;
        log.Attach(list);
        c.Change(list);
        EXPECT_EQ(log.Events, c.Expected);
    }
}

TEST(LineStoreEvents, AnOuterUpdateGivesOneChangingAndOneChange)
{
    TSrcEditStringList list;
    EventLog log;
    log.Attach(list);
    list.BeginUpdate();
    list.Add("a");
    list.Add("b");
    list.Put(0, "c");
    list.EndUpdate();
    EXPECT_EQ(log.Events, (std::vector<std::string>{"changing", "inserted 0,1", "inserted 1,1", "put 0,1", "change"}));
}

TEST(LineStoreEvents, ClearOfAnEmptyListDoesNothing)
{
    TSrcEditStringList list;
    list.SetCapacity(32);
    EventLog log;
    log.Attach(list);
    list.Clear();
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(list.Capacity(), 32);
}

// ---- Operations

TEST(LineStoreIndexes, OutOfRangeWritesRaiseAndChangeNothing)
{
    struct Case {
        std::string Name;
        std::function<void(TSrcEditStringList&)> Call;
        int Index;
    };
    const std::vector<Case> cases = {
        {"insert below", [](auto& l) { l.Insert(-1, "x"); }, -1},
        {"insert above", [](auto& l) { l.Insert(3, "x"); }, 3},
        {"blank lines above", [](auto& l) { l.InsertBlankLines(3, 1); }, 3},
        {"delete at count", [](auto& l) { l.Delete(2); }, 2},
        {"delete below", [](auto& l) { l.Delete(-1); }, -1},
        {"delete range above", [](auto& l) { l.DeleteLineRange(3, 1); }, 3},
        {"delete range below", [](auto& l) { l.DeleteLineRange(-1, 1); }, -1},
        {"put beyond count", [](auto& l) { l.Put(3, "x"); }, 3},
        {"put below", [](auto& l) { l.Put(-1, "x"); }, -1},
        {"exchange first", [](auto& l) { l.Exchange(2, 0); }, 2},
        {"exchange second", [](auto& l) { l.Exchange(0, -1); }, -1},
        {"object", [](auto& l) { l.PutObject(2, nullptr); }, 2},
        {"range", [](auto& l) { l.SetLineRange(5, 1); }, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcEditStringList list;
        list.SetText("a\nb");
        list.SetLineRange(0, 11);
        try {
            c.Call(list);
            ADD_FAILURE() << "no error";
        } catch (const ESrcEditStringList& e) {
            EXPECT_EQ(e.Message(), "Invalid stringlist index " + std::to_string(c.Index));
        }
        EXPECT_EQ(Items(list), (Lines{"a", "b"}));
        EXPECT_EQ(list.LineRange(0), 11);
    }
    TSrcEditStringList list;
    EXPECT_THROW(list.Delete(0), EListError) << "the index error is a list error";
}

TEST(LineStoreIndexes, ReadsOutsideTheListGiveEmptyValues)
{
    TSrcEditStringList list;
    TObjectTag tag;
    list.Add("a\tb");
    list.PutObject(0, &tag);
    for (const int index : {-1, 1, 1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(list.Get(index), "");
        EXPECT_EQ(list.GetObject(index), nullptr);
        EXPECT_EQ(list.LineRange(index), 0);
        EXPECT_EQ(list.ExpandedLine(index), "");
        EXPECT_EQ(list.ExpandedLineLength(index), 0);
    }
    EXPECT_EQ(list.GetObject(0), &tag);
}

TEST(LineStoreRecords, NewLinesCarryTheirInitialRangeAndObject)
{
    TSrcEditStringList list;
    TObjectTag tag;
    list.Add("a");
    list.Insert(0, "b");
    list.InsertBlankLines(1, 2);
    EXPECT_EQ(Items(list), (Lines{"b", "", "", "a"}));
    EXPECT_EQ(list.LineRange(0), -1);
    EXPECT_EQ(list.LineRange(1), 0);
    EXPECT_EQ(list.LineRange(2), 0);
    EXPECT_EQ(list.LineRange(3), -1);
    EXPECT_EQ(list.Capacity(), 4) << "blank lines size the array exactly";

    list.SetLineRange(3, 42);
    list.PutObject(3, &tag);
    list.Put(3, "changed");
    EXPECT_EQ(list.LineRange(3), 42) << "a replaced line keeps its range";
    EXPECT_EQ(list.GetObject(3), &tag);

    list.Exchange(0, 3);
    EXPECT_EQ(Items(list), (Lines{"changed", "", "", "b"}));
    EXPECT_EQ(list.LineRange(0), 42);
    EXPECT_EQ(list.GetObject(0), &tag);
    EXPECT_EQ(list.LineRange(3), -1);
}

TEST(LineStoreRecords, ObjectsFollowTheirLines)
{
    TSrcEditStringList list;
    TObjectTag a, b;
    list.SetText("0\n1\n2");
    list.PutObject(1, nullptr);
    EXPECT_EQ(list.GetObject(1), nullptr);
    list.PutObject(1, &a);
    list.PutObject(2, &b);
    list.Insert(0, "new");
    list.InsertBlankLines(1, 2);
    EXPECT_EQ(list.GetObject(4), &a);
    EXPECT_EQ(list.GetObject(5), &b);
    list.DeleteLineRange(0, 3);
    EXPECT_EQ(list.GetObject(0), nullptr);
    EXPECT_EQ(list.GetObject(1), &a);
    list.Exchange(1, 2);
    EXPECT_EQ(list.GetObject(1), &b);
    EXPECT_EQ(list.GetObject(2), &a);
    list.Put(2, "replaced");
    EXPECT_EQ(list.GetObject(2), &a);
    list.Clear();
    list.Add("x");
    EXPECT_EQ(list.GetObject(0), nullptr);
}

TEST(LineStoreRecords, AddStringsCopiesObjectsAndRoundsTheCapacity)
{
    TObjectTag tag;
    TStringList source;
    source.AddObject("x", &tag);
    source.Add("y");
    TSrcEditStringList list;
    list.Add("a");
    list.AddStrings(source);
    EXPECT_EQ(Items(list), (Lines{"a", "x", "y"}));
    EXPECT_EQ(list.GetObject(1), &tag);
    EXPECT_EQ(list.LineRange(2), -1);
    list.AddStrings(list);
    EXPECT_EQ(Items(list), (Lines{"a", "x", "y", "a", "x", "y"}));

    TSrcEditStringList many;
    for (int i = 0; i < 70; ++i)
        many.Add("a");
    ASSERT_EQ(many.Capacity(), 80);
    TStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty.Add("b");
    many.AddStrings(twenty);
    EXPECT_EQ(many.Capacity(), 96) << "Count + added, rounded up to a multiple of 16";
}

TEST(LineStoreRecords, DeleteLineRangeStopsAtTheEnd)
{
    TSrcEditStringList list;
    list.SetText("a\nb\nc\nd");
    list.DeleteLineRange(1, 100);
    EXPECT_EQ(Items(list), (Lines{"a"}));
    list.DeleteLineRange(1, 3);
    EXPECT_EQ(Items(list), (Lines{"a"}));
    list.Delete(0);
    EXPECT_EQ(list.Count(), 0);
}

TEST(LineStoreRecords, CapacityGrowsInSteps)
{
    TSrcEditStringList list;
    std::vector<int> capacities;
    for (int i = 0; i < 101; ++i) {
        list.Add("x");
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{16, 32, 48, 64, 80, 100, 125}));
    try {
        list.SetCapacity(100);
        ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Stringlist capacity cannot be smaller than count");
    }
    EXPECT_EQ(list.Capacity(), 125);
    list.SetCapacity(101);
    EXPECT_EQ(list.Capacity(), 101);
    EXPECT_EQ(list.Count(), 101);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(LineStoreText, TextJoinsWithCrLfAndWritingSplitsEveryBreak)
{
    TSrcEditStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("a");
    list.Add("");
    EXPECT_EQ(list.Text(), "a\r\n");
    list.SetText(list.Text());
    EXPECT_EQ(Items(list), (Lines{"a"}));

    struct Case {
        std::string Text;
        Lines Expected;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {Bytes("a\nb\0c\nd", 7), {"a", "b"}},
        {Bytes("\0a", 2), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TSrcEditStringList lf;
        TStringStream stream("x\ny");
        lf.LoadFromStream(stream);
        lf.SetText(c.Text);
        EXPECT_EQ(Items(lf), c.Expected);
        EXPECT_EQ(lf.LineBreakStyle(), TLineBreakStyle::lbsLF) << "writing the text keeps the style";
    }
}

// ---- Tab expansion cache and the longest line

TEST(LineStoreExpansion, ExpandedLinesFollowTheTabWidth)
{
    TSrcEditStringList list;
    list.Add("a\tb");
    list.Add("plain");
    list.Add("\xE6\xBC\xA2\t\xC3\xA9");
    list.SetTabWidth(4);
    EXPECT_EQ(list.ExpandedLine(0), "a\t\t\tb");
    EXPECT_EQ(list.ExpandedLineLength(0), 5);
    EXPECT_EQ(list.ExpandedLine(1), "plain");
    EXPECT_EQ(list.ExpandedLineLength(1), 5);
    // 漢 takes two columns, so its tab pads two more; é is one column.
    EXPECT_EQ(list.ExpandedLine(2), "\xE6\xBC\xA2\t\t\xC3\xA9");
    EXPECT_EQ(list.ExpandedLineLength(2), 5);

    list.SetTabWidth(1);
    EXPECT_EQ(list.ExpandedLine(0), "a b");
    EXPECT_EQ(list.ExpandedLineLength(0), 3);
    list.SetTabWidth(6);
    EXPECT_EQ(list.ExpandedLineLength(0), 7);
    EXPECT_EQ(list.ExpandedLine(0), "a\t\t\t\t\tb");
}

TEST(LineStoreExpansion, LengthAndTextAgreeWhicheverIsAskedFirst)
{
    const Lines lines = {"", "\t", "x\t\ty", "\xF0\x9F\x98\x80\tz", "\xFF\t\xC3", "abc"};
    for (const int width : {1, 2, 3, 4, 8, 13}) {
        for (const std::string& line : lines) {
            SCOPED_TRACE(line + " width " + std::to_string(width));
            TSrcEditStringList lengthFirst;
            lengthFirst.SetTabWidth(width);
            lengthFirst.Add(line);
            const int length = lengthFirst.ExpandedLineLength(0);
            EXPECT_EQ(length, ExpandedTextLength(lengthFirst.ExpandedLine(0), 1));

            TSrcEditStringList textFirst;
            textFirst.SetTabWidth(width);
            textFirst.Add(line);
            const std::string expanded = textFirst.ExpandedLine(0);
            EXPECT_EQ(textFirst.ExpandedLineLength(0), length);
            EXPECT_EQ(expanded, lengthFirst.ExpandedLine(0));
        }
    }
}

TEST(LineStoreExpansion, LongestLineFollowsChangesAndTabWidth)
{
    TSrcEditStringList list;
    EXPECT_EQ(list.LongestLineLength(), 0);
    list.Add("");
    EXPECT_EQ(list.LongestLineLength(), 0);
    list.SetText("abcd\n\tx\nwxyz");
    EXPECT_EQ(list.LongestLineLength(), 9) << "tab width 8";
    list.SetTabWidth(2);
    EXPECT_EQ(list.LongestLineLength(), 4);
    list.Put(1, "a much longer line");
    EXPECT_EQ(list.LongestLineLength(), 18);
    list.Delete(1);
    EXPECT_EQ(list.LongestLineLength(), 4);
    list.Insert(0, "0123456");
    EXPECT_EQ(list.LongestLineLength(), 7);
}

TEST(LineStoreExpansion, LongestLineIsRecomputedAfterBlockDeletionAndInsertion)
{
    TSrcEditStringList list;
    list.SetText("the longest line\nshort\nmid line");
    EXPECT_EQ(list.LongestLineLength(), 16);
    list.DeleteLineRange(0, 1);
    EXPECT_EQ(list.LongestLineLength(), 8);

    list.SetText("x\nyyyy");
    EXPECT_EQ(list.LongestLineLength(), 4);
    list.DeleteLineRange(1, 1);
    EXPECT_EQ(list.LongestLineLength(), 1);

    list.SetText("a\nbb\nccc");
    EXPECT_EQ(list.LongestLineLength(), 3);
    list.InsertBlankLines(0, 2);
    EXPECT_EQ(list.LongestLineLength(), 3);
}

TEST(LineStoreExpansion, ExchangeCarriesTheLongestLine)
{
    TSrcEditStringList list;
    list.SetText("a\nlongest\nbb");
    EXPECT_EQ(list.LongestLineLength(), 7);
    list.Exchange(1, 2);
    EXPECT_EQ(list.LongestLineLength(), 7);
    list.Exchange(2, 0);
    EXPECT_EQ(list.LongestLineLength(), 7);
    EXPECT_EQ(list.ExpandedLineLength(0), 7);
}

TEST(LineStoreLifetime, DestroyingTheListCallsNoHandler)
{
    int calls = 0;
    {
        TSrcEditStringList list;
        list.SetText("a\nb");
        list.OnChange = [&](TObject*) { ++calls; };
        list.OnChanging = [&](TObject*) { ++calls; };
        list.OnCleared = [&](TObject*) { ++calls; };
        list.OnLinesDeleted = [&](TObject*, int, int) { ++calls; };
    }
    EXPECT_EQ(calls, 0);
}
