// The document window: settings, status, typing helpers, painting helpers, saving and closing.

#include "documents/zuCodeEditorForm.h"

#include "app/zuConstants.h"
#include "code/zuCodeExplorerForm.h"
#include "code/zuCodeInsight.h"
#include "documents/zuEditorModule.h"
#include "common/zuFunctions.h"
#include "app/zuFolders.h"
#include "app/zuMainForm.h"
#include "run/zuScriptParameters.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/files/Streams.h"
#include "Platform/text/TextUtils.h"
#include "utility/UclFileUtils.h"

#include <QCloseEvent>
#include <QMenu>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

namespace {

// True when an odd run of backslashes stands right before the 1-based caret position.
bool EscapedAtCaret(const std::string& line, int caret)
{
    int backslashes = 0;
    for (int i = std::min(caret - 1, static_cast<int>(line.size()));
         i > 0 && line[static_cast<size_t>(i - 1)] == '\\'; --i)
        ++backslashes;
    return backslashes % 2 == 1;
}

// How much of a file is looked at for a NUL byte (as find in files does).
constexpr size_t BinaryProbeSize = 2048;

// The break of [General] LineEnding (0 CR LF, 1 LF, 2 CR); false for any other value.
bool SettingLineBreak(TLineBreakStyle& style)
{
    const int mode = SettingsFile ? Settings::General::LineEnding.Read(*SettingsFile) : Settings::General::LineEnding.Default;
    switch (mode) {
    case 0: style = TLineBreakStyle::lbsCRLF; return true;
    case 1: style = TLineBreakStyle::lbsLF; return true;
    case 2: style = TLineBreakStyle::lbsCR; return true;
    default: return false;
    }
}

void SetActionEnabled(TAction* action, bool enabled)
{
    if (action)
        action->SetEnabled(enabled);
}

// Restores the editor's options when the typing helper is done, also after an exception.
class TOptionsGuard {
public:
    explicit TOptionsGuard(TSrcEdit& editor) : FEditor(editor), FSaved(editor.Options()) {}
    ~TOptionsGuard() { FEditor.SetOptions(FSaved); }
    TOptionsGuard(const TOptionsGuard&) = delete;
    TOptionsGuard& operator=(const TOptionsGuard&) = delete;

private:
    TSrcEdit& FEditor;
    TSrcEditorOptions FSaved;
};

} // namespace

