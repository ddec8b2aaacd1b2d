// Reading an XML data file into a tree of elements.

#include "code/zuXmlTree.h"

#include "Platform/core/QtBridge.h"

#include <QFile>
#include <QXmlStreamReader>

std::string TXmlElement::Attribute(std::string_view name) const
{
    for (const auto& [key, value] : Attributes)
        if (key == name)
            return value;
    return {};
}

bool LoadXmlTree(const std::string& fileName, TXmlElement& root, std::string& error)
{
    root = {};
    QFile file(QStr(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        error = fileName + ": " + StdStr(file.errorString());
        return false;
    }
    QXmlStreamReader reader(&file);
    // The elements being read, outermost first; the root is the first.
    std::vector<TXmlElement*> open;
    bool haveRoot = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            TXmlElement* element = nullptr;
            if (open.empty()) {
                element = &root;
                haveRoot = true;
            } else {
                open.back()->Children.emplace_back();
                element = &open.back()->Children.back();
            }
            element->Name = StdStr(reader.name().toString());
            for (const QXmlStreamAttribute& attribute : reader.attributes())
                element->Attributes.emplace_back(StdStr(attribute.name().toString()), StdStr(attribute.value().toString()));
            open.push_back(element);
        } else if (token == QXmlStreamReader::EndElement) {
            open.pop_back();
        }
    }
    if (reader.hasError() || !haveRoot) {
        error = fileName + ": " +
                (reader.hasError() ? StdStr(reader.errorString()) + " at line " + std::to_string(reader.lineNumber())
                                   : std::string("no document element"));
        root = {};
        return false;
    }
    return true;
}
