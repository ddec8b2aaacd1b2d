// Code completion, tag closing and parameter hints of the documents' editors.

#include "code/zuCodeInsight.h"

#include "code/zuCodeContext.h"
#include "common/zuFunctions.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/text/TextChars.h"
#include "Platform/text/TextUtils.h"

#include <QColorDialog>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

// The non-breaking space, as the text is UTF-8.
constexpr std::string_view NonBreakingSpace = "\xC2\xA0";
// The image command that begins every PHP list line ("\image{0} ").
constexpr size_t ImagePrefixLength = 10;

bool Setting(const TBoolKey& key)
{
    return SettingsFile ? key.Read(*SettingsFile) : key.Default;
}

// The highlighter whose text holds the caret: for a multi-language highlighter the one of the
// scheme in effect at the character before the caret.
TSrcCustomHighlighter* HighlighterAtCaret(const TCustomSrcEdit& editor)
{
    TSrcCustomHighlighter* highlighter = editor.Highlighter();
    auto* multi = dynamic_cast<TSrcMultiSyn*>(highlighter);
    if (!multi)
        return highlighter;
    const TSrcEditStringList& lines = editor.Lines();
    const TBufferCoord caret = editor.GetCaretCoord();
    const int line = caret.LineNumber - 1;
    if (line < 0 || line >= lines.Count())
        return multi->DefaultHighlighter();
    // why: the token walk brings the scheme up to date also at the end of a line, where there
    // is no token at the caret itself
    if (line == 0)
        multi->ClearRange();
    else
        multi->RestoreRange(static_cast<TSrcRange>(lines.LineRange(line - 1)));
    multi->StartLine(lines.Get(line), line);
    const int before = caret.CharIndex - 2;
    while (!multi->AtLineEnd() && multi->TokenStart() + static_cast<int>(multi->TokenText().size()) <= before)
        multi->AdvanceToken();
    const int scheme = multi->CurrentScheme();
    if (scheme >= 0 && scheme < multi->Schemes().Count())
        return multi->Schemes().SchemeAt(scheme)->Highlighter();
    return multi->DefaultHighlighter();
}

// A 16 by 16 icon: a rounded square in `colour` with a short white text.
QImage Icon(QRgb colour, const char* text)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(colour));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font("DejaVu Sans");
    font.setPixelSize(std::strlen(text) > 1 ? 8 : 11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString::fromLatin1(text));
    return image;
}

std::string ReplaceBlanks(std::string_view text, size_t from, size_t to)
{
    std::string out(text.substr(0, from));
    for (size_t i = from; i < to; ++i) {
        // why: a blank after a comma stays, so the hint shows "a, b" and not "a,  b"
        if (text[i] == ' ' && !(i > 0 && text[i - 1] == ','))
            out += NonBreakingSpace;
        else
            out += text[i];
    }
    out += text.substr(to);
    return out;
}

// CSS names and HTML attribute names and values hold dashes ("font-weight", "http-equiv",
// "no-repeat"), which are word breaks: the input runs back over them, and a dash typed into the
// list goes on filtering instead of accepting.
void TakeDashedInput(TSrcCompletionProposal& proposal, const TCustomSrcEdit& editor, std::string& input)
{
    const std::string line = editor.GetCaretLineText();
    size_t start = std::min(static_cast<size_t>(std::max(editor.CaretChar() - 1, 0)), line.size());
    const size_t end = start;
    while (start > 0 && (TextChars::IsIdentChar(static_cast<unsigned char>(line[start - 1])) || line[start - 1] == '-'))
        --start;
    if (end - start > input.size())
        input = line.substr(start, end - start);
    proposal.Form().EndOfTokenChars.reset('-');
}

void SetLists(TSrcCompletionProposal& proposal, const TStrings& items, const TStrings& inserts)
{
    proposal.SetItemList(items);
    proposal.SetInsertList(inserts);
}

} // namespace

std::string ParameterHintLine(std::string_view item)
{
    const std::string_view rest = item.size() > ImagePrefixLength ? item.substr(ImagePrefixLength) : std::string_view();
    const size_t open = rest.find('(');
    if (open == std::string_view::npos)
        return std::string(rest);
    const size_t close = rest.find(')', open);
    return ReplaceBlanks(rest, open, close == std::string_view::npos ? rest.size() : close);
}

