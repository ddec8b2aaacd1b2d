#include "code/zuCodeLibrary.h"

#include "code/zuXmlTree.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"

namespace {

const TLibraryInfo Infos[] = {
    {TLibraryKind::lkPHP, "PHP 5 Functions", "php-functions.xml"},
    {TLibraryKind::lkHTML, "HTML 4.1 Elements/Attributes", "html.xml"},
    {TLibraryKind::lkCSS, "CSS Level 2 Properties", "css.xml"},
    {TLibraryKind::lkJavaScript, "JavaScript", "javascript.xml"},
};

TLibraryEntry Category(TLibraryKind kind, const TXmlElement& element)
{
    switch (kind) {
    case TLibraryKind::lkPHP: return {element.Attribute("c"), {}, {}};
    case TLibraryKind::lkHTML: {
        const std::string name = element.Attribute("name");
        // why: "yes" says the tag has an end tag, as tag closing reads it, so it gets one here too.
        if (element.Attribute("endtag") == "yes")
            return {name, "<" + name + "></" + name + ">", {}};
        return {name, "<" + name + ">", {}};
    }
    case TLibraryKind::lkCSS:
    case TLibraryKind::lkJavaScript: return {element.Attribute("name"), {}, {}};
    }
    return {};
}

TLibraryEntry Entry(TLibraryKind kind, const TLibraryEntry& category, const TXmlElement& element)
{
    switch (kind) {
    case TLibraryKind::lkPHP: {
        const std::string name = element.Attribute("n");
        return {name, name + "()", {}};
    }
    case TLibraryKind::lkHTML: {
        const std::string name = element.Attribute("name");
        return {name, name, {}};
    }
    case TLibraryKind::lkCSS: {
        const std::string name = element.Attribute("name");
        return {name, name + ": ", {}};
    }
    case TLibraryKind::lkJavaScript: {
        const std::string name = element.Attribute("name");
        return {name, category.Caption + "." + name, {}};
    }
    }
    return {};
}

} // namespace

std::span<const TLibraryInfo> LibraryInfos()
{
    return Infos;
}

bool LoadLibraryEntries(TLibraryKind kind, const std::string& dataFolder, std::vector<TLibraryEntry>& entries)
{
    const std::string fileName = dataFolder + Infos[static_cast<int>(kind)].FileName;
    if (!FileExists(fileName))
        return false;
    TXmlElement root;
    std::string error;
    if (!LoadXmlTree(fileName, root, error))
        throw Exception(error);
    std::vector<TLibraryEntry> loaded;
    loaded.reserve(root.Children.size());
    for (const TXmlElement& element : root.Children) {
        TLibraryEntry category = Category(kind, element);
        category.Children.reserve(element.Children.size());
        for (const TXmlElement& child : element.Children)
            category.Children.push_back(Entry(kind, category, child));
        loaded.push_back(std::move(category));
    }
    entries = std::move(loaded);
    return true;
}

void InsertLibraryText(TCustomSrcEdit& editor, const std::string& text)
{
    editor.SetSelectedText(text);
    int back = 0;
    if (text.find("()") != std::string::npos || text.find("[]") != std::string::npos)
        back = 1;
    else if (const size_t p = text.find("><"); p != std::string::npos)
        back = static_cast<int>(p) + 2;
    if (back > 0)
        editor.SetCaretChar(editor.CaretChar() - back);
    editor.ScrollCaretIntoView();
}
