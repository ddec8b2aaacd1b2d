#include "ShellBrowsing/Source/icons/SystemIconTable.h"

#include "ShellBrowsing/Source/icons/ShellSysImages.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QThread>
#include <algorithm>

namespace {

// The fixed part of the table, in index order.
const char* const FixedNames[SystemIcon::FixedCount] = {
    "unknown;text-x-generic", "text-x-generic", "application-x-executable;application-x-generic",
    "folder", "folder-open;folder", "computer", "user-home;folder", "user-desktop;folder",
    "user-trash;folder", "user-trash-full;user-trash", "drive-harddisk", "drive-removable-media;drive-harddisk",
    "folder-remote;folder", "folder-documents;folder", "text-html", "text-x-script;text-x-generic",
    "application-x-php;text-x-script", "image-x-generic", "audio-x-generic", "video-x-generic",
    "package-x-generic", "font-x-generic", "x-office-document", "x-office-spreadsheet",
    "x-office-presentation", "application-pdf;x-office-document", "text-css;text-x-generic",
    "application-javascript;text-x-script", "application-xml;text-x-generic",
    "emblem-symbolic-link;emblem-shared"};

bool OnGuiThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

QIcon ProviderIcon(const QString& name)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return {};
    if (name.startsWith(u"emblem-"))
        return QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon);
    QFileIconProvider provider;
    if (name.startsWith(u"folder") || name.startsWith(u"user-home") || name.startsWith(u"inode-directory"))
        return provider.icon(QAbstractFileIconProvider::Folder);
    if (name.startsWith(u"user-desktop"))
        return provider.icon(QAbstractFileIconProvider::Desktop);
    if (name.startsWith(u"user-trash"))
        return provider.icon(QAbstractFileIconProvider::Trashcan);
    if (name.startsWith(u"computer"))
        return provider.icon(QAbstractFileIconProvider::Computer);
    if (name.startsWith(u"drive"))
        return provider.icon(QAbstractFileIconProvider::Drive);
    return provider.icon(QAbstractFileIconProvider::File);
}

} // namespace

TSystemIconTable& TSystemIconTable::Instance()
{
    static TSystemIconTable table;
    return table;
}

TSystemIconTable::TSystemIconTable()
{
    for (const char* name : FixedNames) {
        FIndices.emplace(QString::fromLatin1(name), static_cast<int>(FNames.size()));
        FNames.push_back(QString::fromLatin1(name));
    }
}

int TSystemIconTable::IndexOf(const QString& iconName)
{
    int index = -1;
    {
        const std::lock_guard guard(FLock);
        if (const auto it = FIndices.find(iconName); it != FIndices.end())
            return it->second;
        index = static_cast<int>(FNames.size());
        FNames.push_back(iconName);
        FIndices.emplace(iconName, index);
        if (FListeners.empty())
            return index;
    }
    NotifyGrowth();
    return index;
}

QString TSystemIconTable::Name(int index) const
{
    const std::lock_guard guard(FLock);
    return index >= 0 && index < static_cast<int>(FNames.size()) ? FNames[static_cast<std::size_t>(index)] : QString();
}

int TSystemIconTable::Count() const
{
    const std::lock_guard guard(FLock);
    return static_cast<int>(FNames.size());
}

QImage TSystemIconTable::Render(int index, int size) const
{
    const QString names = Name(index);
    if (names.isEmpty() || !OnGuiThread() || size <= 0)
        return {};
    QIcon icon;
    for (const QString& name : names.split(u';', Qt::SkipEmptyParts)) {
        icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            break;
    }
    if (icon.isNull())
        icon = ProviderIcon(names);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!icon.isNull()) {
        QPainter painter(&image);
        icon.paint(&painter, QRect(0, 0, size, size));
    }
    return image;
}

void TSystemIconTable::AddListener(TShellSysImages* list)
{
    const std::lock_guard guard(FLock);
    FListeners.push_back(list);
}

void TSystemIconTable::RemoveListener(TShellSysImages* list)
{
    const std::lock_guard guard(FLock);
    FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), list), FListeners.end());
}

void TSystemIconTable::NotifyGrowth()
{
    if (OnGuiThread()) {
        DeliverGrowth();
        return;
    }
    {
        const std::lock_guard guard(FLock);
        if (FGrowthPosted)
            return;
        FGrowthPosted = true;
    }
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [this] { DeliverGrowth(); }, Qt::QueuedConnection);
}

void TSystemIconTable::DeliverGrowth()
{
    std::vector<TShellSysImages*> listeners;
    {
        const std::lock_guard guard(FLock);
        FGrowthPosted = false;
        listeners = FListeners;
    }
    for (TShellSysImages* list : listeners) {
        // invariant: a list removes itself on the GUI thread before it dies, so a listener still
        // registered here is alive.
        bool alive = false;
        {
            const std::lock_guard guard(FLock);
            alive = std::find(FListeners.begin(), FListeners.end(), list) != FListeners.end();
        }
        if (alive)
            list->Sync();
    }
}
