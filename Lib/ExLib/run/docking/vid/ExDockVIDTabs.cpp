#include "ExLib/run/docking/vid/ExDockVIDTabs.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vid/ExDockVIDStyle.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"

#include <QFontMetrics>
#include <cmath>
#include <QPainter>
#include <algorithm>

namespace {

// The caption's width as the strip paints it, rounded up so that it is never cut.
int CaptionWidth(const TFont& font, const std::string& caption, const QWidget* strip)
{
    return static_cast<int>(std::ceil(QFontMetricsF(font.ToQFont(), strip).horizontalAdvance(QStr(caption))));
}

TExDockTabSheet* SheetOf(TWinControlCore* form)
{
    return form ? dynamic_cast<TExDockTabSheet*>(form->Parent()) : nullptr;
}

// The single control on a page, when it is docked in the page control.
TWinControlCore* FormOnPage(TExDockPageControl* pages, TExDockTabSheet* page)
{
    if (!pages || !page)
        return nullptr;
    for (QObject* child : page->Widget()->children())
        if (TWinControlCore* c = TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)); c && pages->HasDockClient(c))
            return c;
    return nullptr;
}

} // namespace

// ---- sheets

TExDockVIDTabSheet::TExDockVIDTabSheet(TComponent* AOwner) : TExDockTabSheet(AOwner) {}

TExDockVIDTabSheet::~TExDockVIDTabSheet()
{
    if (auto* pages = dynamic_cast<TExDockVIDTabPageControl*>(PageControl());
        pages && pages->TabPanel() && !pages->ComponentState().Contains(csDestroying))
        pages->TabPanel()->RemoveSheet(this);
}

void TExDockVIDTabSheet::WndProc(TMessage& message)
{
    TExDockTabSheet::WndProc(message);
    if (message.Msg == CM_TEXTCHANGED)
        if (auto* pages = dynamic_cast<TExDockVIDTabPageControl*>(PageControl()); pages && pages->TabPanel())
            pages->TabPanel()->UpdateTabWidth(this, Caption());
}

// ---- the strip

TExDockTabPanel::TExDockTabPanel(TComponent* AOwner, QWidget* parent) : TExCustomControl(AOwner, parent)
{
    FActiveFont.SetColor(clBlack);
    FInactiveFont.SetColor(clWhite);
    SetColor(clBtnShadow);
    setMouseTracking(true);
}

TExDockTabPanel::~TExDockTabPanel()
{
    // why: taking the strip off its page control realigns the page control, which then must not
    // ask this half-destroyed strip for its height.
    if (PageControl && PageControl->FTabPanel == this)
        PageControl->FTabPanel = nullptr;
}

int TExDockTabPanel::ImageWidth() const
{
    TCustomImageList* images = PageControl ? PageControl->Images() : nullptr;
    return images && ShowTabImages ? images->Width() : 0;
}

void TExDockTabPanel::AddSheet(TExDockVIDTabSheet* sheet)
{
    if (std::find(SortedSheets.begin(), SortedSheets.end(), sheet) == SortedSheets.end())
        SortedSheets.push_back(sheet);
}

void TExDockTabPanel::RemoveSheet(TExDockVIDTabSheet* sheet)
{
    SortedSheets.erase(std::remove(SortedSheets.begin(), SortedSheets.end(), sheet), SortedSheets.end());
    if (DraggedSheet == sheet)
        DraggedSheet = nullptr;
    DragOrder.erase(std::remove(DragOrder.begin(), DragOrder.end(), sheet), DragOrder.end());
    sheet->SetTabVisible(false);
    ResetTabWidths();
    if (PageControl)
        PageControl->Invalidate();
}

