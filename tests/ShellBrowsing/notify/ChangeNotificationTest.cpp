#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ChangeDispatchThread.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/notify/ShellNotifyTestSupport.h"
#include "support/ConsumerTools.h"
#include "support/WaitFor.h"

#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

class TChangeNotification : public TShellTest {
protected:
    void TearDown() override
    {
        ChangeNotifier().UnRegisterAllControls();
        TShellTest::TearDown();
    }
    // Registers the control and watches the folders (paths or "trash:///").
    void Watch(TRecordingControl& control, std::initializer_list<std::string> folders)
    {
        ASSERT_TRUE(ChangeNotifier().RegisterShellChangeNotify(&control.Window));
        for (const std::string& folder : folders) {
            TPIDLHolder list(PathToPIDL(folder));
            ASSERT_TRUE(ChangeNotifier().WatchFolder(&control.Window, list.Get())) << folder;
        }
        // The source applies watches on its own thread.
        ASSERT_TRUE(WaitFor([&] { return ChangeNotifier().WatchedFolderCount() >= static_cast<int>(folders.size()); }));
    }
};

// A dispatch thread on its own, with a short quiet time, for the merging rules.
class TDispatchRules : public TShellTest {
protected:
    std::mutex Lock;
    std::vector<std::vector<std::string>> Batches;
    std::unique_ptr<TShellChangeDispatchThread> Thread;

