// The help router: one instance, the commands it answers and the pages it names for the
// program's help book and for a PHP manual given as a folder or a web address.

#include "help/zuHelpBook.h"
#include "help/zuHelpRouter.h"
#include "help/zuHelpWindow.h"

#include "support/TempDir.h"

#include <QApplication>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

struct TViewerLog {
    std::vector<std::string> Pages;
    std::vector<std::string> Popups;
    int Closes = 0;
};

class TRecordingViewer : public THelpViewer {
public:
    explicit TRecordingViewer(TViewerLog& log) : FLog(log) {}
    bool ShowPage(const QUrl& page) override
    {
        FLog.Pages.push_back(page.isLocalFile() ? "file:" + QFileInfo(page.toLocalFile()).fileName().toStdString()
                                                : page.toString().toStdString());
        return true;
    }
    void ShowPopup(const std::string& text, QPoint position) override
    {
        FLog.Popups.push_back(text + "@" + std::to_string(position.x()) + "," + std::to_string(position.y()));
    }
    void CloseAll() override { ++FLog.Closes; }

private:
    TViewerLog& FLog;
};

struct HelpRouter : ::testing::Test {
    void SetUp() override
    {
        Router = std::make_unique<THelpRouter>(nullptr);
        Router->HelpType = THelpType::htHTMLhelp;
        Router->ViewerFactory = [this] { return std::make_unique<TRecordingViewer>(Log); };
        Book = Dir.Path() + "/help/";
        Dir.Write("help/index.html", "<html><title>Contents</title></html>");
        Dir.Write("help/dialog-goto.html", "<html>goto</html>");
        Dir.Write("help/helpmap.dat", "[Contexts]\n103=dialog-goto.html\n104=../secret.html\n"
                                      "[Keywords]\nGo To=dialog-goto.html\n[Popups]\n103=Type a line.\n");
        Manual = Dir.Path() + "/manual/";
        Dir.Write("manual/index.html", "<html>manual</html>");
        Dir.Write("manual/indexes.functions.html", "<html>index</html>");
        Dir.Write("manual/function.strlen.html", "<html>strlen</html>");
        Dir.Write("manual/function.array-map.html", "<html>array_map</html>");
        Dir.Write("manual/class.pdo.html", "<html>PDO</html>");
    }

    TempDir Dir;
    TViewerLog Log;
    std::unique_ptr<THelpRouter> Router;
    std::string Book;
    std::string Manual;
};

} // namespace

TEST_F(HelpRouter, OnlyOneRouterAtATime)
{
    try {
        THelpRouter second(nullptr);
        FAIL() << "a second router was made";
    } catch (const EHelpRouterError& e) {
        EXPECT_STREQ(e.what(), "Multiple instances of THelpRouter are not allowed");
    }
    EXPECT_EQ(THelpRouter::Instance(), Router.get()) << "the failed one does not unregister the first";
    Router.reset();
    EXPECT_EQ(THelpRouter::Instance(), nullptr);
    THelpRouter again(nullptr);
    EXPECT_EQ(THelpRouter::Instance(), &again);
}

TEST_F(HelpRouter, QuitBeforeAnyHelpMakesNoViewer)
{
    EXPECT_TRUE(Router->HelpCommand(HELP_QUIT, 0));
    EXPECT_FALSE(Router->ViewerLoaded());
    Router->Helpfile = Book;
    Router->HelpContents();
    EXPECT_TRUE(Router->ViewerLoaded());
    EXPECT_TRUE(Router->HelpCommand(HELP_QUIT, 0));
    EXPECT_EQ(Log.Closes, 1);
}

TEST_F(HelpRouter, CommandsNameThePagesOfTheBook)
{
    Router->Helpfile = Book;
    const std::string keyword = "Go To";
    struct TCommandCase {
        int Command;
        std::intptr_t Data;
        bool Answered;
        const char* Page;
    } cases[] = {
        {HELP_TAB, 0, true, "file:index.html"},
        {HELP_CONTENTS, 0, true, "file:index.html"},
        {HELP_FINDER, 0, true, "file:index.html"},
        {HELP_CONTEXT, 103, true, "file:dialog-goto.html"},
        // an unknown number, or a map entry outside the book, shows the contents
        {HELP_CONTEXT, 999, true, "file:index.html"},
        {HELP_CONTEXT, 104, true, "file:index.html"},
        {HELP_KEY, reinterpret_cast<std::intptr_t>(keyword.c_str()), true, "file:index.html"},
        {77, 0, false, nullptr},
    };
    for (const TCommandCase& c : cases) {
        Log.Pages.clear();
        EXPECT_EQ(Router->HelpCommand(c.Command, c.Data), c.Answered) << c.Command;
        if (c.Page)
            EXPECT_EQ(Log.Pages, std::vector<std::string>{c.Page}) << c.Command;
        else
            EXPECT_TRUE(Log.Pages.empty()) << c.Command;
    }
}

