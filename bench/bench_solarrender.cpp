// Drawing a solar rose on a fixed scale: a huge grid count must cost no more than a small one,
// since the rings are held at least a few pixels apart whatever the count asked for.

#include "guibenchmarks.h"
#include "qsolarrose.h"

#include <QImage>
#include <QTime>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A year of 10-minute values shaped like a day of sunshine, so that every class has bars.
void addDays(QSolarRose &rose, int days)
{
    for (int day = 0; day < days; ++day) {
        for (int minutes = 0; minutes < 24 * 60; minutes += 10) {
            const double phase = (minutes - 6 * 60) / (12.0 * 60) * M_PI;
            const double value = phase > 0 && phase < M_PI ? 1000 * std::sin(phase) : -1.0;
            rose.addSolarMeasurement(QTime(0, 0).addSecs(minutes * 60), value * (day % 7 + 1) / 7);
        }
    }
}

void drawFixedScale(benchmark::State &state)
{
    QSolarRose rose;
    addDays(rose, 365);
    rose.setFixedScale(6.0, int(state.range(0)));
    for (auto _ : state) {
        QImage image;
        rose.drawImage(image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["rings"] = rose.frame().scale.ringCount;
}

} // namespace

// The grid count asked for.
BENCHMARK(drawFixedScale)->Arg(4)->Arg(100)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    return runGuiBenchmarks(argc, argv);
}
