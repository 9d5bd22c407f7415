#!/usr/bin/env python3
"""The run's page (--format=html) as a browser shows it: the example's page and a small one
made here are rendered by helicart and loaded in headless Chromium, then checked through the
page itself against the run's other files (the roses' PNGs, the counts CSVs, the tables'
TSVs).

Usage: test_page_in_browser.py BIN_DIR SOURCE_DIR    (BIN_DIR holds helicart and its
plug-ins). Exit status 77 (skipped) when no Chromium is installed."""
import colorsys
import csv
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import headlessbrowser  # noqa: E402
import pngpixels  # noqa: E402

BIN, SOURCE = (os.path.abspath(a) for a in sys.argv[1:3])
# As the image tests have it: a pixel differs when a channel is more than 24 off, and at most
# 0.05 % of the compared pixels may differ.
CHANNEL_TOLERANCE = 24
SHARE_TOLERANCE = 0.0005
STAMP_CORNER = (120, 20)  # the time stamp's corner at the bottom left, left out

# A small file: a radiation column whose counts are known, and a column whose label and unit
# hold characters that markup must escape (it gets the default classes).
SMALL_HEADER = ["Station\tR\tX", "Instrument\t-\t-", "Aggregation\t-\t-",
                "Station\tS & <T> \"1\"\tS & <T> \"1\"", "Location\t-\t-",
                "Time\tGSR\t<b>&amp;\"x'", "Remark\t-\t-", "dd.MM.yyyy hh:mm\tW/m2\t<i>"]
SMALL_LINES = ([f"01.06.2023 12:00\t650\t{v}" for v in (1, 2, 3)]
               + [f"01.06.2023 06:00\t{v}\t{v}" for v in (150, 250)]
               + ["01.06.2023 00:00\t-3\t5", "01.06.2023 23:00\tbad\t7"])
SMALL_CLASSES = """<?xml version="1.0" encoding="UTF-8"?>
<skyvaneClasses><parameter><oznaka>GSR</oznaka>
<razred><zacetek>-500</zacetek><konec>0</konec><barva>#1f2a4d|c0</barva></razred>
<razred><zacetek>0</zacetek><konec>200</konec><barva>#ffe066</barva></razred>
<razred><zacetek>200</zacetek><konec>600</konec><barva>#ff9f1c</barva></razred>
<razred><zacetek>600</zacetek><konec>800</konec><barva>#f4641b</barva></razred>
<razred><zacetek>800</zacetek><konec>1500</konec><barva>#6a1b9a</barva></razred>
</parameter></skyvaneClasses>
"""

# Where each rose's section is, its segment shapes, its table and what lacks a text.
PAGE_SCRIPT = """JSON.stringify({
  columns: Array.from(document.querySelectorAll('section.column')).map(s => {
    const f = s.querySelector('figure.rose'), r = f.getBoundingClientRect();
    return {heading: s.querySelector('h2').textContent,
      rect: [r.x + scrollX, r.y + scrollY, r.width, r.height],
      shapes: Array.from(f.querySelectorAll('svg.segments path')).map(
        p => [p.getAttribute('d'), p.querySelector('title').textContent]),
      caption: Array.from(s.querySelectorAll('caption span')).map(e => e.textContent),
      rows: Array.from(s.querySelectorAll('table tr')).map(
        tr => Array.from(tr.cells).map(c => c.textContent)),
      panels: Array.from(s.querySelectorAll('div.panel')).map(p => ({
        title: p.querySelector('h3').textContent,
        shapes: Array.from(p.querySelectorAll('svg.segments path')).map(
          e => [e.getAttribute('d'), e.querySelector('title').textContent])}))};
  }),
  untitled: Array.from(document.querySelectorAll('img:not([alt]), svg')).filter(
    e => e.tagName === 'IMG' || !(e.querySelector(':scope > title') || e.getAttribute('aria-label'))
  ).length,
  unscoped: document.querySelectorAll('th:not([scope])').length,
  warnings: Array.from(document.querySelectorAll('section.warnings li')).map(e => e.textContent)
})"""


def run_helicart(workdir, input_path, prefix, classes, *options):
    env = dict(os.environ, SOURCE_DATE_EPOCH="0", TZ="UTC0", QT_QPA_PLATFORM="offscreen")
    result = subprocess.run(
        [os.path.join(BIN, "helicart"), "--input=" + input_path, "--output=" + prefix,
         "--classes=" + classes, "--format=png,html,csv,tsv", *options],
        cwd=workdir, env=env, capture_output=True, text=True)
    if result.returncode not in (0, 1):
        raise RuntimeError(f"helicart ended with {result.returncode}: {result.stderr}")
    return result.stderr


