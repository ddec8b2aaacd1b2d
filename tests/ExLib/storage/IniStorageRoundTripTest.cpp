// The INI back end, what is written reads back: generated awkward texts, numbers, booleans,
// floats and dates written through one store and read by a new store from the same file.

#include "ExLib/run/storage/ExIniStorage.h"

#include "Platform/text/TextUtils.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

std::unique_ptr<TExAppIniFileStorage> OpenStore(const std::string& fileName, bool textOptions)
{
    auto store = std::make_unique<TExAppIniFileStorage>(nullptr);
    store->SetLocation(TFileLocation::flCustom);
    store->SetFileName(fileName);
    store->IniOptions().SetReplaceCRLF(textOptions);
    store->IniOptions().SetPreserveLeadingTrailingBlanks(textOptions);
    return store;
}

const std::vector<std::string> Pieces = {" ",    "  ", "\t", "\"", "'",  "=",  ";", "[", "]", "\\", "\\n", "\\\\",
                                         "\r\n", "\r", "\n", "a",  "Zz", "x y", "#", "\xC3\xA9", "\xE2\x82\xAC", "0", "-"};

std::string RandomText(std::mt19937& rng)
{
    std::uniform_int_distribution<size_t> count(0, 8), piece(0, Pieces.size() - 1);
    std::string s;
    for (size_t n = count(rng); n > 0; --n)
        s += Pieces[piece(rng)];
    return s;
}

// Line breaks are stored as one kind: CR LF, LF and CR all read back as CR LF.
std::string WithCrLf(const std::string& text)
{
    std::string s;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            s += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            s += text[i];
        }
    }
    return s;
}

} // namespace

TEST(IniStorageRoundTrip, TextsWithTheTextOptionsReadBackFromANewStore)
{
    TempDir dir;
    const std::string file = dir.File("values.ini");
    std::mt19937 rng(1210);
    std::vector<std::pair<std::string, std::string>> written;
    {
        auto store = OpenStore(file, true);
        for (int i = 0; i < 400; ++i) {
            std::string value = RandomText(rng);
            if (i % 97 == 0)
                value = std::string(70000, 'v') + value;
            const std::string path = "Section" + std::to_string(i % 7) + "\\Key" + std::to_string(i);
            store->PutString(path, value);
            written.emplace_back(path, value);
        }
        store->CommitChanges();
    }
    auto reread = OpenStore(file, true);
    for (const auto& [path, value] : written) {
        SCOPED_TRACE(path + " [" + value.substr(0, 80) + "]");
        EXPECT_EQ(reread->GetString(path, "<missing>"), WithCrLf(value));
    }
}

