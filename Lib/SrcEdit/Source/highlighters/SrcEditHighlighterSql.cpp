// The SQL highlighter: a dispatch on the first byte of a token, words looked up in a keyword hash
// list that the dialect's word lists and the user's table names fill.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include "Platform/text/TextUtils.h"

namespace {

using K = TSqlTokenKind;

// Letters, digits, '_', '#' and '$' form words; '_' hashes as 1, the letters as 2 to 27 in either
// case, every other byte as 0.
constexpr std::array<bool, 256> CommonIdent = [] {
    std::array<bool, 256> t = AsciiWordBytes();
    t['#'] = t['$'] = true;
    return t;
}();
constexpr std::array<unsigned char, 256> CommonValue = [] {
    std::array<unsigned char, 256> t{};
    t['_'] = 1;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = t[c - 'A' + 'a'] = static_cast<unsigned char>(c - 'A' + 2);
    return t;
}();

// why: SQL Server names its system functions "@@ERROR" and the like, so '@' belongs to its words
constexpr std::array<bool, 256> ServerIdent = [] {
    std::array<bool, 256> t = CommonIdent;
    t['@'] = true;
    return t;
}();
constexpr std::array<unsigned char, 256> ServerValue = [] {
    std::array<unsigned char, 256> t = CommonValue;
    t['@'] = 28;
    return t;
}();

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcSQLSyn::StaticClass()), true);

} // namespace

TSrcSQLSyn::TSrcSQLSyn(TComponent* AOwner)
    : TSrcLineTokenizer(AOwner, BuiltInFilter), FKeywords(std::make_unique<TSrcHashEntryList>())
{
    FTableNames.OnChange = [this](TObject*) { Reload(); };
    FCommentAttri = AddAttri("Comment", {fsItalic});
    FConditionalCommentAttri = AddAttri("Conditional Comment", {fsItalic});
    FDataTypeAttri = AddAttri("Data Type", {fsBold});
    FDefaultPackageAttri = AddAttri("Default Packages", {fsBold});
    FDelimitedIdentifierAttri = AddAttri("Delimited Identifier");
    FExceptionAttri = AddAttri("Exception", {fsItalic});
    FFunctionAttri = AddAttri("Function", {fsBold});
    FIdentifierAttri = AddAttri("Identifier");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNumberAttri = AddAttri("Number");
    FPLSQLAttri = AddAttri("PL/SQL Reserved Word", {fsBold});
    FSpaceAttri = AddAttri("Space");
    FSQLPlusAttri = AddAttri("SQL*Plus Command", {fsBold});
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    FTableNameAttri = AddAttri("Table Name");
    FVariableAttri = AddAttri("Variable");
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .String = FStringAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    Reload();
}

TSrcSQLSyn::~TSrcSQLSyn()
{
    // why: the list's change event must not reach a highlighter that is going away
    FTableNames.OnChange = nullptr;
}

const TSrcHighlighterClass& TSrcSQLSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcSQLSyn", [] { return std::string("SQL"); });
    return cls;
}

void TSrcSQLSyn::Assign(const TPersistent& source)
{
    TSrcLineTokenizer::Assign(source);
    if (auto sql = dynamic_cast<const TSrcSQLSyn*>(&source))
        SetSQLDialect(sql->SQLDialect());
}

TSrcCharSet TSrcSQLSyn::IdentifierChars() const
{
    TSrcCharSet chars = TSrcLineTokenizer::IdentifierChars();
    if (IsSqlServer())
        chars |= CharSetOf("@");
    if (FDialect == sqlOracle)
        chars |= CharSetOf("#$");
    return chars;
}

std::string TSrcSQLSyn::SampleText() const
{
    return std::string(SrcSqlTables::SampleText(FDialect));
}

void TSrcSQLSyn::SetSQLDialect(TSQLDialect value)
{
    if (value == FDialect)
        return;
    FDialect = value;
    Reload();
}

void TSrcSQLSyn::SetTableNames(const TStrings& value)
{
    FTableNames.Assign(value);
}

