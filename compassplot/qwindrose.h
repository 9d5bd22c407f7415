#ifndef QWINDROSE_H
#define QWINDROSE_H

#include "classcount.h"
#include "interval.h"
#include "qpaintable.h"
#include "roselayout.h"
#include "spoke.h"
#include "windroseinterface.h"

#include <QDateTime>
#include <QMap>
#include <QPen>
#include <QString>
#include <QStringList>
#include <QVector>

class ScaleAdjustment;
class WindroseLegend;
class WindroseStyle;

// The chart object: counts measurements of a value and a direction into direction sectors
// and value classes and paints them as a rose with a legend, a scale and caption texts.
// Callers outside the plug-in see only WindRoseInterface (or SolarRoseInterface).
class QWindRose : public QPaintable, public WindRoseInterface
{
    Q_OBJECT
    Q_INTERFACES(WindRoseInterface)
    Q_DISABLE_COPY(QWindRose)
public:
    // The caption texts of the chart.
    struct RoseTexts
    {
        QString speedDirectionText;
        QString legendTitle;
        QString stationText;
        QString parameterText;
        QDateTime firstTime;
        QDateTime lastTime;
        QString statisticsText;
        QString intervalText;
    };

    using SectorMap = QMap<Interval, QMap<Interval, ClassCount *>>;

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
    Q_INVOKABLE bool setDataDrawSizeFactor(double factor) override;
    Q_INVOKABLE bool setFixedScale(double max_percent, int segments) override;
    Q_INVOKABLE bool setLegendText(const QString &text, bool warning) override;
    Q_INVOKABLE bool setFixedLegendWidth(int width) override;
    Q_INVOKABLE bool setAllDataCount(int allDataCount) override;
    Q_INVOKABLE bool setEnableBackground(bool enable) override;
    Q_INVOKABLE bool setEnableLegend(bool enable) override;
    Q_INVOKABLE bool setEnableGrid(bool enable) override;

    // Operations for subclasses, in this order.
    // Renders the whole chart into the paintable image; always 1.
    virtual char render(int unused);
    // The drawing parameters of a class; a default Spoke when there are none.
    virtual Spoke classStyle(Interval key, ClassCount *count) const;
    // Parses one header or data record of the "->" text format.
    virtual bool addDataLine(const QStringList &fields, bool header);
    virtual void setDefaultIntervals();
    // The table's row label of a sector.
    virtual QString sectorLabel(const Interval &sector, int index) const;
    // Diameter in pixels available to the rings.
    virtual double roseDiameter() const;
    // Thickness in pixels of the segments of class index classIndex.
    virtual double ringRadius(int classIndex) const;
    virtual double outerRingSize() const;
    virtual void buildSectors(double fullCircle);
    virtual double fullCircle() const;
    // Compass letters and guide ticks.
    virtual void drawBackground(QPainter *painter);
    // Scale rings, their labels and the first class's share in the centre.
    virtual void drawGrid(QPainter *painter);
    // The stacked class segments of every sector.
    virtual void drawData(QPainter *painter);

    // Helpers for subclasses.
    int directionsCount() const;
    void setFullCircle(double fullCircle);
    void setGridPen(const QPen &pen);
    void setLabelAngle(double angle);
    int legendPrecision() const;

    // Derived values. Percentages are relative to the counted total (0 when it is 0).
    double percent(int count) const;
    // Sum of the percentages of the k-th sector's classes except its first (calm) class.
    double sectorTotal(int k) const;
    double maxSectorTotal() const;
    // Sum over all sectors of the percentage of the i-th class.
    double classTotal(int i) const;
    // "(" low " - " high "]", with -inf / inf for the open limits.
    QString intervalLabel(const Interval &interval) const;

