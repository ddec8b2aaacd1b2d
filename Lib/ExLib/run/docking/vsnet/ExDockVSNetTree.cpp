#include "ExLib/run/docking/vsnet/ExDockVSNetTree.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/tree/ExDockStreamValues.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "Platform/core/Exceptions.h"

#include <QPainter>

namespace {

TExDockClient* ClientOf(const TExDockZone* zone)
{
    return zone && zone->Control ? FindDockClientOf(zone->Control) : nullptr;
}

bool CloseButtonOff(const TExDockZone* zone)
{
    TExDockClient* client = ClientOf(zone);
    return client && !client->EnableCloseButton;
}

} // namespace

TExDockZoneFactory VSNETZoneClass()
{
    return [](TExDockTree* tree) { return std::make_unique<TExDockVSNETZone>(tree); };
}

// ---- the dock panel

TExDockVSNETPanel::TExDockVSNETPanel(TComponent* AOwner, QWidget* parent) : TExDockVIDPanel(AOwner, parent)
{
    ChannelClass = [](TExDockVSNETPanel* panel) { return new TExDockVSChannel(panel); };
}

TExDockVSNETPanel::~TExDockVSNETPanel()
{
    FreeChannel();
}

void TExDockVSNETPanel::DockServerAttached(TExDockServer* server)
{
    if (!server)
        return;
    if (!server->DockStyle())
        throw Exception("Assertion failure");
    CreateChannel();
}

void TExDockVSNETPanel::DockServerDetached(TExDockServer* server)
{
    (void)server;
    FreeChannel();
}

void TExDockVSNETPanel::CreateChannel()
{
    if (!ChannelClass || FChannel)
        return;
    FChannel = ChannelClass(this);
    FChannel->SetParent(parentWidget());
    SetAlign(*FChannel, AlignOf(*this));
    FChannel->PrepareVerticalFont();
    FChannel->UpdatePlacement();
    FChannel->SetVisible(false);
    if (!Name().empty())
        FChannel->SetName(Name() + "_VSChannel");
    FChannel->CreatePopup();
    FreeNotification(FChannel);
}

void TExDockVSNETPanel::FreeChannel()
{
    if (!FChannel)
        return;
    TExDockVSChannel* channel = FChannel;
    FChannel = nullptr;
    RemoveFreeNotification(channel);
    delete channel;
}

void TExDockVSNETPanel::Notification(TComponent* component, TOperation operation)
{
    TExDockVIDPanel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FChannel)
        FChannel = nullptr;
}

TExDockPanel* TExDockVSNETPanel::PopupPanel() const
{
    return FChannel ? FChannel->PopupPanel() : nullptr;
}

void TExDockVSNETPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    TExDockVIDPanel::DropOnSite(source, x, y);
    if (FChannel && FChannel->ShownForm)
        FChannel->SlideInPopup();
}

void TExDockVSNETPanel::Resized()
{
    TExDockVIDPanel::Resized();
    const TAlign align = AlignOf(*this);
    if ((align != TAlign::alTop && align != TAlign::alBottom) || !DockServer())
        return;
    for (TAlign side : {TAlign::alLeft, TAlign::alRight})
        if (auto* panel = dynamic_cast<TExDockVSNETPanel*>(DockServer()->DockPanelWithAlign(side)); panel && panel->Channel())
            panel->Channel()->FitPopupToChannel();
}

void TExDockVSNETPanel::TogglePin(TWinControlCore* control)
{
    AutoHideForm(control);
}

void TExDockVSNETPanel::AutoHideForm(TWinControlCore* control)
{
    auto* form = dynamic_cast<TCustomForm*>(control);
    TExDockVSPopupPanel* popup = FChannel ? FChannel->PopupPanel() : nullptr;
    if (!form || !popup || HostDockSite(*form) != this)
        return;
    const TDesktopUpdateLock lock;
    const TAlignDisabler disabled(parentWidget());
    FChannel->AddChannelForm(form);
    ShowDockPanel(VisibleDockClientCount() > 1, form, false);
    // The form keeps a hidden zone here so that pinning brings it back to the same place.
    const TRect bounds = form->BoundsRect();
    Dock(*form, popup, bounds);
    FChannel->AddToPopupSite(form);
    if (IExDockManager* manager = ExDockManager())
        manager->HideControlZone(form);
    FChannel->UpdateTopBottomOffsets();
    Invalidate();
}

