#pragma once
// The window-procedure hook registry: any number of observers attach hook procedures to a
// control, before or after its own window procedure. While a control has a hook its
// WindowProc is one dispatcher; the last hook to go puts the control's procedure back. Hooks
// may be added or removed while a message is being dispatched (also from inside a hook), and
// the control may die meanwhile: a dispatch still running below on the stack then ends without
// touching it, and the control's entry is freed later from the message loop.

#include "ExLib/run/common/ExMessageWindow.h"

#include "Platform/controls/Control.h"

#include <memory>
#include <vector>

// A hook procedure: an object and one of its methods. True means handled, which ends the
// dispatch of that message. Two procedures are the same when both method and object are.
struct TExHookProc {
    const void* Code = nullptr;
    void* Object = nullptr;
    bool (*Invoke)(void* object, TMessage& message) = nullptr;

    bool operator==(const TExHookProc& other) const { return Code == other.Code && Object == other.Object; }
};

namespace ExHookDetail {
template <auto Method, class C>
bool Call(void* object, TMessage& message)
{
    return (static_cast<C*>(object)->*Method)(message);
}
// invariant: one distinct address per method, standing for its code address.
template <auto Method>
inline constexpr char CodeTag = 0;
} // namespace ExHookDetail

// The hook procedure calling `Method` of `object`.
template <auto Method, class C>
TExHookProc MakeHookProc(C* object)
{
    return TExHookProc{&ExHookDetail::CodeTag<Method>, object, &ExHookDetail::Call<Method, C>};
}

enum class TExHookOrder { BeforeMessage, AfterMessage };

class TExWndProcHook;

// The hooks of one control and the state of the dispatches running for it.
class TExHookInfos {
public:
    TExHookInfos(TWinControlCore* control, TExWndProcHook* controller);
    ~TExHookInfos();
    TExHookInfos(const TExHookInfos&) = delete;
    TExHookInfos& operator=(const TExHookInfos&) = delete;

    TWinControlCore* Control() const { return FControl; }
    void Add(TExHookOrder order, const TExHookProc& proc);
    // Removes the first record of that order with the same procedure; false when there is none.
    bool Remove(TExHookOrder order, const TExHookProc& proc);
    bool Empty() const { return !FFirst[0] && !FFirst[1]; }
    bool Hooked() const { return FHooked; }
    bool Destroyed() const { return FDestroyed; }
    // The control is going away: forget its procedure, stop dispatching.
    void MarkDestroyed();

private:
    struct Record {
        TExHookProc Proc;
        Record* Next = nullptr;
    };
    struct Level {
        Record* NextBefore = nullptr;
        Record* NextAfter = nullptr;
    };

    void Hook();
    void Unhook();
    void Dispatch(TMessage& message);
    // Calls the hooks of one order from the level's slot on; true when the dispatch must end.
    bool RunHooks(size_t level, int order, TMessage& message);
    static int Index(TExHookOrder order) { return order == TExHookOrder::BeforeMessage ? 0 : 1; }
    Record*& Slot(size_t level, int order) { return order == 0 ? FStack[level].NextBefore : FStack[level].NextAfter; }

    TWinControlCore* FControl;
    TExWndProcHook* FController;
    Record* FFirst[2] = {nullptr, nullptr};
    Record* FLast[2] = {nullptr, nullptr};
    TWndMethod FOldWndProc;
    bool FHooked = false;
    bool FDestroyed = false;
    std::vector<Level> FStack;
    size_t FDepth = 0;
};

// The registry: one per process, made on first use.
class TExWndProcHook : public TComponent {
public:
    TExWndProcHook();
    ~TExWndProcHook() override;

    // False, with nothing done, for no control, a dying control or an invalid procedure.
    bool RegisterHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc);
    // False for no control, an invalid procedure or before any registration; otherwise whether
    // the control had hooks at all.
    bool UnregisterHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc);

    // Called by an entry that has been freed.
    void Forget(TExHookInfos* infos);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TExHookInfos* Find(TWinControlCore* control) const;
    std::unique_ptr<std::vector<TExHookInfos*>> FList;
};

// Frees objects later, from the message loop, so that a caller still on the stack is safe.
class TExReleaser {
public:
    TExReleaser();
    ~TExReleaser();
    TExReleaser(const TExReleaser&) = delete;
    TExReleaser& operator=(const TExReleaser&) = delete;

    void Release(std::unique_ptr<TExHookInfos> object);
    bool Waiting(const TExHookInfos* object) const;

private:
    void WndProc(TMessage& message);
    std::vector<std::unique_ptr<TExHookInfos>> FWaiting;
    THiddenMessageWindow FWindow;
};

// The process's registry and releaser.
TExWndProcHook& WndProcHook();
TExReleaser& Releaser();

bool RegisterWndProcHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc);
bool UnregisterWndProcHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc);
