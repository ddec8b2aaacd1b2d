// The owner-drawn main menu and its item painters: requests that reach the painter through the
// form's hook, the layout of drop-down and menu-bar items, the choice of painter, and the XP
// look as the IDE's main window shows it.

#include "ExLib/run/menus/ExXPMenuItemPainter.h"

#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/controls/Forms.h"
#include "Platform/core/Application.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage Square(QColor color, int size = 16)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// Logs the painting steps of the XP painter in the order they run.
class LoggingPainter : public TExXPMenuItemPainter {
public:
    using TExXPMenuItemPainter::TExXPMenuItemPainter;
    std::vector<std::string> Steps;
    std::vector<std::pair<std::string, TRect>> Captions;

    void RenderCheckedImageBox(const TRect& r) override
    {
        Steps.push_back("checked box");
        TExXPMenuItemPainter::RenderCheckedImageBox(r);
    }
    void RenderImage(int x, int y) override
    {
        Steps.push_back("image");
        TExXPMenuItemPainter::RenderImage(x, y);
    }
    void RenderCheckGlyph(const TRect& r) override
    {
        Steps.push_back("check glyph");
        TExXPMenuItemPainter::RenderCheckGlyph(r);
    }
    void RenderSeparatorLine(const TRect& r) override
    {
        Steps.push_back("separator");
        TExXPMenuItemPainter::RenderSeparatorLine(r);
    }
    void RenderCaption(const TRect& r, const std::string& text, unsigned format) override
    {
        Steps.push_back("caption " + text);
        Captions.emplace_back(text, r);
        TExXPMenuItemPainter::RenderCaption(r, text, format);
    }
};

struct MenuFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExMainMenu* menu = new TExMainMenu(&form);
    TImageList* images = new TImageList(&form, 16, 16);
    TMenuItem* file = Item(menu->Items(), "&File");

    MenuFixture()
    {
        images->Add(Square(Qt::red));
        images->Add(Square(Qt::blue));
        // A shape with a transparent border: red from (2, 2) to (13, 13).
        QImage framed(16, 16, QImage::Format_ARGB32);
        framed.fill(Qt::transparent);
        QPainter(&framed).fillRect(2, 2, 12, 12, Qt::red);
        images->Add(framed);
        form.resize(400, 300);
    }

    TMenuItem* Item(TMenuItem* parent, const std::string& caption, TShortCut shortcut = 0, int image = -1)
    {
        auto* item = new TMenuItem(&form);
        item->SetCaption(caption);
        item->SetShortCut(shortcut);
        item->SetImageIndex(image);
        parent->Add(item);
        return item;
    }

    // The IDE's main menu: XP painter with 16-pixel images, no margins, no check marks.
    LoggingPainter* UseXP()
    {
        auto* painter = new LoggingPainter(&form);
        menu->SetImages(images);
        menu->SetItemPainter(painter);
        return painter;
    }

    // Draws `item` with the active painter onto a picture, as the form's draw request would.
    QImage Draw(TMenuItem* item, TRect r, UINT state, QWidget* window = nullptr)
    {
        QImage target(r.Right + 10, r.Bottom + 10, QImage::Format_ARGB32);
        target.fill(Qt::white);
        QPainter painter(&target);
        TDrawItemStruct record;
        record.itemID = item->Command();
        record.itemState = state;
        record.hwndItem = window;
        record.hDC = &painter;
        record.rcItem = r;
        EXPECT_EQ(form.Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&record)), 1);
        return target;
    }

    TSize Measure(TMenuItem* item)
    {
        TMeasureItemStruct record;
        record.itemID = item->Command();
        EXPECT_EQ(form.Perform(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&record)), 1);
        return {static_cast<int>(record.itemWidth), static_cast<int>(record.itemHeight)};
    }
};

QColor Pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

} // namespace

TEST_F(MenuFixture, TheFormsRequestsReachThePainterThroughTheHook)
{
    TMenuItem* open = Item(file, "&Open", scCtrl | 'O');
    LoggingPainter* painter = UseXP();
    Draw(open, Rect(0, 0, 150, 26), 0);
    EXPECT_EQ(painter->Steps, (std::vector<std::string>{"caption &Open", "caption Ctrl+O"}));

    // A command the menu does not know is left to the form.
    TDrawItemStruct unknown;
    unknown.itemID = 0xFFFF;
    EXPECT_EQ(form.Perform(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&unknown)), 0);
    TMeasureItemStruct other;
    other.CtlType = 0;
    other.itemID = open->Command();
    EXPECT_EQ(form.Perform(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&other)), 0);
}

