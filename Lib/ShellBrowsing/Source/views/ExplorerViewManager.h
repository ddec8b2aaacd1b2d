#pragma once
// Named views of explorer trees: a view is a captured tree state with a name; a view manager
// keeps views, stores a tree's state under a name, shows a stored one again and writes them all
// to a stream or file. Every tree owns one manager; the process has one global manager, whose
// views also carry the tree's node storage (check marks, column layouts).
//
// Loading reads everything before it replaces anything: a damaged or truncated stream raises
// EReadError and the manager keeps the views it had.

#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"

#include <QString>
#include <memory>

class TCustomShellExplorerTree;

class TView : public TVETPersistent {
public:
    QString ViewName;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;
};

class TViewList : public TStreamableList {
public:
    ~TViewList() override;

    TView* Views(int index) const { return static_cast<TView*>(Items(index)); }
    void AddView(std::unique_ptr<TView> view);
    // Frees every view, from the last.
    void Clear() override;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;
};

class TViewManager : public TStreamableClass {
public:
    TViewList Views;

    // The last view of that name, whatever the letter case; nil when there is none.
    TView* FindView(const QString& name) const;

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;
    virtual void Clear();
    // Restores the view's folders, selection and focus into the tree; an unknown name does nothing.
    virtual void ShowView(const QString& name, TCustomShellExplorerTree& tree);
    // Captures the tree under the name, replacing a view of that name.
    virtual void StoreView(const QString& name, TCustomShellExplorerTree& tree);

protected:
    TView& ViewFor(const QString& name);
};

class TGlobalViewManager : public TViewManager {
public:
    // Always reads the versions from the stream.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    // Always writes the newest version, with versions.
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;
    void ShowView(const QString& name, TCustomShellExplorerTree& tree) override;
    void StoreView(const QString& name, TCustomShellExplorerTree& tree) override;
};

TGlobalViewManager& GlobalViewManager();
