// Columns, cell texts, name colours, editing rules and header actions of the explorer trees.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/Canvas.h"

#include <QCursor>
#include <QGuiApplication>
#include <array>

namespace {

struct TColumnLook {
    TColumnDetails Kind;
    const char* Caption;
    int Width;
};

constexpr std::array<TColumnLook, 9> VETColumns{{
    {TColumnDetails::cdFileName, "Name", 180},
    {TColumnDetails::cdSize, "Size", 96},
    {TColumnDetails::cdType, "Type", 120},
    {TColumnDetails::cdModified, "Modified", 120},
    {TColumnDetails::cdAttributes, "Attributes", 60},
    {TColumnDetails::cdAccessed, "Accessed", 180},
    {TColumnDetails::cdCreated, "Created", 120},
    {TColumnDetails::cdDOSName, "DOS Name", 80},
    {TColumnDetails::cdPath, "Path", 150},
}};

constexpr std::array<int, 28> ShellColumnWidths{180, 96, 120, 120, 60, 180, 120, 120, 120, 120, 120, 120, 120, 60,
                                                120, 120, 120, 120, 120, 120, 72, 90, 102, 30, 30, 108, 60, 48};

} // namespace

// ---- per-node width toggles

TColumnManager::TColumnWidth& TColumnManager::Entry(TCustomShellExplorerTree& tree, TColumnIndex column)
{
    const int count = tree.Header().Columns().Count();
    if (static_cast<int>(FColumnWidths.size()) < count)
        FColumnWidths.resize(count);
    return FColumnWidths[column];
}

void TColumnManager::ToggleColumnFit(TCustomShellExplorerTree& tree, TColumnIndex column)
{
    TLazyTreeColumn* target = tree.Header().Columns()[column];
    if (!target)
        return;
    TColumnWidth& entry = Entry(tree, column);
    if (entry.State == 1) {
        target->SetWidth(entry.Width);
        entry.State = 0;
    } else {
        entry.Width = target->Width();
        target->SetWidth(tree.WidestCellInColumn(column));
        entry.State = 1;
    }
}

void TColumnManager::ToggleColumnHidden(TCustomShellExplorerTree& tree, TColumnIndex column)
{
    TLazyTreeColumn* target = tree.Header().Columns()[column];
    if (!target)
        return;
    TColumnWidth& entry = Entry(tree, column);
    if (entry.State == 2) {
        target->SetWidth(entry.Width);
        entry.State = 0;
    } else {
        entry.Width = target->Width();
        target->SetMinWidth(0);
        target->SetWidth(0);
        entry.State = 2;
    }
}

// ---- building columns

TColumnDetails TCustomShellExplorerTree::ColumnKind(TColumnIndex column) const
{
    if (column < 0 || column >= static_cast<int>(FColumnKinds.size()))
        return TColumnDetails::cdFileName;
    return FColumnKinds[column];
}

void TCustomShellExplorerTree::SetColumnDetails(TColumnDetailType value)
{
    if (value == FColumnDetails)
        return;
    FColumnDetails = value;
    Header().Columns().RemoveAllColumns();
    FColumnKinds.clear();
    FShellColumnCount = 0;
    if (value == TColumnDetailType::cdUser) {
        Header().SetOptions(Header().Options() - hoVisible);
    } else {
        Header().SetOptions(Header().Options() + hoVisible);
        RebuildColumns();
    }
}

void TCustomShellExplorerTree::RebuildColumns()
{
    if (FColumnDetails == TColumnDetailType::cdShellColumns)
        BuildShellColumns(FRootNamespace.get());
    else if (FColumnDetails == TColumnDetailType::cdVETColumns)
        BuildVETColumns();
}

void TCustomShellExplorerTree::BuildVETColumns()
{
    FColumnsBuilding = true;
    TLazyTreeColumns& columns = Header().Columns();
    columns.BeginUpdate();
    columns.RemoveAllColumns();
    FColumnKinds.clear();
    for (std::size_t i = 0; i < VETColumns.size(); ++i) {
        TLazyTreeColumn* column = columns.AddColumn();
        column->SetText(QString::fromLatin1(VETColumns[i].Caption));
        column->SetWidth(VETColumns[i].Width);
        if (VETColumns[i].Kind == TColumnDetails::cdSize && Has(toRightAlignSizeColumn))
            column->SetAlignment(taRightJustify);
        if (i >= 5)
            column->SetOptions(column->Options() - coVisible);
        FColumnKinds.push_back(VETColumns[i].Kind);
    }
    columns.EndUpdate();
    Header().SetMainColumn(0);
    if (OnHeaderRebuild)
        OnHeaderRebuild(this);
    FColumnsBuilding = false;
}

