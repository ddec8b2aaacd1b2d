#include "ExLib/run/docking/control/ExDockServer.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockPanel.h"

#include "Platform/core/Application.h"

namespace {

constexpr TAlign SideAligns[4] = {TAlign::alLeft, TAlign::alRight, TAlign::alTop, TAlign::alBottom};

int IndexOfAlign(TAlign align)
{
    switch (align) {
    case TAlign::alLeft: return 0;
    case TAlign::alRight: return 1;
    case TAlign::alTop: return 2;
    case TAlign::alBottom: return 3;
    default: return -1;
    }
}

} // namespace

// ---- splitter styles

TExDockSplitterStyle::TExDockSplitterStyle(TExDockServer* server, int index) : FServer(server)
{
    FCursor = index == 0 || index == 1 ? Qt::SplitHCursor : (index < 4 ? Qt::SplitVCursor : Qt::ArrowCursor);
}

void TExDockSplitterStyle::SetColor(TColor value)
{
    if (value == FColor)
        return;
    FColor = value;
    FParentColor = false;
    if (FSplitter)
        FSplitter->SetColor(value);
}

void TExDockSplitterStyle::SetCursor(Qt::CursorShape value)
{
    FCursor = value;
    if (FSplitter)
        FSplitter->setCursor(value);
}

void TExDockSplitterStyle::SetParentColor(bool value)
{
    FParentColor = value;
    if (value && FServer)
        FColor = FServer->ParentForm()->Color();
    if (FSplitter)
        FSplitter->SetParentColor(value);
}

void TExDockSplitterStyle::SetResizeStyle(TResizeStyle value)
{
    FResizeStyle = value;
    if (FSplitter)
        FSplitter->SetResizeStyle(value);
}

void TExDockSplitterStyle::SetSize(int value)
{
    FSize = std::clamp(value, 0, 32767);
    if (!FSplitter)
        return;
    const TAlign align = AlignOf(*FSplitter);
    if (align == TAlign::alTop || align == TAlign::alBottom)
        FSplitter->resize(FSplitter->width(), FSize);
    else
        FSplitter->resize(FSize, FSplitter->height());
}

void TExDockSplitterStyle::SetMinSize(int value)
{
    FMinSize = std::clamp(value, 0, 32767);
    if (FSplitter)
        FSplitter->SetMinSize(FMinSize);
}

void TExDockSplitterStyle::ApplyToSplitter()
{
    if (!FSplitter)
        return;
    FSplitter->SetColor(FColor);
    FSplitter->setCursor(FCursor);
    FSplitter->SetParentColor(FParentColor);
    FSplitter->SetResizeStyle(FResizeStyle);
    SetSize(FSize);
}

void TExDockSplitterStyle::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockSplitterStyle*>(&source)) {
        SetColor(other->Color());
        SetCursor(other->Cursor());
        SetParentColor(other->ParentColor());
        SetResizeStyle(other->ResizeStyle());
        SetSize(other->Size());
        return;
    }
    TPersistent::Assign(source);
}

void TExDockSplitterStyle::AssignTo(TPersistent& dest) const
{
    if (auto* other = dynamic_cast<TExDockSplitterStyle*>(&dest)) {
        other->Assign(*this);
        return;
    }
    TPersistent::AssignTo(dest);
}

// ---- server

TExDockServer::TExDockServer(TComponent* AOwner) : TExDockBaseControl(AOwner)
{
    CheckSingleDockControl();
    for (int i = 0; i < 5; ++i)
        FSplitterStyles[static_cast<size_t>(i)] = std::make_unique<TExDockSplitterStyle>(this, i);
}

TExDockServer::~TExDockServer()
{
    try {
        SetDockStyle(nullptr);
    } catch (...) {
        HandleCurrentException();
    }
}

TExDockPanel* TExDockServer::DockPanelAt(int index) const
{
    return index >= 0 && index < 5 ? FDockPanels[static_cast<size_t>(index)] : nullptr;
}

TExDockSplitter* TExDockServer::SplitterAt(int index) const
{
    return index >= 0 && index < 5 ? FSplitters[static_cast<size_t>(index)] : nullptr;
}

