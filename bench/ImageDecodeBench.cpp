// Decode throughput of our PNG, GIF and TIFF readers beside libpng, giflib and libtiff on the same
// files, made at start by real encoders (netpbm's pnmtopng and pamtogif, libtiff's tiffcp) from
// a 1600 × 1200 picture. Prints megapixels per second and our share of the peer's speed.

#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "ComparingReporter.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Width = 1600, Height = 1200;
std::string Folder;

std::string Path(const char* name)
{
    return Folder + "/" + name;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool MakeInputs()
{
    {
        std::ofstream rgb(Path("rgb.ppm"), std::ios::binary);
        rgb << "P6\n" << Width << " " << Height << "\n255\n";
        std::ofstream pal(Path("pal.ppm"), std::ios::binary);
        pal << "P6\n" << Width << " " << Height << "\n255\n";
        std::ofstream bits(Path("bilevel.pbm"), std::ios::binary);
        bits << "P4\n" << Width << " " << Height << "\n";
        for (int y = 0; y < Height; ++y) {
            std::string row((Width + 7) / 8, '\0');
            for (int x = 0; x < Width; ++x) {
                const unsigned char c[3] = {static_cast<unsigned char>(x * 255 / Width), static_cast<unsigned char>(y * 255 / Height),
                                            static_cast<unsigned char>((x ^ y) & 0xFF)};
                rgb.write(reinterpret_cast<const char*>(c), 3);
                const int band = ((x / 40) + (y / 30)) % 200;
                const unsigned char p[3] = {static_cast<unsigned char>(band * 53), static_cast<unsigned char>(band * 97),
                                            static_cast<unsigned char>(band * 29)};
                pal.write(reinterpret_cast<const char*>(p), 3);
                if (((x / 12) + (y / 9)) % 3 == 0 || (x + y) % 97 == 0)
                    row[static_cast<std::size_t>(x / 8)] = static_cast<char>(row[static_cast<std::size_t>(x / 8)] | (0x80 >> (x % 8)));
            }
            bits << row;
        }
    }
    const std::string q = "'";
    const std::string commands[] = {
        "pnmtopng " + q + Path("rgb.ppm") + q + " > " + q + Path("image.png") + q,
        "pamtogif " + q + Path("pal.ppm") + q + " > " + q + Path("image.gif") + q,
        "pnmtotiff " + q + Path("rgb.ppm") + q + " > " + q + Path("rgb.tif") + q,
        "tiffcp -c lzw " + q + Path("rgb.tif") + q + " " + q + Path("lzw.tif") + q,
        "pnmtotiff -miniswhite " + q + Path("bilevel.pbm") + q + " > " + q + Path("bilevel.tif") + q,
        "tiffcp -c g3 " + q + Path("bilevel.tif") + q + " " + q + Path("fax.tif") + q,
    };
    for (const std::string& command : commands)
        if (std::system((command + " 2>/dev/null").c_str()) != 0)
            return false;
    return true;
}

template <class TReader>
void Ours(benchmark::State& state, const char* name)
{
    const std::string bytes = ReadAll(Path(name));
    for (auto _ : state) {
        TReader image;
        TMemoryStream stream(bytes);
        image.LoadFromStream(stream);
        benchmark::DoNotOptimize(image.ScanLine(0));
    }
    state.counters["MP/s"] = benchmark::Counter(double(Width) * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void Libpng(benchmark::State& state)
{
    const std::string bytes = ReadAll(Path("image.png"));
    std::vector<unsigned char> pixels(static_cast<std::size_t>(Width) * Height * 3);
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
        image.format = PNG_FORMAT_BGR;
        png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["MP/s"] = benchmark::Counter(double(Width) * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

struct TMemoryInput {
    const std::string* Bytes;
    std::size_t At = 0;
};

int ReadGif(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* input = static_cast<TMemoryInput*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), input->Bytes->size() - input->At);
    std::copy_n(input->Bytes->data() + input->At, n, buffer);
    input->At += n;
    return static_cast<int>(n);
}

void Giflib(benchmark::State& state)
{
    const std::string bytes = ReadAll(Path("image.gif"));
    for (auto _ : state) {
        TMemoryInput input{&bytes};
        int error = 0;
        GifFileType* gif = DGifOpen(&input, ReadGif, &error);
        DGifSlurp(gif);
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    state.counters["MP/s"] = benchmark::Counter(double(Width) * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Decodes every strip into its place in one whole image and, for RGB, turns each strip's pixels
// into blue-green-red right after it: the same bytes our reader leaves in its bitmap, so both sides
// do the same work. The buffer lives across runs, which only favours libtiff.
void LibtiffImage(TIFF* tiff, std::vector<unsigned char>& image)
{
    std::uint16_t samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    const auto stripSize = static_cast<std::size_t>(TIFFStripSize(tiff));
    image.resize(stripSize * TIFFNumberOfStrips(tiff));
    std::size_t at = 0;
    for (tstrip_t s = 0; s < TIFFNumberOfStrips(tiff); ++s) {
        const tmsize_t got = TIFFReadEncodedStrip(tiff, s, image.data() + at, static_cast<tmsize_t>(stripSize));
        if (got <= 0)
            break;
        if (samples == 3)
            for (unsigned char* p = image.data() + at; p + 3 <= image.data() + at + got; p += 3)
                std::swap(p[0], p[2]);
        at += static_cast<std::size_t>(got);
    }
    image.resize(at);
}

void Libtiff(benchmark::State& state, const char* name)
{
    const std::string path = Path(name);
    TIFFSetWarningHandler(nullptr);
    std::vector<unsigned char> image;
    for (auto _ : state) {
        TIFF* tiff = TIFFOpen(path.c_str(), "r");
        LibtiffImage(tiff, image);
        benchmark::DoNotOptimize(image.data());
        TIFFClose(tiff);
    }
    state.counters["MP/s"] = benchmark::Counter(double(Width) * Height / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// Whether our reader and libtiff leave the same bytes, so that the two timings compare like with like.
bool SamePixels(const char* name)
{
    const std::string bytes = ReadAll(Path(name));
    TTIFFGraphic ours;
    TMemoryStream stream(bytes);
    ours.LoadFromStream(stream);
    TIFF* tiff = TIFFOpen(Path(name).c_str(), "r");
    std::vector<unsigned char> image;
    LibtiffImage(tiff, image);
    TIFFClose(tiff);
    const auto stride = static_cast<std::size_t>(ours.RowStride());
    if (image.size() != stride * Height)
        return false;
    for (int y = 0; y < Height; ++y)
        if (std::memcmp(ours.ScanLine(y), image.data() + stride * static_cast<std::size_t>(y), stride) != 0)
            return false;
    return true;
}

void OursPNG(benchmark::State& state, const char* name) { Ours<TPNGGraphic>(state, name); }
void OursGIF(benchmark::State& state, const char* name) { Ours<TGIFGraphic>(state, name); }
void OursTIFF(benchmark::State& state, const char* name) { Ours<TTIFFGraphic>(state, name); }

BENCHMARK_CAPTURE(OursPNG, PNG, "image.png")->Unit(benchmark::kMillisecond);
BENCHMARK(Libpng)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursGIF, GIF, "image.gif")->Unit(benchmark::kMillisecond);
BENCHMARK(Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTIFF, LZW, "lzw.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Libtiff, LZW, "lzw.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OursTIFF, Fax, "fax.tif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Libtiff, Fax, "fax.tif")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/zentu-images-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;
    if (!MakeInputs()) {
        std::fprintf(stderr, "the encoders (netpbm, libtiff-tools) are missing\n");
        return 1;
    }
    for (const char* name : {"lzw.tif", "fax.tif"})
        if (!SamePixels(name))
            std::fprintf(stderr, "%s: our pixels differ from libtiff's; the comparison is not fair\n", name);
    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const struct {
        const char* Ours;
        const char* Peer;
        const char* Text;
        double Target;
    } pairs[] = {
        {"OursPNG/PNG", "Libpng", "PNG against libpng", 0.7},
        {"OursGIF/GIF", "Giflib", "GIF against giflib", 0.7},
        {"OursTIFF/LZW", "Libtiff/LZW", "LZW TIFF against libtiff", 0.5},
        {"OursTIFF/Fax", "Libtiff/Fax", "fax TIFF against libtiff", 0.5},
    };
    for (const auto& pair : pairs) {
        const double ours = reporter.Find(pair.Ours), peer = reporter.Find(pair.Peer);
        if (ours > 0 && peer > 0)
            std::printf("%s: %.2fx of the peer's speed (at least %.1f)\n", pair.Text, peer / ours, pair.Target);
    }
    std::system(("rm -rf '" + Folder + "'").c_str());
    return 0;
}
