#pragma once
// TSearchResultTree: the list of the results window. A file row (its path, "+" or "-" and the
// number of hits) stands for each file with hits; expanding it shows one hit row per hit below
// it (line number, line text with the hit highlighted). The tree owns the files' results, and
// creates a file's hit rows only when the file is expanded.
//
// A click on a file row toggles it (on release), as do a double click, Enter and the keys "+",
// "-" and "="; a double click or Enter on a hit row asks to open the file at the hit's line.

#include "search/zuSearchResults.h"

#include "TreeView/Source/core/LazyTree.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TSearchResultTree : public TBaseLazyTree {
public:
    explicit TSearchResultTree(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TSearchResultTree() override;

    // Discards every file and its results.
    void Clear();
    // A new collapsed file row at the end; its results are filled by the caller.
    TSearchResults& AddFile(const std::string& fileName);
    // Orders the file rows by path, ignoring case.
    void SortFiles();

    // Files in row order.
    std::vector<TSearchResults*> Files();
    // The file of a file row or of a hit row, and the hit of a hit row; null otherwise.
    TSearchResults* FileOf(PLazyNode node) const;
    const TSearchResult* HitOf(PLazyNode node) const;
    bool IsFileRow(PLazyNode node) const { return node && node->ParentLink == HiddenRoot(); }
    // The rows as shown, top to bottom.
    std::vector<PLazyNode> Rows();
    // The selected row, or null.
    PLazyNode SelectedRow() const { return FirstSelectedNode(); }
    void SelectRow(PLazyNode node);

    // Toggling is refused while locked (a search is running).
    bool Locked = false;
    void ToggleFile(PLazyNode node);
    void ExpandAll();
    void ContractAll();
    // A double click or Enter on a row.
    void ActivateRow(PLazyNode node);

    std::function<void(const TSearchResults& file, const TSearchResult& hit)> OnOpenHit;

protected:
    void FireInitChildren(PLazyNode node, std::uint32_t& childCount) override;
    int FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex column) override;
    void FireExpanded(PLazyNode node) override;
    void FireCollapsed(PLazyNode node) override;
    bool FireBeforeItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;

private:
    void PaintFileRow(TCanvas& canvas, PLazyNode node, const TRect& r);
    void PaintHitRow(TCanvas& canvas, PLazyNode node, const TRect& r);
    void SetAllExpanded(bool expanded);

    std::vector<std::unique_ptr<TSearchResults>> FFiles;
};
