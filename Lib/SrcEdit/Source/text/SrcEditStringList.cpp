// The editor's line store and its buffered file writer.

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include "Platform/text/Format.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/files/Streams.h"
#include "Platform/text/TextChars.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The expansion word of a record: flags in the low bits, the expanded length above them.
constexpr unsigned FlagBits = 3;
constexpr std::uint32_t FlagMask = (1u << FlagBits) - 1;
constexpr std::uint32_t MaxCachedLength = (1u << (32 - FlagBits)) - 1;

constexpr std::uint32_t Expansion(std::uint32_t length, TLineFlags flags)
{
    return (length << FlagBits) | flags;
}

constexpr TLineFlags FlagsOf(std::uint32_t expansion)
{
    return static_cast<TLineFlags>(expansion & FlagMask);
}

// The longest line a record can hold.
constexpr size_t MaxLineLength = (size_t{1} << 30) - 1;

constexpr std::string_view BreakOf(TLineBreakStyle style)
{
    switch (style) {
    case TLineBreakStyle::lbsCR: return "\r";
    case TLineBreakStyle::lbsLF: return "\n";
    case TLineBreakStyle::lbsCRLF: break;
    }
    return "\r\n";
}

// The bytes of a line's own break, or of the style's for a line without one.
constexpr std::string_view BreakOf(unsigned lineBreak, TLineBreakStyle style)
{
    switch (static_cast<TLineBreak>(lineBreak)) {
    case TLineBreak::lbCRLF: return "\r\n";
    case TLineBreak::lbLF: return "\n";
    case TLineBreak::lbCR: return "\r";
    case TLineBreak::lbDefault: break;
    }
    return BreakOf(style);
}

// Bit i set when byte i of the 64 at `text` is CR or LF.
std::uint64_t BreakMask(const char* text)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * part));
        const auto hits = static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
        mask |= static_cast<std::uint64_t>(hits) << (16 * part);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= static_cast<std::uint64_t>(text[i] == '\r' || text[i] == '\n') << i;
    return mask;
#endif
}

// Splits text into lines as it arrives: CR LF is one break, LF CR two, a lone CR or LF one.
// Each line is handed over with its break as soon as the break is seen; a CR whose LF comes
// in the next slice is remembered, and the LF then turns the last line's break into CR LF.
class TLineSplitter {
public:
    explicit TLineSplitter(const char* text) : FText(text) {}

    // The text moved (it grew); what was scanned stays scanned.
    void Rebase(const char* text) { FText = text; }

    // Hands over every line whose break lies in [0, available); with `final` the text ends
    // there and its unfinished last line is handed over too, with no break of its own.
    template <typename AddLine, typename JoinLF>
    void Split(size_t available, bool final, AddLine&& addLine, JoinLF&& joinLF)
    {
        // why: whole 64-byte groups turn into one mask each, so finding a break costs no
        // branch per byte and no mispredicted branch per line.
        while (FScanned + 64 <= available) {
            for (std::uint64_t mask = BreakMask(FText + FScanned); mask != 0; mask &= mask - 1)
                Break(FScanned + static_cast<size_t>(__builtin_ctzll(mask)), addLine, joinLF);
            FScanned += 64;
        }
        if (!final)
            return;
        for (; FScanned < available; ++FScanned)
            if (FText[FScanned] == '\r' || FText[FScanned] == '\n')
                Break(FScanned, addLine, joinLF);
        if (FLineStart < available)
            addLine(FLineStart, available - FLineStart, TLineBreak::lbDefault);
    }

    bool SawCR = false;
    bool SawLF = false;

private:
    template <typename AddLine, typename JoinLF>
    void Break(size_t pos, AddLine& addLine, JoinLF& joinLF)
    {
        if (FText[pos] == '\n') {
            SawLF = true;
            if (FPendingCR && pos == FLineStart) {
                // The LF of a CR LF pair: its line went with the CR.
                FPendingCR = false;
                FLineStart = pos + 1;
                joinLF();
                return;
            }
            addLine(FLineStart, pos - FLineStart, TLineBreak::lbLF);
            FPendingCR = false;
        } else {
            SawCR = true;
            addLine(FLineStart, pos - FLineStart, TLineBreak::lbCR);
            FPendingCR = true;
        }
        FLineStart = pos + 1;
    }