TEST_F(MenuFixture, XPItemsOfTheIdesMenuAre26PixelsHighWithTheCaptionAt28)
{
    TMenuItem* open = Item(file, "&Open", scCtrl | 'O', 0);
    TMenuItem* line = Item(file, "-");
    LoggingPainter* painter = UseXP();
    const TSize size = Measure(open);
    EXPECT_EQ(size.cy, std::max(26, QFontMetrics(MenuFont()).height() + 2));
    EXPECT_EQ(Measure(line).cy, 3);

    const QImage picture = Draw(open, Rect(0, 0, 200, 26), 0);
    EXPECT_EQ(painter->ItemLayout().Image, Rect(0, 0, 26, 26));
    EXPECT_EQ(painter->ItemLayout().CaptionRect.Left, 28);
    // The image column in its colour, the red image 3 from the left and 4 from the top.
    EXPECT_EQ(Pixel(picture, 1, 1), QColor(216, 216, 209));
    EXPECT_EQ(Pixel(picture, 2, 10), QColor(216, 216, 209));
    EXPECT_EQ(Pixel(picture, 3, 4), QColor(Qt::red));
    EXPECT_EQ(Pixel(picture, 18, 19), QColor(Qt::red));
    EXPECT_EQ(Pixel(picture, 19, 10), QColor(216, 216, 209));
    EXPECT_EQ(Pixel(picture, 27, 2), QColor(Qt::white));
}

TEST_F(MenuFixture, XPSelectionBandAndTheRaisedImageWithItsShadow)
{
    TMenuItem* open = Item(file, "&Open", 0, 2);
    UseXP();
    const QImage picture = Draw(open, Rect(0, 0, 200, 26), ODS_SELECTED);
    const QColor pen(10, 36, 106), band(182, 189, 210);
    EXPECT_EQ(Pixel(picture, 100, 0), pen);
    EXPECT_EQ(Pixel(picture, 100, 24), pen);
    EXPECT_EQ(Pixel(picture, 100, 10), band);
    // The image one pixel up and left (at 2, 3), its shadow one pixel down and right (at 4, 5).
    EXPECT_EQ(Pixel(picture, 4, 5), QColor(Qt::red));
    EXPECT_EQ(Pixel(picture, 15, 16), QColor(Qt::red));
    EXPECT_EQ(Pixel(picture, 17, 18), QColor(136, 141, 157));
    EXPECT_EQ(Pixel(picture, 17, 6), band);
}

TEST_F(MenuFixture, CheckedItemsShowTheirImageOnACheckedBoxOrTheCheckMarkInTheImageColumn)
{
    TMenuItem* withImage = Item(file, "Word wrap", 0, 1);
    withImage->SetChecked(true);
    TMenuItem* plain = Item(file, "Status bar");
    plain->SetChecked(true);
    LoggingPainter* painter = UseXP();

    QImage picture = Draw(withImage, Rect(0, 0, 200, 26), 0);
    EXPECT_EQ(painter->Steps[0], "checked box");
    EXPECT_EQ(painter->Steps[1], "image");
    // The box is outlined in the selection pen and filled with the checked colour.
    EXPECT_EQ(Pixel(picture, 0, 1), QColor(10, 36, 106));
    EXPECT_EQ(Pixel(picture, 1, 2), QColor(212, 213, 216));

    painter->Steps.clear();
    picture = Draw(plain, Rect(0, 0, 200, 26), ODS_SELECTED);
    EXPECT_EQ(painter->Steps[0], "checked box");
    EXPECT_EQ(painter->Steps[1], "check glyph");
    EXPECT_EQ(Pixel(picture, 1, 2), QColor(133, 146, 181));

    // The IDE's values: clBtnFace, or light blue while selected.
    painter->CheckedImageBackColor = clBtnFace;
    painter->CheckedImageBackColorSelected = RGBColor(200, 210, 240);
    picture = Draw(withImage, Rect(0, 0, 200, 26), ODS_SELECTED);
    EXPECT_EQ(Pixel(picture, 1, 2), QColor(200, 210, 240));
}

