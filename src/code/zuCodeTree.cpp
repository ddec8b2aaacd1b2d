#include "code/zuCodeTree.h"

#include "windows/zuToolWindowForm.h"

#include "Platform/controls/AlignLayout.h"

TLazyStringTree* CreateCodeTree(TToolWindowForm& form, const std::string& name, int nodeDataSize,
                                TCustomImageList* images, std::function<int(PLazyNode)> image)
{
    auto* tree = new TLazyStringTree(&form, &form); // owned by the form
    tree->SetName(name);
    SetAlign(*tree, TAlign::alClient);
    tree->SetNodeDataSize(nodeDataSize);
    tree->SetImages(images);
    TCustomLazyTreeOptions& options = tree->TreeOptions();
    options.SetPaintOptions(options.PaintOptions() + toShowTreeLines + toShowButtons);
    options.SetMiscOptions(options.MiscOptions() - toEditable);
    tree->OnGetImageIndex = [image = std::move(image)](TBaseLazyTree*, PLazyNode node, TLTImageKind kind, TColumnIndex,
                                                       bool&, int& index) {
        if (kind == TLTImageKind::ikNormal || kind == TLTImageKind::ikSelected)
            if (const int found = image(node); found >= 0)
                index = found;
    };
    return tree;
}
