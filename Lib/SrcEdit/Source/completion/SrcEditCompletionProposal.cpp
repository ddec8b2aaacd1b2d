// The completion components: showing the pop-up, and tying it to editors.

#include "SrcEdit/Source/completion/SrcEditCompletionProposal.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/text/TextChars.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

// The word-break characters of an editor without a highlighter.
const TSrcCharSet& DefaultWordBreakChars()
{
    static const TSrcCharSet set = CharSetOf("!\"'()*+,-./:;=?[\\]^{}|");
    return set;
}

bool IsTrigger(const std::string& triggers, char32_t c)
{
    return c > 0 && c < 128 && triggers.find(static_cast<char>(c)) != std::string::npos;
}

// Paint lock and undo block of one acceptance, closed also when a handler throws.
class TEditorBatch {
public:
    explicit TEditorBatch(TCustomSrcEdit& editor) : FEditor(editor)
    {
        FEditor.LockPainting();
        FEditor.BeginUndoBlock();
    }
    ~TEditorBatch()
    {
        try {
            FEditor.EndUndoBlock();
            FEditor.UnlockPainting();
        } catch (const std::exception& e) {
            Application()->HandleException(e);
        }
    }
    TEditorBatch(const TEditorBatch&) = delete;
    TEditorBatch& operator=(const TEditorBatch&) = delete;

private:
    TCustomSrcEdit& FEditor;
};

} // namespace

// ---- TSrcBaseCompletionProposal

TSrcBaseCompletionProposal::TSrcBaseCompletionProposal(TComponent* AOwner)
    : TComponent(AOwner), FForm(new TSrcBaseCompletionProposalForm(this))
{
    FForm->OnChange = [this](TObject*, int index) {
        if (OnChange)
            OnChange(this, index);
    };
    FForm->OnPaintItem = [this](TObject*, int index, TCanvas& canvas, const TRect& rect, bool& custom) {
        if (OnPaintItem)
            OnPaintItem(this, index, canvas, rect, custom);
    };
    FForm->OnMeasureItem = [this](TObject*, int index, TCanvas& canvas, int& width) {
        if (OnMeasureItem)
            OnMeasureItem(this, index, canvas, width);
    };
    FForm->OnShowWindow = [this] {
        if (OnShow)
            OnShow(this);
    };
    FForm->OnHideWindow = [this] {
        // The next opening keeps the size the user gave the list.
        if (FForm->DisplayType() == SrcCompletionType::ctCode)
            FWidth = FForm->width();
        if (OnClose)
            OnClose(this);
    };
    SetOptions(FOptions);
}

TSrcBaseCompletionProposal::~TSrcBaseCompletionProposal()
{
    FForm->OnShowWindow = nullptr;
    FForm->OnHideWindow = nullptr;
    FForm->OnChange = nullptr;
    FForm->OnPaintItem = nullptr;
    FForm->OnMeasureItem = nullptr;
    delete FForm;
}

void TSrcBaseCompletionProposal::SetDefaultType(SrcCompletionType type)
{
    FDefaultType = type;
    FForm->SetDisplayType(type);
}

void TSrcBaseCompletionProposal::SetOptions(TSrcCompletionOptions options)
{
    FOptions = options;
    TSrcBaseCompletionProposalForm& f = *FForm;
    f.AnsiStrings = options.Contains(scoAnsiStrings);
    f.CaseSensitive = options.Contains(scoCaseSensitive);
    f.LimitToMatchedText = options.Contains(scoLimitToMatchedText);
    f.TitleIsCentered = options.Contains(scoTitleIsCentered);
    f.UseInsertList = options.Contains(scoUseInsertList);
    f.UsePrettyText = options.Contains(scoUsePrettyText);
    f.CompleteWithTab = options.Contains(scoCompleteWithTab);
    f.CompleteWithEnter = options.Contains(scoCompleteWithEnter);
}

void TSrcBaseCompletionProposal::HandleEditorCommand(TObject*, bool, bool&, TSrcEditorCommand&, char32_t&, void*, void*)
{
}

void TSrcBaseCompletionProposal::ShowAt(const std::string& input, int x, int y, SrcCompletionType kind,
                                        int editorLineHeight)
{
    FForm->SetDisplayType(kind);
    FCanExecute = true;
    std::string currentInput = input;
    if (OnExecute)
        OnExecute(kind, this, currentInput, x, y, FCanExecute);
    FExecutedInput = currentInput;
    if (!FCanExecute || ItemList().Count() == 0) {
        if (kind == SrcCompletionType::ctParams)
            FForm->HidePopup();
        return;
    }
    FForm->AssignAllItems();
    if (kind == SrcCompletionType::ctCode) {
        FForm->SetCurrentString(currentInput);
        FForm->SetScrollBarVisible(true);
        FForm->PlaceAt(x, y, FWidth, editorLineHeight);
        if (!FOptions.Contains(scoLimitToMatchedText)) {
            FForm->AdjustScrollBar();
            const int position = FForm->Position();
            FForm->SetPosition(0);
            FForm->SetPosition(position);
        }
        if (FForm->AssignedCount() > 0)
            FForm->ShowPopup();
        return;
    }
    FForm->SetScrollBarVisible(false);
    FForm->PlaceAt(x, y, FWidth, editorLineHeight);
    FForm->ShowPopup();
}