TEST_F(MenuFixture, ASeparatorIsOneThinLineThatStartsAtTheCaptionWhateverItsImageIndex)
{
    Item(file, "&Open");
    TMenuItem* line = Item(file, "-", 0, 0);
    LoggingPainter* painter = UseXP();
    const QImage picture = Draw(line, Rect(0, 0, 200, 3), 0);
    EXPECT_EQ(painter->Steps, (std::vector<std::string>{"separator"}));
    EXPECT_EQ(Pixel(picture, 100, 1), QColor(166, 166, 166));
    EXPECT_EQ(Pixel(picture, 100, 0), QColor(Qt::white));
    EXPECT_EQ(Pixel(picture, 100, 2), QColor(Qt::white));
    EXPECT_EQ(Pixel(picture, 27, 1), QColor(Qt::white)); // caption indent: starts at 28
    EXPECT_EQ(Pixel(picture, 28, 1), QColor(166, 166, 166));
    EXPECT_EQ(Pixel(picture, 10, 1), QColor(216, 216, 209)); // the image column stays

    // OnGetItemParams never gives a separator a picture.
    menu->OnGetItemParams = [](TExMainMenu*, TMenuItem*, TOwnerDrawState, TFont&, TColor&, QImage& graphic, int&) {
        graphic = QImage(16, 16, QImage::Format_RGB32);
    };
    painter->Steps.clear();
    Draw(line, Rect(0, 0, 200, 3), 0);
    EXPECT_EQ(painter->Steps, (std::vector<std::string>{"separator"}));
}

TEST_F(MenuFixture, ShortcutsStartOnOneColumnEightBlanksAfterTheWidestCaption)
{
    TMenuItem* a = Item(file, "&New", scCtrl | 'N');
    TMenuItem* b = Item(file, "Save &All As Something Long", scCtrl | scShift | 'S');
    LoggingPainter* painter = UseXP();
    Draw(a, Rect(0, 0, 400, 26), 0);
    Draw(b, Rect(0, 0, 400, 26), 0);
    ASSERT_EQ(painter->Captions.size(), 4u);
    EXPECT_EQ(painter->Captions[1].second.Left, painter->Captions[3].second.Left);

    TCanvas canvas;
    AssignQFont(canvas.Font(), MenuFont());
    TRect r{};
    DrawTextOnCanvas(canvas, b->Caption() + "        ", -1, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, r);
    EXPECT_EQ(painter->Captions[1].second.Left, painter->Captions[0].second.Left + r.Width());
}

TEST_F(MenuFixture, TheTextColumnMakesRoomForShortcutsOrForSubMenuArrows)
{
    TMenuItem* edit = Item(menu->Items(), "&Edit");
    TMenuItem* plain = Item(edit, "The widest caption of all");
    UseXP();
    const int alone = Measure(plain).cx;
    TMenuItem* sub = Item(edit, "Sub");
    Item(sub, "Inner");
    TCanvas canvas;
    AssignQFont(canvas.Font(), MenuFont());
    TRect r{};
    DrawTextOnCanvas(canvas, "  ", -1, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, r);
    EXPECT_EQ(Measure(plain).cx, alone + r.Width());
    TMenuItem* keyed = Item(edit, "Keyed", scCtrl | 'K');
    TRect k{}, blanks{};
    DrawTextOnCanvas(canvas, ShortCutToText(keyed->ShortCut()), -1, DT_SINGLELINE | DT_CALCRECT, k);
    DrawTextOnCanvas(canvas, "        ", -1, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT, blanks);
    EXPECT_EQ(Measure(plain).cx, alone + k.Width() + blanks.Width());
}

TEST_F(MenuFixture, MenuBarItemsAreCentredAndShowNoPictureOrCheckMark)
{
    file->SetImageIndex(0);
    file->SetChecked(true);
    LoggingPainter* painter = UseXP();
    const TSize size = Measure(file);
    EXPECT_EQ(size.cy, std::max(MenuBarHeight(), QFontMetrics(MenuFont()).height()) + 2);
    Draw(file, Rect(10, 0, 110, 20), 0);
    ASSERT_EQ(painter->Steps, (std::vector<std::string>{"caption &File"}));
    EXPECT_EQ(painter->ItemLayout().CaptionRect, Rect(10, 0, 110, 20));

    // Hot: framed in the selection colours; open: silver with a grey outline.
    QImage hot = Draw(file, Rect(0, 0, 60, 20), ODS_HOTLIGHT);
    EXPECT_EQ(Pixel(hot, 0, 0), QColor(10, 36, 106));
    EXPECT_EQ(Pixel(hot, 2, 2), QColor(182, 189, 210));
    QImage open = Draw(file, Rect(0, 0, 60, 20), ODS_SELECTED);
    EXPECT_EQ(Pixel(open, 0, 0), QColor(128, 128, 128));
    EXPECT_EQ(Pixel(open, 2, 2), QColor(192, 192, 192));
}

