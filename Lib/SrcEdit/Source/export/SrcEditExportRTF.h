#pragma once
// TSrcExporterRTF: highlighted text as a Rich Text Format document with one font, a colour table
// of the colours used (in order of first use) and colour and style control words at every change
// of attribute. Characters beyond ASCII are written as \u escapes.

#include "SrcEdit/Source/export/SrcEditExport.h"

#include <vector>

class TSrcExporterRTF : public TSrcCustomExporter {
public:
    explicit TSrcExporterRTF(TComponent* AOwner = nullptr);

    std::string DefaultFilter() const override { return "Rich Text Format Documents (*.rtf)|*.rtf"; }
    std::string NativeClipboardFormat() const override { return "application/x-zentu-rich-text-format"; }
    std::string OutputFormatName() const override { return "RTF"; }

protected:
    void CloseStyleRun(bool, bool, TFontStyles stylesRemoved) override;
    void OpenStyleRun(bool backgroundChanged, bool foregroundChanged, TFontStyles stylesAdded) override;
    void CloseLastStyleRun() override {}
    void OpenFirstStyleRun(bool backgroundChanged, bool foregroundChanged, TFontStyles styles) override;
    void EmitLineBreak() override;
    std::string TrailerText() override { return "}"; }
    std::string PreambleText() override;
    std::string EncodeMultiByteChar(std::string_view character) const override;
    void ResetOutput() override;

private:
    int ColorIndex(TColor rgb);

    std::vector<TColor> FColors;
    bool FControlWordPending = false;
};
