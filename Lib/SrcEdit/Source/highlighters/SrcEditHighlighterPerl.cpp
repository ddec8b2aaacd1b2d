// The Perl highlighter: a dispatch on the first byte of a token, punctuation variables and
// operators by their longest form, and words looked up in buckets of the sum of their bytes.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterPerl.h"

#include <array>
#include <initializer_list>
#include <iterator>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using K = TPerlTokenKind;

constexpr std::string_view ReservedWords[] = {
    "abs", "accept", "alarm", "atan2", "bind", "binmode", "bless", "caller", "chdir", "chmod", "chomp", "chop",
    "chown", "chr", "chroot", "close", "closedir", "connect", "cos", "crypt", "dbmclose", "dbmopen", "defined",
    "delete", "die", "do", "dump", "each", "else", "elsif", "endgrent", "endhostent", "endnetent", "endprotoent",
    "endpwent", "endservent", "eof", "eval", "exec", "exists", "exit", "exp", "fcntl", "fileno", "flock", "for",
    "foreach", "fork", "format", "formline", "getc", "getgrent", "getgrgid", "getgrnam", "gethostbyaddr",
    "gethostbyname", "gethostent", "getlogin", "getnetbyaddr", "getnetbyname", "getnetent", "getpeername",
    "getpgrp", "getppid", "getpriority", "getprotobyname", "getprotobynumber", "getprotoent", "getpwent",
    "getpwnam", "getpwuid", "getservbyname", "getservbyport", "getservent", "getsockname", "getsockopt", "glob",
    "gmtime", "goto", "grep", "hex", "if", "import", "index", "int", "ioctl", "join", "keys", "kill", "last", "lc",
    "lcfirst", "length", "link", "listen", "local", "localtime", "log", "lstat", "m", "map", "mkdir", "msgctl",
    "msgget", "msgrcv", "msgsnd", "my", "next", "no", "oct", "open", "opendir", "ord", "pack", "package", "pipe",
    "pop", "pos", "print", "push", "q", "qq", "quotemeta", "qw", "qx", "rand", "read", "readdir", "readlink",
    "recv", "redo", "ref", "rename", "require", "reset", "return", "reverse", "rewinddir", "rindex", "rmdir",
    "scalar", "seek", "seekdir", "select", "semctl", "semget", "semop", "send", "setgrent", "sethostent",
    "setnetent", "setpgrp", "setpriority", "setprotoent", "setpwent", "setservent", "setsockopt", "shift", "shmctl",
    "shmget", "shmread", "shmwrite", "shutdown", "sin", "sleep", "socket", "socketpair", "sort", "splice", "split",
    "sprintf", "sqrt", "srand", "stat", "study", "sub", "substr", "symlink", "syscall", "sysread", "system",
    "syswrite", "tell", "telldir", "tie", "time", "times", "tr", "truncate", "uc", "ucfirst", "umask", "undef",
    "unless", "unlink", "unpack", "unshift", "untie", "use", "utime", "values", "vec", "wait", "waitpid",
    "wantarray", "warn", "while", "write",
};
static_assert(std::size(ReservedWords) == 208);

constexpr std::string_view NamedOperators[] = {
    "and", "cmp", "eq", "ge", "gt", "le", "lt", "ne", "not", "or", "xor",
};
static_assert(std::size(NamedOperators) == 11);

constexpr std::string_view Pragmas[] = {
    "constant", "diagnostics", "integer", "less", "locale", "sigtrap", "strict", "subs", "vars",
};
static_assert(std::size(Pragmas) == 9);

constexpr std::string_view Variables[] = {
    "$ACCUMULATOR", "$ARG", "$ARGV", "$BASETIME", "$CHILD_ERROR", "$DEBUGGING", "$EFFECTIVE_GROUP_ID",
    "$EFFECTIVE_USER_ID", "$EGID", "$ENV", "$ERRNO", "$EUID", "$EVAL_ERROR", "$EXECUTABLE_NAME", "$FORMAT_FORMFEED",
    "$FORMAT_LINE_BREAK_CHARACTERS", "$FORMAT_LINES_LEFT", "$FORMAT_LINES_PER_PAGE", "$FORMAT_NAME",
    "$FORMAT_PAGE_NUMBER", "$FORMAT_TOP_NAME", "$GID", "$INPLACE_EDIT", "$INPUT_LINE_NUMBER",
    "$INPUT_RECORD_SEPARATOR", "$LAST_PAREN_MATCH", "$LIST_SEPARATOR", "$MATCH", "$MULTILINE_MATCHING", "$NR",
    "$OFMT", "$ORS", "$OS_ERROR", "$OUTPUT_AUTOFLUSH", "$OUTPUT_FIELD_SEPARATOR", "$PERL_VERSION", "$PERLDB",
    "$PID", "$POSTMATCH", "$PREMATCH", "$PROCESS_ID", "$PROGRAM_NAME", "$REAL_GROUP_ID", "$REAL_USER_ID", "$RS",
    "$SIG", "$SUBSCRIPT_SEPARATOR", "$SUBSEP", "$SYSTEM_FD_MAX", "$UID", "$WARNING", "%INC", "@ARGV", "@INC",
};
static_assert(std::size(Variables) == 54);

