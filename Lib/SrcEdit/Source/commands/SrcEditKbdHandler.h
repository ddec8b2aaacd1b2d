#pragma once
// The key and mouse handler chains of an editor: components attached to an editor see keys and
// clicks here before the editor turns them into commands, newest handler first, and may swallow
// a key by setting it to 0.

#include "SrcEdit/Source/view/SrcEditCursor.h"
#include "SrcEdit/Source/commands/SrcEditMethod.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Component.h"
#include "Platform/controls/Keys.h"

#include <cstdint>
#include <vector>

using TSrcKeyEventMethod = TSrcMethod<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TSrcKeyPressEventMethod = TSrcMethod<void(TObject* Sender, char32_t& Key)>;
using TSrcMouseEventMethod = TSrcMethod<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TSrcMouseCursorEventMethod = TSrcMethod<void(TObject* Sender, const TBufferCoord& Pos, TCursor& Cursor)>;

// An ordered list of handlers. Duplicates are allowed; removal takes the newest registration of
// a handler.
template <class Sig>
class TMethodList {
public:
    using TMethod = TSrcMethod<Sig>;

    void Add(const TMethod& method)
    {
        FEntries.push_back({method, FNextSerial++});
    }

    void Remove(const TMethod& method)
    {
        for (size_t i = FEntries.size(); i-- > 0;)
            if (FEntries[i].Method.SameAs(method)) {
                FEntries.erase(FEntries.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
    }

    int Count() const { return static_cast<int>(FEntries.size()); }

    // Calls the handlers from the newest to the oldest until `call` returns false. Handlers
    // added during the walk are not called; handlers removed during it are not called again.
    template <class Call>
    void WalkNewestFirst(Call call) const
    {
        std::uint64_t below = FNextSerial;
        for (;;) {
            // invariant: entries are in ascending serial order, so the next one to call is the
            // last entry older than the one called before
            const Entry* next = nullptr;
            for (size_t i = FEntries.size(); i-- > 0;)
                if (FEntries[i].Serial < below) {
                    next = &FEntries[i];
                    break;
                }
            if (!next)
                return;
            below = next->Serial;
            const TMethod method = next->Method; // why: the handler may change the list
            if (!call(method))
                return;
        }
    }

private:
    struct Entry {
        TMethod Method;
        std::uint64_t Serial;
    };
    std::vector<Entry> FEntries;
    std::uint64_t FNextSerial = 1;
};

class TSrcEditKbdHandler : public TObject {
public:
    void AddKeyDownHandler(const TSrcKeyEventMethod& handler) { FKeyDownChain.Add(handler); }
    void RemoveKeyDownHandler(const TSrcKeyEventMethod& handler) { FKeyDownChain.Remove(handler); }
    void AddKeyUpHandler(const TSrcKeyEventMethod& handler) { FKeyUpChain.Add(handler); }
    void RemoveKeyUpHandler(const TSrcKeyEventMethod& handler) { FKeyUpChain.Remove(handler); }
    void AddKeyPressHandler(const TSrcKeyPressEventMethod& handler) { FKeyPressChain.Add(handler); }
    void RemoveKeyPressHandler(const TSrcKeyPressEventMethod& handler) { FKeyPressChain.Remove(handler); }
    void AddMouseDownHandler(const TSrcMouseEventMethod& handler) { FMouseDownChain.Add(handler); }
    void RemoveMouseDownHandler(const TSrcMouseEventMethod& handler) { FMouseDownChain.Remove(handler); }
    void AddMouseUpHandler(const TSrcMouseEventMethod& handler) { FMouseUpChain.Add(handler); }
    void RemoveMouseUpHandler(const TSrcMouseEventMethod& handler) { FMouseUpChain.Remove(handler); }
    void AddMouseCursorHandler(const TSrcMouseCursorEventMethod& handler) { FMouseCursorChain.Add(handler); }
    void RemoveMouseCursorHandler(const TSrcMouseCursorEventMethod& handler) { FMouseCursorChain.Remove(handler); }

    // The key chains stop once a handler has set Key to 0 (#0 for key press). A chain that is
    // already running is not entered again (a handler that causes a nested key event of the same
    // kind does not re-run it).
    void FireKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FireKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FireKeyPress(TObject* Sender, char32_t& Key);
    // Every mouse handler is called; they cannot stop the walk.
    void FireMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FireMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FireMouseCursor(TObject* Sender, const TBufferCoord& Pos, TCursor& Cursor);

private:
    enum TChain { chKeyDown, chKeyUp, chKeyPress, chMouseDown, chMouseUp, chMouseCursor, chCount };

    TMethodList<void(TObject*, WORD&, TShiftState)> FKeyDownChain;
    TMethodList<void(TObject*, WORD&, TShiftState)> FKeyUpChain;
    TMethodList<void(TObject*, char32_t&)> FKeyPressChain;
    TMethodList<void(TObject*, TMouseButton, TShiftState, int, int)> FMouseDownChain;
    TMethodList<void(TObject*, TMouseButton, TShiftState, int, int)> FMouseUpChain;
    TMethodList<void(TObject*, const TBufferCoord&, TCursor&)> FMouseCursorChain;
    bool FRunning[chCount] = {};

    template <class List, class Call>
    void Run(TChain chain, const List& list, Call call);
};
