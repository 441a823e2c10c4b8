#include "tests/support/dng_writer.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include <tiffio.h>

#include <algorithm>
#include <cmath>

namespace ombrik::test {

double SrgbToLinear(double v)
{
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double LinearToSrgb(double v)
{
    v = std::clamp(v, 0.0, 1.0);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

LinearRgb LinearFromSrgb8(int r, int g, int b)
{
    return {SrgbToLinear(r / 255.0), SrgbToLinear(g / 255.0), SrgbToLinear(b / 255.0)};
}

const std::vector<ChartPatch>& ChartPatches()
{
    static const std::vector<ChartPatch> patches = {
        {115, 82, 68, "dark skin"},  {194, 150, 130, "light skin"}, {98, 122, 157, "blue sky"},
        {87, 108, 67, "foliage"},    {214, 126, 44, "orange"},      {128, 128, 128, "mid grey"},
        {175, 54, 60, "moderate red"}, {70, 148, 73, "green"}, {56, 61, 150, "blue"},
        {231, 199, 31, "yellow"},    {243, 243, 242, "white"},      {0, 0, 0, "blown out"},
    };
    return patches;
}

std::function<LinearRgb(int, int)> ChartScene(int width, int height)
{
    return [width, height](int x, int y) {
        const int column = std::min(x * kChartColumns / width, kChartColumns - 1);
        const int row = std::min(y * kChartRows / height, kChartRows - 1);
        const int index = row * kChartColumns + column;
        if (index == kBlownPatch)
            return LinearRgb{8, 8, 8};  // far over the white level in every channel
        const ChartPatch& p = ChartPatches()[size_t(index)];
        return LinearFromSrgb8(p.r, p.g, p.b);
    };
}

namespace {

// sRGB (D65) to XYZ, as LibRaw and dcraw have it.
constexpr double kXyzFromSrgb[3][3] = {
    {0.412453, 0.357580, 0.180423}, {0.212671, 0.715160, 0.072169}, {0.019334, 0.119193, 0.950227}};

void Invert3(const double m[3][3], double out[3][3])
{
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
        - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const int a = (j + 1) % 3, b = (j + 2) % 3, c = (i + 1) % 3, d = (i + 2) % 3;
            out[i][j] = (m[a][c] * m[b][d] - m[a][d] * m[b][c]) / det;
        }
}

int ChannelOf(const std::string& pattern, int x, int y)
{
    const char c = pattern[size_t((y & 1) * 2 + (x & 1))];
    return c == 'R' ? 0 : c == 'G' ? 1 : 2;
}

QByteArray PreviewJpeg(const DngRecipe& recipe)
{
    const int w = recipe.previewWidth;
    const int h = std::max(1, recipe.height * w / recipe.width);
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const LinearRgb c = recipe.scene(x * recipe.width / w, y * recipe.height / h);
            image.setPixel(x, y, qRgb(int(std::lround(LinearToSrgb(c.r) * 255)), int(std::lround(LinearToSrgb(c.g) * 255)),
                                      int(std::lround(LinearToSrgb(c.b) * 255))));
        }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return bytes;
}

} // namespace

bool WriteDng(const std::string& path, const DngRecipe& recipe)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    const uint8_t version[4] = {1, 4, 0, 0};
    const uint8_t backward[4] = {1, 1, 0, 0};
    uint64_t subIfd = 0;
    const bool preview = recipe.previewWidth > 0;

