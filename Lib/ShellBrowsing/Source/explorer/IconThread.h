#pragma once
// The icon thread: one process-wide worker that looks up the icons of items for the explorer
// trees, so that painting never waits for the file system. A tree queues a request per item it
// paints with a placeholder; the worker answers the most recent request first and posts it back
// as VM_ICONREADY.

#include "ShellBrowsing/Source/threads/ImageThread.h"

// The answer of an icon request.
enum : UINT { VM_ICONREADY = 0x8034 };

class TIconThreadManager : public TShellImageThreadManager {
public:
    static TIconThreadManager& Instance();
    using TShellImageThreadManager::UnRegisterControl;
    void UnRegisterControl(QObject* window) { UnRegisterControl(window, VM_ICONREADY); }

private:
    TIconThreadManager();
};
