// The six key and mouse handler chains of an editor with their re-entry guards.

#include "SrcEdit/Source/commands/SrcEditKbdHandler.h"

template <class List, class Call>
void TSrcEditKbdHandler::Run(TChain chain, const List& list, Call call)
{
    if (FRunning[chain])
        return;
    FRunning[chain] = true;
    // why: the flag must drop also when a handler raises
    struct Guard {
        bool& Flag;
        ~Guard() { Flag = false; }
    } guard{FRunning[chain]};
    list.WalkNewestFirst(call);
}

void TSrcEditKbdHandler::FireKeyDown(TObject* Sender, WORD& Key, TShiftState Shift)
{
    Run(chKeyDown, FKeyDownChain, [&](const TSrcKeyEventMethod& handler) {
        handler(Sender, Key, Shift);
        return Key != 0;
    });
}

void TSrcEditKbdHandler::FireKeyUp(TObject* Sender, WORD& Key, TShiftState Shift)
{
    Run(chKeyUp, FKeyUpChain, [&](const TSrcKeyEventMethod& handler) {
        handler(Sender, Key, Shift);
        return Key != 0;
    });
}

void TSrcEditKbdHandler::FireKeyPress(TObject* Sender, char32_t& Key)
{
    Run(chKeyPress, FKeyPressChain, [&](const TSrcKeyPressEventMethod& handler) {
        handler(Sender, Key);
        return Key != 0;
    });
}

void TSrcEditKbdHandler::FireMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Run(chMouseDown, FMouseDownChain, [&](const TSrcMouseEventMethod& handler) {
        handler(Sender, Button, Shift, X, Y);
        return true;
    });
}

void TSrcEditKbdHandler::FireMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    Run(chMouseUp, FMouseUpChain, [&](const TSrcMouseEventMethod& handler) {
        handler(Sender, Button, Shift, X, Y);
        return true;
    });
}

void TSrcEditKbdHandler::FireMouseCursor(TObject* Sender, const TBufferCoord& Pos, TCursor& Cursor)
{
    Run(chMouseCursor, FMouseCursorChain, [&](const TSrcMouseCursorEventMethod& handler) {
        handler(Sender, Pos, Cursor);
        return true;
    });
}
