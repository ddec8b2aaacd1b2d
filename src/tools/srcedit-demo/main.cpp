// srcedit-demo: opens a file in the editor control.
//
//   srcedit-demo [--wrap] [--special] [--column] [--caret L:C] [--select L:C] [--save FILE]
//                [--find TEXT [--replace TEXT] [--regex]] FILE
//
// PHP files (.php, .inc) are coloured by the PHP highlighter. --caret places the caret, --select
// extends a selection from there; --save writes the text to FILE when the window closes.
// --find selects the first occurrence of TEXT from the caret, or with --replace replaces every
// occurrence; --regex takes TEXT as a regular expression. The Edit menu holds the clipboard
// commands and Find and Replace; files dropped on the editor are listed in the status bar.

#include "SrcEdit/Source/view/SrcEdit.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QInputDialog>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <cstdio>
#include <memory>
#include <string>

namespace {

bool ParsePosition(const char* text, TBufferCoord& p)
{
    int line = 0;
    int column = 0;
    if (std::sscanf(text, "%d:%d", &line, &column) != 2)
        return false;
    p = MakeBufferCoord(column, line);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    std::string file;
    std::string saveTo;
    bool wrap = false;
    bool special = false;
    bool column = false;
    TBufferCoord caret = MakeBufferCoord(1, 1);
    TBufferCoord selectTo{0, 0};
    std::string find;
    std::string replace;
    bool replacing = false;
    bool regex = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wrap")
            wrap = true;
        else if (arg == "--special")
            special = true;
        else if (arg == "--column")
            column = true;
        else if (arg == "--caret" && i + 1 < argc)
            ParsePosition(argv[++i], caret);
        else if (arg == "--select" && i + 1 < argc)
            ParsePosition(argv[++i], selectTo);
        else if (arg == "--save" && i + 1 < argc)
            saveTo = argv[++i];
        else if (arg == "--find" && i + 1 < argc)
            find = argv[++i];
        else if (arg == "--replace" && i + 1 < argc) {
            replace = argv[++i];
            replacing = true;
        } else if (arg == "--regex")
            regex = true;
        else
            file = arg;
    }

    QMainWindow window;
    window.setWindowTitle(QString::fromStdString("srcedit-demo " + file));
    auto* edit = new TSrcEdit(nullptr, &window);
    window.setCentralWidget(edit);

    std::unique_ptr<TSrcPHPSyn> php;
    const std::string ext = LowerCase(ExtractFileExt(file));
    if (ext == ".php" || ext == ".inc") {
        php = std::make_unique<TSrcPHPSyn>();
        edit->SetHighlighter(php.get());
    }
    edit->Gutter().SetShowLineNumbers(true);
    edit->Gutter().SetAutoSize(true);
    edit->SetActiveLineColor(RGBColor(0xF2, 0xF6, 0xFF));
    edit->SetWantTabs(true);
    edit->SetTabWidth(4);
    TSrcEditorOptions options = edit->Options();
    options.Include(eoDropFiles);
    if (special)
        options.Include(eoShowSpecialChars);
    edit->SetOptions(options);
    edit->SetWordWrap(wrap);
    if (column)
        edit->SetSelectionMode(TSrcSelectionMode::smColumn);
    if (!file.empty()) {
        try {
            edit->Lines().LoadFromFile(file);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "srcedit-demo: %s\n", e.what());
            return 1;
        }
    }
    edit->SetContentModified(false);
    edit->SetCaretCoord(caret);
    if (selectTo.LineNumber > 0) {
        edit->SetSelectionEnd(selectTo);
        edit->MoveCaret(selectTo);
    }

    auto showStatus = [&window, edit](TObject*, TSrcStatusChanges) {
        window.statusBar()->showMessage(QString("Line %1, Col %2%3%4")
                                            .arg(edit->CaretLine())
                                            .arg(edit->CaretDisplayColumn())
                                            .arg(edit->InsertMode() ? "  INS" : "  OVR")
                                            .arg(edit->ContentModified() ? "  modified" : ""));
    };
    edit->OnStatusChange = showStatus;
    showStatus(nullptr, {});

    edit->OnDropFiles = [&window](TObject*, int, int, TStrings& files) {
        QStringList names;
        for (int i = 0; i < files.Count(); ++i)
            names << QStr(files.Get(i));
        window.statusBar()->showMessage("Dropped: " + names.join(", "));
    };

    TSrcEditSearch plainSearch;
    TSrcEditRegexSearch regexSearch;
    edit->SetSearchEngine(regex ? static_cast<TSrcEditSearchCustom*>(&regexSearch) : &plainSearch);
    // Runs a search and shows what it found or why it failed.
    auto search = [&](const std::string& what, const std::string& with, TSrcEditSearchFlags flags) {
        try {
            const int count = edit->FindAndReplace(what, with, flags);
            window.statusBar()->showMessage(QString("%1 occurrence(s) of \"%2\"").arg(count).arg(QStr(what)));
        } catch (const std::exception& e) {
            QMessageBox::warning(&window, "srcedit-demo", QString::fromUtf8(e.what()));
        }
    };

    QMenu* menu = window.menuBar()->addMenu("&Edit");
    const auto addCommand = [&](const char* caption, TSrcEditorCommand command) {
        QAction* action = menu->addAction(caption);
        QObject::connect(action, &QAction::triggered, edit, [edit, command] {
            edit->DispatchCommand(command, 0, nullptr);
        });
        return action;
    };
    addCommand("&Undo", ecUndo);
    addCommand("&Redo", ecRedo);
    menu->addSeparator();
    addCommand("Cu&t", ecCut);
    addCommand("&Copy", ecCopy);
    QAction* pasteAction = addCommand("&Paste", ecPaste);
    addCommand("Select &All", ecSelectAll);
    QObject::connect(menu, &QMenu::aboutToShow, edit, [edit, pasteAction] {
        pasteAction->setEnabled(edit->PasteAvailable());
    });
    menu->addSeparator();
    QAction* findAction = menu->addAction("&Find...");
    findAction->setShortcut(QKeySequence("Ctrl+F"));
    QObject::connect(findAction, &QAction::triggered, edit, [&] {
        bool ok = false;
        const QString text = QInputDialog::getText(&window, "Find", "Text:", QLineEdit::Normal,
                                                   QStr(edit->GetSelectedText()), &ok);
        if (ok)
            search(StdStr(text), {}, {});
    });
    QAction* replaceAction = menu->addAction("R&eplace All...");
    QObject::connect(replaceAction, &QAction::triggered, edit, [&] {
        bool ok = false;
        const QString what = QInputDialog::getText(&window, "Replace All", "Text:", QLineEdit::Normal,
                                                   QStr(edit->GetSelectedText()), &ok);
        if (!ok)
            return;
        const QString with = QInputDialog::getText(&window, "Replace All", "Replace with:", QLineEdit::Normal, {}, &ok);
        if (ok)
            search(StdStr(what), StdStr(with), TSrcEditSearchFlags{sfReplaceAll, sfWholeScope});
    });
    if (!find.empty())
        search(find, replace, replacing ? TSrcEditSearchFlags{sfReplaceAll, sfWholeScope} : TSrcEditSearchFlags{});

    window.resize(900, 600);
    window.show();
    window.activateWindow();
    edit->setFocus();
    const int result = app.exec();
    edit->SetSearchEngine(nullptr);
    if (!saveTo.empty())
        edit->Lines().SaveToFile(saveTo);
    return result;
}
