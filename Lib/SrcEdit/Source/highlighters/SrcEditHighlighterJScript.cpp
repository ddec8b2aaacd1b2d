// The JavaScript highlighter: dispatch on the first byte of a token, keyword lookup through
// buckets of the sum of the letters' hash values.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"

namespace {

using K = TJScriptTokenKind;

constexpr std::array<bool, 256> IdentifierFlags = AsciiWordBytes();

// Letters count their place in the alphabet, '_' 31, every other byte 0.
constexpr std::array<unsigned char, 256> HashValues = [] {
    std::array<unsigned char, 256> t = AlphabetPlaces();
    t['_'] = 31;
    return t;
}();

constexpr std::string_view ReservedWords[] = {
    "abstract", "boolean", "break", "byte", "callee", "case", "catch", "char", "class", "const",
    "constructor", "continue", "debugger", "default", "delete", "do", "double", "else", "enum", "export",
    "extends", "false", "final", "finally", "float", "for", "function", "goto", "if", "implements", "import",
    "in", "instanceof", "int", "interface", "long", "NaN", "native", "new", "null", "package", "private",
    "protected", "prototype", "public", "return", "short", "start", "static", "super", "switch",
    "synchronized", "this", "throw", "throws", "transient", "true", "try", "typeof", "var", "void", "while",
    "with"
};

constexpr std::string_view NonReservedKeywords[] = {
    "abs", "acos", "action", "alert", "align", "alinkColor", "All", "all", "Anchor", "anchor", "anchors",
    "appCodeName", "Applet", "applets", "appName", "appVersion", "Area", "Arguments", "arguments", "Array",
    "asin", "atan", "atan2", "back", "background", "bgColor", "big", "blink", "blur", "body", "bold",
    "Boolean", "border", "bottom", "Button", "call", "caller", "captureEvents", "ceil", "charAt",
    "charCodeAt", "Checkbox", "checked", "clear", "clearInterval", "clearTimeout", "click", "close",
    "closed", "color", "complete", "concat", "confirm", "cookie", "cos", "current", "Date", "defaultChecked",
    "defaultSelected", "defaultStatus", "defaultValue", "description", "display", "document", "domain", "E",
    "elements", "Embed", "embeds", "enabledPlugin", "encoding", "escape", "eval", "event", "exp", "fgColor",
    "filename", "FileUpload", "find", "fixed", "Float", "floor", "focus", "fontcolor", "fontsize", "Form",
    "form", "forms", "forward", "Frame", "frames", "fromCharCode", "Function", "getDate", "getDay",
    "getElementById", "getFullYear", "getHours", "getMilliseconds", "getMinutes", "getMonth", "getSeconds",
    "getTime", "getTimezoneOffset", "getUTCDate", "getUTCDay", "getUTCFullYear", "getUTCHours",
    "getUTCMilliseconds", "getUTCMinutes", "getUTCMonth", "getUTCSeconds", "getYear", "Global", "go",
    "handleEvent", "hash", "height", "Hidden", "History", "history", "home", "host", "hostname", "href",
    "hspace", "Image", "images", "index", "indexOf", "Infinity", "innerHeight", "innerWidth", "input",
    "isFinite", "isNaN", "italics", "java", "javaEnabled", "join", "lastIndexOf", "lastModified", "Layer",
    "layers", "left", "length", "Link", "link", "linkColor", "links", "LN10", "LN2", "Location", "location",
    "locationbar", "log", "LOG10E", "LOG2E", "logon", "lowsrc", "match", "Math", "max", "MAX_VALUE",
    "menubar", "method", "MimeType", "mimeTypes", "min", "MIN_VALUE", "moveBy", "moveTo", "name",
    "Navigator", "navigator", "NEGATIVE_INFINITY", "netscape", "next", "Null", "Number", "Object", "open",
    "opener", "Option", "options", "outerHeight", "outerWidth", "Packages", "pageX", "pageXOffset", "pageY",
    "pageYOffset", "parent", "parse", "parseFloat", "parseInt", "Password", "pathname", "personalbar", "PI",
    "platform", "Plugin", "plugins", "port", "POSITIVE_INFINITY", "pow", "previous", "print", "prompt",
    "protocol", "Radio", "random", "referrer", "refresh", "RegExp", "releaseEvents", "reload", "replace",
    "Reset", "reset", "resizeBy", "resizeTo", "reverse", "right", "round", "routeEvent", "screen", "scroll",
    "scrollbars", "scrollBy", "scrollTo", "search", "Select", "select", "selected", "selectedIndex", "self",
    "setDate", "setFullYear", "setHours", "setInterval", "setMilliseconds", "setMinutes", "setMonth",
    "setSeconds", "setTime", "setTimeout", "setUTCDate", "setUTCFullYear", "setUTCHours",
    "setUTCMilliseconds", "setUTCMinutes", "setUTCMonth", "setUTCSeconds", "setYear", "sin", "slice",
    "small", "sort", "split", "sqrt", "SQRT1_2", "SQRT2", "src", "status", "statusbar", "stop", "strike",
    "String", "style", "sub", "Submit", "submit", "substr", "substring", "suffixes", "sup", "tags", "taint",
    "taintEnabled", "tan", "target", "Text", "text", "Textarea", "title", "toGMTString", "toLocaleString",
    "toLowerCase", "toolbar", "top", "toSource", "toString", "toUpperCase", "toUTCString", "type",
    "Undefined", "undefined", "unescape", "untaint", "unwatch", "URL", "userAgent", "UTC", "value",
    "valueOf", "visibility", "vlinkColor", "vspace", "watch", "width", "Window", "window", "write",
    "writeln", "zIndex"
};

constexpr std::string_view Events[] = {
    "onAbort", "onBlur", "onChange", "onClick", "onDblClick", "onError", "onFocus", "onKeyDown",
    "onKeyPress", "onKeyUp", "onLoad", "onMouseDown", "onMouseMove", "onMouseOut", "onMouseOver",
    "onMouseUp", "onReset", "onSelect", "onSubmit", "onUnload"
};

int KeywordHash(std::string_view word)
{
    int sum = 0;
    for (const char c : word)
        sum += HashValues[static_cast<unsigned char>(c)];
    return sum;
}

[[maybe_unused]] const bool Registered = (RegisterHighlighterClass(TSrcJScriptSyn::StaticClass()), true);

} // namespace

