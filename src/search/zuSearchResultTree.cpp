#include "search/zuSearchResultTree.h"

#include "Platform/controls/Keys.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/text/TextUtils.h"

#include <QFontMetrics>
#include <QString>

TSearchResultTree::TSearchResultTree(TComponent* AOwner, QWidget* parent) : TBaseLazyTree(AOwner, parent)
{
    setObjectName(QStringLiteral("ResultList"));
    SetNodeDataSize(sizeof(std::uint32_t));
    SetDefaultNodeHeight(static_cast<std::uint32_t>(QFontMetrics(Font().ToQFont()).height() + 3));
}

TSearchResultTree::~TSearchResultTree() = default;

void TSearchResultTree::Clear()
{
    RemoveAllNodes();
    FFiles.clear();
}

TSearchResults& TSearchResultTree::AddFile(const std::string& fileName)
{
    FFiles.push_back(std::make_unique<TSearchResults>(fileName));
    PLazyNode node = AppendChildNode(nullptr, static_cast<std::uint32_t>(FFiles.size() - 1));
    SetNodeHasChildren(node, true);
    return *FFiles.back();
}

void TSearchResultTree::SortFiles()
{
    SortChildren(nullptr, NoColumn, TSortDirection::sdAscending, false);
}

std::vector<TSearchResults*> TSearchResultTree::Files()
{
    std::vector<TSearchResults*> files;
    for (PLazyNode node = FirstNodeRaw(); node; node = node->NextLink)
        files.push_back(FileOf(node));
    return files;
}

TSearchResults* TSearchResultTree::FileOf(PLazyNode node) const
{
    if (node && !IsFileRow(node))
        node = node->ParentLink;
    if (!IsFileRow(node))
        return nullptr;
    const std::uint32_t index = *NodeData<std::uint32_t>(node);
    return index < FFiles.size() ? FFiles[index].get() : nullptr;
}

const TSearchResult* TSearchResultTree::HitOf(PLazyNode node) const
{
    if (!node || IsFileRow(node) || node == HiddenRoot())
        return nullptr;
    const TSearchResults* file = FileOf(node);
    return file && node->SiblingIndex < file->Hits.size() ? &file->Hits[node->SiblingIndex] : nullptr;
}

std::vector<PLazyNode> TSearchResultTree::Rows()
{
    std::vector<PLazyNode> rows;
    for (PLazyNode node = FirstVisibleNode(); node; node = NextVisibleAfter(node))
        rows.push_back(node);
    return rows;
}

void TSearchResultTree::SelectRow(PLazyNode node)
{
    if (!node)
        return;
    SetNodeSelected(node, true);
    AssignFocusedNode(node);
    MakeNodeVisible(node);
}

void TSearchResultTree::ToggleFile(PLazyNode node)
{
    if (Locked || !IsFileRow(node))
        return;
    SetNodeExpanded(node, !GetNodeExpanded(node));
}

void TSearchResultTree::SetAllExpanded(bool expanded)
{
    if (Locked)
        return;
    setEnabled(false);
    StartBatchUpdate();
    try {
        for (PLazyNode node = FirstNodeRaw(); node; node = node->NextLink)
            SetNodeExpanded(node, expanded);
    } catch (...) {
        FinishBatchUpdate();
        setEnabled(true);
        throw;
    }
    FinishBatchUpdate();
    setEnabled(true);
}

void TSearchResultTree::ExpandAll()
{
    SetAllExpanded(true);
}

void TSearchResultTree::ContractAll()
{
    SetAllExpanded(false);
}

void TSearchResultTree::ActivateRow(PLazyNode node)
{
    if (IsFileRow(node)) {
        ToggleFile(node);
    } else if (const TSearchResult* hit = HitOf(node)) {
        if (OnOpenHit)
            OnOpenHit(*FileOf(node), *hit);
    }
}

void TSearchResultTree::FireInitChildren(PLazyNode node, std::uint32_t& childCount)
{
    const TSearchResults* file = IsFileRow(node) ? FileOf(node) : nullptr;
    childCount = file ? static_cast<std::uint32_t>(file->Hits.size()) : 0;
}

