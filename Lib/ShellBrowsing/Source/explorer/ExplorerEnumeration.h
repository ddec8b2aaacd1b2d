#pragma once
// What an explorer tree keeps while its folder is listed on the enumeration thread.

#include "ShellBrowsing/Source/threads/BackgroundEnumThread.h"

#include "TreeView/Source/core/LTTypes.h"

#include <QCursor>
#include <QProgressBar>
#include <QTimer>
#include <memory>
#include <vector>

struct TEnumListing {
    std::unique_ptr<TShellBackGndEnumThread> Thread;
    // The rows so far, in the order of the nodes, while the listing keeps them ordered by name.
    std::vector<TEnumEntry> Entries;
    bool Keyed = false;
    TColumnIndex SortColumn = -1;
    TSortDirection SortDirection = TSortDirection::sdAscending;
    // Counts the ticks until the listing counts as lengthy.
    QTimer Ticker;
    int Ticks = 0;
    // Shown when the first rows are long in coming.
    std::unique_ptr<QProgressBar> Animation;
    // The folder changed while it was read: it is refreshed once the listing ends.
    bool RefreshAfterwards = false;
    // The tree's own cursor, back when the listing ends.
    QCursor SavedCursor;
};
