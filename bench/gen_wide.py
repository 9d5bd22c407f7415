#!/usr/bin/env python3
"""A short, wide measurement file: hourly lines of one day and many parameter columns.

Usage: gen_wide.py OUT COLUMNS [LINES=24]

Every column holds radiation-like values (night below zero, a midday peak that differs from
column to column), so that every rose has bars in several classes. Deterministic.
"""
import datetime
import math
import sys


def header(columns):
    def row(first, entry):
        return "\t".join([first] + [entry(k) for k in range(columns)])

    return [row("source", lambda k: "generated"), row("network", lambda k: "test"),
            row("id", str), row("station", lambda k: "Test Station"), row("x", lambda k: "x"),
            row("time", lambda k: f"P{k:03d}"), row("x", lambda k: "x"),
            row("unit", lambda k: "W/m2")]


def value(hour, column):
    elevation = math.sin(math.pi * (hour - 6) / 12)
    if elevation <= 0:
        return -1.0 - (column % 3)
    return elevation * (300 + 70 * (column % 13))


def main(out, columns, lines):
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(header(columns)) + "\n")
        start = datetime.datetime(2012, 1, 1)
        for line in range(lines):
            t = start + datetime.timedelta(hours=line)
            stamp = t.strftime("%d.%m.%Y %H:%M")
            values = [f"{value(t.hour, k):.1f}" for k in range(columns)]
            f.write(stamp + "\t" + "\t".join(values) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]), int(sys.argv[3]) if len(sys.argv) > 3 else 24)
