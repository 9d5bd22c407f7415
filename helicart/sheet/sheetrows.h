#ifndef SHEETROWS_H
#define SHEETROWS_H

#include "columnreading.h"
#include "groupcharts.h"
#include "sheetimage.h"

#include <memory>
#include <vector>

class OutputQueue;
struct Options;

// The blocks of a run's sheet (--sheet) made from its charts: the groups of a column in one
// block, or, without groups, every column's rose side by side in one block.
class SheetRows
{
public:
    // The block of the groups of column k that hold a data line.
    static SheetImage::Block groupBlock(GroupCharts &groups, const MeasurementFile &file, int k,
        const ColumnReading::Column &column, const MeasurementFile::TimeRange &range,
        const Options &options);
    // The block of all columns, charts[k] holding the chart of column k as group 0.
    static SheetImage::Block columnBlock(const std::vector<std::unique_ptr<GroupCharts>> &charts,
        const MeasurementFile &file, const ColumnReading &columns, const Options &options);
    // Hands the sheet on to be written, when it has a block.
    static void write(const SheetImage &sheet, const Options &options, OutputQueue *output);

    // The height of a panel's rose, and the scale the options fix (none: 0 rings).
    static int roseHeight(const Options &options);
    static SheetLayout::Scale fixedScale(const Options &options);

private:
    // Whether the sheet is written in a vector format too.
    static bool drawings(const Options &options);
    SheetRows() = delete;
};

#endif // SHEETROWS_H
