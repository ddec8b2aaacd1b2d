// The application options: each page shows its stored values and Apply writes them back; the
// live changes of the highlighting and key map pages and their undoing by Cancel; the key map
// round trip; auto-correction items; and the file associations page.

#include "src/run/ShellTestSupport.h"

#include "options/zuApplicationOptionsForm.h"
#include "options/zuFileAssociations.h"

#include "code/zuCodeInsight.h"

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"
#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"
#include "ExLib/run/lists/ExComboBox.h"
#include "ExLib/run/lists/ExListBox.h"
#include "ExLib/run/panels/ExPageControl.h"
#include "ExLib/run/panels/ExStaticText.h"

#include "Platform/core/DateTime.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"
#include "support/ScopedEnvironment.h"
#include "utility/UclDateUtils.h"

#include <QCheckBox>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <set>

namespace {

struct ApplicationOptionsTest : ShellTest {
    std::unique_ptr<TApplicationOptionsForm> Dialog() { return std::make_unique<TApplicationOptionsForm>(Form.get()); }
    std::string Stored(const std::string& section, const std::string& key) const
    {
        return SettingsFile->ReadString(section, key, "(missing)");
    }
    std::string Bytes(const std::string& name) const
    {
        return FileExists(UserFile(name)) ? ReadWholeFile(UserFile(name)) : std::string("(no file)");
    }
    static TSrcHighlighterAttributes* Attribute(TSrcCustomHighlighter& highlighter, const std::string& name)
    {
        for (int i = 0; i < highlighter.AttriCount(); ++i)
            if (highlighter.AttriByIndex(i)->Name() == name)
                return highlighter.AttriByIndex(i);
        return nullptr;
    }
    // Chooses a scheme and an element of the highlighting page by their names.
    static void Choose(TApplicationOptionsForm& form, const std::string& scheme, const std::string& element)
    {
        const int schemeIndex = form.cmbxScheme->Items().IndexOf(scheme);
        ASSERT_GE(schemeIndex, 0) << scheme;
        form.cmbxScheme->SetItemIndex(schemeIndex);
        const int elementIndex = form.lbElements->Items().IndexOf(element);
        ASSERT_GE(elementIndex, 0) << element;
        form.lbElements->SetItemIndex(elementIndex);
    }
    // Chooses a command on the key map page.
    static void ChooseCommand(TApplicationOptionsForm& form, TAction* action)
    {
        form.lbCategories->SetItemIndex(form.lbCategories->Items().IndexOf(ActionCategory(*action)));
        for (int i = 0; i < form.lvCommands->topLevelItemCount(); ++i) {
            form.lvCommands->setCurrentItem(form.lvCommands->topLevelItem(i));
            if (form.ChosenCommand() == action)
                return;
        }
        ADD_FAILURE() << "no command " << action->Name();
    }
    std::vector<std::string> Corrections(const TApplicationOptionsForm& form) const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < form.lvCorrections->topLevelItemCount(); ++i)
            rows.push_back(StdStr(form.lvCorrections->topLevelItem(i)->text(0)) + "=" +
                           StdStr(form.lvCorrections->topLevelItem(i)->text(1)));
        return rows;
    }
};

} // namespace

TEST_F(ApplicationOptionsTest, TheTreeChoosesThePageAndTheHeader)
{
    Start();
    auto form = Dialog();
    EXPECT_EQ(form->PageControl->ActivePageIndex(), 0);
    EXPECT_EQ(Trim(form->HeaderText->Caption()), "General Options");
    form->SectionTree->setCurrentItem(form->SectionTree->topLevelItem(7));
    EXPECT_EQ(form->PageControl->ActivePageIndex(), 7);
    EXPECT_EQ(Trim(form->HeaderText->Caption()), "Key Mapping");
    EXPECT_EQ(form->SectionTree->topLevelItemCount(), 9);
}

