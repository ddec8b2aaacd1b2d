#pragma once
// TSrcExporterHTML: highlighted text as an XHTML page in UTF-8 with one style-sheet class per
// highlighter attribute, or, off document mode, as an "HTML Format" clipboard fragment with its
// byte-offset description.

#include "SrcEdit/Source/export/SrcEditExport.h"

#include <map>

class TSrcExporterHTML : public TSrcCustomExporter {
public:
    explicit TSrcExporterHTML(TComponent* AOwner = nullptr);

    bool CreateHTMLFragment = false;

    std::string DefaultFilter() const override { return "HTML Documents (*.htm;*.html)|*.htm;*.html"; }
    std::string NativeClipboardFormat() const override { return "application/x-zentu-html-format"; }
    std::string OutputFormatName() const override { return "HTML"; }

    // "PHP1.Reserved Word" -> "php1-reservedword".
    static std::string AttributeClassName(std::string_view uniqueName);
    // "#RRGGBB" of the colour resolved to RGB.
    static std::string HTMLColor(TColor color);
    std::string AttributeStyleRule(const TSrcHighlighterAttributes& attribute, const std::string& uniqueName) const;

protected:
    void CloseStyleRun(bool, bool, TFontStyles) override;
    void OpenStyleRun(bool, bool, TFontStyles) override;
    void CloseLastStyleRun() override;
    void OpenFirstStyleRun(bool, bool, TFontStyles) override;
    void EmitLineBreak() override;
    std::string TrailerText() override;
    std::string PreambleText() override;
    void StartExport() override;

private:
    std::string PageHead() const;
    void OpenSpan();

    // The opening tag of each attribute's run.
    std::map<const TSrcHighlighterAttributes*, std::string> FClassNames;
};
