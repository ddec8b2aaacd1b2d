#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"

#include <algorithm>

TVETChangeDispatch& VETChangeDispatch()
{
    static TVETChangeDispatch dispatch;
    return dispatch;
}

void TVETChangeDispatch::RegisterChangeLink(QObject* server, QObject* client, TChangeLinkEvent onChange,
                                            TChangeLinkFreeEvent onFree)
{
    const std::lock_guard lock(FLock);
    auto link = std::make_shared<TVETChangeLink>();
    link->Server = server;
    link->Client = client;
    link->OnChangeLink = std::move(onChange);
    link->OnChangeLinkFree = std::move(onFree);
    FLinks.push_back(std::move(link));
}

bool TVETChangeDispatch::UnRegisterChangeLink(QObject* server, QObject* client, TLinkMatch mode)
{
    std::vector<std::shared_ptr<TVETChangeLink>> removed;
    {
        const std::lock_guard lock(FLock);
        for (auto it = FLinks.end(); it != FLinks.begin();) {
            --it;
            const TVETChangeLink& link = **it;
            bool match = false;
            switch (mode) {
            case TLinkMatch::Server: match = link.Server == server; break;
            case TLinkMatch::Client: match = link.Client == client; break;
            case TLinkMatch::Both: match = link.Server == server && link.Client == client; break;
            case TLinkMatch::Either: match = link.Server == server || link.Client == client; break;
            }
            if (!match)
                continue;
            removed.push_back(*it);
            it = FLinks.erase(it);
            if (mode != TLinkMatch::Either)
                break;
        }
        std::erase_if(FSecondaryLinks, [&](const auto& link) {
            return std::find(removed.begin(), removed.end(), link) != removed.end();
        });
    }
    for (const auto& link : removed) {
        if (link->OnChangeLinkFree)
            link->OnChangeLinkFree(*link);
        link->OnChangeLink = nullptr;
        link->OnChangeLinkFree = nullptr;
        link->Server = link->Client = nullptr;
    }
    return !removed.empty() && mode != TLinkMatch::Either;
}

int TVETChangeDispatch::LinkCount()
{
    const std::lock_guard lock(FLock);
    return static_cast<int>(FLinks.size());
}

void TVETChangeDispatch::DispatchChange(QObject* server, PCItemIDList list)
{
    std::vector<std::shared_ptr<TVETChangeLink>> targets;
    const bool outer = FOriginator == nullptr;
    if (outer) {
        FOriginator = server;
        FSecondaryLinks.clear();
        std::vector<QObject*> direct;
        for (const auto& link : FLinks)
            if (link->Server == server)
                direct.push_back(link->Client);
        for (const auto& link : FLinks)
            if (link->Server != server && std::find(direct.begin(), direct.end(), link->Client) == direct.end())
                FSecondaryLinks.push_back(link);
        targets = FLinks;
    } else {
        targets = FSecondaryLinks;
    }
    try {
        for (const auto& link : targets)
            if (link->Server == server && link->OnChangeLink && link->Client != FOriginator)
                link->OnChangeLink(server, list);
    } catch (...) {
        if (outer)
            FOriginator = nullptr;
        throw;
    }
    if (outer)
        FOriginator = nullptr;
}