TSrcJScriptSyn::TSrcJScriptSyn(TComponent* AOwner) : TSrcLineTokenizer(AOwner, BuiltInFilter)
{
    FCommentAttri = AddAttri("Comment", {fsItalic});
    FIdentifierAttri = AddAttri("Identifier");
    FKeyAttri = AddAttri("Reserved Word", {fsBold});
    FNonReservedKeyAttri = AddAttri("Non-reserved Keyword");
    FEventAttri = AddAttri("Event");
    FNumberAttri = AddAttri("Number");
    FSpaceAttri = AddAttri("Space");
    FStringAttri = AddAttri("String");
    FSymbolAttri = AddAttri("Symbol");
    BindAttributeChanges();
    SetRoleAttris({.Comment = FCommentAttri, .Identifier = FIdentifierAttri, .Keyword = FKeyAttri,
                   .String = FStringAttri, .Whitespace = FSpaceAttri, .Symbol = FSymbolAttri});

    auto addAll = [this](const auto& words, K kind) {
        for (const std::string_view word : words)
            FKeywords[static_cast<size_t>(KeywordHash(word))].emplace_back(word, kind);
    };
    addAll(ReservedWords, K::tkKey);
    addAll(NonReservedKeywords, K::tkNonReservedKey);
    addAll(Events, K::tkEvent);
}

const TSrcHighlighterClass& TSrcJScriptSyn::StaticClass()
{
    static const TSrcHighlighterClass cls = LanguageClass("TSrcJScriptSyn", [] { return std::string("JavaScript"); });
    return cls;
}

std::string TSrcJScriptSyn::SampleText() const
{
    return "// Syntax highlighting\r\n"
           "function printNumber()\r\n"
           "{\r\n"
           "  var number = 1234;\r\n"
           "  var x;\r\n"
           "  document.write(\"The number is \" + number);\r\n"
           "  for (var i = 0; i <= number; i++)\r\n"
           "  {\r\n"
           "    x++;\r\n"
           "    x--;\r\n"
           "    x += 1.0;\r\n"
           "  }\r\n"
           "  i += @; // illegal character\r\n"
           "}\r\n"
           "body.onLoad = printNumber;";
}

TSrcHighlighterAttributes* TSrcJScriptSyn::TokenAttri() const
{
    switch (FTokenKind) {
    case K::tkComment: return FCommentAttri;
    case K::tkIdentifier: return FIdentifierAttri;
    case K::tkKey: return FKeyAttri;
    case K::tkNumber: return FNumberAttri;
    case K::tkSpace: return FSpaceAttri;
    case K::tkString: return FStringAttri;
    case K::tkSymbol: return FSymbolAttri;
    case K::tkUnknown: return FIdentifierAttri;
    case K::tkNonReservedKey: return FNonReservedKeyAttri;
    case K::tkEvent: return FEventAttri;
    case K::tkNull: break;
    }
    return nullptr;
}

void TSrcJScriptSyn::RestoreRange(TSrcRange range)
{
    FRange = range == rsJSComment ? rsJSComment : rsJSNormal;
}