TEST_F(ApplicationOptionsTest, GeneralOptionsAreWrittenAndReadBack)
{
    Start();
    {
        auto form = Dialog();
        EXPECT_EQ(form->spedRecentItems->IntValue(), 16);
        EXPECT_EQ(form->cmbxLineEnding->ItemIndex(), 1);
        EXPECT_EQ(form->cmbxSQLDialect->ItemIndex(), 3);
        form->spedRecentItems->SetIntValue(5);
        form->cmbxLineEnding->SetItemIndex(2);
        form->cmbxReloadType->SetItemIndex(1);
        form->cmbxSQLDialect->SetItemIndex(6);
        form->cmbxTagCase->SetItemIndex(1);
        form->edDateTime->setText(QStringLiteral("yyyy-mm-dd"));
        EXPECT_EQ(StdStr(form->edSampleDateTime->text()), FormatDateTimeIso8601("yyyy-mm-dd", Now()));
        form->Apply();
    }
    const std::vector<std::pair<const char*, const char*>> keys = {
        {"MaxMRU", "5"}, {"LineEnding", "2"}, {"Reload", "1"}, {"SQLDialect", "6"}, {"TagCase", "1"},
        {"DateTimeFormat", "yyyy-mm-dd"},
    };
    for (const auto& [key, value] : keys)
        EXPECT_EQ(Stored("General", key), value) << key;
    EXPECT_EQ(Module->SQL->SQLDialect(), sqlIngres);
    auto again = Dialog();
    EXPECT_EQ(again->spedRecentItems->IntValue(), 5);
    EXPECT_EQ(again->cmbxLineEnding->ItemIndex(), 2);
    EXPECT_EQ(again->cmbxReloadType->ItemIndex(), 1);
    EXPECT_EQ(again->cmbxSQLDialect->ItemIndex(), 6);
    EXPECT_EQ(again->cmbxTagCase->ItemIndex(), 1);
    EXPECT_EQ(StdStr(again->edDateTime->text()), "yyyy-mm-dd");
}

TEST_F(ApplicationOptionsTest, ClearListEmptiesTheRecentFilesAndCancelKeepsThemEmpty)
{
    Start();
    Form->AddRecentFile(WriteWork("a.php", ""));
    auto form = Dialog();
    form->btnClearList->click();
    EXPECT_EQ(Form->RecentFileList.Count(), 0);
    form->reject();
    EXPECT_EQ(Form->RecentFileList.Count(), 0);
}

TEST_F(ApplicationOptionsTest, EditorOptionsAreWrittenAndReadBackAndReachOpenDocuments)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("page.php", "<?php echo 1; ?>\n"));
    std::vector<bool> flipped;
    {
        auto form = Dialog();
        ASSERT_EQ(form->EditorOptionBoxes.size(), 17u);
        for (QCheckBox* box : form->EditorOptionBoxes) {
            box->setChecked(!box->isChecked());
            flipped.push_back(box->isChecked());
        }
        form->CloseBoxes[2]->setChecked(false);
        form->spedMaxUndo->SetIntValue(99);
        form->spedTabWidth->SetIntValue(4);
        form->spedLineSpacing->SetIntValue(3);
        form->spedRightMargin->SetIntValue(120);
        form->FontDialogHook = [](TFont& font) {
            font.SetName("Courier New");
            font.SetSize(10);
            return true;
        };
        form->btnFont->click();
        EXPECT_EQ(StdStr(form->btnFont->text()), "Courier New 10pt");
        form->Apply();
    }
    EXPECT_EQ(Stored("Editor", "AutoIndent"), flipped[0] ? "1" : "0");
    EXPECT_EQ(Stored("Editor", "MatchBrackets"), flipped[16] ? "1" : "0");
    EXPECT_EQ(Stored("Editor", "Close3"), "0");
    EXPECT_EQ(Stored("Editor", "Close1"), "1");
    EXPECT_EQ(Stored("Editor", "MaxUndo"), "99");
    EXPECT_EQ(Stored("Editor", "TabWidth"), "4");
    EXPECT_EQ(Stored("Editor", "LineSpacing"), "3");
    EXPECT_EQ(Stored("Editor", "RightMarginAt"), "120");
    EXPECT_EQ(Stored("Editor", "Font").rfind("Courier New,10,", 0), 0u) << Stored("Editor", "Font");
    EXPECT_EQ(document->Editor()->TabWidth(), 4);
    EXPECT_EQ(document->Editor()->RightEdge(), 120);
    EXPECT_EQ(document->Editor()->Font().Name(), "Courier New");
    EXPECT_EQ(document->Editor()->Font().Size(), 10);

    auto again = Dialog();
    for (size_t i = 0; i < flipped.size(); ++i)
        EXPECT_EQ(again->EditorOptionBoxes[i]->isChecked(), flipped[i]) << i;
    EXPECT_FALSE(again->CloseBoxes[2]->isChecked());
    EXPECT_EQ(again->spedMaxUndo->IntValue(), 99);
    EXPECT_EQ(StdStr(again->btnFont->text()), "Courier New 10pt");
}

