// The SQL highlighter: what each dialect makes of comments, strings, quoted names, variables and
// symbols; every listed word coloured as its list says; the user's table names; the range over
// lines; reloads and their notices; attributes and class data; the golden samples of every
// dialect.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using K = TSqlTokenKind;
using TTok = TScanToken<K>;

const K C = K::tkComment, CC = K::tkConditionalComment, DT = K::tkDatatype, DI = K::tkDelimitedIdentifier,
        F = K::tkFunction, I = K::tkIdentifier, R = K::tkKey, N = K::tkNumber, S = K::tkSpace, Q = K::tkString,
        Y = K::tkSymbol, U = K::tkUnknown, V = K::tkVariable, T = K::tkTableName, PL = K::tkPLSQL;

const TSrcRange Normal = rsSqlNormal, InComment = rsSqlComment, InString = rsSqlString,
                InConditional = rsSqlConditionalComment;

const std::map<TSQLDialect, std::string> DialectNames = {
    {sqlStandard, "standard"}, {sqlInterbase6, "interbase6"}, {sqlMSSQL7, "mssql7"}, {sqlMySQL, "mysql"},
    {sqlOracle, "oracle"},     {sqlSybase, "sybase"},         {sqlIngres, "ingres"}, {sqlMSSQL2K, "mssql2k"},
};

struct TSqlCase {
    std::vector<TSQLDialect> Dialects;
    std::string Line;
    TSrcRange Entering;
    std::vector<TTok> Expected;
    TSrcRange Leaving;
};

void RunCases(const std::vector<TSqlCase>& cases)
{
    TSrcSQLSyn h;
    for (const TSqlCase& c : cases) {
        for (TSQLDialect dialect : c.Dialects) {
            SCOPED_TRACE(DialectNames.at(dialect) + ": " + c.Line);
            h.SetSQLDialect(dialect);
            TSrcRange leaving = 99;
            EXPECT_EQ(ScanLineFrom<K>(h, c.Line, c.Entering, &leaving), c.Expected);
            EXPECT_EQ(leaving, c.Leaving);
        }
    }
}

const std::vector<TSQLDialect> All = {sqlStandard, sqlInterbase6, sqlMSSQL7, sqlMySQL,
                                      sqlOracle,   sqlSybase,     sqlIngres, sqlMSSQL2K};
const std::vector<TSQLDialect> AllButMySQL = {sqlStandard, sqlInterbase6, sqlMSSQL7, sqlOracle,
                                              sqlSybase,   sqlIngres,     sqlMSSQL2K};
const std::vector<TSQLDialect> SqlServer = {sqlMSSQL7, sqlMSSQL2K};

} // namespace

TEST(SqlHighlighter, CommentsOnOneLineAndOverLines)
{
    RunCases({
        {All, "-- note", Normal, {{"-- note", C}}, Normal},
        {All, "a - b", Normal, {{"a", I}, {" ", S}, {"-", Y}, {" ", S}, {"b", I}}, Normal},
        {All, "x /* a */ y", Normal, {{"x", I}, {" ", S}, {"/* a */", C}, {" ", S}, {"y", I}}, Normal},
        {All, "/* open", Normal, {{"/* open", C}}, InComment},
        {All, "still", InComment, {{"still", C}}, InComment},
        {All, "", InComment, {}, InComment},
        {All, "end */ x", InComment, {{"end */", C}, {" ", S}, {"x", I}}, Normal},
        // the search for the end starts behind the opener's '*'
        {All, "/*/", Normal, {{"/*/", C}}, InComment},
        {All, "/**/x", Normal, {{"/**/", C}, {"x", I}}, Normal},
        {All, "a /= b / z", Normal, {{"a", I}, {" ", S}, {"/=", Y}, {" ", S}, {"b", I}, {" ", S}, {"/", Y}, {" ", S},
                                     {"z", I}}, Normal},
        {{sqlMySQL}, "/*!32302 TEMPORARY */ t", Normal, {{"/*!32302 TEMPORARY */", CC}, {" ", S}, {"t", I}}, Normal},
        {AllButMySQL, "/*!32302 TEMPORARY */", Normal, {{"/*!32302 TEMPORARY */", C}}, Normal},
        {{sqlMySQL}, "/*! open", Normal, {{"/*! open", CC}}, InConditional},
        {{sqlMySQL}, "more */ x", InConditional, {{"more */", CC}, {" ", S}, {"x", I}}, Normal},
        {{sqlMySQL}, "# x", Normal, {{"# x", C}}, Normal},
        {AllButMySQL, "# x", Normal, {{"#", U}, {" ", S}, {"x", I}}, Normal},
        {{sqlOracle}, "rem anything -- here", Normal, {{"rem anything -- here", C}}, Normal},
        {{sqlOracle}, "x REMARK y", Normal, {{"x", I}, {" ", S}, {"REMARK y", C}}, Normal},
        {{sqlMySQL}, "rem x", Normal, {{"rem", I}, {" ", S}, {"x", I}}, Normal},
    });
}

