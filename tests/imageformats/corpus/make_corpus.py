#!/usr/bin/env python3
"""Makes PNG, GIF and TIFF test images with real encoders (netpbm, ImageMagick, libtiff's
tiffcp) from deterministic source pictures.

    make_corpus.py OUTDIR [--size WxH]

The committed corpus beside this script was made with the default size; a larger size makes a
larger set for the same comparison (the tests read ZENTU_IMAGE_CORPUS when it is set).
Files named *.unsupported.tif hold compressions the reader refuses."""

import os
import subprocess
import sys


def run(args, out=None, stdin=None):
    with open(out, "wb") if out else open(os.devnull, "wb") as sink:
        subprocess.run(args, stdout=sink, stdin=stdin, check=True, stderr=subprocess.DEVNULL)


def pixel(x, y, w, h):
    return ((x * 255) // max(w - 1, 1), (y * 255) // max(h - 1, 1), ((x + y) * 37 + x * y) % 256)


def write_ppm(path, w, h, maxval=255, colours=None):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n%d\n" % (w, h, maxval))
        for y in range(h):
            for x in range(w):
                if colours:
                    c = colours[(x // 3 + y // 2) % len(colours)]
                else:
                    c = pixel(x, y, w, h)
                if maxval > 255:
                    f.write(b"".join(((v * 257 + x * 3 + y) & 0xFFFF).to_bytes(2, "big") for v in c))
                else:
                    f.write(bytes(c))


def write_pgm(path, w, h, maxval):
    with open(path, "wb") as f:
        f.write(b"P5\n%d %d\n%d\n" % (w, h, maxval))
        for y in range(h):
            for x in range(w):
                v = (x * 7 + y * 13 + x * y) % (maxval + 1)
                f.write(v.to_bytes(2, "big") if maxval > 255 else bytes([v]))


def write_pbm(path, w, h):
    rows = []
    for y in range(h):
        bits = [1 if ((x // 5 + y // 3) % 3 == 0 or x == y) else 0 for x in range(w)]
        row = bytearray((w + 7) // 8)
        for x, b in enumerate(bits):
            if b:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    with open(path, "wb") as f:
        f.write(b"P4\n%d %d\n" % (w, h))
        f.write(b"".join(rows))


def main():
    out = sys.argv[1]
    w, h = 37, 23
    if "--size" in sys.argv:
        w, h = map(int, sys.argv[sys.argv.index("--size") + 1].split("x"))
    os.makedirs(out, exist_ok=True)
    src = os.path.join(out, "src")
    os.makedirs(src, exist_ok=True)
    S = lambda name: os.path.join(src, name)
    O = lambda name: os.path.join(out, name)

    write_ppm(S("rgb.ppm"), w, h)
    write_ppm(S("rgb16.ppm"), w, h, 65535)
    for n in (2, 4, 16, 200):
        write_ppm(S("pal%d.ppm" % n), w, h, colours=[((i * 53) % 256, (i * 97 + 20) % 256, (i * 29 + 7 * n) % 256) for i in range(n)])
    for maxval in (1, 3, 15, 255, 65535):
        write_pgm(S("grey%d.pgm" % maxval), w, h, maxval)
    write_pgm(S("alpha.pgm"), w, h, 255)
    write_pbm(S("bilevel.pbm"), w, h)

    # PNG: every colour type and depth, interlaced and not, transparency, alpha, gamma.
    for maxval, depth in ((1, 1), (3, 2), (15, 4), (255, 8), (65535, 16)):
        run(["pnmtopng", S("grey%d.pgm" % maxval)], O("grey%d.png" % depth))
        run(["pnmtopng", "-interlace", S("grey%d.pgm" % maxval)], O("grey%d-interlaced.png" % depth))
    run(["pnmtopng", S("rgb.ppm")], O("rgb8.png"))
    run(["pnmtopng", "-interlace", S("rgb.ppm")], O("rgb8-interlaced.png"))
    run(["pnmtopng", S("rgb16.ppm")], O("rgb16.png"))
    for n in (2, 4, 16, 200):
        run(["pnmtopng", S("pal%d.ppm" % n)], O("palette%d.png" % n))
    run(["pnmtopng", "-interlace", S("pal16.ppm")], O("palette16-interlaced.png"))
    run(["pnmtopng", "-alpha=" + S("alpha.pgm"), S("rgb.ppm")], O("rgba8.png"))
    run(["pnmtopng", "-interlace", "-alpha=" + S("alpha.pgm"), S("rgb.ppm")], O("rgba8-interlaced.png"))
    run(["pnmtopng", "-alpha=" + S("alpha.pgm"), S("grey255.pgm")], O("greyalpha8.png"))
    run(["pnmtopng", "-transparent=rgb:00/00/00", S("rgb.ppm")], O("rgb8-trns.png"))
    run(["pnmtopng", "-gamma", "0.6", S("rgb.ppm")], O("rgb8.gamma.png"))
    run(["convert", S("rgb16.ppm"), "-alpha", "set", "-channel", "A", "-evaluate", "set", "60%", "+channel",
         "-define", "png:exclude-chunks=gAMA,cHRM,bKGD,date,tIME", "PNG64:" + O("rgba16.png")])

    # GIF: interlaced, transparent, local colour tables, several frames.
    for n in (2, 16, 200):
        run(["pamtogif", S("pal%d.ppm" % n)], O("palette%d.gif" % n))
    run(["pamtogif", "-interlace", S("pal200.ppm")], O("palette200-interlaced.gif"))
    run(["pamtogif", "-transparent=" + "rgb:%02x/%02x/%02x" % (0, 20, 112), S("pal16.ppm")], O("transparent.gif"))
    run(["convert", "-delay", "10", S("pal16.ppm"), S("pal200.ppm"), S("pal4.ppm"), O("animated.gif")])
    run(["convert", S("pal4.ppm"), S("pal200.ppm"), "+append", "-colors", "100", O("wide.gif")])

    # TIFF: strips and tiles, each compression, predictor, planes, byte orders, fax.
    run(["pnmtotiff", S("rgb.ppm")], S("rgb.tif"))
    run(["pnmtotiff", S("rgb16.ppm")], S("rgb16.tif"))
    run(["pnmtotiff", S("grey255.pgm")], S("grey8.tif"))
    run(["pnmtotiff", S("grey65535.pgm")], S("grey16.tif"))
    run(["pnmtotiff", S("grey15.pgm")], S("grey4.tif"))
    run(["pnmtotiff", "-indexbits=1,2,4,8", S("pal16.ppm")], S("pal16.tif"))
    run(["pnmtotiff", "-indexbits=1,2,4,8", S("pal200.ppm")], S("pal200.tif"))
    run(["pnmtotiff", "-minisblack", S("bilevel.pbm")], S("bilevel-black.tif"))
    run(["pnmtotiff", "-miniswhite", S("bilevel.pbm")], S("bilevel.tif"))
    run(["convert", S("rgb.ppm"), S("alpha.pgm"), "-alpha", "off", "-compose", "CopyOpacity", "-composite",
         "-compress", "none", S("rgba.tif")])
    for name in ("rgb", "rgb16", "grey8", "grey16", "grey4", "pal16", "pal200", "rgba"):
        for comp in ("none", "lzw", "zip", "packbits"):
            run(["tiffcp", "-c", comp, S(name + ".tif"), O("%s-%s.tif" % (name, comp))])
    for name in ("rgb", "grey8", "rgba", "rgb16"):
        run(["tiffcp", "-c", "lzw:2", S(name + ".tif"), O("%s-lzw-predictor.tif" % name)])
        run(["tiffcp", "-c", "zip:2", S(name + ".tif"), O("%s-zip-predictor.tif" % name)])
    for name in ("rgb", "grey8", "pal16"):
        run(["tiffcp", "-c", "lzw", "-t", "-w", "16", "-l", "16", S(name + ".tif"), O("%s-tiled.tif" % name)])
    run(["tiffcp", "-c", "lzw", "-p", "separate", S("rgb.tif"), O("rgb-planar-lzw.tif")])
    run(["tiffcp", "-c", "none", "-p", "separate", "-t", "-w", "16", "-l", "16", S("rgba.tif"), O("rgba-planar-tiled.tif")])
    run(["tiffcp", "-B", "-c", "lzw", S("rgb16.tif"), O("rgb16-bigendian.tif")])
    run(["tiffcp", "-B", "-c", "none", S("grey16.tif"), O("grey16-bigendian.tif")])
    run(["tiffcp", "-c", "lzw", "-r", "5", S("rgb.tif"), O("rgb-strips5.tif")])
    run(["tiffcp", "-c", "jpeg", S("rgb.tif"), O("rgb-jpeg.tif")])
    run(["tiffcp", "-c", "jpeg:r", S("rgb.tif"), O("rgb-jpeg-rgb.tif")])
    run(["tiffcp", "-c", "jpeg", S("grey8.tif"), O("grey8-jpeg.tif")])
    for source in ("bilevel", "bilevel-black"):
        run(["tiffcp", "-c", "g3", S(source + ".tif"), O(source + "-g3.tif")])
        run(["tiffcp", "-c", "g3:fill", S(source + ".tif"), O(source + "-g3-fill.tif")])
        run(["tiffcp", "-c", "packbits", S(source + ".tif"), O(source + "-packbits.tif")])
    run(["tiffcp", "-f", "lsb2msb", "-c", "g3", S("bilevel.tif"), O("bilevel-g3-lsb2msb.tif")])
    run(["tiffcp", "-c", "g3:2d", S("bilevel.tif"), O("bilevel-g3-2d.unsupported.tif")])
    run(["tiffcp", "-c", "g4", S("bilevel.tif"), O("bilevel-g4.unsupported.tif")])
    run(["convert", S("rgb.ppm"), "-colorspace", "CMYK", "-compress", "lzw", O("cmyk.tif")])

    for f in os.listdir(src):
        os.remove(os.path.join(src, f))
    os.rmdir(src)


if __name__ == "__main__":
    main()
