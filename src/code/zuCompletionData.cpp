// Reading the completion data files and looking up tags, properties and names.

#include "code/zuCompletionData.h"

#include "common/zuFunctions.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <QtGlobal>

#include <algorithm>
#include <numeric>

namespace {

// Reads a data file of the folder; a missing or damaged one is reported and reads as empty.
TXmlElement LoadDataFile(const std::string& dataFolder, const std::string& name)
{
    TXmlElement root;
    std::string error;
    if (!LoadXmlTree(IncludeTrailingPathDelimiter(dataFolder) + name, root, error))
        qWarning("Completion data not loaded: %s", error.c_str());
    return root;
}

// Where the tags of each first letter begin among the children of html.xml (1-based).
int FirstTagPosition(char letter)
{
    static const std::pair<char, int> table[] = {
        {'A', 1},  {'B', 7},  {'C', 16}, {'D', 22}, {'E', 29}, {'F', 30}, {'H', 35}, {'I', 44}, {'K', 50}, {'L', 51},
        {'M', 55}, {'N', 58}, {'O', 60}, {'P', 64}, {'Q', 67}, {'S', 68}, {'T', 79}, {'U', 89}, {'V', 91},
    };
    for (const auto& [first, position] : table)
        if (first == letter)
            return position;
    return 0;
}

// Fills the two lists from the "name" of each child of `parent`: its list line in the format
// `line` gives for it, and the text `insert` makes of it. False when there is no child.
template <class Line, class Insert>
bool FillFromChildren(const TXmlElement& parent, TStringList& items, TStringList& inserts, Line line, Insert insert)
{
    items.Clear();
    inserts.Clear();
    for (const TXmlElement& child : parent.Children) {
        const std::string name = child.Attribute("name");
        items.Add(Format(line(name), {PrettyEscaped(name)}));
        inserts.Add(insert(name));
    }
    return items.Count() > 0;
}

} // namespace

std::string PrettyEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '\\')
            out += '\\';
    }
    return out;
}

void TCompletionData::LoadPHPCompletion(const std::string& dataFolder)
{
    PHPItems.Clear();
    PHPInserts.Clear();
    PHPDescriptions.Clear();
    FPHPNames.clear();
    const TXmlElement functions = LoadDataFile(dataFolder, "php-functions.xml");
    for (const TXmlElement& group : functions.Children)
        for (const TXmlElement& function : group.Children) {
            const std::string name = function.Attribute("n");
            PHPItems.Add(Format("\\image{0} %s\\column{}\\color{clBlue}\\style{+B} %s\\style{-B}\\color{0} %s",
                                {PrettyEscaped(function.Attribute("r")), PrettyEscaped(name),
                                 PrettyEscaped(function.Attribute("p"))}));
            PHPInserts.Add(name);
            PHPDescriptions.Add(function.Attribute("d"));
        }
    const TXmlElement variables = LoadDataFile(dataFolder, "php-variables.xml");
    for (const TXmlElement& variable : variables.Children) {
        const std::string name = variable.Attribute("name");
        PHPItems.Add(Format("\\image{1} \\color{clRed} \\style{+B} %s", {PrettyEscaped(name)}));
        PHPInserts.Add(name);
    }
    for (int i = 0; i < PHPInserts.Count(); ++i)
        FPHPNames.emplace(LowerCase(PHPInserts.Get(i)), i);
}

int TCompletionData::FindPHPName(std::string_view name) const
{
    const auto it = FPHPNames.find(LowerCase(name));
    return it == FPHPNames.end() ? -1 : it->second;
}

void TCompletionData::LoadCSSCompletion(const std::string& dataFolder)
{
    FCSSDocument = LoadDataFile(dataFolder, "css.xml");
    std::vector<const TXmlElement*> properties;
    for (const TXmlElement& group : FCSSDocument.Children)
        for (const TXmlElement& property : group.Children)
            properties.push_back(&property);
    // why: the lines and their insert texts are sorted together; sorted each by itself, "border"
    // and "border: " would not stay at the same index as "border-bottom" and "border-bottom: "
    std::stable_sort(properties.begin(), properties.end(), [](const TXmlElement* a, const TXmlElement* b) {
        return CompareText(a->Attribute("name"), b->Attribute("name")) < 0;
    });
    CSSPropertyItems.Clear();
    CSSPropertyInserts.Clear();
    FCSSPropertyNodes = properties;
    for (const TXmlElement* property : properties) {
        const std::string name = property->Attribute("name");
        CSSPropertyItems.Add(Format("\\image{3} \\color{clBlue} \\style{+B} %s", {PrettyEscaped(name)}));
        CSSPropertyInserts.Add(name + ": ");
    }
}

