// Makes the photo frame library: make_frames [folder] writes "pframes" (each
// frame a vertical strip picture, JPEG encoded) and "pframes_t" (the panel's
// 24-bit thumbnails) into the folder (default resources/frames).
//
// A strip is 120 × 480 pixels and tiles seamlessly along its length; its left
// column is the frame's outer edge and its right column touches the photo.
// Each style describes a height field and a surface colour per pixel; one
// shading pass lights it from the top left, so mouldings, beads and strands
// look raised.
#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kW = 120;
constexpr int kH = 480;
constexpr int kThumbWidth = 80;
constexpr double kPi = 3.14159265358979323846;

struct Surface {
    double height = 0;           // pixels
    double r = 0, g = 0, b = 0;  // 0..1
    double specular = 0;         // 0..1
    double shininess = 20;
};

double Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double Smooth(double t)
{
    return t * t * (3 - 2 * t);
}

// Value noise on a lattice of `cell` pixels, periodic in y with period kH
// (cell must divide kH).
double Noise(double x, double y, double cellX, double cellY, int seed)
{
    const int periodY = std::max(1, int(std::lround(kH / cellY)));
    const double fx = x / cellX, fy = y / cellY;
    const int ix = int(std::floor(fx)), iy = int(std::floor(fy));
    const double tx = Smooth(fx - ix), ty = Smooth(fy - iy);
    auto at = [&](int a, int b) { return Hash(a, ((b % periodY) + periodY) % periodY, seed); };
    const double v0 = at(ix, iy) * (1 - tx) + at(ix + 1, iy) * tx;
    const double v1 = at(ix, iy + 1) * (1 - tx) + at(ix + 1, iy + 1) * tx;
    return v0 * (1 - ty) + v1 * ty;
}

double Fbm(double x, double y, double cellX, double cellY, int seed, int octaves = 4)
{
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, cellX, cellY, seed + o * 101);
        norm += amp;
        amp *= 0.5;
        cellX = std::max(1.0, cellX / 2);
        cellY = std::max(1.0, cellY / 2);
        // Keep the y period exact.
        while (cellY > 1 && std::fmod(kH, cellY) != 0)
            cellY -= 1;
    }
    return sum / norm;
}

double Mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

// Rounded bump of height `h` over [a, b] of u.
double Bead(double u, double a, double b, double h)
{
    if (u < a || u > b)
        return 0;
    const double t = (u - a) / (b - a) * 2 - 1;
    return h * std::sqrt(std::max(0.0, 1 - t * t));
}

void SetColour(Surface& s, double r, double g, double b)
{
    s.r = r;
    s.g = g;
    s.b = b;
}

// Wood grain along the length: light and dark bands with slow waves and pores.
double Grain(double x, double y, int seed, double bandWidth)
{
    const double warp = 10 * Fbm(x, y, 30, 160, seed);
    const double rings = 0.5 + 0.5 * std::sin((x + warp) * 2 * kPi / bandWidth);
    const double pores = Noise(x, y, 1, 8, seed + 7);
    return Clamp01(0.65 * std::pow(rings, 2.5) + 0.35 * pores * pores);
}

void Wood(Surface& s, double x, double y, int seed, const double light[3], const double dark[3], double band)
{
    const double g = Grain(x, y, seed, band);
    SetColour(s, Mix(light[0], dark[0], g), Mix(light[1], dark[1], g), Mix(light[2], dark[2], g));
    s.specular = 0.18;
    s.shininess = 18;
}

using Style = std::function<Surface(double x, double y)>;

