#pragma once
// TCodeEditorForm: the MDI child window of one local document. It holds one editor, applies
// the editor settings, keeps the main window's actions, status bar and tab strip up to date,
// saves with backup copies and the chosen line ends, asks before a modified document closes,
// closes brackets and quotes as they are typed, highlights matching brackets and marks the
// line that a jump went to.
//
// Documents opened over FTP come with the FTP module; every document here is a local one.

#include "code/zuPHPReference.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/DateTime.h"
#include "Platform/text/Strings.h"

#include <QMdiSubWindow>

#include <cstdint>
#include <string>

class TSrcEdit;

class TCodeEditorForm : public QMdiSubWindow {
public:
    // The creation handler: applies the editor settings and counts the document in.
    explicit TCodeEditorForm(QWidget* parent = nullptr);
    ~TCodeEditorForm() override;

    TSrcEdit* Editor() const { return FEditor; }

    // The full path, or "Untitled" + a number + the template's extension for a new document.
    const std::string& FileName() const { return FFileName; }
    // Stores the name and makes it the caption.
    void SetFileName(const std::string& name);
    // True when the document is saved in a file that exists: a full path naming a file.
    bool HasFile() const;
    // The file's raw last-write time as seen at load or at the last save; zero for none.
    const FILETIME& FileTime() const { return FFileTime; }
    void SetFileTime(const FILETIME& time) { FFileTime = time; }
    bool HasFileTime() const { return FFileTime.Ticks != 0; }

    // How the script parameters are sent when the document runs: 0 GET, 1 POST.
    std::uint8_t RequestMethod = 0;
    // "name=value" lines sent when the document runs.
    TStringList& ScriptParameters() { return FScriptParameters; }
    // The parameters form-encoded: "?a=1&b=x+y" for GET, "a=1&b=x+y" for POST, "" for none.
    std::string BuildQueryString() const;

    // The line shown in the matched-line colours after a jump; 0 for none.
    int MarkedLine() const { return FMarkedLine; }
    TColor MarkedLineBG = clNone;
    TColor MarkedLineFG = clNone;

    // Automatic closing of "{", "[", "(", the double and the single quote, in this order.
    bool CloseBrace = true;
    bool CloseBracket = true;
    bool CloseParenthesis = true;
    bool CloseDoubleQuote = true;
    bool CloseSingleQuote = true;
    bool MatchBrackets = true;
    // Set by every typed character; cleared by the editor module's code timer.
    bool TypedSinceParse = false;
    // The code model of the latest scan; null before the first one.
    const TPHPPageRef& CodePage() const { return FCodePage; }
    void SetCodePage(TPHPPageRef page) { FCodePage = std::move(page); }

    // [Editor] settings into the editor; also when the options dialog applies.
    void ApplyEditorSettings();

    // Empties the editor (text, marks, undo) and loads the file; the document is unmodified and
    // remembers the file's time. Raises when the file cannot be read.
    void LoadFromFile(const std::string& fileName);

    // Saves a modified document: a new one through SaveDocumentAs, else with a backup copy when
    // forced or when the settings ask for one. True when the document is saved (or had nothing
    // to save); false when the user cancelled the Save dialog. A failed write raises and leaves
    // the document modified.
    bool SaveDocument(bool forceBackup);
    // The Save dialog, then the text under the chosen name; false when cancelled.
    bool SaveDocumentAs();
    // After a save: the file's time, the modified flag, the undo lists and the actions.
    void AfterSave();

    // Scrolls the line a third of the window below its top, puts the caret there and marks the
    // line (line 0: the first line, no mark).
    void ShowLine(TBufferCoord position);
    // Status panel 4: the highlighter's name with "_" shown as "+", or "--".
    void UpdateHighlighterPanel();

    // The question before a modified document closes: Yes saves (and the window closes only
    // when the save succeeded), No discards, Cancel keeps the window. True when it may close.
    bool CloseQuery();
    // The editor's handlers, also run when the document becomes active.
    void EditorChange();
    void EditorStatusChange(TSrcStatusChanges changes);
    // The document became the active MDI child.
    void Activated();
    // True once the window has agreed to close.
    bool Closing() const { return FClosing; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void UpdateCaption();
    void EditorKeyPress(char32_t& key);
    void EditorKeyDown(WORD& key, TShiftState shift);
    void EditorPaintTransient(TCanvas& canvas, TTransientType type);
    void EditorSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg);
    void EditorMouseDown(TMouseButton button);
    void InsertBracePair();
    void WriteText(const std::string& fileName);

    TSrcEdit* FEditor;
    std::string FFileName;
    FILETIME FFileTime{};
    TStringList FScriptParameters;
    int FMarkedLine = 0;
    bool FClosing = false;
    TPHPPageRef FCodePage;
};

// The backup copy of a file: in `folder` (the file's own folder when empty), the name split at
// its first dot into a base and the rest, named base + ".~" + rest ("index.php" gives
// "index.~php", "Makefile" gives ".~Makefile").
std::string BackupFileName(const std::string& fileName, const std::string& folder);
// The backup folder of an empty [Backup] LocalBackupPath: "backup/" in the per-user folder,
// made for the user alone when missing ("" without a per-user folder).
std::string UserBackupFolder();

// The raw UTC last-write time of a file; false when there is no such file.
bool ReadFileTime(const std::string& fileName, FILETIME& time);