TCodeInsight::TCodeInsight(TComponent* AOwner) : TComponent(AOwner)
{
    SetName("CodeInsight");
    ImageList = new TImageList(this, 16, 16);
    ImageList->SetName("ImageList");
    CreateImages();

    auto configure = [](TSrcCompletionProposal& proposal) {
        proposal.SetWidth(300);
        proposal.SetTimerInterval(500);
        proposal.Font().SetName("Tahoma");
        proposal.Font().SetHeight(-13);
        proposal.TitleFont().SetName("MS Sans Serif");
        proposal.TitleFont().SetHeight(-11);
        proposal.TitleFont().SetStyle({fsBold});
    };

    CompletionProposal = new TSrcCompletionProposal(this);
    CompletionProposal->SetName("CompletionProposal");
    CompletionProposal->SetDefaultType(SrcCompletionType::ctCode);
    CompletionProposal->SetOptions({scoLimitToMatchedText, scoUseInsertList, scoUsePrettyText, scoUseBuiltInTimer,
                                    scoEndCharCompletion, scoConsiderWordBreakChars, scoCompleteWithTab,
                                    scoCompleteWithEnter});
    CompletionProposal->SetEndOfTokenChr(" (>!%/=;");
    CompletionProposal->SetTriggerChars("<&");
    CompletionProposal->ShortCut = 16416; // Ctrl+Space
    CompletionProposal->Columns().Add().BiggestWord = "superglobal ";
    CompletionProposal->Columns().Add().BiggestWord = "CONSTRUCTOR";
    CompletionProposal->SetImages(ImageList);
    configure(*CompletionProposal);
    CompletionProposal->OnExecute = [this](SrcCompletionType kind, TObject* sender, std::string& input, int& x, int& y,
                                           bool& canExecute) {
        CompletionProposalExecute(kind, sender, input, x, y, canExecute);
    };
    CompletionProposal->OnCodeCompletion = [this](TObject* sender, std::string& value, TShiftState shift, int index,
                                                  char32_t endToken) {
        CompletionProposalCodeCompletion(sender, value, shift, index, endToken);
    };
    CompletionProposal->OnAfterCodeCompletion = [this](TObject* sender, const std::string& value, TShiftState shift,
                                                       int index, char32_t endToken) {
        CompletionProposalAfterCodeCompletion(sender, value, shift, index, endToken);
    };

    ParameterProposal = new TSrcCompletionProposal(this);
    ParameterProposal->SetName("ParameterProposal");
    ParameterProposal->SetDefaultType(SrcCompletionType::ctParams);
    ParameterProposal->SetOptions({scoCaseSensitive, scoLimitToMatchedText, scoUseBuiltInTimer, scoEndCharCompletion,
                                   scoConsiderWordBreakChars, scoCompleteWithTab, scoCompleteWithEnter});
    ParameterProposal->SetNbLinesInWindow(1);
    ParameterProposal->SetEndOfTokenChr("()[].");
    ParameterProposal->SetTriggerChars("(");
    ParameterProposal->ShortCut = 24608; // Ctrl+Shift+Space
    configure(*ParameterProposal);
    ParameterProposal->OnExecute = [this](SrcCompletionType kind, TObject* sender, std::string& input, int& x, int& y,
                                          bool& canExecute) {
        ParameterProposalExecute(kind, sender, input, x, y, canExecute);
    };
    ParameterProposal->OnMeasureItem = [this](TObject* sender, int index, TCanvas& canvas, int& width) {
        ParameterProposalMeasureItem(sender, index, canvas, width);
    };
}

TCodeInsight::~TCodeInsight()
{
    ReleaseEditor();
    CompletionProposal->SetEditor(nullptr);
    ParameterProposal->SetEditor(nullptr);
}

void TCodeInsight::CreateImages()
{
    // 0 function, 1 variable, 2 tag, 3 CSS property, 4 attribute value, 5 attribute name,
    // 6 (none), 7 CSS value to fill in, 8 CSS value.
    const std::pair<QRgb, const char*> icons[] = {
        {qRgb(128, 0, 160), "f"}, {qRgb(0, 128, 128), "$"}, {qRgb(0, 64, 192), "<>"},
        {qRgb(0, 128, 0), "p"},   {qRgb(208, 112, 0), "v"}, {qRgb(150, 75, 0), "a"},
        {qRgb(128, 128, 128), "&"}, {qRgb(192, 0, 128), "[]"}, {qRgb(64, 160, 64), "v"},
    };
    for (const auto& [colour, text] : icons)
        ImageList->Add(Icon(colour, text));
}