TExDockSplitterStyle& TExDockServer::SplitterStyleAt(int index) const
{
    return *FSplitterStyles.at(static_cast<size_t>(index));
}

void TExDockServer::SetSplitterStyleAt(int index, const TExDockSplitterStyle& style)
{
    SplitterStyleAt(index).Assign(style);
}

TExDockPanel* TExDockServer::DockPanelWithAlign(TAlign align) const
{
    return DockPanelAt(IndexOfAlign(align));
}

TExDockSplitter* TExDockServer::SplitterWithAlign(TAlign align) const
{
    return SplitterAt(IndexOfAlign(align));
}

int TExDockServer::ClientAlignSize(TAlign align)
{
    int value = AlignedControlsSize(ParentForm(), align, nullptr);
    if (OnGetClientAlignSize)
        OnGetClientAlignSize(align, value);
    return value;
}

void TExDockServer::UndockPanelClients(TExDockPanel* panel)
{
    if (!panel)
        return;
    for (int i = panel->DockClientCount() - 1; i >= 0; --i) {
        if (i >= panel->DockClientCount())
            continue;
        if (TExDockClient* client = FindDockClientOf(panel->DockClients(i)); client && client->DockStyle())
            client->DockStyle()->RedockClient(client);
    }
}

void TExDockServer::SetLeftDock(bool value)
{
    if (!value)
        UndockPanelClients(DockPanelAt(0));
    TExDockBaseControl::SetLeftDock(value);
}

void TExDockServer::SetRightDock(bool value)
{
    if (!value)
        UndockPanelClients(DockPanelAt(1));
    TExDockBaseControl::SetRightDock(value);
}

void TExDockServer::SetTopDock(bool value)
{
    if (!value)
        UndockPanelClients(DockPanelAt(2));
    TExDockBaseControl::SetTopDock(value);
}

void TExDockServer::SetBottomDock(bool value)
{
    if (!value)
        UndockPanelClients(DockPanelAt(3));
    TExDockBaseControl::SetBottomDock(value);
}

void TExDockServer::SetEnableDock(bool value)
{
    if (!value)
        for (int index : {2, 3, 0, 1})
            UndockPanelClients(DockPanelAt(index));
    TExDockBaseControl::SetEnableDock(value);
}

void TExDockServer::AttachStyle(TExDockBasicStyle* style)
{
    GlobalDockManager()->RegisterDockServer(this);
    DockPanelClass = style->DockPanelClass ? style->DockPanelClass
                                           : [](TExDockServer* server) { return new TExDockPanel(server); };
    DockSplitterClass = style->DockSplitterClass ? style->DockSplitterClass
                                                 : [](TExDockServer* server) { return new TExDockSplitter(server); };
    CreateDockPanels();
    for (int i = 0; i < 5; ++i) {
        TExDockSplitterStyle& s = SplitterStyleAt(i);
        s.SetSplitter(SplitterAt(i));
        s.ApplyToSplitter();
    }
}

void TExDockServer::DetachStyle(TExDockBasicStyle* style)
{
    (void)style;
    for (int index : {2, 3, 0, 1})
        UndockPanelClients(DockPanelAt(index));
    FreeDockPanels();
    DockPanelClass = nullptr;
    DockSplitterClass = nullptr;
    GlobalDockManager()->UnregisterDockServer(this);
}

void TExDockServer::CreateDockPanels()
{
    QWidget* form = ParentForm();
    const char* panelNames[4] = {"LeftDockPanel", "RightDockPanel", "TopDockPanel", "BottomDockPanel"};
    const char* splitterNames[4] = {"LeftSplitter", "RightSplitter", "TopSplitter", "BottomSplitter"};
    for (int i = 0; i < 4; ++i) {
        FDockPanels[static_cast<size_t>(i)] = CreateDockPanel(panelNames[i], SideAligns[i], form);
        FSplitters[static_cast<size_t>(i)] = CreateSplitter(splitterNames[i], SideAligns[i]);
    }
    FDockPanels[4] = nullptr;
    FSplitters[4] = nullptr;
    if (OnCustomPanel) {
        QWidget* parent = form;
        TAlign align = TAlign::alClient;
        OnCustomPanel(this, parent, align);
        if (parent && align != TAlign::alNone) {
            TExDockPanel* custom = CreateDockPanel("CustomDockPanel", align, parent);
            if (custom) {
                custom->IsCustomPanel = true;
                if (auto* panel = dynamic_cast<TCustomPanel*>(parent))
                    custom->SetColor(panel->Color());
            }
            FDockPanels[4] = custom;
        }
    }
}