// ---- zones and the tree

void TExDockVSNETZone::BeforeReload()
{
    auto* tree = static_cast<TExDockVSNETTree*>(Tree);
    auto* popup = dynamic_cast<TExDockVSPopupPanel*>(&tree->DockSite());
    auto* form = dynamic_cast<TCustomForm*>(Control);
    TExDockVSChannel* channel = popup ? ChannelOfPopupPanel(popup) : nullptr;
    if (!channel || !form)
        return;
    channel->AddChannelForm(form);
    for (const auto& block : channel->Blocks)
        for (const auto& pane : block->Panes)
            if (TExDockClient* client = FindDockClientOf(pane->Form); client && client->VSPaneWidth > 0)
                pane->PaneSize = client->VSPaneWidth;
}

TExDockVSNETTree::TExDockVSNETTree(TDockSite& site, TExDockZoneFactory zoneClass)
    : TExDockVIDTree(site, zoneClass ? std::move(zoneClass) : VSNETZoneClass())
{
    ButtonHeight = 12;
    ButtonWidth = 16;
    RightOffset = 3;
    VerticalOffset = 4;
    ButtonSplitter = 2;
    CaptionLeftOffset = 5;
    CaptionRightOffset = 5;
    if (GetGrabbersSize() <= 0)
        SetGrabbersSize(19);
}

TExDockVSNETTree::~TExDockVSNETTree() = default;

bool TExDockVSNETTree::InPopup() const
{
    return dynamic_cast<TExDockVSPopupPanel*>(&DockSite()) != nullptr;
}

void TExDockVSNETTree::TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    TExDockVIDTree::TopGrabberHitTest(p, code, zone);
    if (code == 0)
        return;
    if (CloseButtonOff(zone)) {
        if (code == HTCLOSE_ZONE)
            code = HTAUTOHIDE_ZONE;
        return;
    }
    if (SiteFillsParent() || code == HTCLOSE_ZONE)
        return;
    const TWinControlCore* c = zone->Control;
    const int right = c->Left() + c->Width();
    const int top = c->Top() + VerticalOffset - GetGrabbersSize();
    const TRect pin = Rect(right - 2 * ButtonWidth - RightOffset - ButtonSplitter, top,
                           right - ButtonWidth - RightOffset - ButtonSplitter, top + ButtonHeight);
    if (pin.Contains(p))
        code = HTAUTOHIDE_ZONE;
}

void TExDockVSNETTree::SetButtonStates(TExDockVSNETZone* zone, int pin, int close)
{
    if (!zone || (zone->PinState == pin && zone->CloseState == close))
        return;
    zone->PinState = pin;
    zone->CloseState = close;
    InvalidateSite();
}

bool TExDockVSNETTree::LButtonDownHook(TMessage& message, TExDockZone*& zone, int& code)
{
    const bool consumed = TExDockVIDTree::LButtonDownHook(message, zone, code);
    auto* z = dynamic_cast<TExDockVSNETZone*>(zone);
    if (z && code == HTCLOSE_ZONE) {
        SetButtonStates(z, z->PinState, 2);
    } else if (z && code == HTAUTOHIDE_ZONE) {
        PinPressedZone = z;
        z->PinPressStarted = true;
        SetButtonStates(z, 2, z->CloseState);
    }
    return consumed;
}