    const char* FText;
    size_t FLineStart = 0;
    size_t FScanned = 0;
    bool FPendingCR = false; // the byte before FLineStart is a CR that ended a line
};

} // namespace

// ---- TSrcEditStringList::TRecordArray

TSrcEditStringList::TRecordArray::TRecordArray(TRecordArray&& other) noexcept
    : FItems(std::exchange(other.FItems, nullptr)),
      FCount(std::exchange(other.FCount, 0)),
      FCapacity(std::exchange(other.FCapacity, 0))
{
}

TSrcEditStringList::TRecordArray& TSrcEditStringList::TRecordArray::operator=(TRecordArray&& other) noexcept
{
    if (this != &other) {
        std::free(FItems);
        FItems = std::exchange(other.FItems, nullptr);
        FCount = std::exchange(other.FCount, 0);
        FCapacity = std::exchange(other.FCapacity, 0);
    }
    return *this;
}

TSrcEditStringList::TRecordArray::~TRecordArray()
{
    std::free(FItems);
}

void TSrcEditStringList::TRecordArray::SetCapacity(int capacity)
{
    if (capacity == FCapacity)
        return;
    if (capacity == 0) {
        std::free(FItems);
        FItems = nullptr;
    } else {
        // invariant: records are trivially copyable, so realloc may move them.
        void* p = std::realloc(FItems, static_cast<size_t>(capacity) * sizeof(TSrcEditStringRec));
        if (!p)
            throw std::bad_alloc();
        FItems = static_cast<TSrcEditStringRec*>(p);
    }
    FCapacity = capacity;
    FCount = std::min(FCount, capacity);
}

void TSrcEditStringList::TRecordArray::MakeRoom()
{
    if (FCount == FCapacity)
        SetCapacity(FCapacity + (FCapacity > 64 ? FCapacity / 4 : 16));
}

void TSrcEditStringList::TRecordArray::OpenGap(int index, int count)
{
    std::memmove(FItems + index + count, FItems + index, static_cast<size_t>(FCount - index) * sizeof(TSrcEditStringRec));
    FCount += count;
}

void TSrcEditStringList::TRecordArray::CloseGap(int index, int count)
{
    std::memmove(FItems + index, FItems + index + count,
                 static_cast<size_t>(FCount - index - count) * sizeof(TSrcEditStringRec));
    FCount -= count;
}

// ---- TSrcEditStringList

TSrcEditStringList::TSrcEditStringList() : FExpander(SelectLineTabExpander(8)) {}

TSrcEditStringList::~TSrcEditStringList()
{
    // why: the owner must not hear from a list that is being destroyed.
    OnChange = nullptr;
    OnChanging = nullptr;
    ReleaseAll();
}