TEST_F(ApplicationOptionsTest, CodeInsightIsWrittenAndTheDelayReachesBothPopUps)
{
    Start();
    {
        auto form = Dialog();
        EXPECT_EQ(form->tbDelay->value(), Module->CodeInsight->ParameterProposal->TimerInterval());
        for (QCheckBox* box : {form->cbCodeCompletion, form->cbParameterHints, form->cbHTMLCompletion,
                               form->cbCSSCompletion, form->cbDisplayDescription})
            box->setChecked(false);
        form->cbCSSCompletion->setChecked(true);
        form->tbDelay->setValue(760); // the track bar moves in steps of 100 ms
        EXPECT_EQ(form->tbDelay->value(), 800);
        form->Apply();
    }
    EXPECT_EQ(Stored("CodeInsight", "CodeCompletion"), "0");
    EXPECT_EQ(Stored("CodeInsight", "ParameterHints"), "0");
    EXPECT_EQ(Stored("CodeInsight", "HTMLCompletion"), "0");
    EXPECT_EQ(Stored("CodeInsight", "CSSCompletion"), "1");
    EXPECT_EQ(Stored("CodeInsight", "DisplayDescription"), "0");
    EXPECT_EQ(Stored("CodeInsight", "Delay"), "800");
    EXPECT_EQ(Module->CodeInsight->CompletionProposal->TimerInterval(), 800);
    EXPECT_EQ(Module->CodeInsight->ParameterProposal->TimerInterval(), 800);
    auto again = Dialog();
    EXPECT_FALSE(again->cbCodeCompletion->isChecked());
    EXPECT_TRUE(again->cbCSSCompletion->isChecked());
}

TEST_F(ApplicationOptionsTest, BackupOptionsShowTheirStoredValuesAndDefaults)
{
    Setting("Backup", "UseBackupPath", "1");
    Start();
    {
        auto form = Dialog();
        EXPECT_TRUE(form->cbUseBackupPath->isChecked());
        EXPECT_FALSE(form->cbBackupLocalFiles->isChecked());
        EXPECT_EQ(StdStr(form->edBackupPath->text()), "");
        EXPECT_EQ(form->spedSaveInterval->IntValue(), 1);
        EXPECT_FALSE(form->spedSaveInterval->isEnabled());
        EXPECT_TRUE(form->cbNoAutoSaveFTP->isChecked());
        form->cbAutomaticSave->setChecked(true);
        EXPECT_TRUE(form->spedSaveInterval->isEnabled());
        form->spedSaveInterval->SetIntValue(75);
        EXPECT_EQ(form->spedSaveInterval->IntValue(), 60);
        form->cbBackupLocalFiles->setChecked(true);
        form->cbNoAutoSaveUntitled->setChecked(false);
        form->edBackupPath->setText(QStr(Work("")));
        form->Apply();
    }
    EXPECT_EQ(Stored("Backup", "AutomaticSave"), "1");
    EXPECT_EQ(Stored("Backup", "SaveInterval"), "60");
    EXPECT_EQ(Stored("Backup", "BackupLocalFiles"), "1");
    EXPECT_EQ(Stored("Backup", "UseBackupPath"), "1");
    EXPECT_EQ(Stored("Backup", "DisableAutoSaveUntitled"), "0");
    EXPECT_EQ(Stored("Backup", "DisableAutoSaveFTP"), "1");
    EXPECT_EQ(Stored("Backup", "LocalBackupPath"), Work(""));
    auto again = Dialog();
    EXPECT_TRUE(again->cbAutomaticSave->isChecked());
    EXPECT_EQ(again->spedSaveInterval->IntValue(), 60);
}