void TExDockVSNETTree::MouseMoveHook(TMessage& message, TExDockZone*& zone, int& code)
{
    TExDockVIDTree::MouseMoveHook(message, zone, code);
    auto* z = dynamic_cast<TExDockVSNETZone*>(zone);
    if (!z)
        return;
    const bool closeDown = z->CloseButtonDown;
    const int pin = z->PinPressStarted ? (code == HTAUTOHIDE_ZONE ? 2 : 0)
                                       : (code == HTAUTOHIDE_ZONE && !closeDown ? 0 : 1);
    const int close = closeDown ? (code == HTCLOSE_ZONE ? 2 : 0)
                                : (code == HTCLOSE_ZONE && !z->PinPressStarted ? 0 : 1);
    SetButtonStates(z, pin, close);
}

void TExDockVSNETTree::LButtonUpHook(TMessage& message, TExDockZone*& zone, int& code)
{
    if (auto* pressed = dynamic_cast<TExDockVSNETZone*>(PressedZone))
        SetButtonStates(pressed, pressed->PinState, 1);
    TExDockVIDTree::LButtonUpHook(message, zone, code);
    TExDockVSNETZone* pinned = PinPressedZone;
    PinPressedZone = nullptr;
    if (!pinned)
        return;
    pinned->PinPressStarted = false;
    SetButtonStates(pinned, 1, pinned->CloseState);
    if (zone == pinned && code == HTAUTOHIDE_ZONE && pinned->Control)
        if (auto* panel = dynamic_cast<TExDockVSNETPanel*>(&DockSite()))
            panel->TogglePin(pinned->Control);
}

void TExDockVSNETTree::StartControlDrag(TWinControlCore* control, bool immediate, int threshold)
{
    // An auto-hidden form is not dragged or docked again by its caption.
    if (!InPopup())
        TExDockVIDTree::StartControlDrag(control, immediate, threshold);
}

void TExDockVSNETTree::LButtonDblClkHook(TMessage& message, TExDockZone*& zone, int& code)
{
    if (!InPopup())
        TExDockVIDTree::LButtonDblClkHook(message, zone, code);
}

void TExDockVSNETTree::CloseZoneControl(TExDockZone* zone)
{
    if (auto* host = zone ? dynamic_cast<TExDockTabHostForm*>(zone->Control) : nullptr) {
        TWinControlCore* form = host->ActiveDockForm();
        TExDockClient* client = form ? FindDockClientOf(form) : nullptr;
        if (form && (!client || client->EnableCloseButton))
            form->Widget()->close();
        return;
    }
    TExDockVIDTree::CloseZoneControl(zone);
}

void TExDockVSNETTree::CustomHintText(TExDockZone* zone, int code, std::string& text)
{
    if (code == HTAUTOHIDE_ZONE)
        text = "Auto Hide";
    else
        TExDockVIDTree::CustomHintText(zone, code, text);
}

void TExDockVSNETTree::WriteZone(TStream& stream, TExDockZone* zone)
{
    TExDockVIDTree::WriteZone(stream, zone);
    auto* z = dynamic_cast<TExDockVSNETZone*>(zone);
    bool visible = z ? z->PaneVisible : true;
    if (InPopup() && zone->Control)
        if (TExDockVSChannel* channel = ChannelOfPopupPanel(&SiteControl()))
            if (TExDockVSPane* pane = channel->PaneForControl(zone->Control))
                visible = pane->Visible;
    if (z)
        z->PaneVisible = visible;
    WriteValue<std::uint8_t>(stream, visible ? 1 : 0);
}