void TSrcSQLSyn::Reload()
{
    static constexpr TWordTables Common{CommonIdent, CommonValue};
    static constexpr TWordTables Server{ServerIdent, ServerValue};
    FKeywords->Clear();
    FTables = IsSqlServer() ? &Server : &Common;
    TSrcCharSet separators = IdentifierChars();
    if (FDialect == sqlStandard)
        separators |= CharSetOf("-");
    for (const SrcSqlTables::TWordList& list : SrcSqlTables::WordLists(FDialect))
        EnumerateKeywords(static_cast<int>(list.Kind), list.Words, separators, [this](const std::string& word, int kind) {
            size_t length = 0;
            FKeywords->Add(WordHash(word, length), std::make_unique<TSrcHashEntry>(word, kind));
        });
    for (int i = 0; i < FTableNames.Count(); ++i) {
        const std::string name = FTableNames.Get(i);
        if (name.empty())
            continue;
        size_t length = 0;
        const int hash = WordHash(name, length);
        bool known = false;
        for (const TSrcHashEntry* e = FKeywords->Get(hash); e && !known; e = e->Next())
            known = SameText(e->Keyword(), name);
        // invariant: a table name that is also a keyword keeps the keyword's kind
        if (!known)
            FKeywords->Add(hash, std::make_unique<TSrcHashEntry>(name, static_cast<int>(K::tkTableName)));
    }
    NotifyAttriChange(nullptr);
}

int TSrcSQLSyn::WordHash(std::string_view text, size_t& length) const
{
    std::uint32_t hash = 0;
    size_t i = 0;
    while (i < text.size() && FTables->Ident[static_cast<unsigned char>(text[i])]) {
        hash = 2 * hash + FTables->Value[static_cast<unsigned char>(text[i])];
        ++i;
    }
    length = i;
    return static_cast<int>(hash & 0xFF);
}

TSqlTokenKind TSrcSQLSyn::Lookup(std::string_view text, size_t& length) const
{
    const int hash = WordHash(text, length);
    const std::string_view word = text.substr(0, length);
    for (const TSrcHashEntry* e = FKeywords->Get(hash); e; e = e->Next()) {
        // invariant: a chain is ordered by length
        if (static_cast<size_t>(e->Length()) > length)
            break;
        // why: words compare by the common values, so digits, '#', '$' and '@' all match one another
        if (SameValues(e->Keyword(), word, CommonValue))
            return static_cast<K>(e->Kind());
    }
    return K::tkIdentifier;
}

bool TSrcSQLSyn::IsReservedWord(const std::string& word) const
{
    size_t length = 0;
    switch (Lookup(word, length)) {
    case K::tkDatatype:
    case K::tkDefaultPackage:
    case K::tkException:
    case K::tkFunction:
    case K::tkKey:
    case K::tkPLSQL: return true;
    default: return false;
    }
}

void TSrcSQLSyn::RestoreRange(TSrcRange range)
{
    // invariant: values CurrentRange did not return fall back to the start state
    FRange = range <= rsSqlConditionalComment ? range : rsSqlNormal;
}

TSrcHighlighterAttributes* TSrcSQLSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkDatatype: return FDataTypeAttri;
    case K::tkDefaultPackage: return FDefaultPackageAttri;
    case K::tkException: return FExceptionAttri;
    case K::tkFunction: return FFunctionAttri;
    case K::tkIdentifier: return FIdentifierAttri;
    case K::tkKey: return FKeyAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkPLSQL: return FPLSQLAttri;
    case K::tkSQLPlus: return FSQLPlusAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkTableName: return FTableNameAttri;
    case K::tkUnknown: return FIdentifierAttri;
    case K::tkVariable: return FVariableAttri;
    case K::tkConditionalComment: return FConditionalCommentAttri;
    case K::tkDelimitedIdentifier: return FDelimitedIdentifierAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcSQLSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    if (c == 0) {
        FTokenKind = K::tkNull;
        return;
    }
    if (c == 10 || c == 13) {
        FTokenKind = K::tkSpace;
        SkipLineBreak();
        return;
    }
    if (FRange == rsSqlComment || FRange == rsSqlConditionalComment)
        return ScanCommentRest();
    if (FRange == rsSqlString)
        return ScanString(true);
    if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
        ScanWord();
    } else if (IsDigit(c)) {
        ScanNumber();
    } else if (c == '\'') {
        ScanString(false);
    } else if (c == '"') {
        ScanDelimited('"');
    } else if (c == '`' && FDialect == sqlMySQL) {
        ScanDelimited('`');
    } else if (c == '[' && IsSqlServer()) {
        ScanDelimited(']');
    } else if (c == '#' && FDialect == sqlMySQL) {
        ScanLineComment(K::tkComment);
    } else if (c == '-' && At(FRun + 1) == '-') {
        ScanLineComment(K::tkComment);
    } else if (c == '/') {
        ScanSlash();
    } else if (c == ':' || c == '@') {
        ScanVariable(c);
    } else if (c == '#' || c == '$' || c == '\\' || c == '`' || c >= 127) {
        FTokenKind = K::tkUnknown;
        SkipChar();
    } else {
        ScanSymbol(c);
    }
}

