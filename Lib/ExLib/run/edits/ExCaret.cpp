#include "ExLib/run/edits/ExCaret.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"

#include "Platform/text/Format.h"

#include <QBuffer>

TExCaret::TExCaret(TWinControlCore* owner) : FOwner(owner)
{
    if (!owner)
        throw EExLibException(Format(ExRes::NoValidOwner, {"TExCaret"}));
}

TExCaret::~TExCaret()
{
    try {
        DestroyCaret();
    } catch (...) {
        // invariant: destructors never throw; the caret goes with its owner anyway.
    }
}

bool TExCaret::Ready() const
{
    return FOwner->Focused() && !FOwner->ComponentState().Contains(csDesigning) && !IsDefault();
}

void TExCaret::CreateCaret()
{
    if (!Ready())
        return;
    if (auto* host = dynamic_cast<ICaretHost*>(FOwner))
        host->ShowCaretShape(*this);
    FCreated = true;
}

void TExCaret::DestroyCaret()
{
    // why: a caret made in another shape goes also when the shape has become the default one.
    if (!FCreated || !FOwner->Focused() || FOwner->ComponentState().Contains(csDesigning))
        return;
    if (auto* host = dynamic_cast<ICaretHost*>(FOwner))
        host->HideCaretShape();
    FCreated = false;
}

void TExCaret::SetBitmap(const QImage& bitmap)
{
    FBitmap = bitmap;
    FWidth = 0;
    FHeight = 0;
    FGray = false;
    Changed();
}

void TExCaret::SetWidth(int value)
{
    if (value == FWidth)
        return;
    FWidth = value;
    Changed();
}

void TExCaret::SetHeight(int value)
{
    if (value == FHeight)
        return;
    FHeight = value;
    Changed();
}

void TExCaret::SetGray(bool value)
{
    if (value == FGray)
        return;
    FGray = value;
    Changed();
}

void TExCaret::Changed()
{
    if (FUpdateCount > 0) {
        FModified = true;
        return;
    }
    FModified = false;
    if (OnChanged)
        OnChanged(this);
}

void TExCaret::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0 && FModified)
        Changed();
}

void TExCaret::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExCaret*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    BeginUpdate();
    SetWidth(other->FWidth);
    SetHeight(other->FHeight);
    SetGray(other->FGray);
    FBitmap = other->FBitmap;
    FModified = true;
    EndUpdate();
}

QByteArray TExCaret::CaretBitmapData() const
{
    if (FBitmap.isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    FBitmap.save(&buffer, "BMP");
    return data;
}

void TExCaret::ReadCaretBitmap(const QByteArray& data)
{
    QImage image;
    image.loadFromData(data, "BMP");
    FBitmap = image;
}
