// The folder browser: its options kept consistent, what the source's version allows, running it
// over a temporary folder tree with its events, the status line and title, and new folders.

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/dialogs/ExBrowseForFolder.h"

#include "support/TempDir.h"

#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The file system, reporting an older shell version.
class OldSource : public TExFileSystemFolderSource {
public:
    explicit OldSource(std::uint32_t version) : FVersion(version) {}
    std::uint32_t Version() const override { return FVersion; }

private:
    std::uint32_t FVersion;
};

struct BrowseFixture : ::testing::Test {
    TempDir temp;
    TExBrowseForFolderDialog dialog{nullptr};

    BrowseFixture()
    {
        temp.Write("alpha/one/file.txt", "x");
        temp.Write("beta/two.txt", "x");
        QDir(QString::fromStdString(temp.Path())).mkpath("gamma");
        dialog.SetRootDirectoryPath(temp.Path());
    }

    // Runs the browser; `act` works on its window while it is open.
    bool Run(const std::function<void(TExBrowseWindow&)>& act)
    {
        QTimer::singleShot(0, [&] {
            auto* window = dynamic_cast<TExBrowseWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(window, nullptr);
            act(*window);
            if (window->isVisible())
                window->reject();
        });
        return dialog.Execute();
    }
};

} // namespace

TEST(BrowseOptions, SettingOptionsKeepsThemConsistent)
{
    TExBrowseForFolderDialog dialog(nullptr);
    EXPECT_EQ(dialog.Options(), (TOptionsDir{odStatusAvailable, odNewDialogStyle}));
    dialog.SetOptions(dialog.Options() + TOptionsDir{odIncludeUrls});
    EXPECT_EQ(dialog.Options(),
              (TOptionsDir{odStatusAvailable, odIncludeFiles, odIncludeUrls, odEditBox, odNewDialogStyle}));
    dialog.SetOptions({odValidate});
    EXPECT_EQ(dialog.Options(), (TOptionsDir{odValidate, odEditBox}));
    dialog.SetOptions({odValidate});
    dialog.SetOptions(dialog.Options() - TOptionsDir{odEditBox});
    EXPECT_EQ(dialog.Options(), TOptionsDir{});
    dialog.SetOptions({odEditBox, odUsageHint});
    EXPECT_EQ(dialog.Options(), (TOptionsDir{odUsageHint, odNewDialogStyle}));
    EXPECT_EQ(BrowseFlagsOf({odFileSystemDirectoryOnly, odStatusAvailable, odNewDialogStyle, odOnlyDirectory}),
              0x1u | 0x4u | 0x40u);
}

TEST(BrowseOptions, AnOldShellRefusesOrGetsFewerOptions)
{
    OldSource ancient(0x00030000);
    TExBrowseForFolderDialog refused(nullptr, ancient);
    try {
        refused.Execute();
        FAIL() << "no exception";
    } catch (const EExLibException& e) {
        EXPECT_EQ(e.Message(), "Shell not compatible with BrowseForFolder");
    }
    OldSource v47(0x00040070);
    TExBrowseForFolderDialog dialog(nullptr, v47);
    dialog.SetOptions({odIncludeUrls, odUsageHint, odStatusAvailable});
    dialog.SetOptions(dialog.Options() + TOptionsDir{odNoNewButtonFolder, odEditBox});
    EXPECT_EQ(dialog.EffectiveOptions(), TOptionsDir{odStatusAvailable});
}

TEST(BrowseOptions, SpecialFoldersFallBackWhenTheShellLacksThem)
{
    EXPECT_EQ(ResolveSpecialFolder(TFromDirectory::fdMyDocuments, 0x00050000), TFromDirectory::fdPersonal);
    EXPECT_EQ(ResolveSpecialFolder(TFromDirectory::fdCommonMusic, 0x00050000), TFromDirectory::fdCommonDocuments);
    EXPECT_EQ(ResolveSpecialFolder(TFromDirectory::fdMyDocuments, 0x00060000), TFromDirectory::fdMyDocuments);
    // A folder that a path lookup can give stays.
    EXPECT_EQ(ResolveSpecialFolder(TFromDirectory::fdMyPictures, 0x00040000), TFromDirectory::fdMyPictures);
    EXPECT_EQ(SpecialFolderInfo(TFromDirectory::fdComputersNearMe).Csidl, 0x3D);
}

TEST(BrowseOptions, TheClassicWindowIsPlacedInTheWorkArea)
{
    const QRect work(0, 0, 1000, 800), owner(100, 100, 400, 300);
    const QSize size(300, 200);
    EXPECT_EQ(BrowseWindowPosition(TExFolderPos::fpScreenCenter, size, work, owner), QPoint(350, 300));
    EXPECT_EQ(BrowseWindowPosition(TExFolderPos::fpFormCenter, size, work, owner), QPoint(150, 150));
    EXPECT_EQ(BrowseWindowPosition(TExFolderPos::fpTopLeft, size, work, owner), QPoint(0, 0));
    EXPECT_FALSE(BrowseWindowPosition(TExFolderPos::fpDefault, size, work, owner));
}