def class_colours(classes_path, label):
    """(rgb, alpha) of each class of label's set in classes_path; None for the built-in set."""
    root = ElementTree.parse(classes_path).getroot()
    chosen = next((p for p in root.iter("parameter") if p.findtext("oznaka") == label),
                  root.find("privzeto"))
    if chosen is None:
        return None
    colours = []
    for c in chosen.iter("razred"):
        text, _, alpha = c.findtext("barva").partition("|")
        colours.append((tuple(int(text[i:i + 2], 16) for i in (1, 3, 5)),
                        int(alpha, 16) if alpha else 255))
    return colours


def on_class_colour(pixel, colour, alpha):
    """Whether pixel shows the class: flat over white when translucent, else on its shading
    from the pale tint (half the saturation, full value) to the colour."""
    if alpha < 255:
        ends = [tuple(round(c * alpha / 255 + 255 * (1 - alpha / 255)) for c in colour)] * 2
    else:
        h, s, _ = colorsys.rgb_to_hsv(*(c / 255 for c in colour))
        ends = [tuple(round(c * 255) for c in colorsys.hsv_to_rgb(h, s * 0.5, 1.0)), colour]
    for step in range(21):
        t = step / 20
        mix = [a + t * (b - a) for a, b in zip(*ends)]
        if near(mix, pixel[:3]):
            return True
    return False


def near(p, q, tolerance=CHANNEL_TOLERANCE):
    return all(abs(a - b) <= tolerance for a, b in zip(p, q))


