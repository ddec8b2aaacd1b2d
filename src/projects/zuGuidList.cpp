// The project and account lists.

#include "projects/zuGuidList.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/PainterState.h"

#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace {

constexpr int GUIDRole = Qt::UserRole;
constexpr int IconSize = 16;
constexpr int RowHeight = 22;

} // namespace

TListRowDelegate::TListRowDelegate(QObject* parent, QIcon icon, bool whiteBackground)
    : QStyledItemDelegate(parent), FIcon(std::move(icon)), FWhiteBackground(whiteBackground)
{
}

void TListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TPainterStateGuard state(painter);
    const QRect row = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    if (selected)
        painter->fillRect(row, option.palette.highlight());
    else if (FWhiteBackground)
        painter->fillRect(row, Qt::white);
    else
        painter->fillRect(row, option.palette.base());
    const QPixmap image = FIcon.pixmap(IconSize, IconSize);
    painter->drawPixmap(row.left() + 10, row.top() + 1, image);
    const QRect textRect(row.left() + 10 + IconSize + 15, row.top(), row.width() - (10 + IconSize + 15) - 3,
                         row.height());
    painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
    const QString text =
        option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textRect.width());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->setPen(QColor(0xC0, 0xC0, 0xC0));
    const int width = option.widget ? option.widget->width() : row.width();
    painter->drawLine(0, row.bottom(), width, row.bottom());
}

QSize TListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), RowHeight};
}

void FillGuidList(QListWidget& list, const std::vector<TProjectListEntry>& entries)
{
    list.clear();
    for (const TProjectListEntry& entry : entries) {
        auto* item = new QListWidgetItem(QStr(entry.Name), &list);
        item->setData(GUIDRole, QStr(GUIDToString(entry.ID)));
    }
}

std::vector<TGUID> GuidListIDs(const QListWidget& list)
{
    std::vector<TGUID> ids;
    for (int row = 0; row < list.count(); ++row)
        ids.push_back(StringToGUID(StdStr(list.item(row)->data(GUIDRole).toString())));
    return ids;
}

std::vector<std::string> GuidListNames(const QListWidget& list)
{
    std::vector<std::string> names;
    for (int row = 0; row < list.count(); ++row)
        names.push_back(StdStr(list.item(row)->text()));
    return names;
}

bool SelectedGuid(const QListWidget& list, TGUID& id)
{
    const QListWidgetItem* item = list.currentItem();
    if (!item || !item->isSelected())
        return false;
    id = StringToGUID(StdStr(item->data(GUIDRole).toString()));
    return true;
}
