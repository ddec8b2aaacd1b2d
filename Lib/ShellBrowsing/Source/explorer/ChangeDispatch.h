#pragma once
// TVETChangeDispatch: the process-wide dispatcher of "this control shows this item now" between
// explorer controls. A client registers with a server; when the server publishes a change, every
// client of it follows. A change never returns to the control that started it, and a control
// that the originator informs directly is not informed again through a chain.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QObject;
struct TVETChangeLink;

using TChangeLinkEvent = std::function<void(QObject* server, PCItemIDList list)>;
using TChangeLinkFreeEvent = std::function<void(TVETChangeLink& link)>;

struct TVETChangeLink {
    TChangeLinkEvent OnChangeLink;
    QObject* Server = nullptr;
    QObject* Client = nullptr;
    TChangeLinkFreeEvent OnChangeLinkFree;
};

// How UnRegisterChangeLink matches links.
enum class TLinkMatch { Server, Client, Both, Either };

class TVETChangeDispatch {
public:
    void RegisterChangeLink(QObject* server, QObject* client, TChangeLinkEvent onChange,
                            TChangeLinkFreeEvent onFree);
    bool UnRegisterChangeLink(QObject* server, QObject* client, TLinkMatch mode);
    void DispatchChange(QObject* server, PCItemIDList list);
    int LinkCount();

private:
    std::recursive_mutex FLock;
    std::vector<std::shared_ptr<TVETChangeLink>> FLinks;
    QObject* FOriginator = nullptr;
    std::vector<std::shared_ptr<TVETChangeLink>> FSecondaryLinks;
};

TVETChangeDispatch& VETChangeDispatch();