def differing_inside(shown, compared):
    """The pixels that differ, and those compared: every pixel whose neighbours in compared
    are all of its colour (within 8 per channel), the time stamp's corner left out. The
    browser rasterizes the drawing's edges (glyphs, rings, outlines) with its own engine and
    anti-aliasing; everything between them must be as the image has it. A drawing moved by 2
    pixels differs in some 2 % of these pixels, one moved by 1 pixel in about 0.06 %."""
    differing = total = 0
    for y in range(1, compared.height - 1):
        for x in range(1, compared.width - 1):
            if x < STAMP_CORNER[0] and y >= compared.height - STAMP_CORNER[1]:
                continue
            colour = compared.pixel(x, y)
            if not all(near(colour, compared.pixel(x + dx, y + dy), 8)
                       for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
                continue
            total += 1
            differing += not near(shown.pixel(x, y), colour)
    return differing, total


def on_segment(png, centre, colour, alpha):
    """Whether the pixel at centre, or one within 2 pixels of it (a segment's edges and the
    rings under a translucent one have colours of their own), shows the class."""
    x, y = int(centre[0]), int(centre[1])
    return any(on_class_colour(png.pixel(x + dx, y + dy), colour, alpha)
               for dx in range(-2, 3) for dy in range(-2, 3))


def centroid(path_data):
    """The area centroid of the polygon of an SVG path of M, L and Z commands."""
    points = [tuple(map(float, p)) for p in re.findall(r"[ML]([-\d.]+) ([-\d.]+)", path_data)]
    area = cx = cy = 0.0
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        cross = x0 * y1 - x1 * y0
        area += cross
        cx += (x0 + x1) * cross
        cy += (y0 + y1) * cross
    if abs(area) < 1e-9:
        return points[0]
    return cx / (3 * area), cy / (3 * area)


def csv_counts(path):
    """(from, to, class number) -> count, and the class limits by number."""
    counts, limits = {}, {}
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            if row["sector"]:
                counts[(row["from"], row["to"], int(row["class"]))] = int(row["count"])
                limits[int(row["class"])] = (float(row["low"]), float(row["high"]))
    return counts, limits


def title_key(title, limits):
    """(from, to, class number) and the count that a shape's title tells."""
    hours, klass, values = title.split("\n")[:3]
    start, end = hours.split(" to ")
    numbers = [float(n) for n in re.findall(r"-?\d+(?:\.\d+)?", klass.split("]")[0])]
    if klass.startswith("<="):
        number = min(limits)
    elif klass.startswith(">"):
        number = max(limits)
    else:
        number = next(n for n, (low, high) in limits.items() if [low, high] == numbers)
    return (start, end, number), int(values.split(" ")[0])


class Page:
    """A page rendered by helicart with its files, as the browser shows it."""

    def __init__(self, browser, workdir, prefix, classes):
        self.prefix, self.classes = prefix, classes
        with open(prefix + ".html", "rb") as f:
            self.html = f.read()
        browser.open("file://" + prefix + ".html")
        self.url = "file://" + prefix + ".html"
        self.requested, self.errors = browser.requested(), browser.errors()
        self.dom = json.loads(browser.evaluate(PAGE_SCRIPT))
        self.shots = []
        for k, column in enumerate(self.dom["columns"]):
            shot = os.path.join(workdir, os.path.basename(prefix) + f"-shot{k}.png")
            with open(shot, "wb") as f:
                f.write(browser.screenshot(*column["rect"]))
            self.shots.append(shot)

    def file(self, kind, k, suffix):
        return f"{self.prefix}{kind}{k:03d}.{suffix}"


class PageInBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="helicart-page-")
        examples = os.path.join(SOURCE, "examples")
        example_classes = os.path.join(examples, "helicartClasses.xml")
        run_helicart(examples, "station.txt", os.path.join(cls.work, "station"), example_classes)
        small = os.path.join(cls.work, "small.txt")
        with open(small, "w", encoding="utf-8") as f:
            f.write("\n".join(SMALL_HEADER + SMALL_LINES) + "\n")
        small_classes = os.path.join(cls.work, "small.xml")
        with open(small_classes, "w", encoding="utf-8") as f:
            f.write(SMALL_CLASSES)
        run_helicart(cls.work, small, os.path.join(cls.work, "small"), small_classes)
        run_helicart(examples, "station.txt", os.path.join(cls.work, "seasons"), example_classes,
                     "--by=season")
        with headlessbrowser.Browser(headlessbrowser.find_chromium()) as browser:
            cls.pages = [Page(browser, cls.work, os.path.join(cls.work, name), classes)
                         for name, classes in (("station", example_classes),
                                               ("small", small_classes),
                                               ("seasons", example_classes))]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def test_loads_alone_without_errors(self):
        for page in self.pages:
            self.assertEqual(page.requested, [page.url])
            self.assertEqual(page.errors, [])

    def test_roses_show_as_their_pngs(self):
        for page in self.pages:
            for k, shot in enumerate(page.shots):
                shown, compared = pngpixels.read(shot), pngpixels.read(page.file("S", k, "png"))
                self.assertEqual((shown.width, shown.height), (compared.width, compared.height))
                differing, total = differing_inside(shown, compared)
                self.assertLessEqual(differing, total * SHARE_TOLERANCE,
                                     f"{shot}: {differing} of {total} pixels differ")

    def test_shapes_tell_the_counts_where_their_segments_are(self):
        for page in self.pages:
            for k, column in enumerate(page.dom["columns"]):
                counts, limits = csv_counts(page.file("C", k, "csv"))
                png = pngpixels.read(page.file("S", k, "png"))
                label = column["heading"].split(" [")[0]
                colours = class_colours(page.classes, label)
                seen, off = set(), []
                for d, title in column["shapes"]:
                    key, count = title_key(title, limits)
                    self.assertEqual(count, counts[key], title)
                    self.assertNotIn(key, seen, title)
                    seen.add(key)
                    if colours and not on_segment(png, centroid(d), *colours[key[2] - 1]):
                        off.append(title)
                # The ring labels are painted over the bars: a few centres lie under them.
                self.assertLessEqual(len(off), len(seen) // 50, off)
                # A segment too small for a pixel of length has no place to point at.
                missing = [key for key, n in counts.items() if n > 0 and key not in seen]
                self.assertLessEqual(len(missing), len(counts) // 20, missing)

    def test_small_page_tells_what_was_counted(self):
        page = self.pages[1]
        titles = [t for _, t in page.dom["columns"][0]["shapes"]]
        self.assertIn("11:02 to 12:02\n(600, 800] W/m2\n3 values\n42.86 % of all lines, "
                      "100.00 % of the sector", titles)
        self.assertEqual(page.dom["columns"][1]["heading"], "<b>&amp;\"x' [<i>]")
        self.assertTrue(page.dom["warnings"], "the unreadable value is told of on the page")

    def test_group_panels_tell_their_groups_counts(self):
        page = self.pages[2]
        for k, column in enumerate(page.dom["columns"]):
            self.assertEqual([p["title"].split(",")[0] for p in column["panels"]],
                             ["DJF", "MAM", "JJA", "SON"])
            for panel in column["panels"]:
                group = panel["title"].split(",")[0]
                counts, limits = csv_counts(page.file(f"_{group}C", k, "csv"))
                told = dict(title_key(title, limits) for _, title in panel["shapes"])
                self.assertTrue(told, panel["title"])
                self.assertEqual(told, {key: counts[key] for key in told})

    def test_tables_equal_the_tsv_files(self):
        for page in self.pages:
            for k, column in enumerate(page.dom["columns"]):
                with open(page.file("T", k, "tsv"), encoding="utf-8") as f:
                    lines = f.read().split("\n")[:-1]
                self.assertEqual(column["caption"], lines[:4])
                self.assertEqual(column["rows"], [line.split("\t") for line in lines[4:]])

    def test_valid_html5_with_text_alternatives(self):
        for page in self.pages:
            self.assertEqual(page.dom["untitled"], 0)
            self.assertEqual(page.dom["unscoped"], 0)
        try:
            import html5lib
        except ImportError:
            self.skipTest("html5lib is not installed (python3-html5lib)")
        for page in self.pages:
            parser = html5lib.HTMLParser(strict=True)
            parser.parse(page.html)
            self.assertEqual(parser.errors, [])


if __name__ == "__main__":
    if not headlessbrowser.find_chromium():
        print("SKIP: no Chromium installed (scripts/install-deps.sh installs the Debian "
              "package chromium)")
        sys.exit(77)
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
