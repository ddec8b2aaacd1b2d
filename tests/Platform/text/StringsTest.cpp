// String lists: text in and out, comma text, name=value items, sorting, duplicates and the
// change events around updates.

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Strings.h"
#include "Platform/files/FileTestSupport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Items(const TStrings& list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list[i]);
    return items;
}

using V = std::vector<std::string>;

} // namespace

TEST(StringList, TextJoinsEveryItemWithCrLf)
{
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("a");
    list.Add("");
    list.Add("b");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, SettingTextSplitsAtEveryKindOfLineBreak)
{
    struct Case {
        std::string Text;
        V Expected;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n", {"a"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TStringList list;
        list.SetText(c.Text);
        EXPECT_EQ(Items(list), c.Expected);
    }
}

TEST(StringList, CommaTextQuotesOnlyWhatNeedsIt)
{
    TStringList list;
    list.Add("plain");
    list.Add("with space");
    list.Add("say \"hi\"");
    list.Add("a,b");
    list.Add("");
    EXPECT_EQ(list.CommaText(), "plain,\"with space\",\"say \"\"hi\"\"\",\"a,b\",");

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");
}

TEST(StringList, CommaTextReadsBack)
{
    struct Case {
        std::string Text;
        V Expected;
    };
    const Case cases[] = {
        {"a,b,c", {"a", "b", "c"}},
        {"\"with space\",x", {"with space", "x"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"a b", {"a", "b"}}, // unquoted blanks separate too
        {"a,", {"a", ""}},
        {"  a , b  ", {"a", "b"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TStringList list;
        list.SetCommaText(c.Text);
        EXPECT_EQ(Items(list), c.Expected);
    }
    TStringList round;
    for (const char* s : {"x y", "\"q\"", "", "a,b"})
        round.Add(s);
    TStringList back;
    back.SetCommaText(round.CommaText());
    EXPECT_EQ(Items(back), Items(round));
}

TEST(StringList, NamesAndValues)
{
    TStringList list;
    list.Add("Port=7905");
    list.Add("Root=/srv/www");
    list.Add("plain");
    EXPECT_EQ(list.Values("port"), "7905");
    EXPECT_EQ(list.Names(1), "Root");
    EXPECT_EQ(list.ValueFromIndex(1), "/srv/www");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("missing"), "");
    list.SetValues("Port", "8000");
    EXPECT_EQ(list[0], "Port=8000");
    list.SetValues("New", "1");
    EXPECT_EQ(list[3], "New=1");
    list.SetValues("Root", ""); // an empty value removes the item
    EXPECT_EQ(list.IndexOfName("Root"), -1);
    EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates)
{
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple"})
        list.Add(s);
    EXPECT_EQ(Items(list), (V{"Apple", "fig", "pear"})); // duplicates ignored without letter case
    int index = -1;
    EXPECT_TRUE(list.Find("FIG", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("grape", index));
    EXPECT_EQ(index, 2);
    EXPECT_THROW(list.Insert(0, "x"), EListError);

    list.SetDuplicates(TDuplicates::dupError);
    try {
        list.Add("PEAR");
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    list.SetDuplicates(TDuplicates::dupAccept);
    list.Add("PEAR");
    EXPECT_EQ(list.Count(), 4);
}

TEST(StringList, CaseSensitiveSortingOrdersByBytes)
{
    TStringList list;
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    for (const char* s : {"b", "B", "a", "A"})
        list.Add(s);
    EXPECT_EQ(Items(list), (V{"A", "B", "a", "b"}));
    EXPECT_EQ(list.IndexOf("a"), 2);
    EXPECT_EQ(list.IndexOf("c"), -1);
}

TEST(StringList, CustomSortIsStable)
{
    TStringList list;
    for (const char* s : {"b2", "a1", "b1", "a2"})
        list.Add(s);
    list.CustomSort([](TStringList& l, int i, int j) { return static_cast<int>(l[i][0]) - static_cast<int>(l[j][0]); });
    EXPECT_EQ(Items(list), (V{"a1", "a2", "b2", "b1"}));
}

TEST(StringList, IndexErrorsNameTheIndex)
{
    TStringList list;
    list.Add("x");
    try {
        list.Get(1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(2, "y"), EListError);
    list.Insert(1, "y");
    EXPECT_EQ(list.Count(), 2);
}

TEST(StringList, ChangeEventsFireOncePerOutermostUpdate)
{
    TStringList list;
    std::string log;
    list.OnChanging = [&](TObject*) { log += "<"; };
    list.OnChange = [&](TObject*) { log += ">"; };
    list.Add("a");
    EXPECT_EQ(log, "<>");
    log.clear();
    list.BeginUpdate();
    list.Add("b");
    list.BeginUpdate();
    list.Delete(0);
    list.EndUpdate();
    list.Add("c");
    EXPECT_EQ(log, "<");
    list.EndUpdate();
    EXPECT_EQ(log, "<>");
    log.clear();
    list.SetText("x\ny");
    EXPECT_EQ(log, "<>");
}

TEST(StringList, ObjectsTravelWithTheirItems)
{
    TObject one;
    TObject two;
    TStringList list;
    list.AddObject("one", &one);
    list.AddObject("two", &two);
    list.Exchange(0, 1);
    EXPECT_EQ(list.Objects(0), &two);
    list.Move(0, 1);
    EXPECT_EQ(list.Objects(1), &two);
    EXPECT_EQ(list[1], "two");
    EXPECT_EQ(list.IndexOfObject(&one), 0);
}

TEST(StringList, AssignCopiesItemsAndObjects)
{
    TObject o;
    TStringList source;
    source.AddObject("a", &o);
    source.Add("b");
    TStringList copy;
    copy.Add("old");
    copy.Assign(source);
    EXPECT_EQ(Items(copy), (V{"a", "b"}));
    EXPECT_EQ(copy.Objects(0), &o);
    EXPECT_TRUE(copy.Equals(source));
}

TEST(StringList, FilesRoundTripAndMissingFilesRaise)
{
    TempDir dir;
    TStringList list;
    list.Add("first");
    list.Add("second");
    list.SaveToFile(dir.File("list.txt"));
    EXPECT_EQ(dir.Read("list.txt"), "first\r\nsecond\r\n");

    dir.Write("unix.txt", "x\ny\n");
    TStringList loaded;
    loaded.LoadFromFile(dir.File("unix.txt"));
    EXPECT_EQ(Items(loaded), (V{"x", "y"}));
    EXPECT_THROW(loaded.LoadFromFile(dir.File("missing.txt")), EFOpenError);
    EXPECT_EQ(loaded.Count(), 2);
}

TEST(StringList, ASaveThatDoesNotFitLeavesTheOldFile)
{
    const TSmallFileSystem disk(1 << 20, 64);
    if (disk.Path().empty())
        GTEST_SKIP() << "a small file system cannot be mounted here (needs root)";
    const std::string name = disk.File("list.txt");
    TStringList list;
    list.Add("old");
    list.SaveToFile(name);
    disk.FillBut(0);

    list.Clear();
    for (int i = 0; i < 10000; ++i)
        list.Add("a line that no longer fits on the disk");
    EXPECT_ANY_THROW(list.SaveToFile(name));
    TStringList loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(Items(loaded), (V{"old"}));
}

TEST(StringList, OwnedObjectsAreFreedWithTheirItems)
{
    struct Counted : TObject {
        explicit Counted(int& n) : N(n) { ++N; }
        ~Counted() override { --N; }
        int& N;
    };
    int alive = 0;
    {
        TStringList list;
        list.OwnsObjects = true;
        list.AddObject("a", new Counted(alive));
        list.AddObject("b", new Counted(alive));
        list.Delete(0);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}

TEST(StringList, AChangeHandlerThatThrowsReachesTheCallerOrTheApplication)
{
    TStringList list;
    list.OnChange = [](TObject*) { throw Exception("handler failed"); };
    // A change made directly reports to its caller and leaves no update open.
    EXPECT_THROW(list.SetText("x\ny"), Exception);
    EXPECT_EQ(list.UpdateCount(), 0);

    // A bracket that closes in a destructor cannot throw: the application hears of it.
    std::vector<std::string> reported;
    Application()->OnException = [&](TObject*, const std::exception& e) { reported.push_back(e.what()); };
    {
        const TStringsUpdate update(list);
        list.Add("z");
    }
    Application()->OnException = nullptr;
    EXPECT_EQ(reported, std::vector<std::string>{"handler failed"});
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(Items(list), (V{"x", "y", "z"}));
}
