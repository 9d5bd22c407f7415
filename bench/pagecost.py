#!/usr/bin/env python3
"""What the run's page (--format=html) costs on the example (examples/station.txt, three
columns): the run's time with and without it, alternating, the median of N runs each, and the
page's size, each against its target.

Usage: pagecost.py --helicart PROGRAM [--runs N]
"""
import argparse
import os
import statistics
import subprocess
import tempfile
import time

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
TIME_TARGET = 1.30  # time with the page / time without it, at most
SIZE_TARGET = 2 * 1024 * 1024  # bytes of the example's page, under


def timed(helicart, out, formats):
    start = time.perf_counter()
    subprocess.run([helicart, "--input=station.txt", "--output=" + out, "--format=" + formats],
                   cwd=EXAMPLES, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   env=dict(os.environ, SOURCE_DATE_EPOCH="0", QT_QPA_PLATFORM="offscreen"))
    return time.perf_counter() - start


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
    ratio = statistics.median(page) / statistics.median(plain)
    print(f"example, png:      {statistics.median(plain):.3f} s (median of {args.runs})")
    print(f"example, png,html: {statistics.median(page):.3f} s (median of {args.runs})")
    print(f"page's share of the run: {ratio:.2f} x the time (target at most {TIME_TARGET:.2f}): "
          f"{'met' if ratio <= TIME_TARGET else 'MISSED'}")
    print(f"page's size: {size / 1024 / 1024:.2f} MB (target under "
          f"{SIZE_TARGET / 1024 / 1024:.0f} MB): {'met' if size < SIZE_TARGET else 'MISSED'}")


if __name__ == "__main__":
    main()
