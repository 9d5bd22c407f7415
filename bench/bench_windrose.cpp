// Counting throughput of the wind rose, and proof that counting allocates nothing: this
// program replaces the global allocation functions with counting ones.

#include "guibenchmarks.h"
#include "qsolarrose.h"
#include "qwindrose.h"

#include <benchmark/benchmark.h>

#include <QTime>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

namespace {

std::atomic<long long> allocations { 0 };

void *allocate(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

struct Measurement
{
    double speed;
    double direction;
};

// Speeds spread over all default classes (and a little beyond), directions over more than a
// full turn so that folding is exercised too.
std::vector<Measurement> measurements(std::size_t count)
{
    std::mt19937_64 random(20120517);
    std::uniform_real_distribution<double> speed(-2.0, 12000.0);
    std::exponential_distribution<double> calmish(0.25);
    std::uniform_real_distribution<double> direction(-30.0, 400.0);
    std::vector<Measurement> result(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double s = (i % 8 == 0) ? speed(random) : calmish(random);
        result[i] = { s, direction(random) };
    }
    return result;
}

void countMeasurements(benchmark::State &state)
{
    const std::vector<Measurement> data = measurements(std::size_t(state.range(1)));
    const long long atStart = allocations.load();
    QWindRose rose;
    rose.setDirectionsCount(int(state.range(0)));
    rose.addMeasurement(0.0, 0.0); // builds the sectors before the measured loop
    // Building the chart allocates; if nothing was seen, the counting allocator is not in use
    // and a zero below would prove nothing.
    if (allocations.load() == atStart) {
        state.SkipWithError("the counting allocator is not in effect");
        return;
    }

    long long made = 0;
    for (auto _ : state) {
        const long long before = allocations.load(std::memory_order_relaxed);
        for (const Measurement &m : data)
            rose.addMeasurement(m.speed, m.direction);
        made += allocations.load(std::memory_order_relaxed) - before;
    }
    benchmark::DoNotOptimize(rose.counts().total());

    state.counters["measurements/s"] = benchmark::Counter(
        double(state.iterations()) * double(data.size()), benchmark::Counter::kIsRate);
    state.counters["allocations"] = double(made);
    if (made != 0)
        state.SkipWithError("counting allocated memory");
}

// A clear day of minute values of solar radiation (night at zero, a noon peak, a little
// noise), as a run counts a column of such a file: through the solar call with its time.
void countSolarMeasurements(benchmark::State &state)
{
    std::mt19937_64 random(20120517);
    std::normal_distribution<double> noise(0.0, 30.0);
    std::vector<QTime> times;
    std::vector<double> values;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        times.push_back(QTime(0, 0).addSecs(minute * 60));
        const double sun = 1000.0 * std::sin(M_PI * (minute - 360) / 720.0);
        values.push_back(sun > 0 ? std::round((sun + noise(random)) * 10) / 10 : 0.0);
    }
    QSolarRose rose;
    rose.setDirectionsCount(int(state.range(0)));
    rose.addSolarMeasurement(QTime(0, 0), 0.0); // builds the sectors
    for (auto _ : state) {
        for (size_t i = 0; i < values.size(); ++i)
            rose.addSolarMeasurement(times[i], values[i]);
    }
    benchmark::DoNotOptimize(rose.counts().total());
    state.counters["measurements/s"] = benchmark::Counter(
        double(state.iterations()) * double(values.size()), benchmark::Counter::kIsRate);
}

} // namespace

void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new[](std::size_t size)
{
    return allocate(size);
}

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete[](void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}

// Directions count, measurements per iteration.
BENCHMARK(countMeasurements)
    ->Args({ 16, 4'000'000 })
    ->Args({ 360, 4'000'000 })
    ->Unit(benchmark::kMillisecond);
// Hour sectors.
BENCHMARK(countSolarMeasurements)->Arg(24)->Unit(benchmark::kMicrosecond);

int main(int argc, char *argv[])
{
    return runGuiBenchmarks(argc, argv);
}
