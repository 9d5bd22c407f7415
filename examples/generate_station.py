#!/usr/bin/env python3
"""Generate one year of synthetic 10-minute measurements for an invented weather station.

The output is helicart's tab-separated measurement file in the row layout: eight header
lines (row 4 station, row 6 labels, row 8 units), then one line per time stamp
"dd.MM.yyyy hh:mm" (the end of the averaging interval, as most loggers write it) with global
solar radiation (GSR, W/m2), air temperature (T, deg C)
and relative humidity (RH, %). A handful of realistic defects (empty values, 'n/a'
fields, a gap, malformed lines) sit at fixed places so that a reader's counts can be
checked against the summary this script prints.

The data are fully synthetic and deterministic: the script uses its own small PRNG
(SplitMix64) so that the output does not depend on the Python version. Running it twice
gives byte-identical files.

Usage: python3 examples/generate_station.py [output-path]   (default: examples/station.txt)
"""

import datetime
import math
import os
import re
import sys

SEED = 2023
YEAR = 2023
STEP_MINUTES = 10

STATION = "Kamnik - Tunjice"
LATITUDE = 46.2354  # degrees north
LONGITUDE = 14.6158  # degrees east
ELEVATION = 383  # metres
UTC_OFFSET_HOURS = 1  # the logger keeps CET (standard time) all year

LABELS = ["GSR", "T", "RH"]
UNITS = ["W/m2", "\u00b0C", "%"]

# Weather regimes of a day: mean cloud cover (0..1) and its within-day variability.
CLEAR, FAIR, MIXED, OVERCAST, RAIN = range(5)
REGIME_COVER = [0.05, 0.30, 0.55, 0.90, 0.98]
REGIME_COVER_SD = [0.02, 0.08, 0.10, 0.05, 0.03]
# Climatological regime frequencies in mid-winter and mid-summer; spring and autumn
# lie in between. The basin climate has many grey, foggy winter days.
WINTER_WEIGHTS = [0.22, 0.13, 0.18, 0.35, 0.12]
SUMMER_WEIGHTS = [0.28, 0.30, 0.22, 0.08, 0.12]
REGIME_PERSISTENCE = 0.55


