// The image combo box: items with images, indents and texts kept in the string list, item
// heights, the indent of the edit part, the disabled colour and the selection event.

#include "ExLib/run/lists/ExImageComboBox.h"

#include "Platform/controls/Forms.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QImage Square(int size, QColor color)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// The line-ending selector of the options dialog.
struct ImageComboFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TImageList* images = new TImageList(&form, 16, 16);
    TExImageComboBox* combo = new TExImageComboBox(&form, &form);

    ImageComboFixture()
    {
        form.resize(300, 200);
        for (QColor c : {Qt::black, Qt::red, Qt::green, Qt::blue})
            images->Add(Square(16, c));
        combo->SetBounds(10, 10, 180, 24);
        combo->SetImages(images);
        combo->SetDroppedWidth(130);
        int image = 1;
        for (const char* text : {"CR+LF (Windows)", "LF (Unix/Linux)", "CR (Machintosh)"}) {
            TExImageItem* item = combo->Items().Add();
            item->SetText(text);
            item->SetImageIndex(image++);
            item->SetIndent(0);
        }
    }
    std::vector<std::string> Strings()
    {
        std::vector<std::string> strings;
        for (int i = 0; i < combo->Strings().Count(); ++i)
            strings.push_back(combo->Strings()[i]);
        return strings;
    }
    // The leftmost column of the edit part that shows text ink (dark pixels right of the image).
    int TextStart()
    {
        combo->Font().SetColor(clBlack);
        const QImage image = combo->grab().toImage();
        for (int x = 0; x < image.width(); ++x)
            for (int y = 4; y < image.height() - 4; ++y)
                if (qGray(image.pixel(x, y)) < 80 && image.pixelColor(x, y) != QColor(Qt::red))
                    return x;
        return -1;
    }
};

} // namespace

TEST_F(ImageComboFixture, ItemTextsLiveInTheStringListIndexForIndex)
{
    EXPECT_EQ(Strings(), (std::vector<std::string>{"CR+LF (Windows)", "LF (Unix/Linux)", "CR (Machintosh)"}));
    EXPECT_EQ(combo->Items().Items(1)->GetDisplayName(), "LF (Unix/Linux)");
    combo->Items().Items(0)->SetIndex(2);
    EXPECT_EQ(Strings(), (std::vector<std::string>{"LF (Unix/Linux)", "CR (Machintosh)", "CR+LF (Windows)"}));
    EXPECT_EQ(combo->Items().Items(2)->ImageIndex(), 1);
    combo->Items().Delete(0);
    EXPECT_EQ(Strings(), (std::vector<std::string>{"CR (Machintosh)", "CR+LF (Windows)"}));
    combo->Items().Items(1)->SetText("CRLF");
    EXPECT_EQ(combo->Strings()[1], "CRLF");
    EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(ImageComboFixture, ANewItemHasNoImageAndAnIndentOfTwo)
{
    TExImageItem* item = combo->Items().Add();
    EXPECT_EQ(item->ImageIndex(), -1);
    EXPECT_EQ(item->Indent(), 2);
    EXPECT_EQ(item->Text(), "");
    EXPECT_EQ(item->GetDisplayName(), "TExImageItem");
    EXPECT_EQ(combo->Strings().Count(), 4);
    // The item takes the combo box's colours and font until it has its own.
    EXPECT_EQ(item->ColorHighlight(), clHighlight);
    combo->SetColorHighlight(clRed);
    EXPECT_EQ(item->ColorHighlight(), clRed);
    item->SetListPropertiesUsed({});
    item->SetColorHighlight(clBlue);
    EXPECT_EQ(item->ColorHighlight(), clBlue);
    EXPECT_EQ(combo->ColorHighlight(), clRed);
}

TEST_F(ImageComboFixture, ItemHeightsFollowTheFontAndTheLargestImage)
{
    const int font = QFontMetrics(combo->font()).height();
    EXPECT_EQ(combo->ItemHeight(), std::max(font + 4, 16));
    combo->SetButtonFrame(true);
    EXPECT_EQ(combo->ItemHeight(), std::max(font + 4, 20));
    // An item's own picture wins over the list and sets that item's size.
    TExImageItem* big = combo->Items().Add();
    big->SetGlyph(Square(40, Qt::yellow));
    combo->Items().Items(0)->SetIndent(1); // any change of an item recomputes the height
    EXPECT_EQ(combo->ImageSize(3), (TSize{40, 40}));
    EXPECT_EQ(combo->ImageSize(0), (TSize{16, 16}));
    EXPECT_EQ(combo->ItemHeight(), 44);
    QStyleOptionViewItem option;
    EXPECT_EQ(combo->view()->itemDelegate()->sizeHint(option, combo->model()->index(3, 0)).height(), 44);
    EXPECT_EQ(combo->view()->itemDelegate()->sizeHint(option, combo->model()->index(0, 0)).height(),
              std::max(font + 4, 20));
}

TEST_F(ImageComboFixture, TheEditPartIsIndentedOnlyWithIndentSelected)
{
    combo->Items().Items(0)->SetIndent(30);
    combo->SetItemIndex(0);
    form.show();
    const int plain = TextStart();
    combo->SetIndentSelected(true);
    const int indented = TextStart();
    ASSERT_GT(plain, 0);
    EXPECT_EQ(indented - plain, 30);
}

TEST_F(ImageComboFixture, ADisabledImageComboIsPaintedOnButtonFace)
{
    combo->SetEnabled(false);
    EXPECT_EQ(combo->Color(), clBtnFace);
    combo->SetEnabled(true);
    EXPECT_EQ(combo->Color(), clWindow);
}

TEST_F(ImageComboFixture, OnlyTheUsersChoiceFiresOnChange)
{
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetItemIndex(0);
    EXPECT_EQ(changes, 0);
    form.show();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(ImageComboFixture, AssigningAStringListMakesOneItemPerString)
{
    TStringList views;
    views.Add("Local View");
    views.Add("Remote View");
    combo->Items().Assign(views);
    ASSERT_EQ(combo->Items().Count(), 2);
    EXPECT_EQ(combo->Items().Items(1)->Text(), "Remote View");
    EXPECT_EQ(Strings(), (std::vector<std::string>{"Local View", "Remote View"}));

    TCustomForm other{nullptr};
    auto* copy = new TExImageComboBox(&other, &other);
    copy->SetItems(combo->Items());
    EXPECT_EQ(copy->Items().Items(0)->Text(), "Local View");
    EXPECT_EQ(copy->Strings().Count(), 2);
}