void TCodeInsight::LoadCompletionData(const std::string& dataFolder)
{
    Data.LoadPHPCompletion(dataFolder);
    Data.LoadCSSCompletion(dataFolder);
    Data.LoadHTMLCompletion(dataFolder);
    if (SettingsFile) {
        const int delay = std::clamp(Settings::CodeInsight::Delay.Read(*SettingsFile), 100, 1500);
        CompletionProposal->SetTimerInterval(delay);
        ParameterProposal->SetTimerInterval(delay);
    }
}

// ---- the attached editor

void TCodeInsight::AttachEditor(TCustomSrcEdit* editor)
{
    if (editor == FAttached)
        return;
    ReleaseEditor();
    if (editor) {
        FAttached = editor;
        FAttachedComponent = editor;
        FreeNotification(editor);
        FOldKeyUp = editor->OnKeyUp;
        FOldKeyPress = editor->OnKeyPress;
        FOldMouseUp = editor->OnMouseUp;
        editor->OnKeyUp = [this](TObject* sender, WORD& key, TShiftState shift) {
            if (FOldKeyUp)
                FOldKeyUp(sender, key, shift);
            EditorKeyUp(key, shift);
        };
        editor->OnKeyPress = [this](TObject* sender, char32_t& key) {
            if (FOldKeyPress)
                FOldKeyPress(sender, key);
            EditorKeyPress(key);
        };
        editor->OnMouseUp = [this](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
            if (FOldMouseUp)
                FOldMouseUp(sender, button, shift, x, y);
            EditorMouseUp();
        };
    }
    CompletionProposal->SetEditor(editor);
    ParameterProposal->SetEditor(editor);
}

void TCodeInsight::ReleaseEditor()
{
    if (!FAttached)
        return;
    FAttached->OnKeyUp = std::move(FOldKeyUp);
    FAttached->OnKeyPress = std::move(FOldKeyPress);
    FAttached->OnMouseUp = std::move(FOldMouseUp);
    RemoveFreeNotification(FAttached);
    FAttached = nullptr;
    FAttachedComponent = nullptr;
}

void TCodeInsight::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    // why: the editor is being destroyed; its handlers go with it and nothing of it is touched
    if (operation == TOperation::opRemove && component && component == FAttachedComponent) {
        FAttached = nullptr;
        FAttachedComponent = nullptr;
        FOldKeyUp = nullptr;
        FOldKeyPress = nullptr;
        FOldMouseUp = nullptr;
    }
}

TCodeInsight::TLanguage TCodeInsight::CurrentLanguage() const
{
    if (!FAttached)
        return lnNone;
    const TSrcCustomHighlighter* highlighter = HighlighterAtCaret(*FAttached);
    if (dynamic_cast<const TSrcPHPSyn*>(highlighter))
        return lnPHP;
    if (dynamic_cast<const TSrcHTMLSyn*>(highlighter))
        return lnHTML;
    if (dynamic_cast<const TSrcCssSyn*>(highlighter))
        return lnCSS;
    if (dynamic_cast<const TSrcXMLSyn*>(highlighter))
        return lnXML;
    return lnNone;
}

// ---- tag closing and timers

void TCodeInsight::EditorKeyPress(char32_t& key)
{
    if (key == '>' && FAttached)
        CloseTag(key);
}

void TCodeInsight::CloseTag(char32_t& key)
{
    const TLanguage language = CurrentLanguage();
    if (language != lnHTML && language != lnXML)
        return;
    TCustomSrcEdit& editor = *FAttached;
    const TBufferCoord caret = editor.GetCaretCoord();
    if (caret.CharIndex <= 1)
        return;
    const std::string line = editor.GetCaretLineText();
    const size_t before = static_cast<size_t>(caret.CharIndex - 2);
    if (before < line.size() && std::strchr("!%/?", line[before]))
        return;
    const std::optional<std::string> tag = OpenTagAt(editor.Lines(), caret);
    if (!tag)
        return;
    const TXmlElement* known = Data.FindTag(*tag);
    std::string inserted;
    if (!known || known->Attribute("endtag") == "yes")
        inserted = "></" + *tag + ">";
    else if (SelfClosingTags)
        inserted = " />";
    else
        return;
    key = 0;
    const TBufferCoord at = editor.HasSelection() ? editor.GetSelectionStart() : caret;
    editor.SetSelectedText(inserted);
    if (inserted.front() == '>')
        editor.SetCaretCoord(MakeBufferCoord(at.CharIndex + 1, at.LineNumber));
}

