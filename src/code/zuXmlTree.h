#pragma once
// The elements of an XML data file as a tree: each element with its attributes and its child
// elements in document order. Element names are kept but the data files are read by nesting
// and attributes only; text, comments and processing instructions are left out.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TXmlElement {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::vector<TXmlElement> Children;

    // The attribute's value, "" when the element has none of that name.
    std::string Attribute(std::string_view name) const;
};

// Reads the file into `root` (the document element). False, with `error` telling the file and
// the reason, when the file cannot be read or is not well-formed XML; `root` is then empty.
bool LoadXmlTree(const std::string& fileName, TXmlElement& root, std::string& error);
