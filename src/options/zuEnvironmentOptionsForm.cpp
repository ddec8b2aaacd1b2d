// The environment options dialog.

#include "options/zuEnvironmentOptionsForm.h"

#include "options/zuOptionsControls.h"

#include "app/zuScopeGuards.h"
#include "app/zuTypes.h"
#include "documents/zuEditorModule.h"
#include "http/zuHTTPModule.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"
#include "ExLib/run/graphics/ExWizardHeader.h"
#include "ExLib/run/panels/ExPageControl.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// The server module's values when it exists, else the stored ones.
int CurrentPort()
{
    return HTTPModule ? HTTPModule->BoundPort() : Settings::HTTPServer::Port.Read(*SettingsFile);
}

int CurrentTimeOutSeconds()
{
    return HTTPModule ? HTTPModule->CGIRunner.TimeOut() / 1000 : Settings::HTTPServer::TimeOut.Read(*SettingsFile);
}

std::string CurrentPHPIni()
{
    return HTTPModule ? HTTPModule->CGIRunner.PHPIniPath() : Settings::Environment::INI.Read(*SettingsFile);
}

} // namespace

TEnvironmentOptionsForm::TEnvironmentOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EnvironmentOptionsForm"));
    setWindowTitle(QStringLiteral("Environment Options"));
    CreateControls();
    LoadValues();
    FFocusConnection =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

TEnvironmentOptionsForm::~TEnvironmentOptionsForm()
{
    // why: the fields lose the focus while the dialog is being destroyed
    disconnect(FFocusConnection);
}

void TEnvironmentOptionsForm::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    HeaderPanel = new TJvgWizardHeader(nullptr, this);
    HeaderPanel->setObjectName(QStringLiteral("HeaderPanel"));
    HeaderPanel->setFixedHeight(60);
    HeaderPanel->Captions().Add("Environment Options");
    HeaderPanel->Comments().Add("");
    layout->addWidget(HeaderPanel);

    PageControl = new TExPageControl(nullptr, this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(8, 0, 8, 0);
    body->addWidget(PageControl, 1);
    layout->addLayout(body, 1);

    QFormLayout* php = AddFormPage(*PageControl, "PHP");
    edCGIExecutable = AddFileEdit(*php, "PHP Interpreter", "PHP Executable|*php*|All files|*", false);
    // why: the PHP manual may be a folder of HTML pages or a URL as well as a file
    edHelpFile = AddFileEdit(*php, "PHP Help File", "Help File|*.html;*.htm|All files|*", true);
    edFilter = AddLineEdit(*php, "PHP Extension(s)");
    edFilter->setValidator(NoBlanksValidator(edFilter));
    KeepLowerCase(*edFilter);
    edPHPIniFile = AddFileEdit(*php, "PHP.INI File", "PHP.INI|*.ini", false);

    QFormLayout* server = AddFormPage(*PageControl, "Internal HTTP Server");
    edServerPort = AddSpinEdit(*server, "Server Port", 0, 65535);
    edTimeOut = AddSpinEdit(*server, "TimeOut (sec)", 1, 65535);
    edIndexFiles = AddLineEdit(*server, "Default Documents");
    edIndexFiles->setValidator(NoBlanksValidator(edIndexFiles));

    QFormLayout* external = AddFormPage(*PageControl, "External HTTP Server");
    edServerURL = AddLineEdit(*external, "URL");
    edServerURL->setValidator(NoBlanksValidator(edServerURL));
    edServerPath = AddFolderEdit(*external, "Document Path");
    edAccessLog = AddFileEdit(*external, "Access Log", "All files|*", true);
    edErrorLog = AddFileEdit(*external, "Error Log", "All files|*", true);

    FHints = {
        {edCGIExecutable, "Select the location of PHP interpreter: php.exe for PHP4 or php-cgi.exe for PHP5"},
        {edHelpFile, "Select the location of PHP documentation"},
        {edFilter, "Specify PHP extension(s)"},
        {edPHPIniFile, "Select the location of PHP configuration file"},
        {edServerPort, "Specify the port number for internal HTTP server"},
        {edTimeOut, "Specify the time-out value for scripts"},
        {edIndexFiles, "Specify the default document names for internal HTTP server"},
        {edServerURL, "URL for accessing external HTTP server"},
        {edServerPath, "Specify the location of document root"},
        {edAccessLog, "Specify the location of access log"},
        {edErrorLog, "Specify the location of error log"},
    };

    auto* buttons = AddDialogButtons(*layout, *this, ApplyButton, CancelButton);
    buttons->setContentsMargins(8, 0, 8, 0);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { Apply(); }); });
    resize(480, 330);
}