bool ReadFileTime(const std::string& fileName, FILETIME& time)
{
    if (!FileExists(fileName))
        return false;
    try {
        FileLastWriteTime(fileName, time);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string UserBackupFolder()
{
    if (UserFolder.empty())
        return {};
    const std::string folder = UserFolder + "backup/";
    // why: backups hold the user's files; nobody else may read them or plant names there.
    if (!DirectoryExists(folder) && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {folder, SysErrorMessage(errno)}));
    return folder;
}

std::string BackupFileName(const std::string& fileName, const std::string& folder)
{
    const std::string name = ExtractFileName(fileName);
    const size_t dot = name.find('.');
    const std::string base = dot == std::string::npos ? std::string() : name.substr(0, dot);
    const std::string rest = dot == std::string::npos ? name : name.substr(dot + 1);
    const std::string target = IncludeTrailingPathDelimiter(folder.empty() ? ExtractFileDir(fileName) : folder);
    return Format("%s%s.~%s", {target, base, rest});
}

TCodeEditorForm::TCodeEditorForm(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // why: documents are always maximised and the tab strip names and closes them; a framed
    // child puts its window icon and buttons into the menu bar while maximised, shifting the
    // menus.
    setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
    // why: the close keys of the window's own menu (Ctrl+W, Ctrl+F4) belong to the main
    // window's commands; two owners of one key leave the key dead.
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions())
            action->setShortcuts({});
    FEditor = new TSrcEdit(nullptr, this);
    setWidget(FEditor);

    // The document handles Shift+Enter itself, and F1 belongs to the help.
    TSrcEditKeyStrokes& keys = FEditor->Keystrokes();
    for (const auto& [key, shift] : {std::pair<WORD, TShiftState>{VK_RETURN, {ssShift}}, {VK_F1, {}}})
        for (int index = keys.FindSingleKey(key, shift); index >= 0; index = keys.FindSingleKey(key, shift))
            keys.Delete(index);

    FEditor->OnChange = [this](TObject*) { EditorChange(); };
    FEditor->OnStatusChange = [this](TObject*, TSrcStatusChanges changes) { EditorStatusChange(changes); };
    FEditor->OnKeyPress = [this](TObject*, char32_t& key) { EditorKeyPress(key); };
    FEditor->OnKeyDown = [this](TObject*, WORD& key, TShiftState shift) { EditorKeyDown(key, shift); };
    FEditor->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int, int) { EditorMouseDown(button); };
    FEditor->OnPaintTransient = [this](TObject*, TCanvas& canvas, TTransientType type) {
        EditorPaintTransient(canvas, type);
    };
    FEditor->OnSpecialLineColors = [this](TObject*, int line, bool& special, TColor& fg, TColor& bg) {
        EditorSpecialLineColors(line, special, fg, bg);
    };
    if (MainForm)
        MainForm->AttachEditorPopup(*FEditor);

    ApplyEditorSettings();
    if (MainForm) {
        MainForm->SetStatusPanel(0, Format("%6d:%3d", {FEditor->CaretLine(), FEditor->CaretChar()}));
        MainForm->SetStatusPanel(1, "Insert");
        MainForm->SetStatusPanel(2, "");
        MainForm->PreviousDocumentCount = MainForm->DocumentCount;
        ++MainForm->DocumentCount;
        MainForm->UpdateDocumentActions(false);
    }
}

TCodeEditorForm::~TCodeEditorForm()
{
    // why: the editor's handlers reach into this window, which is half gone from here on.
    FEditor->OnChange = nullptr;
    FEditor->OnStatusChange = nullptr;
    FEditor->OnPaintTransient = nullptr;
    FEditor->OnSpecialLineColors = nullptr;
    if (MainForm)
        MainForm->FileTabs->RemoveForm(this);
    if (TCodeExplorerForm* explorer = MainForm->CodeExplorerForm())
        explorer->DocumentClosing(this);
}

std::string TCodeEditorForm::BuildQueryString() const
{
    return ::BuildQueryString(FScriptParameters, RequestMethod);
}

void TCodeEditorForm::ApplyEditorSettings()
{
    if (!SettingsFile)
        return;
    using namespace Settings;
    const TIniFileEx& ini = *SettingsFile;
    MatchBrackets = Editor::MatchBrackets.Read(ini);
    CloseBrace = Editor::Close[0].Read(ini);
    CloseBracket = Editor::Close[1].Read(ini);
    CloseParenthesis = Editor::Close[2].Read(ini);
    CloseDoubleQuote = Editor::Close[3].Read(ini);
    CloseSingleQuote = Editor::Close[4].Read(ini);
    FEditor->SetExtraLineSpacing(Editor::LineSpacing.Read(ini));
    FEditor->Gutter().SetShowLineNumbers(Editor::LineNumbers.Read(ini));
    FEditor->SetTabWidth(Editor::TabWidth.Read(ini));
    FEditor->SetMaxUndo(Editor::MaxUndo.Read(ini));
    FEditor->SetRightEdge(Editor::RightMarginAt.Read(ini));
    TFont font;
    font.Assign(FEditor->Font());
    Editor::Font.Read(ini, font);
    FEditor->SetFont(font);

    TSrcEditorOptions options{eoDragDropEditing, eoScrollHintFollows, eoShowScrollHint};
    const std::pair<const TBoolKey&, TSrcEditorOption> keyed[] = {
        {Editor::ColumnMode, eoAltSetsColumnMode},
        {Editor::AutoIndent, eoAutoIndent},
        {Editor::HomeKey, eoEnhanceHomeKey},
        {Editor::GroupUndo, eoGroupUndo},
        {Editor::HalfPageScroll, eoHalfPageScroll},
        {Editor::RightMouseMovesCursor, eoRightMouseMovesCursor},
        {Editor::ScrollPastEOF, eoScrollPastEof},
        {Editor::ScrollPastEOL, eoScrollPastEol},
        {Editor::SpecialChars, eoShowSpecialChars},
        {Editor::SmartTabDelete, eoSmartTabDelete},
        {Editor::SmartTabs, eoSmartTabs},
        {Editor::TabIndent, eoTabIndent},
        {Editor::TabsToSpaces, eoTabsToSpaces},
        {Editor::TrimTrailingSpaces, eoTrimTrailingSpaces},
    };
    for (const auto& [key, option] : keyed)
        if (key.Read(ini))
            options.Include(option);
    FEditor->SetOptions(options);

    if (EditorModule) {
        FEditor->SetActiveLineColor(EditorModule->ActiveLineBG);
        FEditor->SelectedColor().SetBackground(EditorModule->SelectionBG);
        FEditor->SelectedColor().SetForeground(EditorModule->SelectionFG);
    }
}