template <typename Body>
void TSrcEditStringList::InUpdate(Body&& body)
{
    BeginUpdate();
    try {
        body();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TSrcEditStringList::SetUpdateState(bool updating)
{
    if (updating) {
        if (OnChanging)
            OnChanging(this);
    } else if (OnChange) {
        OnChange(this);
    }
}

void TSrcEditStringList::IndexError(int index) const
{
    throw ESrcEditStringList(Format("Invalid stringlist index %d", {index}));
}

TSrcEditStringList::TSrcEditStringRec TSrcEditStringList::NewLine(std::string_view s)
{
    TSrcEditStringRec rec{nullptr, 0, 0, Expansion(0, lfExpandedLengthUnknown), -1};
    if (!s.empty()) {
        if (s.size() > MaxLineLength)
            throw EOutOfResources("Line too long");
        auto* bytes = static_cast<char*>(std::malloc(s.size()));
        if (!bytes)
            throw std::bad_alloc();
        std::memcpy(bytes, s.data(), s.size());
        rec.Text = bytes;
        rec.TextLength = static_cast<std::uint32_t>(s.size());
        ++FOwnedLines;
    }
    return rec;
}

bool TSrcEditStringList::InBlock(const char* text) const
{
    return std::any_of(FBlocks.begin(), FBlocks.end(), [&](const auto& b) {
        return text >= b->Bytes.get() && text < b->Bytes.get() + b->Size;
    });
}

void TSrcEditStringList::ReleaseText(TSrcEditStringRec& rec)
{
    if (rec.Text) {
        const auto block = std::find_if(FBlocks.begin(), FBlocks.end(), [&](const auto& b) {
            return rec.Text >= b->Bytes.get() && rec.Text < b->Bytes.get() + b->Size;
        });
        if (block == FBlocks.end()) {
            std::free(const_cast<char*>(rec.Text));
            --FOwnedLines;
        } else if (--(*block)->LiveLines == 0) {
            FBlocks.erase(block);
        }
    }
    rec.Text = nullptr;
    rec.TextLength = 0;
}

void TSrcEditStringList::ReleaseAll()
{
    if (FOwnedLines > 0)
        for (int i = 0; i < FLines.Count(); ++i)
            if (FLines[i].Text && !InBlock(FLines[i].Text))
                std::free(const_cast<char*>(FLines[i].Text));
    FOwnedLines = 0;
    FBlocks.clear();
    FObjects.clear();
    FObjects.shrink_to_fit();
    FLines.SetCapacity(0);
}

void TSrcEditStringList::InsertLine(int index, std::string_view s)
{
    InUpdate([&] {
        FLines.MakeRoom();
        if (!FObjects.empty())
            FObjects.reserve(FObjects.size() + 1);
        const TSrcEditStringRec rec = NewLine(s);
        FLines.OpenGap(index, 1);
        FLines[index] = rec;
        if (!FObjects.empty())
            FObjects.insert(FObjects.begin() + index, nullptr);
        FIndexOfLongestLine = -1;
        if (OnLinesInserted)
            OnLinesInserted(this, index, 1);
    });
}

int TSrcEditStringList::Add(const std::string& s)
{
    const int index = Count();
    InsertLine(index, s);
    return index;
}

void TSrcEditStringList::Insert(int index, const std::string& s)
{
    if (index < 0 || index > Count())
        IndexError(index);
    InsertLine(index, s);
}

void TSrcEditStringList::AddStrings(const TStrings& strings)
{
    const int n = strings.Count();
    if (n == 0)
        return;
    InUpdate([&] {
        const int first = Count();
        if (FLines.Capacity() < first + n)
            FLines.SetCapacity((first + n + 15) / 16 * 16);
        for (int i = 0; i < n; ++i) {
            TObject* object = strings.GetObject(i);
            if (object && FObjects.empty())
                FObjects.assign(static_cast<size_t>(Count()), nullptr);
            if (!FObjects.empty())
                FObjects.reserve(static_cast<size_t>(first + n));
            FLines.Append(NewLine(strings.Get(i)));
            if (!FObjects.empty())
                FObjects.push_back(object);
        }
        FIndexOfLongestLine = -1;
        if (OnLinesInserted)
            OnLinesInserted(this, first, n);
    });
}

void TSrcEditStringList::InsertBlankLines(int index, int numLines)
{
    if (index < 0 || index > Count())
        IndexError(index);
    if (numLines <= 0)
        return;
    InUpdate([&] {
        FLines.SetCapacity(Count() + numLines);
        if (!FObjects.empty())
            FObjects.insert(FObjects.begin() + index, static_cast<size_t>(numLines), nullptr);
        FLines.OpenGap(index, numLines);
        for (int i = index; i < index + numLines; ++i)
            FLines[i] = TSrcEditStringRec{nullptr, 0, 0, 0, 0};
        // why: the lines after Index moved, so a remembered longest-line index is stale.
        FIndexOfLongestLine = -1;
        if (OnLinesInserted)
            OnLinesInserted(this, index, numLines);
    });
}

void TSrcEditStringList::Delete(int index)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    DeleteLineRange(index, 1);
}

void TSrcEditStringList::DeleteLineRange(int index, int numLines)
{
    if (numLines <= 0)
        return;
    if (index < 0 || index > Count())
        IndexError(index);
    numLines = std::min(numLines, Count() - index);
    // why: at the end of the list nothing is removed; a deletion event for 0 lines would reach
    // handlers that expect at least one line.
    if (numLines == 0)
        return;
    InUpdate([&] {
        for (int i = index; i < index + numLines; ++i)
            ReleaseText(FLines[i]);
        FLines.CloseGap(index, numLines);
        if (!FObjects.empty())
            FObjects.erase(FObjects.begin() + index, FObjects.begin() + index + numLines);
        // why: the longest line may be gone or have moved.
        FIndexOfLongestLine = -1;
        if (OnLinesDeleted)
            OnLinesDeleted(this, index, numLines);
    });
}

void TSrcEditStringList::Clear()
{
    if (Count() == 0)
        return;
    InUpdate([&] {
        ReleaseAll();
        FIndexOfLongestLine = -1;
        if (OnCleared)
            OnCleared(this);
    });
}

void TSrcEditStringList::Exchange(int index1, int index2)
{
    if (index1 < 0 || index1 >= Count())
        IndexError(index1);
    if (index2 < 0 || index2 >= Count())
        IndexError(index2);
    InUpdate([&] {
        std::swap(FLines[index1], FLines[index2]);
        if (!FObjects.empty())
            std::swap(FObjects[static_cast<size_t>(index1)], FObjects[static_cast<size_t>(index2)]);
        if (FIndexOfLongestLine == index1)
            FIndexOfLongestLine = index2;
        else if (FIndexOfLongestLine == index2)
            FIndexOfLongestLine = index1;
    });
}

std::string TSrcEditStringList::Get(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return std::string(LineText(index));
}

void TSrcEditStringList::Put(int index, const std::string& s)
{
    if (index == Count()) {
        Add(s);
        return;
    }
    if (index < 0 || index >= Count())
        IndexError(index);
    InUpdate([&] {
        const TSrcEditStringRec fresh = NewLine(s);
        TSrcEditStringRec& rec = FLines[index];
        ReleaseText(rec);
        rec.Text = fresh.Text;
        rec.TextLength = fresh.TextLength;
        rec.Expansion = (rec.Expansion & ~FlagMask) | lfExpandedLengthUnknown;
        FIndexOfLongestLine = -1;
        if (OnLinesPut)
            OnLinesPut(this, index, 1);
    });
}

TObject* TSrcEditStringList::GetObject(int index) const
{
    if (index < 0 || index >= Count() || FObjects.empty())
        return nullptr;
    return FObjects[static_cast<size_t>(index)];
}

void TSrcEditStringList::PutObject(int index, TObject* object)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    InUpdate([&] {
        if (FObjects.empty()) {
            if (!object)
                return;
            FObjects.assign(static_cast<size_t>(Count()), nullptr);
        }
        FObjects[static_cast<size_t>(index)] = object;
    });
}