TEST(SqlHighlighter, StringsDoubledQuotesAndMySQLBackslashes)
{
    RunCases({
        {All, "'it''s'", Normal, {{"'it'", Q}, {"'s'", Q}}, Normal},
        {AllButMySQL, R"('it\'s')", Normal, {{R"('it\')", Q}, {"s", I}, {"'", Q}}, InString},
        {{sqlMySQL}, R"('it\'s' x)", Normal, {{R"('it\'s')", Q}, {" ", S}, {"x", I}}, Normal},
        // an even run of backslashes is escaped backslashes: the quote after it closes the string
        {{sqlMySQL}, R"('C:\\temp\\' AS d)", Normal, {{R"('C:\\temp\\')", Q}, {" ", S}, {"AS", R}, {" ", S},
                                                      {"d", I}}, Normal},
        {{sqlMySQL}, R"('a\\\'b')", Normal, {{R"('a\\\'b')", Q}}, Normal},
        {All, "'open", Normal, {{"'open", Q}}, InString},
        {All, "rest' x", InString, {{"rest'", Q}, {" ", S}, {"x", I}}, Normal},
        {All, "", InString, {}, InString},
        {All, "no end", InString, {{"no end", Q}}, InString},
        // a continued string's first quote closes it, even after a backslash at the end of the last line
        {All, "' x", InString, {{"'", Q}, {" ", S}, {"x", I}}, Normal},
        {{sqlMySQL}, R"(\' x)", InString, {{R"(\' x)", Q}}, InString},
        {All, "'caf\xC3\xA9'", Normal, {{"'caf\xC3\xA9'", Q}}, Normal},
    });
}

TEST(SqlHighlighter, QuotedNamesByDialect)
{
    RunCases({
        {All, R"("it""s" x)", Normal, {{R"("it""s")", DI}, {" ", S}, {"x", I}}, Normal},
        {All, R"("open)", Normal, {{R"("open)", DI}}, Normal},
        {{sqlMySQL}, "`a``b` x", Normal, {{"`a``b`", DI}, {" ", S}, {"x", I}}, Normal},
        {AllButMySQL, "`a`", Normal, {{"`", U}, {"a", I}, {"`", U}}, Normal},
        {SqlServer, "[order details] [a]]b]", Normal, {{"[order details]", DI}, {" ", S}, {"[a]]b]", DI}}, Normal},
        {{sqlMySQL, sqlOracle, sqlStandard}, "[a]", Normal, {{"[", Y}, {"a", I}, {"]", Y}}, Normal},
    });
}

TEST(SqlHighlighter, VariablesByDialect)
{
    RunCases({
        {SqlServer, "@@ROWCOUNT @@error @name", Normal, {{"@@ROWCOUNT", F}, {" ", S}, {"@@error", F}, {" ", S},
                                                         {"@name", V}}, Normal},
        {SqlServer, "@@nothing", Normal, {{"@@nothing", I}}, Normal},
        {{sqlStandard, sqlInterbase6, sqlSybase, sqlIngres}, "@name", Normal, {{"@name", V}}, Normal},
        {{sqlMySQL, sqlOracle}, "@nm", Normal, {{"@", Y}, {"nm", I}}, Normal},
        {{sqlOracle, sqlIngres}, ":x :y$1 x", Normal, {{":x", V}, {" ", S}, {":y$1", V}, {" ", S}, {"x", I}}, Normal},
        {{sqlStandard, sqlInterbase6, sqlMSSQL7, sqlMySQL, sqlSybase, sqlMSSQL2K}, ":x", Normal, {{":", Y}, {"x", I}},
         Normal},
        // '#' and '$' continue a word but never start one
        {All, "a#b$c $d", Normal, {{"a#b$c", I}, {" ", S}, {"$", U}, {"d", I}}, Normal},
    });
}