void TCodeEditorForm::SetFileName(const std::string& name)
{
    if (name == FFileName)
        return;
    FFileName = name;
    UpdateCaption();
}

bool TCodeEditorForm::HasFile() const
{
    // why: an untitled name has no folder; tested against the current folder it could name
    // some other file there, which a save would then overwrite.
    return !FFileName.empty() && FFileName.front() == PathDelim && FileExists(FFileName);
}

void TCodeEditorForm::UpdateCaption()
{
    const std::string caption = (IsRemote() ? RemoteCaption() : FFileName) + (FEditor->ContentModified() ? "*" : "");
    setWindowTitle(QStr(caption));
    if (MainForm)
        MainForm->FileTabs->UpdateCaption(this);
}

void TCodeEditorForm::LoadFromFile(const std::string& fileName)
{
    // why: read first, so a file that cannot be read leaves the text as it was.
    TMemoryStream bytes;
    bytes.LoadFromFile(fileName);
    LoadText(bytes);
    FILETIME time;
    if (ReadFileTime(fileName, time))
        FFileTime = time;
}

void TCodeEditorForm::LoadText(TStream& bytes)
{
    bytes.SetPosition(0);
    FAutoClosers.clear();
    FEditor->ResetContents();
    TSrcEditStringList& lines = FEditor->Lines();
    lines.LoadFromStream(bytes);
    // why: a file without a single break has no style of its own to give to new lines.
    TLineBreakStyle style;
    if (lines.Count() <= 1 && SettingLineBreak(style))
        lines.SetLineBreakStyle(style);
    std::string head(static_cast<size_t>(std::min<std::int64_t>(bytes.Size(), BinaryProbeSize)), '\0');
    bytes.SetPosition(0);
    head.resize(static_cast<size_t>(std::max<std::int64_t>(bytes.Read(head.data(), static_cast<std::int64_t>(head.size())), 0)));
    FLooksBinary = head.find('\0') != std::string::npos;
    FEditor->SetContentModified(false);
    FEditor->ClearUndoHistory();
}

void TCodeEditorForm::AdoptLineEndingSetting()
{
    TLineBreakStyle style;
    if (SettingLineBreak(style))
        FEditor->Lines().ApplyLineBreakStyle(style);
}

std::string TCodeEditorForm::FileText() const
{
    return FEditor->Lines().FileText();
}

void TCodeEditorForm::WriteText(const std::string& fileName)
{
    FEditor->Lines().SaveToFile(fileName);
}

