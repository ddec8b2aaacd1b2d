#include "Platform/graphics/Picture.h"

#include "Platform/text/Format.h"

#include <QString>

#include <algorithm>

bool InheritsFrom(TGraphicClass cls, TGraphicClass base)
{
    for (; cls; cls = cls->Parent)
        if (cls == base)
            return true;
    return false;
}

template <class T>
static std::unique_ptr<TGraphic> MakeGraphic()
{
    return std::make_unique<T>();
}

TGraphicClass BitmapClassInfo()
{
    static const TGraphicClassInfo info{"TBitmap", nullptr, &MakeGraphic<TBitmap>};
    return &info;
}

TGraphicClass TIcon::ClassInfo()
{
    static const TGraphicClassInfo info{"TIcon", nullptr, &MakeGraphic<TIcon>};
    return &info;
}

TGraphicClass TJPEGImage::ClassInfo()
{
    static const TGraphicClassInfo info{"TJPEGImage", nullptr, &MakeGraphic<TJPEGImage>};
    return &info;
}

TGraphicClass TMetafile::ClassInfo()
{
    static const TGraphicClassInfo info{"TMetafile", nullptr, &MakeGraphic<TMetafile>};
    return &info;
}

void TMetafile::LoadFromStream(TStream&)
{
    throw EInvalidGraphic("Metafile is not valid");
}

// invariant: only the program's start-up and shut-down steps change the list.
static std::vector<TFileFormat>& FormatList()
{
    static std::vector<TFileFormat> formats;
    return formats;
}

const std::vector<TFileFormat>& TPicture::FileFormats()
{
    return FormatList();
}

static std::string LowerExtension(const std::string& extension)
{
    return QString::fromStdString(extension).toLower().toStdString();
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, TGraphicClass cls)
{
    FormatList().insert(FormatList().begin(), TFileFormat{LowerExtension(extension), description, cls});
}

void TPicture::UnregisterGraphicClass(TGraphicClass cls)
{
    std::erase_if(FormatList(), [cls](const TFileFormat& format) { return format.GraphicClass == cls; });
}

static std::string ExtensionOf(const std::string& fileName)
{
    const std::size_t slash = fileName.rfind('/');
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return fileName.substr(dot + 1);
}

TGraphicClass TPicture::ClassOfExtension(const std::string& fileName)
{
    const std::string extension = LowerExtension(ExtensionOf(fileName));
    for (const TFileFormat& format : FormatList())
        if (format.Extension == extension)
            return format.GraphicClass;
    return nullptr;
}

std::string TPicture::GraphicFilter()
{
    std::string all, each;
    for (auto it = FormatList().rbegin(); it != FormatList().rend(); ++it) {
        const std::string mask = "*." + it->Extension;
        all += (all.empty() ? "" : ";") + mask;
        each += "|" + it->Description + " (" + mask + ")|" + mask;
    }
    return "All (" + all + ")|" + all + each;
}

void TPicture::SetGraphic(const TGraphic* graphic)
{
    FGraphic = graphic ? graphic->Clone() : nullptr;
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    const TGraphicClass cls = ClassOfExtension(fileName);
    if (!cls)
        throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", {ExtensionOf(fileName)}));
    std::unique_ptr<TGraphic> graphic = cls->Create();
    graphic->LoadFromFile(fileName);
    FGraphic = std::move(graphic);
}
