// The document's geometry changes: crop, quarter turns, flips, straighten and
// resize, each one history step, with the text objects carried along.
#include "canvas/canvas_document.h"
#include "files/reasons.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ombrik {

namespace {

float NormalisedAngle(double degrees)
{
    double a = std::fmod(degrees, 360.0);
    if (a > 180.0)
        a -= 360.0;
    if (a <= -180.0)
        a += 360.0;
    return float(a);
}

// Where an object's centre goes, how it turns and scales, for a change of a
// width × height photo into a newWidth × newHeight one.
struct ObjectMotion {
    double cx = 0, cy = 0;
    double angle = 0;
    double scale = 1;
};

ObjectMotion MoveObject(const GeometryOp& op, double cx, double cy, double angle, int width, int height,
                        int newWidth, int newHeight)
{
    ObjectMotion m{cx, cy, angle, 1.0};
    switch (op.kind) {
    case GeometryOp::Kind::Crop:
        m.cx = cx - op.x;
        m.cy = cy - op.y;
        break;
    case GeometryOp::Kind::Turn:
        switch (((op.quarterTurns % 4) + 4) % 4) {
        case 1: m.cx = height - cy; m.cy = cx; break;
        case 2: m.cx = width - cx; m.cy = height - cy; break;
        case 3: m.cx = cy; m.cy = width - cx; break;
        default: break;
        }
        m.angle = angle + 90.0 * op.quarterTurns;
        break;
    case GeometryOp::Kind::Flip:
        // The text is not mirrored (it would read backwards): it moves to the
        // mirrored place and its slant is mirrored.
        if (op.horizontal)
            m.cx = width - cx;
        else
            m.cy = height - cy;
        m.angle = -angle;
        break;
    case GeometryOp::Kind::Straighten: {
        const double r = op.degrees * std::numbers::pi / 180.0;
        const double dx = cx - width / 2.0, dy = cy - height / 2.0;
        m.cx = newWidth / 2.0 + std::cos(r) * dx - std::sin(r) * dy;
        m.cy = newHeight / 2.0 + std::sin(r) * dx + std::cos(r) * dy;
        m.angle = angle + op.degrees;
        break;
    }
    case GeometryOp::Kind::Resize: {
        const double sx = double(newWidth) / width, sy = double(newHeight) / height;
        m.cx = cx * sx;
        m.cy = cy * sy;
        m.scale = std::sqrt(sx * sy);
        break;
    }
    }
    return m;
}

} // namespace

bool CanvasDocument::applyGeometry(const GeometryOp& op, std::string* error)
{
    auto refuse = [error](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (!hasPhoto())
        return refuse("no photo is open");
    // A warp stroke still pending is part of the photo that is changed.
    PixelBuffer changed = ApplyGeometryOp(m_photo, op);
    if (changed.empty() || changed.width % 4 != 0)
        return refuse("the photo could not be changed");
    const int oldWidth = m_width, oldHeight = m_height;
    const int w = changed.width, h = changed.height;

    std::vector<CanvasObject> objects;
    std::vector<ObjectKind> kinds;
    for (size_t i = 0; i < m_objects.size(); ++i) {
        CanvasObject o = m_objects[i];
        const double sw = o.textWidth * double(o.scale), sh = o.textHeight * double(o.scale);
        const ObjectMotion m = MoveObject(op, o.x + sw / 2.0, o.y + sh / 2.0, o.angle, oldWidth, oldHeight, w, h);
        o.scale = float(o.scale * m.scale);
        o.angle = NormalisedAngle(m.angle);
        const double nw = o.textWidth * double(o.scale), nh = o.textHeight * double(o.scale);
        o.x = int32_t(std::lround(m.cx - nw / 2.0));
        o.y = int32_t(std::lround(m.cy - nh / 2.0));
        // Dropped only when its turned box lies wholly off the new photo.
        const double r = double(o.angle) * std::numbers::pi / 180.0;
        const double ex = (std::abs(std::cos(r)) * nw + std::abs(std::sin(r)) * nh) / 2.0;
        const double ey = (std::abs(std::sin(r)) * nw + std::abs(std::cos(r)) * nh) / 2.0;
        if (m.cx + ex <= 0.0 || m.cy + ey <= 0.0 || m.cx - ex >= w || m.cy - ey >= h)
            continue;
        objects.push_back(o);
        kinds.push_back(m_objectKinds[i]);
    }

    m_photo = std::move(changed);
    m_width = w;
    m_height = h;
    m_objects = std::move(objects);
    m_objectKinds = std::move(kinds);
    m_geometry.push_back(op);
    m_coverageMask.assign(size_t(w) * size_t(h), 0);
    renewStrokeBase();
    if (m_applyMode == ApplyMode::ResultBrush || m_effectId == kRestoreBrushId)
        computeEffectResult();
    if (photoResized)
        photoResized();
    recordStep(true);
    return true;
}

bool CanvasDocument::crop(int x, int y, int w, int h, std::string* error)
{
    if (!hasPhoto()) {
        if (error)
            *error = QT_TRANSLATE_NOOP("Reasons", "no photo is open");
        return false;
    }
    if (std::string why = CropProblem(m_width, m_height, x, y, w, h); !why.empty()) {
        if (error)
            *error = std::move(why);
        return false;
    }
    GeometryOp op;
    op.kind = GeometryOp::Kind::Crop;
    op.x = x;
    op.y = y;
    op.width = w / 4 * 4;
    op.height = h / 4 * 4;
    return applyGeometry(op, error);
}

bool CanvasDocument::rotate(int quarterTurns)
{
    if (((quarterTurns % 4) + 4) % 4 == 0)
        return false;
    GeometryOp op;
    op.kind = GeometryOp::Kind::Turn;
    op.quarterTurns = ((quarterTurns % 4) + 4) % 4;
    return applyGeometry(op, nullptr);
}

bool CanvasDocument::flip(bool horizontal)
{
    GeometryOp op;
    op.kind = GeometryOp::Kind::Flip;
    op.horizontal = horizontal;
    return applyGeometry(op, nullptr);
}

bool CanvasDocument::straighten(double degrees, std::string* error)
{
    if (!(std::abs(degrees) <= kMaxStraightenDegrees)) {
        if (error)
            *error = QT_TRANSLATE_NOOP("Reasons", "the angle must be between -45 and 45 degrees");
        return false;
    }
    if (hasPhoto() && StraightenedSize(m_width, m_height, degrees).width == 0) {
        if (error)
            *error = QT_TRANSLATE_NOOP("Reasons", "nothing of the photo would be left");
        return false;
    }
    GeometryOp op;
    op.kind = GeometryOp::Kind::Straighten;
    op.degrees = degrees;
    return applyGeometry(op, error);
}

bool CanvasDocument::resize(int width, int height, std::string* error)
{
    if (!hasPhoto()) {
        if (error)
            *error = QT_TRANSLATE_NOOP("Reasons", "no photo is open");
        return false;
    }
    const int64_t maxArea = m_thresholdWidth > 0 && m_thresholdHeight > 0
        ? int64_t(m_thresholdWidth) * m_thresholdHeight
        : 0;
    if (std::string why = ResizeProblem(m_width, m_height, width, height, maxArea); !why.empty()) {
        if (error)
            *error = std::move(why);
        return false;
    }
    if (width == m_width && height == m_height)
        return false;
    GeometryOp op;
    op.kind = GeometryOp::Kind::Resize;
    op.width = width;
    op.height = height;
    return applyGeometry(op, error);
}

} // namespace ombrik
