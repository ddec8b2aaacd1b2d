#pragma once
// TCodeExplorerForm: the dockable "Code Explorer", the classes, functions, member variables and
// includes of the active PHP document as a tree sorted by name. A double-click moves the caret
// to the entry; Ctrl+click or "Open Include File" opens an included file. Scans run on the
// parser thread over copies of the document's lines; each new page is stored in its document
// and the tree is rebuilt from the active document's page, keeping the nodes, selection and
// expanded state of entries that did not change.
//
// The tree shares the page it shows, so the items its nodes point to live as long as the nodes.

#include "code/zuPHPParserThread.h"
#include "documents/zuCodeEditorForm.h"
#include "windows/zuToolWindowForm.h"

#include <QPointer>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

// The display text of an item: "name(parameters)" for a function, "name extends parent" for a
// class with a parent, the name for the others.
std::string NodeText(const TPHP& item);

class TCodeExplorerForm : public TToolWindowForm {
public:
    enum TParseRequestKind : std::uint8_t {
        // Activated: scan only a document that has no page yet, else just show its page.
        prkIfNoPage = 0,
        // Opened, typed into, or "Update": scan now.
        prkParse = 1,
    };

    explicit TCodeExplorerForm(TExDockBasicStyle* style);
    ~TCodeExplorerForm() override;

    void RequestParse(TCodeEditorForm* document, TParseRequestKind kind);
    void ClearTree();
    // Request intake on or off (hides the control's own enabling on purpose: Close All switches
    // the explorer off while it closes the documents).
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    bool Enabled() const { return FEnabled; }
    // A document window is closing: its queued requests are dropped, and the tree empties when it
    // shows that document.
    void DocumentClosing(TCodeEditorForm* document);

    // The active document shows the item's place: caret there and the line marked.
    void GoToItem(const TPHP* item);
    // An include item's file, relative to the active document's folder, opens as a document; a
    // file that does not exist does nothing. False when nothing was opened.
    bool OpenIncludeFile(const TPHP* item);

    // The document whose page the tree shows; null for none.
    TCodeEditorForm* ShownDocument() const { return FShown; }
    const TPHPPageRef& ShownPage() const { return FShownPage; }
    // Requests queued or in the thread's hands whose results have not arrived yet.
    int PendingRequests() const { return static_cast<int>(FPending.size()); }

private:
    void Deliver(std::vector<TPHPParserThread::TResult> results);
    // The shown document becomes the active one, and the tree shows its page when it has one.
    void UpdateTree();
    void BuildTree(const TPHPPageRef& page);
    // The tree's scroll offset into the document's page, when it has one.
    void SaveScrollOffset(TCodeEditorForm* document);
    void Queue(TCodeEditorForm* document, bool scan);

    bool FEnabled = true;
    QPointer<TCodeEditorForm> FShown;
    TPHPPageRef FShownPage;
    std::uint64_t FNextTicket = 1;
    std::unordered_map<std::uint64_t, QPointer<TCodeEditorForm>> FPending;
    // invariant: declared last, so it is stopped and joined before anything it delivers to goes.
    std::unique_ptr<TPHPParserThread> FThread;
};
