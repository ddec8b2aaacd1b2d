#pragma once
// A plain dock site with a zone tree for testing the tree and its stream without the dock
// controls: a panel on a shown form that reloads docked forms by name, and named tool forms.

#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/tree/ExDockTree.h"

#include "Platform/controls/Forms.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// The bytes of hexadecimal text, which may hold blanks between the bytes.
inline std::string HexBytes(std::string hex)
{
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    TMemoryStream s;
    HexTextToStream(s, hex);
    return std::string(s.View());
}

// A point on a floating tool form's own caption, on the screen.
inline TPoint CaptionPoint(TWinControlCore* form)
{
    return TPoint::FromQt(form->Widget()->mapToGlobal(QPoint(40, 8)));
}

class TestSite : public TWinControl, public TDockSite {
public:
    using TreeFactory = std::function<std::unique_ptr<IDockManager>(TDockSite&)>;

    TestSite(QWidget* parent, TreeFactory factory = {})
        : TWinControl(nullptr, parent), TDockSite(static_cast<TWinControl&>(*this)), FFactory(std::move(factory))
    {
        SetUseDockManager(true);
        SetControlDockSite(*this, true);
    }
    ~TestSite() override
    {
        ReleaseDockClients();
        ReleaseDockManager();
    }
    TExDockTree& Tree() const { return *dynamic_cast<TExDockTree*>(DockManager()); }
    TWinControlCore* ReloadDockedControl(const std::string& name) override { return FindFormByName(name); }

protected:
    std::unique_ptr<IDockManager> CreateDockManager() override
    {
        if (FFactory)
            return FFactory(*this);
        return std::make_unique<TExDockTree>(*this, nullptr);
    }
    void WndProc(TMessage& m) override
    {
        if (!DefaultDockHandler(m))
            TWinControl::WndProc(m);
    }

private:
    TreeFactory FFactory;
};

// A main form with a site of the given size and tool forms made on demand.
struct DockTestBench {
    explicit DockTestBench(int width = 200, int height = 400, TestSite::TreeFactory factory = {})
    {
        main.setGeometry(50, 50, width + 100, height + 50);
        main.show();
        site = new TestSite(&main, std::move(factory));
        site->setGeometry(0, 0, width, height);
        site->show();
    }
    ~DockTestBench()
    {
        for (auto& f : forms)
            f->SetParent(nullptr);
    }
    TCustomForm* Form(const std::string& name)
    {
        auto form = std::make_unique<TCustomForm>(nullptr);
        form->SetName(name);
        form->SetCaption(name);
        form->setGeometry(400, 100, 120, 80);
        form->show();
        forms.push_back(std::move(form));
        return forms.back().get();
    }
    TCustomForm* Dock(const std::string& name, TAlign align = TAlign::alNone, TWinControlCore* dropOn = nullptr)
    {
        TCustomForm* form = Form(name);
        ManualDock(*form, site, dropOn, align);
        return form;
    }
    TExDockTree& Tree() const { return site->Tree(); }
    TExDockZone* ZoneOf(const TWinControlCore* c) const { return Tree().FindZone(c, true); }

    TCustomForm main{nullptr};
    TestSite* site;
    std::vector<std::unique_ptr<TCustomForm>> forms;
};