constexpr int KeywordBuckets = 2168;

constexpr int ByteSum(std::string_view word)
{
    int sum = 0;
    for (const char c : word)
        sum += static_cast<unsigned char>(c);
    return sum;
}

// invariant: every keyword sits in a bucket, so a sum beyond the last one is an identifier
constexpr bool AllInBuckets(std::initializer_list<std::span<const std::string_view>> lists)
{
    for (const auto list : lists)
        for (const std::string_view word : list)
            if (ByteSum(word) >= KeywordBuckets)
                return false;
    return true;
}
static_assert(AllInBuckets({ReservedWords, NamedOperators, Pragmas, Variables}));

// The bytes of words: '$', '%', '@', letters, digits and '_'.
constexpr std::array<bool, 256> WordBytes = [] {
    std::array<bool, 256> t = AsciiWordBytes();
    t['$'] = t['%'] = t['@'] = true;
    return t;
}();

// Bucket [sum of the bytes] holds the keywords of that sum.
struct TPerlKeywords {
    std::array<std::vector<std::pair<std::string_view, K>>, KeywordBuckets> Buckets;

    TPerlKeywords()
    {
        const std::pair<std::span<const std::string_view>, K> lists[] = {
            {ReservedWords, K::tkKey}, {NamedOperators, K::tkOperator}, {Pragmas, K::tkPragma},
            {Variables, K::tkVariable}};
        for (const auto& [words, kind] : lists)
            for (const std::string_view word : words)
                Buckets[static_cast<size_t>(ByteSum(word))].emplace_back(word, kind);
    }

    K Lookup(std::string_view word) const
    {
        const int sum = ByteSum(word);
        if (sum >= KeywordBuckets)
            return K::tkIdentifier;
        for (const auto& [keyword, kind] : Buckets[static_cast<size_t>(sum)])
            if (keyword == word)
                return kind;
        return K::tkIdentifier;
    }
};

const TPerlKeywords& Keywords()
{
    static const TPerlKeywords keywords;
    return keywords;
}

// The bytes that make a two-byte variable after '$': "$_", "$!", "$0", "$;" and the like.
bool IsPunctuationVariableByte(unsigned char c)
{
    return (c >= '!' && c <= '+') || (c >= '-' && c <= '@') || c == '[' || c == '\\' || c == ']' || c == '_' ||
           c == '`' || c == '|' || c == '~';
}

bool IsNumberByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || c == '.' || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == 'X' ||
           c == 'x' || c == '_';
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcPerlSyn::StaticClass()), true);

} // namespace

TSrcPerlSyn::TSrcPerlSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment", {fsItalic});
    FIdentifierAttri = AddAttri("Identifier");
    FInvalidAttri = AddAttri("Illegal Char");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNumberAttri = AddAttri("Number");
    FOperatorAttri = AddAttri("Operator");
    FPragmaAttri = AddAttri("Pragma", {fsBold});
    FSpaceAttri = AddAttri("Space", {}, clWindow);
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    FVariableAttri = AddAttri("Variable", {fsBold});
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .String = FStringAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});
    Keywords();
}

const TSrcHighlighterClass& TSrcPerlSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcPerlSyn", [] { return std::string("Perl"); });
    return cls;
}

TSrcCharSet TSrcPerlSyn::IdentifierChars() const
{
    return TSrcLineTokenizer::IdentifierChars() | CharSetOf("$%@");
}

std::string TSrcPerlSyn::SampleText() const
{
    return "#!/bin/perl\r\n"
           "require \"cgi-lib.pl\";\r\n"
           "use sigtrap;\r\n"
           "do 'envars.pl';\r\n"
           "$_ = $password1;\r\n"
           "sub WriteBack {\r\n"
           "        while ($_ ne \"fred\")    {\r\n"
           "                sleep 5;\r\n"
           "        }\r\n"
           "}";
}

TSrcHighlighterAttributes* TSrcPerlSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkIdentifier: return FIdentifierAttri;
    case K::tkKey: return FKeyAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkOperator: return FOperatorAttri;
    case K::tkPragma: return FPragmaAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkUnknown: return FInvalidAttri;
    case K::tkVariable: return FVariableAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcPerlSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    if (c == 0) {
        FTokenKind = K::tkNull;
    } else if (c == 10 || c == 13) {
        FTokenKind = K::tkSpace;
        SkipLineBreak();
    } else if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if (c == '#') {
        FTokenKind = K::tkComment;
        while (!IsLineEnd(At(FRun)))
            ++FRun;
    } else if (WordBytes[c] && !IsDigit(c)) {
        ScanWord();
    } else if (c == '.' || IsDigit(c)) {
        ScanDotOrNumber();
    } else if (c == '"') {
        ScanDoubleQuoted();
    } else if (c == '\'') {
        ScanSingleQuoted();
    } else if (c == '`' || c >= 127) {
        FTokenKind = K::tkUnknown;
        SkipChar();
    } else {
        ScanSymbol(c);
    }
}