TEST_F(ApplicationOptionsTest, EditorColoursBecomeTheModulesAndAnUncheckedActiveLineStoresNone)
{
    Setting("Editor", "ActiveLineBG", "$00E0FFFF");
    Start();
    TCodeEditorForm* document = Open(WriteWork("page.php", "<?php ?>\n"));
    {
        auto form = Dialog();
        EXPECT_TRUE(form->cbActiveLine->isChecked());
        EXPECT_EQ(form->AppearanceButtons[6]->SelectedColor(), static_cast<TColor>(0x00E0FFFF));
        EXPECT_EQ(form->AppearanceButtons[2]->SelectedColor(), static_cast<TColor>(0x00FF0000));
        form->AppearanceButtons[0]->SetSelectedColor(clYellow);
        form->AppearanceButtons[5]->SetSelectedColor(clRed);
        form->cbActiveLine->setChecked(false);
        form->Apply();
    }
    EXPECT_EQ(Module->SelectionBG, clYellow);
    EXPECT_EQ(Module->MatchedLineFG, clRed);
    EXPECT_EQ(Module->ActiveLineBG, clNone);
    EXPECT_EQ(Stored("Editor", "SelectionBG"), ColorText(clYellow));
    EXPECT_EQ(Stored("Editor", "ActiveLineBG"), ColorText(clNone));
    EXPECT_EQ(Stored("Editor", "BookmarkBG"), ColorText(0x00FF0000));
    EXPECT_EQ(document->Editor()->SelectedColor().Background(), clYellow);
    auto again = Dialog();
    EXPECT_FALSE(again->cbActiveLine->isChecked());
}

TEST_F(ApplicationOptionsTest, ApplyWithoutTouchingHighlightingKeysOrAssociationsWritesNoneOfThem)
{
    Dir.Write("xdg/.keep", "");
    ScopedEnvironment data("XDG_DATA_HOME", Dir.File("xdg/data"));
    ScopedEnvironment config("XDG_CONFIG_HOME", Dir.File("xdg/config"));
    Start();
    auto form = Dialog();
    form->Apply();
    EXPECT_FALSE(SettingsFile->SectionExists("PHP"));
    EXPECT_FALSE(SettingsFile->SectionExists("PHP_HTML_XML_CSS_JS"));
    EXPECT_FALSE(SettingsFile->SectionExists("AssociatedFileTypes"));
    EXPECT_EQ(Bytes("keymap.dat"), "(no file)");
    EXPECT_FALSE(FileExists(Dir.File("xdg/config/mimeapps.list")));
    EXPECT_FALSE(FileExists(Dir.File("xdg/data/applications/zentu.desktop")));
}

TEST_F(ApplicationOptionsTest, TheSchemeListNamesEveryHighlighterInComponentOrder)
{
    Start();
    auto form = Dialog();
    EXPECT_EQ(form->cmbxScheme->Items().Count(), 10);
    EXPECT_EQ(form->cmbxScheme->Items()[0], "PHP+HTML+XML+CSS+JS");
    EXPECT_EQ(form->cmbxScheme->Items()[1], Module->PHP->GetLanguageTitle());
    // The multi-language highlighter lists its schemes and previews nothing.
    EXPECT_EQ(form->lbElements->Items().Count(), 5);
    EXPECT_EQ(form->lbElements->Items()[1], "PHP Marker");
    EXPECT_EQ(form->Preview->Highlighter(), nullptr);
    EXPECT_EQ(form->ChosenAttribute(), Module->PHP_HTML_XML_CSS_JS->Schemes().SchemeAt(0)->MarkerAttri());
    form->cmbxScheme->SetItemIndex(1);
    EXPECT_EQ(form->Preview->Highlighter(), reinterpret_cast<TSrcCustomHighlighter*>(Module->PHP));
    EXPECT_FALSE(form->Preview->Lines().Count() == 0);
    EXPECT_EQ(StdStr(form->edExtensions->text()), Module->PHP->DefaultFilter());
    EXPECT_EQ(form->lbElements->Items().Count(), Module->PHP->AttriCount());
}

