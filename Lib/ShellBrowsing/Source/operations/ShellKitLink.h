#pragma once
// TShellKitLink: what a shortcut says. On Linux a shortcut is a symbolic link: its target path
// (made absolute against the link's folder) and the target's identifier list (nil when the
// target is gone). The other fields of a shortcut (arguments, description, working folder,
// icon, hot key, show command) do not exist for links and stay empty.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include "Platform/core/Component.h"

#include <QString>

class TShellKitLink : public TComponent {
public:
    explicit TShellKitLink(TComponent* AOwner = nullptr);
    ~TShellKitLink() override;

    // True when the file is a link and was read; otherwise FileName is cleared.
    bool ReadLink(const QString& fileName);
    bool ReadLinkBytes(const std::string& fileName);
    void FreeTargetIDList();

    QString FileName;
    int IconIndex = 0;
    PItemIDList TargetIDList = nullptr;
    std::uint8_t HotKey = 0;
    unsigned HotKeyModifiers = 0;
    QString TargetPath;
    std::string TargetPathBytes;
    QString Arguments;
    QString Description;
    QString WorkingDirectory;
    QString IconLocation;
    int ShowCmd = 1; // normal
};
