#include "ExLib/run/docking/control/ExDockPanel.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/drag/ExDockDragObject.h"
#include "ExLib/run/docking/support/ExDockStrings.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/tree/ExDockAdvTree.h"

#include "Platform/core/Exceptions.h"

TExDockPanel::TExDockPanel(TComponent* AOwner, QWidget* parent) : TExDockCustomPanel(AOwner, parent)
{
    resize(10, 10);
}

TExDockPanel::~TExDockPanel()
{
    if (FDockServer)
        RemoveFreeNotification(FDockServer);
}

void TExDockPanel::SetDockServer(TExDockServer* server)
{
    if (server == FDockServer)
        return;
    if (FDockServer) {
        RemoveFreeNotification(FDockServer);
        DockServerDetached(FDockServer);
    }
    FDockServer = server;
    if (server) {
        FreeNotification(server);
        DockServerAttached(server);
    }
}

void TExDockPanel::Notification(TComponent* component, TOperation operation)
{
    TExDockCustomPanel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FDockServer)
        FDockServer = nullptr;
}

std::unique_ptr<IDockManager> TExDockPanel::CreateDockManager()
{
    TExDockBasicStyle* style = FDockServer ? FDockServer->DockStyle() : nullptr;
    if (!style || !style->DockPanelTreeClass)
        return nullptr;
    setAttribute(Qt::WA_OpaquePaintEvent);
    return style->DockPanelTreeClass(*this, style->DockPanelZoneClass);
}

void TExDockPanel::PlaceAtEdge()
{
    QWidget* parent = parentWidget();
    if (!parent)
        return;
    TWinControlCore* parentControl = Parent();
    const TAlign align = AlignOf(*this);
    const int a = parentControl ? AlignedControlsSize(parentControl, align, nullptr) : 0;
    const QRect client = parent->contentsRect();
    switch (align) {
    case TAlign::alTop: move(x(), a + 1); break;
    case TAlign::alBottom: move(x(), client.height() - a - height() - 1); break;
    case TAlign::alLeft: move(a + 1, y()); break;
    case TAlign::alRight: move(client.width() - a - width() - 1, y()); break;
    default: break;
    }
}

void TExDockPanel::ShowDockPanel(bool makeVisible, TWinControlCore* client, bool sizeFromClient)
{
    if (!makeVisible && VisibleDockClientCount() > 1)
        return;
    if (!CurrentDockClient())
        return;
    const TAlign align = AlignOf(*this);
    TExDockSplitter* splitter = FDockServer ? FDockServer->SplitterWithAlign(align) : nullptr;
    QWidget* form = parentWidget();
    if (splitter)
        splitter->SetVisible(makeVisible);
    if (makeVisible && client) {
        if (Width() * Height() == 0 && form) {
            const TWinControlCore& source = sizeFromClient ? *client : static_cast<const TWinControlCore&>(*this);
            int h = TBDockHeight(source);
            int w = LRDockWidth(source);
            if (h == 0)
                h = 100;
            if (w == 0)
                w = 100;
            const QRect parentClient = form->contentsRect();
            {
                const TAlignDisabler disabled(form);
                switch (align) {
                case TAlign::alTop: {
                    const int top = FDockServer ? FDockServer->ClientAlignSize(TAlign::alTop) : 0;
                    setGeometry(x(), top, width(), h);
                    if (splitter)
                        splitter->move(splitter->x(), top + h);
                    break;
                }
                case TAlign::alBottom: {
                    const int bottom = FDockServer ? FDockServer->ClientAlignSize(TAlign::alBottom) : 0;
                    const int top = parentClient.height() - bottom - h + 1;
                    setGeometry(x(), top, width(), h);
                    if (splitter)
                        splitter->move(splitter->x(), top - splitter->height());
                    break;
                }
                case TAlign::alLeft: {
                    const int left = FDockServer ? FDockServer->ClientAlignSize(TAlign::alLeft) : 0;
                    setGeometry(left, y(), w, height());
                    if (splitter)
                        splitter->move(left + w, splitter->y());
                    break;
                }
                case TAlign::alRight: {
                    const int right = FDockServer ? FDockServer->ClientAlignSize(TAlign::alRight) : 0;
                    const int left = parentClient.width() - right - w + 1;
                    setGeometry(left, y(), w, height());
                    if (splitter)
                        splitter->move(left - splitter->width(), splitter->y());
                    break;
                }
                default:
                    break;
                }
            }
            if (UseDockManager() && DockManager())
                DockManager()->ResetBounds(true);
            if (FDockServer && FDockServer->OnFinishSetDockPanelSize)
                FDockServer->OnFinishSetDockPanelSize(this);
        }
    } else {
        TWinControlCore& target = sizeFromClient && client ? *client : static_cast<TWinControlCore&>(*this);
        if (Height() != 0)
            SetTBDockHeight(target, Height());
        if (Width() != 0)
            SetLRDockWidth(target, Width());
        {
            const TAlignDisabler disabled(form);
            if (align == TAlign::alLeft || align == TAlign::alRight)
                resize(0, height());
            else
                resize(width(), 0);
            PlaceAtEdge();
        }
    }
    if (makeVisible && client) {
        if (!ControlVisible(*client))
            client->SetVisible(true);
        if (FDockServer && FDockServer->AutoFocusDockedForm() && !client->Focused() && client->CanFocus())
            client->SetFocus();
    }
}

void TExDockPanel::QuerySiteInfo(TExDockDragDockObject& source, TWinControlCore* client, TRect& influenceRect,
                                 TPoint mousePos, bool& canDock)
{
    TExDockCustomPanel::QuerySiteInfo(source, client, influenceRect, mousePos, canDock);
    canDock = CanDockOnto(this, client, source.DropControl, source.DropAlign);
}

