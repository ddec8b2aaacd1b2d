#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "ShellBrowsing/combo/ComboTestSupport.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QSignalSpy>

namespace {

class TPathComboBox : public TComboTest {
protected:
    void SetUp() override
    {
        TComboTest::SetUp();
        MakeFile("Sub/inner.txt");
        MakeFile("Other/readme.txt");
        MakeFile("notes.txt");
        Show(Dir());
    }
};

TEST_F(TPathComboBox, EnterGoesToTheTypedFolder)
{
    struct TCase {
        const char* what;
        std::string typed;
        std::string expected; // the shown folder's path
    };
    const TCase cases[] = {
        {"an absolute folder", PathOf("Sub"), PathOf("Sub")},
        {"an absolute folder with a trailing slash", PathOf("Other") + "/", PathOf("Other")},
        {"a folder below the shown one", "Sub", PathOf("Sub")},
        {"the parent of the shown one", "..", Dir().substr(0, Dir().rfind('/'))},
        {"the root", "/", "/"},
        {"a special folder by its name, in any case", "cOmPuTeR", ""},
        {"a virtual folder's address", "computer:///", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Show(Dir());
        Type(c.typed, true);
        EXPECT_TRUE(Invalid.empty());
        ASSERT_NE(Combo().Namespace(), nullptr);
        if (c.expected.empty())
            EXPECT_TRUE(Combo().Namespace()->IsMyComputer());
        else
            EXPECT_EQ(Shown(), c.expected);
        EXPECT_EQ(Edit().text(), Combo().Namespace()->DisplayNameNormal()) << "the edit shows the folder's name";
        EXPECT_EQ(Edit().selectedText(), Edit().text()) << "and selects it for the next typing";
        EXPECT_FALSE(Edit().Modified());
    }
    Show(Dir());
    Type("DESKTOP", true);
    ASSERT_NE(Combo().Namespace(), nullptr);
    EXPECT_TRUE(Combo().Namespace()->IsDesktop());
}

TEST_F(TPathComboBox, APathThatDoesNotExistIsReportedAndItsWrongPartSelected)
{
    struct TCase {
        const char* what;
        std::string typed;
        std::string selected;
    };
    const TCase cases[] = {
        {"a missing folder below an existing one", PathOf("Sub/nowhere/deeper"), "nowhere/deeper"},
        {"a missing top folder", "/zentu-nowhere-at-all/x", "zentu-nowhere-at-all/x"},
        {"a relative missing folder", "nowhere", "nowhere"},
        {"a relative path below an existing folder", "Sub/nowhere", "nowhere"},
        {"a name that nothing has", "No Such Place", "No Such Place"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Show(Dir());
        Invalid.clear();
        Type(c.typed, true);
        EXPECT_EQ(Invalid, std::vector<std::string>{c.typed});
        EXPECT_EQ(Shown(), Dir()) << "the shown folder stays";
        EXPECT_EQ(Edit().text().toStdString(), c.typed) << "the text stays for correcting";
        EXPECT_EQ(Edit().selectedText().toStdString(), c.selected);
    }
    EXPECT_EQ(InvalidPathMessage(QStringLiteral("/a/b")).toStdString(),
              "Windows can not find \"/a/b\" Please check the spelling and try again.");
}

TEST_F(TPathComboBox, ATypedFileIsOpenedAndItsTextKept)
{
    std::vector<std::string> opened;
    SetShellExecuteHandler([&](const std::string& path) {
        opened.push_back(path);
        return true;
    });
    for (const std::string& typed : {PathOf("notes.txt"), std::string("Sub/inner.txt")}) {
        SCOPED_TRACE(typed);
        Show(Dir());
        opened.clear();
        Type(typed, true);
        const std::string full = typed[0] == '/' ? typed : PathOf(typed);
        EXPECT_EQ(opened, std::vector<std::string>{full});
        EXPECT_EQ(Combo().Namespace(), nullptr);
        EXPECT_EQ(Combo().IconOverride(), DefaultSystemImageIndex(4)) << "the documents folder's icon";
        EXPECT_EQ(Edit().text().toStdString(), typed);
        EXPECT_EQ(Edit().selectedText().toStdString(), typed);
        EXPECT_TRUE(Invalid.empty());
    }
}

TEST_F(TPathComboBox, ANewPathIsPublishedToTheLinkedViewsOnce)
{
    TShellExplorerListview list(nullptr);
    list.SetActive(true);
    list.SetExplorerComboBox(&Combo());
    std::vector<std::string> changes;
    Combo().OnPathChange = [&](TObject*, TNamespace* ns) { changes.push_back(ns ? ns->PathBytes() : "-"); };

    Type(PathOf("Sub"), true);
    EXPECT_EQ(changes, std::vector<std::string>{PathOf("Sub")});
    TNamespace* shownRoot = list.NodeNamespace(list.HiddenRoot());
    ASSERT_NE(shownRoot, nullptr);
    EXPECT_EQ(shownRoot->PathBytes(), PathOf("Sub")) << "the list follows the combo box";

    // The same namespace object again changes nothing and publishes nothing.
    TNamespace* same = Combo().Namespace();
    Combo().SetPath(same);
    EXPECT_EQ(changes.size(), 1U);

    // An inactive combo box shows nothing and publishes nothing, but still reports the change.
    Combo().SetActive(false);
    EXPECT_TRUE(Edit().text().isEmpty());
    EXPECT_FALSE(Edit().isEnabled());
    auto other = Item(PathOf("Other"));
    Combo().SetPath(other.get());
    EXPECT_EQ(list.NodeNamespace(list.HiddenRoot())->PathBytes(), PathOf("Sub"));
    EXPECT_EQ(changes.back(), PathOf("Other"));
    Combo().SetActive(true);
    EXPECT_EQ(list.NodeNamespace(list.HiddenRoot())->PathBytes(), PathOf("Other")) << "activation publishes the path";
    EXPECT_EQ(Edit().text().toStdString(), "Other");
    list.SetExplorerComboBox(nullptr);
}

TEST_F(TPathComboBox, TheIconHidesWhileTextIsTypedAndReturnsWithTheNextPath)
{
    EXPECT_GE(Combo().ShownIconIndex(), 0);
    Type("Su", false);
    EXPECT_TRUE(Edit().Modified());
    EXPECT_EQ(Combo().ShownIconIndex(), -1);
    Combo().AutoCompleteDropDown()->CloseUp(false);
    auto sub = Item(PathOf("Sub"));
    Combo().SetPath(sub.get());
    EXPECT_FALSE(Edit().Modified());
    EXPECT_GE(Combo().ShownIconIndex(), 0);
}

// ---- the folder drop-down

class TFolderDropDown : public TPathComboBox {
protected:
    TPopupExplorerDropDown& DropDown() { return *Combo().ExplorerDropDown(); }
    TPopupExplorerTree& Tree() { return *DropDown().Tree(); }
    std::string SelectedInTree()
    {
        TNamespace* ns = Tree().NodeNamespace(Tree().FirstSelectedNode());
        return ns ? ns->PathBytes() : std::string();
    }
    void PressButton()
    {
        const TRect button = Combo().ButtonRect();
        ClickAt(Combo(), QPoint(button.Left + button.Width() / 2, button.Top + button.Height() / 2));
    }
};

TEST_F(TFolderDropDown, TheButtonDropsTheTreeWithTheShownFolderSelected)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    EXPECT_TRUE(DropDown().isVisible());
    EXPECT_EQ(SelectedInTree(), Dir());
    // Below the combo box, as wide as it.
    const QPoint below = Combo().mapToGlobal(QPoint(0, Combo().height()));
    EXPECT_EQ(DropDown().geometry().topLeft(), below);
    EXPECT_EQ(DropDown().width(), Combo().width());
    EXPECT_TRUE(DropDown().DropState() & dsBelow);

    // The classic tree shows two levels and the way to the shown folder, not its siblings.
    EXPECT_NE(Tree().FindExistingNodeByPIDL(Combo().Namespace()->AbsolutePIDL()), nullptr);
    auto sub = Item(PathOf("Sub"));
    EXPECT_FALSE(Tree().ItemShown(sub.get()));
    EXPECT_TRUE(Tree().ItemShown(KnownNamespaces().MyComputerFolder.get()));

    // Pressing the button again closes it.
    PressButton();
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_EQ(Shown(), Dir());
}

TEST_F(TFolderDropDown, EscapeLeavesThePathAndEnterTakesTheSelectedFolder)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    QTest::keyClick(&Edit(), Qt::Key_Escape);
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_EQ(Shown(), Dir());
    EXPECT_EQ(Window().focusWidget(), &Edit()) << "the edit has the focus back";
    EXPECT_EQ(Edit().selectedText(), Edit().text());

    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    PLazyNode shown = Tree().FirstSelectedNode();
    ASSERT_NE(shown, nullptr);
    TNamespace* above = Tree().NodeNamespace(Tree().PreviousVisibleBefore(shown));
    ASSERT_NE(above, nullptr);
    const std::string parent = above->PathBytes();
    QTest::keyClick(&Edit(), Qt::Key_Up);
    EXPECT_EQ(SelectedInTree(), parent) << "the folder above the shown one in the tree";
    EXPECT_TRUE(DropDown().Dropped());
    QTest::keyClick(&Edit(), Qt::Key_Return);
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_EQ(Shown(), parent);
    EXPECT_TRUE(Invalid.empty()) << "Enter in the tree does not interpret the edit's text";

    // Any other key closes without a change.
    PressButton();
    QTest::keyClick(&Edit(), Qt::Key_X);
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_EQ(Shown(), parent);
}

TEST_F(TFolderDropDown, AClickOutsideClosesItAndDoesNothingElse)
{
    QSignalSpy clicked(&Outside(), &QPushButton::clicked);
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    ClickAt(Outside(), QPoint(10, 10));
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_FALSE(DropDown().isVisible());
    EXPECT_EQ(clicked.count(), 0) << "the click only closed the drop-down";
    EXPECT_EQ(Shown(), Dir());
    ClickAt(Outside(), QPoint(10, 10));
    EXPECT_EQ(clicked.count(), 1) << "once closed, clicks work again";
}

TEST_F(TFolderDropDown, AClickOnAFolderInTheTreeGoesThere)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    TNamespace* computer = KnownNamespaces().MyComputerFolder.get();
    PLazyNode node = Tree().FindExistingNodeByPIDL(computer->AbsolutePIDL());
    ASSERT_NE(node, nullptr);
    const TRect r = Tree().NodeDisplayRect(node, NoColumn, true);
    const QPoint p(r.Left + 4, r.Top + r.Height() / 2);
    QTest::mouseMove(Tree().viewport(), p);
    QTest::mouseMove(Tree().viewport(), p + QPoint(1, 0));
    EXPECT_EQ(Tree().FirstSelectedNode(), node) << "hovering selects";
    ClickAt(*Tree().viewport(), p);
    EXPECT_FALSE(DropDown().Dropped());
    ASSERT_NE(Combo().Namespace(), nullptr);
    EXPECT_TRUE(Combo().Namespace()->IsMyComputer());
}