    // IFD0: the preview (or a tiny plain thumbnail) and the camera's colour data.
    const QByteArray jpeg = preview ? PreviewJpeg(recipe) : QByteArray();
    const int previewHeight = preview ? std::max(1, recipe.height * recipe.previewWidth / recipe.width) : 0;
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, preview ? recipe.previewWidth : 8);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, preview ? previewHeight : 8);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, preview ? COMPRESSION_JPEG : COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, preview ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, preview ? previewHeight : 8);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(recipe.orientation));
    TIFFSetField(tif, TIFFTAG_MAKE, recipe.make.c_str());
    TIFFSetField(tif, TIFFTAG_MODEL, recipe.model.c_str());
    TIFFSetField(tif, TIFFTAG_DNGVERSION, version);
    TIFFSetField(tif, TIFFTAG_DNGBACKWARDVERSION, backward);
    TIFFSetField(tif, TIFFTAG_UNIQUECAMERAMODEL, (recipe.make + " " + recipe.model).c_str());
    // ColorMatrix1 is camera from XYZ: the camera's response times XYZ → sRGB.
    double srgbFromXyz[3][3];
    Invert3(kXyzFromSrgb, srgbFromXyz);
    float matrix[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double v = 0;
            for (int k = 0; k < 3; ++k)
                v += recipe.cameraFromSrgb[size_t(i * 3 + k)] * srgbFromXyz[k][j];
            matrix[i * 3 + j] = float(v);
        }
    TIFFSetField(tif, TIFFTAG_COLORMATRIX1, 9, matrix);
    TIFFSetField(tif, TIFFTAG_CALIBRATIONILLUMINANT1, uint16_t(21));  // D65
    const float neutral[3] = {float(recipe.neutral[0]), float(recipe.neutral[1]), float(recipe.neutral[2])};
    TIFFSetField(tif, TIFFTAG_ASSHOTNEUTRAL, 3, neutral);
    TIFFSetField(tif, TIFFTAG_SUBIFD, 1, &subIfd);
    TIFFSetField(tif, TIFFTAG_EXIFIFD, uint64_t(0));
    if (recipe.gps)
        TIFFSetField(tif, TIFFTAG_GPSIFD, uint64_t(0));
    if (preview) {
        if (TIFFWriteRawStrip(tif, 0, const_cast<char*>(jpeg.data()), jpeg.size()) < 0) {
            TIFFClose(tif);
            return false;
        }
    } else {
        std::vector<uint8_t> thumb(8 * 8 * 3, 128);
        TIFFWriteEncodedStrip(tif, 0, thumb.data(), tmsize_t(thumb.size()));
    }
    if (!TIFFWriteDirectory(tif)) {
        TIFFClose(tif);
        return false;
    }

    // The RAW picture: one 16-bit sample a pixel through the colour filters.
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, recipe.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, recipe.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 32803);  // colour filter array
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, recipe.height);
    const uint16_t dims[2] = {2, 2};
    TIFFSetField(tif, TIFFTAG_CFAREPEATPATTERNDIM, dims);
    uint8_t cfa[4];
    for (int i = 0; i < 4; ++i)
        cfa[i] = uint8_t(ChannelOf(recipe.pattern, i & 1, i >> 1));
    TIFFSetField(tif, TIFFTAG_CFAPATTERN, 4, cfa);
    TIFFSetField(tif, TIFFTAG_CFALAYOUT, uint16_t(1));
    const float black[1] = {float(recipe.black)};
    TIFFSetField(tif, TIFFTAG_BLACKLEVEL, 1, black);
    const uint32_t white[1] = {uint32_t(recipe.white)};
    TIFFSetField(tif, TIFFTAG_WHITELEVEL, 1, white);
    std::vector<uint16_t> raw(size_t(recipe.width) * size_t(recipe.height));
    const double range = recipe.white - recipe.black;
    for (int y = 0; y < recipe.height; ++y)
        for (int x = 0; x < recipe.width; ++x) {
            const LinearRgb s = recipe.scene(x, y);
            const int c = ChannelOf(recipe.pattern, x, y);
            const double* m = recipe.cameraFromSrgb.data() + c * 3;
            const double camera = (m[0] * s.r + m[1] * s.g + m[2] * s.b) * recipe.neutral[size_t(c)] * recipe.exposure;
            raw[size_t(y) * size_t(recipe.width) + size_t(x)] =
                uint16_t(std::lround(std::clamp(recipe.black + camera * range, 0.0, double(recipe.white))));
        }
    if (TIFFWriteEncodedStrip(tif, 0, raw.data(), tmsize_t(raw.size() * 2)) < 0 || !TIFFWriteDirectory(tif)) {
        TIFFClose(tif);
        return false;
    }

    // EXIF and GPS directories, then IFD0 pointed at them.
    uint64_t exifOffset = 0;
    uint64_t gpsOffset = 0;
    TIFFCreateEXIFDirectory(tif);
    TIFFSetField(tif, EXIFTAG_DATETIMEORIGINAL, recipe.dateTaken.c_str());
    TIFFSetField(tif, EXIFTAG_EXPOSURETIME, recipe.exposureTime);
    TIFFSetField(tif, EXIFTAG_FNUMBER, recipe.fNumber);
    const uint16_t iso[1] = {uint16_t(recipe.iso)};
    TIFFSetField(tif, EXIFTAG_ISOSPEEDRATINGS, 1, iso);
    TIFFSetField(tif, EXIFTAG_LENSMODEL, recipe.lens.c_str());
    if (!TIFFWriteCustomDirectory(tif, &exifOffset)) {
        TIFFClose(tif);
        return false;
    }
    // Written: its values are freed here, as nothing later frees a custom
    // directory's values.
    TIFFFreeDirectory(tif);
    if (recipe.gps) {
        TIFFCreateGPSDirectory(tif);
        const uint8_t gpsVersion[4] = {2, 2, 0, 0};
        TIFFSetField(tif, GPSTAG_VERSIONID, gpsVersion);
        TIFFSetField(tif, GPSTAG_LATITUDEREF, "N");
        const double latitude[3] = {48, 51, 24};
        TIFFSetField(tif, GPSTAG_LATITUDE, latitude);
        TIFFSetField(tif, GPSTAG_LONGITUDEREF, "E");
        const double longitude[3] = {2, 21, 3};
        TIFFSetField(tif, GPSTAG_LONGITUDE, longitude);
        if (!TIFFWriteCustomDirectory(tif, &gpsOffset)) {
            TIFFClose(tif);
            return false;
        }
        TIFFFreeDirectory(tif);
    }
    TIFFSetDirectory(tif, 0);
    TIFFSetField(tif, TIFFTAG_EXIFIFD, exifOffset);
    if (recipe.gps)
        TIFFSetField(tif, TIFFTAG_GPSIFD, gpsOffset);
    const bool ok = TIFFRewriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

} // namespace ombrik::test
