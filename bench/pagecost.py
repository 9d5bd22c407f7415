#!/usr/bin/env python3
"""What the run's page (--format=html) costs on the example (examples/station.txt, three
columns): the run's time with and without it, alternating, the median of N runs each, and the
page's size, each against its target. The processor time (user and system, of all threads) is
printed beside the wall-clock time: on a machine that others load, it tells what the page
costs when the wall-clock time cannot.

Usage: pagecost.py --helicart PROGRAM [--runs N]
"""
import argparse
import os
import resource
import statistics
import subprocess
import tempfile
import time

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
TIME_TARGET = 1.30  # time with the page / time without it, at most
SIZE_TARGET = 2 * 1024 * 1024  # bytes of the example's page, under


def cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(helicart, out, formats):
    """Wall-clock and processor seconds of one run."""
    start, start_cpu = time.perf_counter(), cpu()
    subprocess.run([helicart, "--input=station.txt", "--output=" + out, "--format=" + formats],
                   cwd=EXAMPLES, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(os.environ, SOURCE_DATE_EPOCH="0", QT_QPA_PLATFORM="offscreen"))
    return time.perf_counter() - start, cpu() - start_cpu


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--helicart", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    helicart = os.path.abspath(args.helicart)
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, "station")
        timed(helicart, out, "png,html")  # warms the caches
        plain, page = [], []
        for _ in range(args.runs):
            plain.append(timed(helicart, out, "png"))
            page.append(timed(helicart, out, "png,html"))
        size = os.path.getsize(out + ".html")
    wall = [statistics.median(t[0] for t in runs) for runs in (plain, page)]
    processor = [statistics.median(t[1] for t in runs) for runs in (plain, page)]
    for name, w, p in zip(("png:     ", "png,html:"), wall, processor):
        print(f"example, {name} {w:.3f} s, processor {p:.3f} s (medians of {args.runs})")
    ratio = wall[1] / wall[0]
    print(f"page's share of the run: {ratio:.2f} x the time (target at most {TIME_TARGET:.2f}): "
          f"{'met' if ratio <= TIME_TARGET else 'MISSED'}; processor time "
          f"{processor[1] / processor[0]:.2f} x; load average {os.getloadavg()[0]:.1f} on "
          f"{os.cpu_count()} cores")
    print(f"page's size: {size / 1024 / 1024:.2f} MB (target under "
          f"{SIZE_TARGET / 1024 / 1024:.0f} MB): {'met' if size < SIZE_TARGET else 'MISSED'}")


if __name__ == "__main__":
    main()
