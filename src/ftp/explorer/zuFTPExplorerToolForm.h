#pragma once
// The FTP explorer's place among the docked tool windows. The explorer itself belongs to the
// main window, which also shows it as the modal Open From FTP and Save As To FTP dialogs: while
// it is a dialog it leaves this window, and it comes back afterwards with its connection.

#include "ftp/explorer/zuFTPExplorerForm.h"
#include "windows/zuToolWindowForm.h"

#include <QPointer>

class TFTPExplorerToolForm : public TToolWindowForm {
public:
    explicit TFTPExplorerToolForm(TExDockBasicStyle* style);
    // Gives the explorer back without its parent; its owner frees it.
    ~TFTPExplorerToolForm() override;

    // Shows the explorer inside this window.
    void Embed(TFTPExplorerForm* explorer);
    // Takes the explorer out as a dialog of `owner`.
    void Release(QWidget* owner);
    TFTPExplorerForm* Explorer() const { return FExplorer; }
    bool Embedded() const;

private:
    QWidget* FClient;
    QPointer<TFTPExplorerForm> FExplorer;
};