TEST(SqlHighlighter, NumbersSymbolsAndUnknownBytes)
{
    RunCases({
        {All, "1-2 3.14 .5 1..2", Normal, {{"1-2", N}, {" ", S}, {"3.14", N}, {" ", S}, {".", Y}, {"5", N}, {" ", S},
                                           {"1", N}, {".", Y}, {".", Y}, {"2", N}}, Normal},
        {All, "7x", Normal, {{"7", N}, {"x", I}}, Normal},
        {All, "<>", Normal, {{"<", Y}, {">", Y}}, Normal},
        {All, "<<= << <= == => >= >> ++ += && &= || |= != %= *= ^=", Normal,
         {{"<<=", Y}, {" ", S}, {"<<", Y}, {" ", S}, {"<=", Y}, {" ", S}, {"==", Y}, {" ", S}, {"=>", Y}, {" ", S},
          {">=", Y}, {" ", S}, {">>", Y}, {" ", S}, {"++", Y}, {" ", S}, {"+=", Y}, {" ", S}, {"&&", Y}, {" ", S},
          {"&=", Y}, {" ", S}, {"||", Y}, {" ", S}, {"|=", Y}, {" ", S}, {"!=", Y}, {" ", S}, {"%=", Y}, {" ", S},
          {"*=", Y}, {" ", S}, {"^=", Y}}, Normal},
        {All, "(),.;?]{}~", Normal, {{"(", Y}, {")", Y}, {",", Y}, {".", Y}, {";", Y}, {"?", Y}, {"]", Y}, {"{", Y},
                                     {"}", Y}, {"~", Y}}, Normal},
        // a multi-byte character is one token, never cut
        {All, "caf\xC3\xA9 \xE2\x82\xAC\\", Normal, {{"caf", I}, {"\xC3\xA9", U}, {" ", S}, {"\xE2\x82\xAC", U},
                                                     {"\\", U}}, Normal},
        {All, "\t \x01x", Normal, {{"\t \x01", S}, {"x", I}}, Normal},
    });
}

TEST(SqlHighlighter, WordsMatchWithoutLetterCase)
{
    RunCases({
        {{sqlStandard}, "select SELECT Select", Normal, {{"select", R}, {" ", S}, {"SELECT", R}, {" ", S},
                                                         {"Select", R}}, Normal},
        // the list holds "end-exec", the scan reads "end", "-" and "exec"
        {{sqlStandard}, "end-exec", Normal, {{"end", R}, {"-", Y}, {"exec", I}}, Normal},
        {{sqlMySQL}, "varchar VARCHAR int now()", Normal, {{"varchar", R}, {" ", S}, {"VARCHAR", R}, {" ", S},
                                                          {"int", DT}, {" ", S}, {"now", F}, {"(", Y}, {")", Y}}, Normal},
        // digits hash and compare alike, so a word like a listed one but for its digits matches it
        {{sqlMySQL}, "INT9 LOG99", Normal, {{"INT9", R}, {" ", S}, {"LOG99", F}}, Normal},
        {{sqlOracle}, "dbms_output.put_line LCR$_ROW_LIST no_data_found varchar2", Normal,
         {{"dbms_output", K::tkDefaultPackage}, {".", Y}, {"put_line", I}, {" ", S}, {"LCR$_ROW_LIST", PL}, {" ", S},
          {"no_data_found", K::tkException}, {" ", S}, {"varchar2", DT}}, Normal},
        {{sqlOracle}, "PROMPT spool", Normal, {{"PROMPT", K::tkSQLPlus}, {" ", S}, {"spool", K::tkSQLPlus}}, Normal},
        {{sqlIngres}, "_bintim", Normal, {{"_bintim", F}}, Normal},
    });
}

