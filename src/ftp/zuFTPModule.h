#pragma once
// TFTPModule: the connection through which documents opened over FTP are reloaded and saved,
// and the one routine that sets up any FTP client from an account of "ftp.dat". Each transfer
// is one short connection: connect and log in, change to the file's folder, move one file
// between the server and a stream, quit; a progress window shows it and can cancel it.
//
// A transfer that fails raises ENetFTPError (ENetFTPAborted when cancelled) with the remote
// path and the reason, never a password, so the caller can keep what it has.

#include "ftp/client/zuNetFTP.h"
#include "ftp/zuFTPLocalCopies.h"

#include "common/zuGuid.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

class TIniFileEx;
class TStream;

class TFTPModule {
public:
    // `accounts` is "ftp.dat", `settings` the main settings file with [FTP Client].
    TFTPModule(TIniFileEx& accounts, TIniFileEx& settings);
    ~TFTPModule();
    TFTPModule(const TFTPModule&) = delete;
    TFTPModule& operator=(const TFTPModule&) = delete;

    // The module's own client: ASCII transfers, no proxy until configured.
    TNetFTP& FTPClient() { return *FClient; }

    // Sets up a client from the account's section (an empty host when there is none): an
    // empty login becomes "anonymous" with the fixed anonymous password; the proxy of
    // [FTP Client] only for an account that asks for it. Connects nothing.
    void ConfigureClient(TNetFTP& client, const TGUID& account) const;

    // Fills the stream with the remote file (full path, "/" between folders).
    void DownloadToStream(const TGUID& account, const std::string& remotePath, TStream& stream);
    // Stores the stream from its position as the remote file, replacing it.
    void UploadFromStream(const TGUID& account, const std::string& remotePath, TStream& stream);

    // True while a transfer runs (one at a time; another one is refused with ENetFTPBusy).
    bool Busy() const { return FBusy; }
    // Ends the running transfer; nothing when idle.
    void Cancel();

    // Where downloaded files are kept while they open.
    TFTPLocalCopies& LocalCopies() { return FLocalCopies; }

    // The window the progress window is centred on.
    QPointer<QWidget> ProgressOwner;

private:
    void Transfer(const TGUID& account, const std::string& remotePath, TStream& stream, bool upload);

    TIniFileEx& FAccounts;
    TIniFileEx& FSettings;
    std::unique_ptr<TNetFTP> FClient;
    TFTPLocalCopies FLocalCopies;
    bool FBusy = false;
    bool FCancelled = false;
    std::int64_t FExpected = 0;
};

// The module from its creation at start-up to its end at exit, else null.
extern TFTPModule* FTPModule;
