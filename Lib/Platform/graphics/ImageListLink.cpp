#include "Platform/graphics/ImageListLink.h"

TImageListLink::~TImageListLink()
{
    Set(nullptr, {});
}

bool TImageListLink::Set(TCustomImageList* images, TNotifyEvent onChange)
{
    if (images == FImages)
        return false;
    if (FImages) {
        FImages->UnRegisterChanges(FLink);
        FImages->RemoveFreeNotification(&FOwner);
    }
    FImages = images;
    if (images) {
        FLink = images->RegisterChanges(std::move(onChange));
        images->FreeNotification(&FOwner);
    }
    return true;
}

bool TImageListLink::Forget(const TComponent* component)
{
    if (!FImages || component != FImages)
        return false;
    FImages = nullptr;
    return true;
}