TEST_F(MenuFixture, StyleAndItemPainterChooseTheActivePainter)
{
    EXPECT_EQ(menu->Style(), TExMenuStyle::msStandard);
    EXPECT_NE(dynamic_cast<TExStandardMenuItemPainter*>(menu->ActivePainter()), nullptr);
    auto* painter = new TExXPMenuItemPainter(&form);
    menu->SetItemPainter(painter);
    EXPECT_EQ(menu->Style(), TExMenuStyle::msItemPainter);
    EXPECT_EQ(menu->ActivePainter(), painter);

    menu->SetStyle(TExMenuStyle::msOffice);
    EXPECT_EQ(menu->Style(), TExMenuStyle::msOffice);
    EXPECT_EQ(menu->ItemPainter(), nullptr);
    EXPECT_NE(dynamic_cast<TExOfficeMenuItemPainter*>(menu->ActivePainter()), nullptr);

    menu->SetItemPainter(painter);
    menu->SetItemPainter(nullptr);
    EXPECT_EQ(menu->Style(), TExMenuStyle::msStandard);

    // A painter freed while in use falls back to the standard style.
    menu->SetItemPainter(painter);
    delete painter;
    EXPECT_EQ(menu->ItemPainter(), nullptr);
    EXPECT_EQ(menu->Style(), TExMenuStyle::msStandard);

    menu->SetStyle(TExMenuStyle::msBtnRaised);
    auto* btn = dynamic_cast<TExBtnMenuItemPainter*>(menu->ActivePainter());
    ASSERT_NE(btn, nullptr);
    EXPECT_FALSE(btn->Lowered);
    menu->SetStyle(TExMenuStyle::msItemPainter);
    EXPECT_NE(dynamic_cast<TExStandardMenuItemPainter*>(menu->ActivePainter()), nullptr);
}

TEST_F(MenuFixture, AMissingItemIsReportedAndNotDrawn)
{
    UseXP();
    std::vector<TMessageBoxRequest> boxes;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&](const TMessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    };
    QImage target(50, 50, QImage::Format_ARGB32);
    QPainter p(&target);
    TCanvas canvas(&p);
    menu->ActivePainter()->Attach(menu, &canvas);
    menu->ActivePainter()->RenderItem(nullptr, Rect(0, 0, 50, 20), {});
    Application()->MessageBoxHook = saved;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "error in menu painter");
    EXPECT_TRUE(boxes[0].Flags & MB_ICONERROR);
}

TEST_F(MenuFixture, AnOpenDropDownIsDrawnByThePainterInsideItsFrame)
{
    TMenuItem* open = Item(file, "&Open", scCtrl | 'O', 0);
    Item(file, "-");
    Item(file, "E&xit");
    UseXP();
    form.show();
    auto* dropDown = qobject_cast<QMenu*>(file->SubMenuWidget());
    ASSERT_NE(dropDown, nullptr);
    dropDown->popup(QPoint(0, 0));
    QApplication::processEvents();
    dropDown->setActiveAction(nullptr); // whatever the mouse pointer happened to be over
    const QRect geometry = dropDown->actionGeometry(open->Action());
    EXPECT_EQ(geometry.topLeft(), QPoint(OwnerDrawMenuFrame, OwnerDrawMenuFrame));
    EXPECT_EQ(geometry.height(), std::max(26, QFontMetrics(MenuFont()).height() + 2));
    const QImage shown = dropDown->grab().toImage();
    // The outline, the white inner lines and the image column down the left side.
    EXPECT_EQ(Pixel(shown, 0, 10), QColor(102, 102, 102));
    EXPECT_EQ(Pixel(shown, 10, 1), QColor(Qt::white));
    EXPECT_EQ(Pixel(shown, 1, 10), QColor(216, 216, 209));
    EXPECT_EQ(Pixel(shown, 3 + 20, 3 + 2), QColor(216, 216, 209));
    EXPECT_EQ(Pixel(shown, 3 + 3, 3 + 4), QColor(Qt::red));
    EXPECT_EQ(Pixel(shown, 3 + 27, 3 + 1), QColor(Qt::white));
    dropDown->close();
}
