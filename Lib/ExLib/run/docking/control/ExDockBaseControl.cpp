#include "ExLib/run/docking/control/ExDockBaseControl.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockStyle.h"
#include "ExLib/run/docking/support/ExDockStrings.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/docking/FloatingFrame.h"
#include "Platform/text/Format.h"

#include <QEvent>

namespace {

// Turns the form's activation changes into WM_ACTIVATE through its window procedure.
class TActivationWatch : public QObject {
public:
    explicit TActivationWatch(TCustomForm* form) : QObject(form), FForm(form) { form->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != FForm || TWinControlCore::ControlOf(FForm) != FForm)
            return false;
        if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
            try {
                FForm->Perform(WM_ACTIVATE, event->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE);
            } catch (...) {
                HandleCurrentException();
            }
        }
        return false;
    }

private:
    TCustomForm* FForm;
};

TCustomForm* RequireForm(TComponent* owner)
{
    auto* form = dynamic_cast<TCustomForm*>(owner);
    if (!form)
        throw EInvalidOperation("A dock control needs a form as its owner");
    return form;
}

} // namespace

TExDockBaseControl::TExDockBaseControl(TComponent* AOwner) : TExComponent(AOwner), FParentForm(RequireForm(AOwner))
{
    // why: the frame wraps the window procedure before the hook, so that what the hook passes
    // on reaches the frame's default handling of the caption and border.
    TFloatingFrame::Attach(*FParentForm);
    FSavedOnClose = FParentForm->OnClose;
    FSavedOnCreate = FParentForm->OnCreate;
    FSavedWindowProc = FParentForm->WindowProc;
    FParentForm->OnClose = [this](TObject* sender, TCloseAction& action) { FormCloseHook(sender, action); };
    FParentForm->OnCreate = [this](TObject* sender) { FormCreateHook(sender); };
    FParentForm->WindowProc = [this](TMessage& m) { FormWindowProcHook(m); };
    FHooked = true;
    FActivationWatch = new TActivationWatch(FParentForm); // owned by the form as its child object
}

TExDockBaseControl::~TExDockBaseControl()
{
    // The form's components go while the form is still whole (also when it is destroyed), so
    // the form always gets its own handlers back.
    delete FActivationWatch;
    RestoreFormHooks();
    // invariant: destructors never throw; detaching may move forms.
    try {
        if (FDockStyle)
            SetDockStyle(nullptr);
    } catch (...) {
        HandleCurrentException();
    }
}

void TExDockBaseControl::CheckSingleDockControl() const
{
    for (int i = 0; i < FParentForm->ComponentCount(); ++i)
        if (auto* other = dynamic_cast<TExDockBaseControl*>(FParentForm->Components(i)); other && other != this)
            throw EInvalidOperation(Format(ExDockRes::OnlyOneDockControl, {other->ClassName(), ClassName()}));
}

bool TExDockBaseControl::FormDestroying() const
{
    return FParentForm->ComponentState().Contains(csDestroying);
}

void TExDockBaseControl::RestoreFormHooks() noexcept
{
    if (!FHooked)
        return;
    FParentForm->WindowProc = FSavedWindowProc;
    FParentForm->OnClose = FSavedOnClose;
    FParentForm->OnCreate = FSavedOnCreate;
    FHooked = false;
}

void TExDockBaseControl::SetDockStyle(TExDockBasicStyle* style)
{
    if (style == FDockStyle)
        return;
    const bool formAlive = !FormDestroying();
    if (formAlive)
        DisableAlign(FParentForm);
    try {
        if (TExDockBasicStyle* old = FDockStyle) {
            RemoveFreeNotification(old);
            old->RemoveDockControl(this);
            DetachStyle(old);
        }
        FDockStyle = style;
        if (style) {
            style->PrepareDockControl(false, this);
            style->AddDockControl(this);
            AttachStyle(style);
            FreeNotification(style);
        }
    } catch (...) {
        if (formAlive)
            EnableAlign(FParentForm);
        throw;
    }
    if (formAlive)
        EnableAlign(FParentForm);
}

void TExDockBaseControl::Notification(TComponent* component, TOperation operation)
{
    TExComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FDockStyle)
        FDockStyle = nullptr;
}

void TExDockBaseControl::Assign(const TPersistent& source)
{
    if (const auto* other = dynamic_cast<const TExDockBaseControl*>(&source)) {
        SetEnableDock(other->EnableDock());
        SetLeftDock(other->LeftDock());
        SetTopDock(other->TopDock());
        SetRightDock(other->RightDock());
        SetBottomDock(other->BottomDock());
        FCustomDock = other->CustomDock();
        SetEachOtherDock(other->EachOtherDock());
        SetDockStyle(other->DockStyle());
        return;
    }
    TExComponent::Assign(source);
}

bool TExDockBaseControl::MayChangeEnableDock() { return !FDockStyle || FDockStyle->AllowEnableDockChange(this); }
bool TExDockBaseControl::MayChangeLeftDock() { return !FDockStyle || FDockStyle->AllowLeftDockChange(this); }
bool TExDockBaseControl::MayChangeRightDock() { return !FDockStyle || FDockStyle->AllowRightDockChange(this); }
bool TExDockBaseControl::MayChangeTopDock() { return !FDockStyle || FDockStyle->AllowTopDockChange(this); }
bool TExDockBaseControl::MayChangeBottomDock() { return !FDockStyle || FDockStyle->AllowBottomDockChange(this); }
bool TExDockBaseControl::MayChangeEachOtherDock() { return !FDockStyle || FDockStyle->AllowEachOtherDockChange(this); }

void TExDockBaseControl::SetBottomDock(bool value)
{
    if (MayChangeBottomDock())
        FBottomDock = value;
}

void TExDockBaseControl::SetEachOtherDock(bool value)
{
    if (MayChangeEachOtherDock())
        FEachOtherDock = value;
}

void TExDockBaseControl::SetEnableDock(bool value)
{
    if (MayChangeEnableDock())
        FEnableDock = value;
}

void TExDockBaseControl::SetLeftDock(bool value)
{
    if (MayChangeLeftDock())
        FLeftDock = value;
}

void TExDockBaseControl::SetRightDock(bool value)
{
    if (MayChangeRightDock())
        FRightDock = value;
}

void TExDockBaseControl::SetTopDock(bool value)
{
    if (MayChangeTopDock())
        FTopDock = value;
}

void TExDockBaseControl::FormCloseHook(TObject* sender, TCloseAction& action)
{
    if (FSavedOnClose)
        FSavedOnClose(sender, action);
}

void TExDockBaseControl::FormCreateHook(TObject* sender)
{
    if (FSavedOnCreate)
        FSavedOnCreate(sender);
}

void TExDockBaseControl::FormWindowProcHook(TMessage& message)
{
    CallSavedWindowProc(message);
}

void TExDockBaseControl::CallSavedWindowProc(TMessage& message)
{
    if (FSavedWindowProc)
        FSavedWindowProc(message);
}
