#include "app/zuMainDockArea.h"

#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "Platform/controls/AlignLayout.h"

#include <QVBoxLayout>

namespace {

void SetFont(TFont& font, const char* name, int height, TColor color)
{
    font.SetName(name);
    font.SetHeight(height);
    font.SetColor(color);
    font.SetStyle({});
}

} // namespace

TMainDockArea::TMainDockArea(QWidget* parent) : TExForm(nullptr, parent)
{
    setWindowFlags(Qt::Widget);
    SetName(MainDockAreaName);
}

TMainDockArea::~TMainDockArea() = default;

void TMainDockArea::CreateDocking()
{
    if (DockServer)
        return;
    DockStyleNET = new TExDockVSNetStyle(this); // owned by the form
    DockStyleNET->SetName("DockStyleNET");
    DockStyleNET->SetAlwaysShowGrabber(false);
    TExDockVIDConjoinServerOption& caption = *DockStyleNET->VIDConjoinOption();
    caption.SetSystemInfo(false);
    SetFont(caption.ActiveFontRef(), "Trebuchet MS", -13, clWhite);
    SetFont(caption.InactiveFontRef(), "Trebuchet MS", -13, clBlack);
    caption.SetActiveTitleStartColor(clSilver);
    caption.SetActiveTitleEndColor(clSilver);
    caption.SetInactiveTitleStartColor(clBtnFace);
    caption.SetInactiveTitleEndColor(clBtnFace);
    caption.SetSplitterWidth(3);
    TExDockVIDTabServerOption& tabs = *DockStyleNET->VIDTabOption();
    SetFont(tabs.ActiveFontRef(), "MS Shell Dlg 2", -11, clWindowText);
    SetFont(tabs.InactiveFontRef(), "MS Shell Dlg 2", -11, 5395794);
    tabs.SetShowCloseButtonOnTabs(false);
    TExDockVSNETChannelOption& channels = *DockStyleNET->ChannelOption();
    channels.SetActivePaneSize(200);
    channels.SetHideHoldTime(200);

    DockServer = new TExDockServer(this); // owned by the form
    DockServer->SetName("DockServer");
    DockServer->SetTopDock(false);
    DockServer->SetAutoFocusDockedForm(false);
    DockServer->SetDockStyle(DockStyleNET);
}

void TMainDockArea::SetClient(QWidget* client)
{
    auto* panel = new TWinControl(this, this); // owned by the form
    panel->SetName("ClientPanel");
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(client);
    SetAlign(*panel, TAlign::alClient);
}

void TMainDockArea::SetDockPanelsVisible(bool visible)
{
    if (!DockServer)
        return;
    for (int i = 0; i < 4; ++i) {
        TExDockPanel* panel = DockServer->DockPanelAt(i);
        if (!panel)
            continue;
        panel->SetVisible(visible);
        if (TExDockSplitter* splitter = DockServer->SplitterAt(i))
            splitter->SetVisible(visible && panel->VisibleDockClientCount() > 0 && panel->Width() * panel->Height() > 0);
    }
    for (TExDockVSChannel* channel : ChannelsOf(DockServer)) {
        if (visible) {
            channel->UpdatePlacement();
        } else {
            channel->CollapsePopup(channel->ShownPane);
            channel->SetVisible(false);
        }
    }
}
