#pragma once
// The registry of picture file extensions: which picture class an extension belongs to, and which
// of the system's own readers accepts a file's content. Filled once at program start
// (InitImgLibFormats), it announces every extension to TPicture so that loading by extension
// and the picture dialogs know the PNG, GIF and TIFF readers beside the platform's classes.

#include "Platform/graphics/Picture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TFileFormatList {
public:
    struct TClassEntry {
        TGraphicClass GraphicClass = nullptr;
        std::string Description;
        int Count = 0;
    };
    struct TExtensionEntry {
        std::string Extension;
        std::string Description;
        std::uint8_t FormatTypes = 0;
        TClassEntry* ClassEntry = nullptr;
    };

    ~TFileFormatList();

    // Raises EInvalidGraphic "Attempt to register %s twice." for a known extension (any case);
    // an empty extension does nothing.
    void AddExtension(const std::string& extension, const std::string& classDescription,
                      const std::string& extensionDescription, std::uint8_t formatTypes, TGraphicClass cls);
    // With an extension removes it; with an empty one removes the class and all its extensions.
    void RemoveExtension(const std::string& extension, TGraphicClass cls);
    int ExtensionIndex(const std::string& extension) const;
    int ClassIndex(TGraphicClass cls) const;
    // The reader class whose content test accepts the file (opened denying other writers), or null.
    TGraphicClass GraphicClassOfFile(const std::string& fileName) const;
    // The same from the stream's position, which is kept.
    TGraphicClass GraphicClassOfStream(TStream& stream) const;
    void Clear();

    const std::vector<std::unique_ptr<TClassEntry>>& Classes() const { return FClassList; }
    const std::vector<std::unique_ptr<TExtensionEntry>>& Extensions() const { return FExtensionList; }

private:
    void DeleteClassEntry(TClassEntry* entry);

    std::vector<std::unique_ptr<TClassEntry>> FClassList;
    std::vector<std::unique_ptr<TExtensionEntry>> FExtensionList;
};

// The program's registry; null before InitImgLibFormats and after DoneImgLibFormats.
TFileFormatList* FileFormatList();
// Registers the 15 extensions of the start-up table.
void InitImgLibFormats();
// Removes the readers' extensions and frees the registry.
void DoneImgLibFormats();

// Runs InitImgLibFormats for its lifetime and DoneImgLibFormats at its end.
class TImgLibFormatsScope {
public:
    TImgLibFormatsScope() { InitImgLibFormats(); }
    ~TImgLibFormatsScope() { DoneImgLibFormats(); }
    TImgLibFormatsScope(const TImgLibFormatsScope&) = delete;
    TImgLibFormatsScope& operator=(const TImgLibFormatsScope&) = delete;
};