Surface Walnut(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double light[3] = {0.52, 0.34, 0.21}, dark[3] = {0.24, 0.14, 0.08};
    Wood(s, x, y, 11, light, dark, 9);
    s.height = Bead(u, 0.0, 0.16, 5) + (u > 0.16 && u < 0.78 ? 3 + 2.5 * std::sin((u - 0.16) / 0.62 * kPi) : 0)
        + Bead(u, 0.78, 0.88, 3);
    if (u > 0.89) {  // gilded slip next to the photo
        const double n = Noise(x, y, 3, 6, 5);
        SetColour(s, 0.80 + 0.1 * n, 0.64 + 0.08 * n, 0.30);
        s.specular = 0.6;
        s.shininess = 30;
        s.height = 1.5 * (1 - (u - 0.89) / 0.11);
    }
    return s;
}

Surface Oak(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double light[3] = {0.80, 0.66, 0.46}, dark[3] = {0.60, 0.45, 0.28};
    Wood(s, x, y, 23, light, dark, 14);
    s.height = 6 - 2 * u + Bead(u, 0.0, 0.06, 1.5) - (u > 0.86 ? (u - 0.86) / 0.14 * 4 : 0);
    return s;
}

Surface Cherry(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double light[3] = {0.62, 0.27, 0.16}, dark[3] = {0.36, 0.12, 0.07};
    Wood(s, x, y, 37, light, dark, 7);
    s.specular = 0.35;
    s.shininess = 35;
    // A deep cove between a rounded outer rim and a small inner bead.
    const double cove = u > 0.18 && u < 0.82 ? 6 - 4 * std::sin((u - 0.18) / 0.64 * kPi) : 0;
    s.height = Bead(u, 0.0, 0.18, 7) + cove + Bead(u, 0.82, 0.94, 4) + (u >= 0.94 ? 1 : 0);
    return s;
}

Surface Barnwood(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double g = Grain(x, y, 41, 6);
    const double weather = Fbm(x, y, 20, 60, 43);
    const double grey = Mix(0.60, 0.38, g) * Mix(0.9, 1.1, weather);
    SetColour(s, grey * 1.02, grey * 0.96, grey * 0.88);
    // Two boards with a crack between them, a knot now and then.
    s.height = 3 + 3 * (g - 0.5) * 0.6 - (std::abs(u - 0.5) < 0.012 ? 3 : 0);
    const double kx = 0.27 * kW, ky = 300, d = std::hypot((x - kx) * 1.6, y - ky) / 14;
    if (d < 1) {
        const double k = 1 - d;
        SetColour(s, s.r * (1 - 0.5 * k), s.g * (1 - 0.55 * k), s.b * (1 - 0.6 * k));
        s.height -= 2 * k;
    }
    if (u > 0.93)
        s.height -= (u - 0.93) / 0.07 * 3;
    s.specular = 0.05;
    return s;
}

Surface Gold(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double n = Fbm(x, y, 6, 12, 57, 3);
    SetColour(s, 0.86 + 0.08 * n, 0.66 + 0.08 * n, 0.26 + 0.06 * n);
    s.specular = 0.9;
    s.shininess = 28;
    double h = 4 + 6 * std::sin(Clamp01(u / 0.95) * kPi) * 0.8;
    // Row of beads near the outer edge.
    if (u > 0.10 && u < 0.24) {
        const double cy = std::fmod(y, 16.0) - 8, cx = x - 0.17 * kW;
        const double d = std::hypot(cx, cy) / 7.5;
        if (d < 1)
            h += 4 * std::sqrt(1 - d * d);
    }
    // Leaf scrolls in the middle band.
    if (u > 0.30 && u < 0.72) {
        const double v = (u - 0.30) / 0.42;
        const double phase = y * 2 * kPi / 48 + std::sin(v * kPi) * 2.2;
        const double leaf = std::pow(std::abs(std::sin(phase)), 3) * std::sin(v * kPi);
        h += 5 * leaf;
        const double shade = 0.8 + 0.2 * leaf;
        SetColour(s, s.r * shade, s.g * shade, s.b * shade);
    }
    h += Bead(u, 0.78, 0.88, 3);
    if (u > 0.9) {  // dark inner lip
        SetColour(s, 0.45, 0.32, 0.12);
        h = 2;
    }
    s.height = h;
    return s;
}