void TSrcJScriptSyn::AdvanceToken()
{
    FTokenPos = FRun;
    const unsigned char c = At(FRun);
    if (c == 0) {
        FTokenKind = K::tkNull;
    } else if (FRange == rsJSComment) {
        ScanCommentRest(false);
    } else if (c == 10 || c == 13) {
        FTokenKind = K::tkSpace;
        SkipLineBreak();
    } else if (IsSpaceByte(c)) {
        FTokenKind = K::tkSpace;
        SkipSpaces();
    } else if (c == '"' || c == '\'') {
        ScanString();
    } else if (IsDigit(c)) {
        ScanNumber();
    } else if (IdentifierFlags[c]) {
        ScanIdentifier();
    } else if (c == '/') {
        ScanSlash();
    } else if (c == '#' || c == '$' || c == '@' || c == '\\' || c == '^' || c == '`' || c >= 127) {
        FTokenKind = K::tkUnknown;
        SkipChar();
    } else {
        ScanSymbol(c);
    }
}

void TSrcJScriptSyn::ScanSlash()
{
    const unsigned char next = At(FRun + 1);
    if (next == '/') {
        FTokenKind = K::tkComment;
        while (!IsLineEnd(At(FRun)))
            ++FRun;
    } else if (next == '*') {
        FRange = rsJSComment;
        // why: the search for "*/" starts after the opener's '*', so "/*/" stays open
        FRun += 2;
        ScanCommentRest(true);
    } else {
        FTokenKind = K::tkSymbol;
        FRun += next == '=' ? 2 : 1;
    }
}

// The comment runs through "*/", closing it, or on to the end of the line. Behind the opener a
// CR or LF ends the token too; a continued comment always takes at least one byte.
void TSrcJScriptSyn::ScanCommentRest(bool openerOnThisLine)
{
    FTokenKind = K::tkComment;
    while (openerOnThisLine ? !IsLineEnd(At(FRun)) : At(FRun) != 0) {
        if (At(FRun) == '*' && At(FRun + 1) == '/') {
            FRun += 2;
            FRange = rsJSNormal;
            return;
        }
        ++FRun;
    }
}

void TSrcJScriptSyn::ScanString()
{
    FTokenKind = K::tkString;
    const unsigned char quote = At(FRun);
    ++FRun;
    if (At(FRun) == quote && At(FRun + 1) == quote)
        FRun += 2;
    for (;;) {
        const unsigned char c = At(FRun);
        if (c == 0)
            return;
        ++FRun;
        if (c == 10 || c == 13)
            return;
        // why: a backslash only guards the quote right after it, so "\\" before a quote escapes it
        if (c == quote && static_cast<unsigned char>(FLine[FRun - 2]) != '\\')
            return;
    }
}

void TSrcJScriptSyn::ScanNumber()
{
    FTokenKind = K::tkNumber;
    bool hex = false;
    ++FRun;
    for (;;) {
        const unsigned char c = At(FRun);
        if (IsDigit(c)) {
            ++FRun;
        } else if (c == '.') {
            if (At(FRun + 1) == '.')
                return;
            ++FRun;
        } else if (c == 'x' || c == 'X') {
            if (FRun != FTokenPos + 1 || At(FTokenPos) != '0' || !IsHexDigit(At(FRun + 1)))
                return;
            hex = true;
            ++FRun;
        } else if (hex && IsHexDigit(c)) {
            ++FRun;
        } else {
            return;
        }
    }
}

void TSrcJScriptSyn::ScanIdentifier()
{
    int sum = 0;
    while (IdentifierFlags[At(FRun)]) {
        sum += HashValues[At(FRun)];
        ++FRun;
    }
    FTokenKind = K::tkIdentifier;
    if (sum >= KeywordBuckets)
        return;
    const std::string_view word = FLine.substr(FTokenPos, FRun - FTokenPos);
    for (const auto& [keyword, kind] : FKeywords[static_cast<size_t>(sum)]) {
        if (keyword == word) {
            FTokenKind = kind;
            return;
        }
    }
}

void TSrcJScriptSyn::ScanSymbol(unsigned char c)
{
    FTokenKind = K::tkSymbol;
    const unsigned char next = At(FRun + 1);
    size_t length = 1;
    switch (c) {
    case '&':
    case '|':
    case '+':
        if (next == c || next == '=')
            length = 2;
        break;
    case '-':
        if (next == '-' || next == '=' || next == '>')
            length = 2;
        break;
    case '*':
    case '%':
        if (next == '=')
            length = 2;
        break;
    case '.':
        if (next == '.' && At(FRun + 2) == '.')
            length = 3;
        break;
    default:
        break;
    }
    FRun += length;
}
