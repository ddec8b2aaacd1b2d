// controls-gallery: the control library's controls on one form.
//
//   controls-gallery [--open-menu] [--drop-colors] [--classic]
//
// The form has the owner-drawn main menu with the XP painter, a wizard header, speed buttons
// (a group, a repeating one and one with a drop-down menu), spin edits of the three value
// types, combo, file-name and folder edits, a memo with a line limit, a text list box, static
// texts, a page control, a pixel ruler, a drawn spin button and a status bar hosting a button;
// a second column holds a tab bar, labels, colour buttons, combo boxes and list boxes.
// --open-menu opens the File menu after start; --drop-colors drops the colour panel of the
// first colour button down; --classic draws without themes.

#include "LabelsColorsLists.h"

#include "ExLib/run/buttons/ExSpeedButton.h"
#include "ExLib/run/buttons/ExSpinButton.h"
#include "ExLib/run/controls/ExThemes.h"
#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExMemo.h"
#include "ExLib/run/edits/ExSpinEdit.h"
#include "ExLib/run/graphics/ExRuler.h"
#include "ExLib/run/graphics/ExWizardHeader.h"
#include "ExLib/run/lists/ExTextListBox.h"
#include "ExLib/run/menus/ExXPMenuItemPainter.h"
#include "ExLib/run/panels/ExPageControl.h"
#include "ExLib/run/panels/ExStaticText.h"
#include "ExLib/run/panels/ExStatusBar.h"

#include "Platform/controls/Forms.h"
#include "Platform/core/Application.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <cstring>
#include <string>

namespace {

// A 16 x 16 picture: a coloured square with a dark border on magenta.
QImage Icon(QColor color)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setPen(color.darker(200));
    p.setBrush(color);
    p.drawRect(2, 2, 11, 11);
    return image;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut shortCut = 0,
                   int image = -1)
{
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->SetShortCut(shortCut);
    item->SetImageIndex(image);
    parent->Add(item);
    return item;
}

template <class T>
T* Place(T* control, int left, int top, int width, int height)
{
    control->SetBounds(left, top, width, height);
    return control;
}

