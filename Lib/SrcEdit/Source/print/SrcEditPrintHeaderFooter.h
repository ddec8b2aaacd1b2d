#pragma once
// The header and the footer of printed pages: lines of text items, each with its own font and
// alignment, with macros for page number, page count, title, date and time, framed by a line,
// a box or a shaded box. The items are stored as one line of text (ItemsAsText).

#include "SrcEdit/Source/print/SrcEditPrintMargins.h"

#include "Platform/core/Set.h"
#include "Platform/core/Types.h"
#include "Platform/graphics/Graphics.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCanvas;

enum TFrameType { ftLine, ftBox, ftShaded };
using TFrameTypes = TSet<TFrameType>;

struct THeaderFooterItem {
    std::string ItemText;
    TFont ItemFont;
    int LineNo = 0;
    TAlignment ItemAlignment = taLeftJustify;
    int ItemIndex = 0;
};

// Upper-case subtractive Roman numeral; "" for 0 and negative numbers.
std::string RomanNumeral(int number);

class THeaderFooter : public TPersistent {
public:
    enum class TPlacement { Header, Footer };
    explicit THeaderFooter(TPlacement placement);
    ~THeaderFooter() override;

    TPlacement Placement() const { return FPlacement; }
    TFrameTypes FrameTypes() const { return FFrameTypes; }
    void SetFrameTypes(TFrameTypes value) { FFrameTypes = value; }
    TColor ShadedColor() const { return FShadedColor; }
    void SetShadedColor(TColor value) { FShadedColor = value; }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor value) { FLineColor = value; }
    const TFont& DefaultFont() const { return FDefaultFont; }
    void SetDefaultFont(const TFont& value) { FDefaultFont.Assign(value); }
    bool RomanNumbers() const { return FRomanNumbers; }
    void SetRomanNumbers(bool value) { FRomanNumbers = value; }
    bool MirrorPosition() const { return FMirrorPosition; }
    void SetMirrorPosition(bool value) { FMirrorPosition = value; }

    // A copy of `font` (of DefaultFont when null); answers the new item's index.
    int AddTextItem(const std::string& text, const TFont* font, int lineNumber, TAlignment alignment);
    void ClearTextItems();
    int TextItemCount() const { return static_cast<int>(FItems.size()); }
    THeaderFooterItem& TextItemAt(int index) { return *FItems.at(static_cast<size_t>(index)); }

    // Eleven "/"-separated fields per item, each item escaped once more and joined by "/".
    std::string ItemsAsText();
    void LoadItemsFromText(std::string_view text);
    // Every item font takes `value` as its pixels per inch, keeping its point size.
    void SetItemsPixelsPerInch(int value);

    void PrepareForJob(TCanvas& canvas, int pageCount, TSrcEditPrintMargins* margins, const std::string& title);
    void PrintHeaderFooter(TCanvas& canvas, int pageNumber);
    // The item text with its macros replaced for `pageNumber` (already shifted by the offset).
    std::string ExpandMacros(std::string_view text, int pageNumber) const;
    // -1 without items; the band's height in pixels after PrepareForJob.
    int FrameExtent() const { return FFrameExtent; }

    void SetJobDate(const std::string& date) { FJobDate = date; }
    void SetJobTime(const std::string& time) { FJobTime = time; }

    void Assign(const TPersistent& source) override;

private:
    struct TLineInfo {
        int BandHeight = 0;
        int MaxBaseline = 0;
    };
    void RenumberLines();
    void MeasureFrame();
    void DrawFrame(TCanvas& canvas) const;
    std::string NumberText(int number) const;

    TPlacement FPlacement;
    TFrameTypes FFrameTypes{ftLine};
    TColor FShadedColor = clSilver;
    TColor FLineColor = clBlack;
    TFont FDefaultFont;
    bool FRomanNumbers = false;
    bool FMirrorPosition = false;
    std::vector<std::unique_ptr<THeaderFooterItem>> FItems;
    std::string FJobDate, FJobTime, FJobTitle;
    int FJobPageCount = 0;
    TSrcEditPrintMargins* FMargins = nullptr;
    int FFrameExtent = -1;
    std::vector<TLineInfo> FLineInfo;
};

class THeader : public THeaderFooter {
public:
    THeader() : THeaderFooter(TPlacement::Header) {}
};

class TFooter : public THeaderFooter {
public:
    TFooter() : THeaderFooter(TPlacement::Footer) {}
};
