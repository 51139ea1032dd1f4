// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Times fourfoldTest and its Fisher sum on small and the largest tables, against the
// straightforward sum over every table of the range, and counts heap allocations.
#include "statengine.h"
#include "support.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

// Every heap allocation of the process, Qt's included, goes through these.
namespace {
std::atomic<long long> allocations{0};
}
// glibc's own allocator entry points, which its malloc family forwards to.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" {
void *__libc_malloc(std::size_t);
void *__libc_calloc(std::size_t, std::size_t);
void *__libc_realloc(void *, std::size_t);

void *malloc(std::size_t size)
{
    ++allocations;
    return __libc_malloc(size);
}
void *calloc(std::size_t count, std::size_t size)
{
    ++allocations;
    return __libc_calloc(count, size);
}
void *realloc(void *memory, std::size_t size)
{
    ++allocations;
    return __libc_realloc(memory, size);
}
}
// NOLINTEND(bugprone-reserved-identifier)

namespace {

// ln n! with the powers of Stirling's series taken by pow, as first written.
double powLnFactorial(int n)
{
    if (n <= 16)
        return StatEngine().lnFactorial(n);
    const double x = n;
    double result = (x + 0.5) * std::log(x) - x;
    result = result + 0.5 * StatEngine().lnTwoPi;
    result = result + 1.0 / (12.0 * x);
    result = result + 1.0 / (-360.0 * std::pow(x, 3));
    result = result + 1.0 / (1260.0 * std::pow(x, 5));
    return result + 1.0 / (-1680.0 * std::pow(x, 7));
}

struct Table
{
    const char *name;
    FourfoldCounts cells;
};

const Table tables[] = {
    {"999999x4", {999999, 999999, 999999, 999999}},
    {"500000x4", {500000, 500000, 500000, 500000}},
    {"1000x4", {1000, 1000, 1000, 1000}},
    {"8-2-1-5", {8, 2, 1, 5}},
    {"3-999996-5-999994", {3, 999996, 5, 999994}},
    {"0-999999-999999-999999", {0, 999999, 999999, 999999}}, // observed probability underflows
};

// Runs body once per iteration and reports heap allocations per call.
template <typename Body> void timeCalls(benchmark::State &state, Body body)
{
    const long long before = allocations;
    for (auto _ : state)
        body();
    state.counters["allocs/call"] =
        double(allocations - before) /
        double(std::max<benchmark::IterationCount>(1, state.iterations()));
}

// The console output, plus each benchmark's real time kept for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> milliseconds;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            milliseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char **argv)
{
    const StatEngine engine;
    for (const Table &table : tables) {
        const FourfoldCounts cells = table.cells;
        benchmark::RegisterBenchmark(
            (std::string("fourfoldTest/") + table.name).c_str(),
            [&engine, cells](benchmark::State &state) {
                FourfoldVerdicts verdicts;
                timeCalls(state,
                          [&] { benchmark::DoNotOptimize(engine.fourfoldTest(cells, verdicts)); });
            })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            (std::string("fisher/") + table.name).c_str(),
            [&engine, cells](benchmark::State &state) {
                timeCalls(state, [&] { benchmark::DoNotOptimize(engine.fisherPValue(cells)); });
            })
            ->Unit(benchmark::kMillisecond);
        // The full-range sum with ln n! as first written (powers by pow) and as the engine
        // now computes it (the same bits, faster).
        benchmark::RegisterBenchmark((std::string("fullRange/") + table.name).c_str(),
                                     [cells](benchmark::State &state) {
                                         timeCalls(state, [&] {
                                             benchmark::DoNotOptimize(referenceFisherPValue(
                                                 cells, [](int n) { return powLnFactorial(n); }));
                                         });
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(
            (std::string("fullRangeEngineLnF/") + table.name).c_str(),
            [&engine, cells](benchmark::State &state) {
                timeCalls(state, [&] {
                    benchmark::DoNotOptimize(
                        referenceFisherPValue(cells, [&](int n) { return engine.lnFactorial(n); }));
                });
            })
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto ms = [&](const std::string &name) {
        const auto found = reporter.milliseconds.find(name);
        return found == reporter.milliseconds.end() ? 0.0 : found->second;
    };
    std::printf("\nFisher sum, ms per call, and how many times faster than the full range\n");
    std::printf("%-20s %12s %12s %8s %12s %8s\n", "table", "fast", "full (pow)", "ratio",
                "full (eng.)", "ratio");
    for (const Table &table : tables) {
        const double fast = ms(std::string("fisher/") + table.name);
        if (fast == 0.0)
            continue;
        std::printf("%-20s %12.4f", table.name, fast);
        // A full range filtered out of the run has no time and so no ratio.
        for (const char *full : {"fullRange/", "fullRangeEngineLnF/"}) {
            const double slow = ms(full + std::string(table.name));
            if (slow == 0.0)
                std::printf(" %12s %8s", "-", "-");
            else
                std::printf(" %12.4f %8.1f", slow, slow / fast);
        }
        std::printf("\n");
    }
    benchmark::Shutdown();
    return 0;
}
