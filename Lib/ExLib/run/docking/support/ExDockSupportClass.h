#pragma once
// A general tree of zones: each zone links to its first child, its siblings and its parent.
// The tree owns every zone it creates and frees them all with itself; the dock layout's record
// tree is built on it.

#include <functional>
#include <memory>
#include <vector>

class TExDockBaseTree;

class TExDockBaseZone {
public:
    explicit TExDockBaseZone(TExDockBaseTree* tree) : Tree(tree) {}
    virtual ~TExDockBaseZone() = default;
    TExDockBaseZone(const TExDockBaseZone&) = delete;
    TExDockBaseZone& operator=(const TExDockBaseZone&) = delete;

    // The parent; for a zone linked only to its previous siblings, theirs.
    virtual TExDockBaseZone* GetParentZone() const;
    int ChildCount() const;
    // The child at `index` (0-based), null past the end.
    TExDockBaseZone* ChildAt(int index) const;

    TExDockBaseTree* Tree;
    TExDockBaseZone* ChildZone = nullptr;
    TExDockBaseZone* NextSibling = nullptr;
    TExDockBaseZone* PrevSibling = nullptr;
    TExDockBaseZone* ParentZone = nullptr;
};

using TExDockBaseZoneFactory = std::function<std::unique_ptr<TExDockBaseZone>(TExDockBaseTree* tree)>;

class TExDockBaseTree {
public:
    explicit TExDockBaseTree(TExDockBaseZoneFactory zoneClass);
    virtual ~TExDockBaseTree();
    TExDockBaseTree(const TExDockBaseTree&) = delete;
    TExDockBaseTree& operator=(const TExDockBaseTree&) = delete;

    // A new zone of the tree's zone class, owned by the tree.
    TExDockBaseZone* NewZone();
    // Every zone before its children, children in order.
    virtual void PreOrderScan(TExDockBaseZone* zone);
    // Every zone after all zones reachable from it.
    virtual void PostOrderScan(TExDockBaseZone* zone);
    // Every zone after its own children and before its next siblings.
    virtual void MiddleOrderScan(TExDockBaseZone* zone);
    // The per-zone work of the scans: ScanProc, and freeing while the tree is freed (Mode 3).
    virtual void ScanZone(TExDockBaseZone* zone);

    // Appends `zone` (a new one when null) as the last child of `parent`.
    virtual TExDockBaseZone* AddChildZone(TExDockBaseZone* parent, TExDockBaseZone* zone);
    // Appends `newZone` (a new one when null) after the last sibling of `zone`.
    virtual TExDockBaseZone* AddNextSibling(TExDockBaseZone* zone, TExDockBaseZone* newZone);
    // Links `newZone` (a new one when null) in front of `zone`.
    virtual TExDockBaseZone* InsertPrevSibling(TExDockBaseZone* zone, TExDockBaseZone* newZone);

    int Mode = 0;
    TExDockBaseZone* TopTreeZone = nullptr;
    TExDockBaseZone* CurrTreeZone = nullptr;
    std::function<void(TExDockBaseZone*)> ScanProc;

protected:
    void FreeZone(TExDockBaseZone* zone);

private:
    TExDockBaseZoneFactory FZoneClass;
    std::vector<std::unique_ptr<TExDockBaseZone>> FZones;
};
