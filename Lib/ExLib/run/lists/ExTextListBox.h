#pragma once
// TExTextListBox: a list box of text lines whose horizontal scroll range is the width of its
// widest line, so that long lines can be scrolled into view.

#include "ExLib/run/controls/ExExStdCtrls.h"

// The tab stop of a list whose TabWidth counts quarter characters of width `zeroWidth` (the
// width of "0"), rounded half to even.
int ListTabStop(int zeroWidth, int tabWidth);
// The width of `text` with its tabs expanded to multiples of `tabStop`, as its low 16 bits.
int TabbedTextWidth(const TCanvas& canvas, std::string_view text, int tabStop);

class TExTextListBox : public TExExCustomListBox {
public:
    explicit TExTextListBox(TComponent* AOwner, QWidget* parent = nullptr);

    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int value);
    // The widest item seen so far: the horizontal extent sent to the list.
    int WidestItem() const { return FWidestItem; }
    int TextWidthOfItem(int index);

protected:
    void WndProc(TMessage& message) override;
    void FontChanged() override;

private:
    void ApplyExtent();
    void RecalcExtent();
    void ScrollLeft();

    TCanvas FMeasure;
    int FWidestItem = 0;
    int FTabWidth = 0;
};
