// The dock-site stream: the byte image of a zone tree. Every length and count read from it is
// checked against what remains; reading stops at the first record that cannot be read whole.

#include "ExLib/run/docking/tree/ExDockTree.h"
#include "ExLib/run/docking/tree/ExDockStreamValues.h"

#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Exceptions.h"

#include <cstring>

namespace {

constexpr std::int32_t EndMarker = -1;

// True when four bytes could be read.
bool TryReadInt32(TStream& stream, std::int32_t& value)
{
    return stream.Read(&value, sizeof value) == sizeof value;
}

} // namespace

void TExDockTree::SaveToStream(TStream& stream)
{
    WriteValue<std::int32_t>(stream, FStreamVersion);
    WriteValue<std::int32_t>(stream, FRootExtent);
    if (FRootZone)
        WriteZoneTree(stream, FRootZone, 0);
    WriteValue<std::int32_t>(stream, EndMarker);
}

void TExDockTree::WriteZoneTree(TStream& stream, TExDockZone* zone, int level)
{
    for (TExDockZone* z = zone; z; z = z->NextZone) {
        WriteValue<std::int32_t>(stream, level);
        WriteZone(stream, z);
        if (z->FirstChild)
            WriteZoneTree(stream, z->FirstChild, level + 1);
    }
}

void TExDockTree::WriteZone(TStream& stream, TExDockZone* zone)
{
    WriteValue<std::uint8_t>(stream, static_cast<std::uint8_t>(zone->Orientation));
    WriteValue<std::int32_t>(stream, zone->Limit);
    WriteValue<std::uint8_t>(stream, zone->Shown() ? 1 : 0);
    WriteValue<std::uint8_t>(stream, zone->Control && ControlVisible(*zone->Control) ? 1 : 0);
    WriteValue<std::int32_t>(stream, zone->SavedSize);
    zone->DockedHere = !zone->Control || HostDockSite(*zone->Control) == &FSite;
    WriteValue<std::uint8_t>(stream, zone->DockedHere ? 1 : 0);
    std::string name;
    if (zone->Control) {
        name = zone->Control->Name();
        if (name.empty())
            throw Exception(ExDockRes::DockedControlNeedsName);
    }
    WriteValue<std::int32_t>(stream, static_cast<std::int32_t>(name.size()));
    if (!name.empty())
        stream.WriteString(name);
}

void TExDockTree::LoadFromStream(TStream& stream)
{
    DeleteZoneTree(FRootZone);
    std::int32_t version = 0;
    if (!TryReadInt32(stream, version) || version != FStreamVersion) {
        // A stream of another kind: the site's clients get a fresh layout rather than none.
        FRootZone = NewZone();
        BeginUpdate();
        try {
            for (int i = 0; i < FSite.DockClientCount(); ++i)
                InsertControl(FSite.DockClients(i), TAlign::alLeft, nullptr);
            FRootZone->ShareSpace(nullptr);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    BeginUpdate();
    try {
        std::int32_t extent = 0;
        if (TryReadInt32(stream, extent)) {
            FRootExtent = extent;
            ReadZoneTree(stream);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    if (!FRootZone)
        FRootZone = NewZone();
    EndUpdate();
}

void TExDockTree::ReadZoneTree(TStream& stream)
{
    int prevLevel = -1;
    TExDockZone* prev = nullptr;
    for (;;) {
        std::int32_t level = 0;
        if (!TryReadInt32(stream, level) || level == EndMarker || level < 0)
            return;
        TExDockZone* zone = NewZone();
        TExDockZone* read = nullptr;
        try {
            read = ReadZone(stream, zone);
        } catch (const EReadError&) {
            FreeZone(zone);
            return;
        }
        if (!read)
            continue; // the record named a control that no longer exists
        bool linked = false;
        if (level == 0) {
            if (!FRootZone) {
                FRootZone = zone;
                linked = true;
            }
        } else if (prev) {
            if (level > prevLevel) {
                level = prevLevel + 1;
                zone->Parent = prev;
                prev->FirstChild = zone;
                linked = true;
            } else {
                TExDockZone* anchor = prev;
                for (int climb = prevLevel - level; anchor && climb > 0; --climb)
                    anchor = anchor->Parent;
                if (anchor && anchor->Parent && !anchor->NextZone) {
                    zone->Parent = anchor->Parent;
                    zone->PrevZone = anchor;
                    anchor->NextZone = zone;
                    linked = true;
                }
            }
        }
        if (!linked) {
            FreeZone(zone);
            continue;
        }
        prev = zone;
        prevLevel = level;
    }
}

TExDockZone* TExDockTree::ReadZone(TStream& stream, TExDockZone* zone)
{
    const auto orientation = ReadValue<std::uint8_t>(stream);
    if (orientation > static_cast<std::uint8_t>(TDockOrientation::doVertical))
        throw EReadError("Stream read error");
    zone->Orientation = static_cast<TDockOrientation>(orientation);
    zone->Limit = ReadValue<std::int32_t>(stream);
    const bool shown = ReadValue<std::uint8_t>(stream) != 0;
    zone->ControlShown = ReadValue<std::uint8_t>(stream) != 0;
    zone->SavedSize = ReadValue<std::int32_t>(stream);
    zone->DockedHere = ReadValue<std::uint8_t>(stream) != 0;
    const auto length = ReadValue<std::int32_t>(stream);
    if (length < 0 || length > stream.Size() - stream.Position())
        throw EReadError("Stream read error");
    std::string name(static_cast<size_t>(length), '\0');
    if (length > 0)
        stream.ReadBuffer(name.data(), length);
    zone->SetShown(shown);
    if (name.empty())
        return zone;
    TWinControlCore* control = FSite.ReloadDockedControl(name);
    if (!control) {
        FreeZone(zone);
        return nullptr;
    }
    FReloadZone = zone;
    zone->Control = control;
    try {
        zone->BeforeReload();
        if (zone->DockedHere)
            ManualDock(*control, &FSite, nullptr, TAlign::alNone);
    } catch (...) {
        zone->ApplyControlVisible();
        FReloadZone = nullptr;
        throw;
    }
    zone->ApplyControlVisible();
    FReloadZone = nullptr;
    return zone;
}