TEST_F(ApplicationOptionsTest, AColourChangeActsAtOnceAndApplyWritesEveryHighlighter)
{
    Start();
    TSrcHighlighterAttributes* comment = Attribute(*Module->PHP, "Comment");
    ASSERT_NE(comment, nullptr);
    {
        auto form = Dialog();
        Choose(*form, Module->PHP->GetLanguageTitle(), "Comment");
        EXPECT_EQ(form->cbItalic->isChecked(), comment->Style().Contains(fsItalic));
        form->btnForeground->SetSelectedColor(clRed);
        form->cbBold->setChecked(true);
        EXPECT_EQ(comment->Foreground(), clRed);
        EXPECT_TRUE(comment->Style().Contains(fsBold));
        EXPECT_TRUE(form->HighlightersChanged());
        QTest::keyClicks(form->edExtensions, QStringLiteral(";*.tpl"));
        EXPECT_EQ(Module->PHP->DefaultFilter(), "*.php;*.php3;*.phtml;*.inc;*.tpl");
        form->Apply();
    }
    EXPECT_EQ(Stored("PHP", "Comment"), AttributeText(*comment));
    EXPECT_EQ(Stored("PHP", "Filter"), "*.php;*.php3;*.phtml;*.inc;*.tpl");
    EXPECT_EQ(Stored("Python", "Filter"), "*.py");
    EXPECT_EQ(Stored("PHP_HTML_XML_CSS_JS", "PHP Marker"),
              AttributeText(*Module->PHP_HTML_XML_CSS_JS->Schemes().SchemeAt(1)->MarkerAttri()));
    EXPECT_EQ(Stored("PHP_HTML_XML_CSS_JS", "Filter"), "(missing)");
    // The open and save filters follow the new masks.
    EXPECT_NE(Form->OpenDialog.Filter.find("PHP Formats|*.php;*.php3;*.phtml;*.inc;*.tpl|"), std::string::npos);
}

TEST_F(ApplicationOptionsTest, EverySchemeMarkerColourIsReadBackAfterARestart)
{
    Start();
    const TSchemes& schemes = Module->PHP_HTML_XML_CSS_JS->Schemes();
    std::vector<TColor> chosen;
    {
        auto form = Dialog();
        form->cmbxScheme->SetItemIndex(0);
        for (int i = 0; i < schemes.Count(); ++i) {
            form->lbElements->SetItemIndex(i);
            chosen.push_back(static_cast<TColor>(0x00102030 + i));
            form->btnBackground->SetSelectedColor(chosen.back());
        }
        form->Apply();
    }
    // The last scheme's name holds "=", the fourth ends with a blank.
    EXPECT_EQ(Stored("PHP_HTML_XML_CSS_JS", "CSS within style%3D\"...\""),
              AttributeText(*schemes.SchemeAt(4)->MarkerAttri()));
    Stop();
    Start();
    const TSchemes& reloaded = Module->PHP_HTML_XML_CSS_JS->Schemes();
    for (int i = 0; i < reloaded.Count(); ++i)
        EXPECT_EQ(reloaded.SchemeAt(i)->MarkerAttri()->Background(), chosen[static_cast<size_t>(i)])
            << reloaded.SchemeAt(i)->SchemeName();
}

TEST_F(ApplicationOptionsTest, AnUnsetBackgroundStaysUnsetWhenOnlyTheForegroundChanges)
{
    Start();
    TSrcHighlighterAttributes* identifier = Attribute(*Module->PHP, "Identifier");
    ASSERT_NE(identifier, nullptr);
    identifier->SetBackground(clNone);
    auto form = Dialog();
    Choose(*form, Module->PHP->GetLanguageTitle(), "Identifier");
    EXPECT_EQ(form->btnBackground->SelectedColor(), clWindow);
    form->btnForeground->SetSelectedColor(clGreen);
    EXPECT_EQ(identifier->Background(), clNone);
    EXPECT_EQ(identifier->Foreground(), clGreen);
}

