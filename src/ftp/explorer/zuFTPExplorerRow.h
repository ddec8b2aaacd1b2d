#pragma once
// A row of the FTP explorer's list: the listing entry it shows, its texts and icon, and its
// place in the explorer's order. Every row can be renamed in place.

#include "ftp/client/zuFTPListing.h"

#include <QTreeWidgetItem>

class TFTPExplorerForm;

class TFTPListingRow : public QTreeWidgetItem {
public:
    TFTPListingRow(const TFTPListItem& entry, QTreeWidget* view);

    // The entry of a row of the explorer's list.
    static TFTPListItem& Of(QTreeWidgetItem* row) { return static_cast<TFTPListingRow*>(row)->Entry; }

    TFTPListItem Entry;

    bool operator<(const QTreeWidgetItem& other) const override;
};
