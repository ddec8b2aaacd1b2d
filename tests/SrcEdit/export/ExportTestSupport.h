#pragma once
// What the exporter tests share: a string list from lines, the PHP page the IDE highlights, and
// the export of a text through an exporter in document mode.

#include "SrcEdit/highlighters/IdePageHighlighter.h"

#include "SrcEdit/Source/export/SrcEditExport.h"

#include "Platform/text/Strings.h"

#include <string>
#include <vector>

inline void FillLines(TStringList& list, const std::vector<std::string>& lines)
{
    list.Clear();
    for (const std::string& line : lines)
        list.Add(line);
}

// A PHP page with HTML, CSS, JavaScript, characters that every format escapes and UTF-8 text.
inline std::vector<std::string> SamplePage()
{
    return {"<html><head><title>Prüfung & \"Test\"</title>",
            "<style>body { color: #ff0000; } /* 50% */</style></head>",
            "<body>",
            "<?php",
            "// {braces} \\back\\slash ~tilde^ $money & <tags> #hash @at_under",
            "$name = \"Grüße, 世界\";",
            "echo strlen($name) - 1; \t// tab",
            "?>",
            "<script>var a = b < c && d > e;</script>",
            "</body></html>"};
}

inline const std::string& Exported(TSrcCustomExporter& exporter, TSrcCustomHighlighter& highlighter,
                                   const std::vector<std::string>& lines)
{
    TStringList list;
    FillLines(list, lines);
    exporter.SetHighlighter(&highlighter);
    exporter.SetDocumentMode(true);
    exporter.ExportLines(list);
    return exporter.Output();
}