TEST_F(HelpRouter, APopupUsesTheStoredPositionOnce)
{
    Router->Helpfile = Book;
    EXPECT_TRUE(Router->HelpCommand(HELP_SETPOPUP_POS, PackPopupPosition(QPoint(40, 300))));
    EXPECT_TRUE(Router->HelpCommand(HELP_CONTEXTPOPUP, 103));
    ASSERT_EQ(Log.Popups.size(), 1u);
    EXPECT_EQ(Log.Popups[0], "Type a line.@40,300");
    Router->ShowType = TShowType::stMain;
    EXPECT_TRUE(Router->HelpCommand(HELP_CONTEXTPOPUP, 103));
    EXPECT_EQ(Log.Popups.size(), 1u) << "the main-window show type turns pop-ups into topics";
    EXPECT_EQ(Log.Pages.back(), "file:dialog-goto.html");
}

TEST_F(HelpRouter, OnHelpIsAskedFirstAndMayEndTheRequest)
{
    std::vector<int> asked;
    Router->OnHelp = [&](int command, std::intptr_t, bool& callHelp) {
        asked.push_back(command);
        callHelp = command != HELP_CONTEXT;
        return true;
    };
    Router->Helpfile = Book;
    EXPECT_TRUE(Router->HelpCommand(HELP_CONTEXT, 103));
    EXPECT_TRUE(Log.Pages.empty());
    Router->HelpContents();
    EXPECT_EQ(asked, (std::vector<int>{HELP_CONTEXT, HELP_TAB}));
    EXPECT_EQ(Log.Pages, std::vector<std::string>{"file:index.html"});
}

TEST_F(HelpRouter, KeywordLookupInAManualFolder)
{
    Router->Helpfile = Manual;
    struct TKeywordCase {
        const char* Keyword;
        bool Found;
        const char* Page;
    } cases[] = {
        {"strlen", true, "file:function.strlen.html"},
        {"STRLEN", true, "file:function.strlen.html"},
        {"array_map", true, "file:function.array-map.html"},
        {"PDO", true, "file:class.pdo.html"},
        {"no_such_function", false, "file:indexes.functions.html"},
        {"../index", false, "file:indexes.functions.html"},
    };
    for (const TKeywordCase& c : cases) {
        Log.Pages.clear();
        EXPECT_EQ(Router->KeywordLookup(c.Keyword), c.Found) << c.Keyword;
        EXPECT_EQ(Log.Pages, (std::vector<std::string>{"file:index.html", c.Page})) << c.Keyword;
    }
    Log.Pages.clear();
    EXPECT_TRUE(Router->ShowIndex(std::string(1000, 'x')));
    EXPECT_EQ(Log.Pages, std::vector<std::string>{"file:indexes.functions.html"});
}

TEST_F(HelpRouter, KeywordLookupNeedsHtmlHelp)
{
    Router->HelpType = THelpType::htWinhelp;
    Router->Helpfile = Manual;
    EXPECT_FALSE(Router->KeywordLookup("strlen"));
    EXPECT_TRUE(Log.Pages.empty());
}

TEST(HelpBook, WebAddresses)
{
    const THelpBook templated("https://www.php.net/manual/en/function.%s.php");
    EXPECT_TRUE(templated.Exists());
    EXPECT_EQ(templated.Keyword("str_replace")->toString().toStdString(),
              "https://www.php.net/manual/en/function.str_replace.php");
    EXPECT_EQ(templated.Keyword("a b&c")->toString(QUrl::FullyEncoded).toStdString(),
              "https://www.php.net/manual/en/function.a%20b%26c.php");
    const THelpBook folder("https://www.php.net/manual/en/index.php");
    EXPECT_EQ(folder.Contents().toString().toStdString(), "https://www.php.net/manual/en/index.php");
    EXPECT_EQ(folder.Keyword("array_map")->toString().toStdString(),
              "https://www.php.net/manual/en/function.array-map.php");
    EXPECT_FALSE(THelpBook("").Exists());
    EXPECT_FALSE(THelpBook("/no/such/manual").Exists());
}

TEST(HelpViewer, LocalPagesShowInTheHelpWindowWebPagesReachTheBrowserOnce)
{
    TempDir dir;
    const std::string index = dir.Write("index.html", "<html><head><title>Zentu Help</title></head>"
                                                      "<body><a href=\"page.html\">p</a></body></html>");
    dir.Write("page.html", "<html><head><title>Page</title></head></html>");
    std::vector<std::string> opened;
    {
        TProgramHelpViewer viewer([&](const QUrl& url) { opened.push_back(url.toString().toStdString()); });
        EXPECT_TRUE(viewer.ShowPage(QUrl::fromLocalFile(QString::fromStdString(index))));
        ASSERT_NE(viewer.Window(), nullptr);
        EXPECT_TRUE(viewer.Window()->isVisible());
        EXPECT_FALSE(viewer.ShowPage(QUrl::fromLocalFile(QString::fromStdString(dir.File("missing.html")))));
        EXPECT_TRUE(viewer.ShowPage(QUrl(QStringLiteral("https://example.org/index.php"))));
        EXPECT_TRUE(viewer.ShowPage(QUrl(QStringLiteral("https://example.org/function.strlen.php"))));
        EXPECT_TRUE(opened.empty()) << "the browser opens after the request";
        QApplication::processEvents();
        EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/function.strlen.php"});
        viewer.ShowPage(QUrl(QStringLiteral("https://example.org/late.php")));
    }
    QApplication::processEvents();
    EXPECT_EQ(opened.size(), 1u) << "nothing opens after the viewer is gone";
}
