#pragma once
// TCharmapForm: the "HTML Entities" window. A grid of 18 x 6 special characters read from the
// data folder's entity list; a click shows the character's description as the grid's hint, a
// double-click inserts its entity into the active document. The window stays in front, blocks
// nothing and is made anew each time.

#include "Platform/text/Strings.h"

#include <QWidget>

#include <functional>
#include <string>

class QTableWidget;
class TSrcEdit;

// One line of the entity list: the character, a tab, the text to insert, a tab, the description.
// The character is the line's first UTF-8 character, whole; the text lies between the first and
// the last tab ("" without two tabs); the hint follows the last tab (the whole line without one).
struct TEntityLine {
    std::string Character;
    std::string Insert;
    std::string Hint;
};
TEntityLine ParseEntityLine(const std::string& line);

class TCharmapForm : public QWidget {
public:
    static constexpr int GridColumns = 18;
    static constexpr int GridRows = 6;

    // Reads `entityFile`; a missing file or one with fewer lines than the grid has cells raises
    // the list's error and no window is made.
    explicit TCharmapForm(const std::string& entityFile, QWidget* parent = nullptr);

    QTableWidget* EntityGrid = nullptr;
    const TStringList& Entities() const { return FEntities; }

    // The editor that a double-click writes to; null leaves the text alone.
    std::function<TSrcEdit*()> TargetEditor;

    // What a click and a double-click on cell (column, row) do.
    void CellClick(int column, int row);
    void CellDoubleClick(int column, int row);

private:
    TStringList FEntities;
};
