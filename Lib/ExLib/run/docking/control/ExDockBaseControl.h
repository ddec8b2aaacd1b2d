#pragma once
// A form takes part in docking by owning exactly one dock control: a dock server makes it a
// dock host with a panel on each edge, a dock client makes it a dockable tool window. The base
// holds the dock permissions and the link to a dock style, and hooks three things of its owner
// form: its OnCreate and OnClose handlers and its window procedure, each of which it passes on
// to what it replaced and puts back when it is destroyed before the form.

#include "ExLib/run/controls/ExComponent.h"

#include "Platform/controls/Forms.h"

class TExDockBasicStyle;
class QObject;

class TExDockBaseControl : public TExComponent {
public:
    // `AOwner` is the form.
    explicit TExDockBaseControl(TComponent* AOwner);
    ~TExDockBaseControl() override;

    TCustomForm* ParentForm() const { return FParentForm; }

    bool EnableDock() const { return FEnableDock; }
    bool LeftDock() const { return FLeftDock; }
    bool TopDock() const { return FTopDock; }
    bool RightDock() const { return FRightDock; }
    bool BottomDock() const { return FBottomDock; }
    bool EachOtherDock() const { return FEachOtherDock; }
    bool CustomDock() const { return FCustomDock; }
    // The permission writes take effect only when the style allows the change.
    virtual void SetBottomDock(bool value);
    virtual void SetEachOtherDock(bool value);
    virtual void SetEnableDock(bool value);
    virtual void SetLeftDock(bool value);
    virtual void SetRightDock(bool value);
    virtual void SetTopDock(bool value);
    void SetCustomDock(bool value) { FCustomDock = value; }

    TExDockBasicStyle* DockStyle() const { return FDockStyle; }
    void SetDockStyle(TExDockBasicStyle* style);

    void Assign(const TPersistent& source) override;

    virtual bool MayChangeEnableDock();
    virtual bool MayChangeLeftDock();
    virtual bool MayChangeRightDock();
    virtual bool MayChangeTopDock();
    virtual bool MayChangeBottomDock();
    virtual bool MayChangeEachOtherDock();
    virtual void FormCloseHook(TObject* sender, TCloseAction& action);
    virtual void FormCreateHook(TObject* sender);
    virtual void AttachStyle(TExDockBasicStyle* style) { (void)style; }
    virtual void DetachStyle(TExDockBasicStyle* style) { (void)style; }
    virtual void FormWindowProcHook(TMessage& message);

protected:
    // EInvalidOperation "Only one %s allowed on each form. Cannot add another %s" when the form
    // holds another dock control; the descendants' constructors ask first.
    void CheckSingleDockControl() const;
    void Notification(TComponent* component, TOperation operation) override;
    // Passes the message to the form's window procedure as it was before the hook.
    void CallSavedWindowProc(TMessage& message);
    // True while the owner form is being destroyed: it is still whole, but nothing is docked,
    // floated or sent back for it any more.
    bool FormDestroying() const;
    void StoreEnableDock(bool value) { FEnableDock = value; }
    void StoreLeftDock(bool value) { FLeftDock = value; }
    void StoreTopDock(bool value) { FTopDock = value; }
    void StoreRightDock(bool value) { FRightDock = value; }
    void StoreBottomDock(bool value) { FBottomDock = value; }
    void StoreEachOtherDock(bool value) { FEachOtherDock = value; }

private:
    void RestoreFormHooks() noexcept;

    TCustomForm* FParentForm;
    bool FEnableDock = true;
    bool FLeftDock = true;
    bool FTopDock = true;
    bool FRightDock = true;
    bool FBottomDock = true;
    bool FCustomDock = true;
    bool FEachOtherDock = true;
    TExDockBasicStyle* FDockStyle = nullptr;
    TCloseEvent FSavedOnClose;
    TNotifyEvent FSavedOnCreate;
    TWndMethod FSavedWindowProc;
    bool FHooked = false;
    QObject* FActivationWatch = nullptr;
};
