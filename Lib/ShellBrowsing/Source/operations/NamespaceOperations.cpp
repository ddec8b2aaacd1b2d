// TNamespace: verbs on items, clipboard, data objects, drops, opening and renaming.

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/operations/DropMenu.h"
#include "ShellBrowsing/Source/operations/FileOperations.h"
#include "ShellBrowsing/Source/operations/PropertiesDialog.h"
#include "ShellBrowsing/Source/operations/ShellClipboard.h"
#include "ShellBrowsing/Source/operations/ShellVerbs.h"
#include "ShellBrowsing/Source/operations/Trash.h"

#include "Platform/core/Messages.h"

#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>
#include <mutex>
#include <sys/stat.h>

namespace {

std::mutex HandlerLock;

TShellExecuteHandler& Handler()
{
    static TShellExecuteHandler handler;
    return handler;
}

dev_t DeviceOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

class TWaitCursor {
public:
    TWaitCursor() : FOn(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (FOn)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TWaitCursor()
    {
        if (FOn)
            QGuiApplication::restoreOverrideCursor();
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    bool FOn;
};

} // namespace

void SetShellExecuteHandler(TShellExecuteHandler handler)
{
    const std::lock_guard guard(HandlerLock);
    Handler() = std::move(handler);
}

bool ExecutePath(const std::string& path)
{
    TShellExecuteHandler handler;
    {
        const std::lock_guard guard(HandlerLock);
        handler = Handler();
    }
    if (handler && handler(path))
        return true;
    return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(ShellClipboard::FileUrl(path))));
}

std::vector<std::string> TNamespace::ItemPaths(const TPIDLArray* lists)
{
    std::vector<std::string> paths;
    if (!lists) {
        if (std::string path = PathBytes(); !path.empty())
            paths.push_back(std::move(path));
        return paths;
    }
    const PShellFolder folder = ParentShellFolder();
    if (!folder)
        return paths;
    for (PCItemIDList list : *lists)
        if (std::string path = folder->ChildPath(PIDLMgr().GetPointerToLastID(list)); !path.empty())
            paths.push_back(std::move(path));
    return paths;
}

bool TNamespace::InvokeVerb(const QString& verb, const TPIDLArray* lists, QWidget* window)
{
    if (!ParentShellFolder())
        return false;
    return ShellVerbs::Run(verb, ItemPaths(lists), window);
}

bool TNamespace::SameParentCheck(const TNamespaceArray& items)
{
    bool ok = !items.empty();
    if (IsDesktop()) {
        ok = items.size() == 1 && items.front()->IsDesktop();
    } else {
        ParentShellFolder(); // makes the parent namespace when there is none
        for (TNamespace* item : items)
            ok = ok && FParent && ILIsParent(FParent->AbsolutePIDL(), item->AbsolutePIDL(), true);
    }
    if (!ok && !IsDesktop())
        WideShowWarning(nullptr, QString::fromLatin1(ShellTexts::Error), QString::fromLatin1(ShellTexts::NotSiblings));
    return ok;
}

bool TNamespace::Copy(const TNamespaceArray& items)
{
    if (!SameParentCheck(items))
        return false;
    const TPIDLArray lists = NamespaceArrayToRelativePIDLs(items);
    return InvokeVerb(QStringLiteral("copy"), &lists);
}

bool TNamespace::Cut(const TNamespaceArray& items)
{
    if (!std::all_of(items.begin(), items.end(), [](TNamespace* item) { return item->CanDeleteItem(); })
        || !SameParentCheck(items))
        return false;
    const TPIDLArray lists = NamespaceArrayToRelativePIDLs(items);
    return InvokeVerb(QStringLiteral("cut"), &lists);
}

bool TNamespace::Delete(const TNamespaceArray& items)
{
    if (!std::all_of(items.begin(), items.end(), [](TNamespace* item) { return item->CanDeleteItem(); })
        || !SameParentCheck(items))
        return false;
    const TPIDLArray lists = NamespaceArrayToRelativePIDLs(items);
    return InvokeVerb(QStringLiteral("delete"), &lists);
}

bool TNamespace::Paste(const TNamespaceArray& items, bool asCopy)
{
    if (items.empty())
        return false;
    const QString verb = asCopy ? QStringLiteral("paste") : QStringLiteral("pastelink");
    if (IsDesktop())
        // The desktop's items land in the physical desktop folder (or the home folder).
        return ShellVerbs::Run(verb, {PathBytes()});
    if (!SameParentCheck(items))
        return false;
    const TPIDLArray lists = NamespaceArrayToRelativePIDLs(items);
    return InvokeVerb(verb, &lists);
}

QDialog* TNamespace::ShowPropertySheetMulti(const TNamespaceArray& items)
{
    std::vector<std::string> paths;
    for (TNamespace* item : items) {
        if (!item->HasPropertySheet())
            return nullptr;
        paths.push_back(item->PathBytes());
    }
    return ShowPropertiesDialog(paths);
}

