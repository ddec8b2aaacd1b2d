// The settings files, what is written reads back: generated awkward texts, numbers, booleans
// and floats written through one settings file object and read by a new one from the same file.

#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::vector<std::string> Pieces = {" ",  "  ",   "\t", "\"", "'", "=", ";",  "[",  "]",  "\\", "\\n", "\r\n", "\r",
                                         "\n", "a",    "Zz", "x y", "#", "\xC3\xA9", "\xE2\x82\xAC", "0", "$", "\x01"};

std::string RandomText(std::mt19937& rng)
{
    std::uniform_int_distribution<size_t> count(0, 8), piece(0, Pieces.size() - 1);
    std::string s;
    for (size_t n = count(rng); n > 0; --n)
        s += Pieces[piece(rng)];
    return s;
}

// Settings texts are single-line: a value is kept up to its first line break.
std::string FirstLine(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

} // namespace

TEST(SettingsFileRoundTrip, TextsReadBackUpToTheirFirstLineBreak)
{
    TempDir dir;
    const std::string file = dir.File("Zentupad.dat");
    std::mt19937 rng(1210);
    struct Written {
        std::string Section, Key, Value;
    };
    std::vector<Written> written;
    {
        TIniFileEx ini(file);
        for (int i = 0; i < 150; ++i) {
            std::string value = RandomText(rng);
            if (i % 101 == 0)
                value += std::string(20000, 'v');
            written.push_back({"Section" + std::to_string(i % 5), "Key" + std::to_string(i), value});
            ini.WriteString(written.back().Section, written.back().Key, value);
        }
        // Overwrite some, so that replacing a line is covered as well as adding one.
        for (int i = 0; i < 150; i += 7) {
            written[i].Value = RandomText(rng);
            ini.WriteString(written[i].Section, written[i].Key, written[i].Value);
        }
    }
    TIniFileEx reread(file);
    for (const auto& w : written) {
        SCOPED_TRACE(w.Section + "/" + w.Key + " [" + w.Value.substr(0, 80) + "]");
        EXPECT_EQ(reread.ReadString(w.Section, w.Key, "<missing>"), FirstLine(w.Value));
    }
}

TEST(SettingsFileRoundTrip, NumbersBooleansAndFloatsReadBack)
{
    TempDir dir;
    const std::string file = dir.File("Zentupad.dat");
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> anyInt(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    std::uniform_real_distribution<double> anyReal(-1e9, 1e9);
    std::vector<int> ints = {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0, -1};
    std::vector<double> floats = {0.0, -0.5, 1e-300, 1e300, 25.4};
    for (int i = 0; i < 60; ++i) {
        ints.push_back(anyInt(rng));
        floats.push_back(anyReal(rng) / 7);
    }
    {
        TIniFileEx ini(file);
        for (size_t i = 0; i < ints.size(); ++i) {
            ini.WriteInteger("Ints", "I" + std::to_string(i), ints[i]);
            ini.WriteBool("Bools", "B" + std::to_string(i), ints[i] % 2 != 0);
        }
        for (size_t i = 0; i < floats.size(); ++i)
            ini.WriteFloat("Floats", "F" + std::to_string(i), floats[i]);
    }
    TIniFileEx reread(file);
    for (size_t i = 0; i < ints.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reread.ReadInteger("Ints", "I" + std::to_string(i), 12345), ints[i]);
        EXPECT_EQ(reread.ReadBool("Bools", "B" + std::to_string(i), ints[i] % 2 == 0), ints[i] % 2 != 0);
    }
    for (size_t i = 0; i < floats.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(reread.ReadFloat("Floats", "F" + std::to_string(i), 12345), floats[i], std::abs(floats[i]) * 1e-12);
    }
}

TEST(SettingsFileRoundTrip, AwkwardSectionAndKeyNamesNeverDisturbOtherKeys)
{
    TempDir dir;
    const std::string file = dir.File("Zentupad.dat");
    std::mt19937 rng(77);
    struct Written {
        std::string Section, Key, Value;
    };
    std::vector<Written> guards, accepted;
    {
        TIniFileEx ini(file);
        for (int i = 0; i < 200; ++i) {
            guards.push_back({"Guard" + std::to_string(i % 4), "G" + std::to_string(i), "g" + std::to_string(i)});
            ini.WriteString(guards.back().Section, guards.back().Key, guards.back().Value);
            const Written w{"S" + std::to_string(i) + RandomText(rng), "K" + std::to_string(i) + RandomText(rng),
                            "v" + std::to_string(i)};
            try {
                ini.WriteString(w.Section, w.Key, w.Value);
                accepted.push_back(w);
            } catch (const std::exception&) {
            }
        }
    }
    TIniFileEx reread(file);
    for (const auto& w : guards) {
        SCOPED_TRACE(w.Section + "/" + w.Key);
        EXPECT_EQ(reread.ReadString(w.Section, w.Key, "<missing>"), w.Value);
    }
    for (const auto& w : accepted) {
        SCOPED_TRACE(testing::Message() << "accepted [" << w.Section << "] [" << w.Key << "]");
        EXPECT_EQ(reread.ReadString(w.Section, w.Key, "<missing>"), w.Value);
    }
}

TEST(SettingsFileRoundTrip, TypedKeysReadBackWhatTheyWrote)
{
    TempDir dir;
    TIniFileEx ini(dir.File("Zentupad.dat"));
    std::mt19937 rng(3);
    const TStringKey text{"General", "DateTimeFormat", "x"};
    const TIntKey number{"Editor", "TabWidth", 8};
    const TBoolKey flag{"Editor", "AutoIndent", true};
    for (int i = 0; i < 50; ++i) {
        const std::string value = FirstLine(RandomText(rng));
        SCOPED_TRACE("[" + value + "]");
        text.Write(ini, value);
        number.Write(ini, i * 7919 - 100000);
        flag.Write(ini, i % 2 == 0);
        TIniFileEx reread(ini.FileName());
        EXPECT_EQ(text.Read(reread), value);
        EXPECT_EQ(number.Read(reread), i * 7919 - 100000);
        EXPECT_EQ(flag.Read(reread), i % 2 == 0);
    }
}