TExStaticText* Label(TCustomForm& form, const std::string& caption, int left, int top)
{
    auto* text = new TExStaticText(&form, &form);
    text->SetCaption(caption);
    text->move(left, top);
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    bool openMenu = false;
    bool dropColors = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--open-menu") == 0)
            openMenu = true;
        else if (std::strcmp(argv[i], "--drop-colors") == 0)
            dropColors = true;
        else if (std::strcmp(argv[i], "--classic") == 0)
            CurrentThemeServices().SetThemesEnabled(false);
    }

    TCustomForm form(nullptr);
    form.SetCaption("Controls gallery");
    form.resize(1150, 560);

    // The main menu, drawn by the XP painter as the IDE's main window draws it.
    auto* images = new TImageList(&form, 16, 16);
    for (QColor c : {QColor(Qt::yellow), QColor(Qt::cyan), QColor(Qt::green), QColor(Qt::red)})
        images->Add(Icon(c), clFuchsia);
    auto* menu = new TExMainMenu(&form);
    auto* painter = new TExXPMenuItemPainter(&form);
    painter->SetImageBackgroundColor(clBtnFace);
    painter->SeparatorColor = clBtnFace;
    painter->ShadowColor = cl3DDkShadow;
    painter->CheckedImageBackColor = clBtnFace;
    painter->CheckedImageBackColorSelected = RGBColor(200, 210, 240);
    menu->SetImages(images);
    menu->SetItemPainter(painter);
    TMenuItem* file = AddItem(&form, menu->Items(), "&File");
    AddItem(&form, file, "&New", scCtrl | 'N', 0);
    AddItem(&form, file, "&Open...", scCtrl | 'O', 1);
    AddItem(&form, file, "&Save", scCtrl | 'S', 2);
    AddItem(&form, file, "-");
    TMenuItem* wrap = AddItem(&form, file, "&Word Wrap", 0, 3);
    wrap->SetChecked(true);
    TMenuItem* status = AddItem(&form, file, "Status &Bar");
    status->SetChecked(true);
    TMenuItem* disabled = AddItem(&form, file, "&Print...", scCtrl | 'P', 2);
    disabled->SetEnabled(false);
    AddItem(&form, file, "-");
    TMenuItem* exit = AddItem(&form, file, "E&xit", scAlt | VK_F4);
    exit->OnClick = [&](TObject*) { form.close(); };
    TMenuItem* edit = AddItem(&form, menu->Items(), "&Edit");
    AddItem(&form, edit, "&Undo", scCtrl | 'Z');
    AddItem(&form, menu->Items(), "&View");
    AddItem(&form, menu->Items(), "&Help");
    QMenuBar* bar = menu->MenuBar();
    bar->setParent(&form);
    bar->setGeometry(0, 0, 1150, bar->sizeHint().height());
    const int top = bar->sizeHint().height();

    auto* header = Place(new TJvgWizardHeader(&form, &form), 0, top, 1150, 60);
    header->Captions().Add("Controls Gallery");
    header->Comments().Add("The control library's controls, as the option dialogs place them.");
    header->SetSymbol("J");

    int y = top + 70;
    // Speed buttons: a group of two, a repeating button and one with a drop-down menu.
    Label(form, "Speed buttons:", 10, y + 4);
    auto* left = Place(new TExSpeedButton(&form, &form), 110, y, 25, 25);
    auto* right = Place(new TExSpeedButton(&form, &form), 136, y, 25, 25);
    left->SetGlyph(Icon(Qt::green));
    right->SetGlyph(Icon(Qt::red));
    for (TExSpeedButton* b : {left, right}) {
        b->SetGroupIndex(1);
        b->SetFlat(true);
    }
    left->SetDown(true);
    auto* repeat = Place(new TExSpeedButton(&form, &form), 170, y, 70, 25);
    repeat->SetCaption("Repeat");
    repeat->SetAllowTimer(true);
    auto* macros = new TPopupMenu(&form);
    AddItem(&form, macros->Items(), "Page number");
    AddItem(&form, macros->Items(), "Date");
    auto* drop = Place(new TExSpeedButton(&form, &form), 250, y, 80, 25);
    drop->SetCaption("Macros");
    drop->SetLayout(TButtonLayout::blGlyphLeft);
    drop->SetDropDownMenu(macros);

    // Spin edits.
    y += 35;
    Label(form, "Spin edits:", 10, y + 4);
    auto* port = Place(new TExSpinEdit(&form, &form), 110, y, 80, 21);
    port->SetButtonKind(TSpinButtonKind::bkStandard);
    port->SetMaxValue(65535);
    port->SetValue(7905);
    port->SetAlignment(TAlignment::taCenter);
    auto* margin = Place(new TExSpinEdit(&form, &form), 200, y, 80, 21);
    margin->SetValueType(TValueType::vtFloat);
    margin->SetMaxValue(65535);
    margin->SetValue(2.5);
    auto* hex = Place(new TExSpinEdit(&form, &form), 290, y, 80, 21);
    hex->SetButtonKind(TSpinButtonKind::bkClassic);
    hex->SetValueType(TValueType::vtHex);
    hex->SetValue(255);
    Place(new TExSpinButton(&form, &form), 380, y, 20, 21);

    // Combo, file-name and folder edits.
    y += 35;
    Label(form, "Combo edit:", 10, y + 4);
    auto* combo = Place(new TExCustomComboEdit(&form, &form), 110, y, 260, 21);
    combo->SetImageKind(TExImageKind::ikEllipsis);
    combo->SetText("Press Alt+Down");
    y += 30;
    Label(form, "File name:", 10, y + 4);
    auto* fileEdit = Place(new TExFilenameEdit(&form, &form), 110, y, 260, 21);
    fileEdit->SetFilter("PHP Executable|*php*");
    fileEdit->SetFileName("/usr/bin/php-cgi");
    fileEdit->SetButtonFlat(true);
    y += 30;
    Label(form, "Folder:", 10, y + 4);
    auto* folder = Place(new TExDirectoryEdit(&form, &form), 110, y, 260, 21);
    folder->MultipleDirs = true;
    folder->SetText("/usr/share;/tmp");
    y += 30;
    Label(form, "Disabled:", 10, y + 4);
    auto* off = Place(new TExFilenameEdit(&form, &form), 110, y, 260, 21);
    off->SetText("/a/path/that/cannot/be/changed");
    off->SetEnabled(false);

    // A memo with a three-line limit and a text list box of output.
    y += 35;
    auto* memo = Place(new TExMemo(&form, &form), 10, y, 360, 70);
    memo->SetMaxLines(3);
    memo->SetText("A memo with a limit of three lines.\r\nTyping Enter on the third line does nothing.\r\nLine three.");
    y += 80;
    auto* list = Place(new TExTextListBox(&form, &form), 10, y, 360, 80);
    list->Items().Add("Output line one");
    list->Items().Add("A long output line that is wider than the list box and scrolls horizontally into view");
    list->Items().Add("Output line three");

    // A page control, a pixel ruler and a static text header line on the right.
    auto* pages = Place(new TExPageControl(&form, &form), 400, top + 70, 350, 200);
    for (const char* caption : {"General", "Editor", "Colors"}) {
        auto* sheet = new TTabSheet(&form);
        sheet->SetCaption(caption);
        sheet->SetPageControl(pages);
    }
    pages->SetClientBorderWidth(2);
    auto* ruler = Place(new TJvgRuler(&form, &form), 400, top + 280, 350, 15);
    ruler->SetUseUnit(TJvgSizeUnit::fsuPixels);
    auto* headline = Place(new TExStaticText(&form, &form), 400, top + 305, 350, 20);
    headline->SetAutoSize(false);
    headline->SetAlignment(TAlignment::taCenter);
    headline->SetLayout(TTextLayout::tlCenter);
    headline->SetBorderStyle(TStaticBorderStyle::sbsSunken);
    headline->SetColor(clBtnShadow);
    headline->Font().SetColor(clWhite);
    headline->SetCaption("Static text: centred both ways");

    // The status bar hosts a button in its first panel.
    auto* statusBar = Place(new TExStatusBar(&form, &form), 0, 534, 1150, 26);
    statusBar->AddPanel().SetWidth(105);
    statusBar->AddPanel().SetWidth(800);
    statusBar->Panels(1).SetText(" Ready");
    auto* hosted = new TExSpeedButton(&form, nullptr);
    hosted->SetCaption("Hosted");
    hosted->SetFlat(true);
    hosted->resize(90, 20);
    statusBar->Panels(0).SetControl(hosted);

    TExOfficeColorButton* colors = AddLabelsColorsAndLists(form, 770, top + 70);

    form.show();
    if (dropColors)
        QTimer::singleShot(300, [colors] { colors->DropDownAt(0, 0); });
    if (openMenu)
        QTimer::singleShot(300, [file, bar] {
            if (auto* dropDown = qobject_cast<QMenu*>(file->SubMenuWidget()))
                dropDown->popup(bar->mapToGlobal(bar->actionGeometry(file->Action()).bottomLeft()));
        });
    return app.exec();
}
