// Load and save of the editor's line store through real files, checked on generated contents:
// which files come back byte for byte, and how the others change.
//
// A file whose breaks are all of one kind (CR LF, lone LF or lone CR), or that has no break at
// all, saves back byte for byte, whatever else it holds (NUL, high bytes, invalid UTF-8, a BOM,
// lines far longer than any buffer, a final break or none). A file with breaks of several kinds
// (LF CR counts as an LF and a CR) saves every break as CR LF, and LF CR turns into two breaks
// around an empty line. Writing the joined text back stops at the first NUL and drops the empty
// last line that a final break gave.

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include "Platform/files/Streams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Lines = std::vector<std::string>;

enum class Brk { CRLF, LF, CR, LFCR };

std::string_view BytesOf(Brk b)
{
    switch (b) {
    case Brk::CRLF: return "\r\n";
    case Brk::LF: return "\n";
    case Brk::CR: return "\r";
    case Brk::LFCR: return "\n\r";
    }
    return {};
}

// A generated file: its lines as written and the break after each (the last line has a break
// only when `FinalBreak`).
struct Sample {
    Lines Written;
    std::vector<Brk> Breaks; // Breaks[i] follows Written[i]
    bool FinalBreak = false;

    std::string Bytes() const
    {
        std::string out;
        for (size_t i = 0; i < Written.size(); ++i) {
            out += Written[i];
            if (i < Breaks.size())
                out += BytesOf(Breaks[i]);
        }
        return out;
    }
    // The lines a load must give: LF CR is two breaks, a final break adds an empty line.
    Lines Loaded() const
    {
        Lines out;
        if (Bytes().empty())
            return out; // one empty line without a break is the empty file
        for (size_t i = 0; i < Written.size(); ++i) {
            out.push_back(Written[i]);
            if (i < Breaks.size() && Breaks[i] == Brk::LFCR)
                out.emplace_back();
        }
        if (FinalBreak)
            out.emplace_back();
        return out;
    }
    bool HasCR() const
    {
        return std::any_of(Breaks.begin(), Breaks.end(), [](Brk b) { return b != Brk::LF; });
    }
    bool HasLF() const
    {
        return std::any_of(Breaks.begin(), Breaks.end(), [](Brk b) { return b != Brk::CR; });
    }
    TLineBreakStyle Style() const
    {
        if (HasCR() && !HasLF())
            return TLineBreakStyle::lbsCR;
        if (HasLF() && !HasCR())
            return TLineBreakStyle::lbsLF;
        return TLineBreakStyle::lbsCRLF;
    }
    // One kind of break throughout (or none): such a file must come back unchanged.
    bool Uniform() const
    {
        return std::all_of(Breaks.begin(), Breaks.end(),
                           [&](Brk b) { return b != Brk::LFCR && b == Breaks.front(); });
    }
};

std::string Join(const Lines& lines, std::string_view lineBreak)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += lineBreak;
        out += lines[i];
    }
    return out;
}

std::string_view StyleBreak(TLineBreakStyle style)
{
    return style == TLineBreakStyle::lbsCR ? "\r" : style == TLineBreakStyle::lbsLF ? "\n" : "\r\n";
}

Lines Items(const TSrcEditStringList& list)
{
    Lines items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Get(i));
    return items;
}

std::string Printable(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes.substr(0, 120)) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (bytes.size() > 120)
        out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

class Generator {
public:
    explicit Generator(unsigned seed) : FRandom(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }

    // Line bytes without CR or LF: plain text, tabs, NUL, high bytes, valid and broken UTF-8.
    std::string LineText(bool allowNul, bool allowLong)
    {
        static const std::vector<std::string> pieces = {
            "a", "Zx", " ", "\t", "<?php", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xc3", "\xe2\x82",
            "\x80", "\xff", "\xfe", "\xc0\xaf", "\xed\xa0\x80", "\x7f", "\x1b", "\x0c",
        };
        std::string out;
        if (allowLong && Below(12) == 0) {
            // why: longer than the load slice and the save buffer.
            out.assign(static_cast<size_t>(300000 + Below(70000)), 'L');
            out[static_cast<size_t>(Below(1000))] = '\xff';
        }
        const int n = Below(4) == 0 ? 0 : Below(12);
        for (int i = 0; i < n; ++i)
            out += allowNul && Below(10) == 0 ? std::string(1, '\0') : pieces[static_cast<size_t>(Below(int(pieces.size())))];
        return out;
    }

