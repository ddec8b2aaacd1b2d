#pragma once
// Declarations as PHP's own tokenizer reports them ("php/declarations.php") and as the scanner
// finds them, in one comparable form: "class LINE NAME" or "function LINE NAME" per
// declaration, classes followed by their members, in the order of the source.

#include "code/zuPHPParser.h"

#include "support/ConsumerTools.h"

#include <QProcess>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> ReadSourceLines(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

inline void AppendDeclarations(const TPHPList& list, std::vector<std::string>& out)
{
    for (int i = 0; i < list.Count(); ++i) {
        const TPHP* item = list.Items(i);
        const auto* caret = dynamic_cast<const TPHPCaret*>(item);
        if (dynamic_cast<const TPHPClass*>(item) || dynamic_cast<const TPHPFunction*>(item))
            out.push_back(std::string(dynamic_cast<const TPHPClass*>(item) ? "class " : "function ") +
                          std::to_string(caret->Line) + " " + item->Name);
        if (const auto* c = dynamic_cast<const TPHPClass*>(item))
            AppendDeclarations(c->Members, out);
    }
}

inline std::vector<std::string> ScannedDeclarations(const TPHPPage& page)
{
    std::vector<std::string> out;
    AppendDeclarations(page, out);
    return out;
}

// PHP's declarations of each file, by file name; empty when php could not be run.
inline std::map<std::string, std::vector<std::string>> TokenizedDeclarations(const std::string& script,
                                                                             const std::vector<std::string>& files)
{
    std::map<std::string, std::vector<std::string>> result;
    QStringList arguments{QString::fromStdString(script), "list"};
    for (const std::string& file : files)
        arguments << QString::fromStdString(file);
    if (!RequireTool("php"))
        return result;
    QProcess php;
    php.start("php", arguments);
    if (!php.waitForFinished(120000) || php.exitCode() != 0)
        return result;
    std::istringstream out(php.readAllStandardOutput().toStdString());
    std::string line;
    std::vector<std::string>* current = nullptr;
    while (std::getline(out, line)) {
        if (!current)
            current = &result[line];
        else if (line.empty())
            current = nullptr;
        else {
            // A trailing blank stands for an anonymous declaration's empty name.
            current->push_back(line);
        }
    }
    return result;
}
