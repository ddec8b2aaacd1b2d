#include "ExLib/run/docking/control/ExDockHostForms.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"
#include "ExLib/run/docking/support/ExDockStrings.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/tree/ExDockStreamValues.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"

#include <QFont>
#include <vector>

namespace {

constexpr std::int32_t TabStreamEnd = -10;

} // namespace

// ---- dockable form

TExDockableForm::TExDockableForm(TComponent* AOwner) : TExForm(AOwner)
{
    setGeometry(168, 133, 272, 241);
    SetColor(clBtnFace);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(12);
    setFont(font);
    hide();
    SetDragKind(*this, TDragKind::dkDock);
    FDockClient = new TExDockClient(this); // owned by the form
    GlobalDockManager()->RegisterDockableForm(this);
}

TExDockableForm::~TExDockableForm()
{
    if (TExGlobalDockManager* manager = GlobalDockManager())
        manager->UnregisterDockableForm(this);
}

void TExDockableForm::FloatAtHostPosition(TWinControlCore* control)
{
    const int b = SystemBorderWidth();
    const int c = SystemCaptionHeight();
    const TPoint topLeft = ClientToScreen({-b - 3, -(b + c + 1)});
    const TPoint bottomRight = ClientToScreen({UndockWidth(*this) - b - 3, UndockHeight(*this) - b - c - 1});
    const TRect r = Rect(topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y);
    ManualFloat(*control, r);
    if (control->Left() != r.Left || control->Top() != r.Top)
        control->Widget()->move(r.Left, r.Top);
}

void TExDockableForm::DoClose(TCloseAction& action)
{
    TDockSite* site = DockingSite();
    const int count = site ? site->DockClientCount() : 0;
    if (count == 1) {
        FloatingChild = site->DockClients(0);
        // why: while the host is still whole its site can give its place to the form left; once
        // the host is being destroyed it is no longer known as a host.
        if (auto* outer = dynamic_cast<TExDockCustomControl*>(HostDockSite(*this)))
            outer->HandOverToFloatingChild(this);
        else
            FloatAtHostPosition(FloatingChild);
        action = TCloseAction::caFree;
    } else if (count >= 2) {
        action = TCloseAction::caHide;
        if (UndockingControl && count == 2 && site->HasDockClient(UndockingControl))
            action = TCloseAction::caNone;
    } else {
        action = TCloseAction::caFree;
    }
    if (auto* panel = dynamic_cast<TExDockPanel*>(HostDockSite(*this));
        panel && panel->VisibleDockClientCount() == 1 && !FloatingChild)
        panel->ShowDockPanel(false, this, true);
    TExForm::DoClose(action);
    UndockingControl = nullptr;
}

TExDockConjoinHostForm::TExDockConjoinHostForm(TComponent* AOwner) : TExDockableForm(AOwner)
{
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
}

TExDockConjoinPanel* TExDockConjoinHostForm::Panel() const
{
    return dynamic_cast<TExDockConjoinPanel*>(DockableControl());
}

TExDockTabHostForm::TExDockTabHostForm(TComponent* AOwner) : TExDockableForm(AOwner)
{
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
}

TExDockTabPageControl* TExDockTabHostForm::PageControl() const
{
    return dynamic_cast<TExDockTabPageControl*>(DockableControl());
}

void TExDockTabHostForm::SelectTabOfControl(TWinControlCore* control)
{
    if (!control)
        throw Exception(ExDockRes::AssertionFailure);
    TExDockTabPageControl* pages = PageControl();
    TExDockTabSheet* page = pages ? pages->PageOfControl(control) : nullptr;
    if (!page)
        return;
    pages->SetActivePage(page);
    if (control->IsForm())
        page->SetCaption(control->Text());
    SetCaption(page->Caption());
}

void TExDockTabHostForm::RefreshTabCaption(TWinControlCore* control)
{
    if (!control)
        throw Exception(ExDockRes::AssertionFailure);
    TExDockTabPageControl* pages = PageControl();
    TExDockTabSheet* page = pages ? pages->PageOfControl(control) : nullptr;
    if (!page)
        return;
    if (control->IsForm())
        page->SetCaption(control->Text());
    if (pages->ActivePage() == page)
        SetCaption(page->Caption());
}

