#pragma once
// Auto-correction: a word typed into the attached editor is replaced by its correction as soon
// as the user ends it with a blank, a punctuation mark, Enter or Tab ("(c)" becomes "©").
// Each item is the original, the separator character and the correction. Optionally the line
// the caret left is corrected when the user clicks into the editor.

#include "SrcEdit/Source/view/SrcEditControlTypes.h"

#include "Platform/core/Component.h"
#include "Platform/text/Strings.h"

#include <functional>
#include <string>

class TCustomSrcEdit;

enum TAsSrcAutoCorrectOption { ascoCorrectOnMouseDown, ascoIgnoreCase, ascoMaintainCase };
using TAsSrcAutoCorrectOptions = TSet<TAsSrcAutoCorrectOption>;

enum class TAutoCorrectAction { aaCorrect, aaAbort };
using TAutoCorrectEvent = std::function<void(TObject* Sender, const std::string& AOriginal,
                                             const std::string& ACorrection, int Line, int Column,
                                             TAutoCorrectAction& Action)>;

class TCustomSrcAutoCorrect : public TComponent {
public:
    explicit TCustomSrcAutoCorrect(TComponent* AOwner);
    ~TCustomSrcAutoCorrect() override;

    bool Enabled = true;
    TCustomSrcEdit* Editor() const { return FEditor; }
    void SetEditor(TCustomSrcEdit* editor);
    TStringList& Items() { return FItems; }
    const TStringList& Items() const { return FItems; }
    void SetItems(const TStrings& items) { FItems.Assign(items); }
    char ItemSepChar = '\t';
    TAsSrcAutoCorrectOptions Options{ascoIgnoreCase, ascoMaintainCase};

    TAutoCorrectEvent OnAutoCorrect;
    TNotifyEvent OnCorrected;

    // The text before the last separator of item `index`, and the text after it (empty when the
    // item has no separator).
    std::string ItemOriginal(int index) const;
    std::string ItemCorrection(int index) const;

    // One item per line. Loading replaces the items and answers false, keeping them, when the
    // file does not exist; it accepts CR LF, CR or LF between lines and keeps every other byte.
    // Saving writes each item followed by CR LF. Read and write errors raise.
    bool LoadItemsFromFile(const std::string& fileName);
    void SaveItemsToFile(const std::string& fileName) const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void CommandHook(TObject* Sender, bool AfterProcessing, bool& Handled, TSrcEditorCommand& Command,
                     char32_t& AChar, void* Data, void* HandlerData);
    void EditorMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    // The word that ends just before the caret (characters above a blank).
    std::string WordBeforeCaret() const;
    // Replaces `word` before the caret by the correction of item `index`; true when it did.
    bool CorrectWordAtCaret(int index, const std::string& word);
    // Replaces every whole-word occurrence of item `index`'s original in `text`; true when any.
    bool CorrectText(int index, std::string& text) const;
    // The correction in the case of the text it replaces.
    std::string CasedCorrection(int index, const std::string& matched) const;
    bool SameOriginal(std::string_view a, std::string_view b) const;
    void DetachEditor();

    TCustomSrcEdit* FEditor = nullptr;
    TComponent* FEditorComponent = nullptr;
    TStringList FItems;
    // The caret line (1-based) at the last command seen; -1 before any.
    int FPreviousLine = -1;
};

class TSrcAutoCorrect : public TCustomSrcAutoCorrect {
public:
    using TCustomSrcAutoCorrect::TCustomSrcAutoCorrect;
};
