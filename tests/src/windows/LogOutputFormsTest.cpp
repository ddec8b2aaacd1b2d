// The server logs window: the last 10240 bytes of the chosen log below its heading, the message
// for a log it cannot find, a list emptied by closing, and a shown log that follows its file as
// it grows; and the output window's place rules and the line a double-clicked message names.

#include "windows/zuLogForm.h"
#include "windows/zuOutputForm.h"

#include "settings/zentuIniFiles.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "ExLib/run/lists/ExTextListBox.h"

#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct LogWindow {
    LogWindow()
    {
        style = new TExDockVSNetStyle(&owner);
        settings = std::make_unique<TIniFileEx>(dir.File("Zentupad.dat"));
        form = std::make_unique<TLogForm>(style, settings.get());
    }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < form->LogListBox->Items().Count(); ++i)
            rows.push_back(form->LogListBox->Items()[i]);
        return rows;
    }
    void Append(const std::string& path, const std::string& bytes) const
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    TempDir dir;
    TExForm owner{nullptr};
    TExDockVSNetStyle* style;
    std::unique_ptr<TIniFileEx> settings;
    std::unique_ptr<TLogForm> form;
};

} // namespace

TEST(LogForm, AMissingOrEmptySettingGivesTheMessageNamingTheLog)
{
    LogWindow w;
    w.form->ErrorLogClick();
    EXPECT_EQ(w.Rows(), std::vector<std::string>{"Unable to find error log! Please check environment options"});
    w.settings->WriteString("HTTPServer", "AccessLog", w.dir.File("no-such.log"));
    w.form->AccessLogClick();
    EXPECT_EQ(w.Rows(), std::vector<std::string>{"Unable to find access log! Please check environment options"});
}

TEST(LogForm, ASmallLogShowsWholeAndALargeOneOnlyItsLastTenKilobytes)
{
    LogWindow w;
    std::string small;
    for (int i = 0; i < 100; ++i) {
        std::string line = "line " + std::to_string(1000 + i) + " of the error log, padded";
        line.resize(49, '.');
        small += line + "\n";
    }
    ASSERT_EQ(small.size(), 100u * 50);
    w.settings->WriteString("HTTPServer", "ErrorLog", w.dir.Write("error.log", small));
    w.form->ErrorLogClick();
    std::vector<std::string> rows = w.Rows();
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], "LAST PART OF ERROR LOG");
    EXPECT_EQ(rows[1], small.substr(0, 49));

    std::string large;
    int n = 0;
    while (large.size() < 1024 * 1024)
        large += "access " + std::to_string(n++) + " GET /index.php HTTP/1.1 200\r\n";
    w.settings->WriteString("HTTPServer", "AccessLog", w.dir.Write("access.log", large));
    w.form->AccessLogClick();
    rows = w.Rows();
    EXPECT_EQ(rows[0], "LAST PART OF ACCESS LOG");
    size_t shown = 0;
    for (size_t i = 1; i < rows.size(); ++i)
        shown += rows[i].size() + 2;
    EXPECT_EQ(shown, 10240u) << "the last 10240 bytes";
    EXPECT_EQ(rows.back(), "access " + std::to_string(n - 1) + " GET /index.php HTTP/1.1 200");
    EXPECT_EQ(large.substr(large.size() - 10240, rows[1].size()), rows[1]) << "the first line may start mid-line";
}

TEST(LogForm, ClosingEmptiesTheListAndAShownLogFollowsItsFile)
{
    LogWindow w;
    const std::string path = w.dir.Write("error.log", "one\n");
    w.settings->WriteString("HTTPServer", "ErrorLog", path);
    w.form->ErrorLogClick();
    EXPECT_EQ(w.Rows(), (std::vector<std::string>{"LAST PART OF ERROR LOG", "one"}));

    w.Append(path, "two\nthr");
    w.Append(path, "ee\n");
    QElapsedTimer clock;
    clock.start();
    while (w.Rows().size() < 4 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    while (w.Rows().back() != "three" && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(w.Rows(), (std::vector<std::string>{"LAST PART OF ERROR LOG", "one", "two", "three"}));

    w.form->show();
    w.form->close();
    EXPECT_TRUE(w.Rows().empty());
    EXPECT_FALSE(w.form->isVisible());
    EXPECT_TRUE(w.form->ShownFile().empty()) << "a closed window follows no file";
}

TEST(OutputForm, TheOutputWindowDocksAnywhereButAtTheTop)
{
    TExForm owner(nullptr);
    auto* style = new TExDockVSNetStyle(&owner);
    TOutputForm output(style);
    EXPECT_EQ(output.Name(), "OutputForm");
    EXPECT_EQ(output.Caption(), "Output");
    EXPECT_FALSE(output.DockClient()->TopDock());
    EXPECT_TRUE(output.DockClient()->BottomDock());
    EXPECT_EQ(output.DockClient()->DockStyle(), style);
    EXPECT_FALSE(output.isVisible());
}

TEST(OutputForm, AMessageNamesItsFileAndLine)
{
    struct Case {
        std::string Message;
        bool Found;
        std::string File;
        int Line;
    };
    const std::vector<Case> cases = {
        {"PHP Parse error:  syntax error, unexpected end of file in /srv/www/a.php on line 12", true,
         "/srv/www/a.php", 12},
        {"Parse error: syntax error, unexpected token \"in\" in /srv/www/b~znt~.php on line 3", true,
         "/srv/www/b~znt~.php", 3},
        {"PHP Fatal error:  Cannot redeclare f() in /home/me/my files in here/c.php on line 7", true,
         "/home/me/my files in here/c.php", 7},
        {"Warning: something on line 40", true, "", 40},
        {"No syntax errors detected in /srv/www/a.php", false, "", 0},
        {"Errors parsing /srv/www/a.php", false, "", 0},
        {"an error in /srv/www/a.php on line ", false, "", 0},
        {"an error in /srv/www/a.php on line 0", false, "", 0},
        {"", false, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        std::string file = "unchanged";
        int line = -1;
        EXPECT_EQ(ParseMessageLocation(c.Message, file, line), c.Found);
        if (c.Found) {
            EXPECT_EQ(file, c.File);
            EXPECT_EQ(line, c.Line);
        }
    }
}

TEST(OutputForm, ADoubleClickOnAMessageWithALineAsksForThatLine)
{
    TExForm owner(nullptr);
    auto* style = new TExDockVSNetStyle(&owner);
    TOutputForm output(style);
    output.resize(600, 200);
    output.show();
    TStrings& items = output.OutputEdit->Items();
    items.Add("PHP Parse error:  syntax error, unexpected end of file in /srv/www/a.php on line 12");
    items.Add("Errors parsing /srv/www/a.php");
    std::vector<std::pair<std::string, int>> asked;
    output.OnShowLine = [&](const std::string& file, int line) { asked.emplace_back(file, line); };
    QListWidget& list = *output.OutputEdit;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&output));

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
    EXPECT_TRUE(asked.empty()) << "a message without a line asks for nothing";
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, int>>{{"/srv/www/a.php", 12}}));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, QPoint(5, list.viewport()->height() - 3));
    EXPECT_EQ(asked.size(), 1u) << "a double-click below the messages asks for nothing";
}