void TSrcSQLSyn::ScanWord()
{
    size_t length = 0;
    FTokenKind = Lookup(FLine.substr(FRun), length);
    FRun += length;
    // why: the Oracle comment words ("REM" ...) make the rest of their line a comment
    if (FTokenKind == K::tkComment)
        ScanLineComment(K::tkComment);
}

void TSrcSQLSyn::ScanNumber()
{
    FTokenKind = K::tkNumber;
    ++FRun;
    for (;;) {
        const unsigned char c = At(FRun);
        if (c == '.' && At(FRun + 1) == '.')
            return;
        if (!IsDigit(c) && c != '.' && c != '-')
            return;
        ++FRun;
    }
}

// A quoted string up to its closing quote or the line end, where it stays open for the next
// line. A line that continues a string and starts with a quote closes it at once.
void TSrcSQLSyn::ScanString(bool continued)
{
    FTokenKind = K::tkString;
    if (continued && At(FRun) == '\'') {
        ++FRun;
        FRange = rsSqlNormal;
        return;
    }
    FRange = rsSqlString;
    ++FRun;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c != '\'')
            continue;
        // why: in MySQL a quote after an odd run of backslashes is escaped; an even run ("\\")
        // is escaped backslashes, and the quote after it closes the string
        if (FDialect == sqlMySQL && EscapedByBackslashes(FRun - 1))
            continue;
        FRange = rsSqlNormal;
        return;
    }
}

// A quoted name up to `close`, where a doubled `close` stands for one; it ends at the line end.
void TSrcSQLSyn::ScanDelimited(unsigned char close)
{
    FTokenKind = K::tkDelimitedIdentifier;
    ++FRun;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == close) {
            if (At(FRun) != close)
                return;
            ++FRun;
        }
    }
}

void TSrcSQLSyn::ScanLineComment(TSqlTokenKind kind)
{
    FTokenKind = kind;
    while (!IsLineEnd(At(FRun)))
        ++FRun;
}

void TSrcSQLSyn::ScanSlash()
{
    const unsigned char next = At(FRun + 1);
    if (next == '*') {
        FRange = FDialect == sqlMySQL && At(FRun + 2) == '!' ? rsSqlConditionalComment : rsSqlComment;
        // why: the search for "*/" starts after the opener's '*', so "/*/" stays open
        FRun += 2;
        ScanCommentRest();
        return;
    }
    FTokenKind = K::tkSymbol;
    FRun += next == '=' ? 2 : 1;
}

void TSrcSQLSyn::ScanCommentRest()
{
    FTokenKind = FRange == rsSqlConditionalComment ? K::tkConditionalComment : K::tkComment;
    while (!IsLineEnd(At(FRun))) {
        if (At(FRun) == '*' && At(FRun + 1) == '/') {
            FRun += 2;
            FRange = rsSqlNormal;
            return;
        }
        ++FRun;
    }
}

void TSrcSQLSyn::ScanVariable(unsigned char c)
{
    if (c == '@' && IsSqlServer() && At(FRun + 1) == '@')
        return ScanWord();
    const bool symbol = c == '@' ? FDialect == sqlMySQL || FDialect == sqlOracle
                                 : FDialect != sqlOracle && FDialect != sqlIngres;
    if (symbol) {
        FTokenKind = K::tkSymbol;
        ++FRun;
        return;
    }
    FTokenKind = K::tkVariable;
    ++FRun;
    while (FTables->Ident[At(FRun)])
        ++FRun;
}

void TSrcSQLSyn::ScanSymbol(unsigned char c)
{
    FTokenKind = K::tkSymbol;
    const unsigned char next = At(FRun + 1);
    size_t length = 1;
    switch (c) {
    case '=': length = next == '=' || next == '>' ? 2 : 1; break;
    case '>': length = next == '=' || next == '>' ? 2 : 1; break;
    case '<':
        if (next == '=')
            length = 2;
        else if (next == '<')
            length = At(FRun + 2) == '=' ? 3 : 2;
        break;
    case '+':
    case '&':
    case '|': length = next == c || next == '=' ? 2 : 1; break;
    case '!':
    case '%':
    case '*':
    case '^': length = next == '=' ? 2 : 1; break;
    default: break;
    }
    FRun += length;
}
