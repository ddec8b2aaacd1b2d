#pragma once
// The project and account lists: one row per section of a settings file, showing its name and
// holding its GUID; drawn with an icon 10 pixels from the left and 1 below the top, the name 15
// pixels after it up to 3 pixels before the right edge (cut with an ellipsis), a silver line on
// the row's last pixel line, in rows of a fixed height.

#include "projects/zuProjects.h"

#include <QIcon>
#include <QStyledItemDelegate>

#include <string>
#include <vector>

class QListWidget;

// Replaces the rows by one per entry.
void FillGuidList(QListWidget& list, const std::vector<TProjectListEntry>& entries);
std::vector<TGUID> GuidListIDs(const QListWidget& list);
std::vector<std::string> GuidListNames(const QListWidget& list);
// The GUID of the selected row; false when no row is selected.
bool SelectedGuid(const QListWidget& list, TGUID& id);

class TListRowDelegate : public QStyledItemDelegate {
public:
    // `whiteBackground`: unselected rows are white, else in the list's base colour.
    TListRowDelegate(QObject* parent, QIcon icon, bool whiteBackground = false);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QIcon FIcon;
    bool FWhiteBackground;
};