std::unique_ptr<QMimeData> TNamespace::DataObjectInterface(const TPIDLArray* lists)
{
    const std::vector<std::string> paths = ItemPaths(lists);
    return paths.empty() ? nullptr : ShellClipboard::MakeFileMimeData(paths, false);
}

std::unique_ptr<QMimeData> TNamespace::DataObjectMulti(const TNamespaceArray& items)
{
    std::vector<std::string> paths;
    for (TNamespace* item : items)
        if (std::string path = item->PathBytes(); !path.empty())
            paths.push_back(std::move(path));
    return paths.empty() ? nullptr : ShellClipboard::MakeFileMimeData(paths, false);
}

std::uint32_t TNamespace::DropEffectFor(std::uint32_t keyState, std::uint32_t allowed)
{
    if (FDragPaths.empty())
        return DROPEFFECT_NONE;
    if (IsRecycleBin())
        return allowed & DROPEFFECT_MOVE;
    const bool control = keyState & MK_CONTROL;
    const bool shift = keyState & MK_SHIFT;
    std::uint32_t wanted = DROPEFFECT_NONE;
    if ((control && shift) || (keyState & MK_ALT_KEY))
        wanted = DROPEFFECT_LINK;
    else if (control)
        wanted = DROPEFFECT_COPY;
    else if (shift)
        wanted = DROPEFFECT_MOVE;
    else
        wanted = DeviceOf(FDragPaths.front()) == DeviceOf(PathBytes()) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    if (allowed & wanted)
        return wanted;
    for (std::uint32_t fallback : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
        if (allowed & fallback)
            return fallback;
    return DROPEFFECT_NONE;
}

HRESULT TNamespace::DragEnter(const QMimeData* data, std::uint32_t keyState, const QPoint&, std::uint32_t& effect)
{
    FDragPaths.clear();
    FDragAllowed = effect;
    bool cut = false;
    if (!AcceptsDrops() || !ShellClipboard::ReadFileMimeData(data, FDragPaths, cut)) {
        FDragPaths.clear();
        effect = DROPEFFECT_NONE;
        return S_OK;
    }
    effect = DropEffectFor(keyState, FDragAllowed);
    return S_OK;
}

HRESULT TNamespace::DragOver(std::uint32_t keyState, const QPoint&, std::uint32_t& effect)
{
    FDragAllowed = effect;
    effect = DropEffectFor(keyState, effect);
    return S_OK;
}

HRESULT TNamespace::DragLeave()
{
    FDragPaths.clear();
    return S_OK;
}

HRESULT TNamespace::Drop(const QMimeData* data, std::uint32_t keyState, const QPoint& point, std::uint32_t& effect)
{
    const std::uint32_t offered = effect;
    DragEnter(data, keyState, point, effect);
    const std::vector<std::string> paths = std::move(FDragPaths);
    FDragPaths.clear();
    if (effect == DROPEFFECT_NONE)
        return S_OK;
    // A drag made with the right button asks what to do, whatever the keys said.
    if (keyState & MK_RBUTTON)
        effect = ShellDropMenu::Choose(IsRecycleBin() ? effect : offered, effect, QCursor::pos());
    if (effect == DROPEFFECT_NONE)
        return S_OK;
    TOperationReport report;
    if (IsRecycleBin())
        ShellTrash::TrashItems(paths, report);
    else
        ShellFileOps::TransferItems(paths, PathBytes(),
                                    effect == DROPEFFECT_COPY   ? TTransferMode::Copy
                                        : effect == DROPEFFECT_MOVE ? TTransferMode::Move
                                                                    : TTransferMode::Link,
                                    report);
    ShellFileOps::ShowReport(report);
    if (!report.Ok() && report.Done == 0)
        effect = DROPEFFECT_NONE;
    return S_OK;
}

bool TNamespace::ShellExecuteNamespace(const QString&, const QString&, bool executeFolderShortcuts, bool executeFolders)
{
    const std::string path = PathBytes();
    if (path.empty())
        return false;
    if (IsShellLinkItem()) {
        if (!executeFolderShortcuts && ShellFileOps::IsFolderEntry(path))
            return false;
    } else if (IsFolderItem() && !executeFolders) {
        return false;
    }
    return ExecutePath(path);
}

bool TNamespace::SetNameOf(const QString& newName)
{
    return SetNameOfBytes(::PathBytes(newName));
}

bool TNamespace::SetNameOfBytes(const std::string& newName)
{
    const PShellFolder folder = ParentShellFolder();
    if (!folder || !CanRenameItem())
        return false;
    const TWaitCursor wait;
    int error = 0;
    PItemIDList renamed = folder->SetNameOf(FRelativePIDL, newName, error);
    if (!renamed)
        return false;
    ReplaceRelativePIDL(renamed);
    PIDLFree(renamed);
    return true;
}