std::intptr_t TSrcEditStringList::LineRange(int index) const
{
    return index >= 0 && index < Count() ? FLines[index].Range : 0;
}

void TSrcEditStringList::SetLineRange(int index, std::intptr_t range)
{
    if (index < 0 || index >= Count())
        IndexError(index);
    InUpdate([&] { FLines[index].Range = range; });
}

void TSrcEditStringList::SetCapacity(int capacity)
{
    if (capacity < Count())
        throw EListError("Stringlist capacity cannot be smaller than count");
    FLines.SetCapacity(capacity);
}

std::string TSrcEditStringList::JoinedLines(std::string_view lineBreak) const
{
    const int count = Count();
    if (count == 0)
        return {};
    size_t size = static_cast<size_t>(count - 1) * lineBreak.size();
    for (int i = 0; i < count; ++i)
        size += static_cast<size_t>(FLines[i].TextLength);
    std::string out;
    out.reserve(size);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            out += lineBreak;
        out += LineText(i);
    }
    return out;
}

std::string TSrcEditStringList::Text() const
{
    return JoinedLines("\r\n");
}

void TSrcEditStringList::AddParsedLine(TParsedLines& parsed, size_t start, size_t length, TLineBreak lineBreak)
{
    if (length > MaxLineLength)
        throw EOutOfResources("Line too long");
    parsed.Lines.MakeRoom();
    // why: the block may still grow and move; until PlaceParsedLines, Range holds the line's
    // offset in it.
    parsed.Lines.Append({nullptr, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(lineBreak),
                         Expansion(0, lfExpandedLengthUnknown), static_cast<std::intptr_t>(start)});
    parsed.Block->LiveLines += length > 0;
}

