#include "ExLib/run/docking/layout/ExDockLayout.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/layout/ExDockInfo.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "ExLib/run/storage/ExIniStorage.h"

#include "Platform/controls/FormList.h"

namespace {

// Ends a batch of the store however the scope is left.
class TBatch {
public:
    explicit TBatch(TExCustomAppStorage& storage) : FStorage(storage) { FStorage.BeginBatch(); }
    ~TBatch() { FStorage.EndBatch(); }
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

private:
    TExCustomAppStorage& FStorage;
};

// Clears the layout-loading flag however the scope is left.
class TLoadingFlag {
public:
    TLoadingFlag() { SetLayoutLoading(true); }
    ~TLoadingFlag() { SetLayoutLoading(false); }
    TLoadingFlag(const TLoadingFlag&) = delete;
    TLoadingFlag& operator=(const TLoadingFlag&) = delete;
};

std::unique_ptr<TExAppIniFileStorage> OpenLayoutFile(const std::string& fileName)
{
    auto storage = std::make_unique<TExAppIniFileStorage>(nullptr);
    storage->SetLocation(TFileLocation::flCustom);
    storage->SetFileName(fileName);
    storage->RefreshContent();
    return storage;
}

} // namespace

void SaveDockLayoutToStorage(TExCustomAppStorage& storage, const std::string& rootPath)
{
    const TBatch batch(storage);
    CollapseOtherChannels(nullptr);
    TExDockInfoTree tree;
    for (TCustomForm* form : CustomFormList()) {
        // A form inside another window counts only as a dock server (a main window's docking area).
        if (form->Parent() || (!form->isWindow() && !FindDockServerOf(form)))
            continue;
        if (FindDockClientOf(form) || FindDockServerOf(form)) {
            tree.CurrTreeZone = tree.TopTreeZone;
            tree.AddFormRecord(form);
        }
    }
    tree.Storage = &storage;
    tree.RootPath = rootPath;
    tree.SaveLayout();
}

void LoadDockLayoutFromStorage(TExCustomAppStorage& storage, const std::string& rootPath)
{
    const TBatch batch(storage);
    CollapseOtherChannels(nullptr);
    TExDockInfoTree tree;
    const TDesktopUpdateLock lock;
    tree.Storage = &storage;
    tree.RootPath = rootPath;
    const TLoadingFlag loading;
    tree.LoadLayout();
}

void LoadDockLayoutFromIniFile(const std::string& fileName)
{
    const auto storage = OpenLayoutFile(fileName);
    // Loading never writes: not the shipped default, not a file in a folder that refuses it.
    storage->SetReadOnly(true);
    LoadDockLayoutFromStorage(*storage, "");
}

void SaveDockLayoutToIniFile(const std::string& fileName)
{
    const auto storage = OpenLayoutFile(fileName);
    try {
        SaveDockLayoutToStorage(*storage, "");
        storage->CommitChanges();
    } catch (...) {
        // A layout taken only in part must not replace the good one on disk, neither now nor
        // when the store goes.
        storage->SetReadOnly(true);
        throw;
    }
}