    Sample Make(const std::vector<Brk>& kinds, bool allowNul, bool allowLong)
    {
        Sample s;
        const int lines = Below(5) == 0 ? 0 : 1 + Below(9);
        for (int i = 0; i < lines; ++i)
            s.Written.push_back(LineText(allowNul, allowLong));
        if (!s.Written.empty() && Below(4) == 0)
            s.Written[0].insert(0, "\xef\xbb\xbf");
        s.FinalBreak = !s.Written.empty() && Below(2) == 0;
        const size_t breaks = s.Written.empty() ? 0 : s.Written.size() - (s.FinalBreak ? 0 : 1);
        for (size_t i = 0; i < breaks; ++i)
            s.Breaks.push_back(kinds[static_cast<size_t>(Below(int(kinds.size())))]);
        // An empty line between a break that ends in CR and one that starts with LF would
        // merge the two into other breaks: give it a byte.
        for (size_t i = 1; i < s.Breaks.size(); ++i)
            if (s.Written[i].empty() && (s.Breaks[i - 1] == Brk::CR || s.Breaks[i - 1] == Brk::LFCR) &&
                (s.Breaks[i] == Brk::LF || s.Breaks[i] == Brk::LFCR))
                s.Written[i] = "y";
        return s;
    }

private:
    std::mt19937 FRandom;
};

struct Shape {
    const char* Name;
    std::vector<Brk> Kinds;
    bool Nul;
    bool Long;
};

const std::vector<Shape>& Shapes()
{
    static const std::vector<Shape> shapes = {
        {"CR LF only", {Brk::CRLF}, true, false},
        {"LF only", {Brk::LF}, true, false},
        {"CR only", {Brk::CR}, true, false},
        {"mixed", {Brk::CRLF, Brk::LF, Brk::CR, Brk::LFCR}, true, false},
        {"LF CR and LF", {Brk::LFCR, Brk::LF}, false, false},
        {"CR LF, long lines", {Brk::CRLF}, true, true},
        {"mixed, long lines", {Brk::CRLF, Brk::LF, Brk::CR}, false, true},
    };
    return shapes;
}

