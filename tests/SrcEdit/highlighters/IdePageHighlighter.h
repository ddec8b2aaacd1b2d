#pragma once
// The multi-language highlighter as the IDE sets it up for PHP pages (HTML by default, with XML,
// PHP, JavaScript and the two CSS schemes and their marker colours), for the tests that need it.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"

#include <string>

// A case-insensitive scheme of `multi` handing its fragments to `highlighter`.
inline TScheme* AddScheme(TSrcMultiSyn& multi, const std::string& name, const std::string& startExpr,
                          const std::string& endExpr, TSrcCustomHighlighter* highlighter)
{
    TScheme* scheme = multi.Schemes().Add();
    scheme->SetSchemeName(name);
    scheme->SetCaseSensitive(false);
    scheme->SetStartExpr(startExpr);
    scheme->SetEndExpr(endExpr);
    scheme->SetHighlighter(highlighter);
    return scheme;
}

struct IdePage {
    TSrcHTMLSyn Html;
    TSrcPHPSyn Php;
    TSrcXMLSyn Xml;
    TSrcJScriptSyn JScript;
    TSrcCssSyn Css;
    TSrcMultiSyn Multi; // invariant: declared last, so it goes first

    IdePage()
    {
        Multi.SetDefaultHighlighter(&Html);
        Multi.SetDefaultFilter("*.php;*.php3;*.phtml;*.inc");
        Multi.SetDefaultLanguageName("Default");
        Marker(AddScheme(Multi, "XML Marker", "<\\?(xml)", "\\?>", &Xml), clAqua, clWhite);
        TScheme* php = AddScheme(Multi, "PHP Marker", "<\\?(php){0,1}", "\\?>", &Php);
        Marker(php, static_cast<TColor>(8421631), clWhite);
        php->SetOpensInsideSchemes(true);
        Marker(AddScheme(Multi, "JavaScript Marker", "<(script)[^>]*>", "</script>", &JScript), clMoneyGreen,
               clWhite);
        Marker(AddScheme(Multi, "CSS within <style>...</style> ", "<(style)[^>]*>", "</style>", &Css), clFuchsia,
               clWhite);
        TScheme* styleAttribute = AddScheme(Multi, "CSS within style=\"...\"", "style=\"", "\"", &Css);
        Marker(styleAttribute, static_cast<TColor>(12615935), clBlack);
        styleAttribute->MarkerAttri()->SetStyle({});
    }

    static void Marker(TScheme* scheme, TColor background, TColor foreground)
    {
        scheme->MarkerAttri()->SetBackground(background);
        scheme->MarkerAttri()->SetForeground(foreground);
    }
};
