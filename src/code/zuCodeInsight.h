#pragma once
// TCodeInsight: the completion side of the editor module. It holds the completion list and the
// parameter-hint pop-up that all documents share with their icons and data, hooks the events of
// the active document's editor, decides from the language at the caret what to offer, closes
// HTML and XML tags as ">" is typed, and shows the parameters of the PHP function being called.

#include "code/zuCompletionData.h"

#include "SrcEdit/Source/completion/SrcEditCompletionProposal.h"

#include "Platform/core/Component.h"
#include "Platform/controls/Control.h"
#include "Platform/graphics/ImgList.h"

#include <functional>
#include <string>

class TCustomSrcEdit;

class TCodeInsight : public TComponent {
public:
    // The languages that CurrentLanguage tells apart.
    enum TLanguage { lnNone = 0, lnCSS = 1, lnHTML = 2, lnPHP = 3, lnXML = 4 };

    explicit TCodeInsight(TComponent* AOwner);
    ~TCodeInsight() override;

    TSrcCompletionProposal* ParameterProposal = nullptr;
    TSrcCompletionProposal* CompletionProposal = nullptr;
    TImageList* ImageList = nullptr;
    TCompletionData Data;

    // Whether the last completion request was allowed to run.
    bool LastCompletionRan = false;
    // A known HTML tag without an end tag is closed as " />" when ">" is typed.
    bool SelfClosingTags = false;

    // Reads the data files of the folder, and the pop-up delay of [CodeInsight].
    void LoadCompletionData(const std::string& dataFolder);

    // Hooks the editor's key and mouse events for completion, tag closing and parameter hints,
    // giving the previously hooked editor its own handlers back.
    void AttachEditor(TCustomSrcEdit* editor);
    TCustomSrcEdit* AttachedEditor() const { return FAttached; }
    // The language at the attached editor's caret.
    TLanguage CurrentLanguage() const;

    // The colour dialog of "[color]" completions; true with a colour chosen. Tests answer here.
    std::function<bool(TColor& color)> ColorDialogHook;

    // The pop-ups' handlers.
    void CompletionProposalExecute(SrcCompletionType kind, TObject* sender, std::string& currentInput, int& x, int& y,
                                   bool& canExecute);
    void CompletionProposalCodeCompletion(TObject* sender, std::string& value, TShiftState shift, int index,
                                          char32_t endToken);
    void CompletionProposalAfterCodeCompletion(TObject* sender, const std::string& value, TShiftState shift,
                                               int index, char32_t endToken);
    void ParameterProposalExecute(SrcCompletionType kind, TObject* sender, std::string& currentInput, int& x, int& y,
                                  bool& canExecute);
    void ParameterProposalMeasureItem(TObject* sender, int index, TCanvas& canvas, int& itemWidth);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void CreateImages();
    void EditorKeyPress(char32_t& key);
    void EditorKeyUp(WORD& key, TShiftState shift);
    void EditorMouseUp();
    void CloseTag(char32_t& key);
    void ReleaseEditor();
    bool ChooseColor(TColor& color);

    TCustomSrcEdit* FAttached = nullptr;
    TComponent* FAttachedComponent = nullptr;
    // The attached editor's own handlers, called first by ours and given back on release.
    TKeyEvent FOldKeyUp;
    TKeyPressEvent FOldKeyPress;
    TMouseEvent FOldMouseUp;
};

// The parameter hint's first line: the function's list line without its image, with the blanks
// inside its parentheses (but those after a comma) made non-breaking, so that only the commas
// part the parameters.
std::string ParameterHintLine(std::string_view item);