TWinControlCore* TExDockTabHostForm::ActiveDockForm() const
{
    TExDockTabPageControl* pages = PageControl();
    TExDockTabSheet* page = pages ? pages->ActivePage() : nullptr;
    if (!page)
        return nullptr;
    TWinControlCore* single = nullptr;
    int count = 0;
    for (QObject* child : page->Widget()->children())
        if (TWinControlCore* c = TWinControlCore::ControlOf(qobject_cast<QWidget*>(child))) {
            single = c;
            ++count;
        }
    return count == 1 ? single : nullptr;
}

// ---- side-by-side panel

TExDockConjoinPanel::TExDockConjoinPanel(TExDockConjoinHostForm* host) : TExDockCustomPanel(host), FHost(host)
{
    SetParent(host);
    SetAlign(*this, TAlign::alClient);
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetText("");
}

std::unique_ptr<IDockManager> TExDockConjoinPanel::CreateDockManager()
{
    TExDockClient* client = FHost ? FHost->DockClient() : nullptr;
    TExDockBasicStyle* style = client ? client->DockStyle() : nullptr;
    if (!style || !style->ConjoinPanelTreeClass)
        return nullptr;
    return style->ConjoinPanelTreeClass(*this, style->ConjoinPanelZoneClass);
}

TWinControlCore* TExDockConjoinPanel::ReloadDockedControl(const std::string& name)
{
    return FindDockableFormByName(name);
}

void TExDockConjoinPanel::StartDockDrag(TExDockDragDockObject& source)
{
    FHost->UndockingControl = nullptr;
    TExDockCustomPanel::StartDockDrag(source);
}

void TExDockConjoinPanel::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client,
                                        TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign);
    TExDockCustomPanel::QuerySiteInfo(source, client, influenceRect, mousePos, canDock);
}

void TExDockConjoinPanel::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    TExDockCustomPanel::DragOverSite(source, x, y, state, accept);
    accept = CanDockOnto(this, source.Control, source.DropControl, source.DropAlign);
}

void TExDockConjoinPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    TExDockCustomPanel::DropOnSite(source, x, y);
    if (auto* form = dynamic_cast<TCustomForm*>(source.Control)) {
        FHost->SetActiveControl(nullptr);
        if (form->FormStyle() == TFormStyle::fsStayOnTop)
            FHost->SetFormStyle(TFormStyle::fsStayOnTop);
    }
    RefreshHostCaption(nullptr);
}

bool TExDockConjoinPanel::LeaveWouldEmpty(TWinControlCore* newTarget, bool checkTarget) const
{
    const bool few = VisibleDockClientCount() == 1 || DockClientCount() <= 2;
    return few && (!checkTarget || newTarget != this);
}

bool TExDockConjoinPanel::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    FHost->UndockingControl = client;
    RegisterAgainUnlessHost(client);
    if (LeaveWouldEmpty(newTarget, true))
        FHost->PostMessage(WM_CLOSE);
    RefreshHostCaption(client);
    return Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(newTarget), reinterpret_cast<LPARAM>(client)) == 0;
}

bool TExDockConjoinPanel::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    FHost->UndockingControl = client;
    RegisterAgainUnlessHost(client);
    if (LeaveWouldEmpty(newTarget, false))
        FHost->PostMessage(WM_CLOSE);
    RefreshHostCaption(client);
    return Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(newTarget), reinterpret_cast<LPARAM>(client)) == 0;
}

void TExDockConjoinPanel::DockDrop(TDragDockObject& source, int x, int y)
{
    if (Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(&source), MakeLParam(x, y)) >= 0) {
        if (auto* form = dynamic_cast<TCustomForm*>(source.Control)) {
            form->SetActiveControl(nullptr);
            FHost->SetActiveControl(nullptr);
            SetDockSite(form, false);
            if (form->FormStyle() == TFormStyle::fsStayOnTop)
                FHost->SetFormStyle(TFormStyle::fsStayOnTop);
        }
        RefreshHostCaption(nullptr);
    }
}

