// The platform tree-view queries answered by TBaseLazyTree.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTTreeViewQueries.h"

#include <cstring>

bool TBaseLazyTree::AnswerTreeViewQuery(TMessage& message)
{
    switch (message.Msg) {
    case TVM_GETITEMA:
        message.Result = MsgItemQuery(*reinterpret_cast<TTVItem*>(message.LParam)) ? 1 : 0;
        return true;
    case TVM_GETITEMRECT: {
        auto* block = reinterpret_cast<TTVItemRect*>(message.LParam);
        const bool shown = block->Item && GetNodeShown(block->Item);
        if (shown)
            block->Rect = NodeDisplayRect(block->Item, NoColumn, message.WParam != 0);
        message.Result = shown ? 1 : 0;
        return true;
    }
    case TVM_GETNEXTITEM: {
        auto* node = reinterpret_cast<PLazyNode>(message.LParam);
        PLazyNode answer = nullptr;
        switch (message.WParam) {
        case TVGN_ROOT:
            answer = FirstNode();
            break;
        case TVGN_FIRSTVISIBLE:
            answer = FirstVisibleNode();
            break;
        case TVGN_LASTVISIBLE:
            answer = LastVisibleNode();
            break;
        case TVGN_DROPHILITE:
            answer = FDropTargetNode;
            break;
        case TVGN_CARET:
            answer = FFocusNode;
            break;
        default:
            if (!node)
                break;
            switch (message.WParam) {
            case TVGN_NEXT:
                answer = NextSiblingOf(node);
                break;
            case TVGN_PREVIOUS:
                answer = PreviousSiblingOf(node);
                break;
            case TVGN_PARENT:
                answer = node->ParentLink != FRoot ? node->ParentLink : nullptr;
                break;
            case TVGN_CHILD:
                answer = FirstChildOf(node);
                break;
            case TVGN_NEXTVISIBLE:
                answer = NextVisibleAfter(node);
                break;
            case TVGN_PREVIOUSVISIBLE:
                answer = PreviousVisibleBefore(node);
                break;
            default:
                break;
            }
        }
        message.Result = reinterpret_cast<LRESULT>(answer);
        return true;
    }
    default:
        return false;
    }
}

bool TBaseLazyTree::MsgItemQuery(TTVItem& item)
{
    if (!(item.Mask & TVIF_HANDLE) || !item.Item)
        return false;
    PLazyNode node = item.Item;
    if (item.Mask & TVIF_CHILDREN)
        item.Children = static_cast<int>(node->NumChildren);
    int index = -1;
    bool ghosted = false;
    if (item.Mask & TVIF_IMAGE) {
        index = -1;
        FireGetImageIndex(node, TLTImageKind::ikNormal, NoColumn, ghosted, index);
        item.Image = index;
    }
    if (item.Mask & TVIF_SELECTEDIMAGE) {
        index = -1;
        FireGetImageIndex(node, TLTImageKind::ikSelected, NoColumn, ghosted, index);
        item.SelectedImage = index;
    }
    if (item.Mask & TVIF_STATE) {
        item.StateMask = 0xFF2F;
        unsigned state = 0;
        if (node == FFocusNode)
            state |= TVIS_FOCUSED;
        if (node->Has(nsPicked))
            state |= TVIS_SELECTED;
        if (node->Has(nsCutCopyMarked))
            state |= TVIS_CUT;
        if (node == FDropTargetNode)
            state |= TVIS_DROPHILITED;
        if (node->Has(nsOpen))
            state |= TVIS_EXPANDED;
        int stateImage = -1;
        FireGetImageIndex(node, TLTImageKind::ikState, NoColumn, ghosted, stateImage);
        int overlay = -1;
        FireGetImageIndex(node, TLTImageKind::ikOverlay, NoColumn, ghosted, overlay);
        state |= (static_cast<unsigned>(stateImage + 1) << 12) & TVIS_STATEIMAGEMASK;
        state |= (static_cast<unsigned>(overlay + 1) << 8) & TVIS_OVERLAYMASK;
        item.State = state;
    }
    if ((item.Mask & TVIF_TEXT) && item.Text && item.TextMax > 0) {
        TFont font;
        TRect r;
        QString text;
        CellTextInfo(node, NoColumn, font, r, text);
        const QByteArray bytes = text.toUtf8();
        qsizetype length = std::min<qsizetype>(bytes.size(), item.TextMax - 1);
        // Never cut a character in two.
        while (length > 0 && length < bytes.size() && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
            --length;
        std::memcpy(item.Text, bytes.constData(), static_cast<size_t>(length));
        item.Text[length] = '\0';
    }
    return true;
}
