#pragma once
// Completion lists and parameter hints for editors.
//
// TSrcBaseCompletionProposal owns the pop-up window (TSrcBaseCompletionProposalForm), keeps
// its properties and events and shows it at a screen point. TSrcCompletionProposal ties it to
// editors: it watches their keys and commands, opens on its shortcut or, after a delay, on a
// trigger character, takes the text typed so far before the caret as the input, and on
// acceptance replaces that input in the editor with the chosen text.

#include "SrcEdit/Source/completion/SrcEditCompletionForm.h"

#include <QTimer>

#include <memory>
#include <string>
#include <vector>

class TCustomSrcEdit;

class TSrcBaseCompletionProposal : public TComponent {
public:
    explicit TSrcBaseCompletionProposal(TComponent* AOwner);
    ~TSrcBaseCompletionProposal() override;

    // Also the pop-up's display type.
    SrcCompletionType DefaultType() const { return FDefaultType; }
    void SetDefaultType(SrcCompletionType type);
    TSrcCompletionOptions Options() const { return FOptions; }
    // Stores the options and copies them into the pop-up.
    virtual void SetOptions(TSrcCompletionOptions options);

    TStringList& ItemList() { return FForm->ItemList(); }
    void SetItemList(const TStrings& items) { FForm->SetItemList(items); }
    TStringList& InsertList() { return FForm->InsertList(); }
    void SetInsertList(const TStrings& items) { FForm->SetInsertList(items); }
    int NbLinesInWindow() const { return FForm->NbLinesInWindow(); }
    void SetNbLinesInWindow(int lines) { FForm->SetNbLinesInWindow(lines); }
    int Width() const { return FWidth; }
    void SetWidth(int width) { FWidth = width; }
    TColor ClSelect() const { return FForm->ClSelect; }
    void SetClSelect(TColor color) { FForm->ClSelect = color; }
    TColor ClSelectedText() const { return FForm->ClSelectedText; }
    void SetClSelectedText(TColor color) { FForm->ClSelectedText = color; }
    TColor ClBackground() const { return FForm->ClBackground; }
    void SetClBackground(TColor color) { FForm->ClBackground = color; }
    TColor ClTitleBackground() const { return FForm->ClTitleBackground; }
    void SetClTitleBackground(TColor color) { FForm->ClTitleBackground = color; }
    // Characters that end the input and, typed into a list, accept its selection.
    const std::string& EndOfTokenChr() const { return FEndOfTokenChr; }
    void SetEndOfTokenChr(const std::string& chars) { FEndOfTokenChr = chars; }
    // Characters that open the pop-up after the timer's delay.
    const std::string& TriggerChars() const { return FTriggerChars; }
    void SetTriggerChars(const std::string& chars) { FTriggerChars = chars; }
    const std::string& Title() const { return FForm->Title(); }
    void SetTitle(const std::string& title) { FForm->SetTitle(title); }
    TFont& Font() { return FForm->Font(); }
    TFont& TitleFont() { return FForm->TitleFont(); }
    TProposalColumns& Columns() { return FForm->Columns(); }
    bool Resizeable() const { return FForm->Resizeable(); }
    void SetResizeable(bool value) { FForm->SetResizeable(value); }
    int ItemHeight() const { return FForm->ItemHeight(); }
    void SetItemHeight(int height) { FForm->SetItemHeight(height); }
    TCustomImageList* Images() const { return FForm->Images(); }
    void SetImages(TCustomImageList* images) { FForm->SetImages(images); }
    int Margin() const { return FForm->Margin; }
    void SetMargin(int margin) { FForm->Margin = margin; }
    // ctParams: the parameter shown in bold.
    int CurrentIndex() const { return FForm->CurrentIndex; }
    void SetCurrentIndex(int index) { FForm->CurrentIndex = index; }

    TSrcBaseCompletionProposalForm& Form() { return *FForm; }
    bool Visible() const { return FForm->PopupVisible(); }

    TCompletionChange OnChange;
    TNotifyEvent OnClose;
    TNotifyEvent OnShow;
    TCompletionExecute OnExecute;
    TCompletionMeasureItem OnMeasureItem;
    TCompletionPaintItem OnPaintItem;
    // Kept for the stored form; nothing calls it.
    TCompletionParameterToken OnParameterToken;