void TExDockTabPanel::UpdateTabWidth(TExDockVIDTabSheet* sheet, const std::string& caption)
{
    if (!sheet || !PageControl)
        return;
    const bool active = PageControl->ActivePage() == sheet;
    const int w =
        CaptionWidth(active ? FActiveFont : FInactiveFont, caption, Widget()) + CaptionLeftOffset + CaptionRightOffset;
    if (w == sheet->NaturalTabWidth)
        return;
    SortedSheets.erase(std::remove(SortedSheets.begin(), SortedSheets.end(), sheet), SortedSheets.end());
    const auto at = std::find_if(SortedSheets.begin(), SortedSheets.end(),
                                 [w](const TExDockVIDTabSheet* s) { return s->NaturalTabWidth > w; });
    SortedSheets.insert(at, sheet);
    sheet->NaturalTabWidth = w;
    ResetTabWidths();
    Invalidate();
}

void TExDockTabPanel::ResetTabWidths()
{
    if (!PageControl)
        return;
    // Pages docked since the last look join the list; each keeps the width of its caption.
    for (int i = 0; i < PageControl->PageCount(); ++i)
        if (auto* sheet = dynamic_cast<TExDockVIDTabSheet*>(PageControl->Pages(i))) {
            AddSheet(sheet);
            const bool active = PageControl->ActivePage() == sheet;
            const int w = CaptionWidth(active ? FActiveFont : FInactiveFont, sheet->Caption(), Widget()) +
                          CaptionLeftOffset + CaptionRightOffset;
            if (w != sheet->NaturalTabWidth) {
                sheet->NaturalTabWidth = w;
                std::stable_sort(SortedSheets.begin(), SortedSheets.end(),
                                 [](const TExDockVIDTabSheet* a, const TExDockVIDTabSheet* b) {
                                     return a->NaturalTabWidth < b->NaturalTabWidth;
                                 });
            }
        }
    int available = Width() - CaptionLeftOffset - CaptionRightOffset;
    const int imageSpace = ShowTabImages && ImageWidth() > 0 ? ImageWidth() + CaptionLeftOffset : 0;
    int visible = 0;
    for (TExDockVIDTabSheet* s : SortedSheets)
        if (s->TabVisible() && s->PageControl() == PageControl)
            ++visible;
    int done = 0;
    for (TExDockVIDTabSheet* s : SortedSheets) {
        if (!s->TabVisible() || s->PageControl() != PageControl)
            continue;
        const int left = visible - done;
        if (available < (s->NaturalTabWidth + TabSplitterWidth + imageSpace) * left)
            s->TabWidth = available / left - TabSplitterWidth;
        else
            s->TabWidth = s->NaturalTabWidth + imageSpace;
        available -= s->TabWidth + TabSplitterWidth;
        ++done;
    }
}

int TExDockTabPanel::TabIndexAt(int x, int y)
{
    if (!PageControl)
        return -1;
    const bool top = PageControl->TabPosition() == TTabPosition::tpTop;
    if (top ? (y < 0 || y > Height() - TabBottomOffset) : (y < TabBottomOffset || y > Height()))
        return -1;
    ResetTabWidths();
    std::vector<TExDockTabSheet*> pages = DraggedSheet ? DragOrder : std::vector<TExDockTabSheet*>{};
    if (!DraggedSheet)
        for (int i = 0; i < PageControl->PageCount(); ++i)
            pages.push_back(PageControl->Pages(i));
    int s = 0;
    for (TExDockTabSheet* page : pages) {
        if (!page->TabVisible() || page->PageControl() != PageControl)
            continue;
        auto* vid = dynamic_cast<TExDockVIDTabSheet*>(page);
        const int w = (vid ? vid->TabWidth : 0) + TabSplitterWidth;
        if (x >= TabLeftOffset + s && x <= TabLeftOffset + s + w)
            return page->PageIndex();
        s += w;
    }
    return -1;
}

bool TExDockTabPanel::InTabBand(int x, int y) const
{
    const bool top = PageControl && PageControl->TabPosition() == TTabPosition::tpTop;
    const TRect band = top ? Rect(0, 0, Width(), Height() - TabBottomOffset) : Rect(0, TabBottomOffset, Width(), Height());
    return band.Contains({x, y});
}

