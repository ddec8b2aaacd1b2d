#pragma once
// The search and replacement histories of the dialogs, kept as numbered keys in a section of
// the main settings file, newest first.

#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class TIniFileEx;

// The history is at most this long in the file.
inline constexpr int MaxSearchHistory = 16;

// The values of the keys "0", "1", ... of `section`, up to the first missing one.
std::vector<std::string> ReadSearchHistory(const TIniFileEx& ini, std::string_view section);
// Puts `text` at the front: an entry equal to it without regard to case moves there with its own
// spelling; a new text is inserted. An empty text changes nothing.
void PushSearchHistory(std::vector<std::string>& history, const std::string& text);
// Erases the section and writes the first 16 entries as "0".."15", keeping the keys named in
// `keepKeys`; the file is written at once.
void WriteSearchHistory(TIniFileEx& ini, std::string_view section, const std::vector<std::string>& history,
                        const std::vector<std::string_view>& keepKeys = {});

// The history as an editable combo box's list, with `text` in its edit field.
void FillHistoryBox(QComboBox& box, const std::vector<std::string>& history, const std::string& text);
// The history of a combo box's list.
std::vector<std::string> HistoryOfBox(const QComboBox& box);