void TExDockConjoinPanel::UndockClientMessage(TMessage& m)
{
    auto* leaving = reinterpret_cast<TWinControlCore*>(m.LParam);
    TExDockCustomPanel::UndockClientMessage(m);
    const int remaining = DockClientCount() - (HasDockClient(leaving) ? 1 : 0);
    int visible = 0;
    for (int i = 0; i < DockClientCount(); ++i)
        if (DockClients(i) != leaving && ControlVisible(*DockClients(i)))
            ++visible;
    if (remaining < 2 || (remaining == 2 && visible == 1))
        FHost->PostMessage(WM_CLOSE);
    if (VisibleDockClientCount() <= 2)
        UpdateHostCaption(this, leaving);
    if (DockManager())
        DockManager()->ResetBounds(true);
}

void TExDockAdvConjoinPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockConjoinPanel::DropOnSite(source, x, y);
}

bool TExDockAdvConjoinPanel::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockConjoinPanel::UndockFromSite(newTarget, client);
}

bool TExDockAdvConjoinPanel::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockConjoinPanel::DoUnDock(newTarget, client);
}

void TExDockAdvConjoinPanel::DockDrop(TDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockConjoinPanel::DockDrop(source, x, y);
}

// ---- tab control of a tab host

TExDockTabPageControl::TExDockTabPageControl(TExDockTabHostForm* host)
    : TExDockPageControl(host), FHost(host), FDockClient(FindDockClientOf(host))
{
    SetParent(host);
    SetDockSite(this, true);
    SetHotTrack(false);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    SetText("");
}

TExDockTabPageControl::~TExDockTabPageControl()
{
    SetDockSite(this, false);
}

TWinControlCore* TExDockTabPageControl::ReloadDockedControl(const std::string& name)
{
    return FindDockableFormByName(name);
}

void TExDockTabPageControl::AdjustClientRect(TRect& rect) const
{
    TExDockPageControl::AdjustClientRect(rect);
    switch (TabPosition()) {
    case TTabPosition::tpBottom:
        rect.Top -= 1;
        rect.Bottom -= 2;
        break;
    case TTabPosition::tpLeft: rect.Left += 2; break;
    case TTabPosition::tpRight: rect.Right -= 2; break;
    default: break;
    }
    rect.Top = std::max(rect.Top, 0);
}

void TExDockTabPageControl::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    TExDockPageControl::DragOverSite(source, x, y, state, accept);
    accept = CanDockOnto(this, source.Control, source.DropControl, source.DropAlign);
    if (accept) {
        TRect r;
        if (DockSideAtPoint(this, r, {ClientWidth() / 2, ClientHeight() / 2}) != TAlign::alNone)
            source.DockRect = r;
    }
}

void TExDockTabPageControl::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client,
                                          TRect& influenceRect, TPoint mousePos, bool& canDock)
{
    TExDockPageControl::QuerySiteInfo(source, client, influenceRect, mousePos, canDock);
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign);
}

void TExDockTabPageControl::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (source.DropAlign != TAlign::alNone && source.DropAlign != TAlign::alClient) {
        TExDockPageControl::DropOnSite(source, x, y);
    } else {
        TDragDockObject platformSource(source.Control);
        platformSource.DockRect = source.DockRect;
        platformSource.DropAlign = source.DropAlign;
        Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(&platformSource), MakeLParam(x, y));
        RefreshHostCaption(nullptr);
    }
    SettleDroppedForm(source.Control);
}

bool TExDockTabPageControl::LeaveClosesHost() const
{
    return VisibleDockClientCount() == 1 || DockClientCount() <= 2;
}

bool TExDockTabPageControl::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    RegisterAgainUnlessHost(client);
    if (LeaveClosesHost())
        FHost->PostMessage(WM_CLOSE);
    RefreshHostCaption(client);
    return Perform(CM_UNDOCKCLIENT, reinterpret_cast<WPARAM>(newTarget), reinterpret_cast<LPARAM>(client)) == 0;
}

bool TExDockTabPageControl::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    return UndockFromSite(newTarget, client);
}

