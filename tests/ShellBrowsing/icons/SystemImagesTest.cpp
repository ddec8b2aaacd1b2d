#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "support/WaitFor.h"

#include <thread>

TEST(SystemImages, SharedListsAreMadeOnceAtTheirSizes)
{
    TShellSysImages* small = SmallSysImages();
    EXPECT_EQ(SmallSysImages(), small);
    EXPECT_EQ(small->Width(), 16);
    EXPECT_EQ(LargeSysImages(), LargeSysImages());
    EXPECT_EQ(LargeSysImages()->Width(), 32);
    EXPECT_EQ(LargeSysImages()->ImageSize(), TSysImageSize::Large);
    EXPECT_GE(small->Count(), static_cast<int>(SystemIcon::FixedCount));
    const QImage folder = small->Image(SystemIcon::Folder);
    EXPECT_EQ(folder.size(), QSize(16, 16));
    EXPECT_EQ(LargeSysImages()->Image(SystemIcon::Folder).size(), QSize(32, 32));
}

TEST(SystemImages, FreeingOneListLeavesTheTableToTheOthers)
{
    auto own = std::make_unique<TShellSysImages>(nullptr, TSysImageSize::ExtraLarge);
    EXPECT_EQ(own->Width(), 48);
    const int before = TSystemIconTable::Instance().Count();
    own.reset();
    EXPECT_EQ(TSystemIconTable::Instance().Count(), before);
    const int index = TSystemIconTable::Instance().IndexOf(QStringLiteral("zentu-test-only-icon;text-x-generic"));
    EXPECT_EQ(SmallSysImages()->Count(), TSystemIconTable::Instance().Count());
    EXPECT_FALSE(SmallSysImages()->Image(index).isNull());
}

TEST(SystemImages, IndicesAskedOnAWorkerThreadReachTheListsOnTheGuiThread)
{
    TShellSysImages* small = SmallSysImages();
    int index = -1;
    std::thread worker([&] { index = TSystemIconTable::Instance().IndexOf(QStringLiteral("zentu-worker-icon;folder")); });
    worker.join();
    EXPECT_EQ(TSystemIconTable::Instance().IndexOf(QStringLiteral("zentu-worker-icon;folder")), index);
    EXPECT_TRUE(WaitFor([&] { return small->Count() > index; }));
    EXPECT_EQ(small->Image(index).size(), QSize(16, 16));
}

TEST(SystemImages, FixedIndicesAndDefaults)
{
    EXPECT_EQ(DefaultSystemImageIndex(0), SystemIcon::Folder);
    EXPECT_EQ(DefaultSystemImageIndex(1), SystemIcon::FolderOpen);
    EXPECT_EQ(DefaultSystemImageIndex(2), SystemIcon::UnknownFile);
    EXPECT_EQ(DefaultSystemImageIndex(3), SystemIcon::LinkEmblem);
    EXPECT_EQ(DefaultSystemImageIndex(4), -1) << "the fake home has no documents folder";
    EXPECT_EQ(DefaultSystemImageIndex(5), -1);
    EXPECT_TRUE(TSystemIconTable::Instance().Render(-1, 16).isNull());
    QImage fromThread;
    std::thread worker([&] { fromThread = TSystemIconTable::Instance().Render(SystemIcon::Folder, 16); });
    worker.join();
    EXPECT_TRUE(fromThread.isNull()) << "pictures are made on the GUI thread only";
}