bool TCodeEditorForm::SaveDocument(bool forceBackup)
{
    if (!FEditor->ContentModified())
        return true;
    if (IsRemote()) {
        UploadDocument();
        return true;
    }
    if (!HasFile())
        return SaveDocumentAs();
    using namespace Settings::Backup;
    if (forceBackup || (SettingsFile && BackupLocalFiles.Read(*SettingsFile))) {
        try {
            std::string folder;
            if (SettingsFile && UseBackupPath.Read(*SettingsFile)) {
                folder = LocalBackupPath.Read(*SettingsFile);
                if (folder.empty())
                    folder = UserBackupFolder();
            }
            SaveOwnFile(BackupFileName(FFileName, folder), ReadFileBytes(FFileName), FilePermissions(FFileName));
        } catch (const std::exception&) {
            // A backup copy that cannot be made does not stop the save.
        }
    }
    WriteText(FFileName);
    AfterSave();
    return true;
}

bool TCodeEditorForm::SaveDocumentAs()
{
    if (!MainForm)
        return false;
    TFileDialog& dialog = MainForm->SaveDialog;
    dialog.FileName = ExtractFileName(FFileName);
    dialog.InitialDir = HasFile() ? ExtractFilePath(FFileName) : MainForm->ProjectLocalPath();
    if (!dialog.Execute(MainForm))
        return false;
    const std::string chosen = ExpandFileName(dialog.FileName);
    WriteText(chosen);
    // The document is local from now on.
    FAccountID = NullGUID;
    FRemotePath.clear();
    SetFileName(chosen);
    UpdateCaption();
    if (EditorModule)
        FEditor->SetHighlighter(EditorModule->HighlighterForExtension(ExtractFileExt(chosen)));
    AfterSave();
    UpdateHighlighterPanel();
    return true;
}

void TCodeEditorForm::AfterSave()
{
    FILETIME time;
    if (!IsRemote() && ReadFileTime(FFileName, time))
        FFileTime = time;
    FEditor->SetContentModified(false);
    if (SettingsFile && !Settings::Editor::UndoAfterSave.Read(*SettingsFile))
        FEditor->ClearUndoHistory();
    UpdateCaption();
    EditorChange();
}

void TCodeEditorForm::ShowLine(TBufferCoord position)
{
    const int lineCount = std::max(1, FEditor->Lines().Count());
    const TBufferCoord target = MakeBufferCoord(std::max(position.CharIndex, 1),
                                                std::clamp(position.LineNumber, 1, lineCount));
    FEditor->SetCaretCoord(target);
    const int row = FEditor->LineToRow(target.LineNumber);
    FEditor->SetFirstVisibleLine(std::max(1, row - FEditor->VisibleLineCount() / 3));
    if (FMarkedLine > 0)
        FEditor->RepaintLine(FMarkedLine);
    FMarkedLine = position.LineNumber > 0 ? target.LineNumber : 0;
    FMarkedCaret = FEditor->GetCaretCoord();
    if (EditorModule) {
        MarkedLineBG = EditorModule->MatchedLineBG;
        MarkedLineFG = EditorModule->MatchedLineFG;
    }
    FEditor->Invalidate();
}

void TCodeEditorForm::UpdateHighlighterPanel()
{
    if (!MainForm)
        return;
    const TSrcCustomHighlighter* highlighter = FEditor->Highlighter();
    MainForm->SetStatusPanel(3, highlighter ? StringReplace(highlighter->Name(), "_", "+", TReplaceFlags{rfReplaceAll}) : "--");
}

void TCodeEditorForm::EditorChange()
{
    if (!MainForm || MainForm->ActiveEditorForm() != this)
        return;
    SetActionEnabled(MainForm->acRedo, FEditor->RedoAvailable());
    SetActionEnabled(MainForm->acUndo, FEditor->UndoAvailable());
    SetActionEnabled(MainForm->acSave, FEditor->ContentModified());
    SetActionEnabled(MainForm->acReload, FEditor->ContentModified());
}

