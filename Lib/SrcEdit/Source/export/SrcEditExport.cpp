#include "SrcEdit/Source/export/SrcEditExport.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Strings.h"
#include "Platform/text/TextChars.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <algorithm>
#include <climits>
#include <new>

TColor ResolvedColor(TColor color, TColor none)
{
    return ColorToRGB(color == clNone ? none : color);
}

TSrcCustomExporter::TSrcCustomExporter(TComponent* AOwner) : TComponent(AOwner)
{
    SetFont(nullptr);
    ResetOutput();
}

TSrcCustomExporter::~TSrcCustomExporter()
{
    SetHighlighter(nullptr);
}

void TSrcCustomExporter::SetFont(const TFont* value)
{
    if (value) {
        FFont.Assign(*value);
        return;
    }
    TFont font;
    font.SetName("Courier New");
    font.SetSize(10);
    font.SetColor(clWindowText);
    FFont.Assign(font);
}

void TSrcCustomExporter::SetHighlighter(TSrcCustomHighlighter* value)
{
    if (value == FHighlighter)
        return;
    if (FHighlighter)
        RemoveFreeNotification(FHighlighter);
    FHighlighter = value;
    if (FHighlighter)
        FreeNotification(FHighlighter);
    ResetOutput();
    ApplyBackgroundFromHighlighter();
}

void TSrcCustomExporter::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FHighlighter)
        FHighlighter = nullptr;
}

void TSrcCustomExporter::ApplyBackgroundFromHighlighter()
{
    if (!FUseBackground || !FHighlighter)
        return;
    TSrcHighlighterAttributes* space = FHighlighter->RoleAttri(arWhitespace);
    if (space && space->Background() != clNone)
        Color = space->Background();
}

void TSrcCustomExporter::SetUseBackground(bool value)
{
    FUseBackground = value;
    ApplyBackgroundFromHighlighter();
}

void TSrcCustomExporter::SetTitle(const std::string& value)
{
    FTitle = value.empty() ? "Untitled" : value;
}

void TSrcCustomExporter::SetDocumentMode(bool on)
{
    if (on != FDocumentMode) {
        FDocumentMode = on;
        ResetOutput();
    }
}

void TSrcCustomExporter::ResetOutput()
{
    FBuffer.clear();
    FLastStyle = {};
    FLastBackground = clWindow;
    FLastForeground = clWindowText;
    FFirstToken = true;
}

std::string TSrcCustomExporter::EscapeText(std::string_view text) const
{
    const bool plain = std::none_of(text.begin(), text.end(), [this](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || !Replacements[static_cast<unsigned char>(c)].empty();
    });
    if (plain)
        return std::string(text);
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    for (size_t i = 0; i < text.size();) {
        const int length = TextChars::CharLength(text, i);
        if (length > 1) {
            result += EncodeMultiByteChar(text.substr(i, static_cast<size_t>(length)));
        } else {
            const std::string& replacement = Replacements[static_cast<unsigned char>(text[i])];
            if (replacement.empty())
                result += text[i];
            else
                result += replacement;
        }
        i += static_cast<size_t>(std::max(1, length));
    }
    return result;
}

void TSrcCustomExporter::ExportLines(const TStrings& lines)
{
    ExportLineRange(lines, MakeBufferCoord(1, 1), MakeBufferCoord(INT_MAX, INT_MAX));
}

