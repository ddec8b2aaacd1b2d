// What items of a folder answer about their types and their data on disk, asked as the explorer
// asks them: one namespace for the folder, one per child.

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <QMimeDatabase>
#include <algorithm>
#include <fcntl.h>
#include <map>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TItemAnswers : public TShellTest {};

// The type name and icon the shared MIME database gives a file of that name, asked directly.
struct TDatabaseAnswer {
    QString TypeName;
    QString IconName;
};

TDatabaseAnswer DatabaseAnswer(const std::string& name)
{
    const QString text = DisplayText(name);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(text, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault()) {
        const QString ext = ExtractFileExtW(text);
        return {ext.size() <= 1 ? QStringLiteral("File") : ext.toUpper() + QString::fromUtf8(ShellTexts::FileSuffix),
                QStringLiteral("unknown;text-x-generic")};
    }
    const QString generic = type.genericIconName();
    return {type.comment(),
            generic.isEmpty() || generic == type.iconName() ? type.iconName() : type.iconName() + u';' + generic};
}

// Pairs of names that end alike but that the database tells apart by the rest of the name
// (names, prefixes, backup and revision suffixes, letter case), and names outside ASCII.
const char* const TypedNames[] = {
    "index.php",      "notes.txt",     "CMakeLists.txt", "cmakelists.txt", "a.b.txt",       "README",
    "readme.txt",     "README.md",     "ChangeLog",      "changelog.md",   "Makefile",      "makefile.am",
    "Makefile.in",    "GNUmakefile",   "makefile",       "core",           "core.php",      "page.php~",
    "page.php.bak",   "file.txt,v",    "001.vdr",        "x.vdr",          "meson.build",   "b.build",
    "pom.xml",        "data.xml",      "lib.so.1",       "man.1",          "x.c",           "x.C",
    "x.tar.gz",       "x.gz",          "PHOTO.JPG",      "photo.jpg",      ".htaccess",     ".hidden.php",
    "noext",          "x.",            "a.b.unknownext", "r\xC3\xA9sum\xC3\xA9.txt", "caf\xE9.php", "AUTHORS",
    "authors.txt",    "winmail.dat",   "settings.xml",   "%percent",       "tmp%",          "x.PHP",
};

} // namespace

TEST_F(TItemAnswers, TypeNamesAndIconsAreTheDatabaseAnswersForEachName)
{
    std::vector<std::string> names(std::begin(TypedNames), std::end(TypedNames));
    for (const std::string& name : names)
        MakeFile(name, "<?php\n");
    // Both orders: a name must never take the type another name of the same ending was given.
    for (int pass = 0; pass < 2; ++pass) {
        const auto folder = Item(Dir());
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            TNamespace item(MakeItem(TItemKind::Entry, name), folder.get());
            const TDatabaseAnswer expected = DatabaseAnswer(name);
            EXPECT_EQ(item.FileTypeText(), expected.TypeName);
            EXPECT_EQ(item.IconName(false), expected.IconName);
        }
        std::reverse(names.begin(), names.end());
    }
    // A few answers as people read them, so that the database answer above is not an empty one.
    EXPECT_EQ(Child("index.php")->FileTypeText(), QStringLiteral("PHP script"));
    EXPECT_EQ(Child("notes.txt")->FileTypeText(), QStringLiteral("plain text document"));
    EXPECT_EQ(Child("noext")->FileTypeText(), QStringLiteral("File"));
    EXPECT_EQ(Child("a.b.unknownext")->FileTypeText(), QStringLiteral(".UNKNOWNEXT File"));
    EXPECT_NE(Child("CMakeLists.txt")->FileTypeText(), Child("notes.txt")->FileTypeText());
    EXPECT_NE(Child("Makefile")->FileTypeText(), Child("noext")->FileTypeText());
    EXPECT_NE(Child("page.php~")->FileTypeText(), Child("index.php")->FileTypeText());
}

