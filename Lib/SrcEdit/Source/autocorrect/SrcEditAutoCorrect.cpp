// Auto-correction of the word before the caret, of the line the caret left, and the item file.

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"
#include "Platform/files/SafeFileStream.h"

#include <QChar>
#include <QString>

namespace {

// Letters and digits end no word; every other character that types something does.
bool IsWordChar(char32_t c)
{
    if (c <= 32)
        return false;
    if (c < 128)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return QChar::isLetterOrNumber(c);
}

char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// First character upper case, the rest lower case; ASCII letters only.
std::string TitleCase(std::string_view text)
{
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = i == 0 ? AsciiUpper(out[i]) : AsciiLower(out[i]);
    return out;
}

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

TCustomSrcAutoCorrect::TCustomSrcAutoCorrect(TComponent* AOwner) : TComponent(AOwner) {}

TCustomSrcAutoCorrect::~TCustomSrcAutoCorrect()
{
    DetachEditor();
}

void TCustomSrcAutoCorrect::SetEditor(TCustomSrcEdit* editor)
{
    if (editor == FEditor)
        return;
    DetachEditor();
    if (!editor)
        return;
    FEditor = editor;
    FEditorComponent = editor;
    FreeNotification(editor);
    editor->HookCommandHandler(MakeMethod(this, &TCustomSrcAutoCorrect::CommandHook), nullptr);
    editor->AddMouseDownHandler(MakeMethod(this, &TCustomSrcAutoCorrect::EditorMouseDown));
}

void TCustomSrcAutoCorrect::DetachEditor()
{
    if (!FEditor)
        return;
    FEditor->RemoveMouseDownHandler(MakeMethod(this, &TCustomSrcAutoCorrect::EditorMouseDown));
    FEditor->UnhookCommandHandler(MakeMethod(this, &TCustomSrcAutoCorrect::CommandHook));
    RemoveFreeNotification(FEditor);
    FEditor = nullptr;
    FEditorComponent = nullptr;
}

void TCustomSrcAutoCorrect::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    // why: the editor is being destroyed; its handler lists are gone already
    if (operation == TOperation::opRemove && component && component == FEditorComponent) {
        FEditor = nullptr;
        FEditorComponent = nullptr;
    }
}

// ---- items

std::string TCustomSrcAutoCorrect::ItemOriginal(int index) const
{
    const std::string item = FItems.Get(index);
    const size_t sep = item.rfind(ItemSepChar);
    return sep == std::string::npos ? item : item.substr(0, sep);
}

std::string TCustomSrcAutoCorrect::ItemCorrection(int index) const
{
    const std::string item = FItems.Get(index);
    const size_t sep = item.rfind(ItemSepChar);
    return sep == std::string::npos ? std::string() : item.substr(sep + 1);
}

bool TCustomSrcAutoCorrect::LoadItemsFromFile(const std::string& fileName)
{
    if (!FileExists(fileName))
        return false;
    const std::string bytes = ReadFileBytes(fileName);
    // why: TStrings::SetText ends at a NUL byte; the file's items keep every byte they hold
    TStringList items;
    size_t i = 0;
    while (i < bytes.size()) {
        const size_t start = i;
        while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            ++i;
        items.Add(bytes.substr(start, i - start));
        if (i < bytes.size() && bytes[i] == '\r')
            ++i;
        if (i < bytes.size() && bytes[i] == '\n')
            ++i;
    }
    FItems.Assign(items);
    return true;
}

void TCustomSrcAutoCorrect::SaveItemsToFile(const std::string& fileName) const
{
    std::string bytes;
    for (int i = 0; i < FItems.Count(); ++i)
        bytes += FItems.Get(i) + "\r\n";
    SaveFileAtomically(fileName, bytes);
}

// ---- matching and case

bool TCustomSrcAutoCorrect::SameOriginal(std::string_view a, std::string_view b) const
{
    if (!Options.Contains(ascoIgnoreCase))
        return a == b;
    return QStr(a).toUpper() == QStr(b).toUpper();
}

std::string TCustomSrcAutoCorrect::CasedCorrection(int index, const std::string& matched) const
{
    const std::string correction = ItemCorrection(index);
    if (!Options.Contains(ascoMaintainCase))
        return correction;
    const QString text = QStr(matched);
    if (text == text.toUpper())
        return StdStr(QStr(correction).toUpper());
    if (text == text.toLower())
        return StdStr(QStr(correction).toLower());
    if (matched == TitleCase(matched))
        return TitleCase(correction);
    return correction;
}

// ---- the keyboard path

