#include "imageformats/common/FileFormatList.h"

#include "imageformats/common/GraphicStrings.h"
#include "imageformats/common/ImgLibGraphic.h"
#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "Platform/text/Format.h"

#include <QString>

using namespace GraphicStrings;

namespace {

std::unique_ptr<TFileFormatList>& Registry()
{
    // why: the platform's list must outlive the registry, which unregisters from it at exit.
    TPicture::FileFormats();
    static std::unique_ptr<TFileFormatList> list;
    return list;
}

bool SameText(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

} // namespace

TFileFormatList::~TFileFormatList()
{
    Clear();
}

int TFileFormatList::ExtensionIndex(const std::string& extension) const
{
    if (extension.empty())
        return -1;
    for (std::size_t i = 0; i < FExtensionList.size(); ++i)
        if (SameText(FExtensionList[i]->Extension, extension))
            return static_cast<int>(i);
    return -1;
}

int TFileFormatList::ClassIndex(TGraphicClass cls) const
{
    for (std::size_t i = 0; i < FClassList.size(); ++i)
        if (FClassList[i]->GraphicClass == cls)
            return static_cast<int>(i);
    return -1;
}

void TFileFormatList::AddExtension(const std::string& extension, const std::string& classDescription,
                                   const std::string& extensionDescription, std::uint8_t formatTypes, TGraphicClass cls)
{
    if (extension.empty())
        return;
    if (ExtensionIndex(extension) >= 0)
        throw EInvalidGraphic(Format(gesRegistration, {extension}));
    int index = ClassIndex(cls);
    if (index < 0) {
        FClassList.push_back(std::make_unique<TClassEntry>(TClassEntry{cls, {}, 0}));
        index = static_cast<int>(FClassList.size()) - 1;
    }
    TClassEntry* classEntry = FClassList[static_cast<std::size_t>(index)].get();
    if (!classDescription.empty())
        classEntry->Description = classDescription;
    ++classEntry->Count;
    FExtensionList.push_back(std::make_unique<TExtensionEntry>(
        TExtensionEntry{extension, extensionDescription, formatTypes, classEntry}));
    TPicture::RegisterFileFormat(extension, extensionDescription.empty() ? classEntry->Description : extensionDescription,
                                 cls);
}

void TFileFormatList::DeleteClassEntry(TClassEntry* entry)
{
    const TGraphicClass cls = entry->GraphicClass;
    std::erase_if(FClassList, [entry](const auto& e) { return e.get() == entry; });
    TPicture::UnregisterGraphicClass(cls);
}

void TFileFormatList::RemoveExtension(const std::string& extension, TGraphicClass cls)
{
    if (!extension.empty()) {
        const int index = ExtensionIndex(extension);
        if (index < 0)
            return;
        auto it = FExtensionList.begin() + index;
        TClassEntry* classEntry = (*it)->ClassEntry;
        FExtensionList.erase(it);
        if (--classEntry->Count == 0)
            DeleteClassEntry(classEntry);
        return;
    }
    const int classIndex = ClassIndex(cls);
    if (classIndex < 0)
        return;
    TClassEntry* classEntry = FClassList[static_cast<std::size_t>(classIndex)].get();
    for (std::size_t i = FExtensionList.size(); i-- > 0 && classEntry->Count > 0;) {
        if (FExtensionList[i]->ClassEntry == classEntry) {
            --classEntry->Count;
            FExtensionList.erase(FExtensionList.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
    DeleteClassEntry(classEntry);
}

TGraphicClass TFileFormatList::GraphicClassOfStream(TStream& stream) const
{
    for (const auto& entry : FClassList) {
        if (!InheritsFrom(entry->GraphicClass, TImgLibGraphic::ClassInfo()))
            continue;
        const auto* reader = static_cast<const TImgLibGraphicClassInfo*>(entry->GraphicClass);
        if (reader->IsStreamOfThisFormat(stream))
            return entry->GraphicClass;
    }
    return nullptr;
}

TGraphicClass TFileFormatList::GraphicClassOfFile(const std::string& fileName) const
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return GraphicClassOfStream(stream);
}

void TFileFormatList::Clear()
{
    for (const auto& entry : FClassList)
        TPicture::UnregisterGraphicClass(entry->GraphicClass);
    FClassList.clear();
    FExtensionList.clear();
}

TFileFormatList* FileFormatList()
{
    return Registry().get();
}

void InitImgLibFormats()
{
    if (Registry())
        return;
    auto list = std::make_unique<TFileFormatList>();
    const TGraphicClass bitmap = BitmapClassInfo(), tiff = TTIFFGraphic::ClassInfo();
    list->AddExtension("bmp", gesBitmaps, "", 8, bitmap);
    list->AddExtension("ico", gesIcons, "", 8, TIcon::ClassInfo());
    list->AddExtension("wmf", gesMetaFiles, "", 16, TMetafile::ClassInfo());
    list->AddExtension("emf", gesMetaFiles, gesEnhancedMetaFiles, 16, TMetafile::ClassInfo());
    list->AddExtension("jfif", gesJPGImages, gesJFIFImages, 8, TJPEGImage::ClassInfo());
    list->AddExtension("jpg", "", gesJPGImages, 8, TJPEGImage::ClassInfo());
    list->AddExtension("jpe", "", gesJPEImages, 8, TJPEGImage::ClassInfo());
    list->AddExtension("jpeg", "", gesJPEGImages, 8, TJPEGImage::ClassInfo());
    list->AddExtension("rle", gesBitmaps, gesRLEBitmaps, 8, bitmap);
    list->AddExtension("dib", "", gesDIBs, 8, bitmap);
    list->AddExtension("tiff", gesTIFF, gesMacTIFF, 12, tiff);
    list->AddExtension("tif", "", gesPCTIF, 12, tiff);
    list->AddExtension("fax", "", gesGFIFax, 12, tiff);
    list->AddExtension("gif", gesCompuserve, "", 13, TGIFGraphic::ClassInfo());
    list->AddExtension("png", gesPortableNetworkGraphic, "", 8, TPNGGraphic::ClassInfo());
    Registry() = std::move(list);
}

void DoneImgLibFormats()
{
    std::unique_ptr<TFileFormatList>& list = Registry();
    if (!list)
        return;
    list->RemoveExtension("", TTIFFGraphic::ClassInfo());
    list->RemoveExtension("", TGIFGraphic::ClassInfo());
    list->RemoveExtension("rle", BitmapClassInfo());
    list->RemoveExtension("dib", BitmapClassInfo());
    list->RemoveExtension("", TPNGGraphic::ClassInfo());
    list.reset();
}
