#include "code/zuPHPParser.h"

#include "Platform/text/TextUtils.h"

#include <string_view>
#include <unordered_map>

namespace {

bool IsNameChar(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 127;
}

bool IsWordChar(char c)
{
    return c == '$' || IsNameChar(c);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

enum class TMode { None, Class, Function, Var, Include };

struct TClassRec {
    bool ReadingName = false;
    std::string FollowingWord;
    std::string Name;
    std::string ParentName;
    bool ReadingParent = false;
    bool InBody = false;
    int Column = 0;
    int Line = 0;
    bool Ready = false;
    // interface, trait and enum: without a name it was no declaration ("enum($x)").
    bool NeedsName = false;
};

struct TFuncRec {
    bool ReadingName = false;
    std::string Name;
    bool InParams = false;
    std::string Params;
    std::string Pending;
    int Column = 0;
    int Line = 0;
    bool Ready = false;
    // why: a default such as array() or new Foo() holds parentheses of its own.
    int Depth = 0;
};

struct TVarRec {
    std::string Name;
    std::string Default;
    bool InDefault = false;
    int Column = 0;
    int Line = 0;
    bool Ready = false;
    std::string Pending;
    int Depth = 0;
};

struct TIncRec {
    std::string Keyword;
    std::string Path;
    std::string Pending;
    int Column = 0;
    int Line = 0;
    bool Ready = false;
};

class TScanner {
public:
    TPHPPageRef Page = std::make_shared<TPHPPage>();

    void ScanLine(std::string_view line, int lineNumber);

private:
    void WordEnd(int column, std::string_view endText);
    void ModeChar(char c, int index);
    void ClassChar(char c);
    void ClassBraceCheck(char c);
    void FunctionChar(char c);
    void VarChar(char c, int index);
    void CompleteVar();
    void IncludeChar(char c);
    void AddItem(std::unique_ptr<TPHPCaret> item, int column, int line);
    bool StartHeredoc(std::string_view line, size_t at);
    size_t EndOfHeredoc(std::string_view line);

    int FLine = 0;
    bool FInPHP = false;
    bool FInString = false;
    char FQuote = 0;
    std::string FLiteral;
    bool FEscape = false;
    bool FInBlockComment = false;
    bool FInLineComment = false;
    std::string FWord;
    // why: "Foo::class" and "$x->include()" name things; they declare nothing.
    bool FWordIsMember = false;
    std::string FHeredocLabel;
    TMode FMode = TMode::None;
    int FBraceDepth = 0;
    TPHPClass* FCurrentClass = nullptr;
    TClassRec FClass;
    TFuncRec FFunc;
    TVarRec FVar;
    TIncRec FInc;
};

void TScanner::AddItem(std::unique_ptr<TPHPCaret> item, int column, int line)
{
    item->Column = column;
    item->Line = line;
    if (FClass.InBody && FCurrentClass)
        FCurrentClass->Members.Add(std::move(item));
    else
        Page->Add(std::move(item));
}

void TScanner::WordEnd(int column, std::string_view endText)
{
    if (FWordIsMember)
        return;
    const bool named = FWord == "interface" || FWord == "trait" || FWord == "enum";
    if ((FWord == "class" || named) && !FClass.InBody) {
        FMode = TMode::Class;
        FClass.Name.clear();
        FClass.ParentName.clear();
        FClass.FollowingWord.clear();
        FClass.ReadingName = true;
        FClass.ReadingParent = false;
        FClass.Ready = false;
        FClass.NeedsName = named;
        FClass.Column = column;
        FClass.Line = FLine;
        FBraceDepth = 1;
    } else if (FWord == "var" && FClass.InBody) {
        FMode = TMode::Var;
        FVar.Name.clear();
        FVar.Default.clear();
        FVar.InDefault = false;
        FVar.Ready = false;
        FVar.Depth = 0;
        FVar.Column = column;
        FVar.Line = FLine;
    } else if (FWord == "function") {
        FMode = TMode::Function;
        FFunc.Name.clear();
        FFunc.Params.clear();
        FFunc.Pending.clear();
        // why: "function($x)" is a closure as much as "function ($x)" is.
        FFunc.InParams = endText == "(";
        FFunc.ReadingName = !FFunc.InParams;
        FFunc.Ready = false;
        FFunc.Depth = 0;
        FFunc.Column = column;
        FFunc.Line = FLine;
    } else if (FWord == "include" || FWord == "include_once" || FWord == "require" || FWord == "require_once") {
        FMode = TMode::Include;
        FInc.Keyword = FWord;
        FInc.Path = endText;
        FInc.Pending.clear();
        FInc.Ready = false;
        FInc.Column = column;
        FInc.Line = FLine;
    }
}

void TScanner::ClassBraceCheck(char c)
{
    if (c == '{') {
        FClass.InBody = true;
        FClass.Ready = true;
        FMode = TMode::None;
    } else if (c == ';') {
        FMode = TMode::None;
        FClass.InBody = false;
    }
}

void TScanner::ClassChar(char c)
{
    const auto readName = [&](std::string& name, bool& reading, bool namespaced) {
        if (IsNameChar(c) || (namespaced && c == '\\'))
            name += c;
        else if (IsBlank(c)) {
            if (!name.empty())
                reading = false;
        } else {
            reading = false;
            if (FClass.NeedsName && FClass.Name.empty()) {
                FMode = TMode::None;
                return;
            }
            ClassBraceCheck(c);
        }
    };
    if (FClass.ReadingName)
        readName(FClass.Name, FClass.ReadingName, false);
    else if (FClass.ReadingParent) {
        readName(FClass.ParentName, FClass.ReadingParent, true);
        // why: "interface I extends J, K" names more than one parent; the first one stays.
        if (!FClass.ReadingParent)
            FClass.FollowingWord.clear();
    }
    else if (IsNameChar(c))
        FClass.FollowingWord += c;
    else if (IsBlank(c)) {
        if (FClass.FollowingWord == "extends")
            FClass.ReadingParent = true;
    } else
        ClassBraceCheck(c);
    if (FClass.Ready) {
        FClass.Ready = false;
        auto item = std::make_unique<TPHPClass>(FClass.Name, FClass.ParentName);
        item->Column = FClass.Column;
        item->Line = FClass.Line;
        FCurrentClass = item.get();
        Page->Add(std::move(item));
    }
}

void TScanner::FunctionChar(char c)
{
    if (FFunc.ReadingName) {
        if (IsNameChar(c) || c == '&')
            FFunc.Name += c;
        else if (IsBlank(c)) {
            if (!FFunc.Name.empty())
                FFunc.ReadingName = false;
        } else {
            FFunc.ReadingName = false;
            FFunc.InParams = c == '(';
        }
    } else if (FFunc.InParams) {
        if (!FFunc.Pending.empty()) {
            FFunc.Params += '\0';
            FFunc.Params += FFunc.Pending;
            FFunc.Params += '\0';
            FFunc.Pending.clear();
        }
        if (c == ')' && FFunc.Depth == 0) {
            FFunc.Ready = true;
            FMode = TMode::None;
        } else if (c == ';' || c == '{' || c == '}') {
            FMode = TMode::None;
        } else {
            if (c == '(')
                ++FFunc.Depth;
            else if (c == ')')
                --FFunc.Depth;
            FFunc.Params += c;
        }
    } else if (c == '{' || c == ';')
        FMode = TMode::None;
    else if (c == '(')
        FFunc.InParams = true;
    if (FFunc.Ready) {
        FFunc.Ready = false;
        AddItem(std::make_unique<TPHPFunction>(FFunc.Name, FFunc.Params), FFunc.Column, FFunc.Line);
    }
}

void TScanner::CompleteVar()
{
    FVar.Default += FVar.Pending;
    FVar.Pending.clear();
    if (!FVar.Default.empty())
        FVar.Name += " = " + FVar.Default;
    FVar.Ready = true;
    FVar.Line = FLine;
}

void TScanner::VarChar(char c, int index)
{
    if (IsWordChar(c) && !FVar.InDefault) {
        if (c == '$')
            FVar.Column = index + 1;
        FVar.Name += c;
    } else if (c == ';') {
        if (!FVar.Name.empty())
            CompleteVar();
        FMode = TMode::None;
    } else if (c == ',' && FVar.Depth == 0) {
        if (!FVar.Name.empty())
            CompleteVar();
    } else if (FVar.InDefault) {
        FVar.Default += FVar.Pending;
        FVar.Pending.clear();
        FVar.Default += c;
        if (c == '(' || c == '[')
            ++FVar.Depth;
        else if (c == ')' || c == ']')
            --FVar.Depth;
    } else if (c == '=')
        FVar.InDefault = true;
    if (FVar.Ready) {
        if (FClass.InBody && FCurrentClass) {
            auto item = std::make_unique<TPHPVar>(FVar.Name);
            item->Column = FVar.Column;
            item->Line = FVar.Line;
            FCurrentClass->Members.Add(std::move(item));
        }
        FVar.Name.clear();
        FVar.Default.clear();
        FVar.Ready = false;
        FVar.InDefault = false;
        FVar.Depth = 0;
    }
}

void TScanner::IncludeChar(char c)
{
    FInc.Path += FInc.Pending;
    FInc.Pending.clear();
    if (c == ';') {
        FInc.Ready = true;
        FMode = TMode::None;
    } else if (c == '{' || c == '}')
        FMode = TMode::None;
    else
        FInc.Path += c;
    if (FInc.Ready) {
        FInc.Ready = false;
        if (!Trim(FInc.Path).empty())
            AddItem(std::make_unique<TPHPInclude>(FInc.Path, FInc.Keyword), FInc.Column, FInc.Line);
    }
}

void TScanner::ModeChar(char c, int index)
{
    switch (FMode) {
    case TMode::Class: ClassChar(c); break;
    case TMode::Function: FunctionChar(c); break;
    case TMode::Var: VarChar(c, index); break;
    case TMode::Include: IncludeChar(c); break;
    case TMode::None: break;
    }
}

// "<<<LABEL", "<<<'LABEL'" or "<<<\"LABEL\"" with nothing after it on the line.
bool TScanner::StartHeredoc(std::string_view line, size_t at)
{
    size_t i = at + 3;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    char quote = 0;
    if (i < line.size() && (line[i] == '\'' || line[i] == '"'))
        quote = line[i++];
    const size_t start = i;
    if (i >= line.size() || !IsNameChar(line[i]) || (line[i] >= '0' && line[i] <= '9'))
        return false;
    while (i < line.size() && IsNameChar(line[i]))
        ++i;
    const std::string_view label = line.substr(start, i - start);
    if (quote != 0) {
        if (i >= line.size() || line[i] != quote)
            return false;
        ++i;
    }
    while (i < line.size() && (IsBlank(line[i]) || line[i] == '\r'))
        ++i;
    if (i != line.size())
        return false;
    FHeredocLabel = label;
    return true;
}

// Where scanning goes on in a line of a heredoc's body: after its closing label (which may be
// indented), or the end of the line while the body goes on.
size_t TScanner::EndOfHeredoc(std::string_view line)
{
    size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    const size_t end = i + FHeredocLabel.size();
    if (line.substr(i, FHeredocLabel.size()) == FHeredocLabel && (end == line.size() || !IsNameChar(line[end]))) {
        FHeredocLabel.clear();
        return end;
    }
    return line.size();
}

void TScanner::ScanLine(std::string_view line, int lineNumber)
{
    FLine = lineNumber;
    WordEnd(2, {});
    FWord.clear();
    FWordIsMember = false;
    FInLineComment = false;
    size_t i = FHeredocLabel.empty() ? 0 : EndOfHeredoc(line);
    for (; i < line.size(); ++i) {
        const char c = line[i];
        const char d = i + 1 < line.size() ? line[i + 1] : '\0';
        const int index = static_cast<int>(i) + 1;
        if (!FInPHP) {
            if (c == '?' && i > 0 && line[i - 1] == '<') {
                FInPHP = true;
                if (line.substr(i + 1, 3) == "php")
                    i += 3;
            }
            continue;
        }
        if (FInString) {
            FLiteral += c;
            if (c == FQuote && !FEscape) {
                FInString = false;
                if (FMode == TMode::Function)
                    FFunc.Pending = FLiteral;
                else if (FMode == TMode::Include)
                    FInc.Pending = FLiteral;
                else if (FMode == TMode::Var)
                    FVar.Pending = FLiteral;
            } else
                FEscape = c == '\\' && !FEscape;
            continue;
        }
        if (FInBlockComment) {
            if (c == '*' && d == '/') {
                FInBlockComment = false;
                ++i;
            }
            continue;
        }
        if (c == '?' && d == '>') {
            if (FMode == TMode::Include)
                IncludeChar(';');
            FInPHP = false;
            FInLineComment = false;
            FMode = TMode::None;
            ++i;
            continue;
        }
        if ((c == '"' || c == '\'') && !FInLineComment) {
            FInString = true;
            FQuote = c;
            FLiteral.assign(1, c);
            FEscape = false;
            continue;
        }
        // why: "#[" opens an attribute, not a comment.
        if ((c == '#' && d != '[') || (c == '/' && d == '/')) {
            FInLineComment = true;
            continue;
        }
        if (c == '/' && d == '*' && !FInLineComment) {
            FInBlockComment = true;
            ++i;
            continue;
        }
        if (FInLineComment)
            continue;
        if (FClass.InBody) {
            if (c == '{')
                ++FBraceDepth;
            else if (c == '}' && --FBraceDepth == 0)
                FClass.InBody = false;
        }
        if (FMode != TMode::None)
            ModeChar(c, index);
        else if (IsWordChar(c)) {
            if (FWord.empty())
                FWordIsMember = i >= 2 && (line.substr(i - 2, 2) == "->" || line.substr(i - 2, 2) == "::");
            FWord += c;
        } else {
            WordEnd(index + 1, std::string_view(&line[i], 1));
            FWord.clear();
            FWordIsMember = false;
        }
        // why: a heredoc's body is text, whatever quotes, comment marks or "?>" it holds.
        if (c == '<' && d == '<' && i + 2 < line.size() && line[i + 2] == '<' && StartHeredoc(line, i))
            break;
    }
}

} // namespace

void CarryOverViewState(TPHPPage& page, const TPHPPage& previous)
{
    // why: a search of the previous page per item is quadratic, and files with hundreds of
    // thousands of functions exist.
    std::unordered_map<std::string_view, const TPHP*> firstByName;
    firstByName.reserve(static_cast<size_t>(previous.Count()));
    for (int i = 0; i < previous.Count(); ++i) {
        const TPHP* item = previous.Items(i);
        firstByName.try_emplace(item->Name, item);
    }
    for (int i = 0; i < page.Count(); ++i) {
        auto* item = dynamic_cast<TPHPCaret*>(page.Items(i));
        if (!item)
            continue;
        const auto found = firstByName.find(item->Name);
        if (found == firstByName.end())
            continue;
        if (const auto* old = dynamic_cast<const TPHPCaret*>(found->second))
            item->Expanded = old->Expanded;
    }
    page.ScrollOffset = previous.ScrollOffset;
}

TPHPPageRef ScanPHPPage(const std::vector<std::string>& lines, const TPHPPage* previous, const std::atomic<bool>* stop)
{
    TScanner scanner;
    for (size_t n = 0; n < lines.size(); ++n) {
        if (stop && stop->load(std::memory_order_relaxed))
            break;
        scanner.ScanLine(lines[n], static_cast<int>(n) + 1);
    }
    if (previous)
        CarryOverViewState(*scanner.Page, *previous);
    return scanner.Page;
}
