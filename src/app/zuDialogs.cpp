// The Open and Save dialogs and the input box.

#include "app/zuDialogs.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

namespace {

std::vector<std::string> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? text.size() - start : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return parts;
}

} // namespace

QString QtFileFilter(std::string_view filter)
{
    const std::vector<std::string> parts = SplitAt(filter, '|');
    QStringList entries;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const std::string& mask : SplitAt(parts[i + 1], ';')) {
            if (mask.empty())
                continue;
            // why: "*.*" would hide the many Linux files that have no extension.
            masks << (mask == "*.*" ? QStringLiteral("*") : QStr(mask));
        }
        if (!masks.isEmpty())
            entries << QStr(parts[i]) + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

bool TFileDialog::Execute(QWidget* parent)
{
    Files.clear();
    if (ExecuteHook) {
        const bool confirmed = ExecuteHook(*this);
        if (confirmed && Files.empty() && !FileName.empty())
            Files.push_back(FileName);
        if (confirmed && !Files.empty())
            FileName = Files.front();
        return confirmed && !Files.empty();
    }

    QFileDialog dialog(parent, QStr(Title));
    dialog.setNameFilter(QtFileFilter(Filter));
    if (!InitialDir.empty() && DirectoryExists(InitialDir))
        dialog.setDirectory(QStr(InitialDir));
    if (FKind == TKind::dkSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStr(DefaultExt));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(MultiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!FileName.empty()) {
        const std::string folder = ExtractFilePath(FileName);
        if (!folder.empty() && DirectoryExists(folder))
            dialog.setDirectory(QStr(folder));
        dialog.selectFile(QStr(ExtractFileName(FileName)));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (const QString& file : dialog.selectedFiles())
        Files.push_back(StdStr(file));
    if (Files.empty())
        return false;
    FileName = Files.front();
    return true;
}

bool TInputQuery::Execute(QWidget* parent)
{
    if (ExecuteHook)
        return ExecuteHook(*this);
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, QStr(Caption), QStr(Prompt), QLineEdit::Normal, QStr(Value), &ok);
    if (ok)
        Value = StdStr(text);
    return ok;
}
