#include "ShellBrowsing/Source/operations/DropMenu.h"

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include <QMenu>
#include <QPointer>

namespace ShellDropMenu {

std::uint32_t Choose(std::uint32_t allowed, std::uint32_t proposed, const QPoint& screenPos, QWidget* owner)
{
    struct TEntry {
        std::uint32_t Effect;
        const char* Caption;
    };
    static constexpr TEntry Entries[] = {
        {DROPEFFECT_COPY, "Copy Here"}, {DROPEFFECT_MOVE, "Move Here"}, {DROPEFFECT_LINK, "Link Here"}};
    QMenu menu(owner);
    for (const TEntry& entry : Entries) {
        if (!(allowed & entry.Effect))
            continue;
        QAction* action = menu.addAction(QString::fromLatin1(entry.Caption));
        action->setProperty("zentuDropEffect", entry.Effect);
        if (entry.Effect == proposed)
            menu.setDefaultAction(action);
    }
    if (menu.actions().isEmpty())
        return DROPEFFECT_NONE;
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cancel"))->setProperty("zentuDropEffect", DROPEFFECT_NONE);
    if (menu.defaultAction())
        menu.setActiveAction(menu.defaultAction());
    const QPointer<QAction> chosen = menu.exec(screenPos);
    return chosen ? chosen->property("zentuDropEffect").toUInt() : DROPEFFECT_NONE;
}

} // namespace ShellDropMenu
