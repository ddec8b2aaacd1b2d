#include "LabelsColorsLists.h"

#include "ExLib/run/lists/ExComboBox.h"
#include "ExLib/run/lists/ExImageComboBox.h"
#include "ExLib/run/lists/ExListBox.h"
#include "ExLib/run/panels/ExLabel.h"
#include "ExLib/run/panels/ExTabBar.h"

#include "Platform/controls/AlignLayout.h"

#include <QPainter>

namespace {

// A 16 x 16 picture: a rounded square in `color`.
QImage Swatch(QColor color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(color.darker(160));
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 3, 3);
    return image;
}

TExLabel* Caption(TCustomForm& form, const std::string& text, int left, int top)
{
    auto* label = new TExLabel(&form, &form);
    label->move(left, top);
    label->SetCaption(text);
    return label;
}

// The look the IDE's option dialogs give their colour buttons.
void AsOnTheOptionsDialog(TExOfficeColorButton& button)
{
    button.SetFaceColor(clBtnFace);
    TExOfficeColorButtonProperties& p = button.Properties();
    p.SetShowDragBar(false);
    p.SetDragBarHint("Drag to floating");
    p.SetShowAutoButton(false);
    p.SetShowColorHint(false);
    p.SetOtherCaption("More...");
    button.SetOptions(TColorDialogOptions{cdFullOpen});
}

} // namespace

TExOfficeColorButton* AddLabelsColorsAndLists(TCustomForm& form, int left, int top)
{
    // A tab bar as the document windows show them, with a modified document.
    auto* tabs = new TExTabBar(&form, &form);
    SetAlign(*tabs, TAlign::alNone);
    tabs->SetBounds(left, top, 370, 24);
    for (const char* name : {"index.php", "style.css", "script.js", "contact.php", "readme.txt"})
        tabs->Tabs().Add()->SetCaption(name);
    tabs->Tabs().Items(1)->SetModified(true);
    tabs->SetHotTracking(true);
    tabs->AllowTabMoving = true;

    // Labels: a shadow, a chamfered frame, rotation, the disabled look, a hot-tracked link.
    int y = top + 34;
    auto* shadow = Caption(form, "Label with a shadow", left, y);
    shadow->SetShadowSize(2);
    shadow->SetShadowColor(clBtnShadow);
    shadow->Font().SetStyle(TFontStyles{fsBold});
    auto* framed = Caption(form, "Chamfered frame", left + 170, y);
    framed->SetMargin(3);
    framed->SetFrameColor(clNavy);
    framed->SetRoundedFrame(4);
    auto* rotated = Caption(form, "Rotated", left + 320, y - 4);
    rotated->SetAngle(90);
    y += 28;
    auto* disabled = Caption(form, "Disabled label", left, y);
    disabled->SetEnabled(false);
    auto* link = Caption(form, "A link with a hot-track font", left + 120, y);
    link->Font().SetColor(clBlue);
    link->HotTrackFont().SetColor(clRed);
    link->HotTrackFont().SetStyle(TFontStyles{fsUnderline});
    link->SetHotTrack(true);
    link->SetURL("https://www.php.net/");

    // Colour buttons: two as the options dialog places them, one with the automatic button and
    // a drag bar.
    y += 28;
    Caption(form, "Foreground:", left, y + 4);
    auto* foreground = new TExOfficeColorButton(&form, &form);
    foreground->SetBounds(left + 75, y, 75, 22);
    AsOnTheOptionsDialog(*foreground);
    foreground->SetSelectedColor(clNavy);
    Caption(form, "Background:", left + 160, y + 4);
    auto* background = new TExOfficeColorButton(&form, &form);
    background->SetBounds(left + 235, y, 75, 22);
    AsOnTheOptionsDialog(*background);
    background->SetSelectedColor(0xCCFFFF);
    y += 28;
    Caption(form, "Table border:", left, y + 4);
    auto* border = new TExOfficeColorButton(&form, &form);
    border->SetBounds(left + 75, y, 90, 22);
    border->SetFaceColor(clBtnFace);
    border->SetSelectedColor(clNone);

    // Combo boxes: a placeholder, a read-only one, and the line-ending selector.
    y += 32;
    auto* search = new TExComboBox(&form, &form);
    search->SetBounds(left, y, 180, 22);
    for (const char* f : {"array_map", "array_filter", "str_replace", "preg_match"})
        search->Items().Add(f);
    search->SetEmptyValue("Search functions");
    auto* fixed = new TExComboBox(&form, &form);
    fixed->SetBounds(left + 190, y, 180, 22);
    fixed->Items().Add("Read-only choice");
    fixed->SetItemIndex(0);
    fixed->SetReadOnly(true);
    y += 30;
    auto* images = new TImageList(&form, 16, 16);
    for (QColor c : {QColor(Qt::gray), QColor(0, 120, 215), QColor(16, 124, 16), QColor(196, 43, 28)})
        images->Add(Swatch(c));
    auto* lineEnding = new TExImageComboBox(&form, &form);
    lineEnding->SetBounds(left, y, 180, 24);
    lineEnding->SetImages(images);
    lineEnding->SetDroppedWidth(130);
    int image = 1;
    for (const char* text : {"CR+LF (Windows)", "LF (Unix/Linux)", "CR (Machintosh)"}) {
        TExImageItem* item = lineEnding->Items().Add();
        item->SetText(text);
        item->SetImageIndex(image++);
        item->SetIndent(0);
    }
    lineEnding->SetItemIndex(1);

    // List boxes: the sorted category list and a centred, word-wrapped one.
    y += 34;
    auto* categories = new TExListBox(&form, &form);
    categories->SetBounds(left, y, 150, 150);
    categories->SetSorted(true);
    for (const char* c : {"General", "Editor", "Display", "Colors", "Code Insight", "Backup", "Print",
                          "HTTP Server", "Environment", "Keyboard"})
        categories->Items().Add(c);
    categories->SetItemIndex(2);
    auto* notes = new TExListBox(&form, &form);
    notes->SetBounds(left + 160, y, 210, 150);
    notes->SetMultiLine(true);
    notes->SetAlignment(taCenter);
    notes->SetSelectedColor(clNavy);
    for (const char* n : {"A centred item", "A long item that wraps over several lines within the list box",
                          "Items are drawn by the list box itself", "Short"})
        notes->Items().Add(n);
    notes->SetItemIndex(1);
    return foreground;
}
