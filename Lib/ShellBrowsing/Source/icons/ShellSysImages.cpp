#include "ShellBrowsing/Source/icons/ShellSysImages.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"

namespace {

struct TSharedLists {
    std::unique_ptr<TShellSysImages> Small;
    std::unique_ptr<TShellSysImages> Large;
    std::unique_ptr<TShellSysImages> ExtraLarge;
};

TSharedLists& Shared()
{
    // why: the table is made first, so it outlives the lists that follow it.
    TSystemIconTable::Instance();
    static TSharedLists lists;
    return lists;
}

} // namespace

TShellSysImages::TShellSysImages(TComponent* AOwner, TSysImageSize size)
    : TCustomImageList(AOwner, PixelSize(size), PixelSize(size)), FImageSize(size)
{
    TSystemIconTable::Instance().AddListener(this);
    Sync();
}

TShellSysImages::~TShellSysImages()
{
    TSystemIconTable::Instance().RemoveListener(this);
}

int TShellSysImages::PixelSize(TSysImageSize size)
{
    switch (size) {
    case TSysImageSize::Small: return 16;
    case TSysImageSize::Large: return 32;
    case TSysImageSize::ExtraLarge: return 48;
    }
    return 16;
}

void TShellSysImages::SetImageSize(TSysImageSize size)
{
    FImageSize = size;
    SetSize(PixelSize(size), PixelSize(size));
    Flush();
}

void TShellSysImages::Flush()
{
    Clear();
    Sync();
}

void TShellSysImages::Sync()
{
    const TSystemIconTable& table = TSystemIconTable::Instance();
    const int count = table.Count();
    for (int index = Count(); index < count; ++index) {
        const QImage image = table.Render(index, Width());
        if (image.isNull())
            return;
        Add(image);
    }
}

TShellSysImages* SmallSysImages()
{
    TSharedLists& s = Shared();
    if (!s.Small) {
        StopShellBrowsingAtExit();
        s.Small = std::make_unique<TShellSysImages>(nullptr, TSysImageSize::Small);
    }
    return s.Small.get();
}

TShellSysImages* LargeSysImages()
{
    TSharedLists& s = Shared();
    if (!s.Large) {
        StopShellBrowsingAtExit();
        s.Large = std::make_unique<TShellSysImages>(nullptr, TSysImageSize::Small);
        s.Large->SetImageSize(TSysImageSize::Large);
    }
    return s.Large.get();
}

std::unique_ptr<TShellSysImages>& ExtraLargeSysImages()
{
    return Shared().ExtraLarge;
}

void FlushImageLists()
{
    TSharedLists& s = Shared();
    for (const auto* list : {&s.Small, &s.Large, &s.ExtraLarge})
        if (*list)
            (*list)->Flush();
}

void FreeSysImageLists()
{
    TSharedLists& s = Shared();
    s.Small.reset();
    s.Large.reset();
    s.ExtraLarge.reset();
}
