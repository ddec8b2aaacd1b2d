#pragma once
// The completion data of the editor module, read once from the data folder: PHP functions and
// predefined variables with their formatted list lines, insert texts and descriptions; CSS
// properties with their values; HTML tags with their attributes and attribute values, and the
// HTML entities. An "items" list holds the formatted lines of the pop-up (pretty text), the
// "inserts" list, index for index, the text that goes into the editor.
//
// A missing or damaged file leaves its lists empty and reports the reason as a warning; the
// other files load as they are.

#include "code/zuXmlTree.h"

#include "Platform/text/Strings.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TCompletionData {
public:
    // "php-functions.xml" then "php-variables.xml".
    void LoadPHPCompletion(const std::string& dataFolder);
    // "css.xml": the properties, sorted by name.
    void LoadCSSCompletion(const std::string& dataFolder);
    // "html.xml" and the entity list "htmlentity.dat" (its name matched without letter case).
    void LoadHTMLCompletion(const std::string& dataFolder);

    TStringList PHPItems;
    TStringList PHPInserts;
    // One per function; the variables that follow them have none.
    TStringList PHPDescriptions;
    TStringList CSSPropertyItems;
    TStringList CSSPropertyInserts;
    TStringList CSSValueItems;
    TStringList CSSValueInserts;
    TStringList HTMLTagItems;
    TStringList HTMLTagInserts;
    TStringList HTMLAttributeItems;
    TStringList HTMLAttributeInserts;
    TStringList EntityItems;
    TStringList EntityInserts;

    // The PHP functions come first in the PHP lists.
    int PHPFunctionCount() const { return PHPDescriptions.Count(); }
    // The index in PHPInserts of a name, letter case ignored; -1 when there is none.
    int FindPHPName(std::string_view name) const;

    // The tag element of html.xml: the search starts where the tags of the name's first letter
    // begin and compares names without letter case. Null when not found.
    const TXmlElement* FindTag(std::string_view name) const;
    // The CSS property of exactly this name; null when there is none.
    const TXmlElement* FindCSSProperty(std::string_view name) const;

    // Fill the value lists and the attribute lists for one request; false when nothing is
    // there to offer.
    bool FillCSSValues(const TXmlElement& property);
    bool FillAttributeNames(const TXmlElement& tag);
    bool FillAttributeValues(const TXmlElement& tag, std::string_view attribute);

private:
    TXmlElement FCSSDocument;
    TXmlElement FHTMLDocument;
    // The property element of each CSSPropertyInserts entry.
    std::vector<const TXmlElement*> FCSSPropertyNodes;
    std::unordered_map<std::string, int> FPHPNames; // lower-case name -> first index
};

// Text as pretty text shows it: every backslash doubled.
std::string PrettyEscaped(std::string_view text);