TExDockZone* TExDockVSNETTree::ReadZone(TStream& stream, TExDockZone* zone)
{
    TExDockZone* read = TExDockVIDTree::ReadZone(stream, zone);
    const bool visible = ReadValue<std::uint8_t>(stream) != 0;
    auto* z = dynamic_cast<TExDockVSNETZone*>(read);
    if (!z)
        return read;
    z->PaneVisible = visible;
    TExDockVSChannel* channel = InPopup() ? ChannelOfPopupPanel(&SiteControl()) : nullptr;
    if (!channel || !z->Control)
        return read;
    auto apply = [channel](TWinControlCore* control, bool shown) {
        TExDockVSPane* pane = channel->PaneForControl(control);
        if (!pane)
            return;
        pane->Visible = shown;
        if (TExDockClient* client = FindDockClientOf(control)) {
            if (shown)
                control->SetVisible(true);
            client->AnnounceShown(shown);
        }
    };
    if (auto* host = dynamic_cast<TExDockTabHostForm*>(z->Control)) {
        if (TExDockTabPageControl* pages = host->PageControl())
            for (int i = 0; i < pages->PageCount(); ++i)
                if (auto* sheet = dynamic_cast<TExDockVSNETTabSheet*>(pages->Pages(i)))
                    for (QObject* child : sheet->Widget()->children())
                        if (TWinControlCore* form = TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)))
                            apply(form, sheet->ShownInChannel);
    } else {
        apply(z->Control, visible);
    }
    channel->UpdatePlacement();
    return read;
}

void TExDockVSNETTree::CaptionTextRect(TRect& r)
{
    if (SiteFillsParent()) {
        TExDockVIDTree::CaptionTextRect(r);
        return;
    }
    r.Left += CaptionLeftOffset + 2;
    r.Top += 1;
    r.Right += 1 - 2 * ButtonWidth - CaptionRightOffset - ButtonSplitter;
    r.Bottom -= 2;
}

void TExDockVSNETTree::DrawGrabber(TWinControlCore* control, const TRect& r)
{
    TExDockVIDTree::DrawGrabber(control, r);
    if (!SiteFillsParent())
        DrawAutoHideButton(FindZone(control, false), r.Right - RightOffset - 2 * ButtonWidth - ButtonSplitter,
                           r.Top + VerticalOffset);
}

void TExDockVSNETTree::DrawCaptionFrame(TCanvas& canvas, TWinControlCore* control, bool frame, const TRect& r)
{
    if (!frame && control == GetActiveControl())
        return;
    canvas.Pen().SetColor(RGBColor(128, 128, 128));
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.RoundRect(r.Left + 1, r.Top, r.Right, r.Bottom, 2, 2);
}

void TExDockVSNETTree::DrawButtonFrame(TCanvas& canvas, int x, int y, int state, bool active)
{
    if (state == 1)
        return;
    const int w = ButtonWidth;
    const int h = ButtonHeight;
    canvas.Pen().SetColor(state == 0 ? clBlack : clBtnFace);
    canvas.MoveTo(x, y + h);
    canvas.LineTo(x + w, y + h);
    canvas.LineTo(x + w, y);
    canvas.Pen().SetColor(state == 0 ? (active ? clBtnFace : clWhite) : clBlack);
    canvas.LineTo(x, y);
    canvas.LineTo(x, y + h);
}

void TExDockVSNETTree::DrawAutoHideButton(TExDockZone* zone, int left, int top)
{
    auto* z = dynamic_cast<TExDockVSNETZone*>(zone);
    if (!z || !z->Control)
        return;
    TCanvas& canvas = PaintCanvas();
    if (CloseButtonOff(zone))
        left += ButtonWidth;
    const bool active = z->Control == GetActiveControl();
    DrawButtonFrame(canvas, left, top, z->PinState, active);
    const int d = z->PinState == 2 ? 1 : 0;
    const int x = left + d;
    const int y = top + d;
    canvas.Pen().SetColor(active ? clWhite : clBlack);
    auto line = [&canvas, x, y](std::initializer_list<TPoint> points) {
        std::vector<TPoint> shifted;
        for (TPoint p : points)
            shifted.push_back({x + p.X, y + p.Y});
        canvas.Polyline(shifted);
    };
    switch (AlignOf(SiteControl())) {
    case TAlign::alTop:
    case TAlign::alBottom:
    case TAlign::alLeft:
    case TAlign::alRight:
        // Pinned: the pin stands upright.
        line({{9, 10}, {9, 7}});
        line({{6, 7}, {13, 7}});
        line({{7, 6}, {7, 2}, {10, 2}, {10, 6}, {11, 6}, {11, 1}});
        break;
    case TAlign::alNone:
        // Auto-hidden: the pin lies on its side.
        line({{5, 6}, {8, 6}});
        line({{8, 3}, {8, 10}});
        line({{9, 4}, {12, 4}, {12, 7}, {9, 7}, {9, 8}, {13, 8}});
        break;
    default:
        break;
    }
}

