// srcedit-demo: opens a file in the editor control.
//
//   srcedit-demo [--wrap] [--special] [--column] [--caret L:C] [--select L:C] [--save FILE] FILE
//
// PHP files (.php, .inc) are coloured by the PHP highlighter. --caret places the caret, --select
// extends a selection from there; --save writes the text to FILE when the window closes.

#include "SrcEdit.h"
#include "SrcEditHighlighterPhp.h"

#include "Platform/Application.h"

#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>
#include <cctype>
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

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
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
        else
            file = arg;
    }

    QMainWindow window;
    window.setWindowTitle(QString::fromStdString("srcedit-demo " + file));
    auto* edit = new TSrcEdit(nullptr, &window);
    window.setCentralWidget(edit);

    std::unique_ptr<TSrcPHPSyn> php;
    const size_t dot = file.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : Lower(file.substr(dot));
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

    window.resize(900, 600);
    window.show();
    window.activateWindow();
    edit->setFocus();
    const int result = app.exec();
    if (!saveTo.empty())
        edit->Lines().SaveToFile(saveTo);
    return result;
}