void TEnvironmentOptionsForm::LoadValues()
{
    const TIniFileEx& ini = *SettingsFile;
    edCGIExecutable->setText(QStr(PHPEnvironment.PHPExecutable));
    edHelpFile->setText(QStr(PHPEnvironment.PHPManual));
    if (EditorModule)
        edFilter->setText(QStr(LowerCase(EditorModule->PHP->DefaultFilter())));
    edPHPIniFile->setText(QStr(CurrentPHPIni()));
    edServerPort->SetIntValue(CurrentPort());
    edTimeOut->SetIntValue(CurrentTimeOutSeconds());
    edIndexFiles->setText(QStr(Settings::HTTPServer::IndexFiles.Read(ini)));
    edServerURL->setText(QStr(Settings::HTTPServer::ServerURL.Read(ini)));
    edServerPath->setText(QStr(Settings::HTTPServer::DocumentPath.Read(ini)));
    edAccessLog->setText(QStr(Settings::HTTPServer::AccessLog.Read(ini)));
    edErrorLog->setText(QStr(Settings::HTTPServer::ErrorLog.Read(ini)));
}

void TEnvironmentOptionsForm::FocusChanged(QWidget* now)
{
    for (const auto& [field, hint] : FHints)
        if (now && (now == field || field->isAncestorOf(now))) {
            HeaderPanel->Comments().Clear();
            HeaderPanel->Comments().Add(hint);
            HeaderPanel->update();
            return;
        }
}

std::string TEnvironmentOptionsForm::HeaderComment() const
{
    return HeaderPanel->Comments().Count() > 0 ? HeaderPanel->Comments()[0] : std::string();
}

void TEnvironmentOptionsForm::Apply()
{
    TWaitCursor wait;
    const std::string interpreter = StdStr(edCGIExecutable->text());
    const std::string manual = StdStr(edHelpFile->text());
    const std::string filter = StdStr(edFilter->text());
    const std::string phpIni = StdStr(edPHPIniFile->text());
    const int port = edServerPort->IntValue();
    const int timeOut = edTimeOut->IntValue();
    const std::string indexFiles = Trim(StdStr(edIndexFiles->text()));

    PHPEnvironment.PHPExecutable = interpreter;
    PHPEnvironment.PHPManual = manual;
    if (EditorModule)
        EditorModule->PHP->SetDefaultFilter(filter);
    if (HTTPModule) {
        HTTPModule->CGIRunner.SetPHPIniPath(phpIni);
        HTTPModule->CGIRunner.SetTimeOut(static_cast<int>(std::min<long long>(timeOut * 1000LL, INT_MAX)));
        // why: each request reads these from the snapshot, so they take effect at once
        HTTPModule->UpdateServerValues([&](TServerValues& values) {
            values.PHPExecutable = CGIExecutableFor(interpreter);
            values.IndexFiles = indexFiles;
        });
        if (port != HTTPModule->BoundPort()) {
            const bool wasRunning = HTTPModule->Active();
            HTTPModule->HTTPServer.SetDefaultPort(port);
            HTTPModule->RestartServer(wasRunning);
        }
    }

    TIniFileEx& ini = *SettingsFile;
    Settings::Environment::CGI.Write(ini, interpreter);
    Settings::Environment::INI.Write(ini, phpIni);
    Settings::Environment::Documentation.Write(ini, manual);
    if (EditorModule)
        ini.WriteString(EditorModule->PHP->Name(), std::string(Settings::HighlighterFilterKey), filter);
    Settings::HTTPServer::IndexFiles.Write(ini, indexFiles);
    Settings::HTTPServer::Port.Write(ini, port);
    Settings::HTTPServer::TimeOut.Write(ini, timeOut);
    Settings::HTTPServer::ServerURL.Write(ini, StdStr(edServerURL->text()));
    Settings::HTTPServer::DocumentPath.Write(ini, StdStr(edServerPath->text()));
    Settings::HTTPServer::AccessLog.Write(ini, StdStr(edAccessLog->text()));
    Settings::HTTPServer::ErrorLog.Write(ini, StdStr(edErrorLog->text()));
    ini.UpdateFile();
    // The Open and Save filters and the server's PHP test follow the new extensions.
    if (EditorModule)
        EditorModule->BuildFileFilters();
    accept();
}
