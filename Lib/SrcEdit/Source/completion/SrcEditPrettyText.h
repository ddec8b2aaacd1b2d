#pragma once
// Pretty text: the formatted lines of the completion pop-up. Plain text carries commands
// written as a backslash, a name and a parameter in braces ("\color{clRed}", "\style{+B}",
// "\column{}", "\hspace{4}", "\image{2}"); two backslashes stand for one. This unit parses such
// text into chunks, draws and measures a chunk list on a canvas (aligning column jumps to the
// proposal columns), strips the formatting, and renders a parameter list with one element in
// bold for parameter hints.

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/ImgList.h"
#include "Platform/core/Set.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The kinds of chunk; 0 is a run of plain text.
enum TPrettyCommand { pcText, pcColor, pcStyle, pcColumn, pcHSpace, pcImage };
using TPrettyCommands = TSet<TPrettyCommand>;

struct TFormatChunk {
    TPrettyCommand Kind = pcText;
    std::string Text;        // pcText
    TColor Color = clBlack;  // pcColor
    TFontStyle Style = fsBold; // pcStyle: the style letter
    int StyleAction = 0;     // pcStyle: +1 adds, -1 removes, 0 toggles
    int Value = 0;           // pcHSpace: pixels; pcImage: the image index
};

class TFormatChunkList {
public:
    int Count() const { return static_cast<int>(FChunks.size()); }
    const TFormatChunk& Items(int index) const { return FChunks.at(static_cast<size_t>(index)); }
    void Add(TFormatChunk chunk) { FChunks.push_back(std::move(chunk)); }
    void Clear() { FChunks.clear(); }
    auto begin() const { return FChunks.begin(); }
    auto end() const { return FChunks.end(); }

private:
    std::vector<TFormatChunk> FChunks;
};

// One column that column jumps align to: it is as wide as BiggestWord followed by one blank.
class TProposalColumn : public TPersistent {
public:
    std::string BiggestWord = "CONSTRUCTOR";
    TFontStyles DefaultFontStyle;
    // Kept for the stored form; drawing measures BiggestWord.
    int InternalWidth = -1;

    void Assign(const TPersistent& source) override;
};

class TProposalColumns : public TPersistent {
public:
    int Count() const { return static_cast<int>(FColumns.size()); }
    TProposalColumn& Items(int index) { return *FColumns.at(static_cast<size_t>(index)); }
    const TProposalColumn& Items(int index) const { return *FColumns.at(static_cast<size_t>(index)); }
    TProposalColumn& Add();
    void Clear() { FColumns.clear(); }
    void Assign(const TPersistent& source) override;

private:
    std::vector<std::unique_ptr<TProposalColumn>> FColumns;
};

// Parses `text` into `chunks` (which are not cleared first), leaving out chunks whose kind is
// in `excluded`. False when a command is unknown or its parameter is bad; such a command adds
// nothing and the rest is still parsed. A command cut off by the end of the text is dropped.
bool ParsePrettyText(std::string_view text, TFormatChunkList& chunks, TPrettyCommands excluded = {});

// Draws the chunks on the canvas from the rectangle's left edge at its upper edge, text on a
// transparent background, and returns the x reached. Measuring only moves x (and still follows
// style changes, which change widths). The canvas font comes back as it was. Images are drawn
// from `images` when given; columns null means there are none.
int DrawFormatChunks(TCanvas& canvas, const TRect& rect, const TFormatChunkList& chunks, bool measureOnly,
                     const TCustomImageList* images, const TProposalColumns* columns);

// Pretty text in a rectangle; on the selected line the colour commands are ignored, so that
// the text keeps the selection's colour.
void PrettyTextOut(TCanvas& canvas, const TRect& rect, std::string_view text, bool selected,
                   const TCustomImageList* images, const TProposalColumns* columns);
// The width the text takes in the canvas font.
int PrettyTextWidth(TCanvas& canvas, std::string_view text, const TCustomImageList* images,
                     const TProposalColumns* columns);
// The text without any formatting.
std::string StripPrettyText(std::string_view text);

// The item split into elements at commas and blanks (double quotes group an element) and
// joined again, with the element at `currentIndex` between two "\style{~B}" commands. Elements
// that a comma separated stay separated by ", ", the others by one blank.
std::string FormatParamList(std::string_view item, int currentIndex);
// The number of elements FormatParamList finds in the item.
int ParamListCount(std::string_view item);
