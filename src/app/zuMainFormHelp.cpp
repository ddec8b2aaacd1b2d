// The main window's Help commands through the help router: the program's help, the PHP manual
// at the word at the caret, the home page and a mail to technical support.

#include "app/zuMainForm.h"

#include "app/zuTypes.h"
#include "help/zuHelpRouter.h"
#include "help/zuHelpWindow.h"
#include "help/zuHelpBook.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/view/SrcEdit.h"


namespace {

constexpr const char* HomePageAddress = "https://zentu.example.org/";
constexpr const char* SupportMail = "mailto:support@zentu.example.org?subject=%22Zentu%22";

} // namespace

void TMainForm::StartHelpRouter()
{
    // why: one router serves the program; a second main window (tests) goes without.
    if (THelpRouter::Instance())
        return;
    HelpRouter = std::make_unique<THelpRouter>(nullptr);
    HelpRouter->HelpType = THelpType::htHTMLhelp;
    HelpRouter->ViewerFactory = [this] {
        return std::make_unique<TProgramHelpViewer>([this](const QUrl& page) { OpenURL(page.toString().toStdString()); });
    };
}

void TMainForm::OpenURL(const std::string& url)
{
    if (OpenURLHook)
        OpenURLHook(url);
    else
        OpenInBrowser(url);
}

void TMainForm::HelpTopicsExecute()
{
    ShowProgramHelpContents();
}

void TMainForm::PHPHelpExecute()
{
    const std::string manual =
        SettingsFile ? Settings::Environment::Documentation.Read(*SettingsFile) : PHPEnvironment.PHPManual;
    if (!HelpRouter || !THelpBook(manual).Exists()) {
        acEnvironmentOptions->Execute();
        return;
    }
    HelpRouter->Helpfile = manual;
    HelpRouter->HelpContents();
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    const std::string keyword = editor->HasSelection() ? editor->GetSelectedText() : editor->GetWordAtCaret();
    if (!keyword.empty() && HelpRouter->ShowIndex(keyword))
        HelpRouter->KeywordLookup(keyword);
}

void TMainForm::HomePageExecute()
{
    OpenURL(HomePageAddress);
}

void TMainForm::CustomerSupportExecute()
{
    OpenURL(SupportMail);
}