// ---- TSrcCompletionProposal

TSrcCompletionProposal::TSrcCompletionProposal(TComponent* AOwner) : TSrcBaseCompletionProposal(AOwner)
{
    SetTriggerChars(".");
    Form().OnAccept = [this](TObject*, TShiftState shift, char32_t endToken) { AcceptSelection(shift, endToken); };
    Form().OnCancel = [this](TObject* sender) { FormCancel(sender); };
    Form().OnKeyPressHandler = [this](TObject* sender, char32_t& key) { FormKeyPress(sender, key); };
}

TSrcCompletionProposal::~TSrcCompletionProposal()
{
    Form().OnAccept = nullptr;
    Form().OnCancel = nullptr;
    Form().OnKeyPressHandler = nullptr;
    if (Visible())
        CancelCompletion();
    StopTimer();
    while (!FEditors.empty())
        RemoveEditor(FEditors.back().Editor);
}

void TSrcCompletionProposal::SetOptions(TSrcCompletionOptions options)
{
    if (options.Contains(scoUseBuiltInTimer) && !FTimer) {
        FTimer = std::make_unique<QTimer>();
        FTimer->setInterval(FTimerInterval);
        QObject::connect(FTimer.get(), &QTimer::timeout, [this] { TimerExpired(); });
    } else if (!options.Contains(scoUseBuiltInTimer)) {
        FTimer.reset();
    }
    TSrcBaseCompletionProposal::SetOptions(options);
}

void TSrcCompletionProposal::SetTimerInterval(int milliseconds)
{
    FTimerInterval = milliseconds;
    if (FTimer)
        FTimer->setInterval(milliseconds);
}

void TSrcCompletionProposal::StopTimer()
{
    if (FTimer)
        FTimer->stop();
}

// ---- editors

void TSrcCompletionProposal::SetEditor(TCustomSrcEdit* editor)
{
    if (editor == FEditor)
        return;
    if (FEditor)
        RemoveEditor(FEditor);
    FEditor = editor;
    if (editor)
        AddEditor(editor);
}

bool TSrcCompletionProposal::EditorRegistered(const TCustomSrcEdit* editor) const
{
    return std::any_of(FEditors.begin(), FEditors.end(),
                       [editor](const TRegisteredEditor& e) { return e.Editor == editor; });
}

void TSrcCompletionProposal::AddEditor(TCustomSrcEdit* editor)
{
    if (!editor || EditorRegistered(editor))
        return;
    FEditors.push_back({editor, editor});
    FreeNotification(editor);
    editor->AddKeyDownHandler(MakeMethod(this, &TSrcCompletionProposal::EditorKeyDown));
    editor->AddKeyPressHandler(MakeMethod(this, &TSrcCompletionProposal::EditorKeyPress));
    editor->HookCommandHandler(MakeMethod(this, &TSrcCompletionProposal::HandleEditorCommand), nullptr);
}

void TSrcCompletionProposal::RemoveEditor(TCustomSrcEdit* editor)
{
    const auto it = std::find_if(FEditors.begin(), FEditors.end(),
                                 [editor](const TRegisteredEditor& e) { return e.Editor == editor; });
    if (it == FEditors.end())
        return;
    if (Form().CurrentEditor() == editor) {
        if (Visible())
            CancelCompletion();
        Form().SetCurrentEditor(nullptr);
    }
    editor->RemoveKeyDownHandler(MakeMethod(this, &TSrcCompletionProposal::EditorKeyDown));
    editor->RemoveKeyPressHandler(MakeMethod(this, &TSrcCompletionProposal::EditorKeyPress));
    editor->UnhookCommandHandler(MakeMethod(this, &TSrcCompletionProposal::HandleEditorCommand));
    RemoveFreeNotification(editor);
    FEditors.erase(it);
    if (FEditor == editor)
        FEditor = nullptr;
}

void TSrcCompletionProposal::Notification(TComponent* component, TOperation operation)
{
    TSrcBaseCompletionProposal::Notification(component, operation);
    if (operation == TOperation::opRemove)
        DropEditor(component);
}

