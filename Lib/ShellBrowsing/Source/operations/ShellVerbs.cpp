#include "ShellBrowsing/Source/operations/ShellVerbs.h"

#include "ShellBrowsing/Source/namespace/Namespace.h"
#include "ShellBrowsing/Source/operations/FileOperations.h"
#include "ShellBrowsing/Source/operations/PropertiesDialog.h"
#include "ShellBrowsing/Source/operations/ShellClipboard.h"
#include "ShellBrowsing/Source/operations/Trash.h"

#include <QGuiApplication>

namespace ShellVerbs {

namespace {

bool Paste(const std::vector<std::string>& paths, bool asLink)
{
    if (paths.empty())
        return false;
    std::vector<std::string> files;
    bool cut = false;
    if (!ShellClipboard::ClipboardFiles(files, cut))
        return false;
    TOperationReport report;
    const TTransferMode mode = asLink ? TTransferMode::Link : cut ? TTransferMode::Move : TTransferMode::Copy;
    ShellFileOps::TransferItems(files, paths.front(), mode, report);
    ShellFileOps::ShowReport(report);
    if (mode == TTransferMode::Move && report.Ok())
        ShellClipboard::ClearAfterCutPaste();
    return report.Ok() && report.Done > 0;
}

bool AllTrashed(const std::vector<std::string>& paths)
{
    return std::all_of(paths.begin(), paths.end(), [](const std::string& p) { return ShellTrash::IsTrashedItem(p); });
}

bool DeletePermanently(const std::vector<std::string>& paths)
{
    if (!ShellFileOps::ConfirmPermanentDelete(paths))
        return false;
    TOperationReport report;
    std::vector<std::string> trashed;
    std::vector<std::string> others;
    for (const std::string& path : paths)
        (ShellTrash::IsTrashedItem(path) ? trashed : others).push_back(path);
    ShellTrash::PurgeItems(trashed, report);
    ShellFileOps::DeleteItems(others, report);
    ShellFileOps::ShowReport(report);
    return report.Ok();
}

bool ShiftHeld()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        && (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

} // namespace

bool PasteFromClipboard(const std::string& folder)
{
    return Paste({folder}, false);
}

bool Run(const QString& verb, const std::vector<std::string>& paths, QWidget* window)
{
    if (paths.empty())
        return false;
    const QString v = verb.toLower();
    TOperationReport report;
    if (v == QLatin1String("open")) {
        bool ok = true;
        for (const std::string& path : paths)
            ok = ExecutePath(path) && ok;
        return ok;
    }
    if (v == QLatin1String("copy") || v == QLatin1String("cut")) {
        ShellClipboard::PutFiles(paths, v == QLatin1String("cut"));
        return true;
    }
    if (v == QLatin1String("paste"))
        return Paste(paths, false);
    if (v == QLatin1String("pastelink"))
        return Paste(paths, true);
    if (v == QLatin1String("delete")) {
        if (AllTrashed(paths) || ShiftHeld())
            return DeletePermanently(paths);
        ShellTrash::TrashItems(paths, report);
    } else if (v == QLatin1String("deletepermanently")) {
        return DeletePermanently(paths);
    } else if (v == QLatin1String("restore")) {
        ShellTrash::RestoreItems(paths, report);
    } else if (v == QLatin1String("link")) {
        // Each item gets its link beside it, as "name (link)".
        for (const std::string& path : paths)
            ShellFileOps::TransferItems({path}, ShellFileOps::ParentOf(path), TTransferMode::Link, report);
    } else if (v == QLatin1String("newfolder")) {
        ShellFileOps::NewFolder(paths.front(), report);
    } else if (v == QLatin1String("properties")) {
        return ShowPropertiesDialog(paths, window) != nullptr;
    } else {
        return false;
    }
    ShellFileOps::ShowReport(report);
    return report.Ok() && report.Done > 0;
}

} // namespace ShellVerbs