// Every word of every list reads back with its list's kind, and the reload finds no duplicate.
TEST(SqlHighlighter, EveryListedWordHasItsListsKind)
{
    TSrcSQLSyn h;
    for (const TSQLDialect dialect : All) {
        h.SetSQLDialect(dialect);
        size_t words = 0;
        for (const SrcSqlTables::TWordList& list : SrcSqlTables::WordLists(dialect)) {
            EnumerateKeywords(static_cast<int>(list.Kind), list.Words, ~CharSetOf(","), [&](const std::string& word, int) {
                ++words;
                if (word.find('-') != std::string::npos)
                    return;
                SCOPED_TRACE(DialectNames.at(dialect) + ": " + word);
                const auto tokens = ScanLineFrom<K>(h, word, Normal);
                ASSERT_FALSE(tokens.empty());
                EXPECT_EQ(tokens.front(), (TTok{word, list.Kind}));
                const bool reserved = list.Kind != K::tkComment && list.Kind != K::tkSQLPlus;
                EXPECT_EQ(h.IsReservedWord(word), reserved);
            });
        }
        EXPECT_GT(words, 200u) << DialectNames.at(dialect);
    }
    EXPECT_EQ(SrcSqlTables::WordLists(sqlOracle).size(), 8u);
    EXPECT_FALSE(h.IsReservedWord("nonsense"));
}

TEST(SqlHighlighter, TableNamesAddWordsButNeverReplaceKeywords)
{
    TSrcSQLSyn h;
    h.SetSQLDialect(sqlMySQL);
    ChangeListener listener;
    h.AddAttriChangeHook(listener.Method());
    TStringList names;
    names.Add("Customers");
    names.Add("select");
    names.Add("customers");
    names.Add("");
    h.SetTableNames(names);
    EXPECT_EQ(listener.Senders.size(), 1u) << "one reload for the whole list";
    EXPECT_EQ(h.TableNames().Count(), 4);
    EXPECT_EQ(ScanLineFrom<K>(h, "select * from customers, CUSTOMERS2", Normal),
              (std::vector<TTok>{{"select", R}, {" ", S}, {"*", Y}, {" ", S}, {"from", R}, {" ", S},
                                 {"customers", T}, {",", Y}, {" ", S}, {"CUSTOMERS2", I}}));
    EXPECT_FALSE(h.IsReservedWord("Customers"));

    h.TableNames().Add("orders");
    EXPECT_EQ(listener.Senders.size(), 2u);
    EXPECT_EQ(ScanLineFrom<K>(h, "orders", Normal), (std::vector<TTok>{{"orders", T}}));

    // the names stay through a change of dialect
    h.SetSQLDialect(sqlOracle);
    EXPECT_EQ(ScanLineFrom<K>(h, "Orders", Normal), (std::vector<TTok>{{"Orders", T}}));
    h.TableNames().Clear();
    EXPECT_EQ(ScanLineFrom<K>(h, "Orders", Normal), (std::vector<TTok>{{"Orders", I}}));
}

TEST(SqlHighlighter, OnlyARealDialectChangeReloadsAndNotifies)
{
    TSrcSQLSyn h;
    EXPECT_EQ(h.SQLDialect(), sqlStandard);
    ChangeListener listener;
    h.AddAttriChangeHook(listener.Method());
    h.SetSQLDialect(sqlStandard);
    EXPECT_TRUE(listener.Senders.empty());
    h.SetSQLDialect(sqlMySQL);
    EXPECT_EQ(listener.Senders, (std::vector<TObject*>{nullptr}));
    EXPECT_EQ(ScanLineFrom<K>(h, "now", Normal), (std::vector<TTok>{{"now", F}}));
    h.SetSQLDialect(sqlStandard);
    EXPECT_EQ(listener.Senders.size(), 2u);
    EXPECT_EQ(ScanLineFrom<K>(h, "now", Normal), (std::vector<TTok>{{"now", I}}));
}

