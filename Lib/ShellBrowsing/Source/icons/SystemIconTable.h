#pragma once
// The system image list of this program: one process-wide table of icons, addressed by index.
// An icon is named by the icon theme (a primary name and a fallback name, e.g.
// "text-x-php;text-x-script"); any thread may ask for the index of a name, which is added when
// it is new, so worker threads can answer icon questions without touching pictures. Pictures are
// made on the GUI thread only, at the size an image list asks for: from the icon theme, else
// from the platform's file icons.
//
// The first thirty indices are fixed: 0 a file of no known type, 3 a closed and 4 an open
// folder, 29 the link emblem (drawn over the icon of a symbolic link), and the icons the
// namespace's own items use.

#include <QImage>
#include <QString>
#include <mutex>
#include <unordered_map>
#include <vector>

class TShellSysImages;

namespace SystemIcon {
enum : int { UnknownFile = 0, TextFile = 1, Program = 2, Folder = 3, FolderOpen = 4, Computer = 5, Home = 6,
             Desktop = 7, Trash = 8, TrashFull = 9, HardDisk = 10, RemovableDisk = 11, RemoteFolder = 12,
             Documents = 13, LinkEmblem = 29, FixedCount = 30 };
}

class TSystemIconTable {
public:
    static TSystemIconTable& Instance();

    // The index of the icon; added when new. Safe from any thread.
    int IndexOf(const QString& iconName);
    QString Name(int index) const;
    int Count() const;

    // The picture of the entry, `size` pixels square (GUI thread only; a null image elsewhere or
    // for an invalid index).
    QImage Render(int index, int size) const;

    // Image lists that follow the table: told on the GUI thread when entries were added.
    void AddListener(TShellSysImages* list);
    void RemoveListener(TShellSysImages* list);

private:
    TSystemIconTable();
    void NotifyGrowth();
    void DeliverGrowth();

    mutable std::mutex FLock;
    std::vector<QString> FNames;
    std::unordered_map<QString, int> FIndices;
    std::vector<TShellSysImages*> FListeners;
    bool FGrowthPosted = false;
};
