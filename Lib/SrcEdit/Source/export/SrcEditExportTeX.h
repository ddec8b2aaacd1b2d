#pragma once
// TSrcExporterTeX: highlighted text as a LaTeX article in UTF-8. Every highlighter attribute
// becomes a one-argument command defined in the preamble and every token that command applied
// to the escaped text; characters that LaTeX treats specially become macros.

#include "SrcEdit/Source/export/SrcEditExport.h"

#include <map>

class TSrcExporterTeX : public TSrcCustomExporter {
public:
    explicit TSrcExporterTeX(TComponent* AOwner = nullptr);

    int Margin = 2; // centimetres
    int TabWidth = 2;
    bool CreateTeXFragment = false;
    bool PageStyleEmpty = false;

    std::string DefaultFilter() const override { return "TeX Files (*.tex)|*.tex"; }
    std::string OutputFormatName() const override { return "TeX"; }

    // "PHP1.Reserved Word" -> "PHPAReservedWord".
    static std::string AttributeCommandName(std::string_view uniqueName);
    // "1,0,0" for red: each part / 255 with at most two significant digits.
    static std::string TeXColor(TColor color);

protected:
    void CloseStyleRun(bool, bool, TFontStyles) override {}
    void OpenStyleRun(bool, bool, TFontStyles) override {}
    void CloseLastStyleRun() override {}
    void OpenFirstStyleRun(bool, bool, TFontStyles) override {}
    void ApplyTokenAttri(TSrcHighlighterAttributes* attribute) override { FAttribute = attribute; }
    void EmitToken(const std::string& text) override;
    void EmitLineBreak() override;
    std::string TrailerText() override;
    std::string PreambleText() override;
    void StartExport() override;

private:
    std::string AttributeCommand(const TSrcHighlighterAttributes& attribute, const std::string& uniqueName) const;

    TSrcHighlighterAttributes* FAttribute = nullptr;
    std::map<const TSrcHighlighterAttributes*, std::string> FCommandNames;
};
