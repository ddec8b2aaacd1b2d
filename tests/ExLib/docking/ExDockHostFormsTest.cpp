// Host forms: a form dropped on another makes a tab host or a side-by-side host, hosts name
// themselves and build their caption, close themselves when one form is left, hide with
// several, and a tab host writes and reads its own stream.

#include "DockFixture.h"

#include <gtest/gtest.h>

namespace {

// The screen point of a client point of a form.
TPoint At(TWinControlCore* form, int x, int y)
{
    return form->ClientToScreen({x, y});
}

// Three tools in one tab host: B dragged onto A's centre, then C docked among their tabs; the
// host's page control, or null when the drag made none.
TExDockTabPageControl* ThreeTabbed(DockFixture& f, TExForm*& a, TExForm*& b, TExForm*& c, const char* nameOfB = "B")
{
    a = f.Tool("A", 1000, 100);
    b = f.Tool(nameOfB, 1000, 300);
    c = f.Tool("C", 1000, 500);
    DockFixture::Drag(b, CaptionPoint(b), At(a, a->ClientWidth() / 2, a->ClientHeight() / 2));
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a));
    if (pages)
        ManualDock(*c, pages, nullptr, TAlign::alClient);
    return pages;
}

} // namespace

TEST(ExDockHostForms, DroppingOnTheCentreMakesANamedTabHost)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    DockFixture::Drag(b, CaptionPoint(b), At(a, a->ClientWidth() / 2, a->ClientHeight() / 2));
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(HostDockSite(*b), pages);
    TExDockTabHostForm* host = pages->Host();
    EXPECT_EQ(host->Name().rfind("TExDockTabHostForm_A_B_", 0), 0u) << host->Name();
    EXPECT_EQ(host->Name().size(), std::string("TExDockTabHostForm_A_B_").size() + 8);
    EXPECT_EQ(pages->Name(), "TExDockTabPageControl_A_B");
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->Tabs().Get(0), "A");
    EXPECT_EQ(pages->Tabs().Get(1), "B");
    EXPECT_TRUE(host->isVisible());
    EXPECT_TRUE(host->isWindow());
    EXPECT_FALSE(GlobalDockManager()->IsRegisteredDockSite(host));
    EXPECT_TRUE(GlobalDockManager()->IsRegisteredDockSite(pages));
}

TEST(ExDockHostForms, DroppingOnTheLeftFifthPutsTheDroppedFormOnTheLeft)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    DockFixture::Drag(b, CaptionPoint(b), At(a, 5, a->ClientHeight() / 2));
    auto* panel = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*a));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(HostDockSite(*b), panel);
    IExDockManager* manager = panel->ExDockManager();
    auto* tree = dynamic_cast<TExDockTree*>(manager);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->RootZone()->Orientation, TDockOrientation::doVertical);
    EXPECT_EQ(tree->RootZone()->FirstChild->Control, b);
    EXPECT_LT(b->Left(), a->Left());
    EXPECT_EQ(panel->Host()->Caption(), "A B ");
}

TEST(ExDockHostForms, ASideBySideHostWithOneFormLeftFloatsItAndGoes)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    DockFixture::Drag(b, CaptionPoint(b), At(a, a->ClientWidth() - 5, a->ClientHeight() / 2));
    auto* panel = dynamic_cast<TExDockConjoinPanel*>(HostDockSite(*a));
    ASSERT_NE(panel, nullptr);
    const QPoint hostPos = panel->Host()->pos();
    ASSERT_EQ(GlobalDockManager()->DockableFormCount(), 1);
    ManualFloat(*b, Bounds(1300, 300, 200, 150));
    DockFixture::Settle();
    EXPECT_EQ(GlobalDockManager()->DockableFormCount(), 0) << "the host freed itself";
    EXPECT_TRUE(Floating(*a));
    EXPECT_TRUE(a->isVisible());
    EXPECT_LE((a->pos() - hostPos).manhattanLength(), 4) << "floated where the host was";
    EXPECT_TRUE(Floating(*b));
}

