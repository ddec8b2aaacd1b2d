#pragma once
// The string tree's default in-place editor: TStringEditLink puts a text edit (TLTEdit) over the
// cell's text, grows it with the typed text, ends on Enter (Ctrl+Enter in a multi-line cell),
// Escape or focus loss, and hands a changed text to the tree, which passes it on as OnNewText.
// The link ends exactly once; every later call does nothing. The edit keeps its link alive while
// attached; when the tree drops its reference the link goes and the edit frees itself.

#include "TreeView/Source/core/LTTypes.h"
#include "TreeView/Source/editing/LTEditLink.h"

#include "Platform/controls/StdCtrls.h"

#include <QPointer>

class TCustomLazyStringTree;
class TStringEditLink;

class TLTEdit : public TCustomMemo {
public:
    explicit TLTEdit(const std::shared_ptr<TStringEditLink>& link);
    ~TLTEdit() override;

    // Detaches the edit from its link (drops the reference that kept the link alive).
    void Detach();
    bool Attached() const { return FOwningLink != nullptr; }
    // Frees the edit once the events in progress are done.
    void Release();
    // Fits the edit to its text (single-line cells).
    void AutoAdjustSize();
    QString EditText() const { return toPlainText(); }
    void SetEditText(const QString& text);
    bool Modified() const;
    // Space between the edit's frame and its text.
    void SetTextInset(int side, int top) { setViewportMargins(side, top, side, 0); }

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    LRESULT NativeDialogCode() const override;
    void focusOutEvent(QFocusEvent* event) override;
    void WndProc(TMessage& message) override;

private:
    std::shared_ptr<TStringEditLink> FLinkReference;
    std::weak_ptr<TStringEditLink> FLink;
    TStringEditLink* FOwningLink = nullptr;
};

class TStringEditLink : public ILTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    TStringEditLink();
    ~TStringEditLink() override;

    bool ShowEditor() override;
    bool AbandonEdit() override;
    bool ConcludeEdit() override;
    bool AttachToCell(TBaseLazyTree* tree, PLazyNode node, TColumnIndex column) override;
    TRect EditorBounds() override;
    void RelayMessage(TMessage& message) override;
    void PlaceEditor(const TRect& r) override;

    TLTEdit* EditControl() const { return FEdit; }
    TCustomLazyStringTree* EditedTree() const { return FTree; }
    PLazyNode EditedNode() const { return FNode; }
    TColumnIndex EditedColumn() const { return FColumn; }
    TAlignment CellAlignment() const { return FAlignment; }
    bool Finished() const { return FFinished; }

private:
    friend class TLTEdit;
    // The edit is made when the link is first attached (it needs the link's shared owner).
    void EnsureEdit();

    QPointer<TLTEdit> FEdit;
    TCustomLazyStringTree* FTree = nullptr;
    PLazyNode FNode = nullptr;
    TColumnIndex FColumn = NoColumn;
    TAlignment FAlignment = taLeftJustify;
    TRect FCellTextRect;
    bool FFinished = false;
};
