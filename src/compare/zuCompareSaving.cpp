// The compare window's files: saving a side with its edits, and the difference report.

#include "compare/zuCompareMainForm.h"

#include "compare/CodeEditor.h"
#include "compare/zuCompareWidgets.h"

#include "common/zuFunctions.h"
#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

namespace {

// The line break of [General] LineEnding (0 CR LF, 1 LF, 2 CR).
std::string LineBreak()
{
    const int mode = SettingsFile ? Settings::General::LineEnding.Read(*SettingsFile) : 1;
    return mode == 0 ? "\r\n" : mode == 2 ? "\r" : "\n";
}

} // namespace

TTextLines TCompareMainForm::SavedLines(int side) const
{
    const TSide& s = FSides[side];
    const TLines& rows = s.Pane->Lines();
    TTextLines saved;
    saved.reserve(s.Lines.size() + static_cast<size_t>(rows.Count()));
    // Lines of the file that the layout left out (unchanged lines while only differences are
    // shown) go back in before the first row that comes after them in the file.
    int next = 0;
    int lastPlace = 0;
    const auto hiddenBefore = [&](int place) {
        for (; next < place && next < static_cast<int>(s.Lines.size()); ++next)
            if (next >= static_cast<int>(s.Shown.size()) || !s.Shown[static_cast<size_t>(next)])
                saved.push_back(s.Lines[static_cast<size_t>(next)]);
    };
    for (int row = 0; row < rows.Count(); ++row) {
        const TLineObj& line = rows.GetLineObj(row);
        // A row made by editing belongs where the row above it does.
        const int place = line.Place >= 0 ? line.Place : lastPlace;
        hiddenBefore(place);
        if (line.LineNumber > 0 || line.Modified)
            saved.push_back(rows.LineText(row));
        if (line.LineNumber > 0) {
            next = std::max(next, static_cast<int>(line.LineNumber));
            lastPlace = line.LineNumber;
        } else {
            lastPlace = place;
        }
    }
    hiddenBefore(static_cast<int>(s.Lines.size()));
    return saved;
}

void TCompareMainForm::SaveFile(int side)
{
    TSide& s = FSides[side];
    if (!s.Edited || FComparing)
        return;
    SaveDialog.FileName = Trim(s.Caption->Caption());
    SaveDialog.InitialDir = ExtractFilePath(SaveDialog.FileName);
    if (!SaveDialog.Execute(this))
        return;
    const std::string fileName = SaveDialog.FileName;
    TTextLines lines;
    // why: a pane keeps its laid-out rows when the other side is loaded again; its fillers are
    // still no lines of the file.
    if (s.LaidOut) {
        lines = SavedLines(side);
    } else {
        const TLines& rows = s.Pane->Lines();
        for (int row = 0; row < rows.Count(); ++row)
            lines.push_back(rows.LineText(row));
    }
    SaveFileAtomically(fileName, JoinTextLines(lines, LineBreak()));
    LoadFile(side, fileName);
}

std::vector<std::string> TCompareMainForm::ReportLines(TDateTime now) const
{
    const TFormatSettings& settings = DefaultFormatSettings();
    const std::string format = settings.ShortDateFormat + ", " + settings.ShortTimeFormat;
    const std::string rule(80, '=');
    std::vector<std::string> report = {
        "Difference Report - " + FormatDateTime(format, now),
        rule,
        "",
        Format("File 1: \"%s\"", {FSides[0].FileName}),
        "        Last modified on " + FormatDateTime(format, FSides[0].FileTime),
        Format("File 2: \"%s\"", {FSides[1].FileName}),
        "        Last modified on " + FormatDateTime(format, FSides[1].FileTime),
        "",
    };
    const TLines& left = Pane(0)->Lines();
    const TLines& right = Pane(1)->Lines();
    TColor previous = clWindow;
    int highest = 0;
    for (int row = 0; row < left.Count() && row < right.Count(); ++row) {
        const TLineObj& line = left.GetLineObj(row);
        highest = std::max(highest, static_cast<int>(line.LineNumber));
        const TColor color = line.Color;
        const std::string leftText = "- " + left.LineText(row);
        const std::string rightText = "+ " + right.LineText(row);
        // why: two blocks of one kind that touch (only differences shown) get a heading each.
        if (color == previous && (row == 0 || SameBlock(row - 1, row))) {
            if (color == FAddColor) {
                report.push_back(rightText);
            } else if (color == FModColor) {
                report.push_back(leftText);
                report.push_back(rightText);
            } else if (color == FDelColor) {
                report.push_back(leftText);
            }
            continue;
        }
        if (color == FAddColor) {
            report.insert(report.end(), {rule, "Lines added at " + std::to_string(highest + 1), rule, rightText});
        } else if (color == FModColor) {
            report.insert(report.end(), {rule, "Lines modified at " + std::to_string(highest), rule, leftText, rightText});
        } else if (color == FDelColor) {
            report.insert(report.end(), {rule, "Lines deleted at " + std::to_string(highest), rule, leftText});
        }
        previous = color;
    }
    return report;
}

void TCompareMainForm::SaveReport()
{
    if (!FComparisonShown)
        return;
    ReportDialog.Filter = "Text Files (*.txt)|*.txt";
    ReportDialog.DefaultExt = "txt";
    ReportDialog.InitialDir = ExtractFilePath(FSides[0].FileName);
    if (!ReportDialog.Execute(this))
        return;
    SaveFileAtomically(ReportDialog.FileName, JoinTextLines(ReportLines(Now()), LineBreak()));
}
