// Light placement and warp strokes through the canvas on a 1600 × 1200 photo,
// with real mouse events: a Spotlight drag released (render, history step,
// redraw) and one warp move event at radius 90 including its repaint.
#include "bench/bench_app.h"
#include "bench/bench_photo.h"
#include "view/photo_canvas.h"

#include <QApplication>
#include <QMouseEvent>

using namespace ombrik;

namespace {

void Send(QWidget& w, QEvent::Type type, QPoint p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(p), QPointF(w.mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

} // namespace

static void CanvasSpotlightDragReleased(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(1200, 800);
    canvas.show();
    session.openPhoto(bench::BenchPhoto(), "bench.png");
    session.chooseEffect(120);
    QApplication::processEvents();
    for (auto _ : state) {
        Send(canvas, QEvent::MouseButtonPress, QPoint(300, 200));
        Send(canvas, QEvent::MouseMove, QPoint(600, 500));
        QApplication::processEvents();
        Send(canvas, QEvent::MouseButtonRelease, QPoint(700, 600));
        QApplication::processEvents();
        state.PauseTiming();
        session.undo();  // keeps the history short and the photo unlit
        state.ResumeTiming();
    }
}
BENCHMARK(CanvasSpotlightDragReleased)->Unit(benchmark::kMillisecond)->UseRealTime();

// Argument: the effect id (80 move, 81 grow, 83 swirl).
static void CanvasWarpMoveEventR90(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(1200, 800);
    canvas.show();
    session.openPhoto(bench::BenchPhoto(), "bench.png");
    session.setBrushSize(90);
    session.chooseEffect(EffectId(state.range(0)));
    QApplication::processEvents();
    Send(canvas, QEvent::MouseButtonPress, QPoint(300, 300));
    int i = 0;
    for (auto _ : state) {
        // 12 screen pixels per event, back and forth over 600 pixels.
        const int t = i++ % 100;
        const int x = 300 + 12 * (t < 50 ? t : 100 - t);
        Send(canvas, QEvent::MouseMove, QPoint(x, 300 + (t % 7)));
        QApplication::processEvents();
    }
    Send(canvas, QEvent::MouseButtonRelease, QPoint(300, 300));
}
BENCHMARK(CanvasWarpMoveEventR90)->Arg(80)->Arg(81)->Arg(83)->Unit(benchmark::kMillisecond)->UseRealTime();