TEST_F(TFolderDropDown, NearTheScreensLowerEdgeItDropsUpward)
{
    const QRect screen = Window().screen()->availableGeometry();
    Window().move(screen.left() + 20, screen.bottom() - 60);
    QApplication::processEvents();
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    EXPECT_TRUE(DropDown().DropState() & dsAbove);
    EXPECT_EQ(DropDown().geometry().bottom() + 1, Combo().mapToGlobal(QPoint(0, 0)).y());
    DropDown().CloseUp(false);

    // A list taller than either side takes the larger one and shrinks to it.
    DropDown().SetDropDownCount(1000);
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    EXPECT_TRUE(DropDown().DropState() & dsAbove);
    EXPECT_EQ(DropDown().geometry().top(), screen.top());
    EXPECT_EQ(DropDown().geometry().bottom() + 1, Combo().mapToGlobal(QPoint(0, 0)).y());
    DropDown().CloseUp(false);
}

// ---- the completion list

class TCompletionList : public TPathComboBox {
protected:
    void SetUp() override
    {
        TPathComboBox::SetUp();
        MakeFile("alpha.php");
        MakeFile("Alpine/x.txt");
        MakeFile("beta.txt");
        MakeFile(".alpha-hidden");
    }
    TPopupAutoCompleteDropDown& List() { return *Combo().AutoCompleteDropDown(); }
    // `names` and the volumes' mount points, sorted.
    static std::vector<std::string> Volumes(std::vector<std::string> names)
    {
        for (const TVolume& volume : UserVolumes())
            names.push_back(volume.MountPoint);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Offered()
    {
        std::vector<std::string> texts;
        for (const QString& text : List().Tree()->ShownTexts())
            texts.push_back(text.toStdString());
        std::sort(texts.begin(), texts.end());
        return texts;
    }
};

TEST_F(TCompletionList, TypingListsTheEntriesThatStartWithTheText)
{
    struct TCase {
        const char* what;
        std::string typed;
        std::vector<std::string> expected;
    };
    const std::string d = Dir() + "/";
    const TCase cases[] = {
        {"a prefix, files and folders, hidden left out", d + "al", {d + "Alpine", d + "alpha.php"}},
        {"any case", d + "ALP", {d + "Alpine", d + "alpha.php"}},
        {"the whole name", d + "beta.txt", {d + "beta.txt"}},
        {"a folder with its slash lists all of it, and the volumes",
         d,
         Volumes({d + "Alpine", d + "Other", d + "Sub", d + "alpha.php", d + "beta.txt", d + "notes.txt"})},
        {"no match", d + "zz", {}},
        {"a folder that does not exist", d + "nowhere/a", {}},
        {"a hidden entry typed with its dot", d + ".al", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Type(c.typed, false);
        EXPECT_TRUE(List().Dropped());
        EXPECT_EQ(Offered(), c.expected);
        EXPECT_EQ(Edit().text().toStdString(), c.typed) << "typing goes on in the edit";
        List().CloseUp(false);
    }
}

TEST_F(TCompletionList, TheKeysWalkTheListAndEnterGoesToTheEntry)
{
    const std::string d = Dir() + "/";
    Type(d + "Al", false);
    ASSERT_TRUE(List().Dropped());
    ASSERT_EQ(Offered().size(), 2U);
    QTest::keyClick(&Edit(), Qt::Key_Down);
    const std::string first = List().Tree()->ShownTexts().front().toStdString();
    EXPECT_EQ(Edit().text().toStdString(), first);
    EXPECT_EQ(Edit().cursorPosition(), Edit().text().size());
    EXPECT_TRUE(List().Dropped()) << "walking does not close the list";
    const std::string entry = d + "Alpine";
    const QString last = List().Tree()->ShownTexts().back();
    while (Edit().text().toStdString() != entry && Edit().text() != last)
        QTest::keyClick(&Edit(), Qt::Key_Down);
    ASSERT_EQ(Edit().text().toStdString(), entry);
    QTest::keyClick(&Edit(), Qt::Key_Return);
    EXPECT_FALSE(List().Dropped());
    EXPECT_EQ(Shown(), PathOf("Alpine"));
    EXPECT_TRUE(List().Tree()->ShownTexts().empty()) << "the list is emptied when it closes";

    // Escape leaves the text as typed and goes nowhere.
    Type(d + "be", false);
    ASSERT_TRUE(List().Dropped());
    QTest::keyClick(&Edit(), Qt::Key_Escape);
    EXPECT_FALSE(List().Dropped());
    EXPECT_EQ(Edit().text().toStdString(), d + "be");
    EXPECT_EQ(Shown(), PathOf("Alpine"));
}

TEST_F(TCompletionList, AHandlerMayFillTheListItself)
{
    List().OnAutoCompleteUpdateList = [](TObject*, const QString& typed, TWideStringList& list, bool& handled) {
        list.Add(typed + QStringLiteral("-one"));
        list.Add(typed + QStringLiteral("-two"));
        handled = true;
    };
    Type("x", false);
    EXPECT_EQ(Offered(), (std::vector<std::string>{"x-one", "x-two"}));
}

TEST_F(TCompletionList, AClickOutsideClosesTheListAndKeepsTheText)
{
    QSignalSpy clicked(&Outside(), &QPushButton::clicked);
    Type(Dir() + "/al", false);
    ASSERT_TRUE(List().Dropped());
    ClickAt(Outside(), QPoint(5, 5));
    EXPECT_FALSE(List().Dropped());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(Edit().text().toStdString(), Dir() + "/al");
    EXPECT_EQ(Shown(), Dir());
}

} // namespace

namespace {

class TDropDownWindow : public TFolderDropDown {
protected:
    void SetUp() override
    {
        TFolderDropDown::SetUp();
        for (int i = 0; i < 12; ++i)
            MakeDir("folder" + std::to_string(i));
        // Siblings of the shown folder are listed, so that the tree is taller than the window.
        DropDown().SetComboBoxStyle(TComboBoxStyle::cbsVETEnhanced);
        DropDown().SetDropDownCount(4);
    }
    void LetTimersRun(int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

TEST_F(TDropDownWindow, TheScrollBarShowsWhenTheTreeIsTallerAndScrollsIt)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    TOwnerDrawScrollbar& bar = *DropDown().Scrollbar();
    EXPECT_FALSE(bar.isHidden());
    EXPECT_EQ(bar.Max(), Tree().RangeY());
    EXPECT_EQ(bar.PageSize(), Tree().ClientHeight());
    EXPECT_EQ(Tree().width(), DropDown().width() - 2 - bar.width()) << "the list leaves room for the bar";
    EXPECT_EQ(bar.Position(), -Tree().OffsetY());

    const int before = Tree().OffsetY();
    const TRect down = bar.DownButtonRect();
    ClickAt(bar, QPoint(down.Left + 2, down.Top + 2));
    EXPECT_LT(Tree().OffsetY(), before) << "the bar's button scrolls the tree";
    EXPECT_EQ(bar.Position(), -Tree().OffsetY());

    // A shorter tree hides the bar and gives the list the whole width.
    DropDown().CloseUp(false);
    DropDown().SetComboBoxStyle(TComboBoxStyle::cbsClassic);
    DropDown().SetDropDownCount(40);
    PressButton();
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(Tree().width(), DropDown().width() - 2);
}

TEST_F(TDropDownWindow, DraggingBelowTheListScrollsSlowlyNearAndFastFarther)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    Tree().SetOffsetY(0);
    QWidget* view = Tree().viewport();
    const int h = view->height();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, QPoint(20, h - 5));
    QTest::mouseMove(view, QPoint(20, h + 10));
    EXPECT_TRUE(DropDown().DropState() & dsScrollDown);
    EXPECT_TRUE(DropDown().DropState() & dsSlowScroll);
    LetTimersRun(500);
    EXPECT_LT(Tree().OffsetY(), 0) << "the list scrolled down";
    QTest::mouseMove(view, QPoint(20, h + 40));
    EXPECT_TRUE(DropDown().DropState() & dsFastScroll);
    QTest::mouseMove(view, QPoint(20, -30));
    EXPECT_TRUE(DropDown().DropState() & dsScrollUp);
    QTest::mouseMove(view, QPoint(20, h / 2));
    EXPECT_EQ(DropDown().DropState() & (dsScrollUp | dsScrollDown | dsFastScroll | dsSlowScroll), 0)
        << "back inside, the scrolling stops";
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, QPoint(20, h + 50));
    EXPECT_TRUE(DropDown().Dropped()) << "a release outside the rows takes nothing";
}

