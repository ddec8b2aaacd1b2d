// The compare window's rows: laying out a comparison in both panes, the overview strip,
// scrolling both panes together, stepping from difference to difference and copying a block
// from one pane to the other.

#include "compare/zuCompareMainForm.h"

#include "compare/CodeEditor.h"
#include "compare/DiffUnit.h"
#include "compare/zuCompareWidgets.h"

#include <QApplication>
#include <QClipboard>

namespace {

int DecimalDigits(size_t value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

// The rows of one pane while they are laid out.
struct TRows {
    std::vector<std::string> Texts;
    std::vector<TColor> Colors;
    std::vector<std::int32_t> Numbers;
    std::vector<std::int32_t> Places;

    void Line(const TTextLines& lines, int index, TColor color)
    {
        Texts.push_back(lines[static_cast<size_t>(index)]);
        Colors.push_back(color);
        Numbers.push_back(index + 1);
        Places.push_back(index);
    }
    // An empty row facing a line of the other file; `place` lines of this file come before it.
    void Filler(int place, TColor color)
    {
        Texts.emplace_back();
        Colors.push_back(color);
        Numbers.push_back(0);
        Places.push_back(place);
    }
};

} // namespace

void TCompareMainForm::FillPanes()
{
    FFilling = true;
    const struct TEnd {
        bool& Flag;
        ~TEnd() { Flag = false; }
    } end{FFilling};
    const TTextLines& file1 = FSides[0].Lines;
    const TTextLines& file2 = FSides[1].Lines;
    const bool differencesOnly = acDiffOnly->isChecked();
    TRows left, right;
    int i1 = 0, i2 = 0;
    const auto unchanged = [&](int until) {
        if (differencesOnly) {
            i2 += until - i1;
            i1 = until;
            return;
        }
        for (; i1 < until && i2 < static_cast<int>(file2.size()); ++i1, ++i2) {
            left.Line(file1, i1, clWindow);
            right.Line(file2, i2, clWindow);
        }
    };
    for (const TDiffChange& c : FDiff->Changes()) {
        unchanged(c.Line1);
        switch (c.Kind) {
        case dcAdded:
            for (int k = 0; k < c.Count; ++k, ++i2) {
                left.Filler(c.Line1, FAddColor);
                right.Line(file2, i2, FAddColor);
            }
            i1 = c.Line1;
            i2 = c.Line2 + c.Count;
            break;
        case dcModified:
            for (int j = 0; j < c.Count; ++j) {
                left.Line(file1, c.Line1 + j, FModColor);
                right.Line(file2, i2 + j, FModColor);
            }
            i1 = c.Line1 + c.Count;
            i2 = c.Line2 + c.Count;
            break;
        case dcDeleted:
            for (int k = 0; k < c.Count; ++k) {
                left.Line(file1, c.Line1 + k, FDelColor);
                right.Filler(i2, FDelColor);
            }
            i1 = c.Line1 + c.Count;
            break;
        }
    }
    if (!differencesOnly)
        unchanged(static_cast<int>(file1.size()));

    const TRows* rows[2] = {&left, &right};
    for (int side = 0; side < 2; ++side) {
        TSide& s = FSides[side];
        TCodeEdit& pane = *s.Pane;
        pane.SetAutoLineNum(false);
        pane.Lines().AssignLines(rows[side]->Texts);
        s.Shown.assign(s.Lines.size(), 0);
        s.LaidOut = true;
        for (int row = 0; row < pane.Lines().Count(); ++row) {
            TLineObj& line = pane.Lines().GetLineObj(row);
            line.Color = rows[side]->Colors[static_cast<size_t>(row)];
            line.LineNumber = rows[side]->Numbers[static_cast<size_t>(row)];
            line.Place = rows[side]->Places[static_cast<size_t>(row)];
            if (line.LineNumber > 0)
                s.Shown[static_cast<size_t>(line.LineNumber - 1)] = 1;
        }
        pane.SetGutterWidth((DecimalDigits(s.Lines.size()) + 1) * pane.CharWidth());
        pane.Lines().SetModified(false);
    }
    BuildOverview();
    UpdateMarker();
    // The caret stays where it was, on a row that may have another kind now.
    UpdateCopyCommands();
}

void TCompareMainForm::BuildOverview()
{
    const TLines& lines = Pane(0)->Lines();
    std::vector<TColor> colors(static_cast<size_t>(lines.Count()));
    for (int row = 0; row < lines.Count(); ++row)
        colors[static_cast<size_t>(row)] = lines.GetLineObj(row).Color;
    FOverview->Build(colors, Pane(0)->Color());
}

void TCompareMainForm::UpdateMarker()
{
    const TCodeEdit& pane = *Pane(0);
    FOverview->SetPosition(pane.FirstRow(), pane.VisibleRows(), pane.Lines().Count());
}

void TCompareMainForm::SyncScroll(int side)
{
    if (!FComparisonShown || FSyncing)
        return;
    FSyncing = true;
    Pane(1 - side)->SetFirstRow(Pane(side)->FirstRow());
    FSyncing = false;
    UpdateMarker();
}

bool TCompareMainForm::SameBlock(int a, int b) const
{
    for (int side = 0; side < 2; ++side) {
        const TLines& lines = Pane(side)->Lines();
        if (a < 0 || b < 0 || a >= lines.Count() || b >= lines.Count())
            return false;
        const TLineObj& first = lines.GetLineObj(a);
        const TLineObj& second = lines.GetLineObj(b);
        if (first.Color != second.Color)
            return false;
        // why: with "Show Differences Only" two blocks of one kind can touch; their numbers jump.
        if (first.LineNumber > 0 && second.LineNumber > 0 && second.LineNumber - first.LineNumber != b - a)
            return false;
    }
    return true;
}

// ---- from difference to difference

void TCompareMainForm::NextDifference()
{
    TCodeEdit* pane = FActivePane;
    if (!pane || pane->Lines().Count() == 0)
        return;
    const TLines& lines = pane->Lines();
    const int count = lines.Count();
    int row = pane->CaretRow();
    while (row + 1 < count && SameBlock(row, row + 1))
        ++row;
    ++row;
    while (row < count && lines.GetLineObj(row).Color == pane->Color())
        ++row;
    if (row >= count) {
        ++Beeps;
        QApplication::beep();
        return;
    }
    pane->SetCaretPoint(0, row);
    pane->ScrollCaretIntoView();
    int end = row;
    while (end + 1 < count && SameBlock(end, end + 1))
        ++end;
    if (end + 1 >= pane->FirstRow() + pane->VisibleRows())
        pane->SetFirstRow(row);
}

void TCompareMainForm::PreviousDifference()
{
    TCodeEdit* pane = FActivePane;
    if (!pane)
        return;
    const TLines& lines = pane->Lines();
    int row = pane->CaretRow();
    if (lines.Count() == 0) {
        ++Beeps;
        QApplication::beep();
        return;
    }
    while (row > 0 && SameBlock(row - 1, row))
        --row;
    --row;
    while (row >= 0 && lines.GetLineObj(row).Color == pane->Color())
        --row;
    if (row < 0) {
        ++Beeps;
        QApplication::beep();
        return;
    }
    while (row > 0 && SameBlock(row - 1, row))
        --row;
    pane->SetCaretPoint(0, row);
    pane->ScrollCaretIntoView();
}

// ---- copying a block

void TCompareMainForm::CopyBlock(int source)
{
    TAction* command = source == 0 ? acCopyRight : acCopyLeft;
    command->SetEnabled(false);
    TCodeEdit* from = Pane(source);
    TCodeEdit* to = Pane(1 - source);
    if (!FComparisonShown || FActivePane != from || from->Lines().Count() == 0)
        return;
    const int row = from->CaretRow();
    const TColor color = from->Lines().GetLineObj(row).Color;
    if (!IsChangedColor(color))
        return;
    int first = row, last = row;
    while (first > 0 && SameBlock(first - 1, first))
        --first;
    while (last + 1 < from->Lines().Count() && SameBlock(last, last + 1))
        ++last;
    if (to->Lines().Count() < last + 1 || to->Lines().GetLineObj(first).Color != color ||
        to->Lines().GetLineObj(last).Color != color)
        return;

    // The rows keep their places in the files, so that saving puts the new text where the old was.
    std::vector<std::int32_t> places;
    bool fillers = true;
    for (int r = first; r <= last; ++r) {
        places.push_back(to->Lines().GetLineObj(r).Place);
        const TLineObj& line = from->Lines().GetLineObj(r);
        fillers = fillers && line.LineNumber == 0 && !line.Modified;
    }
    const auto selectRows = [first, last](TCodeEdit* pane) {
        const int start = pane->PointToOffset(0, first);
        pane->SetSelStart(start);
        pane->SetSelLength(pane->PointToOffset(0, last + 1) - start);
    };
    selectRows(to);
    if (fillers) {
        // Filler rows stand for no lines: their counterparts are removed and become fillers too,
        // instead of blank lines that would be saved.
        std::string breaks;
        for (int r = first; r <= last; ++r)
            breaks += "\r\n";
        to->InsertText(breaks);
    } else {
        selectRows(from);
        if (from->SelLength() > 0)
            from->CopyToClipboard();
        else
            QApplication::clipboard()->clear();
        to->PasteFromClipboard();
    }
    for (int r = first; r <= last && r < to->Lines().Count(); ++r) {
        TLineObj& line = to->Lines().GetLineObj(r);
        line.Place = places[static_cast<size_t>(r - first)];
        if (fillers) {
            line.Color = color;
            line.LineNumber = 0;
            line.Modified = false;
        }
    }
    to->Invalidate();
}