TEST_F(ApplicationOptionsTest, CancelPutsEveryLiveChangeBackAndLeavesTheFilesAsTheyWere)
{
    Setting("PHP", "Comment", "1FFFFFFF00008000" "0100");
    Start();
    TSrcHighlighterAttributes* comment = Attribute(*Module->PHP, "Comment");
    TSrcHighlighterAttributes* number = Attribute(*Module->PHP, "Number"); // not stored in the file
    TSrcHighlighterAttributes* marker = Module->PHP_HTML_XML_CSS_JS->Schemes().SchemeAt(1)->MarkerAttri();
    const std::string commentBefore = AttributeText(*comment);
    const std::string numberBefore = AttributeText(*number);
    const std::string markerBefore = AttributeText(*marker);
    const std::string multiFilter = Module->PHP_HTML_XML_CSS_JS->DefaultFilter();
    const TShortCut undo = Form->acUndo->ShortCut();
    const std::string settings = Bytes("Zentupad.dat");

    auto form = Dialog();
    Choose(*form, Module->PHP->GetLanguageTitle(), "Comment");
    form->btnForeground->SetSelectedColor(clRed);
    Choose(*form, Module->PHP->GetLanguageTitle(), "Number");
    form->btnBackground->SetSelectedColor(clYellow);
    form->cbStrikeOut->setChecked(true);
    form->cmbxScheme->SetItemIndex(0);
    form->lbElements->SetItemIndex(1);
    form->btnForeground->SetSelectedColor(clBlack);
    QTest::keyClicks(form->edExtensions, QStringLiteral(";*.tpl"));
    ChooseCommand(*form, Form->acUndo);
    form->btnClearShortCut->click();
    EXPECT_EQ(Form->acUndo->ShortCut(), scNone);
    form->edExtension->setText(QStringLiteral("php"));
    form->btnAddFileType->click();
    form->edReplace->setText(QStringLiteral("teh"));
    form->edWith->setText(QStringLiteral("the"));
    form->btnAddCorrection->click();
    form->reject();

    EXPECT_EQ(AttributeText(*comment), commentBefore);
    EXPECT_EQ(AttributeText(*number), numberBefore);
    EXPECT_EQ(AttributeText(*marker), markerBefore);
    EXPECT_EQ(Module->PHP_HTML_XML_CSS_JS->DefaultFilter(), multiFilter);
    EXPECT_EQ(Form->acUndo->ShortCut(), undo);
    EXPECT_EQ(Bytes("Zentupad.dat"), settings);
    EXPECT_EQ(Bytes("keymap.dat"), "(no file)");
    EXPECT_EQ(Bytes("autocorrect.dat"), "(no file)");
    EXPECT_EQ(Module->AutoCorrection->Items().IndexOf("teh\tthe"), -1);
}

TEST_F(ApplicationOptionsTest, CommandsAreGroupedByTheirMainMenu)
{
    Start();
    const std::vector<std::pair<TAction*, const char*>> cases = {
        {Form->acSave, "File"},          {Form->acSaveAs, "File"},          {Form->acUndo, "Edit"},
        {Form->acCompareFile, "Tools"},  {Form->acApplicationOptions, "Tools"}, {Form->acRunConsole, "Run"},
        {Form->acOpenFileAtCursor, "Other"},
    };
    for (const auto& [action, category] : cases)
        EXPECT_EQ(ActionCategory(*action), category) << action->Name();
    auto form = Dialog();
    // Alphabetical, each once.
    std::vector<std::string> categories;
    for (int i = 0; i < form->lbCategories->Items().Count(); ++i)
        categories.push_back(form->lbCategories->Items()[i]);
    EXPECT_TRUE(std::is_sorted(categories.begin(), categories.end()));
    EXPECT_EQ(std::set<std::string>(categories.begin(), categories.end()).size(), categories.size());
}

