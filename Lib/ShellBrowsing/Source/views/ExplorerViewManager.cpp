#include "ShellBrowsing/Source/views/ExplorerViewManager.h"

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"
#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include <vector>

namespace {

// Holds the tree's hourglass for a scope.
class TTreeWait {
public:
    explicit TTreeWait(TCustomShellExplorerTree& tree) : FTree(tree) { FTree.WaitCursor(true); }
    ~TTreeWait() { FTree.WaitCursor(false); }
    TTreeWait(const TTreeWait&) = delete;
    TTreeWait& operator=(const TTreeWait&) = delete;

private:
    TCustomShellExplorerTree& FTree;
};

} // namespace

// ---- TView

void TView::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    TView loaded;
    loaded.ReadState(stream, version, readVersion);
    loaded.ViewName = ReadUtf16(stream, ReadBoundedCount(stream, 2));
    SwapState(loaded);
    ViewName = loaded.ViewName;
}

void TView::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    TVETPersistent::SaveToStream(stream, version, writeVersion);
    WriteInt32(stream, static_cast<std::int32_t>(ViewName.size()));
    WriteUtf16(stream, ViewName);
}

// ---- TViewList

TViewList::~TViewList()
{
    Clear();
}

void TViewList::AddView(std::unique_ptr<TView> view)
{
    Add(view.get());
    (void)view.release();
}

void TViewList::Clear()
{
    for (int i = Count() - 1; i >= 0; --i)
        delete Views(i);
    TStreamableList::Clear();
}

void TViewList::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    const std::int32_t v = readVersion ? ReadInt32(stream) : version;
    CheckStreamVersion(v);
    // why: a view takes at least its path length, name length and root storage.
    const std::int32_t count = ReadBoundedCount(stream, 16);
    std::vector<std::unique_ptr<TView>> loaded;
    for (std::int32_t i = 0; i < count; ++i) {
        auto view = std::make_unique<TView>();
        view->LoadFromStream(stream, v, readVersion);
        loaded.push_back(std::move(view));
    }
    Clear();
    StreamVersion = v;
    for (auto& view : loaded)
        AddView(std::move(view));
}

void TViewList::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    TStreamableList::SaveToStream(stream, version, writeVersion);
    WriteInt32(stream, Count());
    for (int i = 0; i < Count(); ++i)
        Views(i)->SaveToStream(stream, version, writeVersion);
}

// ---- TViewManager

TView* TViewManager::FindView(const QString& name) const
{
    for (int i = Views.Count() - 1; i >= 0; --i)
        if (Views.Views(i)->ViewName.compare(name, Qt::CaseInsensitive) == 0)
            return Views.Views(i);
    return nullptr;
}

void TViewManager::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    const std::int32_t v = readVersion ? ReadInt32(stream) : version;
    CheckStreamVersion(v);
    Views.LoadFromStream(stream, v, readVersion);
    StreamVersion = v;
}

void TViewManager::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    TStreamableClass::SaveToStream(stream, version, writeVersion);
    Views.SaveToStream(stream, version, writeVersion);
}

void TViewManager::Clear()
{
    Views.Clear();
}

TView& TViewManager::ViewFor(const QString& name)
{
    if (TView* view = FindView(name))
        return *view;
    auto view = std::make_unique<TView>();
    view->ViewName = name;
    TView& made = *view;
    Views.AddView(std::move(view));
    return made;
}

void TViewManager::ShowView(const QString& name, TCustomShellExplorerTree& tree)
{
    TTreeWait wait(tree);
    if (TView* view = FindView(name))
        view->RestoreTree(tree, true, false, true);
}

void TViewManager::StoreView(const QString& name, TCustomShellExplorerTree& tree)
{
    ViewFor(name).SaveTree(tree, true, true);
}

// ---- TGlobalViewManager

void TGlobalViewManager::LoadFromStream(TStream& stream, std::int32_t, bool)
{
    TViewManager::LoadFromStream(stream, ViewStreamVersion, true);
}

void TGlobalViewManager::SaveToStream(TStream& stream, std::int32_t, bool)
{
    TViewManager::SaveToStream(stream, ViewStreamVersion, true);
}

void TGlobalViewManager::ShowView(const QString& name, TCustomShellExplorerTree& tree)
{
    TTreeWait wait(tree);
    TView* view = FindView(name);
    if (!view)
        return;
    // The view's check marks and column layouts replace the tree's before its nodes come back.
    tree.ViewState().NodeStorage().Assign(view->NodeStorage());
    view->RestoreTree(tree, true, false, true);
}

void TGlobalViewManager::StoreView(const QString& name, TCustomShellExplorerTree& tree)
{
    TView& view = ViewFor(name);
    view.Clear();
    view.SaveTree(tree, true, true);
    view.NodeStorage().Assign(tree.ViewState().NodeStorage());
}

TGlobalViewManager& GlobalViewManager()
{
    static TGlobalViewManager manager;
    return manager;
}
