#include "ExLib/run/menus/ExWndProcHook.h"

#include "Platform/core/Application.h"

#include <algorithm>

namespace {

// Posted to the releaser's window with the object to free in WParam.
constexpr UINT CM_RELEASE_OBJECT = 0xB021;

bool ValidProc(const TExHookProc& proc)
{
    return proc.Code != nullptr && proc.Invoke != nullptr;
}

} // namespace

// ---- TExHookInfos

TExHookInfos::TExHookInfos(TWinControlCore* control, TExWndProcHook* controller)
    : FControl(control), FController(controller)
{
}

TExHookInfos::~TExHookInfos()
{
    if (FController)
        FController->Forget(this);
    Unhook();
    for (Record*& first : FFirst)
        while (first) {
            Record* next = first->Next;
            delete first;
            first = next;
        }
}

void TExHookInfos::Add(TExHookOrder order, const TExHookProc& proc)
{
    const int o = Index(order);
    auto* record = new Record{proc, nullptr};
    if (!FFirst[o])
        FFirst[o] = record;
    else
        FLast[o]->Next = record;
    FLast[o] = record;
    // A dispatch that already ran through this list still calls the new hook in its pass.
    for (size_t level = 0; level < FDepth; ++level)
        if (!Slot(level, o))
            Slot(level, o) = record;
    Hook();
}

bool TExHookInfos::Remove(TExHookOrder order, const TExHookProc& proc)
{
    const int o = Index(order);
    Record* previous = nullptr;
    Record* record = FFirst[o];
    while (record && !(record->Proc == proc)) {
        previous = record;
        record = record->Next;
    }
    if (!record)
        return false;
    (previous ? previous->Next : FFirst[o]) = record->Next;
    if (FLast[o] == record)
        FLast[o] = previous;
    // A dispatch about to call this record moves on to the one after it.
    for (size_t level = 0; level < FDepth; ++level)
        if (Slot(level, o) == record)
            Slot(level, o) = record->Next;
    delete record;
    if (Empty())
        Unhook();
    return true;
}

void TExHookInfos::MarkDestroyed()
{
    FDestroyed = true;
    FOldWndProc = nullptr;
    FController = nullptr;
}

void TExHookInfos::Hook()
{
    if (FHooked || FDestroyed)
        return;
    FOldWndProc = FControl->WindowProc;
    FControl->WindowProc = [this](TMessage& message) { Dispatch(message); };
    FHooked = true;
}

void TExHookInfos::Unhook()
{
    if (!FHooked || FDestroyed)
        return;
    FControl->WindowProc = FOldWndProc;
    FOldWndProc = nullptr;
    FHooked = false;
}

bool TExHookInfos::RunHooks(size_t level, int order, TMessage& message)
{
    while (Record* record = Slot(level, order)) {
        Slot(level, order) = record->Next;
        // why: the hook may remove itself, which frees its record.
        const TExHookProc proc = record->Proc;
        if (proc.Invoke(proc.Object, message) || FDestroyed)
            return true;
    }
    return false;
}

void TExHookInfos::Dispatch(TMessage& message)
{
    message.Result = 0;
    if (FDepth == FStack.size())
        FStack.resize((FStack.size() + 1) * 2);
    const size_t level = FDepth++;
    FStack[level] = Level{FFirst[0], nullptr};
    struct Pop {
        size_t& Depth;
        ~Pop() { --Depth; }
    } pop{FDepth};

    if (RunHooks(level, 0, message))
        return;
    // why: the control's procedure may unhook or destroy the control while it runs.
    const TWndMethod own = FOldWndProc;
    if (own)
        own(message);
    if (FDestroyed)
        return;
    Slot(level, 1) = FFirst[1];
    RunHooks(level, 1, message);
}

// ---- TExWndProcHook

TExWndProcHook::TExWndProcHook() : TComponent(nullptr) {}

