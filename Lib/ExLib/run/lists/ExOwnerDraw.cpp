#include "ExLib/run/lists/ExOwnerDraw.h"

#include "Platform/core/Application.h"
#include "Platform/graphics/PainterState.h"

#include <QPainter>

TOwnerDrawState OwnerDrawStateOf(const QStyleOptionViewItem& option)
{
    TOwnerDrawState state;
    if (option.state & QStyle::State_Selected)
        state.Include(odSelected);
    if (!(option.state & QStyle::State_Enabled))
        state.Include(odDisabled);
    if (option.state & QStyle::State_HasFocus)
        state.Include(odFocused);
    if (option.state & QStyle::State_MouseOver)
        state.Include(odHotLight);
    return state;
}

TExOwnerDrawDelegate::TExOwnerDrawDelegate(TDrawRow draw, TRowHeight height, QObject* parent)
    : QStyledItemDelegate(parent), FDraw(std::move(draw)), FHeight(std::move(height))
{
}

void TExOwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TPainterStateGuard state(*painter);
    TCanvas canvas(painter);
    // why: a failure of the control's drawing must not reach Qt's painting.
    try {
        FDraw(canvas, index.row(), TRect::FromQt(option.rect), OwnerDrawStateOf(option));
    } catch (...) {
        HandleCurrentException();
    }
    canvas.SetHandle(nullptr);
}

QSize TExOwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    int height = -1;
    try {
        if (FHeight)
            height = FHeight(index.row());
    } catch (...) {
        HandleCurrentException();
    }
    if (height >= 0)
        size.setHeight(height);
    return size;
}
