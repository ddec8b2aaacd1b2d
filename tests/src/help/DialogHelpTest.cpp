// F1 in the program's dialogs: every dialog has a help context whose page the program's help
// book holds, and the key shows that page (not the PHP manual) while other keys and other
// windows are left alone.

#include "help/zuDialogHelp.h"
#include "help/zuHelpBook.h"
#include "help/zuHelpRouter.h"

#include "app/zuFolders.h"
#include "experts/zuTagCaseForm.h"

#include "Platform/core/Application.h"

#include <QDialog>
#include <QDirIterator>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {

const std::string SourceFolder = ZENTU_TEST_SOURCE_DIR "/../../src/";
const std::string ShippedBook = SourceFolder + "data/help/";

// The names of the classes in src/ that derive from QDialog.
std::set<std::string> DialogClassesInSource()
{
    std::set<std::string> names;
    const QRegularExpression declaration(QStringLiteral(R"(class\s+(T\w+)\s*(?:final\s*)?:\s*public\s+QDialog\b)"));
    QDirIterator it(QString::fromStdString(SourceFolder), {QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        std::ifstream file(it.next().toStdString());
        std::stringstream text;
        text << file.rdbuf();
        auto matches = declaration.globalMatch(QString::fromStdString(text.str()));
        while (matches.hasNext())
            names.insert(matches.next().captured(1).toStdString());
    }
    return names;
}

class TPageLog : public THelpViewer {
public:
    explicit TPageLog(std::vector<std::string>& pages) : FPages(pages) {}
    bool ShowPage(const QUrl& page) override
    {
        FPages.push_back(QFileInfo(page.toLocalFile()).fileName().toStdString());
        return true;
    }
    void ShowPopup(const std::string&, QPoint) override {}
    void CloseAll() override {}

private:
    std::vector<std::string>& FPages;
};

struct DialogHelp : ::testing::Test {
    void SetUp() override
    {
        SavedDataFolder = DataFolder;
        DataFolder = SourceFolder + "data/";
        Router = std::make_unique<THelpRouter>(nullptr);
        Router->HelpType = THelpType::htHTMLhelp;
        Router->ViewerFactory = [this] { return std::make_unique<TPageLog>(Pages); };
    }
    void TearDown() override
    {
        Router.reset();
        DataFolder = SavedDataFolder;
    }

    std::string SavedDataFolder;
    std::vector<std::string> Pages;
    std::unique_ptr<THelpRouter> Router;
};

} // namespace

TEST(DialogHelpContexts, EveryDialogHasAContextWhosePageTheBookHolds)
{
    std::set<std::string> withContext;
    const THelpBook book(ShippedBook);
    for (const TDialogHelpContext& dialog : DialogHelpContexts()) {
        SCOPED_TRACE(dialog.ClassName);
        withContext.insert(dialog.ClassName);
        const std::optional<QUrl> page = book.Context(dialog.Context);
        ASSERT_TRUE(page.has_value()) << "context " << dialog.Context << " is not in the help map";
        EXPECT_TRUE(QFileInfo(page->toLocalFile()).isFile());
    }
    const std::set<std::string> dialogs = DialogClassesInSource();
    ASSERT_GE(dialogs.size(), 15u) << "the sources were not read";
    for (const std::string& name : dialogs)
        EXPECT_TRUE(withContext.count(name)) << name << " has no help context";
}

TEST(DialogHelpContexts, EveryPageOfTheHelpMapExistsAndIsListedInTheContents)
{
    std::ifstream map(ShippedBook + "helpmap.dat");
    std::ifstream contents(ShippedBook + "index.html");
    std::stringstream index;
    index << contents.rdbuf();
    int pages = 0;
    for (std::string line; std::getline(map, line);) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '[' || equals == std::string::npos || line.find(".html") == std::string::npos)
            continue;
        const std::string page = line.substr(equals + 1);
        SCOPED_TRACE(line);
        EXPECT_TRUE(QFileInfo(QString::fromStdString(ShippedBook + page)).isFile());
        EXPECT_NE(index.str().find("href=\"" + page + "\""), std::string::npos);
        ++pages;
    }
    EXPECT_GT(pages, 20);
}

TEST_F(DialogHelp, F1InADialogShowsItsPageOfTheProgramsHelp)
{
    Router->Helpfile = "/somewhere/php-manual/"; // the last F1 in a document showed the manual
    TTagCaseForm dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(dialog.UpperCaseButton, Qt::Key_F1);
    EXPECT_EQ(Pages, std::vector<std::string>{"dialog-tagcase.html"});

    // Other keys and F1 with a modifier are the dialog's own.
    Pages.clear();
    QTest::keyClick(dialog.UpperCaseButton, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(dialog.UpperCaseButton, Qt::Key_F2);
    EXPECT_TRUE(Pages.empty());

    // A window without a context gets its F1 as any other key.
    QDialog plain;
    auto* edit = new QLineEdit(&plain);
    int seen = 0;
    struct TKeyCount : QObject {
        int& Seen;
        explicit TKeyCount(int& seen) : Seen(seen) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress)
                ++Seen;
            return false;
        }
    } counter(seen);
    edit->installEventFilter(&counter);
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_TRUE(Pages.empty());
    EXPECT_EQ(seen, 1);
}

TEST_F(DialogHelp, TheRouterIsTheApplicationsHelpWhileItExists)
{
    ASSERT_TRUE(Application()->HelpContext(103));
    EXPECT_EQ(Pages, std::vector<std::string>{"dialog-goto.html"});
    Router.reset();
    EXPECT_FALSE(Application()->HelpContext(103)) << "the application's help is what it was before";
    TTagCaseForm dialog;
    QTest::keyClick(dialog.UpperCaseButton, Qt::Key_F1); // nobody to ask; nothing happens
    EXPECT_EQ(Pages.size(), 1u);
}
