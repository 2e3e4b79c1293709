#!/usr/bin/env python3
"""tevtool report's page reaches nothing outside itself: no src or href that leaves the file, no
script, style sheet, font or image loaded from anywhere. The checker is first shown pages that do
reach out, so that a checker that finds nothing cannot pass.
Usage: check_report_standalone.py TEVTOOL SAMPLES_DIR SIM_CSV WORK_DIR"""
import glob
import os
import sys

from report_page import outside_references, run

LEAKING = [
    '<img src="https://example.org/a.png">',
    '<a href="other.html">x</a>',
    '<svg><image xlink:href="pic.png"/></svg>',
    '<link rel="stylesheet" href="s.css">',
    '<style>body{background:url(bg.png)}</style>',
    '<style>@import "x.css";</style>',
    '<div style="background: url(\'x.png\')"></div>',
    '<script>fetch("x")</script>',
]
for page in LEAKING:
    if not outside_references(page):
        sys.exit(f"the checker misses: {page}")
if outside_references('<svg><g clip-path="url(#f1-view1)"></g></svg><a href="#top">top</a>'):
    sys.exit("the checker refuses references within the page")

tevtool, samples, sim, work = sys.argv[1:5]
os.makedirs(work, exist_ok=True)
page_path = os.path.join(work, "standalone.html")
flights = sorted(glob.glob(os.path.join(samples, "*.tev")))
run(tevtool, "report", *flights, "--sim", sim, "--units", "ft", "-o", page_path)
with open(page_path, encoding="utf-8") as f:
    outside = outside_references(f.read())
if outside:
    sys.exit("the report reaches outside itself:\n  " + "\n  ".join(outside))
print(f"{page_path}: nothing outside the page ({len(flights)} flights)")