void TExDockTabPanel::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    if (!PageControl)
        return;
    ResetTabWidths();
    const int H = Height();
    const int W = Width();
    const bool top = PageControl->TabPosition() == TTabPosition::tpTop;
    const int imageWidth = ImageWidth();
    canvas.Brush().SetColor(ActiveSheetColor);
    canvas.FillRect(top ? Rect(0, H - TabBottomOffset, W, H) : Rect(0, 0, W, TabBottomOffset));
    if (top) {
        canvas.Pen().SetColor(clWhite);
        canvas.MoveTo(0, H - TabBottomOffset);
        canvas.LineTo(W, H - TabBottomOffset);
    } else {
        canvas.Pen().SetColor(clBlack);
        canvas.MoveTo(0, TabBottomOffset);
        canvas.LineTo(W, TabBottomOffset);
    }
    TExDockTabSheet* active = PageControl->ActivePage();
    const int activeIndex = active ? active->PageIndex() : -1;
    int s = 0;
    for (int i = 0; i < PageControl->PageCount(); ++i) {
        auto* page = dynamic_cast<TExDockVIDTabSheet*>(PageControl->Pages(i));
        if (!page || !page->TabVisible())
            continue;
        const int x0 = TabLeftOffset + s;
        const int w = page->TabWidth;
        s += w + TabSplitterWidth;
        TFont* font = &FInactiveFont;
        if (page == active) {
            canvas.Brush().SetColor(ActiveSheetColor);
            canvas.FillRect(top ? Rect(x0, TabTopOffset, x0 + w, H) : Rect(x0, TabBottomOffset, x0 + w, H - TabTopOffset));
            if (top) {
                canvas.Pen().SetColor(clWhite);
                canvas.MoveTo(x0, H - TabBottomOffset);
                canvas.LineTo(x0, TabTopOffset);
                canvas.LineTo(x0 + w, TabTopOffset);
                canvas.Pen().SetColor(clBlack);
                canvas.LineTo(x0 + w, H - TabTopOffset);
            } else {
                canvas.Pen().SetColor(clWhite);
                canvas.MoveTo(x0, TabBottomOffset);
                canvas.LineTo(x0, H - TabTopOffset);
                canvas.Pen().SetColor(clBlack);
                canvas.LineTo(x0 + w, H - TabTopOffset);
                canvas.LineTo(x0 + w, TabBottomOffset);
            }
            font = &FActiveFont;
        } else {
            if (i + 1 != activeIndex) {
                canvas.Pen().SetColor(FInactiveFont.Color());
                canvas.MoveTo(x0 + w, H - TabBottomOffset - 3);
                canvas.LineTo(x0 + w, TabTopOffset + 2);
            }
            canvas.Brush().SetColor(Color());
        }
        canvas.Font().Assign(*font);
        if (HotTabIndex == i)
            canvas.Font().SetColor(HotTrackColor);
        TRect text = Rect(x0 + CaptionLeftOffset + (ShowTabImages ? imageWidth + CaptionLeftOffset : 0),
                          (top ? TabTopOffset : TabBottomOffset) + CaptionTopOffset + 1, x0 + w - CaptionRightOffset, H);
        if (QPainter* painter = canvas.Handle(); painter && !text.IsEmpty()) {
            painter->save();
            painter->setFont(canvas.Font().ToQFont());
            const QString caption =
                painter->fontMetrics().elidedText(QStr(page->Caption()), Qt::ElideRight, text.Width());
            painter->setPen(ToQColor(canvas.Font().Color()));
            painter->drawText(text.ToQt(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
            painter->restore();
        }
        TCustomImageList* images = PageControl->Images();
        if (ShowTabImages && images && 2 * CaptionLeftOffset + imageWidth < w && images->ValidIndex(page->ImageIndex))
            images->Draw(canvas, x0 + CaptionLeftOffset, TabBottomOffset + CaptionTopOffset + 1, page->ImageIndex);
    }
    canvas.Brush().SetColor(ActiveSheetColor);
    canvas.FrameRect(ClientRect());
}

void TExDockTabPanel::MouseAction(UINT msg, TMouseButton button, int x, int y)
{
    const int index = TabIndexAt(x, y);
    TExDockTabSheet* page = index >= 0 ? PageControl->Pages(index) : nullptr;
    TWinControlCore* form = FormOnPage(PageControl, page);
    TExDockClient* client = form ? FindDockClientOf(form) : nullptr;
    if (form)
        SetCurrentDockClient(client);
    if (!client)
        return;
    const int buttonIndex = button == TMouseButton::mbRight ? 1 : button == TMouseButton::mbMiddle ? 2 : 0;
    TMessage nc;
    const TPoint screen = ClientToScreen({x, y});
    nc.Msg = msg + 3 * static_cast<UINT>(buttonIndex);
    nc.WParam = HTCAPTION;
    nc.LParam = MakeLParam(screen.X, screen.Y);
    const QPoint inPages = Widget()->mapTo(PageControl->Widget(), QPoint(x, y));
    PageControl->StripMouseMessage(nc.Msg + 0x160, inPages);
    const auto station = TExDockMouseStation::msTabPage;
    if (msg == WM_NCLBUTTONDBLCLK) {
        client->NCButtonDblClkHook(nc, button, station);
        if (button == TMouseButton::mbLeft && client->CanFloat)
            ManualDock(*form, nullptr);
    } else if (msg == WM_NCLBUTTONDOWN) {
        client->NCButtonDownHook(nc, button, station);
    } else {
        client->NCButtonUpHook(nc, button, station);
    }
}

void TExDockTabPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseDown(button, shift, x, y);
    if (!PageControl)
        return;
    const int index = TabIndexAt(x, y);
    if (index < 0)
        return;
    if (index != PageControl->ActivePageIndex()) {
        PageControl->SetActivePageIndex(index);
        ResetTabWidths();
        PageControl->ChangePage();
        Invalidate();
    }
    FDoubleClick = shift.Contains(ssDouble);
    if (button == TMouseButton::mbLeft && !FDoubleClick) {
        DraggedSheet = PageControl->ActivePage();
        DragOrder.clear();
        for (int i = 0; i < PageControl->PageCount(); ++i)
            DragOrder.push_back(PageControl->Pages(i));
    }
    MouseAction(FDoubleClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN, button, x, y);
}