std::string TCustomSrcAutoCorrect::WordBeforeCaret() const
{
    const std::string line = FEditor->GetCaretLineText();
    const int caret = FEditor->CaretChar();
    if (caret - 1 > static_cast<int>(line.size()))
        return {};
    const size_t end = static_cast<size_t>(caret - 1);
    size_t start = end;
    while (start > 0 && !IsBlank(line[start - 1]))
        --start;
    return line.substr(start, end - start);
}

void TCustomSrcAutoCorrect::CommandHook(TObject*, bool AfterProcessing, bool& Handled, TSrcEditorCommand& Command,
                                        char32_t& AChar, void*, void*)
{
    if (AfterProcessing || Handled || !Enabled || !FEditor)
        return;
    FPreviousLine = FEditor->CaretLine();
    // why: a control character types nothing, so it ends no word (Escape closes a hint)
    const bool endsWord = Command == ecLineBreak || Command == ecTab ||
                          (Command == ecChar && AChar >= 32 && !IsWordChar(AChar));
    if (!endsWord)
        return;
    const std::string word = WordBeforeCaret();
    if (word.empty())
        return;
    for (int i = 0; i < FItems.Count(); ++i)
        if (CorrectWordAtCaret(i, word))
            break;
    if (OnCorrected)
        OnCorrected(this);
}

bool TCustomSrcAutoCorrect::CorrectWordAtCaret(int index, const std::string& word)
{
    if (FEditor->ReadOnly())
        return false;
    const std::string original = ItemOriginal(index);
    if (original.empty() || !SameOriginal(word, original))
        return false;
    const std::string correction = CasedCorrection(index, word);
    const TBufferCoord caret = FEditor->GetCaretCoord();
    TAutoCorrectAction action = TAutoCorrectAction::aaCorrect;
    if (OnAutoCorrect)
        OnAutoCorrect(this, original, correction, caret.LineNumber, caret.CharIndex, action);
    if (action == TAutoCorrectAction::aaAbort)
        return true;
    FEditor->LockPainting();
    try {
        FEditor->SetActiveSelectionMode(TSrcSelectionMode::smNormal);
        FEditor->SetSelectionStart(
            MakeBufferCoord(caret.CharIndex - static_cast<int>(word.size()), caret.LineNumber));
        FEditor->SetSelectionEnd(caret);
        FEditor->SetSelectedText(correction);
    } catch (...) {
        FEditor->UnlockPainting();
        throw;
    }
    FEditor->UnlockPainting();
    return true;
}

// ---- the mouse path

bool TCustomSrcAutoCorrect::CorrectText(int index, std::string& text) const
{
    const std::string original = ItemOriginal(index);
    if (original.empty() || IsBlank(original.front()))
        return false;
    const std::string correction = ItemCorrection(index);
    std::string out;
    bool changed = false;
    size_t last = 0;
    size_t p = 0;
    while (p + original.size() <= text.size()) {
        const bool starts = p == 0 || IsBlank(text[p - 1]);
        const size_t end = p + original.size();
        if (starts && (end == text.size() || IsBlank(text[end]))) {
            const std::string matched = text.substr(p, original.size());
            if (SameOriginal(matched, original)) {
                out += text.substr(last, p - last);
                out += CasedCorrection(index, matched);
                last = end;
                p = end;
                changed = true;
                continue;
            }
        }
        ++p;
    }
    if (!changed)
        return false;
    out += text.substr(last);
    text = std::move(out);
    return true;
}

void TCustomSrcAutoCorrect::EditorMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    if (!FEditor || !Options.Contains(ascoCorrectOnMouseDown) || !Enabled || FPreviousLine < 1 ||
        FEditor->ReadOnly() || FPreviousLine > FEditor->Lines().Count())
        return;
    const std::string oldText = FEditor->Lines().Get(FPreviousLine - 1);
    for (int i = 0; i < FItems.Count(); ++i) {
        std::string newText = oldText;
        if (!CorrectText(i, newText))
            continue;
        TAutoCorrectAction action = TAutoCorrectAction::aaCorrect;
        if (OnAutoCorrect)
            OnAutoCorrect(this, oldText, newText, FEditor->CaretLine(), 0, action);
        if (action == TAutoCorrectAction::aaAbort)
            return;
        FEditor->LockPainting();
        try {
            FEditor->SetActiveSelectionMode(TSrcSelectionMode::smNormal);
            FEditor->SetSelectionStart(MakeBufferCoord(1, FPreviousLine));
            FEditor->SetSelectionEnd(MakeBufferCoord(static_cast<int>(oldText.size()) + 1, FPreviousLine));
            FEditor->SetSelectedText(newText);
        } catch (...) {
            FEditor->UnlockPainting();
            throw;
        }
        FEditor->UnlockPainting();
        if (OnCorrected)
            OnCorrected(this);
        return;
    }
}
