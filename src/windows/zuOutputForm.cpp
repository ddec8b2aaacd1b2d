#include "windows/zuOutputForm.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/controls/AlignLayout.h"

#include <QMouseEvent>

bool ParseMessageLocation(std::string_view message, std::string& fileName, int& line)
{
    constexpr std::string_view OnLine = " on line ";
    const size_t at = message.rfind(OnLine);
    if (at == std::string_view::npos)
        return false;
    size_t digit = at + OnLine.size();
    long value = 0;
    const size_t first = digit;
    for (; digit < message.size() && message[digit] >= '0' && message[digit] <= '9' && value < 100000000; ++digit)
        value = value * 10 + (message[digit] - '0');
    if (digit == first || value <= 0)
        return false;
    line = static_cast<int>(value);
    // why: the file is an absolute path and may hold " in " itself; the message text before it
    // does not name a path.
    constexpr std::string_view In = " in /";
    const size_t in = message.substr(0, at).find(In);
    fileName = in == std::string_view::npos ? std::string() : std::string(message.substr(in + 4, at - in - 4));
    return true;
}

TOutputForm::TOutputForm(TExDockBasicStyle* style) : TToolWindowForm("OutputForm", "Output", style)
{
    OutputEdit = new TExTextListBox(this, this); // owned by the form
    OutputEdit->SetName("OutputEdit");
    SetAlign(*OutputEdit, TAlign::alClient);
    OutputEdit->OnDblClick = [this](TObject*) { OutputEditDblClick(); };
    OutputEdit->viewport()->installEventFilter(this);
    DockClient()->SetTopDock(false);
}

bool TOutputForm::eventFilter(QObject* watched, QEvent* event)
{
    // why: the current row stays when a double-click hits no row; the row under the mouse counts.
    if (watched == OutputEdit->viewport() && event->type() == QEvent::MouseButtonDblClick)
        FClickedRow = OutputEdit->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row();
    return TToolWindowForm::eventFilter(watched, event);
}

void TOutputForm::OutputEditDblClick()
{
    const int index = FClickedRow;
    FClickedRow = -1;
    if (index < 0 || index >= OutputEdit->Items().Count() || !OnShowLine)
        return;
    std::string fileName;
    int line = 0;
    if (ParseMessageLocation(OutputEdit->Items()[index], fileName, line))
        OnShowLine(fileName, line);
}