void TSrcCustomExporter::ExportLineRange(const TStrings& lines, TBufferCoord start, TBufferCoord stop)
{
    // why: a refused export must not leave an earlier one behind for the next write or copy.
    ResetOutput();
    const int count = lines.Count();
    const int requestedStopLine = stop.LineNumber;
    if (count == 0 || !FHighlighter || start.LineNumber > count || stop.LineNumber < start.LineNumber)
        Abort();
    stop.LineNumber = std::clamp(stop.LineNumber, 1, count);
    const auto lengthOf = [&](int line) { return static_cast<int>(lines.Get(line - 1).size()); };
    stop.CharIndex = std::clamp(stop.CharIndex, 1, lengthOf(stop.LineNumber) + 1);
    start.LineNumber = std::max(start.LineNumber, 1);
    start.CharIndex = std::clamp(start.CharIndex, 1, lengthOf(start.LineNumber) + 1);
    // why: only a range asked for within one line can be empty; a whole one-line text with an
    // empty line still exports that line.
    if (start.LineNumber == requestedStopLine && start.CharIndex >= stop.CharIndex)
        Abort();

    FBuffer.reserve(static_cast<size_t>(std::max(4096, 128 * (stop.LineNumber - start.LineNumber))));
    FHighlighter->ClearRange();
    FFirstToken = true;
    StartExport();
    for (int line = start.LineNumber; line <= stop.LineNumber; ++line) {
        std::string text = lines.Get(line - 1);
        if (line == stop.LineNumber)
            text.resize(static_cast<size_t>(stop.CharIndex - 1));
        if (line == start.LineNumber)
            text.erase(0, static_cast<size_t>(start.CharIndex - 1));
        FHighlighter->StartLine(text, line);
        while (!FHighlighter->AtLineEnd()) {
            TSrcHighlighterAttributes* attribute = FHighlighter->TokenAttri();
            const std::string escaped = EscapeText(FHighlighter->TokenText());
            ApplyTokenAttri(attribute);
            EmitToken(escaped);
            FHighlighter->AdvanceToken();
        }
        EmitLineBreak();
    }
    if (!FFirstToken)
        CloseLastStyleRun();
    const std::string preamble = PreambleText();
    FBuffer.insert(0, preamble);
    FBuffer += TrailerText();
}

void TSrcCustomExporter::ApplyTokenAttri(TSrcHighlighterAttributes* attribute)
{
    FCurrentAttribute = attribute;
    const TColor background = ResolvedColor(attribute ? attribute->Background() : clNone, Color);
    const TColor foreground = ResolvedColor(attribute ? attribute->Foreground() : clNone, FFont.Color());
    const TFontStyles style = attribute ? attribute->Style() : TFontStyles();
    if (FFirstToken) {
        FFirstToken = false;
        FLastBackground = background;
        FLastForeground = foreground;
        FLastStyle = style;
        OpenFirstStyleRun(FUseBackground && background != Color, foreground != FFont.Color(), style);
        return;
    }
    const bool backgroundChanged = FUseBackground && background != FLastBackground;
    const bool foregroundChanged = foreground != FLastForeground;
    if (!backgroundChanged && !foregroundChanged && style == FLastStyle)
        return;
    const TFontStyles removed = FLastStyle - style;
    const TFontStyles added = style - FLastStyle;
    CloseStyleRun(backgroundChanged, foregroundChanged, removed);
    FLastBackground = background;
    FLastForeground = foreground;
    FLastStyle = style;
    OpenStyleRun(backgroundChanged, foregroundChanged, added);
}

void TSrcCustomExporter::WriteToFile(const std::string& fileName) const
{
    SaveFileAtomically(fileName, FBuffer);
}

std::unique_ptr<QMimeData> TSrcCustomExporter::MakeClipboardData(const std::string& bytes,
                                                                 const std::string& mimeType) const
{
    auto data = std::make_unique<QMimeData>();
    if (mimeType == "text/plain")
        data->setText(QStr(bytes));
    else
        data->setData(QStr(mimeType), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return data;
}

void TSrcCustomExporter::PutOnClipboard() const
{
    std::unique_ptr<QMimeData> data;
    try {
        data = MakeClipboardData(FBuffer, FDocumentMode ? std::string("text/plain") : NativeClipboardFormat());
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of memory");
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw EOutOfResources("Out of memory");
    clipboard->setMimeData(data.release());
}