Surface Silver(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double brushed = Noise(x, y, 0.7, 60, 61) * 0.12 + Noise(x, y, 3, 240, 63) * 0.08;
    const double v = 0.72 + brushed;
    SetColour(s, v, v * 1.01, v * 1.04);
    s.specular = 0.85;
    s.shininess = 40;
    s.height = Bead(u, 0.0, 0.55, 7) + Bead(u, 0.55, 0.70, 3) + (u > 0.70 ? 2 : 0) + Bead(u, 0.84, 0.92, 2);
    return s;
}

Surface BlackGallery(double x, double y)
{
    const double u = x / kW;
    Surface s;
    if (u < 0.42) {
        const double g = Grain(x, y, 71, 5) * 0.06;
        SetColour(s, 0.09 + g, 0.09 + g, 0.10 + g);
        s.specular = 0.3;
        s.shininess = 30;
        s.height = 8 + Bead(u, 0.0, 0.08, 1.5) - (u > 0.36 ? (u - 0.36) / 0.06 * 2 : 0);
        return s;
    }
    // White mat with a bevel cut down to the photo.
    const double paper = 0.95 + 0.03 * Noise(x, y, 2, 2, 73);
    SetColour(s, paper, paper, paper * 0.98);
    s.specular = 0.02;
    s.height = 2;
    if (u > 0.93) {
        const double t = (u - 0.93) / 0.07;
        SetColour(s, 0.97, 0.95, 0.90);
        s.height = 2 - 2 * t;
    }
    return s;
}

Surface WhiteMat(double x, double y)
{
    const double u = x / kW;
    Surface s;
    if (u < 0.22) {  // white painted moulding
        const double strokes = Noise(x, y, 1.5, 30, 81) * 0.05;
        SetColour(s, 0.93 - strokes, 0.93 - strokes, 0.92 - strokes);
        s.specular = 0.25;
        s.height = 6 + Bead(u, 0.0, 0.22, 3);
        return s;
    }
    const double paper = 0.90 + 0.04 * Noise(x, y, 2, 2, 83);
    SetColour(s, paper * 0.99, paper * 0.96, paper * 0.88);
    s.height = 3;
    if (u > 0.84 && u < 0.88) {  // a fine grey line drawn on the mat
        SetColour(s, 0.62, 0.60, 0.56);
    }
    if (u > 0.94) {
        SetColour(s, 0.98, 0.97, 0.93);
        s.height = 3 - 3 * (u - 0.94) / 0.06;
    }
    return s;
}

Surface FilmStrip(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double n = Noise(x, y, 2, 2, 91) * 0.03;
    SetColour(s, 0.06 + n, 0.055 + n, 0.05 + n);
    s.specular = 0.35;
    s.shininess = 50;
    s.height = 1;
    // Sprocket holes: rounded rectangles, 20 to a strip length.
    const double cy = std::fmod(y, 24.0) - 12, cx = x - 0.24 * kW;
    const double hx = 8, hy = 6, r = 2.5;
    const double dx = std::max(0.0, std::abs(cx) - (hx - r)), dy = std::max(0.0, std::abs(cy) - (hy - r));
    if (std::hypot(dx, dy) < r) {
        SetColour(s, 0.93, 0.92, 0.86);
        s.specular = 0;
        s.height = 0;
    }
    // Frame edge marks and a warm base tint near the photo.
    if (u > 0.45 && u < 0.47 && std::fmod(y, 120.0) < 60)
        SetColour(s, 0.70, 0.40, 0.12);
    if (u > 0.97)
        SetColour(s, 0.02, 0.02, 0.02);
    return s;
}

