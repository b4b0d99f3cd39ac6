// The program's own code on its hot paths, with every GL and GLUT call going
// to a no-op: one walk step, the body height, one key, one walker drawing.
// Ends with the figures scripts/bench reads. That the same code makes no heap
// allocation is a test of its own (tests/allocation_test.cpp).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "body_height.h"
#include "gait.h"
#include "input.h"
#include "scene_state.h"
#include "walker_model.h"

namespace {

void poseAsStarted()
{
    legs[0].hip = heightHipA;
    legs[1].hip = heightHipB;
}

void walkStepBench(benchmark::State& state)
{
    poseAsStarted();
    for (auto _ : state) {
        walkStep();
    }
    benchmark::DoNotOptimize(bodyOffset);
}
BENCHMARK(walkStepBench)->Name("walkStep");

void walkStepDollySpinBench(benchmark::State& state)
{
    poseAsStarted();
    autoDolly = 1;
    autoSpin = 1;
    for (auto _ : state) {
        walkStep();
    }
    autoDolly = 0;
    autoSpin = 0;
}
BENCHMARK(walkStepDollySpinBench)->Name("walkStep/dolly+spin");

void bodyOffsetBench(benchmark::State& state)
{
    // The height angles are globals, read afresh each time: nothing folds.
    for (auto _ : state) {
        benchmark::DoNotOptimize(computeBodyOffset(heightHipA, heightKneeA, heightHipB, heightKneeB));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bodyOffsetBench)->Name("computeBodyOffset");

void keyboardBench(benchmark::State& state)
{
    unsigned char key = 'z';
    for (auto _ : state) {
        keyboard(key, 0, 0);
        key = key == 'z' ? 'x' : 'z';
    }
    benchmark::DoNotOptimize(turretYaw);
}
BENCHMARK(keyboardBench)->Name("keyboard");

void drawWalkerBench(benchmark::State& state, int mode)
{
    poseAsStarted();
    for (auto _ : state) {
        drawWalker(mode);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(drawWalkerBench, solid, DRAW_SOLID)->Name("drawWalker/solid");
BENCHMARK_CAPTURE(drawWalkerBench, wire, DRAW_WIRE)->Name("drawWalker/wire");

// Keeps each run's time per iteration, by name, for the closing figures.
class Reporter : public benchmark::ConsoleReporter {
public:
    Reporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            nanoseconds[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> nanoseconds;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const auto& [line, name] : {std::pair<const char*, const char*>{"step_ns", "walkStep"},
                                     std::pair<const char*, const char*>{"draw_ns", "drawWalker/solid"}}) {
        if (reporter.nanoseconds.count(name) != 0) {
            std::printf("%s: %.2f\n", line, reporter.nanoseconds[name]);
        }
    }
    return 0;
}
