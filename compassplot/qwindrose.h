#ifndef QWINDROSE_H
#define QWINDROSE_H

#include "dataline.h"
#include "interval.h"
#include "qpaintable.h"
#include "rosecounts.h"
#include "roseframe.h"
#include "rosepainter.h"
#include "rosepainterinterface.h"
#include "rosescaleinterface.h"
#include "rosesegmentsinterface.h"
#include "rosesettings.h"
#include "rosetallyinterface.h"
#include "rosetextscaleinterface.h"
#include "spoke.h"
#include "windroseinterface.h"
#include "windroselegend.h"

#include <QDateTime>
#include <QMap>
#include <QPen>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

class ScaleAdjustment;
class WindroseStyle;

// The chart object: counts measurements of a value and a direction into direction sectors
// and value classes and paints them as a rose with a legend, a scale and caption texts.
// Callers outside the plug-in see only WindRoseInterface (or SolarRoseInterface).
class QWindRose : public QPaintable,
                  public WindRoseInterface,
                  public RosePainterInterface,
                  public RoseTallyInterface,
                  public RoseTextScaleInterface,
                  public RoseScaleInterface,
                  public RoseSegmentsInterface
{
    Q_OBJECT
    Q_INTERFACES(WindRoseInterface RosePainterInterface RoseTallyInterface RoseTextScaleInterface
            RoseScaleInterface RoseSegmentsInterface)
    Q_DISABLE_COPY(QWindRose)
public:
    // The texts of the chart.
    struct RoseTexts
    {
        QString speedDirectionText; // the table's corner
        QString legendTitle;
        QString stationText;
        QString parameterText;
        QDateTime firstTime;
        QDateTime lastTime;
        QString statisticsText;
        QString intervalText;
        QString unitText;
    };

    using SectorMap = RoseCounts::SectorMap;

    QWindRose();
    ~QWindRose() override;

    // The interface, in the order of the meta-object's invokable methods.
    Q_INVOKABLE bool addInterval(double lowLimitValue, double interval_size, QColor color) override;
    Q_INVOKABLE bool addIntervalRange(double min, double max, QBrush brush, double width = 1.0,
        double offset = -1.0, double length = 1.0) override;
    Q_INVOKABLE bool setImageHeight(int height) override;
    Q_INVOKABLE bool setDirectionsCount(int directionsCount) override;
    Q_INVOKABLE bool setFont(const QFont &font) override;
    Q_INVOKABLE bool setStationText(QString stationText) override;
    Q_INVOKABLE bool setParameterText(QString parameterText) override;
    Q_INVOKABLE bool setUnitText(QString unitText) override;
    Q_INVOKABLE bool setIntervalText(QString intervalText) override;
    Q_INVOKABLE bool setStatisticsText(QString statisticsText) override;
    Q_INVOKABLE bool setSpeedDirectionText(QString speedDirectionText) override;
    Q_INVOKABLE bool addMeasurement(double windSpeed, double windDirection) override;
    Q_INVOKABLE bool drawImage(QImage &image) override;
    Q_INVOKABLE bool getTableData(QStringList *data) override;
    Q_INVOKABLE bool setLegendTitle(const QString &title) override;
    Q_INVOKABLE bool clearMeasurements() override;
    Q_INVOKABLE bool setLegendPrecision(int precision) override;
    // The scale of the last drawing (RoseScaleInterface).
    bool getScale(double *maximum, int *rings) override;
    Q_INVOKABLE bool setDataDrawSizeFactor(double factor) override;
    Q_INVOKABLE bool setFixedScale(double max_percent, int segments) override;
    Q_INVOKABLE bool setLegendText(const QString &text, bool warning) override;
    Q_INVOKABLE bool setFixedLegendWidth(int width) override;
    Q_INVOKABLE bool setAllDataCount(int allDataCount) override;
    Q_INVOKABLE bool setEnableBackground(bool enable) override;
    Q_INVOKABLE bool setEnableLegend(bool enable) override;
    Q_INVOKABLE bool setEnableGrid(bool enable) override;

    // Painting onto any painter: the same drawing as drawImage, without an image of its own.
    QSize paintSize(const QSize &canvas) override;
    bool paint(QPainter *painter, const QSize &canvas) override;
    using QPaintable::paint;

    // What was counted and what was left out.
    bool getTally(Tally *tally) override;
    int classOf(double value) override;

    // Texts in proportion with the picture; the font last set is the size at factor 1.
    bool setTextScale(double factor) override;

    // Where the last drawing painted its segments: its frame's segments, in the style's
    // shapes and the axes the data were painted in.
    bool getSegments(QList<RoseSegmentsInterface::Segment> *segments) override;

    // Operations for subclasses, in this order.
    // Renders the whole chart into the paintable image; always 1.
    virtual char render(int unused);
    // The drawing parameters of a class; a default Spoke when there are none.
    virtual Spoke classStyle(Interval key, ClassCount *count) const;
    // Parses one header or data record of the "->" text format (see DataLine).
    virtual bool addDataLine(const QStringList &fields, bool header);
    virtual void setDefaultIntervals();
    // The table's row label of a sector.
    virtual QString sectorLabel(const Interval &sector, int index) const;
    // Where a sector starts and ends, for the tally: its limits in degrees.
    virtual RoseTallyInterface::Sector sectorSpan(const Interval &sector, int index) const;
    // Diameter in pixels available to the rings, for the image being drawn.
    double roseDiameter() const;
    // The same on a drawing of the given height.
    virtual double diameterAt(int height) const;
    // Thickness in pixels of the segments of class index classIndex, on the last drawing's
    // ring scale.
    double ringRadius(int classIndex) const;
    // How the thickness of the segments grows from class to class.
    virtual SegmentThickness segmentThickness() const;
    virtual double outerRingSize() const;
    virtual void buildSectors(double fullCircle);
    virtual double fullCircle() const;
    // Compass letters and guide ticks, on frame's rose part around its ring diameter.
    virtual void drawBackground(QPainter *painter, const RoseFrame &frame);
    // The same on the painter's whole device, around the diameter of the image being drawn.
    void drawBackground(QPainter *painter);
    // Scale rings, their labels and the first class's share in the centre, as frame says.
    virtual void drawGrid(QPainter *painter, const RoseFrame &frame);
    // The stacked class segments of every sector, as frame says.
    virtual void drawData(QPainter *painter, const RoseFrame &frame);

    // Helpers for subclasses.
    int directionsCount() const;
    void setFullCircle(double fullCircle);
    void setGridPen(const QPen &pen);
    void setLabelAngle(double angle);
    int legendPrecision() const;

    // Read access for the legend, the solar rose and tests.
    const RoseCounts &counts() const { return m_counts; }
    const SectorMap &spokes() const { return m_counts.sectors(); }
    const QList<Interval> &intervals() const { return m_intervals; }
    const QMap<Interval, Spoke> &classStyles() const { return m_classStyles; }
    const RoseTexts &texts() const { return m_texts; }
    const RoseSettings &settings() const { return m_settings; }
    // The caption lines of the table, as the last drawing set them.
    QVector<QString> textLines() const { return m_textLines; }
    const DataLine::Counts &lineCounts() const { return m_lineCounts; }
    WindroseLegend *legend() const { return m_legend.get(); }
    WindroseStyle *style() const { return m_style.get(); }
    ScaleAdjustment *scale() const { return m_scale; }
    bool rebuildNeeded() const { return m_rebuildNeeded; }
    // What the last drawing measured (its ring scale is what ringRadius works with).
    const RoseFrame &frame() const { return m_frame; }
    // What the legend shows of the chart, its bars on the last drawing's ring scale at the
    // diameter of the image being drawn.
    LegendContent legendContent() const;

protected:
    // Replaces the segment style; the chart owns it.
    void setStyle(std::unique_ptr<WindroseStyle> style);
    // Binds another scale (null: the built-in rules); the chart does not own it.
    void setScale(ScaleAdjustment *scale) { m_scale = scale; }
    void setRebuildNeeded(bool needed) { m_rebuildNeeded = needed; }
    void setSpeedDirectionTextMember(const QString &text) { m_texts.speedDirectionText = text; }
    // Forgets every class with its drawing parameters, and the sectors with their counts.
    void clearClasses();
    // The sector layout: forget the sectors, say where they lie, add each with a fresh count
    // per class.
    void clearSectors() { m_counts.clearSectors(); }
    void setSectorGeometry(const RoseCounts::Geometry &geometry) { m_counts.setGeometry(geometry); }
    void insertSector(const Interval &key) { m_counts.insertSector(key, m_intervals); }
    // What addMeasurement does before it counts: the default classes when there are none, the
    // sectors when they are to be built.
    void prepareCounting();
    // addMeasurement's counting, for a measurement whose sector index is known (see
    // RoseCounts::sectorIndex); after prepareCounting.
    void countInSector(size_t sector, double value) { m_counts.addToSector(sector, value); }
    // Height of the image being drawn, or of the image to come before the first drawing.
    int drawingHeight() const;
    // Whether painter paints pixels (an image), not a vector document.
    static bool paintsOnRaster(const QPainter *painter);

    // The values a frame is measured from: the rings on the rose's part, the data on the whole
    // drawing.
    FrameInput frameInput(const QSize &rose, const QSize &wide) const;

private:
    void bindScale();
    // What every drawing sets before it measures: the legend's height, the captions.
    void beginDrawing();
    LegendContent legendContent(const QVector<double> &thickness, double barArea) const;

    // The drawing, measured and then painted in the same steps onto the chart's image and onto
    // any other painter: the rose's part (canvas, or a square of the image height) and the
    // whole drawing, widened by the legend.
    QSize roseArea(const QSize &canvas) const;
    QSize drawingSize(const QSize &canvas) const;
    // The frame, and the legend's layout, of a drawing.
    void measureDrawing(const QSize &rose, const QSize &wide);
    // The drawing over a picture of size canvas (empty: none), without the time stamp.
    void paintDrawing(QPainter *painter, const QSize &canvas);
    // The white ground the drawing has: the widened strip, or all of it without a picture.
    void paintGround(QPainter *painter, const QSize &canvas, const QSize &total) const;
    void paintCanvas(QPainter *painter, const QSize &rose);
    // The data, the ring labels over them and the legend.
    void paintDataAndLegend(QPainter *painter, const QSize &rose, const QSize &wide);
    RosePainter::GridLook gridLook() const;
    // The chart's image: the drawing over picture, on the ground the image has, and the time
    // stamp.
    QImage renderedImage(const QImage &picture);

    RoseTexts m_texts;
    QFont m_ownFont; // as set, before the text scale
    RoseCounts m_counts;
    std::unique_ptr<WindroseLegend> m_legend;
    ScaleAdjustment *m_scale = nullptr;
    RoseFrame m_frame;
    WindroseLegend::Layout m_legendLayout;
    QMap<Interval, Spoke> m_classStyles;
    QList<Interval> m_intervals;
    RoseSettings m_settings;
    std::unique_ptr<WindroseStyle> m_style;
    bool m_rebuildNeeded = true;
    DataLine::Counts m_lineCounts;
    QVector<QString> m_textLines;
};

#endif // QWINDROSE_H