Surface TornPaper(double x, double y)
{
    const double u = x / kW;
    Surface s;
    // Dark slate board outside the paper.
    const double slate = 0.17 + 0.05 * Fbm(x, y, 10, 16, 101);
    SetColour(s, slate, slate * 1.02, slate * 1.08);
    s.height = 0;
    const double edge = 0.34 + 0.10 * (Fbm(0, y, 1, 60, 103, 5) - 0.5) * 2;
    const double fringe = 0.03 * Noise(x, y, 1, 2, 105);
    if (u > edge + fringe) {
        const double fibre = Noise(x, y, 1, 5, 107) * 0.05;
        const double near = Clamp01(1 - (u - edge) / 0.06);
        const double paper = 0.96 - fibre - 0.04 * near;
        SetColour(s, paper, paper * 0.98, paper * 0.93);
        s.height = 2;
    } else if (u > edge - 0.06) {
        // The paper's shadow on the board.
        const double t = (u - (edge - 0.06)) / 0.06;
        const double k = 1 - 0.55 * t;
        SetColour(s, s.r * k, s.g * k, s.b * k);
    }
    return s;
}

Surface Rope(double x, double y)
{
    const double u = x / kW;
    Surface s;
    // Burlap weave behind the rope.
    const double weave = 0.5 + 0.25 * std::sin(x * 2 * kPi / 4) * std::sin(y * 2 * kPi / 4);
    const double fleck = Noise(x, y, 1, 3, 111) * 0.1;
    SetColour(s, 0.72 * (0.85 + 0.2 * weave) - fleck, 0.62 * (0.85 + 0.2 * weave) - fleck,
              0.45 * (0.85 + 0.2 * weave) - fleck);
    s.height = weave * 0.6;
    const double c = 0.46, half = 0.24;
    const double v = (u - c) / half;
    if (std::abs(v) < 1) {
        const double body = std::sqrt(1 - v * v);
        // Three strands twisting along the rope: diagonal ridges.
        const double phase = std::fmod((y + v * 22) / 30.0 + 100.0, 1.0);
        const double strand = std::sin(phase * kPi);
        const double fibre = Noise(x, y, 1, 4, 113) * 0.08;
        s.height = 10 * body + 4 * strand * body;
        const double tone = 0.75 + 0.25 * strand - fibre;
        SetColour(s, 0.80 * tone, 0.66 * tone, 0.42 * tone);
        s.specular = 0.1;
    } else if (v > 1 && v < 1.35) {
        const double k = 0.6 + 0.4 * (v - 1) / 0.35;  // shadow towards the photo
        SetColour(s, s.r * k, s.g * k, s.b * k);
    }
    if (u > 0.95)
        SetColour(s, 0.36, 0.27, 0.17);
    return s;
}

Surface BlueLacquer(double x, double y)
{
    const double u = x / kW;
    Surface s;
    const double n = Noise(x, y, 4, 24, 121) * 0.04;
    SetColour(s, 0.10 + n, 0.22 + n, 0.45 + n);
    s.specular = 0.7;
    s.shininess = 60;
    s.height = Bead(u, 0.0, 0.3, 6) + (u >= 0.3 ? 4 - 2 * (u - 0.3) : 0);
    if (u > 0.80 && u < 0.9) {
        SetColour(s, 0.84, 0.68, 0.32);
        s.specular = 0.8;
        s.height += Bead(u, 0.80, 0.90, 2.5);
    }
    return s;
}

Surface Bamboo(double x, double y)
{
    const double u = x / kW;
    Surface s;
    // Two canes side by side, with nodes at different places.
    const double lane = u < 0.5 ? u / 0.5 : (u - 0.5) / 0.5;
    const double offset = u < 0.5 ? 0 : 80;
    const double node = std::fmod(y + offset, 160.0);
    const double dn = std::min(node, 160 - node);
    const double streak = Noise(x, y, 1, 40, 131) * 0.08;
    const double round = std::sqrt(std::max(0.0, 1 - (lane * 2 - 1) * (lane * 2 - 1)));
    SetColour(s, 0.80 - streak, 0.70 - streak, 0.36 - streak);
    s.height = 7 * round;
    if (dn < 4) {
        s.height += 2 * (1 - dn / 4) * round;
        SetColour(s, 0.62, 0.50, 0.24);
    }
    s.specular = 0.4;
    s.shininess = 25;
    return s;
}

