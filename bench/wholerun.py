#!/usr/bin/env python3
"""Whole runs of helicart, timed beside the peer script and measured for peak memory.

Usage: wholerun.py --helicart PROGRAM --work FOLDER [--runs N] [--python INTERPRETER]

Prints, each against its target:
- a year of minute data with 6 columns: helicart and the peer (pandas and matplotlib drawing the
  same roses, tables and combined image), alternating, the median of N runs each;
- 24 hourly lines with 10 and with 100 parameter columns, alternating, the median of N runs;
- helicart's peak memory for 1 and 5 years of minute data;
- the memory a 100-column combined image costs: the peak of the 100-column run less the peak of
  a 1-column run of the same lines, against the image's own size (width * height * 4 bytes);
- the year of minute data written as an ISO CSV (one header line, ISO 8601 stamps, commas)
  against the same data in the program's own layout, alternating, the median of N runs;
- the peak memory of the year with one data line of 60 million characters, against the year.

- the year of minute data with --by=month (a rose per column and month, counted in the same pass
  as the column) against the run without it, alternating, the median of N runs.

--only iso, --only long-line or --only months runs that figure alone (no peer needed).

Times are wall-clock seconds of the whole process; peak memory is the child's maximum resident
set (getrusage). The input files are generated into FOLDER once and kept there.
"""
import argparse
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = os.path.join(HERE, "peer")

SPEED_TARGET = 20.0       # peer time / helicart time, at least
WIDE_RATIO_TARGET = 12.0  # 100-column time / 10-column time, at most
WIDE_SECONDS_TARGET = 8.0  # 100-column time, under
MEMORY_GROWTH_TARGET = 1.10  # 5-year peak / 1-year peak, at most
COMBINED_COST_TARGET = 2.0   # combined image's memory cost / its own size, at most
LONG_LINE_BYTES = 60_000_000
LONG_LINE_EXTRA_TARGET = 10 * 1024 * 1024  # peak with the long line less without, at most
ISO_CSV_TARGET = 1.5         # ISO CSV time / own layout time, at most
ISO_CSV_OPTIONS = ["--header=plain", "--separator=comma", "--timeFormat=iso"]
BY_MONTH_TARGET = 3.0        # --by=month time / time without it, at most


class Measurement:
    def __init__(self, seconds, peak_bytes):
        self.seconds = seconds
        self.peak_bytes = peak_bytes


def measure(command, cwd):
    """Runs command to its end: wall time and peak resident memory. A failure stops the bench."""
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=errors)
        _, status, usage = os.wait4(child.pid, 0)
        seconds = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            errors.seek(0)
            sys.exit(f"wholerun: {' '.join(command)} ended with {child.returncode}:\n"
                     + errors.read().decode(errors="replace"))
    return Measurement(seconds, usage.ru_maxrss * 1024)


def generate(folder, name, script, *arguments):
    """The input file name in folder, written by script (file name, then arguments) once."""
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        print(f"generating {name} ...", flush=True)
        subprocess.run([sys.executable, script, path + ".part", *map(str, arguments)],
                       check=True)
        os.replace(path + ".part", path)
    return path


class Runner:
    """Runs helicart and the peer, each in a fresh output folder inside work."""

    def __init__(self, helicart, python, work):
        self.helicart = helicart
        self.python = python
        self.work = work

    def _out(self):
        return tempfile.mkdtemp(dir=self.work, prefix="out-")

    def helicart_run(self, input_file, options=()):
        out = self._out()
        # A working folder without a classes file: the built-in classes, as the peer has.
        m = measure([self.helicart, f"--input={input_file}", f"--output={out}/run", *options],
                    cwd=out)
        m.combined_size = png_size(os.path.join(out, "run.png"))
        remove_tree(out)
        return m

    def peer_run(self, input_file):
        out = self._out()
        m = measure([self.python, os.path.join(PEER, "peer_rose.py"), input_file, f"{out}/run"],
                    cwd=out)
        remove_tree(out)
        return m


def remove_tree(folder):
    for name in os.listdir(folder):
        os.remove(os.path.join(folder, name))
    os.rmdir(folder)


def png_size(path):
    """Width and height from a PNG's header, or None when there is no such file."""
    try:
        with open(path, "rb") as f:
            head = f.read(24)
    except OSError:
        return None
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def alternate(runs, *runners):
    """Each runner once per round, in turn, for runs rounds: the measurements of each."""
    results = [[] for _ in runners]
    for _ in range(runs):
        for i, runner in enumerate(runners):
            results[i].append(runner())
    return results