TEST_F(TDropDownWindow, SwitchingToAnotherApplicationClosesIt)
{
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(DropDown().Dropped());
    EXPECT_EQ(Shown(), Dir());
}

TEST_F(TDropDownWindow, TheGripResizesItAndPersistentSizingKeepsTheSize)
{
    for (const bool persistent : {false, true}) {
        SCOPED_TRACE(persistent);
        TPopupOptions options = DefaultPopupOptions;
        options.Include(TPopupOption::poSizeable);
        if (persistent)
            options.Include(TPopupOption::poPersistentSizing);
        DropDown().SetOptions(options);
        PressButton();
        ASSERT_TRUE(DropDown().Dropped());
        const QSize first = DropDown().size();
        TSizeGrabber& grip = *DropDown().Grabber();
        ASSERT_TRUE(grip.isVisible());
        EXPECT_EQ(grip.geometry().bottom(), DropDown().height() - 2) << "below the anchor the grip is at the bottom";
        const QPoint p(grip.width() / 2, grip.height() / 2);
        QTest::mousePress(&grip, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseMove(&grip, p + QPoint(-30, 50));
        QTest::mouseRelease(&grip, Qt::LeftButton, Qt::NoModifier, p + QPoint(-30, 50));
        EXPECT_EQ(DropDown().size(), first + QSize(-30, 50));
        DropDown().CloseUp(false);
        PressButton();
        EXPECT_EQ(DropDown().size(), persistent ? first + QSize(-30, 50) : first);
        DropDown().CloseUp(false);
    }
}

TEST_F(TPathComboBox, TheControlShowsTheIconOnlyForAConfirmedPath)
{
    // Rendered, the icon's square differs from the box's colour only while the path stands.
    auto iconPixels = [this] {
        QImage image(Combo().size(), QImage::Format_ARGB32);
        QPainter painter(&image);
        Combo().PaintTo(painter);
        painter.end();
        const QColor background = ToQColor(Combo().Color());
        const TRect r = Combo().IconRect();
        int differing = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                differing += image.pixelColor(x, y) != background;
        return differing;
    };
    EXPECT_GT(iconPixels(), 20);
    Type("Sub", false);
    Combo().AutoCompleteDropDown()->CloseUp(false);
    EXPECT_EQ(iconPixels(), 0) << "typed text hides the icon";
    QTest::keyClick(&Edit(), Qt::Key_Return);
    EXPECT_GT(iconPixels(), 20) << "the confirmed path shows it again";
    Combo().SetActive(false);
    EXPECT_EQ(iconPixels(), 0) << "an inactive box shows none";
}

} // namespace

namespace {

TEST_F(TDropDownWindow, AnAnimatedDropDownSlidesOpenToItsPlace)
{
    TPopupOptions options = DefaultPopupOptions;
    options.Exclude(TPopupOption::poRespectSysAnimationFlag);
    options.Include(TPopupOption::poAnimated);
    DropDown().SetOptions(options);
    DropDown().SetAnimationSpeed(150);
    PressButton();
    ASSERT_TRUE(DropDown().Dropped());
    const QPoint below = Combo().mapToGlobal(QPoint(0, Combo().height()));
    EXPECT_EQ(DropDown().geometry().topLeft(), below) << "it grows downward from the combo box";
    EXPECT_LT(DropDown().height(), 40) << "and starts small";
    LetTimersRun(400);
    EXPECT_EQ(DropDown().geometry().topLeft(), below);
    EXPECT_GT(DropDown().height(), 4 * 17);
    EXPECT_TRUE(DropDown().Dropped());
}

} // namespace