void TExDockTabPanel::DblClick()
{
    TExCustomControl::DblClick();
}

void TExDockTabPanel::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomControl::MouseMove(shift, x, y);
    if (!PageControl)
        return;
    const int index = TabIndexAt(x, y);
    if (PageControl->HotTrack() && index != HotTabIndex) {
        HotTabIndex = index;
        Invalidate();
    }
    if (!DraggedSheet)
        return;
    if (index < 0) {
        if (InTabBand(x, y))
            return;
        TWinControlCore* form = FormOnPage(PageControl, DraggedSheet);
        DraggedSheet = nullptr;
        if (form && FindDockClientOf(form)) {
            SetCurrentDockClient(FindDockClientOf(form));
            GlobalDockManager()->BeginControlDrag(form, true, -1);
        }
        return;
    }
    TExDockTabSheet* over = PageControl->Pages(index);
    if (over != DraggedSheet) {
        DraggedSheet->SetPageIndex(index);
        Invalidate();
    }
}

void TExDockTabPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseUp(button, shift, x, y);
    DraggedSheet = nullptr;
    DragOrder.clear();
    if (!PageControl || FDoubleClick) {
        FDoubleClick = false;
        return;
    }
    MouseAction(WM_NCLBUTTONUP, button, x, y);
}

void TExDockTabPanel::EndTabDrag()
{
    DraggedSheet = nullptr;
    DragOrder.clear();
}

