// The main window's Compare Files command: a new compare window each time, shown without
// blocking, freed when closed.

#include "src/run/ShellTestSupport.h"

#include "compare/zuCompareMainForm.h"
#include "compare/zuCompareSelectForm.h"

#include <QMenuBar>
#include <QPointer>

TEST_F(ShellTest, CompareFilesOpensANewCompareWindowEachTime)
{
    Start();
    int selects = 0;
    Form->ModalHook = [&selects](QDialog& dialog) {
        selects += dynamic_cast<TCompareSelectForm*>(&dialog) != nullptr;
        return int(QDialog::Rejected);
    };
    QAction* entry = nullptr;
    for (QAction* menu : Form->menuBar()->actions())
        if (menu->text() == QStringLiteral("&Tools"))
            for (QAction* item : menu->menu()->actions())
                if (item->text() == QStringLiteral("Compare Files..."))
                    entry = item;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    Form->acCompareFile->trigger();
    QApplication::processEvents();
    const QList<TCompareMainForm*> windows = Form->findChildren<TCompareMainForm*>();
    ASSERT_EQ(windows.size(), 2);
    // Each asks for the two files when it first shows.
    EXPECT_EQ(selects, 2);
    QPointer<TCompareMainForm> first = windows[0];
    EXPECT_TRUE(first->isWindow());
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("Compare"));
    EXPECT_TRUE(first->windowState() & Qt::WindowMaximized);
    first->close();
    Flush();
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(Form->findChildren<TCompareMainForm*>().size(), 1);
}
