// The status bar: controls hosted in its panels and kept in place, the refusal to host itself,
// and hint mode, which hides the hosted controls until the hint is cleared.

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/panels/ExStatusBar.h"

#include "Platform/controls/Forms.h"

#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

struct BarFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExStatusBar* bar = new TExStatusBar(&form, &form);
    TWinControl* hosted = new TWinControl(&form, nullptr);

    BarFixture()
    {
        form.resize(900, 100);
        bar->SetBounds(0, 74, 900, 26);
        bar->AddPanel().SetWidth(105);
        bar->Panels(0).SetAlignment(TAlignment::taCenter);
        bar->AddPanel().SetWidth(800);
        hosted->resize(60, 10);
        form.show();
    }
};

} // namespace

TEST_F(BarFixture, AControlInTheSecondPanelSitsAfterTheFirstPanelAndItsMargins)
{
    bar->Panels(1).SetControl(hosted);
    EXPECT_EQ(hosted->Parent(), bar);
    EXPECT_EQ(hosted->Left(), 105 + 3);
    EXPECT_EQ(hosted->Top(), 3);
    EXPECT_EQ(hosted->Height(), bar->ClientHeight() - 4);
    bar->Panels(0).SetWidth(120);
    EXPECT_EQ(hosted->Left(), 123);
    bar->Panels(1).SetMarginLeft(10);
    bar->Panels(1).SetMarginTop(1);
    EXPECT_EQ(hosted->Left(), 130);
    EXPECT_EQ(hosted->Top(), 1);

    // A freed control leaves its panel.
    delete hosted;
    EXPECT_EQ(bar->Panels(1).Control(), nullptr);
}

TEST_F(BarFixture, TheBarCannotHostItself)
{
    bar->Panels(0).SetControl(hosted);
    try {
        bar->Panels(0).SetControl(bar);
        FAIL() << "no exception";
    } catch (const EExLibException& e) {
        EXPECT_EQ(e.Message(), "Invalid control selection");
    }
    EXPECT_EQ(bar->Panels(0).Control(), nullptr);
}

TEST_F(BarFixture, HintModeHidesTheHostedControlsUntilTheHintIsCleared)
{
    bar->Panels(1).SetControl(hosted);
    EXPECT_TRUE(bar->ShowActionHint("Opens a file"));
    EXPECT_TRUE(bar->HintMode());
    EXPECT_FALSE(hosted->isVisible());
    EXPECT_TRUE(bar->ShowActionHint("Saves the file"));
    EXPECT_EQ(bar->HintText(), "Saves the file");
    EXPECT_FALSE(hosted->isVisible());
    EXPECT_TRUE(bar->ShowActionHint("   "));
    EXPECT_FALSE(bar->HintMode());
    EXPECT_TRUE(hosted->isVisible());

    // With automatic hints the status tips Qt shows reach the bar as hints.
    bar->SetAutoHint(true);
    bar->showMessage("A status tip");
    EXPECT_TRUE(bar->HintMode());
    bar->clearMessage();
    EXPECT_FALSE(bar->HintMode());
    EXPECT_TRUE(hosted->isVisible());
}