void TExDockTabPanel::WndProc(TMessage& message)
{
    TExCustomControl::WndProc(message);
    if (message.Msg == CM_MOUSELEAVE && HotTabIndex != -1) {
        HotTabIndex = -1;
        Invalidate();
    }
}

void TExDockTabPanel::Resize()
{
    TExCustomControl::Resize();
    ResetTabWidths();
}

// ---- the page control

TExDockVIDTabPageControl::TExDockVIDTabPageControl(TExDockTabHostForm* host) : TExDockAdvTabPageControl(host)
{
    TabSheetClass = [](TComponent* owner) { return new TExDockVIDTabSheet(owner); };
    TabPanelClass = [](TExDockVIDTabPageControl* owner) { return new TExDockTabPanel(owner, owner->Widget()); };
    SetTabWidth(1);
    SetMultiLine(true);
    TExDockCustomTabControl::SetTabPosition(TTabPosition::tpTop);
    if (host) {
        FOwnImages = new TCustomImageList(host); // owned by the host form
        FImages = FOwnImages;
    }
    CreateTabPanel();
}

TExDockVIDTabPageControl::~TExDockVIDTabPageControl()
{
    if (FTabPanel)
        FTabPanel->PageControl = nullptr;
}

void TExDockVIDTabPageControl::Notification(TComponent* component, TOperation operation)
{
    TExDockAdvTabPageControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FTabPanel)
        FTabPanel = nullptr;
}

void TExDockVIDTabPageControl::CreateTabPanel()
{
    if (FTabPanel)
        return;
    FTabPanel = TabPanelClass ? TabPanelClass(this) : new TExDockTabPanel(this, Widget());
    FTabPanel->PageControl = this;
    FTabPanel->SetParent(Widget());
    FTabPanel->TabLeftOffset = 5;
    FTabPanel->TabRightOffset = 5;
    FTabPanel->TabTopOffset = 3;
    FTabPanel->TabBottomOffset = 3;
    FTabPanel->ActiveSheetColor = clBtnFace;
    FTabPanel->SetColor(clBtnShadow);
    FTabPanel->ShowTabImages = FImages != nullptr && ShowTabImages();
    PlaceTabPanel();
}

void TExDockVIDTabPageControl::RecreateTabPanel()
{
    delete FTabPanel; // the strip takes itself off this page control
    CreateTabPanel();
}

void TExDockVIDTabPageControl::PlaceTabPanel()
{
    if (!FTabPanel)
        return;
    const int h = FTabPanel->TabHeight;
    if (TabPosition() == TTabPosition::tpBottom)
        FTabPanel->setGeometry(0, height() - h, width(), h);
    else
        FTabPanel->setGeometry(0, 0, width(), h);
    // A tab host that shows one form shows no strip.
    const bool single = Host() && Host()->DockingSite() && Host()->DockingSite()->VisibleDockClientCount() == 1;
    FTabPanel->setVisible(!single);
    FTabPanel->raise();
}

void TExDockVIDTabPageControl::Resized()
{
    TExDockAdvTabPageControl::Resized();
    PlaceTabPanel();
    Realign(this);
}

void TExDockVIDTabPageControl::AdjustClientRect(TRect& rect) const
{
    if (Host() && Host()->DockingSite() && Host()->DockingSite()->VisibleDockClientCount() == 1)
        return;
    const int h = FTabPanel ? FTabPanel->TabHeight : 0;
    if (TabPosition() == TTabPosition::tpBottom)
        rect.Bottom -= h - 1;
    else
        rect.Top += h - 1;
}

void TExDockVIDTabPageControl::SetTabPosition(TTabPosition value)
{
    if (value == TTabPosition::tpLeft || value == TTabPosition::tpRight)
        throw EInvalidOperation("Cannot set TabPosition property to tpLeft or tpRight");
    TExDockAdvTabPageControl::SetTabPosition(value);
    PlaceTabPanel();
    Realign(this);
}

