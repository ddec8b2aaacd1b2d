#pragma once
// The menu a drop made with the right button shows: "Copy Here", "Move Here" and "Link Here"
// for the effects the drag allows, the one the keys would have chosen as the default entry, and
// "Cancel".

#include <QPoint>
#include <cstdint>

class QWidget;

namespace ShellDropMenu {

// The chosen effect (DROPEFFECT_COPY, _MOVE or _LINK); DROPEFFECT_NONE for Cancel, for a menu
// closed without a choice, and when `allowed` holds none of the three.
std::uint32_t Choose(std::uint32_t allowed, std::uint32_t proposed, const QPoint& screenPos, QWidget* owner = nullptr);

} // namespace ShellDropMenu
