#include "effects/effect_request.h"

#include "artistic/brush_painter.h"
#include "artistic/brush_resources.h"
#include "artistic/canvas_filter.h"
#include "artistic/glow_edge_filter.h"
#include "artistic/mosaic_filter.h"
#include "artistic/oil_paint_filter.h"
#include "artistic/wind_filter.h"
#include "engine/data_folder.h"
#include "engine/effect_filter.h"
#include "engine/pixel_buffer.h"
#include "light/stamp_renderer.h"

#include <cstring>

namespace ombrik {

namespace {

void RunFilter(const EffectInfo& info, const EffectRequest& rq, const uint8_t* src, uint8_t* dst)
{
    CEffectFilter filter;
    filter.setDimensions(rq.width, rq.height, rq.bytesPerPixel);
    switch (info.operation) {
    case FilterOperation::ScaleChannels: filter.ScaleChannels(src, dst, info.parameter); break;
    case FilterOperation::SmoothSkin: filter.SmoothSkin(src, dst); break;
    case FilterOperation::RemoveRedEye: filter.RemoveRedEye(src, dst); break;
    case FilterOperation::ApplyGamma: filter.ApplyGamma(src, dst, CEffectFilter::kGamma); break;
    case FilterOperation::AdjustContrast: filter.AdjustContrast(src, dst, info.parameter); break;
    case FilterOperation::BoxBlur: filter.BoxBlur(src, dst); break;
    case FilterOperation::Sharpen: filter.Sharpen(src, dst); break;
    case FilterOperation::GreyFromGreen: filter.GreyFromGreen(src, dst); break;
    case FilterOperation::Pixelize: filter.Pixelize(src, dst); break;
    case FilterOperation::Emboss: filter.Emboss(src, dst); break;
    case FilterOperation::Splash: filter.Splash(src, dst); break;
    case FilterOperation::GlassTiles: filter.GlassTiles(src, dst); break;
    case FilterOperation::Posterize: filter.Posterize(src, dst); break;
    case FilterOperation::MotionBlur: filter.MotionBlur(src, dst, info.parameter); break;
    case FilterOperation::RadialBlur: filter.RadialBlur(src, dst); break;
    case FilterOperation::None: break;
    }
}

} // namespace

void EffectRequest::RunEffect(const uint8_t* src, uint8_t* dst) const
{
    const EffectInfo* info = FindEffect(effect);
    if (!info || !src || !dst || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
        return;

    switch (info->engine) {
    case EffectEngine::Filter:
        RunFilter(*info, *this, src, dst);
        break;
    case EffectEngine::Copy:
        std::memcpy(dst, src, PixelByteCount(width, height, bytesPerPixel));
        break;

    case EffectEngine::CanvasTexture: {
        CCanvasFilter canvas(0, 0);
        canvas.setDimensions(width, height, bytesPerPixel);
        canvas.ApplyCanvas(src, dst);
        break;
    }
    case EffectEngine::OilPaint: {
        COilPaintFilter oil(0, 0);
        oil.setDimensions(width, height, bytesPerPixel);
        oil.ApplyOilPaint(src, dst);
        break;
    }
    case EffectEngine::Wind: {
        CWindFilter wind(0, 0);
        wind.setDimensions(width, height, bytesPerPixel);
        wind.ApplyWind(src, dst);
        break;
    }

    case EffectEngine::SoftGlow: {
        CGlowEdgeFilter filter;
        filter.setDimensions(width, height, bytesPerPixel);
        filter.SoftGlow(src, dst);
        break;
    }
    case EffectEngine::EdgePaint: {
        CGlowEdgeFilter filter;
        filter.setDimensions(width, height, bytesPerPixel);
        filter.EdgePaint(src, dst);
        break;
    }
    case EffectEngine::Mosaic: {
        CMosaicFilter filter;
        filter.setDimensions(width, height, bytesPerPixel);
        filter.Mosaic(src, dst);
        break;
    }
    case EffectEngine::BrushPainter: {
        // The painter finds its brush images in the data folder; they are written
        // there first when missing (a test or the command-line tool may run
        // before any start-up wrote them). With no usable folder nothing is
        // written (not into the working directory); the painter then reports
        // the missing brush and lays no strokes.
        const std::string dataFolder = DataFolderPath();
        if (!dataFolder.empty())
            EnsureBrushFiles(dataFolder);
        CBrushPainter painter;
        painter.SetImageSize(width, height, bytesPerPixel);
        painter.SetDataDirectory(dataFolder);
        painter.SelectPreset(info->parameter);
        painter.Paint(src, dst);
        break;
    }
    case EffectEngine::Stamp: {
        StampRenderer stamps(width, height, bytesPerPixel);
        stamps.setVariant(info->parameter);
        stamps.setScale(strength);
        stamps.setColour(colour);
        stamps.render(src, dst);
        break;
    }

    // Placed and warped on the canvas, never run from here. Magic Flare
    // reaches RunEffect from the canvas and deliberately does nothing.
    case EffectEngine::Warp:
    case EffectEngine::Lighting:
    case EffectEngine::LensFlare:
    case EffectEngine::Nova:
        break;
    }
}

std::optional<WarpMode> WarpModeForEffect(EffectId id)
{
    switch (id) {
    case fx::WarpMove: return WarpMode::Move;
    case fx::WarpGrow: return WarpMode::Grow;
    case fx::WarpShrink: return WarpMode::Shrink;
    case fx::SwirlClockwise: return WarpMode::SwirlClockwise;
    case fx::SwirlCounterClockwise: return WarpMode::SwirlCounterClockwise;
    case kReduceWarpId: return WarpMode::Remove;
    default: return std::nullopt;
    }
}

} // namespace ombrik
