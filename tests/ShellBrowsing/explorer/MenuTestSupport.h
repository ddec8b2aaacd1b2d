#pragma once
// Helpers of the menu tests: a picker that waits for the next pop-up menu, records its entries
// and chooses one by a property of its actions (or closes it), and right clicks on rows.

#include "ShellBrowsing/explorer/ExplorerTestSupport.h"

#include "TreeView/Source/header/LTHeader.h"

#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>

class TPopupPicker {
public:
    // Chooses the entry whose `property` equals `value`; an invalid value closes the menu.
    TPopupPicker(const char* property, QVariant value) : FProperty(property), FValue(std::move(value))
    {
        FTimer.setInterval(10);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { Poll(); });
        FTimer.start();
    }

    // The entries as "Caption" ("-" for a separator, "*Caption" for the default entry).
    std::vector<QString> Entries;
    // The verbs ("zentuVerb") of the entries, "" for those without one.
    std::vector<QString> Verbs;
    int Shown = 0;
    QPoint ShownAt;

private:
    void Poll()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || menu == FLast)
            return;
        FLast = menu;
        ++Shown;
        ShownAt = menu->pos();
        Entries.clear();
        Verbs.clear();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            const QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
            Entries.push_back(action == menu->defaultAction() ? QStringLiteral("*") + text : text);
            Verbs.push_back(action->property("zentuVerb").toString());
            if (FValue.isValid() && !chosen && !action->isSeparator() && action->property(FProperty) == FValue)
                chosen = action;
        }
        if (chosen && chosen->isEnabled()) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
    }

    const char* FProperty;
    QVariant FValue;
    QTimer FTimer;
    QPointer<QMenu> FLast;
};

// The middle of a row's name, in the tree's client co-ordinates.
inline QPoint NamePoint(TCustomShellExplorerTree& tree, PLazyNode node)
{
    const TRect r = tree.NodeDisplayRect(node, tree.Header().Columns().Count() > 0 ? 0 : NoColumn, true);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// A right click as the mouse makes it: press, then release (which shows the menu).
inline void RightClick(TCustomShellExplorerTree& tree, const QPoint& at)
{
    QTest::mousePress(tree.viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(tree.viewport(), Qt::RightButton, {}, at);
}
