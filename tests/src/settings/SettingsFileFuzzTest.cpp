// Mutation fuzzing of the settings files as the program reads them: files the settings file
// class wrote (texts, numbers, colours, fonts, a projects section), mutated and read through
// every kind of read; then one key is written, which must change that key alone: every other
// value reads as before, through this object and through a new one.

#include "settings/zentuIniFiles.h"

#include "Platform/graphics/Graphics.h"
#include "Platform/text/Strings.h"
#include "support/MutationFuzzer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <stdexcept>

namespace {

void WriteBytes(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string WrittenByTheProgram(const TempDir& dir)
{
    const std::string name = dir.File("seed.dat");
    {
        TIniFileEx ini(name);
        ini.WriteString("General", "DateTimeFormat", "yyyy-mm-dd hh:nn");
        ini.WriteInteger("Editor", "TabWidth", 4);
        ini.WriteBool("Editor", "AutoIndent", true);
        ini.WriteFloat("Print", "MTop", 25.4);
        ini.WriteColor("Editor", "Background", clWindow);
        ini.WriteColor("Editor", "Gutter", 0x00123456);
        TFont font;
        font.SetName("Courier New");
        font.SetSize(10);
        ini.WriteFont("Editor", "Font", font);
        ini.WriteString("RecentFiles", "File0", " /home/user/a b.php ");
        ini.WriteString("{5EED0000-1234-4ABC-8DEF-000000000000}", "ProjectName", "Project \"one\"");
        ini.WriteString("Keymap", "acNewFile", "Ctrl+N");
    }
    return ReadWholeFile(name);
}

using TValues = std::map<std::pair<std::string, std::string>, std::string>;

// Every key of every section as it reads now, read through every typed read as well.
TValues ReadEverything(const TIniFileEx& ini)
{
    TValues values;
    TStringList sections;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.Count(); ++s) {
        const std::string section = sections.Get(s);
        TStringList keys, lines;
        ini.ReadSection(section, keys);
        ini.ReadSectionValues(section, lines);
        ini.SectionExists(section);
        for (int k = 0; k < keys.Count(); ++k) {
            const std::string key = keys.Get(k);
            values[{section, key}] = ini.ReadString(section, key, "\x01missing");
            ini.ValueExists(section, key);
            ini.ReadInteger(section, key, 7);
            ini.ReadBool(section, key, true);
            ini.ReadFloat(section, key, 1.5);
            ini.ReadColor(section, key, clRed);
            TFont font;
            ini.ReadFont(section, key, font);
        }
    }
    return values;
}

} // namespace

TEST(SettingsFileFuzz, FilesTheProgramWroteReadAndChangeOneKeyAtATime)
{
    const TempDir dir;
    const std::vector<std::string> seeds = {WrittenByTheProgram(dir)};
    const std::string name = dir.File("Zentupad.dat");
    fuzz::TFuzzOptions options;
    options.Cases = 200;
    options.MaxInputSize = 1 << 14;
    options.Dictionary = {"[", "]", "=", "\r\n", "\n", "\r", ";", "\"", "'", "0x", "$", "cl", ",", " "};
    const int run = fuzz::FuzzReader("settings file", seeds, [&](const std::string& input) {
        WriteBytes(name, input);
        TIniFileEx ini(name);
        TValues before = ReadEverything(ini);
        // The key written follows from the input, so a case is reproduced by its bytes alone.
        std::pair<std::string, std::string> changed{"Editor", "TabWidth"};
        if (!before.empty()) {
            auto it = before.begin();
            std::advance(it, static_cast<std::ptrdiff_t>(input.size() % before.size()));
            changed = it->first;
        }
        try {
            ini.WriteString(changed.first, changed.second, "changed");
        } catch (const EIniFileException&) {
            return; // a name the file cannot hold again is refused, and nothing changes
        }
        before[changed] = "changed";
        if (ReadEverything(ini) != before)
            throw std::logic_error("writing one key changed others");
        if (ReadEverything(TIniFileEx(name)) != before)
            throw std::logic_error("the file written reads otherwise through a new object");
    }, options);
    EXPECT_GT(run, 200);
}