void TSrcCompletionProposal::DropEditor(TComponent* component)
{
    const auto it = std::find_if(FEditors.begin(), FEditors.end(),
                                 [component](const TRegisteredEditor& e) { return e.Component == component; });
    if (it == FEditors.end())
        return;
    // why: the editor is in the middle of its destruction; only our references to it may go
    if (Form().CurrentEditor() == it->Editor) {
        StopTimer();
        FSwallowNextKey = false;
        Form().SetCurrentEditor(nullptr);
        Form().HidePopup();
    }
    if (FEditor == it->Editor)
        FEditor = nullptr;
    FEditors.erase(it);
}

// ---- opening

TSrcCharSet TSrcCompletionProposal::EndOfTokenSet(const TCustomSrcEdit& editor) const
{
    TSrcCharSet set;
    if (Options().Contains(scoConsiderWordBreakChars))
        set = editor.Highlighter() ? editor.Highlighter()->WordBreakChars() : DefaultWordBreakChars();
    for (char c : EndOfTokenChr())
        set.set(static_cast<unsigned char>(c));
    return set;
}

std::string TSrcCompletionProposal::GetCurrentInput(TCustomSrcEdit* editor)
{
    const std::string line = editor->GetCaretLineText();
    const int caret = editor->CaretChar();
    if (caret - 1 > static_cast<int>(line.size())) {
        FCompletionStart = caret;
        return {};
    }
    const TSrcCharSet& ends = Form().EndOfTokenChars;
    const size_t end = static_cast<size_t>(caret - 1);
    size_t start = end;
    while (start > 0) {
        const size_t previous = TextChars::PrevCharStart(line, start);
        const auto c = static_cast<unsigned char>(line[previous]);
        if (c <= ' ' || (start - previous == 1 && ends.test(c)))
            break;
        start = previous;
    }
    FCompletionStart = static_cast<int>(start) + 1;
    return line.substr(start, end - start);
}

void TSrcCompletionProposal::OpenFor(TCustomSrcEdit* editor)
{
    if (!editor || !EditorRegistered(editor))
        return;
    if (DefaultType() == SrcCompletionType::ctCode && editor->ReadOnly())
        return;
    TPoint point;
    if (DefaultType() == SrcCompletionType::ctHint) {
        const QPoint mouse = QCursor::pos();
        point = {mouse.x(), mouse.y()};
    } else {
        point = editor->ClientToScreen(editor->DisplayPointToClient(editor->CaretDisplayPoint()));
        point.Y += editor->LineHeight();
    }
    Form().SetCurrentEditor(editor);
    Form().EndOfTokenChars = EndOfTokenSet(*editor);
    const std::string input = GetCurrentInput(editor);
    ShowAt(input, point.X, point.Y, DefaultType(), editor->LineHeight());
    // An input that OnExecute gave instead, when it stands before the caret, is what an
    // acceptance replaces.
    if (FExecutedInput != input) {
        const std::string line = editor->GetCaretLineText();
        const size_t end = static_cast<size_t>(editor->CaretChar() - 1);
        const size_t size = FExecutedInput.size();
        if (end <= line.size() && size <= end && line.compare(end - size, size, FExecutedInput) == 0)
            FCompletionStart = static_cast<int>(end - size) + 1;
    }
    FSwallowNextKey = DefaultType() == SrcCompletionType::ctCode && FCanExecute && Visible();
}

void TSrcCompletionProposal::ShowAt(const std::string& input, int x, int y, SrcCompletionType kind,
                                    int editorLineHeight)
{
    TSrcBaseCompletionProposal::ShowAt(input, x, y, kind, editorLineHeight);
    StopTimer();
}

void TSrcCompletionProposal::ArmTimerFor(TCustomSrcEdit* editor)
{
    if (!FTimer)
        return;
    Form().SetCurrentEditor(editor);
    FTimer->start();
}

void TSrcCompletionProposal::TimerExpired()
{
    StopTimer();
    if (QGuiApplication::applicationState() == Qt::ApplicationActive) {
        OpenFor(Form().CurrentEditor());
        FSwallowNextKey = false;
    } else {
        Form().HidePopup();
    }
}

void TSrcCompletionProposal::CancelCompletion()
{
    StopTimer();
    FSwallowNextKey = false;
    Form().HidePopup();
    if (OnCancelled)
        OnCancelled(this);
}

void TSrcCompletionProposal::HandleCancelMode()
{
    if (Visible() && Form().DisplayType() == SrcCompletionType::ctParams)
        CancelCompletion();
}

// ---- editor events

void TSrcCompletionProposal::EditorKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    auto* editor = dynamic_cast<TCustomSrcEdit*>(Sender);
    if (!editor)
        return;
    // why: the character of the shortcut that opened the pop-up comes before the next key; a
    // shortcut that typed none must not cost the user the next character
    FSwallowNextKey = false;
    if (DefaultType() == SrcCompletionType::ctCode && editor->ReadOnly())
        return;
    if (Key != 0 && ::ShortCut(Key, Shift) == ShortCut) {
        Form().SetCurrentEditor(editor);
        Key = 0;
        OpenFor(editor);
        // why: the shortcut was taken, so its character (a blank for Ctrl+Space) is not typed,
        // whether or not anything opened
        FSwallowNextKey = true;
    }
}