void TSrcPerlSyn::TakeSymbol(size_t length)
{
    FTokenKind = K::tkSymbol;
    FRun += length;
}

void TSrcPerlSyn::ScanWord()
{
    const unsigned char c = At(FRun);
    const unsigned char next = At(FRun + 1);
    if (c == '$' && IsPunctuationVariableByte(next)) {
        FTokenKind = K::tkVariable;
        FRun += 2;
        return;
    }
    if (c == '$' && next == '^') {
        const unsigned char name = At(FRun + 2);
        if (name != 0 && std::string_view("ADFILPTWX").find(static_cast<char>(name)) != std::string_view::npos) {
            FTokenKind = K::tkVariable;
            FRun += 3;
            return;
        }
        if (IsLineEnd(name)) {
            FTokenKind = K::tkVariable;
            FRun += 2;
            return;
        }
    }
    // why: a '%' or 'x' operator at the line end or before '=' is no word
    if ((c == '%' || c == 'x') && (IsLineEnd(next) || next == '='))
        return TakeSymbol(next == '=' ? 2 : 1);
    while (WordBytes[At(FRun)])
        ++FRun;
    FTokenKind = Keywords().Lookup(FLine.substr(FTokenPos, FRun - FTokenPos));
}

void TSrcPerlSyn::ScanDotOrNumber()
{
    if (At(FRun) == '.') {
        const unsigned char next = At(FRun + 1);
        if (next == '.')
            return TakeSymbol(At(FRun + 2) == '.' ? 3 : 2);
        if (next == '=')
            return TakeSymbol(2);
        if ((next >= 'A' && next <= 'Z') || (next >= 'a' && next <= 'z') || next == '_')
            return TakeSymbol(1);
    }
    ScanNumber();
}

// Number bytes in any order. A '-' is taken only before an 'e' or 'E', so "1e-5" ends before its
// exponent sign (the number "1e", the symbol "-" and the number "5").
void TSrcPerlSyn::ScanNumber()
{
    FTokenKind = K::tkNumber;
    ++FRun;
    for (;;) {
        const unsigned char c = At(FRun);
        const unsigned char next = At(FRun + 1);
        if (c == '.' && next == '.')
            return;
        if (c == '-' ? next != 'e' && next != 'E' : !IsNumberByte(c))
            return;
        ++FRun;
    }
}

// Up to a double quote after an even run of backslashes, or to the line end; a CR or LF that
// ends it belongs to the token.
void TSrcPerlSyn::ScanDoubleQuoted()
{
    FTokenKind = K::tkString;
    ++FRun;
    if (At(FRun) == '"' && At(FRun + 1) == '"')
        FRun += 2;
    for (unsigned char c = At(FRun); c != 0; c = At(FRun)) {
        ++FRun;
        if (c == 10 || c == 13 || (c == '"' && !EscapedByBackslashes(FRun - 1, FTokenPos + 1)))
            return;
    }
}

void TSrcPerlSyn::ScanSingleQuoted()
{
    FTokenKind = K::tkString;
    ++FRun;
    for (unsigned char c = At(FRun); !IsLineEnd(c); c = At(FRun)) {
        ++FRun;
        if (c == '\'')
            return;
    }
}

void TSrcPerlSyn::ScanSymbol(unsigned char c)
{
    switch (c) {
    case '!': return TakeSymbol(LongestForm({"!=", "!~"}));
    case '&': return TakeSymbol(LongestForm({"&&=", "&&", "&="}));
    case '*': return TakeSymbol(LongestForm({"**=", "**", "*="}));
    case '+': return TakeSymbol(LongestForm({"++", "+="}));
    case '-': return TakeSymbol(LongestForm({"--", "-=", "->"}));
    case '/': return TakeSymbol(LongestForm({"/="}));
    case ':': return TakeSymbol(LongestForm({"::"}));
    case '<': return TakeSymbol(LongestForm({"<<=", "<<", "<=>", "<="}));
    case '=': return TakeSymbol(LongestForm({"==", "=>", "=~"}));
    case '>': return TakeSymbol(LongestForm({">=", ">>=", ">>"}));
    case '^': return TakeSymbol(LongestForm({"^="}));
    case '|': return TakeSymbol(LongestForm({"|=", "||=", "||"}));
    default: return TakeSymbol(1);
    }
}
