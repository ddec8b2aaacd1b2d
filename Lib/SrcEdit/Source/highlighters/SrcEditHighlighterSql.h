#pragma once
// TSrcSQLSyn: the SQL highlighter for eight dialects. The dialect picks the word lists that fill
// the keyword hash list, the bytes of variables and how a few bytes read ('#', the backtick, '[',
// '@', ':', "/*!", backslashes in strings); a list of table names adds the user's own words.
//
// CurrentRange: 0 normal, 1 inside a "/*" comment, 2 inside a quoted string, 3 inside a "/*!"
// conditional comment (largest value 3).

#include "SrcEdit/Source/highlighters/SrcEditHashEntries.h"
#include "SrcEdit/Source/highlighters/SrcEditLineScanner.h"

#include <array>
#include <memory>
#include <span>
#include <string_view>

enum TSQLDialect : int {
    sqlStandard = 0,
    sqlInterbase6 = 1,
    sqlMSSQL7 = 2,
    sqlMySQL = 3,
    sqlOracle = 4,
    sqlSybase = 5,
    sqlIngres = 6,
    sqlMSSQL2K = 7,
};
constexpr int SQLDialectCount = 8;

// The number is what TokenKindCode returns and what the word lists carry.
enum class TSqlTokenKind : int {
    tkComment = 0,
    tkDatatype = 1,
    tkDefaultPackage = 2,
    tkException = 3,
    tkFunction = 4,
    tkIdentifier = 5,
    tkKey = 6,
    tkNull = 7,
    tkNumber = 8,
    tkSpace = 9,
    tkPLSQL = 10,
    tkSQLPlus = 11,
    tkString = 12,
    tkSymbol = 13,
    tkTableName = 14,
    tkUnknown = 15,
    tkVariable = 16,
    tkConditionalComment = 17,
    tkDelimitedIdentifier = 18,
};

enum TSqlRangeState : TSrcRange { rsSqlNormal = 0, rsSqlComment = 1, rsSqlString = 2, rsSqlConditionalComment = 3 };

class TSrcSQLSyn : public TSrcLineTokenizer<TSqlTokenKind, TSqlTokenKind::tkNull, TSrcRange, rsSqlNormal> {
public:
    static constexpr const char* BuiltInFilter = "SQL Files (*.sql)|*.sql";

    explicit TSrcSQLSyn(TComponent* AOwner = nullptr);
    ~TSrcSQLSyn() override;

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    // After the base's copy, a SQL source also passes its dialect (table names are not copied).
    void Assign(const TPersistent& source) override;
    TSrcCharSet IdentifierChars() const override;
    // The dialect's own sample.
    std::string SampleText() const override;

    TSrcHighlighterAttributes* TokenAttri() const override;
    // True for data types, default packages, exceptions, functions, reserved and PL/SQL words.
    bool IsReservedWord(const std::string& word) const override;
    void AdvanceToken() override;
    void RestoreRange(TSrcRange range) override;

    TSQLDialect SQLDialect() const { return FDialect; }
    // A different dialect reloads the word lists and tells the listeners; the same does nothing.
    void SetSQLDialect(TSQLDialect value);
    // The user's table names; every change of their contents reloads the word lists.
    TStringList& TableNames() { return FTableNames; }
    const TStringList& TableNames() const { return FTableNames; }
    void SetTableNames(const TStrings& value);

