#include "ExLib/run/common/ExMessageWindow.h"

#include "Platform/core/PostedMessage.h"

THiddenMessageWindow CreateHiddenMessageWindow(const std::string& className, TWndMethod method)
{
    return std::make_unique<TMessageWindow>(std::move(method), className.empty() ? HiddenWindowClassName : className);
}

void DestroyHiddenMessageWindow(THiddenMessageWindow& window)
{
    window.reset();
}

bool DiscardPendingMessage(QObject* receiver, UINT msg)
{
    return DiscardPostedMessage(receiver, msg);
}