void TSrcEditStringList::PlaceParsedLines(TParsedLines& parsed)
{
    const char* bytes = parsed.Block->Bytes.get();
    for (int i = 0; i < parsed.Lines.Count(); ++i) {
        TSrcEditStringRec& rec = parsed.Lines[i];
        if (rec.TextLength > 0)
            rec.Text = bytes + rec.Range;
        rec.Range = -1;
    }
}

TSrcEditStringList::TParsedLines TSrcEditStringList::ReadLines(TStream& stream)
{
    const std::int64_t reported = std::max<std::int64_t>(stream.Size(), 0);
    const bool exact = stream.ExactSize();
    const std::int64_t limit = reported + MaxUnsizedRead;
    size_t capacity = static_cast<size_t>(reported);
    TParsedLines parsed;
    parsed.Block = std::make_unique<TTextBlock>(TTextBlock{std::make_unique_for_overwrite<char[]>(capacity), 0, 0});
    TTextBlock& block = *parsed.Block;
    TLineSplitter splitter(block.Bytes.get());
    auto addLine = [&](size_t start, size_t length, TLineBreak lineBreak) {
        AddParsedLine(parsed, start, length, lineBreak);
    };
    auto joinLF = [&] { parsed.Lines[parsed.Lines.Count() - 1].Break = static_cast<std::uint32_t>(TLineBreak::lbCRLF); };
    // why: reading in slices and splitting each while it is still in the cache touches every
    // byte once, which keeps a load near the cost of a plain read.
    constexpr size_t Slice = 256u << 10;
    size_t filled = 0;
    std::vector<char> probe;
    for (;;) {
        std::int64_t got = 0;
        if (filled < capacity) {
            const size_t n = std::min(Slice, capacity - filled);
            got = stream.Read(block.Bytes.get() + filled, static_cast<std::int64_t>(n));
            if (exact && got != static_cast<std::int64_t>(n))
                stream.RaiseReadError(stream.LastError());
            if (got > 0)
                filled += static_cast<size_t>(got);
        } else if (!exact) {
            // why: a file's size is a hint only (procfs files report none, files grow while
            // read); reading on finds its real end.
            probe.resize(Slice);
            got = stream.Read(probe.data(), static_cast<std::int64_t>(probe.size()));
            if (got > 0) {
                if (static_cast<std::int64_t>(filled) + got > limit)
                    stream.RaiseReadError(EFBIG);
                capacity = std::max(2 * capacity, filled + static_cast<size_t>(got) + Slice);
                auto grown = std::make_unique_for_overwrite<char[]>(capacity);
                if (filled > 0)
                    std::memcpy(grown.get(), block.Bytes.get(), filled);
                std::memcpy(grown.get() + filled, probe.data(), static_cast<size_t>(got));
                block.Bytes = std::move(grown);
                splitter.Rebase(block.Bytes.get());
                filled += static_cast<size_t>(got);
            }
        }
        if (got <= 0) {
            if (stream.LastError() != 0)
                stream.RaiseReadError(stream.LastError());
            break;
        }
        splitter.Split(filled, false, addLine, joinLF);
    }
    splitter.Split(filled, true, addLine, joinLF);
    block.Size = filled;
    PlaceParsedLines(parsed);
    parsed.SawCR = splitter.SawCR;
    parsed.SawLF = splitter.SawLF;
    return parsed;
}

TSrcEditStringList::TParsedLines TSrcEditStringList::SplitLines(std::string_view text)
{
    TParsedLines parsed;
    parsed.Block = std::make_unique<TTextBlock>(TTextBlock{std::make_unique_for_overwrite<char[]>(text.size()), text.size(), 0});
    TTextBlock& block = *parsed.Block;
    if (!text.empty())
        std::memcpy(block.Bytes.get(), text.data(), text.size());
    TLineSplitter splitter(block.Bytes.get());
    // Text given whole has no file behind it: its lines take the list's style.
    splitter.Split(
        text.size(), true,
        [&](size_t start, size_t length, TLineBreak) { AddParsedLine(parsed, start, length, TLineBreak::lbDefault); },
        [] {});
    PlaceParsedLines(parsed);
    return parsed;
}

