// Writing a rose image: in place as QImage::save does it, against the steps of a file that is
// replaced only when complete (PNG in memory, then a temporary file synced and renamed).

#include "guibenchmarks.h"
#include "outputfile.h"
#include "qsolarrose.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTime>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// A rose of a year of 10-minute values shaped like days of sunshine, as the program writes.
QImage roseImage()
{
    QSolarRose rose;
    for (int day = 0; day < 365; ++day) {
        for (int minutes = 0; minutes < 24 * 60; minutes += 10) {
            const double phase = (minutes - 6 * 60) / (12.0 * 60) * M_PI;
            const double value = phase > 0 && phase < M_PI ? 1000 * std::sin(phase) : -1.0;
            rose.addSolarMeasurement(QTime(0, 0).addSecs(minutes * 60), value * (day % 7 + 1) / 7);
        }
    }
    QImage image;
    rose.drawImage(image);
    return image;
}

void saveInPlace(benchmark::State &state)
{
    const QImage image = roseImage();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("roseS000.png"));
    for (auto _ : state)
        benchmark::DoNotOptimize(image.save(name));
    state.counters["bytes"] = double(QFile(name).size());
}

void encode(benchmark::State &state)
{
    const QImage image = roseImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(OutputFile::encode(image));
}

void replaceFile(benchmark::State &state)
{
    const QByteArray bytes = OutputFile::encode(roseImage());
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("roseS000.png"));
    for (auto _ : state)
        benchmark::DoNotOptimize(OutputFile::write(name, bytes));
    state.counters["bytes"] = double(bytes.size());
}

void encodeAndReplace(benchmark::State &state)
{
    const QImage image = roseImage();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("roseS000.png"));
    QFile diagnostics;
    for (auto _ : state)
        benchmark::DoNotOptimize(OutputFile::save(image, name, &diagnostics));
}

} // namespace

BENCHMARK(saveInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(encode)->Unit(benchmark::kMillisecond);
BENCHMARK(replaceFile)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeAndReplace)->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    return runGuiBenchmarks(argc, argv);
}
