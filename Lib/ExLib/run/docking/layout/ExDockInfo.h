#pragma once
// The record tree of a dock layout: one record per form and per dock panel, saved to and read
// from a settings store under "Forms". Saving walks the forms; loading reads the records,
// takes every form out of its dock site, and applies the records children first, which docks
// the forms back into their panels and host forms (a host is made anew from its record).

#include "ExLib/run/docking/support/ExDockSupportClass.h"
#include "ExLib/run/storage/ExAppStorage.h"

#include "Platform/controls/Forms.h"
#include "Platform/files/Streams.h"

#include <string>

class TExDockBaseControl;
class TExDockInfoTree;
class TExDockPanel;

class TExDockInfoZone : public TExDockBaseZone {
public:
    explicit TExDockInfoZone(TExDockBaseTree* tree) : TExDockBaseZone(tree) {}

    TExDockInfoTree& InfoTree() const;
    TExDockInfoZone* FirstChild() const { return static_cast<TExDockInfoZone*>(ChildZone); }
    TExDockInfoZone* Next() const { return static_cast<TExDockInfoZone*>(NextSibling); }

    std::string Name;
    std::string ParentName;
    int DockLeft = 0;
    int DockTop = 0;
    int DockRight = 0;
    int DockBottom = 0;
    std::string LastDockSiteName;
    int UnDockLeft = 0;
    int UnDockTop = 0;
    int LRDockWidth = 0;
    int TBDockHeight = 0;
    int UnDockWidth = 0;
    int UnDockHeight = 0;
    int VSPaneWidth = 0;
    bool Visible = true;
    int BorderStyle = 0;
    int FormStyle = 0;
    int WindowState = 0;
    int DockFormStyle = 0;
    bool CanDocked = true;
    bool EachOtherDocked = true;
    bool LeftDocked = true;
    bool TopDocked = true;
    bool RightDocked = true;
    bool BottomDocked = true;
    bool CustomDocked = true;
    std::string DockClientData;
    // The control matched to the record while loading.
    TWinControlCore* DockControl = nullptr;

    virtual void TakeFromControl(TWinControlCore* control);
    virtual void ApplyToControl(TWinControlCore* control);
    virtual void TakeFromDockControl(TExDockBaseControl* dockControl);
    virtual void ApplyToDockControl(TExDockBaseControl* dockControl);

    void Write(TExCustomAppStorage& storage) const;
    void Read(TExCustomAppStorage& storage);
};

class TExDockInfoTree : public TExDockBaseTree {
public:
    TExDockInfoTree();
    ~TExDockInfoTree() override;

    TExDockInfoZone* Root() const { return static_cast<TExDockInfoZone*>(TopTreeZone); }
    TExCustomAppStorage* Storage = nullptr;
    std::string RootPath;
    TMemoryStream SiteStream;

    // Visits one record: writes it (Mode 2) or applies it (Mode 1).
    void ScanZone(TExDockBaseZone* zone) override;
    virtual void ReadFromStorage();
    virtual void ApplyRecord(TExDockInfoZone* record);
    // Adds a record for the control (and its docked controls) under the current record.
    virtual void AddFormRecord(TWinControlCore* control);
    void SaveLayout();
    void LoadLayout();

private:
    void WriteRecord(TExDockInfoZone* record);
    void VisitForApply(TExDockInfoZone* record);
    TWinControlCore* CreateHostForRecord(TExDockInfoZone* record);
};

// The panel a record name of the form "Form@Panel" names: the form must own a dock server
// and the text after the "@" must be one of its side panels' names exactly, or that with
// "_PopupPanel" for the panel's auto-hide popup panel; anything else names nothing.
TWinControlCore* FindDockPanelByName(const std::string& name);
