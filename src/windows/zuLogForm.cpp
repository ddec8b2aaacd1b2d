#include "windows/zuLogForm.h"

#include "app/zuActionImages.h"
#include "app/zuConstants.h"
#include "settings/zuSettings.h"

#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/ExtCtrls.h"
#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"

#include <QFile>
#include <QHBoxLayout>
#include <QToolBar>

namespace {

// Splits bytes into lines at LF, CR LF or CR; a last piece without a line end is left in
// `rest`.
std::vector<std::string> SplitLines(const std::string& bytes, std::string& rest)
{
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\n' || c == '\r') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    rest = line;
    return lines;
}

} // namespace

TLogForm::TLogForm(TExDockBasicStyle* style, const TIniFileEx* settings)
    : TToolWindowForm("LogForm", "Server Logs", style), FSettings(settings)
{
    auto* bar = new TCustomPanel(this, this); // owned by the form
    bar->SetBevelOuter(TPanelBevel::bvNone);
    bar->resize(bar->width(), 28);
    SetAlign(*bar, TAlign::alTop);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    ToolBar = new QToolBar(bar);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    layout->addWidget(ToolBar);
    QAction* errorLog = ToolBar->addAction(ActionImage("dialog-error"), QStringLiteral("Error Log"));
    QAction* accessLog = ToolBar->addAction(ActionImage("text-x-generic"), QStringLiteral("Access Log"));
    QObject::connect(errorLog, &QAction::triggered, this, [this] {
        try {
            ErrorLogClick();
        } catch (...) {
            HandleCurrentException();
        }
    });
    QObject::connect(accessLog, &QAction::triggered, this, [this] {
        try {
            AccessLogClick();
        } catch (...) {
            HandleCurrentException();
        }
    });
    LogListBox = new TExTextListBox(this, this); // owned by the form
    LogListBox->SetName("LogListBox");
    SetAlign(*LogListBox, TAlign::alClient);
}

TLogForm::~TLogForm()
{
    StopFollowing();
}

void TLogForm::ErrorLogClick()
{
    const std::string path = FSettings ? Settings::HTTPServer::ErrorLog.Read(*FSettings) : std::string();
    ShowLog(path, "error log", "LAST PART OF ERROR LOG");
}

void TLogForm::AccessLogClick()
{
    const std::string path = FSettings ? Settings::HTTPServer::AccessLog.Read(*FSettings) : std::string();
    ShowLog(path, "access log", "LAST PART OF ACCESS LOG");
}

void TLogForm::ShowLog(const std::string& path, const std::string& name, const std::string& heading)
{
    StopFollowing();
    TStrings& items = LogListBox->Items();
    items.BeginUpdate();
    try {
        items.Clear();
        QFile file(QString::fromStdString(path));
        if (path.empty() || !FileExists(path) || !file.open(QIODevice::ReadOnly)) {
            items.Add(Format(sUnableToFind, {name}));
        } else {
            // The first line shown may start in the middle of a line of the log.
            const qint64 size = file.size();
            const qint64 start = std::max<qint64>(0, size - TailBytes);
            file.seek(start);
            const QByteArray bytes = file.readAll();
            FOffset = start + bytes.size();
            for (const std::string& line : SplitLines(std::string(bytes.constData(), bytes.size()), FPending))
                items.Add(line);
            if (!FPending.empty())
                items.Add(FPending);
            items.Insert(0, heading);
            FPath = path;
            FWatcher = std::make_unique<QFileSystemWatcher>(QStringList{QString::fromStdString(path)});
            QObject::connect(FWatcher.get(), &QFileSystemWatcher::fileChanged, this, [this] {
                try {
                    ReadMore();
                } catch (...) {
                    HandleCurrentException();
                }
            });
        }
    } catch (...) {
        items.EndUpdate();
        throw;
    }
    items.EndUpdate();
}

void TLogForm::ReadMore()
{
    if (FPath.empty())
        return;
    QFile file(QString::fromStdString(FPath));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A log written anew (rotated or emptied) is followed from its start.
    if (file.size() < FOffset) {
        FOffset = 0;
        FPending.clear();
    }
    file.seek(FOffset);
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return;
    FOffset += bytes.size();
    TStrings& items = LogListBox->Items();
    const bool partialShown = !FPending.empty();
    std::string rest;
    std::vector<std::string> lines = SplitLines(FPending + std::string(bytes.constData(), bytes.size()), rest);
    items.BeginUpdate();
    if (partialShown && items.Count() > 0)
        items.Delete(items.Count() - 1);
    for (const std::string& line : lines)
        items.Add(line);
    if (!rest.empty())
        items.Add(rest);
    items.EndUpdate();
    FPending = rest;
    // why: a log that is replaced by a new file leaves the watch; the new one is watched again.
    if (FWatcher && !FWatcher->files().contains(QString::fromStdString(FPath)))
        FWatcher->addPath(QString::fromStdString(FPath));
}

void TLogForm::StopFollowing()
{
    FWatcher.reset();
    FPath.clear();
    FOffset = 0;
    FPending.clear();
}

void TLogForm::DoClose(TCloseAction& action)
{
    TToolWindowForm::DoClose(action);
    StopFollowing();
    LogListBox->Items().Clear();
    action = TCloseAction::caHide;
}