TEST(ExDockHostForms, ClosingATabHostWithThreeFormsHidesItAndShowingOneShowsItAgain)
{
    DockFixture f;
    TExForm *a = nullptr, *b = nullptr, *c = nullptr;
    TExDockTabPageControl* pages = ThreeTabbed(f, a, b, c);
    ASSERT_NE(pages, nullptr);
    TExDockTabHostForm* host = pages->Host();
    ASSERT_EQ(pages->PageCount(), 3);
    host->close();
    DockFixture::Settle();
    ASSERT_EQ(GlobalDockManager()->DockableFormCount(), 1);
    EXPECT_FALSE(host->isVisible());
    EXPECT_EQ(HostDockSite(*b), pages) << "the forms stay inside";
    ShowDockableForm(b);
    EXPECT_TRUE(host->isVisible());
    EXPECT_EQ(pages->ActivePage(), pages->PageOfControl(b));
}

TEST(ExDockHostForms, TheTabHostStreamListsItsFormsAndReadsBackWithoutTheMissingOnes)
{
    DockFixture f;
    TExForm *a = nullptr, *b = nullptr, *c = nullptr;
    TExDockTabPageControl* pages = ThreeTabbed(f, a, b, c, "Bee");
    ASSERT_NE(pages, nullptr);
    pages->SetActivePage(pages->Pages(1));
    TMemoryStream saved;
    pages->SaveToStream(saved);
    TMemoryStream expected(HexBytes("00 00 04 00  03 00 00 00"
                                 "01 00 00 00  41  01"
                                 "03 00 00 00  42 65 65  01"
                                 "01 00 00 00  43  01"
                                 "01 00 00 00  F6 FF FF FF"));
    EXPECT_EQ(StreamToHexText(saved), StreamToHexText(expected));

    // Loading while the second form no longer exists: the first and third, the third active.
    TExDockTabHostForm other(nullptr);
    auto* target = new TExDockTabPageControl(&other);
    other.SetDockableControl(target);
    f.tools.erase(f.tools.begin() + 1);
    DockFixture::Settle();
    c->hide();
    saved.SetPosition(0);
    target->LoadFromStream(saved);
    ASSERT_EQ(target->PageCount(), 2);
    EXPECT_EQ(HostDockSite(*a), target);
    EXPECT_EQ(HostDockSite(*c), target);
    EXPECT_TRUE(ControlVisible(*c)) << "each with its own entry's shown flag";
    EXPECT_EQ(target->ActivePage(), target->PageOfControl(c));
}

TEST(ExDockHostForms, ATabHostWithAnEmptySheetReadsBackItsActivePageAndShownFlags)
{
    DockFixture f;
    TExForm *a = nullptr, *b = nullptr, *c = nullptr;
    TExDockTabPageControl* pages = ThreeTabbed(f, a, b, c);
    ASSERT_NE(pages, nullptr);
    auto* empty = new TExDockTabSheet(pages);
    empty->SetPageControl(pages);
    empty->SetPageIndex(1);
    ASSERT_EQ(pages->PageCount(), 4);
    pages->SetActivePage(pages->PageOfControl(b));
    c->SetVisible(false);
    TMemoryStream saved;
    pages->SaveToStream(saved);
    TMemoryStream expected(HexBytes("00 00 04 00  03 00 00 00"
                                    "01 00 00 00  41  01"
                                    "01 00 00 00  42  01"
                                    "01 00 00 00  43  00"
                                    "01 00 00 00  F6 FF FF FF"));
    EXPECT_EQ(StreamToHexText(saved), StreamToHexText(expected)) << "entries counted as written";

    TExDockTabHostForm other(nullptr);
    auto* target = new TExDockTabPageControl(&other);
    other.SetDockableControl(target);
    saved.SetPosition(0);
    target->LoadFromStream(saved);
    ASSERT_EQ(target->PageCount(), 3);
    EXPECT_EQ(target->ActivePage(), target->PageOfControl(b));
    EXPECT_TRUE(ControlVisible(*a));
    EXPECT_FALSE(ControlVisible(*c));
}