void TExDockVIDTabPageControl::SetTabHeight(int value)
{
    TExDockAdvTabPageControl::SetTabHeight(value);
    if (FTabPanel && value > 0 && FTabPanel->TabHeight != value) {
        FTabPanel->TabHeight = value;
        PlaceTabPanel();
        FTabPanel->Invalidate();
    }
}

void TExDockVIDTabPageControl::SetImages(TCustomImageList* images)
{
    FImages = images;
    if (FTabPanel)
        FTabPanel->ShowTabImages = images != nullptr;
}

void TExDockVIDTabPageControl::SetActivePage(TExDockTabSheet* page)
{
    TExDockAdvTabPageControl::SetActivePage(page);
    HostCaptionFromActivePage();
    if (FTabPanel) {
        PlaceTabPanel();
        FTabPanel->Invalidate();
    }
}

TColor TExDockVIDTabPageControl::ActiveSheetColor() const { return FTabPanel ? FTabPanel->ActiveSheetColor : clBtnFace; }
TColor TExDockVIDTabPageControl::InactiveSheetColor() const { return FTabPanel ? FTabPanel->Color() : clBtnShadow; }
int TExDockVIDTabPageControl::TabLeftOffset() const { return FTabPanel ? FTabPanel->TabLeftOffset : 5; }
int TExDockVIDTabPageControl::TabRightOffset() const { return FTabPanel ? FTabPanel->TabRightOffset : 5; }
int TExDockVIDTabPageControl::TabTopOffset() const { return FTabPanel ? FTabPanel->TabTopOffset : 3; }
int TExDockVIDTabPageControl::TabBottomOffset() const { return FTabPanel ? FTabPanel->TabBottomOffset : 3; }
const TFont& TExDockVIDTabPageControl::ActiveFont() const { return FTabPanel->ActiveFont(); }
const TFont& TExDockVIDTabPageControl::InactiveFont() const { return FTabPanel->InactiveFont(); }
TColor TExDockVIDTabPageControl::HotTrackColor() const { return FTabPanel ? FTabPanel->HotTrackColor : clBlue; }
bool TExDockVIDTabPageControl::ShowTabImages() const { return FTabPanel && FTabPanel->ShowTabImages; }

namespace {

template <class T>
void SetStripValue(TExDockTabPanel* strip, T& field, T value)
{
    if (!strip || field == value)
        return;
    field = value;
    strip->Invalidate();
}

} // namespace

void TExDockVIDTabPageControl::SetActiveSheetColor(TColor value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->ActiveSheetColor, value);
}

void TExDockVIDTabPageControl::SetInactiveSheetColor(TColor value)
{
    if (FTabPanel && FTabPanel->Color() != value) {
        FTabPanel->SetColor(value);
        FTabPanel->Invalidate();
    }
}

void TExDockVIDTabPageControl::SetTabLeftOffset(int value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->TabLeftOffset, value);
}

void TExDockVIDTabPageControl::SetTabRightOffset(int value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->TabRightOffset, value);
}

void TExDockVIDTabPageControl::SetTabTopOffset(int value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->TabTopOffset, value);
}

void TExDockVIDTabPageControl::SetTabBottomOffset(int value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->TabBottomOffset, value);
}

void TExDockVIDTabPageControl::SetActiveFont(const TFont& font)
{
    if (!FTabPanel)
        return;
    FTabPanel->ActiveFont().Assign(font);
    FTabPanel->ResetTabWidths();
    FTabPanel->Invalidate();
}

void TExDockVIDTabPageControl::SetInactiveFont(const TFont& font)
{
    if (!FTabPanel)
        return;
    FTabPanel->InactiveFont().Assign(font);
    FTabPanel->ResetTabWidths();
    FTabPanel->Invalidate();
}

void TExDockVIDTabPageControl::SetHotTrackColor(TColor value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->HotTrackColor, value);
}