def median_seconds(ms):
    return statistics.median(m.seconds for m in ms)


def mib(n):
    return f"{n / (1 << 20):8.1f} MiB"


def verdict(met):
    return "met" if met else "MISSED"


def line(label, figure, target=""):
    print(f"  {label:<34}{figure:>14}   {target}")


def timed_line(label, ms):
    """The median time of the runs ms, with each run's time beside it."""
    line(label, f"{median_seconds(ms):.3f} s",
         "runs: " + " ".join(f"{m.seconds:.3f}" for m in ms))


def whole_run(runner, big, runs):
    print(f"\nA year of minute data, 6 columns ({os.path.getsize(big) / 1e6:.1f} MB): "
          f"median of {runs}, alternating")
    # One run each before timing: page cache, the peer's font cache.
    runner.helicart_run(big)
    runner.peer_run(big)
    ours, peer = alternate(runs, lambda: runner.helicart_run(big), lambda: runner.peer_run(big))
    t_ours, t_peer = median_seconds(ours), median_seconds(peer)
    timed_line("helicart", ours)
    timed_line("peer (pandas + matplotlib)", peer)
    line("peer / helicart", f"{t_peer / t_ours:.1f} x",
         f"target >= {SPEED_TARGET:g} x: {verdict(t_peer / t_ours >= SPEED_TARGET)}")
    line("helicart peak memory", mib(max(m.peak_bytes for m in ours)))
    line("peer peak memory", mib(max(m.peak_bytes for m in peer)))
    return max(m.peak_bytes for m in ours)


def wide_runs(runner, narrow, wide, runs):
    print(f"\n24 hourly lines, 10 and 100 parameter columns: median of {runs}, alternating")
    ten, hundred = alternate(runs, lambda: runner.helicart_run(narrow),
                             lambda: runner.helicart_run(wide))
    t10, t100 = median_seconds(ten), median_seconds(hundred)
    line("10 columns", f"{t10:.3f} s")
    line("100 columns", f"{t100:.3f} s",
         f"target < {WIDE_SECONDS_TARGET:g} s: {verdict(t100 < WIDE_SECONDS_TARGET)}")
    line("100 / 10 columns", f"{t100 / t10:.1f} x",
         f"target <= {WIDE_RATIO_TARGET:g} x: {verdict(t100 / t10 <= WIDE_RATIO_TARGET)}")
    return hundred


def memory_by_length(runner, year_peak, five_years):
    print("\nPeak memory against the file's length")
    m = runner.helicart_run(five_years)
    line("1 year", mib(year_peak))
    line("5 years", mib(m.peak_bytes), f"({m.seconds:.3f} s)")
    growth = m.peak_bytes / year_peak
    line("5 years / 1 year", f"{growth:.3f}",
         f"target <= {MEMORY_GROWTH_TARGET:g}: {verdict(growth <= MEMORY_GROWTH_TARGET)}")


def combined_cost(runner, single, hundred):
    print("\nMemory of the 100-column combined image")
    one = runner.helicart_run(single)
    size = hundred[0].combined_size
    if size is None:
        print("  no combined image written")
        return
    image = size[0] * size[1] * 4
    peak = max(m.peak_bytes for m in hundred)
    cost = peak - one.peak_bytes
    line("combined image", f"{size[0]} x {size[1]}", f"{mib(image).strip()} at 4 bytes a pixel")
    line("peak, 100 columns", mib(peak))
    line("peak, 1 column", mib(one.peak_bytes))
    line("difference / image", f"{cost / image:.2f}",
         f"target <= {COMBINED_COST_TARGET:g}: {verdict(cost / image <= COMBINED_COST_TARGET)}")