int TCustomShellExplorerTree::ColumnDefaultWidth(TNamespace* ns, int index) const
{
    if (ns->IsMyComputer() && index < 4)
        return std::array<int, 4>{180, 120, 96, 96}[index];
    if (index < static_cast<int>(ShellColumnWidths.size()))
        return ShellColumnWidths[index];
    return index <= 36 ? 180 : 120;
}

void TCustomShellExplorerTree::BuildShellColumns(TNamespace* ns)
{
    if (!ns || FColumnDetails != TColumnDetailType::cdShellColumns)
        return;
    TLTHeader& header = Header();
    const TColumnIndex keptColumn = Has(toPersistListviewColumnSort) ? header.SortColumn() : 0;
    const TSortDirection keptDirection =
        Has(toPersistListviewColumnSort) ? header.SortDirection() : TSortDirection::sdAscending;
    FColumnsBuilding = true;
    StartBatchUpdate();
    FShellColumnCount = 0;
    TLazyTreeColumns& columns = header.Columns();
    columns.BeginUpdate();
    columns.RemoveAllColumns();
    FColumnKinds.clear();
    header.SetOptions(header.Options() + hoVisible);
    const int count = ns->DetailsColumnCount();
    for (int i = 0; i < count; ++i) {
        TLazyTreeColumn* column = columns.AddColumn();
        column->SetText(ns->FolderColumnTitle(i));
        if (i == 1 && Has(toRightAlignSizeColumn) && FRootNamespace && FRootNamespace->IsFileSystemItem())
            column->SetAlignment(taRightJustify);
        column->SetWidth(ColumnDefaultWidth(ns, i));
        if (!ns->DetailsColumnState(i).Contains(TSHColumnState::csOnByDefault))
            column->SetOptions(column->Options() - coVisible);
        FColumnKinds.push_back(TColumnDetails::cdCustom);
        ++FShellColumnCount;
    }
    columns.EndUpdate();
    header.SetMainColumn(0);
    if (OnHeaderRebuild)
        OnHeaderRebuild(this);
    RestoreColumnState();
    FinishBatchUpdate();
    if (keptColumn < columns.Count()) {
        header.SetSortColumn(keptColumn);
        header.SetSortDirection(keptDirection);
    }
    SortAllNodes(header.SortColumn(), header.SortDirection(), false);
    FColumnsBuilding = false;
}

void TCustomShellExplorerTree::SetFileSizeFormat(TFileSizeFormat value)
{
    FFileSizeFormat = value;
    viewport()->update();
}

void TCustomShellExplorerTree::SetFileSort(TFileSort value)
{
    FFileSort = value;
    if (Header().SortColumn() == 2)
        SortAllNodes(2, Header().SortDirection(), false);
}

// ---- cell texts, hints, colours, editing

void TCustomShellExplorerTree::FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text)
{
    TNamespace* ns = NodeNamespace(node);
    if (!ns) {
        text.clear();
    } else if (textType == TVSTTextType::ttStatic) {
        text.clear();
    } else if (column < 0) {
        text = ns->DisplayNameInFolder();
    } else if (FColumnDetails == TColumnDetailType::cdShellColumns) {
        if (column == 0)
            text = ns->DisplayNameInFolder();
        else if (column < FShellColumnCount)
            text = ns->DetailsOf(column);
    } else {
        switch (ColumnKind(column)) {
        case TColumnDetails::cdFileName: text = ns->DisplayNameInFolder(); break;
        case TColumnDetails::cdSize:
            text = FFileSizeFormat == TFileSizeFormat::fsfExplorer ? ns->SizeKBText()
                   : FFileSizeFormat == TFileSizeFormat::fsfActual ? ns->SizeText()
                                                                   : ns->DiskUsageText();
            break;
        case TColumnDetails::cdType: text = ns->FileTypeText(); break;
        case TColumnDetails::cdModified: text = ns->ModifiedText(); break;
        case TColumnDetails::cdAccessed: text = ns->AccessedText(); break;
        case TColumnDetails::cdCreated: text = ns->CreatedText(); break;
        case TColumnDetails::cdAttributes: text = ns->AttributesText(); break;
        case TColumnDetails::cdPath: text = ns->ParsingPathForAddressBar(); break;
        case TColumnDetails::cdDOSName: text = ns->ShortFileName(); break;
        case TColumnDetails::cdCustom: break;
        }
    }
    if (OnGetVETText)
        OnGetVETText(this, column, node, ns, text);
}