void TExDockVIDTabPageControl::SetShowTabImages(bool value)
{
    if (FTabPanel)
        SetStripValue(FTabPanel, FTabPanel->ShowTabImages, value);
}

void TExDockVIDTabPageControl::HostCaptionFromActivePage()
{
    if (Host() && ActivePage())
        Host()->SetCaption(ActivePage()->Caption());
}

void TExDockVIDTabPageControl::Change()
{
    if (!Host())
        throw Exception("Assertion failure");
    TExDockAdvTabPageControl::Change();
    HostCaptionFromActivePage();
    if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*Host()))) {
        if (ControlVisible(*Host()) && Host()->CanFocus())
            Host()->SetFocus();
        panel->Invalidate();
    }
    if (TExDockTabSheet* page = ActivePage(); page && ControlVisible(*page) && ControlVisible(*Host()) && page->CanFocus())
        page->SetFocus();
    PlaceTabPanel();
}

void TExDockVIDTabPageControl::UndockClientMessage(TMessage& m)
{
    TExDockAdvTabPageControl::UndockClientMessage(m);
    HostCaptionFromActivePage();
}

void TExDockVIDTabPageControl::DockNotification(TMessage& m)
{
    TExDockAdvTabPageControl::DockNotification(m);
    PlaceTabPanel();
    Realign(this);
}

void TExDockVIDTabPageControl::RefreshHostCaption(TWinControlCore* exclude)
{
    TExDockAdvTabPageControl::RefreshHostCaption(exclude);
    HostCaptionFromActivePage();
    if (Host()) {
        Host()->Invalidate();
        if (TWinControlCore* outer = HostSiteControl(Host()))
            outer->Invalidate();
    }
    PlaceTabPanel();
}

TWinControlCore* TExDockVIDTabPageControl::DockedControlAtTab(TPoint p)
{
    if (!FTabPanel)
        return nullptr;
    const QPoint inStrip = FTabPanel->Widget()->mapFrom(Widget(), p.ToQt());
    const int index = FTabPanel->TabIndexAt(inStrip.x(), inStrip.y());
    return index >= 0 ? FormOnPage(this, Pages(index)) : nullptr;
}

void TExDockVIDTabPageControl::QueryDockEdge(TExDockDragDockObject& source, TPoint mousePos, TAlign& align)
{
    TRect r;
    align = VIDDockSide(this, source.Control, r, mousePos);
}

void TExDockVIDTabPageControl::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client,
                                             TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign) && Host() && !HostDockSite(*Host());
    if (!canDock)
        return;
    influenceRect = ScreenBounds(*Host());
    TRect inner = influenceRect;
    InflateRect(inner, -20, -20);
    inner.Top += SystemBorderWidth() + SystemCaptionHeight() + 1;
    inner.Bottom -= FTabPanel ? FTabPanel->TabHeight : 0;
    if (influenceRect.Contains(mousePos) && inner.Contains(mousePos))
        influenceRect = TRect{};
}

void TExDockVIDTabPageControl::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state,
                                            bool& accept)
{
    accept = CanDockOnto(this, source.Control, source.DropControl, source.DropAlign);
    if (!accept || !Host())
        return;
    if (auto* panel = dynamic_cast<TExDockCustomPanel*>(HostDockSite(*Host()))) {
        if (IDockManager* manager = panel->DockManager()) {
            TRect r = source.DockRect;
            manager->PositionDockRect(source.Control, source.DropControl, source.DropAlign, r);
            source.DockRect = r;
        }
        return;
    }
    if (state != TDragState::dsDragMove)
        return;
    TRect r;
    source.DropAlign = VIDDockSide(this, source.Control, r, {x, y});
    if (source.DropAlign == TAlign::alNone)
        return;
    if (source.DropAlign == TAlign::alClient)
        OffsetRect(r, 0, SystemCaptionHeight());
    source.DockRect = r;
    VIDLastDropRect() = r;
}

