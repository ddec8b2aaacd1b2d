#include "help/zuDialogHelp.h"

#include "compare/zuCompareSelectForm.h"
#include "documents/zuTemplateForm.h"
#include "experts/zuCharmapForm.h"
#include "experts/zuGotoForm.h"
#include "experts/zuGraphicExpertForm.h"
#include "experts/zuSelectSyntaxForm.h"
#include "experts/zuTableExpertForm.h"
#include "experts/zuTagCaseForm.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/explorer/zuFTPPermissionsForm.h"
#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPManagerForm.h"
#include "options/zuApplicationOptionsForm.h"
#include "options/zuEnvironmentOptionsForm.h"
#include "print/zuExportForm.h"
#include "print/zuPageSetupForm.h"
#include "projects/zuProjectManager.h"
#include "projects/zuProjectOptionsDialog.h"
#include "run/zuScriptParametersForm.h"
#include "search/zuConfirmationForm.h"
#include "search/zuExFindForm.h"
#include "search/zuSearchForm.h"

#include "Platform/core/Application.h"

#include <QKeyEvent>
#include <QWidget>

#include <typeindex>

namespace {

// The numbers of the help map's [Contexts] section.
enum : int {
    hcTemplate = 100,
    hcFind = 101,
    hcFindInFiles = 102,
    hcGoTo = 103,
    hcTagCase = 104,
    hcSyntax = 105,
    hcEntities = 106,
    hcTable = 107,
    hcImage = 108,
    hcPrint = 109,
    hcProject = 110,
    hcOptions = 111,
    hcCompare = 112,
    hcFTP = 113,
    hcScriptParameters = 114,
};

#define ZU_DIALOG(type, context) TDialogHelpContext{&typeid(type), #type, context}

} // namespace

const std::vector<TDialogHelpContext>& DialogHelpContexts()
{
    static const std::vector<TDialogHelpContext> contexts = {
        ZU_DIALOG(TTemplateForm, hcTemplate),
        ZU_DIALOG(TSearchForm, hcFind),
        ZU_DIALOG(TConfirmationForm, hcFind),
        ZU_DIALOG(TExFindForm, hcFindInFiles),
        ZU_DIALOG(TGotoForm, hcGoTo),
        ZU_DIALOG(TTagCaseForm, hcTagCase),
        ZU_DIALOG(TSelectSyntaxForm, hcSyntax),
        ZU_DIALOG(TCharmapForm, hcEntities),
        ZU_DIALOG(TTableExpertForm, hcTable),
        ZU_DIALOG(TGraphicExpertForm, hcImage),
        ZU_DIALOG(TPageSetupForm, hcPrint),
        ZU_DIALOG(TExportForm, hcPrint),
        ZU_DIALOG(TProjectOptionsForm, hcProject),
        ZU_DIALOG(TProjectManagerForm, hcProject),
        ZU_DIALOG(TApplicationOptionsForm, hcOptions),
        ZU_DIALOG(TEnvironmentOptionsForm, hcOptions),
        ZU_DIALOG(TCompareSelectForm, hcCompare),
        ZU_DIALOG(TFTPManagerForm, hcFTP),
        ZU_DIALOG(TFTPAccountForm, hcFTP),
        ZU_DIALOG(TFTPPermissionForm, hcFTP),
        ZU_DIALOG(TFTPExplorerForm, hcFTP),
        ZU_DIALOG(TScriptParametersForm, hcScriptParameters),
    };
    return contexts;
}

#undef ZU_DIALOG

int DialogHelpContext(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        const std::type_index type(typeid(*widget));
        for (const TDialogHelpContext& dialog : DialogHelpContexts())
            if (type == std::type_index(*dialog.Type))
                return dialog.Context;
    }
    return 0;
}

TDialogHelpKey::TDialogHelpKey(QObject* parent) : QObject(parent) {}

bool TDialogHelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    const int context = DialogHelpContext(static_cast<QWidget*>(watched));
    if (context == 0 || !Application())
        return false;
    Application()->HelpContext(context);
    return true;
}
