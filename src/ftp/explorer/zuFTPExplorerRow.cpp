// Rows of the FTP explorer's list.

#include "ftp/explorer/zuFTPExplorerRow.h"

#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerRows.h"

#include "Platform/core/QtBridge.h"

#include <QTreeWidget>

TFTPListingRow::TFTPListingRow(const TFTPListItem& entry, QTreeWidget* view) : QTreeWidgetItem(view), Entry(entry)
{
    for (int column = 0; column < fcColumnCount; ++column)
        setText(column, QStr(ListingColumnText(entry, column)));
    setIcon(fcFilename, ListingIcon(entry));
    setTextAlignment(fcSize, Qt::AlignRight | Qt::AlignVCenter);
    setTextAlignment(fcPermission, Qt::AlignRight | Qt::AlignVCenter);
    // Folders and links rename as files do (RNFR, RNTO).
    setFlags(flags() | Qt::ItemIsEditable);
}

bool TFTPListingRow::operator<(const QTreeWidgetItem& other) const
{
    // why: the explorer keeps one column and direction for its list; Qt's own is not used.
    const auto* form = treeWidget() ? dynamic_cast<const TFTPExplorerForm*>(treeWidget()->window()) : nullptr;
    const int column = form ? form->SortColumn() : 0;
    const bool ascending = form ? form->SortAscending() : true;
    return CompareListingItems(Entry, static_cast<const TFTPListingRow&>(other).Entry, column, ascending) < 0;
}
