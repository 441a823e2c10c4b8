// Looking at the photo: a zoom step with its repaint, one pan move, and how
// long a painter look takes to stop on a 24-megapixel photo once it is asked
// to. The argument of the view cases is the device pixel ratio the canvas
// draws for (0: the screen's, so QT_SCALE_FACTOR=2 measures a doubled screen
// with its doubled window surface).
#include "bench/bench_app.h"
#include "bench/bench_photo.h"
#include "view/photo_canvas.h"
#include "effects/effect_request.h"
#include "engine/progress.h"

#include <QImage>

#include <chrono>
#include <thread>

using namespace ombrik;

namespace {

// The view of the benchmark photo at 100 %, as in a maximised window.
void OpenView(CPhotoCanvas& canvas, qreal ratio)
{
    canvas.resize(1244, 720);
    canvas.setRenderRatio(ratio);
    canvas.show();
    canvas.session().openPhoto(bench::BenchPhoto(), "bench.png");
}

} // namespace

// Ctrl + wheel under the cursor: one ladder step in or out, then the repaint.
static void ViewZoomStepWithRepaint(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    OpenView(canvas, qreal(state.range(0)));
    bool in = true;
    for (auto _ : state) {
        canvas.zoomAbout(CPhotoCanvas::nextZoomStep(canvas.zoom(), in), QPointF(400, 300));
        canvas.repaint();
        in = !in;
    }
}
BENCHMARK(ViewZoomStepWithRepaint)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The smooth redraw that follows once zoom steps stop (100 %, whole view).
static void ViewSettledRedraw(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    OpenView(canvas, qreal(state.range(0)));
    canvas.setZoom(1.0f);
    for (auto _ : state) {
        canvas.refresh();
        canvas.repaint();
    }
}
BENCHMARK(ViewSettledRedraw)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// One mouse move of a pan drag at 100 %, with the repaint.
static void ViewPanMove(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    OpenView(canvas, qreal(state.range(0)));
    canvas.pressAt(QPoint(600, 360), Qt::MiddleButton);
    int i = 0;
    for (auto _ : state) {
        const int dx = (i % 40) * 3 - 60;
        canvas.moveTo(QPoint(600 + dx, 360 + dx / 2));
        canvas.repaint();
        ++i;
    }
    canvas.releaseAt(QPoint(600, 360), Qt::MiddleButton);
}
BENCHMARK(ViewPanMove)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// A painter look (Dot Art, the longest of the looks here) on a 6000 × 4000
// photo, cancelled after `state.range(0)` ms: the time from the request to the
// engine's return. The document is untouched by a cancelled run, so that is
// the time until the photo shows as it was.
static void CancelPainterOn24Megapixels(benchmark::State& state)
{
    static const PixelBuffer big = [] {
        PixelBuffer b(6000, 4000, 3);
        const PixelBuffer& s = bench::BenchPhoto();
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < b.width; ++x) {
                const uint8_t* p = s.at(x * s.width / b.width, y * s.height / b.height);
                uint8_t* q = b.at(x, y);
                q[0] = p[0], q[1] = p[1], q[2] = p[2];
            }
        return b;
    }();
    PixelBuffer out(big.width, big.height, 3);
    for (auto _ : state) {
        ClearCancel();
        std::thread worker([&] {
            EffectRequest request;
            request.initialise();
            request.set(44, big.width, big.height, 3);
            request.RunEffect(big.data(), out.data());
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(state.range(0)));
        const auto asked = std::chrono::steady_clock::now();
        RequestCancel();
        worker.join();
        const std::chrono::duration<double> latency = std::chrono::steady_clock::now() - asked;
        state.SetIterationTime(latency.count());
        ClearCancel();
    }
}
BENCHMARK(CancelPainterOn24Megapixels)
    ->Arg(150)
    ->Arg(600)
    ->Arg(1200)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);