QImage Render(const Style& style)
{
    std::vector<Surface> surf(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            surf[size_t(y) * kW + size_t(x)] = style(x + 0.5, y + 0.5);
    auto h = [&](int x, int y) {
        x = std::clamp(x, 0, kW - 1);
        y = ((y % kH) + kH) % kH;
        return surf[size_t(y) * kW + size_t(x)].height;
    };
    // Light from the top left and a little in front.
    double lx = -0.55, ly = -0.55, lz = 0.63;
    QImage img(kW, kH, QImage::Format_RGB32);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const Surface& s = surf[size_t(y) * kW + size_t(x)];
            double nx = -(h(x + 1, y) - h(x - 1, y)) / 2, ny = -(h(x, y + 1) - h(x, y - 1)) / 2, nz = 1;
            const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= len;
            ny /= len;
            nz /= len;
            const double diffuse = std::max(0.0, nx * -lx + ny * -ly + nz * lz);
            // Half vector between the light and a viewer straight in front.
            double hx = -lx, hy = -ly, hz = lz + 1;
            const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
            const double highlight = s.specular * std::pow(std::max(0.0, (nx * hx + ny * hy + nz * hz) / hl), s.shininess);
            // A flat surface keeps its colour; slopes toward the light brighten it.
            const double k = 0.35 + 0.65 * diffuse / lz;
            auto channel = [&](double c) { return int(std::lround(255 * Clamp01(c * k + highlight))); };
            img.setPixel(x, y, qRgb(channel(s.r), channel(s.g), channel(s.b)));
        }
    return img;
}

void PutU32(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char(uint8_t(v >> (8 * i))));
}

} // namespace

int main(int argc, char** argv)
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/frames");
    QDir().mkpath(folder);
    const std::vector<std::pair<const char*, Style>> styles = {
        {"walnut", Walnut},          {"oak", Oak},           {"cherry", Cherry},     {"barnwood", Barnwood},
        {"gold", Gold},              {"silver", Silver},     {"black gallery", BlackGallery},
        {"white mat", WhiteMat},     {"film strip", FilmStrip}, {"torn paper", TornPaper},
        {"rope", Rope},              {"blue lacquer", BlueLacquer}, {"bamboo", Bamboo},
    };
    QByteArray frames, thumbs;
    PutU32(frames, uint32_t(styles.size()));
    PutU32(thumbs, uint32_t(styles.size()));
    for (const auto& [name, style] : styles) {
        const QImage strip = Render(style);
        QByteArray encoded;
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        if (!strip.save(&buffer, "JPG", 92)) {
            std::fprintf(stderr, "make_frames: cannot encode %s\n", name);
            return 1;
        }
        PutU32(frames, 0);
        PutU32(frames, 0);
        PutU32(frames, uint32_t(encoded.size()));
        frames += encoded;

        const QImage thumb = strip.scaled(kThumbWidth, kH * kThumbWidth / kW, Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_BGR888);
        PutU32(thumbs, uint32_t(thumb.width()));
        PutU32(thumbs, uint32_t(thumb.height()));
        for (int y = 0; y < thumb.height(); ++y)
            thumbs.append(reinterpret_cast<const char*>(thumb.constScanLine(y)), thumb.width() * 3);
        if (argc > 2)
            strip.save(QString::fromLocal8Bit(argv[2]) + "/" + QString::fromUtf8(name) + ".png");
    }
    for (const auto& [file, bytes] : {std::pair{QStringLiteral("pframes"), frames}, std::pair{QStringLiteral("pframes_t"), thumbs}}) {
        QFile out(folder + "/" + file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "make_frames: cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
    }
    std::printf("%zu frames written to %s\n", styles.size(), qPrintable(folder));
    return 0;
}
