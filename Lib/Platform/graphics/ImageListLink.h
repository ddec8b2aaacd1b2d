#pragma once
// A component's reference to an image list: it hears of the list's changes and, through the
// owner's free notification, of the list going away.

#include "Platform/graphics/ImgList.h"

class TImageListLink {
public:
    explicit TImageListLink(TComponent& owner) : FOwner(owner) {}
    ~TImageListLink();
    TImageListLink(const TImageListLink&) = delete;
    TImageListLink& operator=(const TImageListLink&) = delete;

    TCustomImageList* Images() const { return FImages; }
    // Moves the link to `images` (null: none), whose changes call `onChange`; false when the
    // link already pointed there.
    bool Set(TCustomImageList* images, TNotifyEvent onChange);
    // For the owner's Notification: true when `component` is the list, which is then forgotten
    // without being asked anything (it is being destroyed).
    bool Forget(const TComponent* component);

private:
    TComponent& FOwner;
    TCustomImageList* FImages = nullptr;
    int FLink = 0;
};
