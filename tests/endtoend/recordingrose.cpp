// A chart plug-in that records every call it gets, for the tests of the run. Each call is one
// line of the file named by HELICART_RECORDING_LOG: the operation's name, then its arguments,
// each percent-encoded and preceded by a tab. drawImage paints a small picture: a white ground
// (when the background is on) and one square per chart, further right for every new chart,
// so that the combined image shows which charts painted into it.
#include "solarroseinterface.h"

#include <QFile>
#include <QObject>
#include <QPainter>
#include <QTime>

namespace {

constexpr QSize kImageSize(400, 300);
int chartsMade = 0;

QString text(double value)
{
    return QString::number(value, 'g', 17);
}

QString text(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

void record(const QString &name, const QStringList &arguments = QStringList())
{
    QFile log(qEnvironmentVariable("HELICART_RECORDING_LOG"));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    QByteArray line = name.toUtf8();
    for (const QString &argument : arguments)
        line += '\t' + argument.toUtf8().toPercentEncoding();
    log.write(line + '\n');
}

} // namespace

class RecordingRose : public QObject, public SolarRoseInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SolarRoseInterface_iid)
    Q_INTERFACES(SolarRoseInterface)

public:
    RecordingRose()
        : m_number(chartsMade++)
    {
        record(QStringLiteral("create"), { QString::number(m_number) });
    }
    ~RecordingRose() override { record(QStringLiteral("destroy"), { QString::number(m_number) }); }

    bool addInterval(double lowLimitValue, double size, QColor color) override
    {
        record(QStringLiteral("addInterval"), { text(lowLimitValue), text(size), color.name() });
        return true;
    }
    bool addIntervalRange(
        double min, double max, QBrush brush, double width, double offset, double length) override
    {
        record(QStringLiteral("addIntervalRange"),
            { text(min), text(max), brush.color().name(QColor::HexArgb), text(width), text(offset),
                text(length) });
        return true;
    }
    bool setImageHeight(int height) override { return call("setImageHeight", height); }
    bool setDirectionsCount(int count) override { return call("setDirectionsCount", count); }
    bool setFont(const QFont &font) override
    {
        record(QStringLiteral("setFont"), { font.toString() });
        return true;
    }
    bool setStationText(QString value) override
    {
        m_captions[0] = value;
        return call("setStationText", value);
    }
    bool setParameterText(QString value) override
    {
        m_captions[1] = value;
        return call("setParameterText", value);
    }
    bool setIntervalText(QString value) override
    {
        m_captions[2] = value;
        return call("setIntervalText", value);
    }
    bool setStatisticsText(QString value) override
    {
        m_captions[3] = value;
        return call("setStatisticsText", value);
    }
    bool setSpeedDirectionText(QString value) override
    {
        return call("setSpeedDirectionText", value);
    }
    bool setUnitText(QString value) override { return call("setUnitText", value); }
    bool setLegendTitle(const QString &value) override { return call("setLegendTitle", value); }
    bool addMeasurement(double speed, double direction) override
    {
        record(QStringLiteral("addMeasurement"), { text(speed), text(direction) });
        return true;
    }
    bool drawImage(QImage &image) override
    {
        record(QStringLiteral("drawImage"),
            { image.isNull() ? QStringLiteral("null")
                             : QStringLiteral("%1x%2").arg(image.width()).arg(image.height()) });
        if (image.isNull()) {
            image = QImage(kImageSize, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
        }
        QPainter painter(&image);
        if (m_background)
            painter.fillRect(image.rect(), Qt::white);
        painter.fillRect(QRect(10 + 40 * m_number, 10, 20, 20), Qt::blue);
        return true;
    }
    bool getTableData(QStringList *data) override
    {
        record(QStringLiteral("getTableData"));
        *data = QStringList(std::begin(m_captions), std::end(m_captions))
            + QStringList { QStringLiteral("Hour\tShare"), QStringLiteral("12\t50") };
        return true;
    }
    bool clearMeasurements() override { return call("clearMeasurements"); }
    bool setLegendPrecision(int precision) override
    {
        return call("setLegendPrecision", precision);
    }
    bool setDataDrawSizeFactor(double factor) override
    {
        record(QStringLiteral("setDataDrawSizeFactor"), { text(factor) });
        return true;
    }
    bool setFixedScale(double maxPercent, int segments) override
    {
        record(QStringLiteral("setFixedScale"), { text(maxPercent), QString::number(segments) });
        return true;
    }
    bool setLegendText(const QString &value, bool warning) override
    {
        record(QStringLiteral("setLegendText"), { value, text(warning) });
        return true;
    }
    bool setFixedLegendWidth(int width) override { return call("setFixedLegendWidth", width); }
    bool setAllDataCount(int count) override { return call("setAllDataCount", count); }
    bool setEnableBackground(bool enable) override
    {
        m_background = enable;
        record(QStringLiteral("setEnableBackground"), { text(enable) });
        return true;
    }
    bool setEnableLegend(bool enable) override
    {
        record(QStringLiteral("setEnableLegend"), { text(enable) });
        return true;
    }
    bool setEnableGrid(bool enable) override
    {
        record(QStringLiteral("setEnableGrid"), { text(enable) });
        return true;
    }
    bool addSolarMeasurement(const QTime &time, double value) override
    {
        record(QStringLiteral("addSolarMeasurement"),
            { time.toString(QStringLiteral("hh:mm")), text(value) });
        return true;
    }
    bool setIntervals(double min, double max, int count, bool limits) override
    {
        record(QStringLiteral("setIntervals"),
            { text(min), text(max), QString::number(count), text(limits) });
        return false;
    }

private:
    bool call(const char *name, const QString &value)
    {
        record(QLatin1String(name), { value });
        return true;
    }
    bool call(const char *name, int value) { return call(name, QString::number(value)); }
    bool call(const char *name)
    {
        record(QLatin1String(name));
        return true;
    }

    const int m_number;
    bool m_background = true;
    QString m_captions[4];
};

#include "recordingrose.moc"