TEST(SqlHighlighter, IdentifierCharsFollowTheDialect)
{
    TSrcSQLSyn h;
    for (const TSQLDialect dialect : All) {
        SCOPED_TRACE(DialectNames.at(dialect));
        h.SetSQLDialect(dialect);
        const TSrcCharSet chars = h.IdentifierChars();
        EXPECT_TRUE(chars.test('a') && chars.test('Z') && chars.test('0') && chars.test('_') && chars.test(0xC3));
        EXPECT_EQ(chars.test('@'), dialect == sqlMSSQL7 || dialect == sqlMSSQL2K);
        EXPECT_EQ(chars.test('#') && chars.test('$'), dialect == sqlOracle);
        EXPECT_FALSE(chars.test('-') || chars.test(' '));
    }
}

TEST(SqlHighlighter, RangeRoundTripsAndUnknownValuesStartAfresh)
{
    TSrcSQLSyn h;
    EXPECT_EQ(h.CurrentRange(), Normal);
    for (TSrcRange r : {Normal, InComment, InString, InConditional}) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
    }
    h.RestoreRange(4);
    EXPECT_EQ(h.CurrentRange(), Normal);
    h.RestoreRange(InString);
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), Normal);
}

TEST(SqlHighlighter, AttributesRolesAssignAndClassData)
{
    TSrcSQLSyn h;
    EXPECT_EQ(AttributeNames(h),
              (std::vector<std::string>{"Comment", "Conditional Comment", "Data Type", "Default Packages",
                                        "Delimited Identifier", "Exception", "Function", "Identifier", "Number",
                                        "PL/SQL Reserved Word", "Reserved Word", "Space", "SQL*Plus Command",
                                        "String", "Symbol", "Table Name", "Variable"}));
    EXPECT_EQ(h.CommentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.ExceptionAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.SQLPlusAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.VariableAttri()->Style(), TFontStyles{});
    EXPECT_EQ(h.KeyAttri()->Foreground(), clNone);

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), h.IdentifierAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());

    h.StartLine("$", 0);
    EXPECT_EQ(h.TokenAttri(), h.IdentifierAttri()) << "unknown bytes show as identifiers";
    h.AdvanceToken();
    EXPECT_TRUE(h.AtLineEnd());
    EXPECT_EQ(h.TokenAttri(), nullptr);

    EXPECT_EQ(h.GetLanguageTitle(), "SQL");
    EXPECT_GE(HighlighterList().IndexOf(TSrcSQLSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "SQL Files (*.sql)|*.sql");
    EXPECT_FALSE(h.IsFilterStored());

    // Assign passes the dialect but not the table names.
    TSrcSQLSyn source;
    source.SetSQLDialect(sqlOracle);
    source.TableNames().Add("orders");
    source.StringAttri()->SetForeground(clRed);
    h.Assign(source);
    EXPECT_EQ(h.SQLDialect(), sqlOracle);
    EXPECT_EQ(h.StringAttri()->Foreground(), clRed);
    EXPECT_EQ(h.TableNames().Count(), 0);
    EXPECT_EQ(h.SampleText(), std::string(SrcSqlTables::SampleText(sqlOracle)));
}

TEST(SqlHighlighter, NulEndsTheLine)
{
    TSrcSQLSyn h;
    EXPECT_EQ(ScanLineFrom<K>(h, std::string("a\0b", 3), Normal), (std::vector<TTok>{{"a", I}}));
    EXPECT_EQ(ScanLineFrom<K>(h, std::string("'a\0b", 4), Normal), (std::vector<TTok>{{"'a", Q}}));
}

TEST(SqlHighlighterGolden, BuiltInSampleOfEveryDialect)
{
    for (const TSQLDialect dialect : All) {
        SCOPED_TRACE(DialectNames.at(dialect));
        TSrcSQLSyn h;
        h.SetSQLDialect(dialect);
        const std::string name = "builtin-" + DialectNames.at(dialect) + ".sql";
        EXPECT_EQ(ReadWholeFile(GoldenFolder("sql") + "/" + name), h.SampleText());
        ExpectGolden(h, "sql", name);
    }
}

TEST(SqlHighlighterGolden, EdgeCasesInEveryDialect)
{
    for (const TSQLDialect dialect : All) {
        SCOPED_TRACE(DialectNames.at(dialect));
        TSrcSQLSyn h;
        h.SetSQLDialect(dialect);
        h.TableNames().Add("Customers");
        ExpectGolden(h, "sql", "edge-cases.sql", DialectNames.at(dialect));
    }
}
