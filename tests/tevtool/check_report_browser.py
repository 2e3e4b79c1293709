#!/usr/bin/env python3
"""tevtool report in a real browser (Debian's chromium, headless): the rendered page's figures
table holds each flight's figures as tevtool stats --json gives them, and its comparison table
the simulation's apogee and the difference; a screenshot and a printed PDF (as PNG pages) are
kept in WORK_DIR for people, and both show the plots.
Usage: check_report_browser.py TEVTOOL SAMPLES_DIR SIM_CSV WORK_DIR"""
import csv
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

import html.parser
import re

from report_page import Tables, run


class SetNumbers(html.parser.HTMLParser):
    """The number after every "set" the page shows ("hop.tev, set 1", "data set 1", "Data set: 1")."""

    def __init__(self):
        super().__init__()
        self.found = []
        self._style = False

    def handle_starttag(self, tag, attrs):
        self._style = tag == "style"

    def handle_endtag(self, tag):
        self._style = False

    def handle_data(self, data):
        if not self._style:
            self.found += re.findall(r"\b[Ss]et:?\s+(\d+)", data)

tevtool, samples, sim_path, work = sys.argv[1:5]
os.makedirs(work, exist_ok=True)
page = os.path.join(work, "report.html")
flights = sorted(glob.glob(os.path.join(samples, "*.tev")))
run(tevtool, "report", *flights, "--sim", sim_path, "-o", page)

browser = shutil.which("chromium")
if not browser:
    sys.exit("chromium not found (tools/scripts/install-deps.sh installs it)")
profile = tempfile.mkdtemp(prefix="report-browser-", dir=work)


def chromium(*args):
    command = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               f"--user-data-dir={profile}", *args, "file://" + os.path.abspath(page)]
    done = subprocess.run(command, capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        sys.exit(f"chromium {' '.join(args)}: exit {done.returncode}: {done.stderr[-2000:]}")
    return done.stdout


def near(cell, value, what):
    """A cell shows the value to one decimal, as tevtool stats's text does."""
    if value is None:
        if cell not in ("none", "never"):
            sys.exit(f"{what}: '{cell}' where there is no figure")
        return
    if abs(float(cell) - value) > 0.05 + 1e-9:
        sys.exit(f"{what}: the page says {cell}, tevtool stats {value}")


# Table headers and the stats --json keys they show.
KEYS = {"Apogee [m]": "apogee_m", "Time to apogee [s]": "launch_to_apogee_s",
        "Peak velocity [km/h]": "peak_velocity_km_h", "Burn-out [s]": "burnout_s",
        "Descent rate [m/s]": "descent_rate_m_s", "Final descent rate [m/s]": "final_descent_rate_m_s",
        "Flight duration [s]": "flight_duration_s", "Line A fired [s]": ("line_a", "fired_s"),
        "Line B fired [s]": ("line_b", "fired_s")}

try:
    dom = chromium("--dump-dom")
    tables = Tables()
    tables.feed(dom)
    figures = tables.table("Flight figures")
    comparison = tables.table("Flights against the simulation")
    headers = figures["headers"]
    if len(figures["rows"]) != len(flights) or len(comparison["rows"]) != len(flights):
        sys.exit(f"{len(flights)} flights, but {len(figures['rows'])} and {len(comparison['rows'])} rows")

    # The sample simulation: its header is a comment, its rows time and altitude first.
    with open(sim_path, newline="") as f:
        altitude = [float(r[1]) for r in csv.reader(line for line in f if line.strip() and not line.startswith("#"))]
    sim_apogee = max(altitude) - altitude[0]

    for flight, row, compared in zip(flights, figures["rows"], comparison["rows"]):
        stats = json.loads(run(tevtool, "stats", flight, "--json"))
        name = os.path.basename(flight)
        if row[0] != name or compared[0] != f"{name}, set 1":
            sys.exit(f"rows out of order: {row[0]}, {compared[0]} for {name}")
        for header_text, key in KEYS.items():
            cell = row[headers.index(header_text)]
            value = stats[key[0]][key[1]] if isinstance(key, tuple) else stats[key]
            near(cell, value, f"{name} {header_text}")
        cells = dict(zip(comparison["headers"], compared))
        near(cells["Apogee simulated [m]"], sim_apogee, f"{name} simulated apogee")
        near(cells["Apogee flown [m]"], stats["apogee_m"], f"{name} flown apogee")
        near(cells["Difference [%]"], (stats["apogee_m"] - sim_apogee) / sim_apogee * 100, f"{name} difference")
    print(f"DOM: {len(flights)} flights agree with tevtool stats --json; simulated apogee {sim_apogee:.1f} m")

    # Sets are numbered from 1 wherever the page names one, as the window numbers them: each sample
    # file holds one set, so every number is 1. Per flight: its row, the comparison's row, the
    # section's heading and caption, the plot's title, caption and legend.
    if any(row[headers.index("Set")] != "1" for row in figures["rows"]):
        sys.exit(f"the Set column reads {[row[headers.index('Set')] for row in figures['rows']]}")
    numbers = SetNumbers()
    numbers.feed(dom)
    if set(numbers.found) != {"1"} or len(numbers.found) < 6 * len(flights):
        sys.exit(f"sets named on the page: {numbers.found}")
    print(f"DOM: sets numbered from 1 in every table and title ({len(numbers.found)} mentions)")

    def red_pixels(png):
        raw = subprocess.run(["convert", png, "-alpha", "off", "-depth", "8", "rgb:-"], capture_output=True,
                             check=True, timeout=120).stdout
        return sum(1 for i in range(0, len(raw) - 2, 3) if raw[i] > 200 and raw[i + 1] < 60 and raw[i + 2] < 60)

    shot = os.path.join(work, "report.png")
    chromium("--window-size=1280,2400", "--hide-scrollbars", f"--screenshot={shot}")
    if red_pixels(shot) < 2000:
        sys.exit(f"{shot} shows no altitude curve")

    pdf = os.path.join(work, "report.pdf")
    chromium("--no-pdf-header-footer", f"--print-to-pdf={pdf}")
    for old in glob.glob(os.path.join(work, "report-page-*.png")):
        os.remove(old)
    subprocess.run(["pdftoppm", "-r", "60", "-png", pdf, os.path.join(work, "report-page")], check=True, timeout=120)
    pages = sorted(glob.glob(os.path.join(work, "report-page-*.png")))
    # The tables and the overlay, then a page a flight.
    if len(pages) < len(flights) + 1:
        sys.exit(f"the printed report has {len(pages)} pages for {len(flights)} flights")
    if red_pixels(pages[-1]) < 500:
        sys.exit(f"{pages[-1]} shows no altitude curve")
    print(f"kept for people: {shot}, {pdf} and {len(pages)} pages as {os.path.join(work, 'report-page-N.png')}")
finally:
    shutil.rmtree(profile, ignore_errors=True)
