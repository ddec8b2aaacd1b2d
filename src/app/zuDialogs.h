#pragma once
// The common dialogs the shell opens: the Open and Save dialogs and a one-line input box. Each
// shows a modal Qt dialog; tests and scripted runs answer through the object's ExecuteHook.

#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

class TFileDialog {
public:
    enum class TKind { dkOpen, dkSave };
    explicit TFileDialog(TKind kind) : FKind(kind) {}

    TKind Kind() const { return FKind; }
    std::string Title;
    // A name alone is looked for in InitialDir; the chosen name comes back here.
    std::string FileName;
    std::string InitialDir;
    // "Description|masks|Description|masks", masks separated by ";".
    std::string Filter;
    // Added to a saved name that has no extension ("php").
    std::string DefaultExt;
    // Open only: several files at once.
    bool MultiSelect = false;
    // The chosen files, in the order given; FileName is the first.
    std::vector<std::string> Files;

    // True when the user confirmed. An Open dialog accepts only existing files; a Save dialog
    // asks before replacing a file.
    bool Execute(QWidget* parent);
    std::function<bool(TFileDialog& dialog)> ExecuteHook;

private:
    TKind FKind;
};

// "PHP Formats|*.php;*.inc|All Formats|*.*" as Qt writes filters:
// "PHP Formats (*.php *.inc);;All Formats (*)".
QString QtFileFilter(std::string_view filter);

class TInputQuery {
public:
    std::string Caption;
    std::string Prompt;
    // The text shown at first and, after a confirmed Execute, the text given.
    std::string Value;

    bool Execute(QWidget* parent);
    std::function<bool(TInputQuery& query)> ExecuteHook;
};
