// The fixed tables of the HTML highlighter: the known tag names and the known character entities.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"

#include <iterator>

namespace SrcHtmlTables {

namespace {

// "!DOCTYPE", then each tag name followed by its end-tag form where it has one.
constexpr const char* TagNameList[] = {
    "!DOCTYPE", "A", "/A", "ABBR", "/ABBR", "ACRONYM", "/ACRONYM", "ADDRESS", "/ADDRESS", "APPLET", "/APPLET",
    "AREA", "B", "/B", "BASE", "BASEFONT", "BDO", "/BDO", "BGSOUND", "BIG", "/BIG", "BLINK", "/BLINK",
    "BLOCKQUOTE", "/BLOCKQUOTE", "BODY", "/BODY", "BR", "BUTTON", "/BUTTON", "CAPTION", "/CAPTION", "CENTER",
    "/CENTER", "CITE", "/CITE", "CODE", "/CODE", "COL", "COLGROUP", "/COLGROUP", "COMMENT", "/COMMENT", "DD",
    "/DD", "DEL", "/DEL", "DFN", "/DFN", "DIR", "/DIR", "DIV", "/DIV", "DL", "/DL", "DT", "/DT", "EM", "/EM",
    "EMBED", "/EMBED", "FIELDSET", "/FIELDSET", "FONT", "/FONT", "FORM", "/FORM", "FRAME", "FRAMESET",
    "/FRAMESET", "H1", "/H1", "H2", "/H2", "H3", "/H3", "H4", "/H4", "H5", "/H5", "H6", "/H6", "HEAD", "/HEAD",
    "HR", "HTML", "/HTML", "I", "/I", "IFRAME", "/IFRAME", "ILAYER", "/ILAYER", "IMG", "INPUT", "INS", "/INS",
    "ISINDEX", "KBD", "/KBD", "KEYGEN", "LABEL", "/LABEL", "LAYER", "/LAYER", "LEGEND", "/LEGEND", "LI", "/LI",
    "LINK", "LISTING", "/LISTING", "MAP", "/MAP", "MARQUEE", "/MARQUEE", "MENU", "/MENU", "META", "MULTICOL",
    "/MULTICOL", "NEXTID", "NOBR", "/NOBR", "NOEMBED", "/NOEMBED", "NOFRAMES", "/NOFRAMES", "NOLAYER",
    "/NOLAYER", "NOSCRIPT", "/NOSCRIPT", "OBJECT", "/OBJECT", "OL", "/OL", "OPTGROUP", "/OPTGROUP", "OPTION",
    "/OPTION", "P", "/P", "PARAM", "PLAINTEXT", "PRE", "/PRE", "Q", "/Q", "S", "/S", "SAMP", "/SAMP", "SCRIPT",
    "/SCRIPT", "SELECT", "/SELECT", "SERVER", "/SERVER", "SMALL", "/SMALL", "SPACER", "SPAN", "/SPAN", "STRIKE",
    "/STRIKE", "STRONG", "/STRONG", "STYLE", "/STYLE", "SUB", "/SUB", "SUP", "/SUP", "TABLE", "/TABLE", "TBODY",
    "/TBODY", "TD", "/TD", "TEXTAREA", "/TEXTAREA", "TFOOT", "/TFOOT", "TH", "/TH", "THEAD", "/THEAD", "TITLE",
    "/TITLE", "TR", "/TR", "TT", "/TT", "U", "/U", "UL", "/UL", "VAR", "/VAR", "WBR", "XMP", "/XMP",
};
static_assert(std::size(TagNameList) == 202);

constexpr const char* EntityList[] = {
    "&Alpha;", "&Beta;", "&Gamma;", "&Delta;", "&Epsilon;", "&Zeta;", "&Eta;", "&Theta;", "&Iota;", "&Kappa;",
    "&Lambda;", "&Mu;", "&Nu;", "&Xi;", "&Omicron;", "&Pi;", "&Rho;", "&Sigma;", "&Tau;", "&Upsilon;", "&Phi;",
    "&Chi;", "&Psi;", "&Omega;", "&alpha;", "&beta;", "&gamma;", "&delta;", "&epsilon;", "&zeta;", "&eta;",
    "&theta;", "&iota;", "&kappa;", "&lambda;", "&mu;", "&nu;", "&xi;", "&omicron;", "&pi;", "&rho;",
    "&sigmaf;", "&sigma;", "&tau;", "&upsilon;", "&phi;", "&chi;", "&psi;", "&omega;", "&thetasym;", "&upsih;",
    "&piv;", "&bull;", "&hellip;", "&prime;", "&Prime;", "&oline;", "&frasl;", "&weierp;", "&image;", "&real;",
    "&trade;", "&alefsym;", "&larr;", "&uarr;", "&rarr;", "&darr;", "&harr;", "&crarr;", "&lArr;", "&uArr;",
    "&rArr;", "&dArr;", "&hArr;", "&forall;", "&part;", "&exist;", "&empty;", "&nabla;", "&isin;", "&notin;",
    "&ni;", "&prod;", "&sum;", "&minus;", "&lowast;", "&radic;", "&prop;", "&infin;", "&ang;", "&and;", "&or;",
    "&cap;", "&cup;", "&int;", "&there4;", "&sim;", "&cong;", "&asymp;", "&ne;", "&equiv;", "&le;", "&ge;",
    "&sub;", "&sup;", "&nsub;", "&sube;", "&supe;", "&oplus;", "&otimes;", "&perp;", "&sdot;", "&lceil;",
    "&rceil;", "&lfloor;", "&rfloor;", "&lang;", "&rang;", "&loz;", "&spades;", "&clubs;", "&hearts;",
    "&diams;", "&lsquo;", "&rsquo;", "&sbquo;", "&ldquo;", "&rdquo;", "&bdquo;", "&dagger;", "&Dagger;",
    "&permil;", "&lsaquo;", "&rsaquo;", "&quot;", "&amp;", "&lt;", "&gt;", "&ndash;", "&mdash;", "&nbsp;",
    "&thinsp;", "&ensp;", "&emsp;", "&iexcl;", "&cent;", "&pound;", "&curren;", "&yen;", "&brvbar;", "&brkbar;",
    "&sect;", "&uml;", "&die;", "&copy;", "&ordf;", "&laquo;", "&not;", "&shy;", "&reg;", "&macr;", "&hibar;",
    "&deg;", "&plusmn;", "&sup2;", "&sup3;", "&acute;", "&micro;", "&para;", "&middot;", "&cedil;", "&sup1;",
    "&ordm;", "&raquo;", "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&Agrave;", "&Aacute;", "&Acirc;",
    "&Atilde;", "&Auml;", "&Aring;", "&AElig;", "&Ccedil;", "&Egrave;", "&Eacute;", "&Ecirc;", "&Euml;",
    "&Igrave;", "&Iacute;", "&Icirc;", "&Iuml;", "&ETH;", "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",
    "&Otilde;", "&Ouml;", "&times;", "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;", "&Uuml;", "&Yacute;",
    "&THORN;", "&szlig;", "&agrave;", "&aacute;", "&acirc;", "&atilde;", "&auml;", "&aring;", "&aelig;",
    "&ccedil;", "&egrave;", "&eacute;", "&ecirc;", "&euml;", "&igrave;", "&iacute;", "&icirc;", "&iuml;",
    "&eth;", "&ntilde;", "&ograve;", "&oacute;", "&ocirc;", "&otilde;", "&ouml;", "&divide;", "&oslash;",
    "&ugrave;", "&uacute;", "&ucirc;", "&uuml;", "&yacute;", "&thorn;", "&yuml;", "&euro;", "&OElig;",
    "&oelig;", "&scaron;", "&Scaron;", "&fnof;", "&circ;",
};
static_assert(std::size(EntityList) == 249);

} // namespace

std::span<const char* const> TagNames()
{
    return TagNameList;
}

std::span<const char* const> Entities()
{
    return EntityList;
}

} // namespace SrcHtmlTables