class SplitMix64:
    """Small, portable PRNG; its stream is fixed by the seed alone."""

    MASK = (1 << 64) - 1

    def __init__(self, seed):
        self.state = seed & self.MASK

    def next_u64(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & self.MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & self.MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & self.MASK
        return z ^ (z >> 31)

    def uniform(self):
        return (self.next_u64() >> 11) * (1.0 / (1 << 53))

    def gauss(self, sd=1.0):
        # Box-Muller, one value per call, so the stream position never depends on state.
        u1 = 1.0 - self.uniform()
        u2 = self.uniform()
        return sd * math.sqrt(-2.0 * math.log(u1)) * math.cos(2.0 * math.pi * u2)

    def weighted(self, weights):
        x = self.uniform() * sum(weights)
        for i, w in enumerate(weights):
            x -= w
            if x < 0.0:
                return i
        return len(weights) - 1

    def integer(self, n):
        return self.next_u64() % n


# --- sun ---------------------------------------------------------------------------------


def solar_angles(day_of_year, clock_hours):
    """Cosine of the solar zenith angle and the declination (radians) for local CET time."""
    gamma = 2.0 * math.pi / 365.0 * (day_of_year - 1 + (clock_hours - 12.0) / 24.0)
    decl = (0.006918 - 0.399912 * math.cos(gamma) + 0.070257 * math.sin(gamma)
            - 0.006758 * math.cos(2 * gamma) + 0.000907 * math.sin(2 * gamma)
            - 0.002697 * math.cos(3 * gamma) + 0.00148 * math.sin(3 * gamma))
    eot_minutes = 229.18 * (0.000075 + 0.001868 * math.cos(gamma) - 0.032077 * math.sin(gamma)
                            - 0.014615 * math.cos(2 * gamma) - 0.040849 * math.sin(2 * gamma))
    solar_time = clock_hours - UTC_OFFSET_HOURS + LONGITUDE / 15.0 + eot_minutes / 60.0
    hour_angle = math.radians(15.0 * (solar_time - 12.0))
    lat = math.radians(LATITUDE)
    cos_zenith = (math.sin(lat) * math.sin(decl)
                  + math.cos(lat) * math.cos(decl) * math.cos(hour_angle))
    return cos_zenith, decl, eot_minutes


def clear_sky_ghi(cos_zenith):
    """Haurwitz clear-sky global horizontal irradiance in W/m2."""
    if cos_zenith <= 0.0:
        return 0.0
    return 1098.0 * cos_zenith * math.exp(-0.057 / cos_zenith)


def sunrise_clock_hours(day_of_year):
    _, decl, eot = solar_angles(day_of_year, 12.0)
    x = -math.tan(math.radians(LATITUDE)) * math.tan(decl)
    half_day = math.degrees(math.acos(max(-1.0, min(1.0, x)))) / 15.0
    return 12.0 - half_day + UTC_OFFSET_HOURS - LONGITUDE / 15.0 - eot / 60.0


def summerness(day_of_year):
    """0 in mid-January, 1 in mid-July."""
    return 0.5 - 0.5 * math.cos(2.0 * math.pi * (day_of_year - 15) / 365.0)


# --- day-to-day weather ------------------------------------------------------------------


def simulate_days(rng, days):
    """Daily regime, synoptic temperature anomaly, diurnal amplitude and dew-point depression.

    Index 0 is the day before the year and index days + 1 the day after it, so that the
    noon-anchored interpolation has neighbours at both ends.
    """
    regimes, anomaly, amplitude, depression = [], [], [], []
    regime = OVERCAST
    anom = 0.0
    dep_noise = 0.0
    for i in range(days + 2):
        doy = i  # day of year of index i (index 0 is 31 Dec of the previous year)
        s = summerness(doy)
        weights = [w * (1 - s) + v * s for w, v in zip(WINTER_WEIGHTS, SUMMER_WEIGHTS)]
        if rng.uniform() >= REGIME_PERSISTENCE:
            regime = rng.weighted(weights)
        anom = 0.7 * anom + rng.gauss(2.2)
        dep_noise = 0.6 * dep_noise + rng.gauss(0.8)
        regime_offset = [1.5 * s - 1.5 * (1 - s), 1.0 * s - 0.5 * (1 - s), 0.0,
                         -1.5 * s + 0.5 * (1 - s), -2.5 * s - 0.5 * (1 - s)][regime]
        base_dep = [3.0 + 7.0 * s, 3.0 + 5.0 * s, 2.0 + 4.0 * s, 1.0 + 1.5 * s, 0.3][regime]
        regimes.append(regime)
        anomaly.append(anom + regime_offset)
        amplitude.append((6.0 + 7.0 * s) * (1.0 - 0.75 * REGIME_COVER[regime]) + 1.0)
        depression.append(max(0.0, base_dep + dep_noise))
    return regimes, anomaly, amplitude, depression


def at_noon_anchors(values, day_index, day_fraction):
    """Linear interpolation of daily values anchored at noon; day_index counts from 0 = 1 Jan."""
    pos = day_index + day_fraction - 0.5 + 1  # +1: values[0] is the day before the year
    i = int(math.floor(pos))
    f = pos - i
    return values[i] * (1.0 - f) + values[i + 1] * f


def diurnal_shape(clock_hours, sunrise):
    """-1 at sunrise, +1 at 14:30, a quick fall after sunset that slows towards dawn."""
    t_max = 14.5
    if sunrise <= clock_hours <= t_max:
        return -math.cos(math.pi * (clock_hours - sunrise) / (t_max - sunrise))
    since_max = clock_hours - t_max if clock_hours > t_max else clock_hours + 24.0 - t_max
    x = since_max / (sunrise + 24.0 - t_max)
    return 1.0 - 2.0 * x ** 0.55


def saturation_vapour_pressure(t):
    return 6.112 * math.exp(17.62 * t / (243.12 + t))


# --- the measurement series --------------------------------------------------------------


def fmt1(x):
    text = "%.1f" % x
    return "0.0" if text == "-0.0" else text


def generate_rows(seed):
    days = 366 if YEAR % 4 == 0 else 365
    daily = simulate_days(SplitMix64(seed), days)
    regimes, anomaly, amplitude, depression = daily
    rng = SplitMix64(seed ^ 0xC10D5)

    start = datetime.datetime(YEAR, 1, 1)
    steps = days * 24 * 60 // STEP_MINUTES
    cover = REGIME_COVER[regimes[1]]
    obscured = False
    cloud_cooling = 0.0
    t_noise = 0.0
    rh_noise = 0.0
    rows = []
    for n in range(steps):
        # Each line holds the mean of one interval and is stamped with the interval's end.
        stamp = start + datetime.timedelta(minutes=(n + 1) * STEP_MINUTES)
        day_index = n * STEP_MINUTES // 1440
        doy = day_index + 1
        minute_of_day = n * STEP_MINUTES % 1440
        clock = (minute_of_day + STEP_MINUTES / 2.0) / 60.0
        day_fraction = clock / 24.0
        s = summerness(doy)
        regime = regimes[day_index + 1]

        # Cloud cover relaxes towards the day's regime (time constant about four hours);
        # summer fair-weather days build cumulus in the afternoon.
        target = REGIME_COVER[regime]
        if regime in (FAIR, MIXED):
            target += 0.25 * s * math.exp(-((clock - 15.0) / 2.5) ** 2)
        cover = target + 0.96 * (cover - target) + rng.gauss(REGIME_COVER_SD[regime])
        cover = min(1.0, max(0.0, cover))
        # Sun behind a cloud or not: a two-state chain whose obscured share equals the cover.
        if obscured:
            obscured = rng.uniform() >= 0.35 * (1.0 - cover)
        else:
            obscured = rng.uniform() < 0.35 * cover

        cos_z, _, _ = solar_angles(doy, clock)
        clear = clear_sky_ghi(cos_z)
        if obscured:
            k = 0.12 + 0.45 * (1.0 - cover) ** 1.5 + rng.gauss(0.04)
            k = min(0.7, max(0.05, k))
            if regime == RAIN:
                k *= 0.6
        else:
            k = 0.97 - 0.05 * cover + rng.gauss(0.01)
            if 0.2 < cover < 0.85:  # light reflected from cloud edges
                k += rng.uniform() * cover * (1.0 - cover)
        # Pyranometers read slightly negative under a clear night sky (thermal offset).
        offset = -(0.3 + 1.5 * (1.0 - cover)) + rng.gauss(0.25)
        offset = min(0.0, max(-2.5, offset))
        gsr = clear * k + offset

        daylight = 1.0 if clear > 0.0 else 0.0
        cloud_cooling = 0.9 * cloud_cooling + 0.1 * (-1.5 * s * daylight * (1.0 if obscured else 0.0))
        t_noise = 0.8 * t_noise + rng.gauss(0.08)
        t_mean = (10.9 - 10.6 * math.cos(2.0 * math.pi * (doy - 17) / 365.0)
                  + at_noon_anchors(anomaly, day_index, day_fraction))
        amp = at_noon_anchors(amplitude, day_index, day_fraction)
        shape = diurnal_shape(clock, sunrise_clock_hours(doy))
        temp = t_mean + 0.5 * amp * shape + cloud_cooling + t_noise

        dew = t_mean - 0.25 * amp - at_noon_anchors(depression, day_index, day_fraction)
        rh_noise = 0.85 * rh_noise + rng.gauss(0.6)
        rh = 100.0 * saturation_vapour_pressure(dew) / saturation_vapour_pressure(temp) + rh_noise
        rh = min(100.0, max(5.0, rh))

        rows.append([stamp.strftime("%d.%m.%Y %H:%M"), fmt1(gsr), fmt1(temp), "%d" % round(rh)])
    return rows


# --- defects -----------------------------------------------------------------------------


def row_index(day, month, hour, minute, year=YEAR):
    """The line whose time stamp (the end of its interval) is the given time."""
    stamp = datetime.datetime(year, month, day, hour, minute)
    delta = stamp - datetime.datetime(YEAR, 1, 1)
    return int(delta.total_seconds()) // (STEP_MINUTES * 60) - 1


def apply_defects(rows, seed):
    """Damage the series at fixed places and return the list of output lines."""
    touched = set()

    def span(first, last):
        """The lines stamped from first to last, each given as (day, month, hour, minute)."""
        return range(row_index(*first), row_index(*last) + 1)

    # Pyranometer taken off for cleaning from 10:00 to 12:00: GSR empty for two hours.
    for i in span((14, 3, 10, 10), (14, 3, 12, 0)):
        rows[i][1] = ""
        touched.add(i)
    # Humidity sensor failure for a whole day: the logger writes n/a.
    for i in span((2, 8, 0, 10), (3, 8, 0, 0)):
        rows[i][3] = "n/a"
        touched.add(i)

    # Scattered single dropouts, placed by their own PRNG stream.
    rng = SplitMix64(seed ^ 0xDEFEC7)
    for column, kind, count in ((1, "", 30), (2, "", 30), (3, "", 30),
                                (1, "n/a", 15), (2, "n/a", 15), (3, "n/a", 15)):
        placed = 0
        while placed < count:
            i = 1 + rng.integer(len(rows) - 2)  # never the first or the last line
            if i not in touched:
                rows[i][column] = kind
                touched.add(i)
                placed += 1

    lines = {i: "\t".join(r) for i, r in enumerate(rows)}

    def rewrite(day, month, hour, minute, make):
        i = row_index(day, month, hour, minute)
        lines[i] = make(rows[i])

    # A line written with decimal commas (a locale switch on the logger PC).
    rewrite(3, 4, 12, 30, lambda r: "\t".join([r[0]] + [v.replace(".", ",") for v in r[1:]]))
    # A time stamp cut short.
    rewrite(17, 5, 13, 40, lambda r: "\t".join([r[0][:-1]] + r[1:]))
    # A time stamp with seconds.
    rewrite(5, 7, 13, 50, lambda r: "\t".join([r[0] + ":00"] + r[1:]))
    # Line noise on the serial link: some characters lost, the last field missing.
    rewrite(21, 9, 6, 20, lambda r: "\t".join(
        [r[0][:7] + "\ufffd" + r[0][8:12] + "\ufffd" + r[0][13:], "\ufffd" + r[1][1:], r[2][:-1] + "\ufffd"]))
    # A record with only the first value.
    rewrite(28, 12, 18, 40, lambda r: "\t".join(r[:2]))

    # Power failure from 03:00 to 05:00: two hours without any line.
    for i in span((19, 11, 3, 10), (19, 11, 5, 0)):
        del lines[i]

    out = []
    restart_after = row_index(10, 10, 8, 30)
    for i in sorted(lines):
        out.append(lines[i])
        if i == restart_after:
            out.append("")
            out.append("LOGGER RESTART %02d.10.%d 08:31" % (10, YEAR))
    return out


# --- file --------------------------------------------------------------------------------


def header_lines():
    location = "%.4f N, %.4f E, %d m" % (LATITUDE, LONGITUDE, ELEVATION)
    raw = "raw data, not validated"
    rows = [
        ["Automatic weather station", "Global solar radiation", "Air temperature",
         "Relative humidity"],
        ["Instrument", "Pyranometer, horizontal", "Pt100 in ventilated radiation shield, 2 m",
         "Capacitive humidity sensor, 2 m"],
        ["Aggregation", "10-minute mean", "10-minute mean", "10-minute mean"],
        ["Station", STATION, STATION, STATION],
        ["Location", location, location, location],
        ["Time"] + LABELS,
        ["Time stamps in CET (UTC+1), end of the interval", raw, raw, raw],
        ["dd.MM.yyyy hh:mm"] + UNITS,
    ]
    return ["\t".join(r) for r in rows]


NUMBER = re.compile(r"^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$")


def valid_stamp(text):
    try:
        datetime.datetime.strptime(text.replace(".", "/"), "%d/%m/%Y %H:%M")
    except ValueError:
        return False
    return re.fullmatch(r"\d\d/\d\d/\d{4} \d\d:\d\d", text.replace(".", "/")) is not None


def summary(data_lines):
    """Counts as the program takes them: every data line counts, good ones are numeric."""
    report = ["data lines: %d" % len(data_lines)]
    for k, label in enumerate(LABELS):
        good, decimals, lo, hi = 0, 0, None, None
        for line in data_lines:
            fields = line.split("\t")
            if not valid_stamp(fields[0]):
                continue
            value = fields[k + 1] if k + 1 < len(fields) else ""
            p = value.find(".")
            if p > 0:
                decimals = max(decimals, len(value) - p - 1)
            if NUMBER.match(value):
                good += 1
                v = float(value)
                lo = v if lo is None else min(lo, v)
                hi = v if hi is None else max(hi, v)
        share = 100.0 * good / len(data_lines)
        report.append("%-3s good %d, unknown %d (%.0f%%), decimals %d, range %s .. %s"
                      % (label, good, len(data_lines) - good, 100.0 - share, decimals,
                         fmt1(lo), fmt1(hi)))
    return report


def main(argv):
    if len(argv) > 2:
        sys.stderr.write("usage: generate_station.py [output-path]\n")
        return 2
    path = argv[1] if len(argv) == 2 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                       "station.txt")
    data = apply_defects(generate_rows(SEED), SEED)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(header_lines() + data) + "\n")
    print("wrote %s" % path)
    for line in summary(data):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
