// The transfer log's lines, and the private local copies of remote files.

#include "src/ftp/FtpTestSupport.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPLocalCopies.h"
#include "ftp/zuFTPTransferLog.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(FTPTransferLog, LinesAndTheirPrefixes)
{
    const std::pair<std::string, std::string> commands[] = {
        {"USER alice", "COMMAND:> USER alice"},
        {"PASS s3cret", "COMMAND:> PASS *"},
        {"PASS secret@proxypass", "COMMAND:> PASS *"},
        {"SITE PASSWORD x", "COMMAND:> PASS *"},
        {"CWD /www  \r\n", "COMMAND:> CWD /www"},
    };
    for (const auto& [command, line] : commands)
        EXPECT_EQ(CommandLogLine(command), line);
    EXPECT_EQ(ReplyLogLine("226 Transfer complete.\r\n"), "226 Transfer complete.");
    EXPECT_EQ(StatusLogLine("Connected."), "STATUS:> Connected.");
    EXPECT_EQ(ExceptionLogLine("No such file or directory. "), "EXCEPTION:> No such file or directory.");
}

TEST(FTPTransferLog, ConversationWithAServerShowsNoPassword)
{
    TFtpServerFixture server;
    TNetFTP client;
    server.SetUp(client);
    TFTPTransferLog log;
    std::vector<std::string> lines;
    log.OnLine = [&](const std::string& line) { lines.push_back(line); };
    log.Attach(client);
    client.Connect();
    try {
        client.ChangeDir("missing");
    } catch (const ENetFTPError& e) {
        log.LogException(e);
    }
    client.Disconnect();
    client.Password = "wrong-secret";
    try {
        client.Connect();
    } catch (const ENetFTPError& e) {
        log.LogException(e);
    }
    log.Detach(client);
    const std::vector<std::string> expectedStart = {"STATUS:> Connecting to 127.0.0.1:" + std::to_string(server.Peer->Port()) + ".",
                                                    "220 pyftpdlib 1.5.7 ready.", "STATUS:> Connected.",
                                                    "COMMAND:> USER user", "331 Username ok, send password.",
                                                    "COMMAND:> PASS *", "230 Login successful."};
    ASSERT_GT(lines.size(), expectedStart.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 7), expectedStart);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "EXCEPTION:> No such file or directory."), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "STATUS:> Disconnected."), lines.end());
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find("secret"), std::string::npos) << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    }
}

TEST(FTPLocalCopies, EachCopyIsNewPrivateAndInsideTheFolder)
{
    TFTPLocalCopies copies;
    const std::string folder = copies.Folder();
    ASSERT_FALSE(folder.empty());
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    const std::pair<std::string, std::string> names[] = {
        {"/www/index.php", "index.php"}, {"../../etc/passwd", "passwd"}, {"..", "download"},
        {"a\\..\\b.php", "b.php"}, {"", "download"}, {"/www/sub/", "download"},
    };
    for (const auto& [remote, local] : names) {
        const std::string path = copies.SaveCopy(remote, "text of " + remote);
        EXPECT_EQ(QFileInfo(QString::fromStdString(path)).fileName().toStdString(), local) << remote;
        EXPECT_EQ(path.rfind(folder + "/", 0), 0u) << path;
        EXPECT_EQ(ReadWholeFile(path), "text of " + remote);
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    // A second copy of the same name is a new file: nothing of the first is appended to.
    const std::string first = copies.SaveCopy("/www/index.php", "first");
    const std::string second = copies.SaveCopy("/www/index.php", "second");
    EXPECT_NE(first, second);
    EXPECT_EQ(ReadWholeFile(second), "second");
    copies.Release(first);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(first)));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(QString::fromStdString(first)).path()));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(second)));
    // Paths it did not make are left alone.
    TempDir other;
    const std::string foreign = other.Write("keep.txt", "keep");
    copies.Release(foreign);
    copies.Release(folder);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(foreign)));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(folder)));
}

} // namespace