TEST_F(BrowseFixture, TheChosenFolderBecomesDirectory)
{
    dialog.Directory = temp.File("alpha");
    std::vector<std::string> changes;
    dialog.OnChange = [&](TObject*, const std::string& dir) { changes.push_back(dir); };
    bool initialized = false;
    dialog.OnInitialized = [&](TObject*) { initialized = true; };
    const bool chosen = Run([&](TExBrowseWindow& w) {
        EXPECT_EQ(w.SelectedPath(), temp.File("alpha"));
        EXPECT_TRUE(w.SelectPath(temp.File("alpha/one")));
        w.Confirm();
    });
    EXPECT_TRUE(chosen);
    EXPECT_TRUE(initialized);
    EXPECT_EQ(dialog.Directory, temp.File("alpha/one"));
    EXPECT_EQ(dialog.DisplayName, "one");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), temp.File("alpha/one"));
}

TEST_F(BrowseFixture, AMissingStartFolderSelectsNothingAndCancelLeavesDirectory)
{
    dialog.Directory = temp.File("missing");
    const bool chosen = Run([&](TExBrowseWindow& w) { EXPECT_EQ(w.SelectedPath(), ""); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(dialog.Directory, temp.File("missing"));
}

TEST_F(BrowseFixture, EventsFilterItemsListFilesAndRefuseSelections)
{
    dialog.OnShouldShow = [&](TObject*, const std::string& item, bool& show) { show = item != temp.File("gamma"); };
    dialog.OnGetEnumFlags = [](TObject*, const std::string&, TExBrowsableObjectClasses& flags) {
        flags.Include(ocNonFolders);
    };
    dialog.OnAcceptChange = [&](TObject*, const std::string& folder, bool& accept) {
        accept = folder != temp.File("beta");
    };
    Run([&](TExBrowseWindow& w) {
        EXPECT_FALSE(w.SelectPath(temp.File("gamma")));
        EXPECT_TRUE(w.SelectPath(temp.File("beta/two.txt")));
        EXPECT_TRUE(w.OkEnabled());
        EXPECT_TRUE(w.SelectPath(temp.File("beta")));
        EXPECT_FALSE(w.OkEnabled());
    });
}

TEST_F(BrowseFixture, TheClassicBrowserShowsTheShortenedPathTheNewOneItsStatusInTheTitle)
{
    dialog.SetOptions({odStatusAvailable});
    dialog.Title = "Pick";
    dialog.HelpContext = 10;
    dialog.Directory = temp.File("alpha/one");
    Run([&](TExBrowseWindow& w) {
        EXPECT_FALSE(w.StatusLine().empty());
        EXPECT_TRUE(w.StatusLine().ends_with("one"));
        EXPECT_EQ(w.TitleText(), "Pick");
        EXPECT_TRUE(w.HasHelpButton());
        EXPECT_FALSE(w.HasNewFolderButton());
    });
    dialog.SetOptions({odStatusAvailable, odNewDialogStyle});
    dialog.StatusText = "Document root";
    dialog.HelpContext = 0;
    Run([&](TExBrowseWindow& w) {
        EXPECT_EQ(w.StatusLine(), "");
        EXPECT_EQ(w.TitleText(), "Pick\nDocument root");
        EXPECT_FALSE(w.HasHelpButton());
        EXPECT_TRUE(w.HasNewFolderButton());
    });
}

TEST_F(BrowseFixture, AnEditBoxEntryThatIsNoFolderIsReportedAndMayKeepTheBrowserOpen)
{
    dialog.SetOptions({odValidate});
    std::vector<std::string> failures;
    bool keepOpen = true;
    dialog.OnValidateFailed = [&](TObject*, const std::string& text, bool& canClose) {
        failures.push_back(text);
        canClose = !keepOpen;
    };
    dialog.Directory = temp.File("alpha");
    const bool chosen = Run([&](TExBrowseWindow& w) {
        ASSERT_TRUE(w.HasEditBox());
        w.SetEditText("nowhere");
        w.Confirm();
        EXPECT_TRUE(w.isVisible());
        w.SetEditText("one");
        w.Confirm();
        EXPECT_FALSE(w.isVisible());
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(failures, std::vector<std::string>{"nowhere"});
    EXPECT_EQ(dialog.Directory, temp.File("alpha/one"));
}

TEST_F(BrowseFixture, ANewFolderIsMadeInTheSelectedOneAndSelected)
{
    dialog.Directory = temp.File("gamma");
    const bool chosen = Run([&](TExBrowseWindow& w) {
        EXPECT_TRUE(w.MakeNewFolder("made"));
        w.Confirm();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(dialog.Directory, temp.File("gamma/made"));
    EXPECT_TRUE(QDir(QString::fromStdString(temp.File("gamma/made"))).exists());
}