def with_long_line(folder, own):
    """The file own with one data line of 60 million characters in its middle, written once."""
    path = os.path.join(folder, "year-long-line.txt")
    if os.path.exists(path):
        return path
    print("generating year-long-line.txt ...", flush=True)
    # Line by line and the long field in pieces: the memory of this process would count in
    # the peak of every child it starts later.
    with open(own, "rb") as source:
        count = sum(1 for _ in source)
    with open(own, "rb") as source, open(path + ".part", "wb") as target:
        for number, text in enumerate(source):
            if number == count // 2:
                fields = text.split(b"\t")
                target.write(fields[0] + b"\t")
                for _ in range(LONG_LINE_BYTES // 1_000_000):
                    target.write(b"1" * 1_000_000)
                target.write(b"\t" + b"\t".join(fields[2:]))
            target.write(text)
    os.replace(path + ".part", path)
    return path


def long_line_run(runner, own, long_line):
    print("\nA data line of 60 million characters")
    plain = runner.helicart_run(own)
    long = runner.helicart_run(long_line)
    extra = long.peak_bytes - plain.peak_bytes
    line("without it", mib(plain.peak_bytes), f"({plain.seconds:.3f} s)")
    line("with it", mib(long.peak_bytes), f"({long.seconds:.3f} s)")
    line("extra peak memory", mib(extra),
         f"target <= {mib(LONG_LINE_EXTRA_TARGET).strip()}: "
         f"{verdict(extra <= LONG_LINE_EXTRA_TARGET)}")


def iso_csv(folder, own):
    """The file own (the program's layout) as an ISO CSV in folder, written once."""
    path = os.path.join(folder, "year-iso.csv")
    if os.path.exists(path):
        return path
    print("generating year-iso.csv ...", flush=True)
    with open(own, encoding="utf-8") as source, open(path + ".part", "w",
                                                     encoding="utf-8") as target:
        header = [next(source).rstrip("\n").split("\t") for _ in range(8)]
        labels, units = header[5], header[7]
        target.write(",".join(["Time"] + [f"{label} [{unit}]" for label, unit in
                                          zip(labels[1:], units[1:])]) + "\n")
        for text in source:
            fields = text.rstrip("\n").split("\t")
            stamp = fields[0]
            iso = f"{stamp[6:10]}-{stamp[3:5]}-{stamp[0:2]}T{stamp[11:16]}:00Z"
            target.write(",".join([iso] + fields[1:]) + "\n")
    os.replace(path + ".part", path)
    return path


def iso_csv_run(runner, own, iso, runs):
    print(f"\nThe year as ISO CSV against the program's own layout: median of {runs}, alternating")
    runner.helicart_run(own)
    runner.helicart_run(iso, ISO_CSV_OPTIONS)
    plain, csv = alternate(runs, lambda: runner.helicart_run(own),
                           lambda: runner.helicart_run(iso, ISO_CSV_OPTIONS))
    t_plain, t_csv = median_seconds(plain), median_seconds(csv)
    timed_line("own layout", plain)
    timed_line("ISO CSV", csv)
    line("ISO CSV / own layout", f"{t_csv / t_plain:.2f} x",
         f"target <= {ISO_CSV_TARGET:g} x: {verdict(t_csv / t_plain <= ISO_CSV_TARGET)}")


def by_month_run(runner, year, runs):
    print(f"\nThe year by month against the year alone: median of {runs}, alternating")
    runner.helicart_run(year)
    alone, months = alternate(runs, lambda: runner.helicart_run(year),
                              lambda: runner.helicart_run(year, ["--by=month"]))
    t_alone, t_months = median_seconds(alone), median_seconds(months)
    timed_line("year alone", alone)
    timed_line("--by=month", months)
    line("--by=month / alone", f"{t_months / t_alone:.2f} x",
         f"target <= {BY_MONTH_TARGET:g} x: {verdict(t_months / t_alone <= BY_MONTH_TARGET)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--helicart", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--python", default="/usr/bin/python3")
    parser.add_argument("--only", choices=["iso", "long-line", "months"])
    args = parser.parse_args()

    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    big_script = os.path.join(PEER, "gen_big.py")
    wide_script = os.path.join(HERE, "gen_wide.py")
    year = generate(work, "year.txt", big_script)
    runner = Runner(os.path.abspath(args.helicart), args.python, work)
    if args.only == "iso":
        iso_csv_run(runner, year, iso_csv(work, year), args.runs)
        return
    if args.only == "long-line":
        long_line_run(runner, year, with_long_line(work, year))
        return
    if args.only == "months":
        by_month_run(runner, year, args.runs)
        return
    five_years = generate(work, "five-years.txt", big_script, 1, 5)
    single = generate(work, "wide-1.txt", wide_script, 1)
    narrow = generate(work, "wide-10.txt", wide_script, 10)
    wide = generate(work, "wide-100.txt", wide_script, 100)

    year_peak = whole_run(runner, year, args.runs)
    hundred = wide_runs(runner, narrow, wide, args.runs)
    memory_by_length(runner, year_peak, five_years)
    combined_cost(runner, single, hundred)
    iso_csv_run(runner, year, iso_csv(work, year), args.runs)
    long_line_run(runner, year, with_long_line(work, year))
    by_month_run(runner, year, args.runs)


if __name__ == "__main__":
    main()