void TCodeEditorForm::EditorStatusChange(TSrcStatusChanges changes)
{
    const bool all = changes.Contains(scAll);
    if (all || changes.Contains(scModified))
        UpdateCaption();
    // why: the marked line would hide the selection of whatever the caret goes to next.
    if (FMarkedLine > 0 && (changes.Contains(scCaretX) || changes.Contains(scCaretY)) &&
        FEditor->GetCaretCoord() != FMarkedCaret)
        ClearMarkedLine();
    if (!MainForm || MainForm->ActiveEditorForm() != this)
        return;
    if (all || changes.Contains(scSelection)) {
        const bool selection = FEditor->HasSelection();
        for (TAction* action : {MainForm->acCopy, MainForm->acCopyAppend, MainForm->acCut, MainForm->acCutAppend,
                                MainForm->acIndent, MainForm->acOutdent})
            SetActionEnabled(action, selection);
        SetActionEnabled(MainForm->acPaste, FEditor->PasteAvailable());
    }
    if (all || changes.Contains(scCaretX) || changes.Contains(scCaretY)) {
        MainForm->SetStatusPanel(0, Format("%6d:%3d", {FEditor->CaretLine(), FEditor->CaretChar()}));
        // The parameter hint shows, follows or hides with the caret.
        if (EditorModule)
            EditorModule->CodeInsight->ParameterProposal->OpenFor(FEditor);
    }
    if (all || changes.Contains(scInsertMode))
        MainForm->SetStatusPanel(1, FEditor->InsertMode() ? "Insert" : "Overwrite");
    if (all || changes.Contains(scModified)) {
        MainForm->SetStatusPanel(2, FEditor->ContentModified() ? "Modified" : "");
        SetActionEnabled(MainForm->acReload, FEditor->ContentModified());
        SetActionEnabled(MainForm->acSave, FEditor->ContentModified());
    }
}

void TCodeEditorForm::Activated()
{
    EditorChange();
    EditorStatusChange(TSrcStatusChanges{scAll});
    if (MainForm)
        MainForm->FileTabs->SelectForm(this);
    if (EditorModule)
        EditorModule->AttachEditor(FEditor);
    UpdateHighlighterPanel();
    if (TCodeExplorerForm* explorer = MainForm ? MainForm->CodeExplorerForm() : nullptr)
        explorer->RequestParse(this, TCodeExplorerForm::prkIfNoPage);
}

void TCodeEditorForm::EditorKeyPress(char32_t& key)
{
    TypedSinceParse = true;
    if (EditorModule) {
        EditorModule->CodeTimer.stop();
        EditorModule->CodeTimer.start();
    }
    ForgetPassedClosers();
    const TAutoCloser* closer = AutoCloserAtCaret();
    if (closer && key == static_cast<char32_t>(static_cast<unsigned char>(closer->Closer))) {
        // why: a quote escaped by a backslash belongs to the text of the string, which goes on
        // up to the closer that is already there.
        if ((key == U'"' || key == U'\'') && EscapedAtCaret(FEditor->GetCaretLineText(), FEditor->CaretChar()))
            return;
        key = 0;
        StepOverAutoCloser();
        return;
    }
    if (key == U'{') {
        if (CloseBrace) {
            key = 0;
            InsertBracePair();
        }
        return;
    }
    char closing = 0;
    if (key == U'[' && CloseBracket)
        closing = ']';
    else if (key == U'(' && CloseParenthesis)
        closing = ')';
    else if (key == U'"' && CloseDoubleQuote)
        closing = '"';
    else if (key == U'\'' && CloseSingleQuote)
        closing = '\'';
    if (closing == 0)
        return;
    FEditor->SetSelectedText(std::string(1, closing));
    FEditor->SetCaretChar(FEditor->CaretChar() - 1);
    RememberAutoCloser(static_cast<char>(key), closing);
}

void TCodeEditorForm::RememberAutoCloser(char opener, char closer)
{
    const int at = FEditor->CaretChar() - 1;
    const int length = static_cast<int>(FEditor->GetCaretLineText().size());
    if (at >= length)
        return;
    FAutoClosers.push_back({FEditor->CaretLine(), length - at, opener, closer});
}

