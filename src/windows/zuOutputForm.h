#pragma once
// The output window: a plain list of lines that a command fills as it prints them (the syntax
// check's messages). A double-click on a message that names a line asks for that line.

#include "windows/zuToolWindowForm.h"

#include <functional>
#include <string>
#include <string_view>

class TExTextListBox;

// The place a PHP message names ("... in /path/file.php on line 12"): false when it names no
// line. `fileName` is empty when the message names a line but no file.
bool ParseMessageLocation(std::string_view message, std::string& fileName, int& line);

class TOutputForm : public TToolWindowForm {
public:
    explicit TOutputForm(TExDockBasicStyle* style);

    TExTextListBox* OutputEdit;

    // Asked with the file and line of a double-clicked message that names a line.
    std::function<void(const std::string& fileName, int line)> OnShowLine;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OutputEditDblClick();
    // The row under the last double-click (-1: none).
    int FClickedRow = -1;
};
