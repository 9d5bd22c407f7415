// Encoding a solar rose as PNG in memory: Qt's own writer against the run's encoder (zlib's
// fastest level, unfiltered rows), with the size of the bytes each gives.

#include "guibenchmarks.h"
#include "pngencoder.h"
#include "qsolarrose.h"

#include <QBuffer>
#include <QImage>
#include <QTime>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// The rose of a year of 10-minute values shaped like days of sunshine.
const QImage &roseImage()
{
    static const QImage image = [] {
        QSolarRose rose;
        for (int day = 0; day < 365; ++day) {
            for (int minutes = 0; minutes < 24 * 60; minutes += 10) {
                const double phase = (minutes - 6 * 60) / (12.0 * 60) * M_PI;
                const double value = phase > 0 && phase < M_PI ? 1000 * std::sin(phase) : -1.0;
                rose.addSolarMeasurement(
                    QTime(0, 0).addSecs(minutes * 60), value * (day % 7 + 1) / 7);
            }
        }
        QImage drawn;
        rose.drawImage(drawn);
        return drawn;
    }();
    return image;
}

void qtWriter(benchmark::State &state)
{
    const QImage &image = roseImage();
    QByteArray bytes;
    for (auto _ : state) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}

void pngEncoder(benchmark::State &state)
{
    const QImage &image = roseImage();
    QByteArray bytes;
    for (auto _ : state) {
        bytes = PngEncoder::encode(image);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["bytes"] = double(bytes.size());
}

} // namespace

BENCHMARK(qtWriter)->Unit(benchmark::kMillisecond);
BENCHMARK(pngEncoder)->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    return runGuiBenchmarks(argc, argv);
}