    TSrcHighlighterAttributes* CommentAttri() const { return FCommentAttri; }
    TSrcHighlighterAttributes* ConditionalCommentAttri() const { return FConditionalCommentAttri; }
    TSrcHighlighterAttributes* DataTypeAttri() const { return FDataTypeAttri; }
    TSrcHighlighterAttributes* DefaultPackageAttri() const { return FDefaultPackageAttri; }
    TSrcHighlighterAttributes* DelimitedIdentifierAttri() const { return FDelimitedIdentifierAttri; }
    TSrcHighlighterAttributes* ExceptionAttri() const { return FExceptionAttri; }
    TSrcHighlighterAttributes* FunctionAttri() const { return FFunctionAttri; }
    TSrcHighlighterAttributes* IdentifierAttri() const { return FIdentifierAttri; }
    TSrcHighlighterAttributes* KeyAttri() const { return FKeyAttri; }
    TSrcHighlighterAttributes* NumberAttri() const { return FNumberAttri; }
    TSrcHighlighterAttributes* PLSQLAttri() const { return FPLSQLAttri; }
    TSrcHighlighterAttributes* SpaceAttri() const { return FSpaceAttri; }
    TSrcHighlighterAttributes* SQLPlusAttri() const { return FSQLPlusAttri; }
    TSrcHighlighterAttributes* StringAttri() const { return FStringAttri; }
    TSrcHighlighterAttributes* SymbolAttri() const { return FSymbolAttri; }
    TSrcHighlighterAttributes* TableNameAttri() const { return FTableNameAttri; }
    TSrcHighlighterAttributes* VariableAttri() const { return FVariableAttri; }

private:
    // The bytes a word may hold and their hash values: one pair for the SQL Server dialects
    // (where '@' belongs to words), one for the others.
    struct TWordTables {
        std::array<bool, 256> Ident;
        std::array<unsigned char, 256> Value;
    };

    void Reload();
    bool IsSqlServer() const { return FDialect == sqlMSSQL7 || FDialect == sqlMSSQL2K; }
    // The bucket of the word at the start of `text`; `length` gets the bytes hashed.
    int WordHash(std::string_view text, size_t& length) const;
    // The kind of the word at the start of `text` (identifier when unknown); `length` as above.
    TSqlTokenKind Lookup(std::string_view text, size_t& length) const;

    void ScanWord();
    void ScanNumber();
    void ScanString(bool continued);
    void ScanDelimited(unsigned char close);
    void ScanLineComment(TSqlTokenKind kind);
    void ScanSlash();
    void ScanCommentRest();
    void ScanVariable(unsigned char c);
    void ScanSymbol(unsigned char c);

    std::unique_ptr<TSrcHashEntryList> FKeywords;
    TStringList FTableNames;
    TSQLDialect FDialect = sqlStandard;
    const TWordTables* FTables = nullptr;

    TSrcHighlighterAttributes* FCommentAttri;
    TSrcHighlighterAttributes* FConditionalCommentAttri;
    TSrcHighlighterAttributes* FDataTypeAttri;
    TSrcHighlighterAttributes* FDefaultPackageAttri;
    TSrcHighlighterAttributes* FDelimitedIdentifierAttri;
    TSrcHighlighterAttributes* FExceptionAttri;
    TSrcHighlighterAttributes* FFunctionAttri;
    TSrcHighlighterAttributes* FIdentifierAttri;
    TSrcHighlighterAttributes* FKeyAttri;
    TSrcHighlighterAttributes* FNumberAttri;
    TSrcHighlighterAttributes* FPLSQLAttri;
    TSrcHighlighterAttributes* FSpaceAttri;
    TSrcHighlighterAttributes* FSQLPlusAttri;
    TSrcHighlighterAttributes* FStringAttri;
    TSrcHighlighterAttributes* FSymbolAttri;
    TSrcHighlighterAttributes* FTableNameAttri;
    TSrcHighlighterAttributes* FVariableAttri;
};

// The word lists and samples of the dialects, fixed data.
namespace SrcSqlTables {

struct TWordList {
    TSqlTokenKind Kind;
    std::string_view Words; // separated by commas
};

// The number of comma-separated words of a list.
constexpr size_t WordCount(std::string_view words)
{
    size_t count = words.empty() ? 0 : 1;
    for (const char c : words)
        count += c == ',' ? 1 : 0;
    return count;
}

// The lists of a dialect in the order they are loaded.
std::span<const TWordList> WordLists(TSQLDialect dialect);
// The sample text of a dialect, lines joined by CR LF.
std::string_view SampleText(TSQLDialect dialect);

std::span<const TWordList> OracleWordLists();
std::string_view OracleSampleText();

} // namespace SrcSqlTables