TEST_F(ApplicationOptionsTest, KeyMapRoundTrip)
{
    ForceDirectories(UserFile(""));
    {
        TIniFileEx keymap(UserFile("keymap.dat"));
        keymap.WriteInteger("Keymap", "acCompareFile", scCtrl | 'K');
        keymap.WriteInteger("Keymap", "acSave", 0);
    }
    Start();
    EXPECT_EQ(Form->acCompareFile->ShortCut(), scCtrl | 'K');
    EXPECT_EQ(Form->acSave->ShortCut(), scNone);
    {
        auto form = Dialog();
        ChooseCommand(*form, Form->acCompareFile);
        EXPECT_EQ(StdStr(form->edCurrentShortCut->text()), "Ctrl+K");
        form->hkNewShortCut->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Shift+K")));
        form->btnAssign->click();
        EXPECT_EQ(Form->acCompareFile->ShortCut(), scCtrl | scShift | 'K');
        EXPECT_EQ(StdStr(form->lvCommands->currentItem()->text(1)), "Shift+Ctrl+K");
        form->Apply();
    }
    TIniFileEx keymap(UserFile("keymap.dat"));
    TStringList keys;
    keymap.ReadSection("Keymap", keys);
    EXPECT_EQ(keys.Count(), Form->ActionList.Count());
    EXPECT_EQ(keymap.ReadInteger("Keymap", "acCompareFile", -1), scCtrl | scShift | 'K');
    EXPECT_EQ(keymap.ReadInteger("Keymap", "acSave", -1), 0);
    EXPECT_EQ(keymap.ReadInteger("Keymap", "acUndo", -1), scCtrl | 'Z');

    Stop();
    Start();
    EXPECT_EQ(Form->acCompareFile->ShortCut(), scCtrl | scShift | 'K');
    EXPECT_EQ(Form->acSave->ShortCut(), scNone);
    EXPECT_EQ(Form->acUndo->ShortCut(), scCtrl | 'Z');
}

TEST_F(ApplicationOptionsTest, AShortcutAnotherCommandHasIsMovedOnlyWhenTheUserSaysYes)
{
    Start();
    auto form = Dialog();
    ChooseCommand(*form, Form->acRedo);
    Answers = {IDNO};
    form->hkNewShortCut->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Z")));
    form->btnAssign->click();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0].Text, "Selected shortcut [Ctrl+Z] is assigned to \"Undo\". Would you like to overwrite it ?");
    EXPECT_EQ(Questions[0].Caption, "Confirmation");
    EXPECT_EQ(Form->acUndo->ShortCut(), scCtrl | 'Z');
    EXPECT_EQ(Form->acRedo->ShortCut(), scCtrl | scShift | 'Z');

    Answers = {IDYES};
    form->hkNewShortCut->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Z")));
    form->btnAssign->click();
    EXPECT_EQ(Form->acUndo->ShortCut(), scNone);
    EXPECT_EQ(Form->acRedo->ShortCut(), scCtrl | 'Z');
    // Clearing asks nothing.
    form->btnClearShortCut->click();
    EXPECT_EQ(Form->acRedo->ShortCut(), scNone);
    EXPECT_EQ(Questions.size(), 2u);
    EXPECT_TRUE(form->KeymapChanged());
}

TEST_F(ApplicationOptionsTest, CorrectionsAreAddedReplacedRemovedAndSaved)
{
    Start();
    auto form = Dialog();
    EXPECT_EQ(Corrections(*form), (std::vector<std::string>{"(c)=\xC2\xA9", "(r)=\xC2\xAE"}));
    form->edReplace->setText(QStringLiteral("teh"));
    form->edWith->setText(QStringLiteral("the"));
    form->btnAddCorrection->click();
    form->edReplace->setText(QStringLiteral("Adn"));
    form->edWith->setText(QStringLiteral("and"));
    form->btnAddCorrection->click();
    // The same text again (letter case ignored) only chooses the row.
    form->edReplace->setText(QStringLiteral("TEH"));
    form->edWith->setText(QStringLiteral("x"));
    form->btnAddCorrection->click();
    EXPECT_EQ(StdStr(form->lvCorrections->currentItem()->text(0)), "teh");
    // An empty text adds nothing.
    form->edReplace->clear();
    form->btnAddCorrection->click();
    EXPECT_EQ(Corrections(*form),
              (std::vector<std::string>{"(c)=\xC2\xA9", "(r)=\xC2\xAE", "Adn=and", "teh=the"}));
    form->lvCorrections->setCurrentItem(form->lvCorrections->topLevelItem(3));
    form->edReplace->setText(QStringLiteral("abt"));
    form->edWith->setText(QStringLiteral("about"));
    form->btnReplaceCorrection->click();
    form->lvCorrections->setCurrentItem(form->lvCorrections->topLevelItem(1));
    form->btnRemoveCorrection->click();
    form->cbIgnoreCase->setChecked(false);
    form->cbCorrectOnMouseDown->setChecked(true);
    form->Apply();

    EXPECT_EQ(ReadWholeFile(UserFile("autocorrect.dat")), "(c)\t\xC2\xA9\r\nabt\tabout\r\nAdn\tand\r\n");
    EXPECT_EQ(Stored("AutoCorrection", "IgnoreCase"), "0");
    EXPECT_EQ(Stored("AutoCorrection", "MouseDown"), "1");
    EXPECT_EQ(Stored("AutoCorrection", "Enabled"), "1");
    EXPECT_TRUE(Module->AutoCorrection->Options.Contains(ascoCorrectOnMouseDown));
    EXPECT_FALSE(Module->AutoCorrection->Options.Contains(ascoIgnoreCase));
    EXPECT_EQ(Module->AutoCorrection->Items().Count(), 3);
}

