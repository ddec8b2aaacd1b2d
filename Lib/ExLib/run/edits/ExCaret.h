#pragma once
// TExCaret: the shape of a control's text caret (the control's own, a picture, or a sized
// solid or grey block), created when the control gains the focus and destroyed when it loses it.
// The control that owns the caret draws a shape other than its own through ICaretHost.

#include "Platform/controls/Control.h"

#include <QByteArray>
#include <QImage>

class TExCaret;

// A control that can show a caret shape of its own.
class ICaretHost {
public:
    virtual ~ICaretHost() = default;
    virtual void ShowCaretShape(const TExCaret& caret) = 0;
    virtual void HideCaretShape() = 0;

protected:
    ICaretHost() = default;
    ICaretHost(const ICaretHost&) = default;
    ICaretHost& operator=(const ICaretHost&) = default;
};

class TExCaret : public TPersistent {
public:
    // Raises EExLibException "TExCaret: cannot be created without a valid Owner" without owner.
    explicit TExCaret(TWinControlCore* owner);
    ~TExCaret() override;

    const QImage& Bitmap() const { return FBitmap; }
    // A picture replaces a sized shape: Width and Height become 0 and Gray false.
    void SetBitmap(const QImage& bitmap);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    bool Gray() const { return FGray; }
    void SetGray(bool value);

    bool IsDefault() const { return FWidth == 0 && FHeight == 0 && !FGray && FBitmap.isNull(); }
    bool IsBitmap() const { return FWidth == 0 && FHeight == 0 && !FGray && !FBitmap.isNull(); }
    bool Created() const { return FCreated; }

    void CreateCaret();
    void DestroyCaret();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Assign(const TPersistent& source) override;

    // The stored form of the picture ("CaretBitmap"): nothing for an empty picture.
    QByteArray CaretBitmapData() const;
    void ReadCaretBitmap(const QByteArray& data);

    TNotifyEvent OnChanged;

protected:
    virtual void Changed();

private:
    bool Ready() const;
    TWinControlCore* FOwner;
    QImage FBitmap;
    int FWidth = 0;
    int FHeight = 0;
    bool FGray = false;
    int FUpdateCount = 0;
    bool FModified = false;
    bool FCreated = false;
};
