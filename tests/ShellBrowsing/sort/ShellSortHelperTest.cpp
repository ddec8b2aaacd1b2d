#include "ShellBrowsing/Source/sort/ShellSortHelper.h"
#include "ShellBrowsing/Source/sort/Streamable.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {

class TShellSort : public TShellTest {
protected:
    void SetTime(const std::string& name, long seconds)
    {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ::utimensat(AT_FDCWD, PathOf(name).c_str(), times, 0);
    }
};

} // namespace

TEST_F(TShellSort, FoldersComeFirstUnderEveryOperationButTheFoldersOrder)
{
    MakeDir("zz-folder");
    MakeFile("aa-file", "1234");
    TShellSortHelper helper;
    TNamespace* folder = Child("zz-folder");
    TNamespace* file = Child("aa-file");
    EXPECT_LT(helper.SortFileSize(folder, file), 0);
    EXPECT_GT(helper.SortFileSize(file, folder), 0);
    EXPECT_LT(helper.SortFileTime(FILETIME{9}, FILETIME{1}, folder, file), 0);
    EXPECT_LT(helper.SortString(QStringLiteral("z"), QStringLiteral("a"), folder, file), 0);
    EXPECT_LT(helper.SortType(folder, file), 0);
    helper.FileSort = TFileSort::fsFileExtension;
    EXPECT_LT(helper.SortType(folder, file), 0);
    EXPECT_EQ(helper.DiscriminateFolders(file, file), 0);
    // The folder's own order is by name alone.
    EXPECT_GT(helper.CompareIDSort(0, folder, file), 0);
}

TEST_F(TShellSort, EqualKeysFallBackToTheNameOrder)
{
    MakeFile("b.txt", "same");
    MakeFile("a.zip", "same");
    MakeFile("c.txt", "same!");
    SetTime("b.txt", 1000);
    SetTime("a.zip", 1000);
    TShellSortHelper helper;
    TNamespace* b = Child("b.txt");
    TNamespace* a = Child("a.zip");
    TNamespace* c = Child("c.txt");
    EXPECT_GT(helper.SortFileSize(b, a), 0);
    EXPECT_LT(helper.SortFileSize(a, b), 0);
    EXPECT_LT(helper.SortFileSize(b, c), 0);
    EXPECT_GT(helper.SortFileTime(b->ModifiedTime(), a->ModifiedTime(), b, a), 0);
    EXPECT_EQ(helper.CompareIDSort(0, a, a), 0);

    helper.FileSort = TFileSort::fsFileExtension;
    EXPECT_LT(helper.SortType(b, a), 0) << ".txt sorts before .zip";
    EXPECT_LT(helper.SortType(b, c), 0) << "equal extensions keep the name order";
    helper.FileSort = TFileSort::fsFileType;
    EXPECT_EQ(helper.SortType(b, c), helper.CompareIDSort(0, b, c));
}

TEST_F(TShellSort, ColumnsChooseTheirComparison)
{
    MakeFile("small", "1");
    MakeFile("large", "123456789");
    SetTime("small", 2000);
    SetTime("large", 1000);
    TShellSortHelper helper;
    TNamespace* small = Child("small");
    TNamespace* large = Child("large");
    EXPECT_GT(helper.SortColumn(0, small, large), 0);
    EXPECT_GT(helper.SortColumn(-1, small, large), 0);
    EXPECT_LT(helper.SortColumn(1, small, large), 0);
    EXPECT_GT(helper.SortColumn(3, small, large), 0);
    EXPECT_LT(helper.SortColumn(7, large, small), 0);
}

TEST(Streamable, VersionIsWrittenAndReadWhenAsked)
{
    TStreamableClass object;
    EXPECT_EQ(object.StreamVersion, -1);
    TMemoryStream stream;
    object.SaveToStream(stream, 3, true);
    EXPECT_EQ(object.StreamVersion, 3);
    EXPECT_EQ(stream.Size(), 4);
    stream.SetPosition(0);
    TStreamableClass loaded;
    loaded.LoadFromStream(stream, 7, true);
    EXPECT_EQ(loaded.StreamVersion, 3);
    TMemoryStream empty;
    loaded.LoadFromStream(empty, 7, false);
    EXPECT_EQ(loaded.StreamVersion, 7);
    EXPECT_THROW(loaded.LoadFromStream(empty, 7, true), EReadError);

    TStreamableList list;
    int a = 1;
    list.Add(&a);
    TMemoryStream listStream;
    list.SaveToStream(listStream, 2, true);
    listStream.SetPosition(0);
    list.LoadFromStream(listStream, 0, true);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.StreamVersion, 2);
}

TEST_F(TShellSort, StreamableFilesRoundTripAndReportMissingFiles)
{
    TStreamableClass object;
    const QString path = QString::fromStdString(PathOf("object.dat"));
    object.SaveToFile(path, 5, true);
    TStreamableClass back;
    back.LoadFromFile(path, 0, true);
    EXPECT_EQ(back.StreamVersion, 5);
    EXPECT_THROW(back.LoadFromFile(QString::fromStdString(PathOf("none")), 0, true), EFCreateError);
}
