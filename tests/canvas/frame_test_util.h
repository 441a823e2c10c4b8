// Frame library folders made for a test from strip pictures.
#pragma once

#include "canvas/frame_library.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace ombrik::test {

inline const QRgb kOuter = qRgb(220, 30, 30);
inline const QRgb kInner = qRgb(30, 30, 220);

// A strip whose left (outer) half is red and right half blue.
inline QImage TwoToneStrip(int width, int height)
{
    QImage strip(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            strip.setPixel(x, y, x < width / 2 ? kOuter : kInner);
    return strip;
}

inline std::vector<uint8_t> Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline void WriteFile(const QString& path, const std::vector<uint8_t>& bytes)
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

} // namespace ombrik::test
