#pragma once
// A temporary folder for one test, removed with everything in it when the test ends.

#include <QTemporaryDir>
#include <string>
#include <string_view>
#include <vector>

class TempDir {
public:
    TempDir();
    // The folder, without a trailing separator.
    std::string Path() const;
    // The full name of `name` inside the folder.
    std::string File(std::string_view name) const;
    // Writes `bytes` to `name` inside the folder (creating sub-folders) and returns its full name.
    std::string Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;

private:
    QTemporaryDir FDir;
};

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::string& fileName);
// The file's lines, split at LF, without the line breaks.
std::vector<std::string> ReadLines(const std::string& fileName);