TEST_F(ApplicationOptionsTest, AnExtensionIsListedOnceAndAnEmptyBoxAddsNothing)
{
    Start();
    auto form = Dialog();
    const auto add = [&](const char* typed) {
        form->edExtension->setText(QString::fromUtf8(typed));
        form->btnAddFileType->click();
    };
    add("");
    add(".");
    EXPECT_EQ(form->lbFileTypes->Items().Count(), 0);
    EXPECT_FALSE(form->AssociationsChanged());
    add("php");
    add("PHP");
    add(".inc");
    ASSERT_EQ(form->lbFileTypes->Items().Count(), 2);
    EXPECT_EQ(form->lbFileTypes->Items()[0], ".inc");
    EXPECT_EQ(form->lbFileTypes->Items()[1], ".php");
    EXPECT_TRUE(StdStr(form->edExtension->text()).empty());
    form->show();
    QTest::keyClicks(form->edExtension, QStringLiteral("PHTML"));
    EXPECT_EQ(StdStr(form->edExtension->text()), "phtml");
}

TEST_F(ApplicationOptionsTest, ApplyRegistersTheListedExtensionsInTheUsersFolders)
{
    ScopedEnvironment data("XDG_DATA_HOME", Dir.File("xdg/data"));
    ScopedEnvironment config("XDG_CONFIG_HOME", Dir.File("xdg/config"));
    Start();
    {
        auto form = Dialog();
        form->edExtension->setText(QStringLiteral("php"));
        form->btnAddFileType->click();
        form->edExtension->setText(QStringLiteral("html"));
        form->btnAddFileType->click();
        form->Apply();
    }
    EXPECT_EQ(Stored("AssociatedFileTypes", "0"), ".html");
    EXPECT_EQ(Stored("AssociatedFileTypes", "1"), ".php");
    EXPECT_EQ(Stored("AssociatedFileTypes", "2"), "(missing)");
    TFileAssociations associations(UserXdgFolders(), "");
    TIniFileEx apps(Dir.File("xdg/config/mimeapps.list"));
    EXPECT_EQ(apps.ReadString("Default Applications", associations.MimeTypeFor(".php"), ""), "zentu.desktop");
    EXPECT_EQ(apps.ReadString("Default Applications", "text/html", ""), "zentu.desktop");
    const std::string desktop = ReadWholeFile(Dir.File("xdg/data/applications/zentu.desktop"));
    EXPECT_NE(desktop.find("Exec=\"" + StdStr(QCoreApplication::applicationFilePath()) + "\" %F"), std::string::npos);

    // The page shows the stored list; removing one unregisters it.
    {
        auto form = Dialog();
        ASSERT_EQ(form->lbFileTypes->Items().Count(), 2);
        form->lbFileTypes->SetItemIndex(0);
        form->btnRemoveFileType->click();
        form->Apply();
    }
    TIniFileEx after(Dir.File("xdg/config/mimeapps.list"));
    EXPECT_FALSE(after.ValueExists("Default Applications", "text/html"));
    EXPECT_EQ(Stored("AssociatedFileTypes", "0"), ".php");
}
