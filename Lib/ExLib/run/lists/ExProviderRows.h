#pragma once
// What the list controls share about a linked provider's rows: the item of a row, drawing a
// row's item, and the view list they keep.

#include "ExLib/run/data/ExDataViewList.h"

#include "Platform/graphics/Canvas.h"

#include <functional>

// The item of view-list row `row`; null without a view list or outside its rows. Call it inside
// the consumer's access bracket.
IExDataItem* ViewRowItem(TExDataConsumer& consumer, int row);
// Draws `item` into `rect`: by itself when it can, else by the painter of a list above it, else
// as its caption (or the library's no-text note), which `adjustText` may change first.
void PaintRowItem(TCanvas& canvas, IExDataItem* item, const TRect& rect, TProviderDrawState state,
                  const std::function<void(std::string&)>& adjustText = {});
// A list control's view list shows every level and opens a row for a new item.
void ConfigureViewList(TExDataConsumerAggregatedObject* extension);
