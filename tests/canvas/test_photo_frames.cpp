// The photo frame library readers and frames on the canvas: border size,
// mitred drawing, scrolling and fit zoom with a border, export, history.
#include "canvas/frame_library.h"
#include "canvas/photo_canvas.h"
#include "tests/canvas/canvas_test_util.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <string>
#include <vector>

using namespace ombrik;
using ombrik::test::Flat;

namespace {

const QRgb kOuter = qRgb(220, 30, 30);
const QRgb kInner = qRgb(30, 30, 220);

// A strip whose left (outer) half is red and right half blue.
QImage TwoToneStrip(int width, int height)
{
    QImage strip(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            strip.setPixel(x, y, x < width / 2 ? kOuter : kInner);
    return strip;
}

std::vector<uint8_t> Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void WriteFile(const QString& path, const std::vector<uint8_t>& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

// A library folder with the given strips as "pframes" (no thumbnails).
struct Library {
    QTemporaryDir dir;
    explicit Library(const std::vector<QImage>& strips)
    {
        std::vector<uint8_t> file;
        for (const QImage& s : strips)
            AppendFrameEntry(file, Png(s));
        SetEntryCount(file, uint32_t(strips.size()));
        WriteFile(dir.filePath("pframes"), file);
        SetFrameLibraryFolder(dir.path().toStdString());
    }
    ~Library() { SetFrameLibraryFolder(""); }
};

std::vector<uint8_t> U32(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

} // namespace

TEST(FrameLibrary, PicturesAreCutToAMultipleOf4AndEntriesAreFoundByIndex)
{
    QImage wide = TwoToneStrip(103, 20);
    wide.setPixel(99, 0, qRgb(1, 2, 3));
    Library lib({TwoToneStrip(8, 4), wide});
    const auto first = LoadFrame(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 8);
    const auto strip = LoadFrame(1);
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->width, 100);
    EXPECT_EQ(strip->height, 20);
    EXPECT_EQ(strip->at(99, 0)[0], 3);  // blue, green, red
    EXPECT_EQ(strip->at(99, 0)[2], 1);
    EXPECT_FALSE(LoadFrame(2));
    EXPECT_FALSE(LoadFrame(-1));
}

TEST(FrameLibrary, BrokenPictureFilesGiveNoFrame)
{
    const std::vector<uint8_t> picture = Png(TwoToneStrip(8, 4));
    std::vector<uint8_t> file;
    AppendFrameEntry(file, picture);
    SetEntryCount(file, 1);
    {
        // Cut short inside the picture data.
        MemorySource src(file.data(), file.size() - 5);
        EXPECT_FALSE(ReadFrameEntry(src, 0));
    }
    {
        // A size of nearly 4 GiB is refused without allocating it.
        std::vector<uint8_t> absurd = U32({1, 0, 0, 0xFFFFFFF0u});
        absurd.insert(absurd.end(), 64, 0);
        MemorySource src(absurd.data(), absurd.size());
        EXPECT_FALSE(ReadFrameEntry(src, 0));
        MemorySource skipping(absurd.data(), absurd.size());
        EXPECT_FALSE(ReadFrameEntry(skipping, 1));
    }
    // Bytes that are no picture, and a picture narrower than 4.
    EXPECT_FALSE(DecodeFramePicture({1, 2, 3, 4, 5}));
    EXPECT_FALSE(DecodeFramePicture(Png(TwoToneStrip(3, 10))));
    // No file at all.
    QTemporaryDir empty;
    SetFrameLibraryFolder(empty.path().toStdString());
    EXPECT_FALSE(LoadFrame(0));
    EXPECT_TRUE(LoadThumbnails().images.empty());
    SetFrameLibraryFolder("");
}

TEST(FrameLibrary, ThumbnailsKeepTheCompleteEntriesBeforeACut)
{
    std::vector<uint8_t> file;
    PixelBuffer a = Flat(2, 3, 7), b = Flat(4, 1, 9);
    AppendThumbnailEntry(file, a);
    AppendThumbnailEntry(file, PixelBuffer());  // an empty entry keeps the indices
    AppendThumbnailEntry(file, b);
    AppendThumbnailEntry(file, Flat(5, 5, 1));
    SetEntryCount(file, 4);
    {
        MemorySource src(file.data(), file.size());
        const Thumbnails all = ReadThumbnails(src);
        EXPECT_TRUE(all.complete);
        ASSERT_EQ(all.images.size(), 4u);
        EXPECT_TRUE(all.images[1].empty());
        EXPECT_EQ(all.images[2].width, 4);
        EXPECT_EQ(all.images[2].pixels, b.pixels);
    }
    {
        MemorySource src(file.data(), file.size() - 1);
        const Thumbnails cut = ReadThumbnails(src);
        EXPECT_FALSE(cut.complete);
        ASSERT_EQ(cut.images.size(), 3u);
        EXPECT_EQ(cut.images[0].pixels, a.pixels);
    }
    // Counts and sizes that cannot be true stop reading without allocating.
    for (const std::vector<uint8_t>& bad :
         {U32({0xFFFFFFFFu}), U32({5, 0x7FFFFFFF, 0x7FFFFFFF}), U32({2, 0xFFFFFFFEu, 4}), U32({0x7FFFFFFF})}) {
        MemorySource src(bad.data(), bad.size());
        const Thumbnails t = ReadThumbnails(src);
        EXPECT_TRUE(t.images.empty());
    }
}

TEST(FrameLibrary, TheShippedLibraryHasAThumbnailForEveryFrame)
{
    SetFrameLibraryFolder(OMBRIK_SOURCE_DIR "/resources/frames");
    const Thumbnails thumbs = LoadThumbnails();
    EXPECT_TRUE(thumbs.complete);
    EXPECT_GE(thumbs.images.size(), 12u);
    for (size_t i = 0; i < thumbs.images.size(); ++i) {
        const auto strip = LoadFrame(int(i));
        ASSERT_TRUE(strip) << i;
        EXPECT_EQ(strip->width % 4, 0);
        EXPECT_GT(thumbs.images[i].width, 0);
    }
    EXPECT_FALSE(LoadFrame(int(thumbs.images.size())));
    SetFrameLibraryFolder("");
}

TEST(FrameScale, BothBordersComeToAMultipleOf4)
{
    // (400 + 300) × 0.00055803574 × 0.6 = 0.234375; 2 × 100 × that = 46.875 → 44.
    EXPECT_FLOAT_EQ(FrameScaleFor(400, 300, 100), 0.22f);
    for (int w : {4, 120, 640, 1600, 4000})
        for (int stripWidth : {4, 100, 120, 348}) {
            const float s = FrameScaleFor(w, 300, stripWidth);
            const long total = std::lround(2.0 * stripWidth * s);
            EXPECT_EQ(total % 4, 0) << w << " " << stripWidth;
        }
}

TEST(CanvasFrame, SetDeleteUndoRedo)
{
    Library lib({TwoToneStrip(100, 40), TwoToneStrip(60, 40)});
    CPhotoCanvas canvas;
    canvas.resize(600, 500);
    EXPECT_FALSE(canvas.setPhotoFrame(0));  // no photo yet
    canvas.afterOpen(Flat(400, 300, 90), "/tmp/frame.png");
    CanvasDocument& doc = canvas.document();

    ASSERT_TRUE(canvas.setPhotoFrame(0));
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_EQ(doc.frameBorder(), 22);
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.history()[0].frameIndex, 0);
    EXPECT_TRUE(doc.modified());

    // The same frame again, and a frame that cannot be loaded, change nothing.
    EXPECT_FALSE(canvas.setPhotoFrame(0));
    EXPECT_FALSE(canvas.setPhotoFrame(7));
    EXPECT_EQ(doc.history().size(), 1u);
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_EQ(doc.frameBorder(), 22);

    ASSERT_TRUE(canvas.setPhotoFrame(1));
    EXPECT_EQ(doc.frameBorder(), 14);  // 2 × 60 × 0.234375 = 28.1 → 28
    canvas.deletePhotoFrame();
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_EQ(doc.frameBorder(), 0);
    EXPECT_FALSE(canvas.photoFrame().hasImage());
    EXPECT_EQ(doc.history().size(), 3u);
    canvas.deletePhotoFrame();
    EXPECT_EQ(doc.history().size(), 3u);

    canvas.undo();
    EXPECT_EQ(doc.frameIndex(), 1);
    EXPECT_TRUE(canvas.photoFrame().hasImage());
    EXPECT_EQ(doc.frameBorder(), 14);
    canvas.undo();
    EXPECT_EQ(doc.frameIndex(), 0);
    // The scale stays as last computed: 100 × 28 / 120 = 23.3.
    EXPECT_EQ(doc.frameBorder(), 23);
    canvas.undo();  // the first step: back to the opened state, no frame
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_EQ(doc.frameBorder(), 0);
    canvas.redo();
    EXPECT_EQ(doc.frameIndex(), 0);
    EXPECT_TRUE(canvas.photoFrame().hasImage());

    // Opening another photo drops the frame.
    canvas.afterOpen(Flat(200, 100, 10), "/tmp/other.png");
    EXPECT_EQ(doc.frameIndex(), -1);
    EXPECT_FALSE(canvas.photoFrame().hasImage());
}

TEST(CanvasFrame, ScrollRangesAndFitZoomIncludeTheBorder)
{
    Library lib({TwoToneStrip(100, 40)});
    CPhotoCanvas canvas;
    canvas.resize(300, 200);
    canvas.afterOpen(Flat(400, 300, 90), "/tmp/frame.png");
    canvas.setPhotoFrame(0);
    canvas.refresh();
    const int B = canvas.document().frameBorder();
    ASSERT_EQ(B, 22);
    EXPECT_EQ(canvas.rangeX(), 400 + 2 * B - 300 + 17);
    EXPECT_EQ(canvas.rangeY(), 300 + 2 * B - 200 + 17);
    EXPECT_EQ(canvas.photoRect().topLeft(), QPoint(B, B));

    // Client 300 × 200 is wider in aspect than 4:3, so the height decides.
    canvas.resize(400, 200);
    EXPECT_FLOAT_EQ(canvas.fitZoom(), 200.0f / (300 + 2 * B));
    canvas.resize(200, 400);
    EXPECT_FLOAT_EQ(canvas.fitZoom(), 200.0f / (400 + 2 * B));
    canvas.zoomToFit();
    EXPECT_FALSE(canvas.horizontalBarShown());
    EXPECT_FALSE(canvas.verticalBarShown());
}

TEST(CanvasFrame, ExportDrawsFourMitredSidesWithTheOuterEdgeOutside)
{
    Library lib({TwoToneStrip(100, 40)});
    CPhotoCanvas canvas;
    canvas.resize(300, 200);
    canvas.afterOpen(Flat(400, 300, 90), "/tmp/frame.png");
    canvas.setPhotoFrame(0);
    const PixelBuffer out = canvas.exportComposite();
    const int B = 22;
    ASSERT_EQ(out.width, 400 + 2 * B);
    ASSERT_EQ(out.height, 300 + 2 * B);
    auto red = [&](int x, int y) {
        const uint8_t* p = out.at(x, y);
        return p[2] > 150 && p[0] < 100;
    };
    auto blue = [&](int x, int y) {
        const uint8_t* p = out.at(x, y);
        return p[0] > 150 && p[2] < 100;
    };
    // Along each side and through each corner, the distance from the outer
    // edge of the side a pixel belongs to decides its colour; on the mitre
    // that is the smaller of the two distances.
    int checked = 0;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int dx = std::min(x, out.width - 1 - x), dy = std::min(y, out.height - 1 - y);
            const int d = std::min(dx, dy);
            if (d >= B) {
                EXPECT_EQ(out.at(x, y)[0], 90);
                continue;
            }
            if (std::abs(dx - dy) <= 1 || std::abs(d - B / 2) <= 1)
                continue;  // the diagonal itself and the colour boundary
            const bool outer = d < B / 2;
            ASSERT_TRUE(outer ? red(x, y) : blue(x, y)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 1000);
    EXPECT_TRUE(canvas.document().frameIndex() == 0);
}

TEST(CanvasFrame, EveryZoomKeepsTheFrameRoundThePhoto)
{
    Library lib({TwoToneStrip(100, 40)});
    CPhotoCanvas canvas;
    canvas.resize(700, 600);
    canvas.afterOpen(Flat(400, 300, 90), "/tmp/frame.png");
    canvas.setPhotoFrame(0);
    for (float zoom : {0.1f, 0.37f, 1.0f, 1.25f}) {
        canvas.setZoom(zoom);
        const QImage shot = canvas.renderToImage();
        const QRect r = canvas.photoRect();
        const int b = int(22 * zoom);
        // Just outside each side's outer edge is the background, just inside
        // it the outer colour of the strip.
        if (b >= 4) {
            EXPECT_EQ(shot.pixel(r.center().x(), r.top() - b + 1), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.left() - b + 1, r.center().y()), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.right() + b - 1, r.center().y()), kOuter) << zoom;
            EXPECT_EQ(shot.pixel(r.center().x(), r.bottom() + b - 1), kOuter) << zoom;
        }
        EXPECT_NE(shot.pixel(r.center().x(), r.top() - b - 2), kOuter) << zoom;
    }
}
