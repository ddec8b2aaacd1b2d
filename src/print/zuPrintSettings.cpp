#include "print/zuPrintSettings.h"

#include "settings/zuSettings.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"

namespace {

namespace P = Settings::Print;

struct TBandKeys {
    const TStringKey& Items;
    const TBoolKey& MirrorPosition;
    const TColorKey& LineColor;
    const TColorKey& ShadedColor;
    const TBoolKey& Line;
    const TBoolKey& Box;
    const TBoolKey& Shadow;
};

const TBandKeys HeaderKeys{P::HString, P::HMirrorPosition, P::HLineColor, P::HShadedColor, P::HLine, P::HBox, P::HShadow};
const TBandKeys FooterKeys{P::FString, P::FMirrorPosition, P::FLineColor, P::FShadedColor, P::FLine, P::FBox, P::FShadow};

void ReadBand(const TIniFileEx& ini, const TBandKeys& keys, THeaderFooter& band)
{
    band.LoadItemsFromText(keys.Items.Read(ini, band.ItemsAsText()));
    band.SetMirrorPosition(keys.MirrorPosition.Read(ini, band.MirrorPosition()));
    band.SetLineColor(keys.LineColor.Read(ini, band.LineColor()));
    band.SetShadedColor(keys.ShadedColor.Read(ini, band.ShadedColor()));
    TFrameTypes frame;
    if (keys.Line.Read(ini))
        frame.Include(ftLine);
    if (keys.Box.Read(ini))
        frame.Include(ftBox);
    if (keys.Shadow.Read(ini))
        frame.Include(ftShaded);
    band.SetFrameTypes(frame);
}

void WriteBand(TIniFileEx& ini, const TBandKeys& keys, THeaderFooter& band)
{
    keys.Line.Write(ini, band.FrameTypes().Contains(ftLine));
    keys.Box.Write(ini, band.FrameTypes().Contains(ftBox));
    keys.Shadow.Write(ini, band.FrameTypes().Contains(ftShaded));
    keys.MirrorPosition.Write(ini, band.MirrorPosition());
    keys.Items.Write(ini, band.ItemsAsText());
    keys.LineColor.Write(ini, band.LineColor());
    keys.ShadedColor.Write(ini, band.ShadedColor());
}

} // namespace

void ReadPrintSettings(const TIniFileEx& ini, TSrcEditPrint& print)
{
    print.Colors = P::PColored.Read(ini);
    print.Highlight = P::PSyntax.Read(ini);
    print.LineNumbers = P::PLineNumbers.Read(ini);
    print.LineNumbersInMargin = P::PNumbersInMargin.Read(ini);
    print.Wrap = P::PWrapped.Read(ini);
    TSrcEditPrintMargins& m = print.Margins();
    const int unit = P::MUnit.Read(ini, m.UnitSystem());
    m.SetUnitSystem(unit >= usMM && unit <= usInch ? static_cast<TUnitSystem>(unit) : usMM);
    m.SetTop(P::MTop.Read(ini, m.Top()));
    m.SetLeft(P::MLeft.Read(ini, m.Left()));
    m.SetBottom(P::MBottom.Read(ini, m.Bottom()));
    m.SetRight(P::MRight.Read(ini, m.Right()));
    m.SetHeader(P::MHeader.Read(ini, m.Header()));
    m.SetFooter(P::MFooter.Read(ini, m.Footer()));
    m.SetGutter(P::MGutter.Read(ini, m.Gutter()));
    m.SetMirrorMargins(P::MMirror.Read(ini, m.MirrorMargins()));
    ReadBand(ini, HeaderKeys, print.Header());
    ReadBand(ini, FooterKeys, print.Footer());
}

void WritePrintSettings(TIniFileEx& ini, TSrcEditPrint& print)
{
    const TSrcEditPrintMargins& m = print.Margins();
    P::MUnit.Write(ini, m.UnitSystem());
    P::MTop.Write(ini, m.Top());
    P::MBottom.Write(ini, m.Bottom());
    P::MLeft.Write(ini, m.Left());
    P::MRight.Write(ini, m.Right());
    P::MGutter.Write(ini, m.Gutter());
    P::MHeader.Write(ini, m.Header());
    P::MFooter.Write(ini, m.Footer());
    P::MMirror.Write(ini, m.MirrorMargins());
    WriteBand(ini, HeaderKeys, print.Header());
    WriteBand(ini, FooterKeys, print.Footer());
    P::PNumbersInMargin.Write(ini, print.LineNumbersInMargin);
    P::PSyntax.Write(ini, print.Highlight);
    P::PWrapped.Write(ini, print.Wrap);
    P::PColored.Write(ini, print.Colors);
    P::PLineNumbers.Write(ini, print.LineNumbers);
}