    virtual void HandleCancelMode() {}
    virtual void HandleEditorCommand(TObject* Sender, bool AfterProcessing, bool& Handled, TSrcEditorCommand& Command,
                                     char32_t& AChar, void* Data, void* HandlerData);
    // Shows the pop-up for `input` at the screen point (x, y) as `kind`, after OnExecute agreed;
    // `editorLineHeight` lets it move above the caret line when it would leave the screen.
    virtual void ShowAt(const std::string& input, int x, int y, SrcCompletionType kind, int editorLineHeight = 0);

protected:
    // Whether the last showing's OnExecute left CanExecute set, and the input it left.
    bool FCanExecute = true;
    std::string FExecutedInput;

private:
    TSrcBaseCompletionProposalForm* FForm;
    SrcCompletionType FDefaultType = SrcCompletionType::ctCode;
    TSrcCompletionOptions FOptions = DefaultProposalOptions;
    int FWidth = 260;
    std::string FEndOfTokenChr = "()[]. ";
    std::string FTriggerChars;
};

class TSrcCompletionProposal : public TSrcBaseCompletionProposal {
public:
    explicit TSrcCompletionProposal(TComponent* AOwner);
    ~TSrcCompletionProposal() override;

    // Creates or frees the timer, then stores the options.
    void SetOptions(TSrcCompletionOptions options) override;

    TShortCut ShortCut = 16416; // Ctrl+Space
    TCustomSrcEdit* Editor() const { return FEditor; }
    // Unregisters the previous editor and registers the new one.
    void SetEditor(TCustomSrcEdit* editor);
    int TimerInterval() const { return FTimerInterval; }
    void SetTimerInterval(int milliseconds);

    TCodeCompletionEvent OnCodeCompletion;
    TAfterCodeCompletionEvent OnAfterCodeCompletion;
    TNotifyEvent OnCancelled;

    // Hooks an editor's keys and commands (once per editor).
    void AddEditor(TCustomSrcEdit* editor);
    void RemoveEditor(TCustomSrcEdit* editor);
    bool EditorRegistered(const TCustomSrcEdit* editor) const;
    int EditorCount() const { return static_cast<int>(FEditors.size()); }

    // Opens the pop-up for a registered editor at its caret (a list not in a read-only editor).
    // When OnExecute gives a longer input that stands before the caret, an acceptance replaces
    // that input.
    virtual void OpenFor(TCustomSrcEdit* editor);
    void OpenForEditor() { OpenFor(FEditor); }
    // Makes the editor the pop-up's and starts the timer, when there is one.
    void ArmTimerFor(TCustomSrcEdit* editor);
    bool TimerActive() const { return FTimer && FTimer->isActive(); }
    // Stops the timer, hides the pop-up and fires OnCancelled.
    void CancelCompletion();
    // Replaces the input with the selected item (the pop-up's accept handler).
    void AcceptSelection(TShiftState shift, char32_t endToken);

    // The text before the caret that the pop-up completes; sets the completion start.
    std::string GetCurrentInput(TCustomSrcEdit* editor);
    // The column (1-based) where the input that an acceptance replaces begins.
    int CompletionStart() const { return FCompletionStart; }

    void HandleCancelMode() override;
    void HandleEditorCommand(TObject* Sender, bool AfterProcessing, bool& Handled, TSrcEditorCommand& Command,
                             char32_t& AChar, void* Data, void* HandlerData) override;
    void ShowAt(const std::string& input, int x, int y, SrcCompletionType kind, int editorLineHeight = 0) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void EditorKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void EditorKeyPress(TObject* Sender, char32_t& Key);
    void TimerExpired();
    void FormKeyPress(TObject* Sender, char32_t& Key);
    void FormCancel(TObject* Sender);
    void StopTimer();
    // Forgets an editor that is being destroyed, touching nothing of it.
    void DropEditor(TComponent* editor);
    TSrcCharSet EndOfTokenSet(const TCustomSrcEdit& editor) const;

    struct TRegisteredEditor {
        TCustomSrcEdit* Editor;
        TComponent* Component; // the same object, as the destruction notice names it
    };
    std::vector<TRegisteredEditor> FEditors;
    TCustomSrcEdit* FEditor = nullptr;
    int FTimerInterval = 1000;
    std::unique_ptr<QTimer> FTimer;
    int FCompletionStart = 0;
    bool FSwallowNextKey = false;
};