// Loads `bytes` from a file and checks the lines, the style and both ways of saving.
void CheckRoundTrip(const TempDir& dir, const Sample& sample, bool watched)
{
    const std::string bytes = sample.Bytes();
    SCOPED_TRACE("content " + Printable(bytes) + (watched ? " (watched list)" : ""));
    const std::string in = dir.Write("in.txt", bytes);

    TSrcEditStringList list;
    int inserted = 0;
    if (watched) {
        // why: a list with lines and a listener takes the lines one by one, not as a whole array.
        list.Add("stale");
        list.OnLinesInserted = [&](TObject*, int, int count) { inserted += count; };
    }
    list.LoadFromFile(in);

    const Lines expected = sample.Loaded();
    ASSERT_EQ(Items(list), expected);
    EXPECT_EQ(list.LineBreakStyle(), sample.Style());
    if (watched) {
        EXPECT_EQ(inserted, static_cast<int>(expected.size()));
    }

    const std::string saved = Join(expected, StyleBreak(sample.Style()));
    if (sample.Uniform()) {
        EXPECT_EQ(saved, bytes) << "a file with one kind of break must come back unchanged";
    } else {
        EXPECT_EQ(saved, Join(expected, "\r\n")) << "mixed breaks all become CR LF";
    }

    const std::string out = dir.File("out.txt");
    list.SaveToFile(out);
    EXPECT_EQ(ReadWholeFile(out), bytes) << "SaveToFile gives back every line with its own break";

    TMemoryStream stream;
    stream.WriteString("head");
    list.SaveToStream(stream);
    EXPECT_EQ(std::string(stream.View()), "head" + bytes) << "SaveToStream writes at the stream's position";

    // The joined text, written back: ends at the first NUL, and a final break adds no line.
    const std::string text = list.Text();
    EXPECT_EQ(text, Join(expected, "\r\n"));
    Lines back;
    for (const std::string& line : expected) {
        const size_t nul = line.find('\0');
        if (nul != std::string::npos) {
            if (nul > 0)
                back.push_back(line.substr(0, nul));
            break;
        }
        back.push_back(line);
    }
    if (text.find('\0') == std::string::npos && !back.empty() && back.back().empty())
        back.pop_back();
    const TLineBreakStyle style = list.LineBreakStyle();
    list.SetText(text);
    EXPECT_EQ(Items(list), back) << "Text written back";
    EXPECT_EQ(list.LineBreakStyle(), style);

    // The file's own bytes as Text: split like a load, up to the first NUL, no line for a
    // final break.
    Sample cut;
    for (size_t i = 0; i < sample.Written.size(); ++i) {
        const size_t nul = sample.Written[i].find('\0');
        if (nul == std::string::npos) {
            cut.Written.push_back(sample.Written[i]);
            if (i < sample.Breaks.size())
                cut.Breaks.push_back(sample.Breaks[i]);
            cut.FinalBreak = sample.FinalBreak;
            continue;
        }
        if (nul > 0)
            cut.Written.push_back(sample.Written[i].substr(0, nul));
        cut.FinalBreak = nul == 0 && i > 0;
        break;
    }
    Lines fromBytes = cut.Loaded();
    const std::string cutBytes = cut.Bytes();
    if (!cutBytes.empty() && (cutBytes.back() == '\r' || cutBytes.back() == '\n'))
        fromBytes.pop_back();
    list.SetText(bytes);
    EXPECT_EQ(Items(list), fromBytes) << "the file's bytes written as Text";
    EXPECT_EQ(list.LineBreakStyle(), style);
}

} // namespace

TEST(LineStoreRoundTrip, GeneratedFilesLoadAndSaveAsTheirBreaksSay)
{
    TempDir dir;
    int uniform = 0;
    int mixed = 0;
    for (const Shape& shape : Shapes()) {
        SCOPED_TRACE(shape.Name);
        Generator gen(20261210u + static_cast<unsigned>(&shape - Shapes().data()));
        const int rounds = shape.Long ? 12 : 60;
        for (int round = 0; round < rounds; ++round) {
            SCOPED_TRACE("round " + std::to_string(round));
            const Sample sample = gen.Make(shape.Kinds, shape.Nul, shape.Long);
            (sample.Uniform() ? uniform : mixed)++;
            CheckRoundTrip(dir, sample, round % 3 == 0);
            if (HasFatalFailure())
                return;
        }
    }
    // The generator must reach both sides of the property.
    EXPECT_GT(uniform, 100);
    EXPECT_GT(mixed, 40);
}

TEST(LineStoreRoundTrip, BreaksAtBufferAndBlockBoundariesAreSplitOnce)
{
    // A break placed so that it ends a 64-byte group or a read slice, or straddles one.
    constexpr size_t Slice = 256u << 10;
    const std::vector<size_t> offsets = {0, 62, 63, 64, Slice - 2, Slice - 1, Slice};
    TempDir dir;
    for (const Brk kind : {Brk::CRLF, Brk::LF, Brk::CR, Brk::LFCR}) {
        for (const size_t at : offsets) {
            for (const bool finalBreak : {false, true}) {
                SCOPED_TRACE("break " + Printable(BytesOf(kind)) + " at " + std::to_string(at) +
                             (finalBreak ? " with a final break" : ""));
                Sample s;
                s.Written = {std::string(at, 'p'), std::string(70, 'q'), std::string(Slice - at % 64, 'r')};
                s.Breaks = {kind, kind};
                if (finalBreak)
                    s.Breaks.push_back(kind);
                s.FinalBreak = finalBreak;
                CheckRoundTrip(dir, s, false);
                if (HasFatalFailure())
                    return;
            }
        }
    }
}