TEST_F(TItemAnswers, EnumeratedItemsAnswerAttributesSizesAndTimesOfTheirEntry)
{
    MakeFile("page.php", "<?php echo 1;");
    MakeFile(".hidden", "12");
    MakeDir("sub");
    MakeLink("to-page", PathOf("page.php"));
    MakeLink("to-sub", PathOf("sub"));
    MakeLink("broken", "nowhere");
    const std::string locked = MakeFile("locked.txt", "abcd");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(::mkfifo(PathOf("pipe").c_str(), 0644), 0);
    const bool root = ::geteuid() == 0;

    const struct {
        const char* Name;
        std::int64_t Size;
        const char* Attributes;
        bool Directory;
        bool Normal;
        bool Link;
        const char* Type;
    } cases[] = {
        {"page.php", 13, "", false, true, false, "PHP script"},
        {".hidden", 2, "H", false, false, false, ".HIDDEN File"},
        {"sub", 0, "", true, false, false, "folder"},
        {"to-page", 13, "", false, false, true, "File"},
        {"to-sub", 0, "", true, false, true, "folder"},
        {"broken", 7, "", false, false, true, "symbolic link"},
        {"locked.txt", 4, root ? "" : "R", false, root, false, "plain text document"},
        {"pipe", 0, "S", false, false, false, "pipe"},
    };
    // Every entry gets its own times; a link's are its target's, a broken link's its own.
    std::int64_t second = 1400000000;
    std::map<std::string, std::int64_t> modified;
    for (const auto& c : cases) {
        second += 1000;
        const struct timespec times[2] = {{second - 500, 0}, {second, 0}};
        const int flags = std::string_view(c.Name) == "broken" ? AT_SYMLINK_NOFOLLOW : 0;
        if (std::string_view(c.Name).starts_with("to-"))
            continue;
        ASSERT_EQ(::utimensat(AT_FDCWD, PathOf(c.Name).c_str(), times, flags), 0) << c.Name;
        modified[c.Name] = second;
    }
    modified["to-page"] = modified["page.php"];
    modified["to-sub"] = modified["sub"];

    // The questions in different orders: whichever comes first reads the entry for the others.
    for (int order = 0; order < 3; ++order) {
        const auto folder = Item(Dir());
        int seen = 0;
        folder->EnumerateFolder(TFileObjects{TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden},
                                [&](TNamespace& parent, PItemIDList child, bool&) {
            TNamespace item(child, &parent);
            const std::string name(ItemName(item.RelativePIDL()));
            const auto c = std::find_if(std::begin(cases), std::end(cases),
                                        [&](const auto& row) { return name == row.Name; });
            if (c == std::end(cases))
                return false;
            SCOPED_TRACE(name + " in order " + std::to_string(order));
            ++seen;
            if (order == 1) {
                EXPECT_EQ(item.ModifiedTime(), FileTimeFromUnix(modified[name], 0));
            } else if (order == 2) {
                EXPECT_EQ(item.FileTypeText(), QString::fromUtf8(c->Type));
            }
            EXPECT_EQ(item.FileSizeBytes(), c->Size);
            EXPECT_EQ(item.ModifiedTime(), FileTimeFromUnix(modified[name], 0));
            // why: looking at a link reads it, which may set its own access time.
            if (name != "broken") {
                EXPECT_EQ(item.AccessedTime(), FileTimeFromUnix(modified[name] - 500, 0));
            }
            EXPECT_EQ(item.AttributesText(), QString::fromLatin1(c->Attributes));
            EXPECT_EQ(item.IsDirectoryAttr(), c->Directory);
            EXPECT_EQ(item.IsNormalAttr(), c->Normal);
            EXPECT_EQ(item.IsFolderItem(), c->Directory);
            EXPECT_EQ(item.IsShellLinkItem(), c->Link);
            EXPECT_EQ(item.FileTypeText(), QString::fromUtf8(c->Type));
            EXPECT_TRUE(item.IsFileSystemItem());
            return true;
        });
        EXPECT_EQ(seen, static_cast<int>(std::size(cases)));
    }
}

TEST_F(TItemAnswers, AnswersHoldUntilInvalidationAndThenFollowTheDisk)
{
    const std::string path = MakeFile("grows.txt", "a");
    const struct timespec first[2] = {{1500000000, 0}, {1500000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), first, 0), 0);
    TNamespace* item = Child("grows.txt");
    ASSERT_NE(item->FindData(), nullptr);
    EXPECT_EQ(item->FileSizeBytes(), 1);
    EXPECT_EQ(item->ModifiedTime(), FileTimeFromUnix(1500000000, 0));

    MakeFile("grows.txt", "abcdef");
    const struct timespec second[2] = {{1600000000, 0}, {1600000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), second, 0), 0);
    EXPECT_EQ(item->FileSizeBytes(), 1);
    EXPECT_EQ(item->ModifiedTime(), FileTimeFromUnix(1500000000, 0));

    item->InvalidateCache();
    EXPECT_EQ(item->ModifiedTime(), FileTimeFromUnix(1600000000, 0));
    EXPECT_EQ(item->FileSizeBytes(), 6);
    // The find data keeps the times it was refreshed with.
    EXPECT_EQ(item->FindData()->Modified, FileTimeFromUnix(1600000000, 0));

    // The entry becomes a folder of the same name: the item follows after invalidation.
    ASSERT_EQ(::unlink(path.c_str()), 0);
    MakeDir("grows.txt");
    item->InvalidateNamespace(true);
    EXPECT_TRUE(item->IsFolderItem());
    EXPECT_EQ(item->FileSizeBytes(), 0);
    EXPECT_EQ(item->FileTypeText(), QStringLiteral("folder"));
    EXPECT_EQ(item->AttributesText(), QString());

    // Gone: nothing is answered from what was read before.
    ASSERT_EQ(::rmdir(path.c_str()), 0);
    item->InvalidateNamespace(true);
    EXPECT_FALSE(item->IsFileSystemItem());
    EXPECT_EQ(item->FindData(), nullptr);
    EXPECT_EQ(item->FileSizeBytes(), 0);
    EXPECT_EQ(item->ModifiedTime(), FILETIME{});
    EXPECT_EQ(item->FileTypeText(), QString());
}