TEST(IniStorageRoundTrip, NumbersBooleansFloatsAndDatesReadBackFromANewStore)
{
    TempDir dir;
    const std::string file = dir.File("numbers.ini");
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> anyInt(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    std::uniform_real_distribution<double> anyReal(-1e12, 1e12);
    std::vector<int> ints;
    std::vector<long double> floats;
    std::vector<TDateTime> dates;
    ints.push_back(std::numeric_limits<int>::min());
    ints.push_back(std::numeric_limits<int>::max());
    ints.push_back(0);
    floats.push_back(0.0L);
    floats.push_back(-0.0L);
    floats.push_back(std::numeric_limits<long double>::max());
    floats.push_back(std::numeric_limits<long double>::denorm_min());
    for (int i = 0; i < 100; ++i) {
        ints.push_back(anyInt(rng));
        floats.push_back(static_cast<long double>(anyReal(rng)) / 3);
        dates.push_back(TDateTime(std::floor(std::abs(anyReal(rng)) / 1e7 * 86400) / 86400));
    }
    {
        auto store = OpenStore(file, false);
        for (size_t i = 0; i < ints.size(); ++i) {
            store->PutInteger("Ints\\I" + std::to_string(i), ints[i]);
            store->PutBoolean("Bools\\B" + std::to_string(i), ints[i] % 2 != 0);
        }
        for (size_t i = 0; i < floats.size(); ++i)
            store->RawWriteFloat("Floats\\F" + std::to_string(i), floats[i]);
        for (size_t i = 0; i < dates.size(); ++i)
            store->RawWriteDateTime("Dates\\D" + std::to_string(i), dates[i]);
        store->CommitChanges();
    }
    auto reread = OpenStore(file, false);
    for (size_t i = 0; i < ints.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reread->GetInteger("Ints\\I" + std::to_string(i), 12345), ints[i]);
        EXPECT_EQ(reread->GetBoolean("Bools\\B" + std::to_string(i), ints[i] % 2 == 0), ints[i] % 2 != 0);
    }
    for (size_t i = 0; i < floats.size(); ++i) {
        SCOPED_TRACE(i);
        const long double back = reread->RawReadFloat("Floats\\F" + std::to_string(i), 12345);
        EXPECT_EQ(back, floats[i]);
        EXPECT_EQ(std::signbit(back), std::signbit(floats[i]));
    }
    for (size_t i = 0; i < dates.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(double(reread->RawReadDateTime("Dates\\D" + std::to_string(i), TDateTime(0))), double(dates[i]), 1e-9);
    }
}

TEST(IniStorageRoundTrip, AwkwardSectionAndKeyNamesNeverDisturbOtherKeys)
{
    // Names with the INI syntax in them; each must read back its own value or be refused,
    // and the neighbour keys written around it must keep theirs.
    TempDir dir;
    const std::string file = dir.File("names.ini");
    std::mt19937 rng(77);
    struct Written {
        std::string Path, Value;
    };
    std::vector<Written> guards, accepted;
    {
        auto store = OpenStore(file, false);
        for (int i = 0; i < 300; ++i) {
            const std::string guard = "Guard" + std::to_string(i % 5) + "\\G" + std::to_string(i);
            store->PutString(guard, "g" + std::to_string(i));
            guards.push_back({guard, "g" + std::to_string(i)});
            const std::string section = "S" + std::to_string(i) + RandomText(rng);
            const std::string key = "K" + std::to_string(i) + RandomText(rng);
            const std::string value = "v" + std::to_string(i);
            try {
                store->PutString(section + "\\" + key, value);
                accepted.push_back({section + "\\" + key, value});
            } catch (const std::exception&) {
            }
        }
        store->CommitChanges();
    }
    auto reread = OpenStore(file, false);
    for (const auto& w : guards) {
        SCOPED_TRACE(w.Path);
        EXPECT_EQ(reread->GetString(w.Path, "<missing>"), w.Value);
    }
    for (const auto& w : accepted) {
        SCOPED_TRACE(w.Path);
        EXPECT_EQ(reread->GetString(w.Path, "<missing>"), w.Value);
    }
}

TEST(IniStorageRoundTrip, TextsWithoutTheTextOptionsReadBackTrimmedUpToTheFirstBreak)
{
    // Without the options a text loses the blanks at its ends and everything from its first
    // line break on, and nothing more; its neighbours keep their values.
    TempDir dir;
    const std::string file = dir.File("plain.ini");
    std::mt19937 rng(31);
    std::vector<std::pair<std::string, std::string>> written;
    {
        auto store = OpenStore(file, false);
        for (int i = 0; i < 400; ++i) {
            const std::string path = "S" + std::to_string(i % 3) + "\\K" + std::to_string(i);
            const std::string value = RandomText(rng);
            store->PutString(path, value);
            written.emplace_back(path, value);
        }
        store->CommitChanges();
    }
    auto reread = OpenStore(file, false);
    for (const auto& [path, value] : written) {
        SCOPED_TRACE(path + " [" + value + "]");
        EXPECT_EQ(reread->GetString(path, "<missing>"), Trim(value.substr(0, value.find_first_of("\r\n"))));
    }
}
