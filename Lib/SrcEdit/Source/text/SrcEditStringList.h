#pragma once
// The editor's line store: lines of bytes with per-line highlighter ranges and a cached
// tab-expanded length, the line break each line had in its file, line-break style detection on
// load, block insertion and deletion and the six change events; beside it the buffered writer
// that saves a store atomically.

#include "SrcEdit/Source/text/SrcEditTextRoutines.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Strings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TSafeFileStream;

// The line store's index error: "Invalid stringlist index %d". A list index error, so callers
// that guard list access with EListError catch it too.
ZENTU_DECLARE_EXCEPTION(ESrcEditStringList, EListError);

enum class TLineBreakStyle : std::uint8_t { lbsCRLF, lbsLF, lbsCR };

// The break that follows a line: the one it had in its file, or lbDefault, the list's
// LineBreakStyle, for a line made in the editor.
enum class TLineBreak : std::uint8_t { lbDefault, lbCRLF, lbLF, lbCR };

using TLineFlags = std::uint8_t;
enum : TLineFlags {
    lfHasTabs = 0x01,
    lfHasNoTabs = 0x02,
    lfExpandedLengthUnknown = 0x04,
};

// Index and Count are 0-based line index and number of lines.
using TStringListChangeEvent = std::function<void(TObject* Sender, int Index, int Count)>;

// Indexes are 0-based. Writes outside the list raise ESrcEditStringList and change nothing;
// reads outside it give "", nullptr or 0. Each change runs inside BeginUpdate/EndUpdate, so
// OnChanging and OnChange bracket it unless an outer update is open. Lengths and columns of
// expanded lines are display columns.
class TSrcEditStringList : public TStrings {
public:
    TSrcEditStringList();
    ~TSrcEditStringList() override;

    int Count() const override { return FLines.Count(); }
    // Never raises: an index outside the list gives the empty string.
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    int Capacity() const override { return FLines.Capacity(); }
    void SetCapacity(int capacity) override;
    void Clear() override;
    void Delete(int index) override;
    void Insert(int index, const std::string& s) override;
    int Add(const std::string& s) override;
    void AddStrings(const TStrings& strings) override;
    void Exchange(int index1, int index2) override;

    // Lines added one at a time start with range -1; InsertBlankLines makes empty lines with
    // range 0 for the caller to fill with Put.
    void InsertBlankLines(int index, int numLines);
    // Removes up to numLines lines from index on (fewer at the end of the list).
    void DeleteLineRange(int index, int numLines);

    std::intptr_t LineRange(int index) const;
    void SetLineRange(int index, std::intptr_t range);

    // Lines joined with CR LF, none after the last. Writing splits at CR LF, CR or LF and ends
    // at a NUL; a final break adds no empty line, and the lines take the list's style.
    std::string Text() const override;
    void SetText(std::string_view text) override;

    // The expansion cache is not part of the list's value, so the readers are const.
    std::string ExpandedLine(int index) const;
    int ExpandedLineLength(int index) const;
    int LongestLineLength() const;

    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int value);
    // The break of lines made in the editor (lines that have none of their own).
    TLineBreakStyle LineBreakStyle() const { return FLineBreakStyle; }
    void SetLineBreakStyle(TLineBreakStyle style) { FLineBreakStyle = style; }
    // Sets the style and gives it to every line, which drops the breaks they had in their file.
    void ApplyLineBreakStyle(TLineBreakStyle style);
    // The break that follows the line; lbDefault outside the list.
    TLineBreak LineBreak(int index) const;

    // Reads the stream from its start to its end (a file to its real end, whatever size it
    // reported); CR LF, lone CR and lone LF end lines, a final break leaves an empty last line,
    // every other byte is kept, and each line keeps the break it had. The style becomes CR or LF
    // when only that break occurs, else CR LF.
    void LoadFromStream(TStream& stream) override;
    // The bytes a save writes: each line followed by its own break, or by the style's when it
    // has none, and nothing after the last line. A loaded text that nobody changed comes back
    // byte for byte; a changed line keeps its break.
    std::string FileText() const;
    void SaveToStream(TStream& stream) const override;
    void LoadFromFile(const std::string& fileName) override;
    // Saves FileText atomically: the file is replaced only when every byte was written.
    void SaveToFile(const std::string& fileName) const override;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;
    TNotifyEvent OnCleared;
    TStringListChangeEvent OnLinesDeleted;
    TStringListChangeEvent OnLinesInserted;
    TStringListChangeEvent OnLinesPut;

protected:
    void SetUpdateState(bool updating) override;