void TSrcEditStringList::AdoptLines(TParsedLines parsed)
{
    const int n = parsed.Lines.Count();
    if (n == 0)
        return;
    if (parsed.Block->LiveLines > 0)
        FBlocks.push_back(std::move(parsed.Block));
    FIndexOfLongestLine = -1;
    if (Count() == 0 && FLines.Capacity() == 0 && FObjects.empty() && !OnLinesInserted) {
        // Nobody can watch the lines arrive one by one, and the parsed array grew exactly as
        // the list would have: take it whole.
        FLines = std::move(parsed.Lines);
        return;
    }
    for (int i = 0; i < n; ++i) {
        FLines.MakeRoom();
        if (!FObjects.empty())
            FObjects.push_back(nullptr);
        FLines.Append(parsed.Lines[i]);
        if (OnLinesInserted)
            OnLinesInserted(this, Count() - 1, 1);
    }
}

void TSrcEditStringList::SetText(std::string_view text)
{
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    InUpdate([&] {
        TParsedLines parsed = SplitLines(text);
        Clear();
        AdoptLines(std::move(parsed));
    });
}

void TSrcEditStringList::LoadFromStream(TStream& stream)
{
    bool sawCR = false;
    bool sawLF = false;
    InUpdate([&] {
        stream.SetPosition(0);
        // why: read everything before clearing, so a read error leaves the lines as they were.
        TParsedLines parsed = ReadLines(stream);
        sawCR = parsed.SawCR;
        sawLF = parsed.SawLF;
        const size_t size = parsed.Block->Size;
        const bool finalBreak = size > 0 && (parsed.Block->Bytes[size - 1] == '\r' || parsed.Block->Bytes[size - 1] == '\n');
        Clear();
        AdoptLines(std::move(parsed));
        // A file that ends with a line break has an empty last line.
        if (finalBreak)
            Add(std::string());
    });
    if (sawCR && !sawLF)
        FLineBreakStyle = TLineBreakStyle::lbsCR;
    else if (sawLF && !sawCR)
        FLineBreakStyle = TLineBreakStyle::lbsLF;
    else
        FLineBreakStyle = TLineBreakStyle::lbsCRLF;
}

int TSrcEditStringList::ExpandedLengthOf(TSrcEditStringRec& rec) const
{
    if (!(FlagsOf(rec.Expansion) & lfExpandedLengthUnknown))
        return static_cast<int>(rec.Expansion >> FlagBits);
    const std::string_view text(rec.Text, static_cast<size_t>(rec.TextLength));
    const bool hasTabs = !text.empty() && std::memchr(text.data(), '\t', text.size()) != nullptr;
    // invariant: equals the display columns of FExpander's result for this text.
    const int length = ExpandedTextLength(text, FTabWidth);
    const TLineFlags flags = hasTabs ? lfHasTabs : lfHasNoTabs;
    // A length too large for the cache stays unknown and is counted again when asked for.
    rec.Expansion = static_cast<std::uint32_t>(length) < MaxCachedLength
                        ? Expansion(static_cast<std::uint32_t>(length), flags)
                        : Expansion(0, flags | lfExpandedLengthUnknown);
    return length;
}

std::string TSrcEditStringList::ExpandedLine(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    TSrcEditStringRec& rec = FLines[index];
    const std::string_view text = LineText(index);
    if (FlagsOf(rec.Expansion) & lfHasNoTabs)
        return std::string(text);
    bool hasTabs = false;
    std::string expanded = text.empty() ? std::string() : FExpander(text, FTabWidth, hasTabs);
    const auto length = static_cast<std::uint32_t>(TextChars::TextColumns(expanded));
    const TLineFlags flags = hasTabs ? lfHasTabs : lfHasNoTabs;
    rec.Expansion = length < MaxCachedLength ? Expansion(length, flags) : Expansion(0, flags | lfExpandedLengthUnknown);
    return expanded;
}

int TSrcEditStringList::ExpandedLineLength(int index) const
{
    if (index < 0 || index >= Count())
        return 0;
    return ExpandedLengthOf(FLines[index]);
}

int TSrcEditStringList::LongestLineLength() const
{
    if (FIndexOfLongestLine >= 0)
        return ExpandedLengthOf(FLines[FIndexOfLongestLine]);
    int best = 0;
    for (int i = 0; i < Count(); ++i) {
        const int length = ExpandedLengthOf(FLines[i]);
        if (length > best) {
            best = length;
            FIndexOfLongestLine = i;
        }
    }
    return best;
}

