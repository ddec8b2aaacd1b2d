// The main window's Insert commands: a colour, the date and time, special characters and a
// table, each into the active document.

#include "app/zuMainForm.h"

#include "app/zuFolders.h"
#include "common/zuFunctions.h"
#include "documents/zuCodeEditorForm.h"
#include "experts/zuCharmapForm.h"
#include "experts/zuTableExpertForm.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "utility/UclDateUtils.h"

#include "Platform/controls/ColorDialog.h"
#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"

namespace {

constexpr TColor ColorDialogStart = 0x00C13EAA;
constexpr const char* PresetCustomColors[16] = {
    "9494FE", "FF9595", "0968F7", "76B04F", "0686F9", "FCD703", "0DF229", "0F6FF0",
    "26D938", "16E9D9", "4322DD", "FF0000", "FC03F5", "DEE916", "01FEF1", "C13EAA",
};

} // namespace

void TMainForm::InsertColorExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    if (!ColorDialog) {
        ColorDialog = std::make_unique<TColorDialog>(nullptr);
        ColorDialog->SetColor(ColorDialogStart);
        ColorDialog->SetOptions(TColorDialogOptions{cdFullOpen});
        for (int i = 0; i < 16; ++i)
            ColorDialog->CustomColors().Add(std::string("Color") + static_cast<char>('A' + i) + "=" +
                                            PresetCustomColors[i]);
    }
    const bool chosen = ColorDialogHook ? ColorDialogHook(*ColorDialog) : ColorDialog->Execute();
    if (chosen)
        editor->SetSelectedText(ColorToHtml(ColorDialog->Color()));
}

void TMainForm::InsertDateExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    const std::string format = SettingsFile ? Settings::General::DateTimeFormat.Read(*SettingsFile)
                                            : std::string(Settings::General::DateTimeFormat.Default);
    editor->SetSelectedText(FormatDateTimeIso8601(format, Clock ? Clock() : ::Now()));
}

void TMainForm::InsertEntityExecute()
{
    const std::string file = FindFileNoCase(DataFolder, "HTMLEntity.dat");
    auto form = std::make_unique<TCharmapForm>(file.empty() ? IncludeTrailingPathDelimiter(DataFolder) + "HTMLEntity.dat"
                                                            : file);
    form->TargetEditor = [] { return MainForm ? MainForm->ActiveEditor() : nullptr; };
    form->adjustSize();
    form->move(geometry().center() - form->rect().center());
    form->show();
    // The window frees itself when it closes.
    form.release();
}

void TMainForm::InsertTableExecute()
{
    if (!ActiveEditorForm())
        return;
    TTableExpertForm dialog(this);
    dialog.TargetEditor = [this] { return ActiveEditor(); };
    ShowModal(dialog);
}
