// The crash journal on a 1600 × 1200 photo: what a brush stroke costs the
// editing thread with the journal on and off, the journal's own share of it
// (handing the encoded snapshot and the state to the writer), and how long the
// background write of one step takes.
#include "bench/bench_photo.h"
#include "recovery/recovery_journal.h"

#include <QTemporaryDir>

using namespace ombrik;

namespace {

void Stroke(CanvasDocument& doc)
{
    for (int i = 0; i < 8; ++i)
        doc.dab(200 + i * 40, 300);
    doc.endStroke();
}

} // namespace

// Argument 1: journal on. The stroke includes the history's JPEG encoding.
static void RecoveryStroke(benchmark::State& state)
{
    QTemporaryDir dir;
    RecoveryJournal journal(dir.path().toStdString());
    CanvasDocument doc;
    if (state.range(0))
        doc.setObserver(&journal);
    doc.afterOpen(bench::BenchPhoto(), "bench.png");
    doc.setBrushSize(300);
    doc.selectEffect(0);
    journal.flush(60000);
    for (auto _ : state) {
        Stroke(doc);
        state.PauseTiming();
        journal.flush(60000);  // the writer's time is not the editing thread's
        state.ResumeTiming();
    }
    doc.setObserver(nullptr);
}
BENCHMARK(RecoveryStroke)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

// What the journal adds to a step on the editing thread.
static void RecoveryJournalHandOff(benchmark::State& state)
{
    QTemporaryDir dir;
    RecoveryJournal journal(dir.path().toStdString());
    CanvasDocument doc;
    doc.setObserver(&journal);
    doc.afterOpen(bench::BenchPhoto(), "bench.png");
    doc.setBrushSize(300);
    doc.selectEffect(0);
    for (int i = 0; i < 4; ++i)
        Stroke(doc);
    journal.flush(60000);
    doc.setObserver(nullptr);
    const PhotoSnapshot& last = doc.snapshots().back();
    for (auto _ : state) {
        journal.snapshotRecorded(last);
        journal.documentChanged(doc);
        state.PauseTiming();
        journal.flush(60000);
        state.ResumeTiming();
    }
    state.counters["snapshot_kB"] = double(last.size()) / 1024.0;
}
BENCHMARK(RecoveryJournalHandOff)->Unit(benchmark::kMillisecond)->Iterations(50);

// The background write of one step: its snapshot file and the state, each
// flushed to disk and renamed into place.
static void RecoveryJournalStepWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    RecoveryJournal journal(dir.path().toStdString());
    CanvasDocument doc;
    doc.setObserver(&journal);
    doc.afterOpen(bench::BenchPhoto(), "bench.png");
    doc.setBrushSize(300);
    doc.selectEffect(0);
    for (auto _ : state) {
        Stroke(doc);
        journal.flush(60000);
        state.SetIterationTime(journal.lastStepWriteMs() / 1000.0);
    }
    doc.setObserver(nullptr);
}
BENCHMARK(RecoveryJournalStepWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