void TSrcCompletionProposal::EditorKeyPress(TObject* Sender, char32_t& Key)
{
    if (FSwallowNextKey) {
        FSwallowNextKey = false;
        Key = 0;
        return;
    }
    if (!FTimer)
        return;
    if (IsTrigger(TriggerChars(), Key))
        ArmTimerFor(dynamic_cast<TCustomSrcEdit*>(Sender));
    else
        StopTimer();
}

void TSrcCompletionProposal::HandleEditorCommand(TObject* Sender, bool AfterProcessing, bool&,
                                                 TSrcEditorCommand& Command, char32_t& AChar, void*, void*)
{
    if (!AfterProcessing)
        return;
    auto* editor = dynamic_cast<TCustomSrcEdit*>(Sender);
    if (Visible()) {
        switch (Form().DisplayType()) {
        case SrcCompletionType::ctHint:
            CancelCompletion();
            break;
        case SrcCompletionType::ctParams:
            if (Command == ecFocusGained || Command == ecFocusLost || (Command == ecChar && AChar == 27))
                CancelCompletion();
            else
                OpenFor(editor);
            break;
        case SrcCompletionType::ctCode:
            // why: the list never takes the focus, so the editor losing it means the user left
            if (Command == ecFocusLost && editor == Form().CurrentEditor())
                CancelCompletion();
            break;
        }
        return;
    }
    if (FTimer && !(Command == ecChar && IsTrigger(TriggerChars(), AChar)))
        StopTimer();
}

// ---- the pop-up's handlers

void TSrcCompletionProposal::FormKeyPress(TObject*, char32_t& Key)
{
    TCustomSrcEdit* editor = Form().CurrentEditor();
    if (!editor)
        return;
    editor->DispatchCommand(ecChar, Key, nullptr);
    if (IsTrigger(TriggerChars(), Key) && !Visible())
        OpenFor(editor);
}

void TSrcCompletionProposal::FormCancel(TObject*)
{
    FSwallowNextKey = false;
    TCustomSrcEdit* editor = Form().CurrentEditor();
    if (!editor)
        return;
    StopTimer();
    Form().HidePopup();
    if (!editor->Focused())
        editor->SetFocus();
    if (OnCancelled)
        OnCancelled(this);
}

void TSrcCompletionProposal::AcceptSelection(TShiftState shift, char32_t endToken)
{
    TCustomSrcEdit* editor = Form().CurrentEditor();
    if (!editor)
        return;
    TSrcBaseCompletionProposalForm& form = Form();
    const TEditorBatch batch(*editor);
    const TBufferCoord caret = editor->GetCaretCoord();
    editor->SetActiveSelectionMode(TSrcSelectionMode::smNormal);
    editor->SetSelectionStart(MakeBufferCoord(FCompletionStart, caret.LineNumber));
    editor->SetSelectionEnd(endToken != 0 ? caret : editor->WordFinishAtCaret());

    const int position = form.Position();
    const int index = position >= 0 && position < form.AssignedCount() ? form.LogicalIndex(position) : -1;
    std::string value;
    bool found = false;
    if (!Options().Contains(scoUseInsertList)) {
        if (position >= 0 && position < form.AssignedCount()) {
            value = form.AssignedText(position);
            // why: the formatting commands of a pretty line are not part of its text
            if (Options().Contains(scoUsePrettyText))
                value = StripPrettyText(value);
            found = true;
        }
    } else {
        const int insertIndex = Options().Contains(scoLimitToMatchedText) ? index : position;
        if (insertIndex >= 0 && insertIndex < form.InsertList().Count()) {
            value = form.InsertList().Get(insertIndex);
            found = true;
        }
    }
    if (!found || (endToken != 0 && !Options().Contains(scoEndCharCompletion)))
        value = editor->GetSelectedText();
    if (OnCodeCompletion)
        OnCodeCompletion(this, value, shift, index, endToken);
    if (editor->GetSelectedText() != value)
        editor->SetSelectedText(value);

    StopTimer();
    FSwallowNextKey = false;
    form.HidePopup();
    if (!editor->Focused())
        editor->SetFocus();
    const TBufferCoord end = editor->HasSelection() ? editor->GetSelectionEnd() : editor->GetCaretCoord();
    editor->SetCaretCoord(end);
    editor->ScrollCaretIntoView();
    if (OnAfterCodeCompletion)
        OnAfterCodeCompletion(this, value, shift, index, endToken);
}
