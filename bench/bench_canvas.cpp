// The canvas on a 1600 × 1200 photo: dabs, history steps, undo and a repaint.
#include "bench/bench_app.h"
#include "bench/bench_photo.h"
#include "view/photo_canvas.h"

#include <QApplication>

#include <sys/resource.h>

using namespace ombrik;

namespace {

CanvasDocument OpenedDocument()
{
    CanvasDocument doc;
    doc.afterOpen(bench::BenchPhoto(), "bench.png");
    return doc;
}

} // namespace

static void CanvasPatchBrushDab300(benchmark::State& state)
{
    CanvasDocument doc = OpenedDocument();
    doc.setBrushSize(300);
    doc.selectEffect(0);
    int i = 0;
    for (auto _ : state) {
        doc.dab(200 + (i % 800), 300);
        ++i;
    }
}
BENCHMARK(CanvasPatchBrushDab300)->Unit(benchmark::kMillisecond);

static void CanvasResultBrushDab300(benchmark::State& state)
{
    CanvasDocument doc = OpenedDocument();
    doc.setBrushSize(300);
    doc.selectEffect(6);
    int i = 0;
    for (auto _ : state) {
        doc.dab(200 + (i % 800), 300);
        ++i;
    }
}
BENCHMARK(CanvasResultBrushDab300)->Unit(benchmark::kMillisecond);

static void CanvasRecordStepWithPhoto(benchmark::State& state)
{
    CanvasDocument doc = OpenedDocument();
    for (auto _ : state)
        doc.recordStep(true);
}
BENCHMARK(CanvasRecordStepWithPhoto)->Unit(benchmark::kMillisecond)->Iterations(30);

static void CanvasUndoPhotoStep(benchmark::State& state)
{
    CanvasDocument doc = OpenedDocument();
    for (auto _ : state) {
        state.PauseTiming();
        doc.recordStep(true);
        doc.recordStep(true);
        state.ResumeTiming();
        doc.undo();  // decodes the first of the two snapshots
    }
}
BENCHMARK(CanvasUndoPhotoStep)->Unit(benchmark::kMillisecond)->Iterations(20);

static void CanvasRepaintAtFitZoom(benchmark::State& state)
{
    bench::EnsureApplication();
    EditorSession session;
    CPhotoCanvas canvas(session);
    canvas.resize(1000, 700);
    canvas.show();
    session.openPhoto(bench::BenchPhoto(), "bench.png");
    canvas.zoomToFit();
    for (auto _ : state) {
        canvas.refresh();
        canvas.repaint();
    }
}
BENCHMARK(CanvasRepaintAtFitZoom)->Unit(benchmark::kMillisecond);

// 200 strokes of a few dabs each, each ending in a history step: reports the
// process's peak resident memory and the snapshot bytes the history keeps.
static void Canvas200StrokesMemory(benchmark::State& state)
{
    for (auto _ : state) {
        CanvasDocument doc = OpenedDocument();
        doc.setBrushSize(120);
        doc.selectEffect(0);
        for (int s = 0; s < 200; ++s) {
            for (int d = 0; d < 5; ++d)
                doc.dab((s * 37 + d * 30) % 1500, (s * 53) % 1100);
            doc.endStroke();
        }
        state.counters["snapshot_MB"] = double(doc.snapshotBytes()) / (1024.0 * 1024.0);
        state.counters["history_steps"] = double(doc.history().size());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_RSS_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(Canvas200StrokesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