void TCodeInsight::EditorKeyUp(WORD& key, TShiftState)
{
    if (!FAttached)
        return;
    const TBufferCoord caret = FAttached->GetCaretCoord();
    if (key == VK_TAB || key == VK_RETURN || key == VK_SPACE) {
        if (!LastCompletionRan) {
            const TLanguage language = CurrentLanguage();
            if ((language == lnHTML && OpenTagAt(FAttached->Lines(), caret)) ||
                (language == lnCSS && InsideCSSValue(FAttached->Lines(), caret)))
                CompletionProposal->ArmTimerFor(FAttached);
        }
        LastCompletionRan = false;
    } else if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        if (CurrentLanguage() == lnPHP)
            ParameterProposal->ArmTimerFor(FAttached);
    }
}

void TCodeInsight::EditorMouseUp()
{
    if (FAttached && CurrentLanguage() == lnPHP)
        ParameterProposal->ArmTimerFor(FAttached);
}

// ---- the completion list

void TCodeInsight::CompletionProposalExecute(SrcCompletionType, TObject*, std::string& currentInput, int&, int&,
                                             bool& canExecute)
{
    const TLanguage language = CurrentLanguage();
    bool run = false;
    switch (language) {
    case lnCSS:
        run = Setting(Settings::CodeInsight::CSSCompletion);
        break;
    case lnHTML:
        run = Setting(Settings::CodeInsight::HTMLCompletion);
        break;
    case lnPHP:
        run = Setting(Settings::CodeInsight::CodeCompletion);
        break;
    default:
        break;
    }
    LastCompletionRan = run;
    canExecute = false;
    if (!run || !FAttached)
        return;
    TSrcCompletionProposal& proposal = *CompletionProposal;
    const TStrings& lines = FAttached->Lines();
    const TBufferCoord caret = FAttached->GetCaretCoord();
    TSrcCompletionOptions options = proposal.Options();
    if (language == lnHTML)
        options.Exclude(scoCaseSensitive);
    else
        options.Include(scoCaseSensitive);
    proposal.SetOptions(options);

    if (language == lnPHP) {
        SetLists(proposal, Data.PHPItems, Data.PHPInserts);
        canExecute = true;
        return;
    }
    if (language == lnCSS) {
        TakeDashedInput(proposal, *FAttached, currentInput);
        const TCSSRequest request = ScanCSSRequest(lines, caret);
        if (request.Kind == TCSSRequest::ckProperty) {
            SetLists(proposal, Data.CSSPropertyItems, Data.CSSPropertyInserts);
            canExecute = true;
        } else if (request.Kind == TCSSRequest::ckValue) {
            const TXmlElement* property = Data.FindCSSProperty(request.Property);
            if (property && Data.FillCSSValues(*property)) {
                SetLists(proposal, Data.CSSValueItems, Data.CSSValueInserts);
                canExecute = true;
            }
        }
        return;
    }
    if (currentInput.find('<') != std::string::npos) {
        SetLists(proposal, Data.HTMLTagItems, Data.HTMLTagInserts);
        canExecute = true;
        return;
    }
    if (currentInput.find('&') != std::string::npos) {
        SetLists(proposal, Data.EntityItems, Data.EntityInserts);
        canExecute = true;
        return;
    }
    const THTMLRequest request = ScanHTMLRequest(lines, caret);
    if (request.Kind == THTMLRequest::hkAttributeNames || request.Kind == THTMLRequest::hkAttributeValues)
        TakeDashedInput(proposal, *FAttached, currentInput);
    switch (request.Kind) {
    case THTMLRequest::hkTags:
        SetLists(proposal, Data.HTMLTagItems, Data.HTMLTagInserts);
        canExecute = true;
        break;
    case THTMLRequest::hkAttributeNames:
        if (const TXmlElement* tag = Data.FindTag(request.Tag); tag && Data.FillAttributeNames(*tag)) {
            SetLists(proposal, Data.HTMLAttributeItems, Data.HTMLAttributeInserts);
            canExecute = true;
        }
        break;
    case THTMLRequest::hkAttributeValues:
        if (const TXmlElement* tag = Data.FindTag(request.Tag); tag && Data.FillAttributeValues(*tag, request.Attribute)) {
            SetLists(proposal, Data.HTMLAttributeItems, Data.HTMLAttributeInserts);
            canExecute = true;
        }
        break;
    case THTMLRequest::hkNone:
        break;
    }
}