TExDockPanel* TExDockServer::CreateDockPanel(const std::string& name, TAlign align, QWidget* parent)
{
    if (!DockPanelClass)
        return nullptr;
    TExDockPanel* panel = DockPanelClass(this);
    panel->SetParent(parent);
    panel->SetName(name);
    panel->SetText("");
    {
        const TAlignDisabler disabled(parent);
        SetAlign(*panel, align);
        panel->SetDockServer(this);
        if (align == TAlign::alTop || align == TAlign::alBottom)
            panel->resize(panel->width(), 0);
        else
            panel->resize(0, panel->height());
        panel->PlaceAtEdge();
    }
    SetDockSite(panel, true);
    if (DockStyle())
        DockStyle()->ApplyConjoinOptions(panel);
    FreeNotification(panel);
    return panel;
}

TExDockSplitter* TExDockServer::CreateSplitter(const std::string& name, TAlign align)
{
    if (!DockSplitterClass)
        return nullptr;
    TExDockSplitter* splitter = DockSplitterClass(this);
    splitter->SetParent(ParentForm());
    splitter->SetName(name);
    splitter->SetVisible(false);
    splitter->SetSplitterAlign(align);
    splitter->SetDockServer(this);
    FreeNotification(splitter);
    return splitter;
}

void TExDockServer::FreeDockPanels()
{
    if (FFreeingPanels)
        return;
    FFreeingPanels = true;
    for (int i = 0; i < 5; ++i) {
        const auto index = static_cast<size_t>(i);
        FSplitterStyles[index]->SetSplitter(nullptr);
        TExDockPanel* panel = FDockPanels[index];
        TExDockSplitter* splitter = FSplitters[index];
        FDockPanels[index] = nullptr;
        FSplitters[index] = nullptr;
        if (panel) {
            RemoveFreeNotification(panel);
            delete panel;
        }
        if (splitter) {
            RemoveFreeNotification(splitter);
            delete splitter;
        }
    }
    FFreeingPanels = false;
}

void TExDockServer::Notification(TComponent* component, TOperation operation)
{
    TExDockBaseControl::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    bool ours = false;
    for (size_t i = 0; i < 5; ++i) {
        if (FDockPanels[i] == component) {
            FDockPanels[i] = nullptr;
            ours = true;
        }
        if (FSplitters[i] == component) {
            FSplitters[i] = nullptr;
            FSplitterStyles[i]->SetSplitter(nullptr);
            ours = true;
        }
    }
    if (ours)
        FreeDockPanels();
}

void TExDockServer::FormWindowProcHook(TMessage& message)
{
    if (DockStyle() && DockStyle()->ServerMessageHook(this, message))
        return;
    if (message.Msg == WM_ACTIVATE) {
        if (message.WParam == WA_INACTIVE) {
            for (int index : {2, 3, 0, 1})
                if (TExDockPanel* panel = DockPanelAt(index))
                    if (IExDockManager* manager = panel->ExDockManager())
                        manager->SetActiveControl(nullptr);
        } else if (AutoFocusDockedForm()) {
            if (TWinControlCore* docked = FirstDockedControl(ParentForm()))
                for (int index : {2, 3, 0, 1})
                    if (TExDockPanel* panel = DockPanelAt(index); panel && HostDockSite(*docked) == panel) {
                        if (IExDockManager* manager = panel->ExDockManager())
                            manager->SetActiveControl(docked);
                        if (docked->CanFocus())
                            docked->SetFocus();
                    }
        }
    }
    TExDockBaseControl::FormWindowProcHook(message);
}
