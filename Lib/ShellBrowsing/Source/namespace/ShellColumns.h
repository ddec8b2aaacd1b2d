#pragma once
// The details columns of the namespace's folders and the text of a child in each.

#include "ShellBrowsing/Source/namespace/ShellFolder.h"

// Name, Size, Type, Modified (shown), Attributes, Created, Accessed.
const std::vector<TShellColumn>& FileSystemColumns();
// Name, Original Location, Date Deleted, Size, Type, Modified.
const std::vector<TShellColumn>& TrashColumns();
// Name, Type, Total Size, Free Space.
const std::vector<TShellColumn>& ComputerColumns();

QString ColumnText(TShellFolder& folder, PCItemIDList child, TColumnId id);
