// The filter drop-down: its descriptions and masks from a dialog filter text, and the change
// report when the chosen filter changes.

#include "Platform/controls/FilterComboBox.h"

#include <gtest/gtest.h>

namespace {

TEST(FilterComboBox, ShowsDescriptionsAndAnswersTheChosenMask)
{
    TFilterComboBox box;
    box.SetFilter("All Supported Formats|*.php;*.inc;|PHP Formats|*.php;*.inc|All Formats|*.*");
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(1).toStdString(), "PHP Formats");
    EXPECT_EQ(box.Mask(), "*.php;*.inc;");
    box.setCurrentIndex(2);
    EXPECT_EQ(box.Mask(), "*.*");
}

TEST(FilterComboBox, DropsPiecesWithoutMaskAndToleratesBrokenTexts)
{
    struct TCase {
        const char* Filter;
        int Count;
        const char* Mask;
    };
    const TCase cases[] = {
        {"", 0, ""},
        {"No mask here", 0, ""},
        {"Empty||Text|*.txt", 1, "*.txt"},
        {"Text|*.txt|Dangling", 1, "*.txt"},
        {"Text|*.txt|", 1, "*.txt"},
    };
    for (const TCase& c : cases) {
        TFilterComboBox box;
        box.SetFilter(c.Filter);
        EXPECT_EQ(box.count(), c.Count) << c.Filter;
        EXPECT_EQ(box.Mask(), c.Mask) << c.Filter;
    }
}

TEST(FilterComboBox, ReportsEveryChangeOfTheChosenFilterOnce)
{
    TFilterComboBox box;
    int changes = 0;
    box.OnChange = [&] { ++changes; };
    box.SetFilter("A|*.a|B|*.b");
    EXPECT_EQ(changes, 1);
    box.setCurrentIndex(1);
    EXPECT_EQ(changes, 2);
    box.setCurrentIndex(1);
    EXPECT_EQ(changes, 2);
}

} // namespace