TExWndProcHook::~TExWndProcHook()
{
    Destroying();
    if (!FList)
        return;
    while (!FList->empty())
        delete FList->back(); // leaves the list through Forget
}

TExHookInfos* TExWndProcHook::Find(TWinControlCore* control) const
{
    if (!FList)
        return nullptr;
    const auto it = std::find_if(FList->begin(), FList->end(), [&](TExHookInfos* i) { return i->Control() == control; });
    return it == FList->end() ? nullptr : *it;
}

void TExWndProcHook::Forget(TExHookInfos* infos)
{
    if (FList)
        FList->erase(std::remove(FList->begin(), FList->end(), infos), FList->end());
}

bool TExWndProcHook::RegisterHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc)
{
    if (!control || control->ComponentState().Contains(csDestroying) || !ValidProc(proc))
        return false;
    if (!FList)
        FList = std::make_unique<std::vector<TExHookInfos*>>();
    TExHookInfos* infos = Find(control);
    if (!infos) {
        infos = new TExHookInfos(control, this);
        FList->push_back(infos);
        control->FreeNotification(this);
    }
    infos->Add(order, proc);
    return true;
}

bool TExWndProcHook::UnregisterHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc)
{
    if (!control || !ValidProc(proc) || !FList)
        return false;
    TExHookInfos* infos = Find(control);
    if (!infos)
        return false;
    infos->Remove(order, proc);
    return true;
}

void TExWndProcHook::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    // invariant: only the TComponent part of a dying control is left; compare addresses only.
    TExHookInfos* infos = nullptr;
    if (FList)
        for (TExHookInfos* i : *FList)
            if (static_cast<TComponent*>(i->Control()) == component)
                infos = i;
    if (!infos || infos->Destroyed())
        return;
    Forget(infos);
    infos->MarkDestroyed();
    // A dispatch of the dying control may still be running below on the stack.
    Releaser().Release(std::unique_ptr<TExHookInfos>(infos));
}

// ---- TExReleaser

TExReleaser::TExReleaser() = default;

TExReleaser::~TExReleaser()
{
    DestroyHiddenMessageWindow(FWindow);
    FWaiting.clear();
}

bool TExReleaser::Waiting(const TExHookInfos* object) const
{
    return std::any_of(FWaiting.begin(), FWaiting.end(), [&](const auto& w) { return w.get() == object; });
}

void TExReleaser::Release(std::unique_ptr<TExHookInfos> object)
{
    if (!object || Waiting(object.get())) {
        (void)object.release(); // already owned by the waiting list
        return;
    }
    if (!FWindow)
        FWindow = CreateHiddenMessageWindow({}, [this](TMessage& m) { WndProc(m); });
    const auto address = reinterpret_cast<WPARAM>(object.get());
    FWaiting.push_back(std::move(object));
    FWindow->PostMessage(CM_RELEASE_OBJECT, address, 0);
}

void TExReleaser::WndProc(TMessage& message)
{
    if (message.Msg != CM_RELEASE_OBJECT)
        return;
    const auto* object = reinterpret_cast<const TExHookInfos*>(message.WParam);
    const auto it = std::find_if(FWaiting.begin(), FWaiting.end(), [&](const auto& w) { return w.get() == object; });
    if (it == FWaiting.end())
        return;
    // why: the object leaves the list before it is freed, so its destructor sees a consistent list.
    std::unique_ptr<TExHookInfos> freed = std::move(*it);
    FWaiting.erase(it);
}

TExWndProcHook& WndProcHook()
{
    static TExWndProcHook registry;
    return registry;
}

TExReleaser& Releaser()
{
    (void)WndProcHook(); // invariant: the releaser is made after, so freed before, the registry
    static TExReleaser releaser;
    return releaser;
}

bool RegisterWndProcHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc)
{
    return WndProcHook().RegisterHook(control, order, proc);
}

bool UnregisterWndProcHook(TWinControlCore* control, TExHookOrder order, const TExHookProc& proc)
{
    return WndProcHook().UnregisterHook(control, order, proc);
}
