#pragma once
// The project explorer: the current project's local folder as a tree of folders and files (the
// local view) and its remote folder over FTP (the remote view), one page at a time. The local
// folder box shows the project's local folder text; changing it changes the project's folder,
// and opening another project changes what the box and the tree show. The remote view is the
// FTP explorer over a connection of its own, bound to the project's account and remote path.

#include "explorers/zuExplorerFiles.h"
#include "windows/zuToolWindowForm.h"

#include "common/zuGuid.h"

#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QDialog;
class QLineEdit;
class QStackedWidget;
class QToolBar;
class QToolButton;
class TAction;
class TCurrentProject;
class TFilterComboBox;
class TFTPExplorerForm;
class TIniFileEx;
class TShellExplorerTreeview;

struct TProjectExplorerServices {
    TCurrentProject* Project = nullptr;
    TIniFileEx* Projects = nullptr;    // "projects.dat"
    TIniFileEx* FTPAccounts = nullptr; // "ftp.dat"
    TIniFileEx* Settings = nullptr;    // the main settings file
    TOpenDocumentEvent OpenFile;
    std::function<void(const std::string& localCopy, const std::string& remotePath, const TGUID& account)>
        OpenRemoteFile;
    // The main window's Project Options and Open Project commands.
    std::function<void()> ProjectOptions;
    std::function<void()> ProjectManager;
    // Shows the remote view's dialogs (permissions); exec() unless set.
    std::function<int(QDialog& dialog)> ExecuteDialog;
};

class TProjectExplorerForm : public TToolWindowForm {
public:
    enum TViewPort { vpLocal = 0, vpRemote = 1 };

    TProjectExplorerForm(TExDockBasicStyle* style, TProjectExplorerServices services);
    ~TProjectExplorerForm() override;

    // The editor's file filters ("Description|mask|..."); the tree follows the first of them.
    void SetFileFilter(const std::string& filter);
    // The folder the local view shows.
    std::string LocalFolder() const;
    // The page shown, and the view switch's choice.
    TViewPort ViewPort() const;
    void SetViewPort(TViewPort view);

    // The commands of the upper bar.
    void RefreshExecute();
    void FTPConnectExecute();
    // Opens the local view's first selected file as a document.
    void LocalViewDblClick();

    QToolBar* ToolBar;
    QComboBox* cmViewPort;
    QStackedWidget* Pages;
    QLineEdit* LocalPath;
    QToolButton* BrowseButton;
    TShellExplorerTreeview* LocalView;
    TFilterComboBox* FilterEdit;
    TFTPExplorerForm* RemoteView;

    TAction* acRefresh;
    TAction* acFTPconnect;
    TAction* acProjectManager;
    TAction* acProjectOptions;

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void CreateControls();
    // The folder text changed (typed, browsed, or a project was opened).
    void LocalPathChange(const std::string& text);
    void UpdateConnectImage();
    std::string ProjectRemotePath() const;

    TProjectExplorerServices FServices;
    // Empty stand-ins for the files the services lack (as for the default dock layout).
    std::unique_ptr<TIniFileEx> FNoAccounts;
    std::unique_ptr<TIniFileEx> FNoSettings;
};