const TCodeEditorForm::TAutoCloser* TCodeEditorForm::AutoCloserAtCaret() const
{
    if (FEditor->HasSelection())
        return nullptr;
    const std::string text = FEditor->GetCaretLineText();
    const int at = FEditor->CaretChar() - 1;
    const int length = static_cast<int>(text.size());
    for (const TAutoCloser& closer : FAutoClosers)
        if (closer.Line == FEditor->CaretLine() && length - closer.FromEnd == at && at < length &&
            text[static_cast<size_t>(at)] == closer.Closer)
            return &closer;
    return nullptr;
}

void TCodeEditorForm::ForgetPassedClosers()
{
    if (FAutoClosers.empty())
        return;
    const std::string text = FEditor->GetCaretLineText();
    const int line = FEditor->CaretLine();
    const int caret = FEditor->CaretChar() - 1;
    const int length = static_cast<int>(text.size());
    std::erase_if(FAutoClosers, [&](const TAutoCloser& closer) {
        const int at = length - closer.FromEnd;
        return closer.Line != line || at < caret || at < 0 || at >= length ||
               text[static_cast<size_t>(at)] != closer.Closer;
    });
}

void TCodeEditorForm::StepOverAutoCloser()
{
    const TAutoCloser* closer = AutoCloserAtCaret();
    if (!closer)
        return;
    FAutoClosers.erase(FAutoClosers.begin() + (closer - FAutoClosers.data()));
    FEditor->SetCaretChar(FEditor->CaretChar() + 1);
}

bool TCodeEditorForm::DeleteAutoClosedPair()
{
    ForgetPassedClosers();
    const TAutoCloser* closer = AutoCloserAtCaret();
    const int caret = FEditor->CaretChar();
    if (!closer || caret < 2 || FEditor->GetCaretLineText()[static_cast<size_t>(caret - 2)] != closer->Opener)
        return false;
    FAutoClosers.erase(FAutoClosers.begin() + (closer - FAutoClosers.data()));
    const int line = FEditor->CaretLine();
    FEditor->SetSelectionStart(MakeBufferCoord(caret - 1, line));
    FEditor->SetSelectionEnd(MakeBufferCoord(caret + 1, line));
    FEditor->SetSelectedText("");
    return true;
}

void TCodeEditorForm::InsertBracePair()
{
    TOptionsGuard guard(*FEditor);
    FEditor->SetOptions(TSrcEditorOptions{eoAutoIndent});
    FEditor->DispatchCommand(ecChar, U'{', nullptr);
    FEditor->DispatchCommand(ecLineBreak, 0, nullptr);
    FEditor->DispatchCommand(ecLineBreak, 0, nullptr);
    FEditor->DispatchCommand(ecChar, U'}', nullptr);
    FEditor->DispatchCommand(ecUp, 0, nullptr);
    FEditor->DispatchCommand(ecTab, 0, nullptr);
}

void TCodeEditorForm::EditorKeyDown(WORD& key, TShiftState shift)
{
    if (key == VK_RETURN && shift == TShiftState{ssShift}) {
        FEditor->SetSelectedText("<br>");
        key = 0;
    } else if (key == VK_BACK && shift == TShiftState{} && DeleteAutoClosedPair()) {
        key = 0;
    }
}

void TCodeEditorForm::EditorMouseDown(TMouseButton button)
{
    if (button == TMouseButton::mbLeft)
        ClearMarkedLine();
}

void TCodeEditorForm::ClearMarkedLine()
{
    if (FMarkedLine == 0)
        return;
    const int line = FMarkedLine;
    FMarkedLine = 0;
    FEditor->RepaintLine(line);
    FEditor->Invalidate();
}

