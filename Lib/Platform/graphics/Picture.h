#pragma once
// Picture classes as values, and TPicture's list of file formats: which class loads a file by
// its extension, and the filter of picture dialogs. The platform's own classes are the Windows
// bitmap, icon, metafile and JPEG pictures.

#include "Platform/graphics/Bitmap.h"

#include <memory>
#include <string>
#include <vector>

// A class reference: a class's name, its base class and how to make an instance.
struct TGraphicClassInfo {
    const char* ClassName;
    const TGraphicClassInfo* Parent;
    std::unique_ptr<TGraphic> (*Create)();
};
using TGraphicClass = const TGraphicClassInfo*;

// True when `cls` is `base` or derives from it.
bool InheritsFrom(TGraphicClass cls, TGraphicClass base);

class TIcon : public TQtReadBitmap {
public:
    TIcon() : TQtReadBitmap("ico") {}
    static TGraphicClass ClassInfo();
};

class TJPEGImage : public TQtReadBitmap {
public:
    TJPEGImage() : TQtReadBitmap("jpeg") {}
    static TGraphicClass ClassInfo();
};

// Windows metafiles have no reader here: loading one raises EInvalidGraphic.
class TMetafile : public TBitmap {
public:
    void LoadFromStream(TStream& stream) override;
    static TGraphicClass ClassInfo();
};

TGraphicClass BitmapClassInfo();

struct TFileFormat {
    std::string Extension;
    std::string Description;
    TGraphicClass GraphicClass;
};

class TPicture {
public:
    // The formats registered so far, in order of registration.
    static const std::vector<TFileFormat>& FileFormats();
    // Later registrations of an extension take precedence, as the platform's list does.
    static void RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicClass cls);
    // Removes every extension of the class.
    static void UnregisterGraphicClass(TGraphicClass cls);
    // The class registered for the file's extension (compared without regard to case), or null.
    static TGraphicClass ClassOfExtension(const std::string& fileName);
    // "All (*.a;*.b)|*.a;*.b|Description (*.a)|*.a|..." for picture dialogs.
    static std::string GraphicFilter();

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Takes a copy of the graphic (null empties the picture).
    void SetGraphic(const TGraphic* graphic);
    // Loads the file through the class of its extension; an unknown extension raises
    // EInvalidGraphic "Unknown picture file extension (.%s)", and a failed load leaves the
    // picture as it was.
    void LoadFromFile(const std::string& fileName);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

private:
    std::unique_ptr<TGraphic> FGraphic;
};
