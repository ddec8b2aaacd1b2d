#pragma once
// A main form with a basic dock style and a dock server, and tool forms with dock clients, as a
// program sets them up; drags are driven through the global dock manager at screen points.

#include "DockTestSite.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockHostForms.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include <QCursor>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

struct DockFixture {
    explicit DockFixture(std::function<TExDockBasicStyle*(TComponent*)> makeStyle = {})
    {
        main.SetName("MainForm");
        main.setGeometry(100, 100, 800, 600);
        style = makeStyle ? makeStyle(&main) : new TExDockBasicStyle(&main);
        style->SetName("DockStyle");
        server = new TExDockServer(&main);
        server->SetName("DockServer");
        server->SetDockStyle(style);
        main.show();
    }
    ~DockFixture()
    {
        GlobalDockManager()->AbortDrag();
        tools.clear();
        FreeHosts();
    }
    static void FreeHosts()
    {
        TExGlobalDockManager* manager = GlobalDockManager();
        while (manager->DockableFormCount() > 0)
            delete manager->DockableForms(manager->DockableFormCount() - 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TExForm* Tool(const std::string& name, int left = 1000, int top = 100)
    {
        auto form = std::make_unique<TExForm>(nullptr);
        form->SetName(name);
        form->SetCaption(name);
        auto* client = new TExDockClient(form.get());
        client->SetName("DockClient");
        client->SetDockStyle(style);
        form->setGeometry(left, top, 200, 150);
        form->show();
        tools.push_back(std::move(form));
        return tools.back().get();
    }
    static TExDockClient* ClientOf(TWinControlCore* form) { return FindDockClientOf(form); }
    TExDockPanel* Panel(int index) const { return server->DockPanelAt(index); }

    // A drag of `form` from `from` to `to` (screen points) released there.
    static void Drag(TWinControlCore* form, TPoint from, TPoint to, bool drop = true)
    {
        QCursor::setPos(from.ToQt());
        SetCurrentDockClient(FindDockClientOf(form));
        TExGlobalDockManager* manager = GlobalDockManager();
        manager->BeginControlDrag(form, false, 1);
        manager->DragMoveTo({(from.X + to.X) / 2, (from.Y + to.Y) / 2});
        manager->DragMoveTo(to);
        if (drop)
            manager->MouseReleased();
    }
    // Runs the posted messages (closing hosts) and deferred deletions.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    TExForm main{nullptr};
    TExDockBasicStyle* style;
    TExDockServer* server;
    std::vector<std::unique_ptr<TExForm>> tools;
};