    // Read access for the legend, the solar rose and tests.
    const SectorMap &spokes() const { return m_spokes; }
    const QList<Interval> &intervals() const { return m_intervals; }
    const QMap<Interval, Spoke> &classStyles() const { return m_classStyles; }
    const RoseTexts &texts() const { return m_texts; }
    QString unitText() const { return m_unitText; }
    QVector<QString> textLines() const { return m_textLines; }
    WindroseLegend *legend() const { return m_legend; }
    WindroseStyle *style() const { return m_style; }
    ScaleAdjustment *scale() const { return m_scale; }
    int imageHeight() const { return m_imageHeight; }
    int countedTotal() const { return m_countedTotal; }
    int ringCount() const { return m_ringScale.ringCount; }
    double ringStep() const { return m_ringScale.ringStep; }
    int holeRadius() const { return m_holeRadius; }
    double scaleMinimum() const { return m_ringScale.minimum; }
    double scaleMaximum() const { return m_ringScale.maximum; }
    // The scale of the rings as the last drawing fixed it.
    const RoseLayout::Scale &ringScale() const { return m_ringScale; }
    double fixedScaleMaximum() const { return m_fixedScaleMaximum; }
    int fixedScaleSegments() const { return m_fixedScaleSegments; }
    double sectorWidth() const { return m_sectorWidth; }
    double sectorRangeLow() const { return m_sectorRangeLow; }
    double sectorRangeHigh() const { return m_sectorRangeHigh; }
    double dataDrawSizeFactor() const { return m_dataDrawSizeFactor; }
    bool rebuildNeeded() const { return m_rebuildNeeded; }
    bool enableBackground() const { return m_enableBackground; }
    bool enableLegend() const { return m_enableLegend; }
    bool enableGrid() const { return m_enableGrid; }
    QPen gridPen() const { return m_gridPen; }
    double labelAngle() const { return m_labelAngle; }
    double rotation() const { return m_rotation; }
    int linesRead() const { return m_linesRead; }
    int shortLines() const { return m_shortLines; }
    int rejectedLines() const { return m_rejectedLines; }

protected:
    // Replaces the segment style; the chart owns it.
    void setStyle(WindroseStyle *style);
    void setRebuildNeeded(bool needed) { m_rebuildNeeded = needed; }
    void setSpeedDirectionTextMember(const QString &text) { m_texts.speedDirectionText = text; }
    // Deletes every ClassCount and empties the sector map.
    void freeCounts();
    // Binds the scale plug-in; null when it cannot be found.
    void bindScale();
    // Adds the sector key with a fresh zeroed count per class, replacing (and freeing) the
    // counts of an equal key.
    void insertSector(const Interval &key);
    // The count record a measurement belongs to, or null when it falls outside every sector
    // or class. Allocates nothing.
    ClassCount *findCount(double value, double direction) const;
    // Sum of the percentages of all classes but the first.
    double classesTotal(const QMap<Interval, ClassCount *> &classes) const;
    // The table's header line: corner text, class cells and the sum sign.
    QString tableHeader() const;
    // A ring's label: its text (empty when the ring shows none), the distance from the centre
    // it is measured at, and its baseline origin.
    struct RingLabel
    {
        QString text;
        int radius = 0;
        QPoint baseline;
    };
    // The labels of the rings, the value followed by suffix; of closely packed rings only those
    // that do not cover each other.
    QVector<RingLabel> ringLabels(
        const QVector<RoseLayout::Ring> &rings, const QString &suffix) const;
    // The rings of the scale plug-in (drawn only with the background, labelled with the grid
    // too) and of the built-in rule (always drawn and labelled).
    void drawPlacedRings(QPainter *painter, const QVector<RoseLayout::Ring> &rings,
        const QVector<RingLabel> &labels) const;
    void drawBuiltInRings(QPainter *painter, const QVector<RoseLayout::Ring> &rings,
        const QVector<RingLabel> &labels) const;

    RoseTexts m_texts;
    SectorMap m_spokes;
    WindroseLegend *m_legend = nullptr;
    ScaleAdjustment *m_scale = nullptr;
    RoseLayout::Scale m_ringScale;
    int m_holeRadius = 0;
    QMap<Interval, Spoke> m_classStyles;
    QList<Interval> m_intervals;
    double m_sectorWidth = 0.0;
    double m_directionsCount = 16;
    double m_sectorRangeLow = 0.0;
    double m_sectorRangeHigh = 0.0;
    WindroseStyle *m_style = nullptr;
    double m_dataDrawSizeFactor = 2.5;
    bool m_rebuildNeeded = true;
    bool m_enableBackground = true;
    bool m_enableLegend = true;
    bool m_enableGrid = true;
    QPen m_gridPen;
    double m_labelAngle = 65.0;
    double m_rotation = 0.0;
    int m_imageHeight = 480;
    int m_linesRead = 0;
    int m_countedTotal = 0;
    int m_shortLines = 0;
    int m_rejectedLines = 0;
    int m_fullCircle = 360;
    QVector<QString> m_textLines;
    QString m_unitText;
    int m_legendPrecision = 2;
    double m_fixedScaleMaximum = 20.0;
    int m_fixedScaleSegments = 4;
};

#endif // QWINDROSE_H