const TXmlElement* TCompletionData::FindCSSProperty(std::string_view name) const
{
    for (const TXmlElement* property : FCSSPropertyNodes)
        if (property->Attribute("name") == name)
            return property;
    return nullptr;
}

bool TCompletionData::FillCSSValues(const TXmlElement& property)
{
    return FillFromChildren(
        property, CSSValueItems, CSSValueInserts,
        [](const std::string& name) { return name.find('[') != std::string::npos ? "\\image{7} %s" : "\\image{8} %s"; },
        [](const std::string& name) { return name + ";"; });
}

void TCompletionData::LoadHTMLCompletion(const std::string& dataFolder)
{
    FHTMLDocument = LoadDataFile(dataFolder, "html.xml");
    FillFromChildren(
        FHTMLDocument, HTMLTagItems, HTMLTagInserts,
        [](const std::string&) { return "\\image{2} \\color{clBlue} \\style{+B} %s"; },
        [](const std::string& name) { return "<" + name; });
    EntityItems.Clear();
    EntityInserts.Clear();
    const std::string entityFile = FindFileNoCase(dataFolder, "htmlentity.dat");
    if (entityFile.empty()) {
        qWarning("Completion data not loaded: no htmlentity.dat in %s", dataFolder.c_str());
        return;
    }
    TStringList lines;
    try {
        lines.LoadFromFile(entityFile);
    } catch (const std::exception& e) {
        qWarning("Completion data not loaded: %s", e.what());
        return;
    }
    for (int i = 0; i < lines.Count(); ++i) {
        // The character, a TAB, the entity up to its ";", a TAB and a description.
        const std::string line = lines.Get(i);
        const size_t tab = line.find('\t');
        const size_t last = line.rfind('\t');
        if (tab == std::string::npos || tab == 0)
            continue;
        const std::string fields = line.substr(0, last);
        const size_t semicolon = fields.find(';', tab + 1);
        if (semicolon == std::string::npos)
            continue;
        const std::string character = fields.substr(0, tab);
        const std::string entity = fields.substr(tab + 1, semicolon - tab);
        EntityItems.Add(Format("\\color{clBlue}\\style{+B}%s\\style{-B}\\color{0}\\column{}%s",
                               {PrettyEscaped(character), PrettyEscaped(entity)}));
        EntityInserts.Add(entity);
    }
}

const TXmlElement* TCompletionData::FindTag(std::string_view name) const
{
    if (name.empty())
        return nullptr;
    const int first = FirstTagPosition(UpCase(name.front()));
    if (first == 0)
        return nullptr;
    const auto& tags = FHTMLDocument.Children;
    for (size_t i = static_cast<size_t>(first - 1); i < tags.size(); ++i)
        if (SameText(tags[i].Attribute("name"), name))
            return &tags[i];
    return nullptr;
}

bool TCompletionData::FillAttributeNames(const TXmlElement& tag)
{
    return FillFromChildren(
        tag, HTMLAttributeItems, HTMLAttributeInserts, [](const std::string&) { return "\\image{5} %s"; },
        [](const std::string& name) { return name + "=\"\""; });
}

bool TCompletionData::FillAttributeValues(const TXmlElement& tag, std::string_view attribute)
{
    HTMLAttributeItems.Clear();
    HTMLAttributeInserts.Clear();
    for (const TXmlElement& candidate : tag.Children)
        if (candidate.Attribute("name") == attribute && !candidate.Children.empty())
            return FillFromChildren(
                candidate, HTMLAttributeItems, HTMLAttributeInserts, [](const std::string&) { return "\\image{4} %s"; },
                [](const std::string& name) { return name; });
    return false;
}
