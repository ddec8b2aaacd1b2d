#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/controls/ControlFont.h"

#include <QScrollBar>
#include <cmath>

int ListTabStop(int zeroWidth, int tabWidth)
{
    return static_cast<int>(std::nearbyint(zeroWidth * tabWidth * 0.25));
}

int TabbedTextWidth(const TCanvas& canvas, std::string_view text, int tabStop)
{
    int x = 0;
    size_t start = 0;
    for (;;) {
        const size_t tab = text.find('\t', start);
        x += canvas.TextWidth(text.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            break;
        x = tabStop > 0 ? (x / tabStop + 1) * tabStop : x;
        start = tab + 1;
    }
    return x & 0xFFFF;
}

TExTextListBox::TExTextListBox(TComponent* AOwner, QWidget* parent) : TExExCustomListBox(AOwner, parent)
{
    AssignQFont(FMeasure.Font(), font());
    ApplyExtent();
}

void TExTextListBox::SetTabWidth(int value)
{
    if (value == FTabWidth)
        return;
    FTabWidth = value;
    RecalcExtent();
}

int TExTextListBox::TextWidthOfItem(int index)
{
    const std::string text = Items().Get(index) + "x";
    if (FTabWidth <= 0)
        return FMeasure.TextWidth(text);
    return TabbedTextWidth(FMeasure, text, ListTabStop(FMeasure.TextWidth("0"), FTabWidth));
}

void TExTextListBox::ApplyExtent()
{
    Perform(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FWidestItem));
}

void TExTextListBox::RecalcExtent()
{
    FWidestItem = 0;
    for (int i = 0; i < Items().Count(); ++i)
        FWidestItem = std::max(FWidestItem, TextWidthOfItem(i));
    ApplyExtent();
}

void TExTextListBox::ScrollLeft()
{
    horizontalScrollBar()->setValue(0);
}

void TExTextListBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
        TExExCustomListBox::WndProc(message);
        FWidestItem = std::max(FWidestItem, TextWidthOfItem(static_cast<int>(message.Result)));
        ApplyExtent();
        return;
    case LB_DELETESTRING: {
        const int index = static_cast<int>(message.WParam);
        if (index >= 0 && index < Items().Count() && TextWidthOfItem(index) >= FWidestItem) {
            ScrollLeft();
            TExExCustomListBox::WndProc(message);
            RecalcExtent();
            return;
        }
        TExExCustomListBox::WndProc(message);
        return;
    }
    case LB_RESETCONTENT:
        FWidestItem = 0;
        ApplyExtent();
        ScrollLeft();
        TExExCustomListBox::WndProc(message);
        return;
    default: TExExCustomListBox::WndProc(message);
    }
}

void TExTextListBox::FontChanged()
{
    TExExCustomListBox::FontChanged();
    AssignQFont(FMeasure.Font(), font());
    RecalcExtent();
}
