// The FTP module: client set-up from an account, and the transfers of documents.

#include "ftp/zuFTPModule.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuProgressForm.h"

#include "common/zuFunctions.h"
#include "settings/zentuIniFiles.h"

#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

TFTPModule* FTPModule = nullptr;

TFTPModule::TFTPModule(TIniFileEx& accounts, TIniFileEx& settings)
    : FAccounts(accounts), FSettings(settings), FClient(std::make_unique<TNetFTP>())
{
    FClient->SetTransferType(TFTPTransferType::ftASCII);
    FClient->MaxLineAction = TMaxLineAction::maException;
    FClient->ProxySettings.ProxyType = TFTPProxyType::fpcmNone;
    FClient->ProxySettings.Port = 0;
    FClient->OnWork = [this](TWorkMode, std::int64_t count) {
        if (ProgressForm)
            ProgressForm->SetProgress(count, FExpected);
    };
    // why: the file holds credentials whose cipher key every installation shares.
    try {
        MakeFilePrivate(accounts.FileName());
    } catch (const std::exception&) {
        // The account dialog tries again when it writes, and reports what fails then.
    }
}

TFTPModule::~TFTPModule() = default;

void TFTPModule::ConfigureClient(TNetFTP& client, const TGUID& account) const
{
    using namespace FTPAccountKeys;
    const std::string section = GUIDToString(account);
    const TFTPAccount values = ReadFTPAccount(FAccounts, account);
    client.Host = values.Host;
    client.Username = FAccounts.ReadString(section, std::string(User), "").empty() ? std::string(AnonymousUser) : values.User;
    client.Password = FAccounts.ReadString(section, std::string(Pass), "").empty() ? std::string(AnonymousPassword) : values.Pass;
    client.Port = values.Port;
    client.Passive = values.Passive;
    client.ProxySettings = TFTPProxySettings();
    if (!values.UseProxy)
        return;
    const TFTPProxyConfig proxy = ReadFTPProxy(FSettings);
    const bool known = proxy.ProxyType >= 0 && proxy.ProxyType <= static_cast<int>(TFTPProxyType::fpcmTransparent);
    client.ProxySettings.ProxyType = known ? static_cast<TFTPProxyType>(proxy.ProxyType) : TFTPProxyType::fpcmNone;
    client.ProxySettings.Host = proxy.Host;
    client.ProxySettings.UserName = proxy.User;
    client.ProxySettings.Password = proxy.Pass;
    client.ProxySettings.Port = proxy.Port;
}

void TFTPModule::DownloadToStream(const TGUID& account, const std::string& remotePath, TStream& stream)
{
    Transfer(account, remotePath, stream, false);
}

void TFTPModule::UploadFromStream(const TGUID& account, const std::string& remotePath, TStream& stream)
{
    Transfer(account, remotePath, stream, true);
}

void TFTPModule::Cancel()
{
    if (!FBusy)
        return;
    FCancelled = true;
    FClient->Abort();
}

void TFTPModule::Transfer(const TGUID& account, const std::string& remotePath, TStream& stream, bool upload)
{
    if (FBusy)
        throw ENetFTPBusy("Another FTP transfer is running");
    FBusy = true;
    FCancelled = false;
    FExpected = 0;
    // The progress window lives as long as the transfer, also when it fails.
    QPointer<TProgressForm> progress = new TProgressForm(ProgressOwner.data());
    struct TEnd {
        TFTPModule& Module;
        QPointer<TProgressForm>& Progress;
        ~TEnd()
        {
            Module.FBusy = false;
            if (Progress) {
                Progress->OnCancel = nullptr;
                Progress->close();
            }
        }
    } end{*this, progress};
    progress->OnCancel = [this] { Cancel(); };
    progress->show();
    // why: Cancel may come between two commands, while no command runs that it could end.
    const auto status = [this, &progress](const std::string& text) {
        if (progress)
            progress->SetStatusText(text);
        if (FCancelled) {
            FClient->Disconnect();
            throw ENetFTPAborted("The FTP command was cancelled");
        }
    };
    ConfigureClient(*FClient, account);
    try {
        status(Format("Connecting to %s", {FClient->Host}));
        FClient->Connect();
        const std::string folder = SplitPathDir(remotePath);
        const std::string name = SplitPathName(remotePath);
        if (!folder.empty()) {
            status(Format("Changing directory to %s", {folder}));
            FClient->ChangeDir(folder);
        }
        if (upload) {
            FExpected = stream.Size() - stream.Position();
            status(Format("Uploading %s", {remotePath}));
            FClient->Put(stream, name);
        } else {
            status(Format("Downloading %s", {remotePath}));
            FExpected = std::max<std::int64_t>(FClient->Size(name), 0);
            FClient->Get(name, stream, false);
        }
        FClient->Disconnect();
    } catch (ENetFTPError& e) {
        FClient->Disconnect();
        e.SetMessage(Format(upload ? "Unable to upload %s: %s" : "Unable to download %s: %s", {remotePath, e.Message()}));
        throw;
    }
}