    void SetUp() override
    {
        TShellTest::SetUp();
        Thread = std::make_unique<TShellChangeDispatchThread>([this](TShellKitEventList* batch) {
            const std::lock_guard guard(Lock);
            Batches.push_back(DescribeBatch(*batch));
            batch->Release();
        });
        Thread->QuietTime = std::chrono::milliseconds(40);
        Thread->Start();
    }
    void TearDown() override
    {
        Thread.reset();
        TShellTest::TearDown();
    }
    void Add(TShellKitEventKind kind, const std::string& path1, const std::string& path2 = {}, std::uint32_t value = 0)
    {
        TPIDLHolder list1(path1.empty() ? nullptr : PathToPIDLLexical(path1));
        TPIDLHolder list2(path2.empty() ? nullptr : PathToPIDLLexical(path2));
        Thread->AddEvent(kind, list1.Get(), list2.Get(), value);
    }
    std::vector<std::string> NextBatch()
    {
        std::vector<std::string> batch;
        const bool came = WaitFor([&] {
            const std::lock_guard guard(Lock);
            return !Batches.empty();
        });
        EXPECT_TRUE(came);
        const std::lock_guard guard(Lock);
        if (!Batches.empty()) {
            batch = Batches.front();
            Batches.erase(Batches.begin());
        }
        return batch;
    }
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(TDispatchRules, ItemEventsBecomeOneUpdateOfTheirFolder)
{
    using K = TShellKitEventKind;
    const std::string trash = HomeTrashPath();
    const struct {
        const char* What;
        std::function<void()> Events;
        Lines Expected;
    } cases[] = {
        {"create, delete, mkdir and rmdir in one folder",
         [&] {
             Add(K::CREATE, PathOf("a"));
             Add(K::DELETE, PathOf("b"));
             Add(K::MKDIR, PathOf("c"));
             Add(K::RMDIR, PathOf("d"));
         },
         {"Update Directory " + Dir()}},
        {"rename inside one folder", [&] { Add(K::RENAMEITEM, PathOf("a"), PathOf("b")); }, {"Update Directory " + Dir()}},
        {"move between two folders", [&] { Add(K::RENAMEFOLDER, PathOf("x/a"), PathOf("y/a")); },
         {"Update Directory " + PathOf("x"), "Update Directory " + PathOf("y")}},
        {"a change inside the trash",
         [&] {
             Add(K::CREATE, trash + "/files/f");
             Add(K::UPDATEITEM, trash + "/files/f");
             Add(K::DELETE, trash + "/info/f.trashinfo");
         },
         {"Update Directory " + trash, "Update Directory trash:"}},
        {"two free-space events for one drive",
         [&] {
             Add(K::FREESPACE, "", "", 4);
             Add(K::FREESPACE, "", "", 4);
             Add(K::FREESPACE, "", "", 8);
         },
         {"Free Space -", "Free Space -"}},
        {"repeated updates of one item", [&] {
             Add(K::UPDATEITEM, PathOf("a"));
             Add(K::UPDATEITEM, PathOf("a"));
             Add(K::ATTRIBUTES, PathOf("a"));
         },
         {"Attributes " + PathOf("a"), "Update Item " + PathOf("a")}},
    };
    for (const auto& c : cases) {
        c.Events();
        EXPECT_EQ(NextBatch(), c.Expected) << c.What;
    }
}

TEST_F(TDispatchRules, WithoutTheFilterEveryEventGoesOutUnchanged)
{
    using K = TShellKitEventKind;
    Thread->SetFilterEvents(false);
    Add(K::CREATE, PathOf("a"));
    Add(K::CREATE, PathOf("a"));
    EXPECT_EQ(NextBatch(), (Lines{"Item Create " + PathOf("a"), "Item Create " + PathOf("a")}));
}

TEST_F(TDispatchRules, ABatchWaitsForTheQuietTime)
{
    Thread->QuietTime = std::chrono::milliseconds(150);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i) {
        Add(TShellKitEventKind::UPDATEITEM, PathOf("f" + std::to_string(i)));
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
    const qint64 last = clock.elapsed();
    EXPECT_EQ(NextBatch().size(), 5u);
    EXPECT_GE(clock.elapsed() - last, 150 - 60);
}

TEST(StripDuplicateEvents, KeepsTheOutermostAndTheFirstOfEqualEvents)
{
    auto event = [](const char* path) {
        TPIDLHolder list(PathToPIDLLexical(path));
        return new TShellKitEvent(TShellKitEventKind::UPDATEDIR, list.Get(), nullptr);
    };
    std::vector<TShellKitEvent*> events = {event("/a/b/c"), event("/a/b"), event("/x"), event("/a/b"), event("/a/bc")};
    TShellChangeNotifier::StripDuplicateEvents(events);
    std::vector<std::string> paths;
    for (TShellKitEvent* e : events) {
        paths.push_back(PIDLToFileSystemPath(e->PIDL1));
        delete e;
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/a/b", "/x", "/a/bc"}));
}

TEST_F(TChangeNotification, AHundredNewFilesComeAsOneBatchAfterTheQuietTime)
{
    TRecordingControl control;
    Watch(control, {Dir()});
    for (int i = 0; i < 100; ++i)
        std::ofstream(PathOf("file" + std::to_string(i)));
    const qint64 last = control.Clock.elapsed();
    ASSERT_TRUE(WaitFor([&] { return !control.Batches.empty(); }, 4000));
    QTest::qWait(900);
    ASSERT_EQ(control.Batches.size(), 1u);
    EXPECT_EQ(control.Batches[0].Events, (Lines{"Update Directory " + Dir()}));
    const qint64 delay = control.Batches[0].At - last;
    EXPECT_GE(delay, 750);
    EXPECT_LE(delay, 1600);
}

TEST_F(TChangeNotification, RenamesAndMovesUpdateTheirFolders)
{
    MakeFile("x/a");
    MakeFile("x/b");
    MakeDir("y");
    TRecordingControl control;
    ChangeNotifier().SetQuietTimeForTesting(150);
    Watch(control, {PathOf("x"), PathOf("y")});
    ASSERT_EQ(std::rename(PathOf("x/a").c_str(), PathOf("x/a2").c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return !control.Batches.empty(); }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Directory " + PathOf("x")}));

    ASSERT_EQ(std::rename(PathOf("x/b").c_str(), PathOf("y/b").c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return control.Batches.size() == 2; }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Directory " + PathOf("x"), "Update Directory " + PathOf("y")}));
    ChangeNotifier().SetQuietTimeForTesting(750);
}

TEST_F(TChangeNotification, WritesAndDeletesAreReported)
{
    const std::string file = MakeFile("f", "1");
    TRecordingControl control;
    ChangeNotifier().SetQuietTimeForTesting(150);
    Watch(control, {Dir()});
    std::ofstream(file, std::ios::app) << "more";
    ASSERT_TRUE(WaitFor([&] { return !control.Batches.empty(); }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Item " + file}));
    ASSERT_EQ(std::remove(file.c_str()), 0);
    ASSERT_TRUE(WaitFor([&] { return control.Batches.size() == 2; }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Directory " + Dir()}));
    ChangeNotifier().SetQuietTimeForTesting(750);
}

TEST_F(TChangeNotification, TrashingUpdatesTheFolderAndTheTrashOnly)
{
    const std::string file = MakeFile("doomed.txt");
    ASSERT_TRUE(WideCreateDir(QString::fromStdString(HomeTrashPath())));
    ASSERT_TRUE(WideCreateDir(QString::fromStdString(HomeTrashPath() + "/files")));
    TRecordingControl control;
    ChangeNotifier().SetQuietTimeForTesting(150);
    Watch(control, {Dir(), "trash:///"});
    const TToolResult trashed = RunTool("gio", {"trash", file});
    ASSERT_EQ(trashed.ExitCode, 0) << trashed.Errors;
    ASSERT_TRUE(WaitFor([&] { return !control.Batches.empty(); }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Directory " + Dir(), "Update Directory trash:"}));
    ChangeNotifier().SetQuietTimeForTesting(750);
    std::error_code ignored;
    std::filesystem::remove_all(HomeTrashPath(), ignored);
}

TEST_F(TChangeNotification, ChangesThisProgramAnnouncesNeedNoWatch)
{
    TRecordingControl control;
    ChangeNotifier().SetQuietTimeForTesting(100);
    ASSERT_TRUE(ChangeNotifier().RegisterShellChangeNotify(&control.Window));
    ASSERT_TRUE(WideCreateDir(QString::fromStdString(PathOf("made"))));
    ASSERT_TRUE(WaitFor([&] { return !control.Batches.empty(); }));
    EXPECT_EQ(control.Batches.back().Events, (Lines{"Update Directory " + Dir()}));
    ChangeNotifier().SetQuietTimeForTesting(750);
}

TEST_F(TChangeNotification, ThreadsStartWithTheFirstControlAndStopAfterTheLast)
{
    TShellChangeNotifier& notifier = ChangeNotifier();
    EXPECT_FALSE(notifier.ShellThreadRunning());
    EXPECT_FALSE(notifier.DispatchThreadRunning());
    TRecordingControl a;
    TRecordingControl b;
    Watch(a, {Dir()});
    Watch(b, {Dir(), FakeHome()});
    EXPECT_TRUE(notifier.ShellThreadRunning());
    EXPECT_TRUE(notifier.DispatchThreadRunning());
    EXPECT_EQ(notifier.RegisteredCount(), 2);
    EXPECT_EQ(notifier.WatchedFolderCount(), 2);
    EXPECT_TRUE(notifier.UnRegisterShellChangeNotify(&b.Window));
    EXPECT_FALSE(notifier.UnRegisterShellChangeNotify(&b.Window));
    // The home folder is no longer needed by anyone.
    EXPECT_TRUE(WaitFor([&] { return notifier.WatchedFolderCount() == 1; }));
    EXPECT_TRUE(notifier.ShellThreadRunning());
    EXPECT_TRUE(notifier.UnRegisterShellChangeNotify(&a.Window));
    EXPECT_FALSE(notifier.ShellThreadRunning());
    EXPECT_FALSE(notifier.DispatchThreadRunning());
    // Registering again starts both anew, and events flow again.
    notifier.SetQuietTimeForTesting(100);
    Watch(a, {Dir()});
    EXPECT_TRUE(notifier.DispatchThreadRunning());
    MakeFile("again");
    EXPECT_TRUE(WaitFor([&] { return !a.Batches.empty(); }));
    notifier.SetQuietTimeForTesting(750);
}

TEST_F(TChangeNotification, AControlDestroyedWithABatchInFlightLeaksNothing)
{
    TShellChangeNotifier& notifier = ChangeNotifier();
    notifier.SetQuietTimeForTesting(50);
    TRecordingControl survivor;
    Watch(survivor, {Dir()});
    auto doomed = std::make_unique<TRecordingControl>();
    ASSERT_TRUE(notifier.RegisterShellChangeNotify(&doomed->Window));
    // The survivor gets the batch first; the doomed control dies before its copy arrives.
    survivor.OnBatch = [&] { doomed.reset(); };
    MakeFile("new");
    ASSERT_TRUE(WaitFor([&] { return !survivor.Batches.empty(); }));
    EXPECT_FALSE(doomed);
    EXPECT_EQ(notifier.RegisteredCount(), 1);
    notifier.SetQuietTimeForTesting(750);
    // The sanitizer's leak check at the end of the program catches a batch that was not released.
}