TEST(ExDockHostForms, ATabHostStreamThatCountedAnEmptySheetStillReads)
{
    // Written before: four sheets counted, three entries, the active index among the sheets.
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 300);
    TExForm* c = f.Tool("C", 1000, 500);
    TExDockTabHostForm host(nullptr);
    auto* pages = new TExDockTabPageControl(&host);
    host.SetDockableControl(pages);
    TMemoryStream old(HexBytes("00 00 04 00  04 00 00 00"
                               "01 00 00 00  41  01"
                               "01 00 00 00  42  00"
                               "01 00 00 00  43  01"
                               "02 00 00 00  F6 FF FF FF"));
    pages->LoadFromStream(old);
    ASSERT_EQ(pages->PageCount(), 3);
    for (TExForm* form : {a, b, c})
        EXPECT_EQ(HostDockSite(*form), pages) << form->Name();
    EXPECT_TRUE(ControlVisible(*a));
    EXPECT_FALSE(ControlVisible(*b));
    EXPECT_TRUE(ControlVisible(*c));
    EXPECT_EQ(pages->ActivePage(), pages->Pages(2));
}

TEST(ExDockHostForms, ADamagedTabHostStreamStopsCleanly)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExDockTabHostForm host(nullptr);
    auto* pages = new TExDockTabPageControl(&host);
    host.SetDockableControl(pages);
    const std::string cases[] = {
        "00 00 04 00  FF FF FF 7F",                          // a page count far beyond the data
        "00 00 04 00  01 00 00 00  40 00 00 00  41 01 00 00", // a name longer than what remains
        "00 00 04 00  01 00 00 00  01 00 00 00  41",          // cut inside an entry
        "00 00 04 00",
    };
    for (const std::string& hex : cases) {
        TMemoryStream s(HexBytes(hex));
        EXPECT_NO_THROW(pages->LoadFromStream(s)) << hex;
    }
    EXPECT_EQ(HostDockSite(*a), nullptr);
}

TEST(ExDockHostForms, ShowingAHiddenFormInsideATabHostInAPanelOpensEverything)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    ManualDock(*a, f.Panel(0));
    // A form docked in a panel is no drop target by itself; its style takes the drop.
    TExDockDragDockObject drop(b);
    f.style->ClientDockDrop(DockFixture::ClientOf(a), drop, a->ClientWidth() / 2, a->ClientHeight() / 2);
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a));
    ASSERT_NE(pages, nullptr);
    TExDockTabHostForm* host = pages->Host();
    EXPECT_EQ(HostDockSite(*host), f.Panel(0)) << "the tab host took A's place in the panel";
    pages->SetActivePage(pages->PageOfControl(a));
    int shown = 0;
    DockFixture::ClientOf(b)->OnFormShow = [&](TObject*) { ++shown; };
    HideDockableForm(host);
    EXPECT_FALSE(ControlVisible(*host));
    EXPECT_EQ(f.Panel(0)->Width(), 0) << "the emptied panel collapsed";
    ShowDockableForm(b);
    EXPECT_TRUE(ControlVisible(*host));
    EXPECT_TRUE(ControlVisible(*b));
    EXPECT_EQ(pages->ActivePage(), pages->PageOfControl(b));
    EXPECT_GT(f.Panel(0)->Width(), 0);
    EXPECT_GE(shown, 1);
}

TEST(ExDockHostForms, ChangingAFormsCaptionRenamesItsTabAndTheHost)
{
    DockFixture f;
    TExForm* a = f.Tool("A", 1000, 100);
    TExForm* b = f.Tool("B", 1000, 400);
    DockFixture::Drag(b, CaptionPoint(b), At(a, a->ClientWidth() / 2, a->ClientHeight() / 2));
    auto* pages = dynamic_cast<TExDockTabPageControl*>(HostDockSite(*a));
    ASSERT_NE(pages, nullptr);
    b->SetCaption("Output\r\nmore");
    EXPECT_EQ(pages->Tabs().Get(1), "Output") << "cut at the first line break";
    EXPECT_NE(pages->Host()->Caption().find("Output"), std::string::npos);
}
