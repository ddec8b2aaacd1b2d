// Alignment: edges share out the parent's contents rectangle in the order of their
// coordinates, alClient takes the rest, hidden children take nothing, and a disabled
// parent waits for EnableAlign.

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/Forms.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

struct Fixture {
    Fixture()
    {
        form = std::make_unique<TCustomForm>(nullptr);
        form->setGeometry(0, 0, 200, 100);
        form->show();
    }
    TWinControl* Child(TAlign align, int width, int height)
    {
        auto* c = new TWinControl(nullptr, form.get());
        c->setGeometry(0, 0, width, height);
        c->show();
        SetAlign(*c, align);
        return c;
    }
    std::unique_ptr<TCustomForm> form;
};

TRect Geometry(const TWinControlCore* c) { return c->BoundsRect(); }

} // namespace

TEST(AlignLayout, EdgesAndClientShareTheParent)
{
    Fixture f;
    auto* top = f.Child(TAlign::alTop, 5, 20);
    auto* bottom = f.Child(TAlign::alBottom, 5, 10);
    auto* left = f.Child(TAlign::alLeft, 30, 5);
    auto* right = f.Child(TAlign::alRight, 40, 5);
    auto* client = f.Child(TAlign::alClient, 5, 5);
    EXPECT_EQ(Geometry(top), Rect(0, 0, 200, 20));
    EXPECT_EQ(Geometry(bottom), Rect(0, 90, 200, 100));
    EXPECT_EQ(Geometry(left), Rect(0, 20, 30, 90));
    EXPECT_EQ(Geometry(right), Rect(160, 20, 200, 90));
    EXPECT_EQ(Geometry(client), Rect(30, 20, 160, 90));

    f.form->resize(300, 120);
    EXPECT_EQ(Geometry(bottom), Rect(0, 110, 300, 120));
    EXPECT_EQ(Geometry(right), Rect(260, 20, 300, 110));
    EXPECT_EQ(Geometry(client), Rect(30, 20, 260, 110));
}

TEST(AlignLayout, ControlsOnOneEdgeKeepTheOrderOfTheirCoordinates)
{
    Fixture f;
    auto* first = f.Child(TAlign::alTop, 5, 20);
    auto* second = f.Child(TAlign::alTop, 5, 10);
    EXPECT_EQ(Geometry(first).Top, 0);
    EXPECT_EQ(Geometry(second).Top, 20);
    {
        const TAlignDisabler disabled(f.form.get());
        second->move(0, 0);
        first->move(0, 1);
    }
    EXPECT_EQ(Geometry(second).Top, 0) << "moved before the first one";
    EXPECT_EQ(Geometry(first).Top, 10);

    auto* a = f.Child(TAlign::alBottom, 5, 10);
    auto* b = f.Child(TAlign::alBottom, 5, 15);
    EXPECT_EQ(Geometry(a).Bottom, 100) << "the one nearest the bottom stays there";
    EXPECT_EQ(Geometry(b).Bottom, 90);
}

TEST(AlignLayout, HiddenChildrenTakeNoSpaceAndShowingRealigns)
{
    Fixture f;
    auto* top = f.Child(TAlign::alTop, 5, 20);
    auto* client = f.Child(TAlign::alClient, 5, 5);
    top->hide();
    EXPECT_EQ(Geometry(client), Rect(0, 0, 200, 100));
    top->show();
    EXPECT_EQ(Geometry(client), Rect(0, 20, 200, 100));
    top->resize(200, 35);
    EXPECT_EQ(Geometry(client), Rect(0, 35, 200, 100)) << "a new height realigns";
}

TEST(AlignLayout, DisabledAlignmentWaitsForTheOutermostEnable)
{
    Fixture f;
    auto* top = f.Child(TAlign::alTop, 5, 20);
    auto* client = f.Child(TAlign::alClient, 5, 5);
    DisableAlign(f.form.get());
    DisableAlign(f.form.get());
    top->resize(200, 50);
    EXPECT_EQ(Geometry(client).Top, 20);
    EnableAlign(f.form.get());
    EXPECT_TRUE(AlignDisabled(f.form.get()));
    EXPECT_EQ(Geometry(client).Top, 20);
    EnableAlign(f.form.get());
    EXPECT_FALSE(AlignDisabled(f.form.get()));
    EXPECT_EQ(Geometry(client).Top, 50);
}

TEST(AlignLayout, ContentsMarginsAreLeftFreeAndAChildThatMovesJoinsItsNewParent)
{
    Fixture f;
    f.form->setContentsMargins(3, 21, 3, 3);
    auto* client = f.Child(TAlign::alClient, 5, 5);
    EXPECT_EQ(Geometry(client), Rect(3, 21, 197, 97));
    EXPECT_EQ(f.form->ClientRect(), Rect(0, 0, 194, 76));

    TCustomForm other(nullptr);
    other.setGeometry(0, 0, 50, 40);
    other.show();
    client->SetParent(&other);
    EXPECT_EQ(Geometry(client), Rect(0, 0, 50, 40));
}
