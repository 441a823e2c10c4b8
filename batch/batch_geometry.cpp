#include "batch/batch_geometry.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace ombrik {

namespace {

std::optional<int> ParseInt(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseReal(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "WxH" with positive whole numbers.
bool ParseSize(std::string_view text, int& w, int& h)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    const auto pw = ParseInt(text.substr(0, x)), ph = ParseInt(text.substr(x + 1));
    if (!pw || !ph || *pw < 1 || *ph < 1)
        return false;
    w = *pw;
    h = *ph;
    return true;
}

} // namespace

bool IsGeometryOption(std::string_view option)
{
    return option == "--crop" || option == "--rotate" || option == "--flip" || option == "--straighten"
        || option == "--resize";
}

bool ParseGeometryStep(std::string_view option, std::string_view value, BatchGeometryStep& step, std::string& error)
{
    step = BatchGeometryStep{};
    step.text = std::string(option) + " " + std::string(value);
    if (option == "--crop") {
        // WxH+X+Y
        const size_t plus = value.find('+');
        const size_t plus2 = plus == std::string_view::npos ? plus : value.find('+', plus + 1);
        std::optional<int> x, y;
        if (plus2 != std::string_view::npos) {
            x = ParseInt(value.substr(plus + 1, plus2 - plus - 1));
            y = ParseInt(value.substr(plus2 + 1));
        }
        if (!x || !y || *x < 0 || *y < 0 || !ParseSize(value.substr(0, plus), step.width, step.height)) {
            error = "bad crop '" + std::string(value) + "' (expected WxH+X+Y, e.g. 800x600+40+20)";
            return false;
        }
        step.kind = GeometryOp::Kind::Crop;
        step.x = *x;
        step.y = *y;
        return true;
    }
    if (option == "--rotate") {
        const auto degrees = ParseInt(value);
        if (!degrees || (*degrees != 90 && *degrees != 180 && *degrees != 270)) {
            error = "bad rotation '" + std::string(value) + "' (expected 90, 180 or 270 degrees clockwise)";
            return false;
        }
        step.kind = GeometryOp::Kind::Turn;
        step.quarterTurns = *degrees / 90;
        return true;
    }
    if (option == "--flip") {
        if (value != "horizontal" && value != "vertical") {
            error = "bad flip '" + std::string(value) + "' (expected horizontal or vertical)";
            return false;
        }
        step.kind = GeometryOp::Kind::Flip;
        step.horizontal = value == "horizontal";
        return true;
    }
    if (option == "--straighten") {
        const auto degrees = ParseReal(value);
        if (!degrees || std::abs(*degrees) > kMaxStraightenDegrees) {
            error = "bad straighten angle '" + std::string(value) + "' (expected -45 to 45 degrees)";
            return false;
        }
        step.kind = GeometryOp::Kind::Straighten;
        step.degrees = *degrees;
        return true;
    }
    if (option == "--resize") {
        step.kind = GeometryOp::Kind::Resize;
        if (!value.empty() && value.back() == '%') {
            const auto percent = ParseReal(value.substr(0, value.size() - 1));
            if (!percent || *percent <= 0.0) {
                error = "bad resize '" + std::string(value) + "' (expected a percentage above 0, e.g. 50%)";
                return false;
            }
            step.percent = *percent;
            return true;
        }
        if (!ParseSize(value, step.width, step.height)) {
            error = "bad resize '" + std::string(value) + "' (expected WxH to fit within, or N%)";
            return false;
        }
        return true;
    }
    error = "unknown option '" + std::string(option) + "'";
    return false;
}

bool ApplyGeometryStep(const BatchGeometryStep& step, PixelBuffer& photo, int64_t maxArea, std::string& error)
{
    GeometryOp op;
    op.kind = step.kind;
    switch (step.kind) {
    case GeometryOp::Kind::Crop:
        error = CropProblem(photo.width, photo.height, step.x, step.y, step.width, step.height);
        if (!error.empty())
            return false;
        op.x = step.x;
        op.y = step.y;
        op.width = step.width / 4 * 4;
        op.height = step.height / 4 * 4;
        break;
    case GeometryOp::Kind::Turn: op.quarterTurns = step.quarterTurns; break;
    case GeometryOp::Kind::Flip: op.horizontal = step.horizontal; break;
    case GeometryOp::Kind::Straighten:
        if (!(std::abs(step.degrees) <= kMaxStraightenDegrees)) {
            error = "the angle must be between -45 and 45 degrees";
            return false;
        }
        if (StraightenedSize(photo.width, photo.height, step.degrees).width == 0) {
            error = "nothing of the photo would be left";
            return false;
        }
        op.degrees = step.degrees;
        break;
    case GeometryOp::Kind::Resize: {
        const PixelSize size = step.percent > 0.0 ? ScaledByPercent(photo.width, photo.height, step.percent)
                                                  : FitWithin(photo.width, photo.height, step.width, step.height);
        error = ResizeProblem(photo.width, photo.height, size.width, size.height, maxArea);
        if (!error.empty())
            return false;
        op.width = size.width;
        op.height = size.height;
        break;
    }
    }
    PixelBuffer changed = ApplyGeometryOp(photo, op);
    if (changed.empty()) {
        error = "the photo could not be changed";
        return false;
    }
    photo = std::move(changed);
    return true;
}

} // namespace ombrik