void TCodeEditorForm::EditorSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg)
{
    std::array<TSrcEditMark*, 16> marks{};
    FEditor->MarkList().CollectLineMarks(line, marks);
    if (marks[0] && EditorModule) {
        special = true;
        fg = EditorModule->BookmarkFG;
        bg = EditorModule->BookmarkBG;
    } else if (line == FMarkedLine && FMarkedLine > 0) {
        special = true;
        fg = MarkedLineFG;
        bg = MarkedLineBG;
    }
}

void TCodeEditorForm::EditorPaintTransient(TCanvas& canvas, TTransientType type)
{
    TSrcCustomHighlighter* highlighter = FEditor->Highlighter();
    if (!MatchBrackets || FEditor->HasSelection() || !highlighter || !EditorModule)
        return;
    const TBufferCoord caret = FEditor->GetCaretCoord();
    const std::string lineText = FEditor->Lines().Get(caret.LineNumber - 1);
    if (caret.CharIndex > static_cast<int>(lineText.size()) + 1)
        return;
    std::string token;
    TSrcHighlighterAttributes* attri = nullptr;
    if (!FEditor->GetTokenAtPos(caret, token, attri) || !attri || attri != highlighter->RoleAttri(arSymbol))
        return;
    static constexpr std::pair<char, char> pairs[] = {{'(', ')'}, {'[', ']'}, {'{', '}'}};
    for (const auto& [open, close] : pairs) {
        if (token != std::string(1, open) && token != std::string(1, close))
            continue;
        const TColor fg = type == TTransientType::ttAfter ? EditorModule->MatchedLineFG
                          : attri->Foreground() == clNone ? FEditor->Font().Color()
                                                          : attri->Foreground();
        const TColor bg = type == TTransientType::ttAfter ? EditorModule->MatchedLineBG
                          : attri->Background() == clNone ? FEditor->Color()
                                                          : attri->Background();
        canvas.Font().Assign(FEditor->Font());
        canvas.Font().SetStyle(attri->Style());
        canvas.Font().SetColor(fg);
        canvas.Brush().SetColor(bg);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        const auto draw = [&](TBufferCoord at, char bracket) {
            const TPoint p = FEditor->DisplayPointToClient(FEditor->BufferToDisplayPoint(at));
            canvas.TextOut(p.X, p.Y, std::string(1, bracket));
        };
        draw(caret, token[0]);
        const TBufferCoord match = FEditor->MatchingBracketAt(caret);
        if (match.CharIndex > 0 && match.LineNumber > 0)
            draw(match, token[0] == open ? close : open);
        return;
    }
}

bool TCodeEditorForm::CloseQuery()
{
    if (!FEditor->ContentModified())
        return true;
    const std::string& shown = IsRemote() ? FRemotePath : FFileName;
    switch (ShowMessageBox(Format(sSaveChanges, {shown}), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        try {
            // why: the window closes only when its text is safe on disk.
            return SaveDocument(false);
        } catch (const std::exception& e) {
            if (TApplication* app = Application())
                app->ShowException(e);
            return false;
        }
    case IDNO:
        return true;
    default:
        return false;
    }
}

void TCodeEditorForm::closeEvent(QCloseEvent* event)
{
    // why: the transfer runs inside this window's own call; it ends first, and the window,
    // still holding its text, stays until it is closed again.
    if (FTransferring) {
        CancelTransfer();
        event->ignore();
        return;
    }
    if (!FClosing && !CloseQuery()) {
        event->ignore();
        return;
    }
    if (!FClosing) {
        FClosing = true;
        FormClose();
    }
    QMdiSubWindow::closeEvent(event);
}

void TCodeEditorForm::FormClose()
{
    if (!MainForm)
        return;
    MainForm->PreviousDocumentCount = MainForm->DocumentCount;
    --MainForm->DocumentCount;
    MainForm->UpdateDocumentActions(false);
    if (HasFile())
        MainForm->AddRecentFile(FFileName);
    MainForm->FileTabs->RemoveForm(this);
}