void TExDockPanel::DragOverSite(TExDockDragDockObject& source, int x, int y, TDragState state, bool& accept)
{
    accept = CanDockOnto(this, source.Control, source.DropControl, source.DropAlign);
    if (accept)
        TExDockCustomPanel::DragOverSite(source, x, y, state, accept);
}

void TExDockPanel::PositionDropRect(TExDockDragDockObject& source)
{
    TExDockCustomPanel::PositionDropRect(source);
    if (VisibleDockClientCount() > 0 || !CurrentDockClient())
        return;
    const int tb = TBDockHeight(*source.Control);
    const int lr = LRDockWidth(*source.Control);
    TRect r;
    switch (AlignOf(*this)) {
    case TAlign::alTop: r = Rect(0, 0, Width(), tb); break;
    case TAlign::alBottom: r = Rect(0, -tb, Width(), 0); break;
    case TAlign::alLeft: r = Rect(0, 0, lr, Height()); break;
    case TAlign::alRight: r = Rect(-lr, 0, Width(), Height()); break;
    default: source.DockRect = {}; return;
    }
    const TPoint origin = ClientToScreen({0, 0});
    OffsetRect(r, origin.X, origin.Y);
    source.DockRect = r;
}

void TExDockPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    TExDockCustomPanel::DropOnSite(source, x, y);
    if (source.Control)
        ShowDockPanel(true, source.Control, true);
}

void TExDockPanel::DockDrop(TDragDockObject& source, int x, int y)
{
    const LRESULT result =
        Perform(CM_DOCKCLIENT, reinterpret_cast<WPARAM>(&source), MakeLParam(x, y));
    if (result >= 0) {
        SettleDroppedForm(source.Control);
        RefreshHostCaption(nullptr);
    }
    ShowDockPanel(VisibleDockClientCount() > 0, source.Control, true);
}

bool TExDockPanel::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    ShowDockPanel(false, nullptr, true);
    const bool result = TExDockCustomPanel::UndockFromSite(newTarget, client);
    RegisterAgainUnlessHost(client);
    return result;
}

bool TExDockPanel::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    const bool allowed = CanDockOnto(this, client, nullptr, TAlign::alNone);
    ShowDockPanel(false, nullptr, true);
    if (!allowed)
        return false;
    const bool result = TExDockCustomPanel::DoUnDock(newTarget, client);
    if (result)
        RegisterAgainUnlessHost(client);
    return result;
}

TWinControlCore* TExDockPanel::ReloadDockedControl(const std::string& name)
{
    return FindDockableFormByName(name);
}

// ---- advanced panel

void TExDockAdvPanel::DropOnSite(TExDockDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockPanel::DropOnSite(source, x, y);
}

bool TExDockAdvPanel::UndockFromSite(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockPanel::UndockFromSite(newTarget, client);
}

bool TExDockAdvPanel::DoUnDock(TWinControlCore* newTarget, TWinControlCore* client)
{
    if (!LayoutLoading())
        RecordUndockPosition(client, newTarget);
    return TExDockPanel::DoUnDock(newTarget, client);
}

void TExDockAdvPanel::DockDrop(TDragDockObject& source, int x, int y)
{
    if (!LayoutLoading())
        RecordUndockPosition(source.Control, this);
    TExDockPanel::DockDrop(source, x, y);
}

void TExDockAdvPanel::UndockClientMessage(TMessage& m)
{
    if (LayoutLoading())
        return;
    m.Result = 0;
    HandOverToFloatingChild(reinterpret_cast<TWinControlCore*>(m.LParam));
    IExDockManager* manager = ExDockManager();
    if (!manager)
        return;
    auto* newTarget = reinterpret_cast<TWinControlCore*>(m.WParam);
    auto* client = reinterpret_cast<TWinControlCore*>(m.LParam);
    TExDockClient* dockClient = FindDockClientOf(client);
    if (!newTarget && client && !client->ComponentState().Contains(csDestroying)) {
        if (dockClient)
            dockClient->SetLastDockSite(this);
        manager->HideControlZone(client);
    } else {
        if (dockClient)
            dockClient->SetLastDockSite(nullptr);
        manager->RemoveControl(client);
    }
}

void TExDockAdvPanel::CollectDockedForms(std::vector<TWinControlCore*>* list)
{
    if (!list)
        throw Exception(ExDockRes::AssertionFailure);
    list->clear();
    if (auto* tree = dynamic_cast<TExDockTree*>(DockManager()))
        tree->ListDockedForms(list);
}

// ---- splitter

TExDockSplitter::TExDockSplitter(TComponent* AOwner, QWidget* parent) : TExDockCustomPanelSplitter(AOwner, parent)
{
    SetAutoSnap(false);
}

TExDockSplitter::~TExDockSplitter()
{
    if (FDockServer)
        RemoveFreeNotification(FDockServer);
}

void TExDockSplitter::SetDockServer(TExDockServer* server)
{
    if (FDockServer)
        RemoveFreeNotification(FDockServer);
    FDockServer = server;
    if (server)
        FreeNotification(server);
}

void TExDockSplitter::Notification(TComponent* component, TOperation operation)
{
    TExDockCustomPanelSplitter::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FDockServer)
        FDockServer = nullptr;
}

TWinControlCore* TExDockSplitter::FindSizedControl()
{
    if (FDockServer)
        return FDockServer->DockPanelWithAlign(AlignOf(*this));
    return TExDockCustomPanelSplitter::FindSizedControl();
}
