#pragma once
// TSrcCustomExporter: turns highlighted text into a formatted document. It walks lines token by
// token through a highlighter and lets a format's subclass write each token and each change of
// colour or font style into a byte buffer, puts a preamble before and a trailer after the body,
// and writes the buffer to a file or the clipboard.
//
// Text is UTF-8: a character of several bytes reaches the subclass whole (EncodeMultiByteChar).

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Component.h"
#include "Platform/graphics/Graphics.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

class QMimeData;
class TSrcCustomHighlighter;
class TSrcHighlighterAttributes;
class TStrings;

class TSrcCustomExporter : public TComponent {
public:
    explicit TSrcCustomExporter(TComponent* AOwner = nullptr);
    ~TSrcCustomExporter() override;

    TColor Color = clWindow;
    virtual std::string DefaultFilter() const { return {}; }
    const TFont& Font() const { return FFont; }
    // Null resets it to Courier New, 10 pt, clWindowText, no style.
    void SetFont(const TFont* value);
    TSrcCustomHighlighter* Highlighter() const { return FHighlighter; }
    void SetHighlighter(TSrcCustomHighlighter* value);
    const std::string& Title() const { return FTitle; }
    // An empty value restores "Untitled".
    void SetTitle(const std::string& value);
    bool UseBackground() const { return FUseBackground; }
    void SetUseBackground(bool value);
    bool DocumentMode() const { return FDocumentMode; }
    void SetDocumentMode(bool on);

    void ExportLines(const TStrings& lines);
    // Lines from `start` to `stop` (1-based (character, line)), the character at `stop`
    // excluded. A missing text, no highlighter or an invalid range ends in a silent EAbort and
    // leaves the output empty.
    void ExportLineRange(const TStrings& lines, TBufferCoord start, TBufferCoord stop);
    std::string EscapeText(std::string_view text) const;
    // The exported document (or fragment).
    const std::string& Output() const { return FBuffer; }

    // Raises when the file cannot be written; an existing file keeps its bytes then.
    void WriteToFile(const std::string& fileName) const;
    // In document mode as plain text, else in the format's own clipboard type. Raises
    // EOutOfResources "Out of memory" when the data cannot be made.
    void PutOnClipboard() const;
    // The MIME type of the format's own clipboard data.
    virtual std::string NativeClipboardFormat() const { return "text/plain"; }
    virtual std::string OutputFormatName() const { return {}; }

protected:
    virtual void CloseStyleRun(bool backgroundChanged, bool foregroundChanged, TFontStyles stylesRemoved) = 0;
    virtual void OpenStyleRun(bool backgroundChanged, bool foregroundChanged, TFontStyles stylesAdded) = 0;
    virtual void CloseLastStyleRun() = 0;
    virtual void OpenFirstStyleRun(bool backgroundChanged, bool foregroundChanged, TFontStyles styles) = 0;
    virtual void EmitToken(const std::string& text) { FBuffer += text; }
    virtual void EmitLineBreak() = 0;
    virtual std::string TrailerText() = 0;
    // Built after the body, which it may still extend (Body()).
    virtual std::string PreambleText() = 0;
    // A character of several bytes; the bytes unchanged in the base.
    virtual std::string EncodeMultiByteChar(std::string_view character) const { return std::string(character); }
    // Null for a token the highlighter gives no attribute.
    virtual void ApplyTokenAttri(TSrcHighlighterAttributes* attribute);
    virtual void ResetOutput();
    // Called when an export starts, after the output was emptied.
    virtual void StartExport() {}
    // Makes the clipboard data of `bytes` as `mimeType` (plain text as text).
    virtual std::unique_ptr<QMimeData> MakeClipboardData(const std::string& bytes, const std::string& mimeType) const;

    void Notification(TComponent* component, TOperation operation) override;

    std::string& Body() { return FBuffer; }
    // The replacement of each byte value; empty: written as it is.
    std::array<std::string, 256> Replacements;
    TColor LastBackground() const { return FLastBackground; }
    TColor LastForeground() const { return FLastForeground; }
    TFontStyles LastStyle() const { return FLastStyle; }
    TSrcHighlighterAttributes* CurrentAttribute() const { return FCurrentAttribute; }

private:
    void ApplyBackgroundFromHighlighter();

    TFont FFont;
    TSrcCustomHighlighter* FHighlighter = nullptr;
    std::string FTitle = "Untitled";
    bool FUseBackground = false;
    bool FDocumentMode = false;
    std::string FBuffer;
    bool FFirstToken = true;
    TColor FLastBackground = clWindow;
    TColor FLastForeground = clWindowText;
    TFontStyles FLastStyle;
    TSrcHighlighterAttributes* FCurrentAttribute = nullptr;
};

// Runs of the exporters compare resolved colours: clNone stands for `none`, everything else
// becomes RGB.
TColor ResolvedColor(TColor color, TColor none);
