// Virtual keys, shortcuts and their texts.

#include "Platform/controls/Keys.h"

#include <gtest/gtest.h>

TEST(Keys, ShortCutsPackKeyAndModifiers)
{
    EXPECT_EQ(ShortCut('S', {ssCtrl}), 0x4053);
    EXPECT_EQ(ShortCut(VK_F3, {ssShift, ssCtrl}), scShift | scCtrl | VK_F3);
    EXPECT_EQ(ShortCut(0x1FF, {}), 0); // not a virtual key
    WORD key = 0;
    TShiftState shift;
    ShortCutToKey(scAlt | VK_BACK, key, shift);
    EXPECT_EQ(key, VK_BACK);
    EXPECT_EQ(shift, TShiftState{ssAlt});
}

TEST(Keys, ShortCutTextsRoundTrip)
{
    struct Case {
        TShortCut ShortCut;
        const char* Text;
    };
    const Case cases[] = {
        {scCtrl | 'S', "Ctrl+S"},
        {scShift | scCtrl | VK_F3, "Shift+Ctrl+F3"},
        {scAlt | VK_BACK, "Alt+BkSp"},
        {VK_DELETE, "Del"},
        {scCtrl | VK_NEXT, "Ctrl+PgDn"},
        {scCtrl | VK_OEM_PERIOD, "Ctrl+."},
        {scCtrl | VK_SPACE, "Ctrl+Space"},
        {scCtrl | '5', "Ctrl+5"},
        {VK_RETURN, "Enter"},
        {scShift | VK_INSERT, "Shift+Ins"},
        {VK_F12, "F12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text);
        EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut);
    }
    EXPECT_EQ(TextToShortCut("ctrl+shift+s"), scCtrl | scShift | 'S');
    EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
    EXPECT_EQ(TextToShortCut("Hyper+X"), 0);
    EXPECT_EQ(ShortCutToText(0), "");
}

TEST(Keys, QtKeysMapOntoVirtualKeys)
{
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), 'A');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7), '7');
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F5), VK_F1 + 4);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), VK_RETURN);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageDown), VK_NEXT);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_BraceLeft), VK_OEM_4);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown), 0);
    for (WORD vk : {WORD('A'), WORD('0'), WORD(VK_F1), WORD(VK_HOME), WORD(VK_DELETE), WORD(VK_OEM_2), WORD(VK_BACK)})
        EXPECT_EQ(VirtualKeyFromQt(QtKeyFromVirtualKey(vk)), vk);
}

TEST(Keys, KeySequencesMatchShortCuts)
{
    EXPECT_EQ(ShortCutToKeySequence(scCtrl | 'S'), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(KeySequenceToShortCut(QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_F4)), scShift | scAlt | VK_F4);
    EXPECT_EQ(KeySequenceToShortCut(QKeySequence()), 0);
}
