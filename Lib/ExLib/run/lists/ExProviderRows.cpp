#include "ExLib/run/lists/ExProviderRows.h"

#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/data/ExDataItemsExt.h"

IExDataItem* ViewRowItem(TExDataConsumer& consumer, int row)
{
    TExCustomDataConsumerViewList* view = consumer.ViewList();
    return view && row >= 0 && row < view->RowCount() ? view->RowItem(row) : nullptr;
}

void PaintRowItem(TCanvas& canvas, IExDataItem* item, const TRect& rect, TProviderDrawState state,
                  const std::function<void(std::string&)>& adjustText)
{
    if (auto* own = Supports<IExDataItemPainter>(item)) {
        own->PaintSelf(canvas, rect, state);
        return;
    }
    if (IExDataItemsPainter* painter = FindListPainter(item)) {
        painter->PaintItem(canvas, rect, item, state);
        return;
    }
    auto* caption = Supports<IExDataItemText>(item);
    std::string text = caption ? caption->Caption() : ExRes::ItemNoTextIntf;
    if (adjustText)
        adjustText(text);
    canvas.TextRect(rect, rect.Left, rect.Top, text);
}

void ConfigureViewList(TExDataConsumerAggregatedObject* extension)
{
    if (auto* view = dynamic_cast<TExCustomDataConsumerViewList*>(extension)) {
        view->SetExpandForNewItems(true);
        view->SetInitialExpandDepth(-1);
        view->BuildView();
    }
}
