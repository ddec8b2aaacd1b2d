#include "ShellBrowsing/Source/operations/PropertiesDialog.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"
#include "ShellBrowsing/Source/namespace/ItemData.h"
#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/namespace/ItemTypes.h"
#include "ShellBrowsing/Source/operations/FileOperations.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <climits>
#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

QString SizeWithBytes(std::int64_t bytes)
{
    return SizeKBText(bytes) + QStringLiteral(" (") + SizeText(bytes) + QStringLiteral(" bytes)");
}

int ChildCount(const std::string& path)
{
    int count = 0;
    if (DIR* dir = ::opendir(path.c_str())) {
        while (const dirent* e = ::readdir(dir))
            if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
                ++count;
        ::closedir(dir);
    }
    return count;
}

QString OwnerText(uid_t uid, gid_t gid)
{
    const passwd* pw = ::getpwuid(uid);
    const group* gr = ::getgrgid(gid);
    const QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
    const QString groupName = gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(gid);
    return user + u'/' + groupName;
}

void AddRow(QFormLayout* form, const QString& label, const QString& value, const char* name)
{
    if (value.isEmpty())
        return;
    auto* text = new QLabel(value);
    text->setObjectName(QLatin1String(name));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setTextFormat(Qt::PlainText);
    form->addRow(label, text);
}

} // namespace

QString PermissionsText(unsigned mode)
{
    const char* letters = "rwxrwxrwx";
    QString text;
    for (int bit = 0; bit < 9; ++bit)
        text += (mode & (0400u >> bit)) ? QChar::fromLatin1(letters[bit]) : QChar(u'-');
    return text;
}

QDialog* ShowPropertiesDialog(const std::vector<std::string>& paths, QWidget* parent)
{
    std::vector<std::pair<std::string, TItemData>> items;
    for (const std::string& path : paths) {
        TItemData data;
        if (ReadItemData(path, data))
            items.emplace_back(path, data);
    }
    if (items.empty())
        return nullptr;
    auto* dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const std::string folder = ShellFileOps::ParentOf(items.front().first);
    const bool oneFolder = std::all_of(items.begin(), items.end(),
                                       [&](const auto& item) { return ShellFileOps::ParentOf(item.first) == folder; });
    if (items.size() == 1) {
        const auto& [path, data] = items.front();
        const QString name = DisplayText(ShellFileOps::BaseNameOf(path));
        dialog->setWindowTitle(name + QStringLiteral(" Properties"));
        auto* icon = new QLabel;
        const QImage image = TSystemIconTable::Instance().Render(
            TSystemIconTable::Instance().IndexOf(EntryIconName(data.Name, data, false)), 32);
        icon->setPixmap(QPixmap::fromImage(image));
        form->addRow(icon);
        AddRow(form, QStringLiteral("Name:"), name, "name");
        AddRow(form, QStringLiteral("Type:"), EntryTypeName(data.Name, data), "type");
        AddRow(form, QStringLiteral("Location:"), DisplayText(folder), "location");
        if (data.IsFolder())
            AddRow(form, QStringLiteral("Contents:"), QStringLiteral("%1 items").arg(ChildCount(path)), "size");
        else
            AddRow(form, QStringLiteral("Size:"), SizeWithBytes(data.Size), "size");
        if (data.IsLink) {
            char target[PATH_MAX];
            const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
            QString text = length > 0 ? DisplayText(std::string(target, static_cast<std::size_t>(length))) : QString();
            if (data.LinkBroken)
                text += QStringLiteral(" (missing)");
            AddRow(form, QStringLiteral("Link target:"), text, "target");
        }
        AddRow(form, QStringLiteral("Modified:"), FileTimeText(data.Modified), "modified");
        AddRow(form, QStringLiteral("Accessed:"), FileTimeText(data.Accessed), "accessed");
        AddRow(form, QStringLiteral("Created:"), FileTimeText(data.Created), "created");
        AddRow(form, QStringLiteral("Permissions:"), PermissionsText(data.Mode & 0777), "permissions");
        AddRow(form, QStringLiteral("Owner:"), OwnerText(data.Owner, data.Group), "owner");
    } else {
        dialog->setWindowTitle(QStringLiteral("Properties"));
        std::int64_t total = 0;
        int folders = 0;
        for (const auto& [path, data] : items) {
            if (data.IsFolder())
                ++folders;
            else
                total += data.Size;
        }
        AddRow(form, QStringLiteral("Items:"),
               QStringLiteral("%1 items (%2 folders)").arg(static_cast<int>(items.size())).arg(folders), "name");
        if (oneFolder)
            AddRow(form, QStringLiteral("Location:"), DisplayText(folder), "location");
        AddRow(form, QStringLiteral("Size of the files:"), SizeWithBytes(total), "size");
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->show();
    return dialog;
}
