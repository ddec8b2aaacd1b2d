// shell-demo: the explorer's folder tree beside its file list.
//
//   shell-demo [FOLDER] [--shot FILE]
//
// The tree is rooted at FOLDER (the home folder by default) and the list shows the folder
// selected in it; browsing in the list (Enter, double-click, Backspace) moves the tree along.
// Files that change on disk show at once; the context menus, the clipboard keys, F2, F5 and
// drops between the two panes work as in the IDE. --shot saves a picture of the window after
// the root folder was opened in the list, and ends.

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "Platform/core/Application.h"

#include <QDir>
#include <QMainWindow>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <cstring>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    StartShellBrowsing();
    QString folder = QDir::homePath();
    QString shot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc)
            shot = QString::fromLocal8Bit(argv[++i]);
        else
            folder = QDir(QString::fromLocal8Bit(argv[i])).absolutePath();
    }

    QMainWindow window;
    window.setWindowTitle("Explorer demo: " + folder);
    auto* splitter = new QSplitter(&window);
    auto* tree = new TShellExplorerTreeview(nullptr, splitter);
    auto* list = new TShellExplorerListview(nullptr, splitter);
    splitter->addWidget(tree);
    splitter->addWidget(list);
    splitter->setSizes({300, 700});
    window.setCentralWidget(splitter);
    window.resize(1100, 640);

    tree->SetActive(true);
    tree->SetRootFolderCustomPath(folder);
    // A big folder is read on the enumeration thread; the window stays usable meanwhile.
    list->SetThreadedEnum(true);
    list->SetActive(true);
    list->SetRootFolderCustomPath(folder);
    tree->SetShellExplorerListview(list);
    list->SetShellExplorerTreeview(tree);
    TVETMiscOptions misc = list->VETMiscOptions();
    misc.Include(toListviewLimitBrowseToRoot);
    list->SetVETMiscOptions(misc);

    auto status = [&] {
        const TNamespace* shown = list->NodeNamespace(list->HiddenRoot());
        window.statusBar()->showMessage(QString("%1 items, %2 selected   %3")
                                            .arg(list->RootNodeCount())
                                            .arg(list->SelectionCount())
                                            .arg(shown ? const_cast<TNamespace*>(shown)->ParsingPath() : QString()));
    };
    list->OnChange = [&](TBaseLazyTree*, PLazyNode) { status(); };
    list->OnRootRebuild = [&](TCustomShellExplorerTree*) { status(); };
    list->OnEnumFinished = [&](TCustomShellExplorerTree*) { status(); };
    status();
    window.show();
    tree->setFocus();
    if (!shot.isEmpty()) {
        QTimer::singleShot(200, [&] {
            // Shows the root folder in the list, as a click on it would.
            if (PLazyNode root = tree->FirstNodeRaw()) {
                tree->SetNodeSelected(root, true);
                tree->AssignFocusedNode(root);
            }
            if (PLazyNode row = list->HiddenRoot()->ChildHead) {
                list->SetNodeSelected(row, true);
                list->AssignFocusedNode(row);
            }
            status();
        });
        QTimer::singleShot(1500, [&] {
            window.grab().save(shot);
            app.quit();
        });
    }
    const int result = app.exec();
    // why: the panes go after the window's own parts; they must not report to it meanwhile.
    list->OnChange = nullptr;
    list->OnRootRebuild = nullptr;
    list->OnEnumFinished = nullptr;
    delete splitter;
    StopShellBrowsing();
    return result;
}
