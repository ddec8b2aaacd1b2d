#pragma once
// A control that receives change batches as the explorers will: a message window that records
// each VM_SHELLEVENTS batch (its events described as "Kind path") with the time it came, and
// releases its reference.

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include "Platform/core/MessageWindow.h"

#include <QElapsedTimer>
#include <string>
#include <vector>

// "Update Directory /tmp/..."; the virtual trash and Computer by name.
inline std::string DescribeEvent(const TShellKitEvent& event)
{
    auto name = [](PCItemIDList list) -> std::string {
        if (!list)
            return "-";
        const TPIDLManager& m = PIDLMgr();
        if (m.IDCount(list) == 1 && ItemKind(list) == TItemKind::Trash)
            return "trash:";
        if (m.IDCount(list) == 1 && ItemKind(list) == TItemKind::Computer)
            return "computer:";
        const std::string path = PIDLToFileSystemPath(list);
        return path.empty() ? "trash:" + std::string(ItemName(m.GetPointerToLastID(list))) : path;
    };
    std::string text = std::string(ShellEventKindName(event.Kind)) + " " + name(event.PIDL1);
    if (event.PIDL2)
        text += " " + name(event.PIDL2);
    return text;
}

inline std::vector<std::string> DescribeBatch(TShellKitEventList& batch)
{
    std::vector<std::string> lines;
    for (int i = 0; i < batch.Count(); ++i)
        lines.push_back(DescribeEvent(*batch.Event(i)));
    std::sort(lines.begin(), lines.end());
    return lines;
}

struct TRecordingControl {
    struct TBatch {
        std::vector<std::string> Events;
        qint64 At = 0; // milliseconds on Clock
        std::uint32_t ID = 0;
    };
    std::vector<TBatch> Batches;
    std::function<void()> OnBatch;
    QElapsedTimer Clock;
    TMessageWindow Window;

    TRecordingControl()
        : Window([this](TMessage& m) {
              if (m.Msg != VM_SHELLEVENTS)
                  return;
              auto* batch = reinterpret_cast<TShellKitEventList*>(m.WParam);
              Batches.push_back({DescribeBatch(*batch), Clock.elapsed(), batch->ID});
              batch->Release();
              if (OnBatch)
                  OnBatch();
          })
    {
        Clock.start();
    }
};