int TSearchResultTree::FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex)
{
    const QString a = QString::fromStdString(FileOf(node1)->FileName);
    const QString b = QString::fromStdString(FileOf(node2)->FileName);
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

void TSearchResultTree::FireExpanded(PLazyNode node)
{
    if (TSearchResults* file = IsFileRow(node) ? FileOf(node) : nullptr)
        file->Expanded = true;
    TBaseLazyTree::FireExpanded(node);
}

void TSearchResultTree::FireCollapsed(PLazyNode node)
{
    if (TSearchResults* file = IsFileRow(node) ? FileOf(node) : nullptr)
        file->Expanded = false;
    TBaseLazyTree::FireCollapsed(node);
}

// ---- painting

bool TSearchResultTree::FireBeforeItemPaint(TCanvas& canvas, PLazyNode node, const TRect& itemRect)
{
    canvas.Font().Assign(Font());
    if (IsFileRow(node))
        PaintFileRow(canvas, node, itemRect);
    else
        PaintHitRow(canvas, node, itemRect);
    return true;
}

void TSearchResultTree::PaintFileRow(TCanvas& canvas, PLazyNode node, const TRect& r)
{
    const TSearchResults* file = FileOf(node);
    if (!file)
        return;
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(r);
    // A raised frame, sunken while the row is selected.
    const bool selected = GetNodeSelected(node);
    const TColor light = selected ? clBtnShadow : clBtnHighlight;
    const TColor shadow = selected ? clBtnHighlight : clBtnShadow;
    canvas.Pen().SetColor(light);
    canvas.MoveTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    canvas.Pen().SetColor(shadow);
    canvas.MoveTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Right - 1, r.Top - 1);

    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetColor(clBtnText);
    const int y = r.Top + 1;
    canvas.TextOut(3, y, file->Expanded ? "-" : "+");
    const int plusWidth = canvas.TextWidth("+");
    canvas.TextOut(plusWidth + 8, y, file->FileName);
    const int matchesLeft = r.Right - (canvas.TextWidth("sItemMatches00000") + 10);
    if (matchesLeft >= plusWidth + canvas.TextWidth(file->FileName) + 7)
        canvas.TextOut(matchesLeft, y, "Matches:" + std::to_string(file->Hits.size()));
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TSearchResultTree::PaintHitRow(TCanvas& canvas, PLazyNode node, const TRect& r)
{
    const TSearchResult* hit = HitOf(node);
    if (!hit)
        return;
    // A selected row swaps the row's colours with the hit's.
    const bool selected = GetNodeSelected(node);
    const TColor back = selected ? clHighlight : clWindow;
    const TColor text = selected ? clHighlightText : clWindowText;
    const TColor hitBack = selected ? clWindow : clHighlight;
    const TColor hitText = selected ? clWindowText : clHighlightText;
    canvas.Brush().SetColor(back);
    canvas.FillRect(r);
    canvas.Font().SetColor(text);
    const int y = r.Top + 1;
    canvas.TextOut(10, y, std::to_string(hit->LineNo));

    const TSearchResult::TShownLine shown = hit->Shown();
    const std::string_view parts[3] = {shown.Text.substr(0, shown.HitStart),
                                       shown.Text.substr(shown.HitStart, shown.HitEnd - shown.HitStart),
                                       shown.Text.substr(shown.HitEnd)};
    int x = 60;
    for (int i = 0; i < 3 && x < r.Right; ++i) {
        const bool isHit = i == 1;
        canvas.Brush().SetColor(isHit ? hitBack : back);
        canvas.Font().SetColor(isHit ? hitText : text);
        canvas.TextOut(x, y, parts[i]);
        x += canvas.TextWidth(parts[i]);
    }
}

// ---- mouse and keys

void TSearchResultTree::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TBaseLazyTree::MouseDown(button, shift, x, y);
    if (PLazyNode node = NodeAtPoint(x, y))
        SelectRow(node);
    SetFocus();
}

void TSearchResultTree::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TBaseLazyTree::MouseUp(button, shift, x, y);
    if (button != TMouseButton::mbLeft)
        return;
    PLazyNode node = NodeAtPoint(x, y);
    if (IsFileRow(node))
        ToggleFile(node);
}

void TSearchResultTree::DblClick()
{
    TBaseLazyTree::DblClick();
    ActivateRow(FocusNode());
}

void TSearchResultTree::KeyDown(WORD& key, TShiftState shift)
{
    // why: "+", "-" and "=" toggle a file row as characters (KeyPress); the tree's own plus and
    // minus keys would open or close it first and the toggle would undo that.
    if (key == VK_ADD || key == VK_SUBTRACT || key == VK_OEM_PLUS || key == VK_OEM_MINUS)
        return;
    TBaseLazyTree::KeyDown(key, shift);
    PLazyNode focus = FocusNode();
    PLazyNode target = nullptr;
    const int page = std::max(1, ClientHeight() / std::max(1, static_cast<int>(DefaultNodeHeight())) - 1);
    switch (key) {
    case VK_RETURN:
        ActivateRow(focus);
        key = 0;
        return;
    case VK_UP:
        target = focus ? PreviousVisibleBefore(focus) : FirstVisibleNode();
        break;
    case VK_DOWN:
        target = focus ? NextVisibleAfter(focus) : FirstVisibleNode();
        break;
    case VK_HOME:
        target = FirstVisibleNode();
        break;
    case VK_END:
        target = LastVisibleNode();
        break;
    case VK_PRIOR:
    case VK_NEXT:
        target = focus ? focus : FirstVisibleNode();
        for (int i = 0; i < page && target; ++i) {
            PLazyNode step = key == VK_PRIOR ? PreviousVisibleBefore(target) : NextVisibleAfter(target);
            if (!step)
                break;
            target = step;
        }
        break;
    default:
        return;
    }
    if (target)
        SelectRow(target);
    key = 0;
}

void TSearchResultTree::KeyPress(char32_t& key)
{
    TBaseLazyTree::KeyPress(key);
    if (key == U'+' || key == U'-' || key == U'=') {
        ToggleFile(SelectedRow());
        key = 0;
    }
}
