#pragma once
// The server logs window: the last part of the error log or the access log of the other web
// server whose log paths the environment options name, read when a tool button asks for it. The
// shown log keeps following its file while the window shows it: lines written to it meanwhile
// are added at the end.

#include "windows/zuToolWindowForm.h"

#include <QFileSystemWatcher>
#include <memory>
#include <string>

class QToolBar;
class TExTextListBox;
class TIniFileEx;

class TLogForm : public TToolWindowForm {
public:
    // `settings` is the main settings file, read at each click (null: no paths are known).
    TLogForm(TExDockBasicStyle* style, const TIniFileEx* settings);
    ~TLogForm() override;

    TExTextListBox* LogListBox;
    QToolBar* ToolBar;
    // The two tool buttons.
    void ErrorLogClick();
    void AccessLogClick();
    // The file now followed, or "".
    const std::string& ShownFile() const { return FPath; }

    // How many bytes of the log's end are shown at first.
    static constexpr long long TailBytes = 10240;

protected:
    void DoClose(TCloseAction& action) override;

private:
    void ShowLog(const std::string& path, const std::string& name, const std::string& heading);
    void ReadMore();
    void StopFollowing();

    const TIniFileEx* FSettings;
    std::string FPath;
    long long FOffset = 0;
    std::string FPending;
    std::unique_ptr<QFileSystemWatcher> FWatcher;
};
