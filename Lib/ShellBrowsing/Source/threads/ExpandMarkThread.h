#pragma once
// The expand-mark thread: one process-wide worker that finds whether folders have children
// (a request's Data holds the enumeration flags, SHCONTF_*), so that a tree can settle its
// expand buttons without reading slow folders on the GUI thread. Requests are answered in the
// order they were queued and posted back as VM_EXPANDMARKREADY, ChildrenFound holding the answer.

#include "ShellBrowsing/Source/threads/ImageThread.h"

enum : UINT { VM_EXPANDMARKREADY = 0x803E };

class TExpandMarkManager : public TShellImageThreadManager {
public:
    static TExpandMarkManager& Instance();
    using TShellImageThreadManager::UnRegisterControl;
    void UnRegisterControl(QObject* window) { UnRegisterControl(window, VM_EXPANDMARKREADY); }

private:
    TExpandMarkManager();
};