void TExDockVIDTabPageControl::AddFormImage(TWinControlCore* form, TExDockTabSheet* sheet)
{
    if (!FOwnImages || !form || !sheet)
        return;
    const QIcon icon = form->Widget()->windowIcon();
    const QImage image = icon.isNull() ? QImage() : icon.pixmap(FOwnImages->Width(), FOwnImages->Height()).toImage();
    QImage picture = image.isNull() ? QImage(FOwnImages->Width(), FOwnImages->Height(), QImage::Format_ARGB32) : image;
    if (image.isNull())
        picture.fill(Qt::transparent);
    const int index = FOwnImages->Add(picture);
    if (sheet == ActivePage() || sheet->ImageIndex == 0)
        sheet->ImageIndex = index;
}

void TExDockVIDTabPageControl::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    const TAlign side = source.DropAlign;
    if (side != TAlign::alNone && side != TAlign::alClient && Host() && Host()->DockClient()) {
        const TRect bounds = ScreenBounds(*Host());
        TExDockConjoinHostForm* conjoin = Host()->DockClient()->CreateConjoinHost(Host(), source.Control, side);
        conjoin->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        SetDockSite(Host(), false);
        SetDockSite(source.Control, false);
        conjoin->Show();
        return;
    }
    auto* vid = dynamic_cast<TExDockVIDDragDockObject*>(&source);
    if (!vid) {
        TExDockAdvTabPageControl::DropOnSite(source, x, y);
        return;
    }
    {
        const TDesktopUpdateLock lock;
        const bool wasLoading = LayoutLoading();
        SetLayoutLoading(true);
        try {
            const std::vector<TWinControlCore*> forms = vid->DockForms;
            UndockControl(source.Control);
            ReleaseEmptyHostForms();
            for (TWinControlCore* form : forms) {
                ManualDock(*form, this, nullptr, TAlign::alClient);
                SettleDroppedForm(form);
                AddFormImage(form, PageOfControl(form));
            }
        } catch (...) {
            SetLayoutLoading(wasLoading);
            throw;
        }
        SetLayoutLoading(wasLoading);
    }
    if (FTabPanel)
        FTabPanel->DraggedSheet = nullptr;
    HostCaptionFromActivePage();
    PlaceTabPanel();
}

void TExDockVIDTabPageControl::DockDrop(TDragDockObject& source, int x, int y)
{
    TExDockAdvTabPageControl::DockDrop(source, x, y);
    if (FTabPanel)
        FTabPanel->DraggedSheet = nullptr;
    TWinControlCore* form = source.Control;
    if (TExDockTabSheet* sheet = SheetOf(form)) {
        if (ControlVisible(*form))
            SetActivePage(sheet);
        AddFormImage(form, sheet);
    }
    HostCaptionFromActivePage();
    PlaceTabPanel();
}

bool TExDockVIDTabPageControl::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (TExDockDragDockObject* drag = GlobalDockManager()->DragObject();
        drag && drag->DropAlign == TAlign::alClient && Host() && drag->DropControl == Host() &&
        HostDockSite(*client) == this)
        return true;
    TExDockTabSheet* sheet = PageOfControl(client);
    if (sheet && FOwnImages && ShowTabImages() && FOwnImages->ValidIndex(sheet->ImageIndex)) {
        const int removed = sheet->ImageIndex;
        FOwnImages->Delete(removed);
        for (int i = 0; i < PageCount(); ++i)
            if (Pages(i)->ImageIndex > removed)
                --Pages(i)->ImageIndex;
    }
    const bool result = TExDockAdvTabPageControl::UndockFromSite(newTarget, client);
    PlaceTabPanel();
    return result;
}

void TExDockVIDTabPageControl::TabMouseMessage(UINT msg, QPoint pos)
{
    // The strip hands its clicks to the dock clients itself.
    (void)msg, (void)pos;
}
