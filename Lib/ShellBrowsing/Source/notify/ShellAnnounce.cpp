#include "ShellBrowsing/Source/notify/ShellAnnounce.h"

void AnnounceShellChange(TShellKitEventKind, const std::string&, const std::string&)
{
}
