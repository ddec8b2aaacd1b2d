#pragma once
// TIniFileEx: a settings file in INI form that reads every value from the file on disk and
// writes every change to it at once (atomically), with typed colours and fonts; and the
// colour and font texts that every settings file uses.

#include "settings/zuIniText.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileVersion.h"
#include "Platform/graphics/Colors.h"

#include <functional>
#include <mutex>
#include <string>

class TFont;
class TStrings;

ZENTU_DECLARE_EXCEPTION(EIniFileException, Exception);

class TIniFileEx {
public:
    explicit TIniFileEx(std::string fileName);
    // Flushes what was written to the disk; a failure then goes unreported.
    ~TIniFileEx();
    TIniFileEx(const TIniFileEx&) = delete;
    TIniFileEx& operator=(const TIniFileEx&) = delete;

    const std::string& FileName() const { return FFileName; }

    // Every write raises EIniFileException "Unable to write to %s" when the file cannot be
    // written; the file then keeps its old content.
    // A value is kept up to its first line break. A section with a line break or "]", or a
    // key that is blank or holds a line break or "=", or begins with "[" or ";", cannot be
    // written: EIniFileException "Unable to write to %s", and the file is left as it was.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Decimal or "$"/"0x" hexadecimal with an optional sign; anything else gives the default.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // Stored as "1" and "0"; any number other than 0 reads as true.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // "." or "," as the decimal separator; empty or other text gives the default.
    double ReadFloat(const std::string& section, const std::string& key, double defaultValue) const;
    void WriteFloat(const std::string& section, const std::string& key, double value);

    // Section names; a section's keys; a section's lines as "key=value".
    void ReadSections(TStrings& sections) const;
    void ReadSection(const std::string& section, TStrings& keys) const;
    void ReadSectionValues(const std::string& section, TStrings& lines) const;
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);
    // A section exists while it holds a key.
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // Every write has replaced the file when it returns: each reader, this program's or
    // another's, and a crash of the program find it. The bytes reach the disk itself no later
    // than here (and the destructor), once for all writes before: a file of many megabytes
    // rewritten for each of many writes would otherwise be flushed whole each time. Raises
    // EIniFileException "Unable to write to %s" when the flush fails.
    void UpdateFile();
    // Several changes to the text written as one: readers see all of them or none, and a
    // failed write keeps the old content, as for a single write.
    void Modify(const std::function<void(TIniText& text)>& change);

    TColor ReadColor(const std::string& section, const std::string& key, TColor defaultValue) const;
    void WriteColor(const std::string& section, const std::string& key, TColor value);
    // The font is both the default and the result; a malformed text leaves it as it was.
    void ReadFont(const std::string& section, const std::string& key, TFont& font) const;
    void WriteFont(const std::string& section, const std::string& key, const TFont& font);

private:
    // The text as the file holds it now; parsed again only when the file changed. Called
    // with FLock held.
    const TIniText& Current() const;

    std::string FFileName;
    // why: two threads that rewrite the file from what each read would lose one change.
    mutable std::mutex FLock;
    mutable TFileVersion FVersion;
    mutable TIniText FText;
    bool FUnflushed = false; // written since the last flush to the disk
};

// "clBlue" for the standard colour names, else "$" and 8 upper-case hexadecimal digits.
std::string ColorText(TColor color);
// A standard name (any letter case), or a signed decimal or "$"-hexadecimal number.
bool TryColorFromText(const std::string& text, TColor& color);

// "%s,%d,%d,%d%d%d%d,%.8x": name, size, character set, bold, italic, underline and
// strike-out flags, colour.
std::string FontToString(const TFont& font);
// Applies a font text field by field; raises EConvertError ("Invalid string to font
// conversion" for a malformed text) and then leaves the fields read so far changed.
void StringToFont(const std::string& text, TFont& font);