QString TCustomShellExplorerTree::NodeHintText(PLazyNode node, TColumnIndex column,
                                               TLTTooltipLineBreakStyle& lineBreakStyle)
{
    if (Has(toShellHints))
        if (TNamespace* ns = NodeNamespace(node))
            return ns->InfoTipText();
    return TCustomLazyStringTree::NodeHintText(node, column, lineBreakStyle);
}

void TCustomShellExplorerTree::FirePaintText(PLazyNode node, TCanvas& canvas, TColumnIndex column,
                                             TVSTTextType textType)
{
    if (TNamespace* ns = NodeNamespace(node)) {
        const bool plain = !Has(toNoUseVETColorsProp) && !GetNodeSelected(node) && node != DropTargetNode() &&
                           !(HasOption(toHotTrack) && node == HotNode());
        if (textType == TVSTTextType::ttNormal && plain)
            canvas.Font().SetColor(ns->IsCompressedAttr() ? FColors.CompressedTextColor
                                   : ns->IsFolderItem()   ? FColors.FolderTextColor
                                                          : FColors.FileTextColor);
        else if (textType == TVSTTextType::ttStatic && ns->IsCompressedAttr())
            canvas.Font().SetColor(FColors.CompressedTextColor);
    }
    TCustomLazyStringTree::FirePaintText(node, canvas, column, textType);
}

void TCustomShellExplorerTree::FireEditing(PLazyNode node, TColumnIndex column, bool& allowed)
{
    if (allowed && column >= 0) {
        if (FColumnDetails == TColumnDetailType::cdShellColumns)
            allowed = column < 1 || (column >= FShellColumnCount && ColumnKind(column) == TColumnDetails::cdCustom);
        else
            allowed = ColumnKind(column) == TColumnDetails::cdFileName || ColumnKind(column) == TColumnDetails::cdCustom;
    }
    if (Has(toVETReadOnly))
        allowed = false;
    if (allowed)
        if (TNamespace* ns = NodeNamespace(node); !ns || !ns->CanRenameItem())
            allowed = false;
    TCustomLazyStringTree::FireEditing(node, column, allowed);
}

// ---- header

void TCustomShellExplorerTree::SortByColumn(TColumnIndex column)
{
    TLTHeader& header = Header();
    if (header.SortColumn() == column)
        header.SetSortDirection(header.SortDirection() == TSortDirection::sdAscending ? TSortDirection::sdDescending
                                                                                      : TSortDirection::sdAscending);
    else
        header.SetSortColumn(column);
    SortAllNodes(column, header.SortDirection(), false);
}

void TCustomShellExplorerTree::ApplyHeaderClick(TColumnIndex column, TShiftState shift)
{
    if (!Header().Columns().ColumnIndexValid(column))
        return;
    WaitCursor(true);
    if (!shift.Contains(ssCtrl) && !shift.Contains(ssShift))
        SortByColumn(column);
    else if (TColumnManager* manager = ColumnManagerOfNode(FirstNodeRaw())) {
        if (shift.Contains(ssCtrl))
            manager->ToggleColumnFit(*this, column);
        else
            manager->ToggleColumnHidden(*this, column);
    }
    WaitCursor(false);
}

void TCustomShellExplorerTree::FireHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift, int x,
                                               int y)
{
    TCustomLazyStringTree::FireHeaderClick(column, button, shift, x, y);
    if (button == TMouseButton::mbRight)
        return;
    // why: the keyboard's state now, not the click's, decides as the user sees it.
    const Qt::KeyboardModifiers keys = QGuiApplication::queryKeyboardModifiers();
    TShiftState now;
    if (keys & Qt::ControlModifier)
        now.Include(ssCtrl);
    if (keys & Qt::ShiftModifier)
        now.Include(ssShift);
    ApplyHeaderClick(column, now);
}

void TCustomShellExplorerTree::FireHeaderMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomLazyStringTree::FireHeaderMouseUp(button, shift, x, y);
    if (button != TMouseButton::mbRight || !Has(toShellColumnMenu) || Header().PopupMenu())
        return;
    ShowColumnMenu(QCursor::pos());
}