void TExDockVSNETTree::DrawCloseButton(TCanvas& canvas, TExDockZone* zone, int top, int left)
{
    auto* z = dynamic_cast<TExDockVSNETZone*>(zone);
    if (!z || !z->Control || CloseButtonOff(zone))
        return;
    if (auto* host = dynamic_cast<TExDockTabHostForm*>(z->Control))
        if (TWinControlCore* form = host->ActiveDockForm())
            if (TExDockClient* client = FindDockClientOf(form); client && !client->EnableCloseButton)
                return;
    const bool active = z->Control == GetActiveControl();
    DrawButtonFrame(canvas, left, top, z->CloseState, active);
    const int d = z->CloseState == 2 ? 1 : 0;
    const TRect r = Rect(left + 6 + d, top + 3 + d, left + 13 + d, top + 10 + d);
    canvas.Pen().SetColor(active ? clWhite : clBlack);
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Bottom);
    canvas.MoveTo(r.Right - 1, r.Top);
    canvas.LineTo(r.Left - 1, r.Bottom);
}

// ---- tab hosts

TExDockVSNETTabPanel::TExDockVSNETTabPanel(TComponent* AOwner, QWidget* parent) : TExDockTabPanel(AOwner, parent)
{
    TabHeight = 25 + 3 + 3;
    CaptionTopOffset = 1;
}

TExDockVSNETTabPageControl::TExDockVSNETTabPageControl(TExDockTabHostForm* host) : TExDockVIDTabPageControl(host)
{
    TabSheetClass = [](TComponent* owner) { return new TExDockVSNETTabSheet(owner); };
    TabPanelClass = [](TExDockVIDTabPageControl* owner) { return new TExDockVSNETTabPanel(owner, owner->Widget()); };
    RecreateTabPanel();
}

bool TExDockVSNETTabPageControl::PageShown(const TWinControlCore& page) const
{
    // In a channel only the active page is visible; the others keep their place as tabs.
    if (Host() && ChannelOfControl(Host()))
        if (auto* sheet = dynamic_cast<TExDockVSNETTabSheet*>(PageOfControl(&page)))
            return sheet->ShownInChannel;
    return TExDockVIDTabPageControl::PageShown(page);
}

void TExDockVSNETTabPageControl::UndockClientMessage(TMessage& m)
{
    if (Host())
        if (TExDockVSChannel* channel = ChannelOfControl(Host()))
            channel->RemoveChannelForm(Host());
    TExDockVIDTabPageControl::UndockClientMessage(m);
}

// ---- options

TExDockVSNETConjoinServerOption::TExDockVSNETConjoinServerOption(TExDockBasicStyle* style)
    : TExDockVIDConjoinServerOption(style)
{
    // why: the base took the system values with its own reading of them.
    SetSystemInfo(false);
    SetSystemInfo(true);
}

void TExDockVSNETConjoinServerOption::ApplySystemCaptionInfo()
{
    TExDockVIDConjoinServerOption::ApplySystemCaptionInfo();
    ActiveFontRef().SetColor(clWhite);
    ActiveFontRef().SetStyle({});
    InactiveFontRef().SetColor(clBlack);
    InactiveFontRef().SetStyle({});
    SetActiveTitleEndColor(ActiveTitleStartColor());
    SetInactiveTitleStartColor(clBtnFace);
    SetInactiveTitleEndColor(clBtnFace);
}

TExDockVSNETTabServerOption::TExDockVSNETTabServerOption(TExDockBasicStyle* style) : TExDockVIDTabServerOption(style)
{
    InactiveFontRef().SetColor(5395794);
    SetInactiveSheetColor(15725559);
    SetShowTabImages(true);
}
