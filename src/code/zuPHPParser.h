#pragma once
// The PHP source scanner: one pass over the characters of a document with a handful of flags
// that finds the classes (and interfaces, traits and enums), functions, "var" member variables
// and include statements of its PHP parts. It is not a parser and checks no syntax: an
// unfinished construct leaves its mode open, and a declaration that never completes makes no
// item. Safe to run on any thread: it reads only the lines it is given.

#include "code/zuPHPReference.h"

#include <atomic>
#include <string>
#include <vector>

// A new page of the lines (line-break characters are not part of them). The classes of the new
// page take over the expanded state of the previous page's items of the same name, and the page
// takes over its scroll offset. With `stop` set during the scan, the scan ends early and the
// page holds what was found so far.
TPHPPageRef ScanPHPPage(const std::vector<std::string>& lines, const TPHPPage* previous,
                        const std::atomic<bool>* stop = nullptr);

// What a page keeps of the page it replaces: each outermost item's expanded state, from the
// first previous item of the same name, and the scroll offset.
void CarryOverViewState(TPHPPage& page, const TPHPPage& previous);
