#pragma once
// Callback lists with exception routing: TSrcMethodChain and its notify-event form
// TSrcNotifyEventChain, through which highlighters report attribute changes to their editors.

#include "SrcEdit/Source/commands/SrcEditMethod.h"

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <vector>

ZENTU_DECLARE_EXCEPTION(ESrcMethodChain, Exception);

using TSrcNotifyMethod = TSrcMethod<void(TObject* Sender)>;

// Decides whether the walk of a chain goes on after an entry raised E.
using TSrcExceptionEvent = std::function<void(TObject* Sender, Exception& E, bool& DoContinue)>;

template <class Sig>
class TSrcMethodChain : public TObject {
public:
    using TMethod = TSrcMethod<Sig>;

    void AddHandler(const TMethod& event)
    {
        if (!event.Assigned())
            throw ESrcMethodChain(Format("%s.Entry : the parameter `AEvent' must be specified.", {ClassName()}));
        FEntries.push_back(event);
    }

    // Removes every registration of the handler.
    void RemoveHandler(const TMethod& event)
    {
        if (!event.Assigned())
            throw ESrcMethodChain(Format("%s.Remove: the parameter `AEvent' must be specified.", {ClassName()}));
        for (size_t i = FEntries.size(); i-- > 0;)
            if (FEntries[i].SameAs(event))
                FEntries.erase(FEntries.begin() + static_cast<std::ptrdiff_t>(i));
    }

    // Calls the entries in list order. invariant: the count is read before each entry, so an
    // entry added during the walk is called as well.
    void InvokeAll()
    {
        for (size_t i = 0; i < FEntries.size(); ++i) {
            const TMethod entry = FEntries[i]; // why: an entry may change the list while it runs
            try {
                DoFire(entry);
            } catch (Exception& e) {
                if (!DoHandleException(e))
                    break;
            }
        }
    }

    int Count() const { return static_cast<int>(FEntries.size()); }

    TSrcExceptionEvent ExceptionHandler;

protected:
    virtual void DoFire(const TMethod& entry) = 0;

    // Called inside the handler of the exception that an entry raised; true continues the walk.
    virtual bool DoHandleException(Exception& E)
    {
        if (!ExceptionHandler)
            throw;
        bool doContinue = true;
        try {
            ExceptionHandler(this, E, doContinue);
        } catch (...) {
            throw ESrcMethodChain(Format(
                "%s.DoHandleException : MUST NOT occur any kind of exception in ExceptionHandler", {ClassName()}));
        }
        return doContinue;
    }

private:
    std::vector<TMethod> FEntries;
};

// A chain of notify events, each called with the chain's Sender.
class TSrcNotifyEventChain : public TSrcMethodChain<void(TObject* Sender)> {
public:
    explicit TSrcNotifyEventChain(TObject* sender) : FSender(sender) {}

    TObject* Sender() const { return FSender; }
    void SetSender(TObject* sender) { FSender = sender; }

protected:
    void DoFire(const TMethod& entry) override { entry(FSender); }

private:
    TObject* FSender;
};
