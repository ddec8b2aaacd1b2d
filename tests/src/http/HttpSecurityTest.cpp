// Requests that try to leave the document root: dot segments in every encoding, backslashes,
// zero bytes, symbolic links that point outside, index names that climb. Each gets the
// access-denied refusal and never a byte from outside the root.

#include "src/http/HttpTestSupport.h"

#include "http/zuHttpPaths.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

constexpr std::string_view Secret = "TOP SECRET OUTSIDE THE ROOT";

class HttpSecurityTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Env.Dir.Write("secret.txt", Secret);
        Env.Dir.Write("secret.php", "<?php echo 'TOP SECRET ', 'OUTSIDE THE ROOT';");
        Env.WriteDoc("ok.txt", "OK");
        Env.WriteDoc("sub/x.txt", "X");
        ASSERT_EQ(::symlink((Env.Dir.Path() + "/secret.txt").c_str(), (Env.Root() + "link.txt").c_str()), 0);
        ASSERT_EQ(::symlink(Env.Dir.Path().c_str(), (Env.Root() + "linkdir").c_str()), 0);
        ASSERT_EQ(::symlink((Env.Dir.Path() + "/secret.php").c_str(), (Env.Root() + "evil.php").c_str()), 0);
        ASSERT_EQ(::symlink("ok.txt", (Env.Root() + "inner.txt").c_str()), 0);
    }

    TServerTestEnvironment Env;
};

} // namespace

TEST_F(HttpSecurityTest, EveryWayOutOfTheRootIsRefused)
{
    const std::vector<std::string> targets = {
        "/../secret.txt",
        "/sub/../../secret.txt",
        "/%2e%2e/secret.txt",
        "/%2E%2E/secret.txt",
        "/.%2e/secret.txt",
        "/..%2fsecret.txt",
        "/%2e%2e%2fsecret.txt",
        "/sub%2f..%2f..%2fsecret.txt",
        "/%252e%252e/secret.txt",
        "/%252e%252e%252fsecret.txt",
        "/..\\secret.txt",
        "/..%5csecret.txt",
        "/sub\\..\\..\\secret.txt",
        "/%5c..%5c..%5csecret.txt",
        "/ok.txt%00.php",
        "/..%00/secret.txt",
        "/%00",
        "/link.txt",
        "/linkdir/secret.txt",
        "/linkdir/www/../secret.txt",
        "/evil.php",
        "http://127.0.0.1/../secret.txt",
        "/../../../../../../../../etc/passwd",
        "//etc/passwd",
        "/%2e%2e/%2e%2e/%2e%2e/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
        "/..;/secret.txt",
    };
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const THttpReply reply = SendRaw(Env.Port(), "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        EXPECT_EQ(reply.Status, 403);
        EXPECT_EQ(reply.Body, AccessDeniedPage);
        EXPECT_EQ(reply.Raw.find("TOP SECRET"), std::string::npos);
        EXPECT_EQ(reply.Raw.find("root:"), std::string::npos);
    }
}

TEST_F(HttpSecurityTest, HeadAndPostAreRefusedTheSameWay)
{
    for (const std::string method : {"HEAD", "POST"}) {
        SCOPED_TRACE(method);
        const THttpReply reply =
            SendRaw(Env.Port(), method + " /%2e%2e/secret.txt HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
        EXPECT_EQ(reply.Status, 403);
        EXPECT_EQ(reply.Header("Content-Length").find(std::to_string(Secret.size())), std::string::npos);
        EXPECT_EQ(reply.Raw.find("TOP SECRET"), std::string::npos);
    }
}

TEST_F(HttpSecurityTest, AnIndexNameThatClimbsIsRefused)
{
    Env.Module->UpdateServerValues([](TServerValues& values) { values.IndexFiles = "../secret.txt,../secret.php"; });
    const THttpReply reply = HttpGet(Env.Port(), "/");
    EXPECT_EQ(reply.Status, 403);
    EXPECT_EQ(reply.Raw.find("TOP SECRET"), std::string::npos);
}

TEST_F(HttpSecurityTest, PathsThatStayInsideAreServed)
{
    const std::vector<std::string> targets = {"/ok.txt", "/sub/../ok.txt", "/./ok.txt", "/%6fk.txt",
                                              "/sub/%2e%2e/ok.txt", "/sub\\..\\ok.txt", "/inner.txt", "//ok.txt"};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        const THttpReply reply = HttpGet(Env.Port(), target);
        EXPECT_EQ(reply.Status, 200);
        EXPECT_EQ(reply.Body, "OK");
    }
}

TEST(RequestPaths, DocumentsMapBelowTheRootOrNowhere)
{
    struct Case {
        std::string root;
        std::string document;
        bool inside;
        std::string path;
    };
    const std::vector<Case> cases = {
        {"/srv/www/", "/a.php", true, "/srv/www/a.php"},
        {"/srv/www/", "/", true, "/srv/www"},
        {"/srv/www/", "", true, "/srv/www"},
        {"/srv/www/", "/sub/../a.php", true, "/srv/www/a.php"},
        {"/srv/www/", "/sub/./b//c", true, "/srv/www/sub/b/c"},
        {"/srv/www/", "/sub\\a.php", true, "/srv/www/sub/a.php"},
        {"/srv/www/", "/..", false, ""},
        {"/srv/www/", "/sub/../../x", false, ""},
        {"/srv/www/", "\\..\\x", false, ""},
        {"/srv/www/", std::string("/a\0b", 4), false, ""},
        {"/srv/www", "/a", true, "/srv/www/a"},
        {"/srv/./www/../www/", "/a", true, "/srv/www/a"},
        {"/", "/etc/passwd", true, "/etc/passwd"},
        {"/", "/../etc", false, ""},
        {"/srv/we\\ird/", "/a", true, "/srv/we\\ird/a"},
        // "/.." is "/": a root that begins so still names its own folder.
        {"/../srv/www/", "/a", true, "/srv/www/a"},
        {"/../srv/www/", "/../a", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root + " + " + c.document);
        std::string path = "unchanged";
        EXPECT_EQ(MapDocumentToPath(c.root, c.document, path), c.inside);
        EXPECT_EQ(path, c.path);
    }
}