bool TCodeInsight::ChooseColor(TColor& color)
{
    if (ColorDialogHook)
        return ColorDialogHook(color);
    const QColor chosen = QColorDialog::getColor(Qt::black, FAttached ? FAttached->Widget() : nullptr);
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

void TCodeInsight::CompletionProposalCodeCompletion(TObject*, std::string& value, TShiftState, int index,
                                                    char32_t endToken)
{
    if (const size_t at = value.find("[color]"); at != std::string::npos) {
        TColor color = clBlack;
        // why: only the placeholder is replaced, so a value keeps its ";"
        if (ChooseColor(color))
            value.replace(at, 7, ColorToHtml(color));
    }
    // A PHP function chosen without typing "(" comes with its parentheses, unless they follow.
    if (!FAttached || endToken != 0 || index < 0 || index >= Data.PHPFunctionCount() ||
        CurrentLanguage() != lnPHP)
        return;
    const TBufferCoord end = FAttached->HasSelection() ? FAttached->GetSelectionEnd() : FAttached->GetCaretCoord();
    const std::string line = FAttached->Lines().Get(end.LineNumber - 1);
    const size_t next = static_cast<size_t>(end.CharIndex - 1);
    if (next >= line.size() || line[next] != '(')
        value += "()";
}

void TCodeInsight::CompletionProposalAfterCodeCompletion(TObject*, const std::string& value, TShiftState, int,
                                                         char32_t)
{
    if (!FAttached)
        return;
    const TLanguage language = CurrentLanguage();
    const TBufferCoord caret = FAttached->GetCaretCoord();
    const int start = caret.CharIndex - static_cast<int>(value.size());
    auto caretAfter = [&](size_t offset) {
        FAttached->SetCaretCoord(MakeBufferCoord(start + static_cast<int>(offset), caret.LineNumber));
    };
    const bool cssProperty = language == lnCSS && value.find(':') != std::string::npos;
    if (language == lnHTML && value.find("\"\"") != std::string::npos) {
        caretAfter(value.find("\"\"") + 1);
    } else if (!cssProperty) {
        for (const char* pair : {"()", "[]", "{}"})
            if (const size_t at = value.find(pair); at != std::string::npos) {
                caretAfter(at + 1);
                break;
            }
    }
    if (cssProperty)
        CompletionProposal->ArmTimerFor(FAttached);
}

// ---- parameter hints

void TCodeInsight::ParameterProposalExecute(SrcCompletionType, TObject*, std::string&, int&, int&, bool& canExecute)
{
    canExecute = false;
    if (!FAttached || !Setting(Settings::CodeInsight::ParameterHints))
        return;
    const std::optional<TCallAt> call = CallAt(FAttached->Lines(), FAttached->GetCaretCoord());
    if (!call)
        return;
    const int index = Data.FindPHPName(call->Name);
    if (index < 0)
        return;
    TStringList hint;
    hint.Add(ParameterHintLine(Data.PHPItems.Get(index)));
    if (index < Data.PHPFunctionCount() && Setting(Settings::CodeInsight::DisplayDescription)) {
        const std::string description = Data.PHPDescriptions.Get(index);
        if (!description.empty())
            hint.Add(StringReplace(PrettyEscaped(description), " ", NonBreakingSpace, {rfReplaceAll}));
    }
    ParameterProposal->SetCurrentIndex(call->ParameterIndex);
    ParameterProposal->SetItemList(hint);
    canExecute = true;
}

void TCodeInsight::ParameterProposalMeasureItem(TObject*, int, TCanvas&, int& itemWidth)
{
    itemWidth += 20;
}