void TSrcEditStringList::SetTabWidth(int value)
{
    if (value == FTabWidth)
        return;
    FTabWidth = value;
    FExpander = SelectLineTabExpander(value);
    FIndexOfLongestLine = -1;
    for (int i = 0; i < Count(); ++i)
        FLines[i].Expansion = Expansion(0, static_cast<TLineFlags>((FlagsOf(FLines[i].Expansion) & lfHasTabs) | lfExpandedLengthUnknown));
}

TLineBreak TSrcEditStringList::LineBreak(int index) const
{
    return index >= 0 && index < Count() ? static_cast<TLineBreak>(FLines[index].Break) : TLineBreak::lbDefault;
}

void TSrcEditStringList::ApplyLineBreakStyle(TLineBreakStyle style)
{
    FLineBreakStyle = style;
    for (int i = 0; i < Count(); ++i)
        FLines[i].Break = static_cast<std::uint32_t>(TLineBreak::lbDefault);
}

std::string TSrcEditStringList::FileText() const
{
    const int count = Count();
    size_t size = 0;
    for (int i = 0; i < count; ++i)
        size += FLines[i].TextLength + (i + 1 < count ? BreakOf(FLines[i].Break, FLineBreakStyle).size() : 0);
    std::string out;
    out.reserve(size);
    for (int i = 0; i < count; ++i) {
        out += LineText(i);
        if (i + 1 < count)
            out += BreakOf(FLines[i].Break, FLineBreakStyle);
    }
    return out;
}

void TSrcEditStringList::SaveToStream(TStream& stream) const
{
    if (Count() > 0)
        stream.WriteString(FileText());
}

void TSrcEditStringList::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
    LoadFromStream(stream);
}

void TSrcEditStringList::SaveToFile(const std::string& fileName) const
{
    TSrcEditFileWriter writer(fileName);
    writer.SetLineBreakStyle(FLineBreakStyle);
    const int count = Count();
    for (int i = 0; i + 1 < count; ++i)
        writer.WriteLine(LineText(i), BreakOf(FLines[i].Break, FLineBreakStyle));
    if (count > 0)
        writer.Write(LineText(count - 1));
    writer.Commit();
}

// ---- TSrcEditFileWriter

// why: 256 KiB rather than 16 KiB blocks: on ext4 a save in 16 KiB writes took close to twice
// as long as one in large writes; the bytes written are the same.
TSrcEditFileWriter::TSrcEditFileWriter(const std::string& fileName)
    : FBuffer(256u << 10), FStream(std::make_unique<TSafeFileStream>(fileName))
{
}

// why: no flush here; bytes that were never committed must not replace the file.
TSrcEditFileWriter::~TSrcEditFileWriter() = default;

void TSrcEditFileWriter::Put(std::string_view text, std::string_view lineBreak)
{
    const size_t need = text.size() + lineBreak.size();
    if (FFilled + need > FBuffer.size()) {
        PutLarge(text, lineBreak);
        return;
    }
    char* out = FBuffer.data() + FFilled;
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    for (size_t i = 0; i < lineBreak.size(); ++i)
        out[text.size() + i] = lineBreak[i];
    FFilled += need;
}

void TSrcEditFileWriter::PutLarge(std::string_view text, std::string_view lineBreak)
{
    Flush();
    if (text.size() + lineBreak.size() <= FBuffer.size()) {
        Put(text, lineBreak);
        return;
    }
    // why: an item larger than the buffer goes straight to the file instead of doubling its
    // memory in a buffer of its own size.
    FStream->WriteString(text);
    FStream->WriteString(lineBreak);
}

void TSrcEditFileWriter::WriteLine(std::string_view line)
{
    Put(line, BreakOf(FLineBreakStyle));
}

void TSrcEditFileWriter::WriteLine(std::string_view line, std::string_view lineBreak)
{
    Put(line, lineBreak);
}

void TSrcEditFileWriter::Write(std::string_view text)
{
    Put(text, {});
}

void TSrcEditFileWriter::Flush()
{
    if (FFilled > 0) {
        FStream->WriteBuffer(FBuffer.data(), static_cast<std::int64_t>(FFilled));
        FFilled = 0;
    }
}

void TSrcEditFileWriter::Commit()
{
    Flush();
    FStream->Commit();
}