private:
    // One line, kept by value in one contiguous array and moved with block moves. It holds no
    // owning C++ members: the list owns the bytes that Text points to. At 24 bytes a 100 MB
    // file of 2 million lines needs 48 MB of records.
    struct TSrcEditStringRec {
        const char* Text;            // nullptr for an empty line
        std::uint32_t TextLength : 30;
        std::uint32_t Break : 2;     // the TLineBreak after the line
        std::uint32_t Expansion;     // TLineFlags in the low bits, the expanded length above them
        std::intptr_t Range;         // the highlighter's state at the end of the line; opaque here
    };

    // The record array: malloc'd, so that growth can move it with realloc.
    class TRecordArray {
    public:
        TRecordArray() = default;
        TRecordArray(TRecordArray&& other) noexcept;
        TRecordArray& operator=(TRecordArray&& other) noexcept;
        ~TRecordArray();

        TSrcEditStringRec& operator[](int index) const { return FItems[index]; }
        int Count() const { return FCount; }
        int Capacity() const { return FCapacity; }
        void SetCapacity(int capacity);
        // Grows by the list's growth rule when full.
        void MakeRoom();
        void Append(const TSrcEditStringRec& rec) { FItems[FCount++] = rec; }
        void OpenGap(int index, int count);
        void CloseGap(int index, int count);

    private:
        TSrcEditStringRec* FItems = nullptr;
        int FCount = 0;
        int FCapacity = 0;
    };

    // A buffer of loaded text that lines point into; freed with its last line.
    struct TTextBlock {
        std::unique_ptr<char[]> Bytes;
        size_t Size = 0;
        int LiveLines = 0;
    };

    // Lines split from one text block, not yet in the list.
    struct TParsedLines {
        std::unique_ptr<TTextBlock> Block;
        TRecordArray Lines;
        bool SawCR = false;
        bool SawLF = false;
    };

    template <typename Body>
    void InUpdate(Body&& body);
    [[noreturn]] void IndexError(int index) const;
    std::string_view LineText(int index) const
    {
        const TSrcEditStringRec& rec = FLines[index];
        return {rec.Text, static_cast<size_t>(rec.TextLength)};
    }

    // The lines with `lineBreak` between them, none after the last.
    std::string JoinedLines(std::string_view lineBreak) const;
    TSrcEditStringRec NewLine(std::string_view s);
    bool InBlock(const char* text) const;
    void ReleaseText(TSrcEditStringRec& rec);
    void ReleaseAll();
    void InsertLine(int index, std::string_view s);
    // Adds the line of `length` bytes at `start` of the parsed block, followed by `lineBreak`.
    static void AddParsedLine(TParsedLines& parsed, size_t start, size_t length, TLineBreak lineBreak);
    // Points the parsed lines into their block, once it no longer moves.
    static void PlaceParsedLines(TParsedLines& parsed);
    static TParsedLines ReadLines(TStream& stream);
    static TParsedLines SplitLines(std::string_view text);
    // Appends parsed lines as Add would; call inside an update.
    void AdoptLines(TParsedLines parsed);
    int ExpandedLengthOf(TSrcEditStringRec& rec) const;

    TRecordArray FLines;
    // Object slots: empty until an object is stored, then one per line.
    std::vector<TObject*> FObjects;
    std::vector<std::unique_ptr<TTextBlock>> FBlocks;
    int FOwnedLines = 0; // lines whose bytes have a heap block of their own
    TLineBreakStyle FLineBreakStyle = TLineBreakStyle::lbsCRLF;
    TLineTabExpander FExpander = nullptr;
    mutable int FIndexOfLongestLine = -1;
    int FTabWidth = 8;
};

// Buffered writer of a line store's file: lines go through a 256 KiB buffer into an atomic save,
// which replaces the target only on Commit. A line larger than the buffer is written directly.
class TSrcEditFileWriter {
public:
    explicit TSrcEditFileWriter(const std::string& fileName);
    ~TSrcEditFileWriter();
    TSrcEditFileWriter(const TSrcEditFileWriter&) = delete;
    TSrcEditFileWriter& operator=(const TSrcEditFileWriter&) = delete;

    TLineBreakStyle LineBreakStyle() const { return FLineBreakStyle; }
    void SetLineBreakStyle(TLineBreakStyle style) { FLineBreakStyle = style; }

    // The line followed by the style's break.
    void WriteLine(std::string_view line);
    // The line followed by `lineBreak`.
    void WriteLine(std::string_view line, std::string_view lineBreak);
    // The text without a break.
    void Write(std::string_view text);
    void Flush();
    // Flushes and makes the written bytes the file's content. Without it the file is untouched.
    void Commit();

private:
    void Put(std::string_view text, std::string_view lineBreak);
    void PutLarge(std::string_view text, std::string_view lineBreak);

    std::vector<char> FBuffer;
    size_t FFilled = 0;
    TLineBreakStyle FLineBreakStyle = TLineBreakStyle::lbsLF;
    std::unique_ptr<TSafeFileStream> FStream;
};