void TExDockTabPageControl::DockDrop(TDragDockObject& source, int x, int y)
{
    if (Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(&source), MakeLParam(x, y)) >= 0) {
        SettleDroppedForm(source.Control);
        RefreshHostCaption(nullptr);
    }
}

bool TExDockTabPageControl::PageShown(const TWinControlCore& page) const
{
    return ControlVisible(page);
}

void TExDockTabPageControl::SaveToStream(TStream& stream)
{
    // why: a sheet without a control writes no entry, so the count and the active index are
    // those of the entries written; read back, the sheets are made from the entries alone.
    std::vector<TWinControlCore*> controls;
    std::int32_t active = -1;
    for (int i = 0; i < PageCount(); ++i) {
        TWinControlCore* control = nullptr;
        for (QObject* child : Pages(i)->Widget()->children())
            if ((control = ControlOf(qobject_cast<QWidget*>(child))))
                break;
        if (!control)
            continue;
        if (i == ActivePageIndex())
            active = static_cast<std::int32_t>(controls.size());
        controls.push_back(control);
    }
    WriteValue<std::int32_t>(stream, StreamVersion);
    WriteValue<std::int32_t>(stream, static_cast<std::int32_t>(controls.size()));
    for (TWinControlCore* control : controls) {
        const std::string& name = control->Name();
        WriteValue<std::int32_t>(stream, static_cast<std::int32_t>(name.size()));
        if (!name.empty())
            stream.WriteString(name);
        WriteValue<std::uint8_t>(stream, PageShown(*control) ? 1 : 0);
    }
    WriteValue<std::int32_t>(stream, active);
    WriteValue<std::int32_t>(stream, TabStreamEnd);
}

namespace {

// Older layouts counted every sheet but wrote entries only for sheets with a control: when the
// entries run out early, what is left is just the active index and the end marker.
bool OnlyTheTailLeft(TStream& stream)
{
    if (stream.Size() - stream.Position() != 8)
        return false;
    const std::int64_t at = stream.Position();
    stream.SetPosition(at + 4);
    const auto end = ReadValue<std::int32_t>(stream);
    stream.SetPosition(at);
    return end == TabStreamEnd;
}

} // namespace

void TExDockTabPageControl::LoadFromStream(TStream& stream)
{
    std::int32_t active = -1;
    bool whole = false;
    try {
        ReadValue<std::int32_t>(stream); // the version is not compared
        const auto count = ReadValue<std::int32_t>(stream);
        // Each entry takes at least five bytes; a count the stream cannot hold is damaged.
        if (count < 0 || count > (stream.Size() - stream.Position()) / 5)
            return;
        int found = 0;
        for (int i = 0; i < count && !OnlyTheTailLeft(stream); ++i) {
            const auto length = ReadValue<std::int32_t>(stream);
            if (length < 0 || length > stream.Size() - stream.Position())
                return;
            std::string name(static_cast<size_t>(length), '\0');
            if (length > 0)
                stream.ReadBuffer(name.data(), length);
            const bool shown = ReadValue<std::uint8_t>(stream) != 0;
            if (name.empty())
                continue;
            TWinControlCore* form = FindDockableFormByName(name);
            if (!form || form == FHost)
                continue;
            ManualDock(*form, this, nullptr, TAlign::alClient);
            if (found < DockClientCount())
                DockClients(found)->SetVisible(shown);
            ++found;
        }
        active = ReadValue<std::int32_t>(stream);
        whole = true;
    } catch (const EReadError&) {
        // A stream cut short keeps what was docked so far.
    }
    if (whole && active >= 0 && active < PageCount())
        SetActivePage(Pages(active));
    if (OnChange)
        OnChange(this);
}

void TExDockAdvTabPageControl::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockTabPageControl::DropOnSite(source, x, y);
}

bool TExDockAdvTabPageControl::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockTabPageControl::UndockFromSite(newTarget, client);
}

bool TExDockAdvTabPageControl::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockTabPageControl::DoUnDock(newTarget, client);
}

void TExDockAdvTabPageControl::DockDrop(TDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockTabPageControl::DockDrop(source, x, y);
}