TEST(RequestPaths, LinksAreResolvedBeforeTheContainmentCheck)
{
    TempDir dir;
    dir.Write("root/in.txt", "in");
    dir.Write("out.txt", "out");
    const std::string root = dir.Path() + "/root/";
    ASSERT_EQ(::symlink((dir.Path() + "/out.txt").c_str(), (root + "out-link").c_str()), 0);
    ASSERT_EQ(::symlink("in.txt", (root + "in-link").c_str()), 0);
    std::string resolved;
    EXPECT_TRUE(ResolveInsideRoot(root, root + "in.txt", resolved));
    EXPECT_EQ(resolved, root + "in.txt");
    EXPECT_TRUE(ResolveInsideRoot(root, root + "in-link", resolved));
    EXPECT_EQ(resolved, root + "in.txt");
    EXPECT_FALSE(ResolveInsideRoot(root, root + "out-link", resolved));
    EXPECT_EQ(resolved, "");
    EXPECT_FALSE(ResolveInsideRoot(root, root + "missing", resolved));
    // A sibling whose name begins with the root's name is not inside it.
    dir.Write("root2/x.txt", "x");
    EXPECT_FALSE(ResolveInsideRoot(root, dir.Path() + "/root2/x.txt", resolved));
}

TEST_F(HttpSecurityTest, OnlyLoopbackHostNamesReachTheProject)
{
    // A page whose DNS name was rebound to 127.0.0.1 still sends its own name as the host.
    const std::string port = std::to_string(Env.Port());
    struct Case {
        std::string host;
        int status;
    };
    const std::vector<Case> cases = {
        {"127.0.0.1", 200},
        {"127.0.0.1:" + port, 200},
        {"localhost", 200},
        {"LocalHost:" + port, 200},
        {"localhost.", 200},
        {"127.1.2.3:80", 200},
        {"[::1]:" + port, 200},
        {"evil.example", 403},
        {"evil.example:" + port, 403},
        {"127.0.0.1.evil.example", 403},
        {"localhost.evil.example:" + port, 403},
        {"evil.example@127.0.0.1", 403},
        {"10.0.0.1", 403},
        {"[::2]", 403},
        {"[localhost]", 403},
        {"localhost:80:80", 403},
        {"localhost:http", 403},
        {"::1", 403},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        for (const std::string target : {"/ok.txt", "/secret.php"}) {
            Env.WriteDoc("secret.php", "<?php echo 'TOP SECRET';");
            const THttpReply reply = SendRaw(Env.Port(), "GET " + target + " HTTP/1.1\r\nHost: " + c.host + "\r\n\r\n");
            EXPECT_EQ(reply.Status, c.status);
            if (c.status == 403) {
                EXPECT_EQ(reply.Body, AccessDeniedPage);
                EXPECT_EQ(reply.Raw.find("TOP SECRET"), std::string::npos);
            }
        }
    }
}

TEST_F(HttpSecurityTest, TheProjectsOwnHostPassesOnlyWhenItNamesTheLoopback)
{
    Env.Module->HostResolvesToLoopback = [](const std::string& name) {
        return name == "mysite.test" || name == "MySite.Test";
    };
    const auto status = [this](const std::string& host) {
        return SendRaw(Env.Port(), "GET /ok.txt HTTP/1.1\r\nHost: " + host + "\r\n\r\n").Status;
    };
    EXPECT_EQ(status("mysite.test:7905"), 403) << "no project names it yet";
    Env.Module->UpdateServerValues([](TServerValues& values) { values.ProjectHost = "mysite.test"; });
    EXPECT_EQ(status("mysite.test:7905"), 200);
    EXPECT_EQ(status("MySite.Test"), 200);
    EXPECT_EQ(status("other.test"), 403);
    Env.Module->UpdateServerValues([](TServerValues& values) { values.ProjectHost = "remote.test"; });
    EXPECT_EQ(status("remote.test"), 403) << "a project host that is not a loopback name gains nothing";
}

TEST(HostHeaders, OnlyLoopbackAddressesCountAsLoopbackNames)
{
    EXPECT_TRUE(ResolvesToLoopback("localhost"));
    EXPECT_TRUE(ResolvesToLoopback("127.0.0.5"));
    EXPECT_TRUE(ResolvesToLoopback("::1"));
    EXPECT_FALSE(ResolvesToLoopback("10.1.2.3"));
    EXPECT_FALSE(ResolvesToLoopback(""));
    const auto never = [](const std::string&) { return false; };
    EXPECT_TRUE(HostHeaderAllowed("", "", never)) << "clients without a Host header are no browsers";
    EXPECT_FALSE(HostHeaderAllowed("site.test", "site.test", never));
    EXPECT_FALSE(HostHeaderAllowed("site.test", "site.test", nullptr));
    EXPECT_TRUE(HostHeaderAllowed("site.test.:99", "site.test", [](const std::string&) { return true; }));
}
