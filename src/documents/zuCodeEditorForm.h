#pragma once
// TCodeEditorForm: the MDI child window of one local document. It holds one editor, applies
// the editor settings, keeps the main window's actions, status bar and tab strip up to date,
// saves with backup copies, keeping the file's own line breaks (a new document's lines take
// [General] LineEnding), asks before a modified document closes,
// closes brackets and quotes as they are typed, highlights matching brackets and marks the
// line that a jump went to.
//
// A document opened over FTP has an account and a remote path: it is saved by uploading and
// reloaded by downloading through the FTP module (zuCodeEditorFormFtp.cpp).

#include "common/zuGuid.h"

#include "code/zuPHPReference.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/DateTime.h"
#include "Platform/text/Strings.h"

#include <QMdiSubWindow>

#include <cstdint>
#include <string>
#include <vector>

class TSrcEdit;
class TStream;

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
    // Unmarks the line; the caret leaving the place of the jump, a search and a click do this.
    void ClearMarkedLine();
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
    // remembers the file's time. Each line keeps the break it had; lines added to a file that
    // has no break take [General] LineEnding. Raises, naming the file, when it cannot be read
    // (also for a folder, named pipe, socket or device, which are refused at once).
    void LoadFromFile(const std::string& fileName);
    // A new document: every line takes the break of [General] LineEnding, not its template's.
    void AdoptLineEndingSetting();
    // True when the loaded text has a NUL byte in its first block, as binary files do.
    bool LooksBinary() const { return FLooksBinary; }
    // The bytes a save writes: the lines with their own breaks.
    std::string FileText() const;

    // Saves a modified document: a new one through SaveDocumentAs, else with a backup copy when
    // forced or when the settings ask for one. True when the document is saved (or had nothing
    // to save); false when the user cancelled the Save dialog. A failed write raises and leaves
    // the document modified.
    bool SaveDocument(bool forceBackup);
    // The Save dialog, then the text under the chosen name; false when cancelled.
    bool SaveDocumentAs();
    // After a save: the file's time, the modified flag, the undo lists and the actions.
    void AfterSave();

    // ---- documents opened over FTP
    // The document's FTP account; the all-zero GUID for a local document.
    const TGUID& AccountID() const { return FAccountID; }
    void SetAccountID(const TGUID& account);
    bool IsRemote() const { return FAccountID != NullGUID; }
    // The file's full path on the FTP site.
    const std::string& RemotePath() const { return FRemotePath; }
    // Stores the path; the file name becomes its last part and the caption "{host}path".
    void SetRemotePath(const std::string& path);
    // Uploads RemoteText to the document's account and path, then counts as saved. A failed
    // upload raises ENetFTPError and leaves the document modified.
    void UploadDocument();
    // The same to another account and path, to which the document is bound once it is there.
    void UploadTo(const TGUID& account, const std::string& remotePath);
    // The text as it goes to an FTP server: a document opened from the server with its own
    // line breaks; a local one, going there first, with LF line ends whatever the setting says.
    std::string RemoteText() const;
    // After the text reached the server elsewhere: the document belongs to that file now and
    // counts as saved; a document that was local takes the LF line ends it was sent with.
    void BindRemote(const TGUID& account, const std::string& remotePath);
    // Replaces the text with the remote file's; a failed download raises and leaves the text
    // as it was.
    void DownloadDocument();
    // True while the document's own upload or download runs.
    bool Transferring() const { return FTransferring; }

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
    // A closer the editor put in that the caret has not yet passed, by its line and its
    // distance from the line's end, which typing in front of it leaves as it is.
    struct TAutoCloser {
        int Line;
        int FromEnd;
        char Opener;
        char Closer;
    };

    void FormClose();
    void UpdateCaption();
    void EditorKeyPress(char32_t& key);
    void EditorKeyDown(WORD& key, TShiftState shift);
    void EditorPaintTransient(TCanvas& canvas, TTransientType type);
    void EditorSpecialLineColors(int line, bool& special, TColor& fg, TColor& bg);
    void EditorMouseDown(TMouseButton button);
    void InsertBracePair();
    // Typing the closer that the editor put in for an opener steps over it instead of adding
    // another; Backspace between an opener and its untouched closer removes the pair.
    void RememberAutoCloser(char opener, char closer);
    void ForgetPassedClosers();
    // The remembered closer standing right at the caret, or null.
    const TAutoCloser* AutoCloserAtCaret() const;
    void StepOverAutoCloser();
    bool DeleteAutoClosedPair();
    void WriteText(const std::string& fileName);
    // The bytes as the whole text: unmodified, no undo.
    void LoadText(TStream& bytes);
    // "{host}path" of a document opened over FTP.
    std::string RemoteCaption() const;
    void CancelTransfer();

    TSrcEdit* FEditor;
    std::string FFileName;
    TGUID FAccountID;
    std::string FRemotePath;
    bool FTransferring = false;
    FILETIME FFileTime{};
    TStringList FScriptParameters;
    int FMarkedLine = 0;
    // Where the jump put the caret; the mark stays while the caret does.
    TBufferCoord FMarkedCaret;
    std::vector<TAutoCloser> FAutoClosers;
    bool FClosing = false;
    bool FLooksBinary = false;
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
