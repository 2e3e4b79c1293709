#!/usr/bin/env python3
"""Reads tevtool stats --json output with Python's own JSON parser, which takes nothing but JSON
(NaN and Infinity refused too): one object a line, a set each, every figure under a key that
names its unit, numbers or null.

usage: check_stats_json.py OUTPUT UNITS SETS
"""
import json
import sys


def refuse(name):
    raise ValueError(f"{name} is not JSON")


def main():
    path, units, sets = sys.argv[1], sys.argv[2], int(sys.argv[3])
    speed, rate = ("km_h", "m_s") if units == "m" else ("mph", "ft_s")
    numbers = [f"apogee_{units}", "apogee_s", f"peak_velocity_{speed}", f"peak_velocity_{rate}", "peak_velocity_s",
               f"smoothed_peak_velocity_{speed}", "burnout_s", "launch_s", "launch_to_apogee_s", "landing_s",
               "flight_duration_s", f"descent_rate_{rate}", f"final_descent_rate_{rate}", "samples", "recording_s",
               "inhibit_s", "adc_offset"]
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if len(lines) != sets:
        sys.exit(f"{path}: {len(lines)} lines for {sets} sets")
    for number, line in enumerate(lines):
        figures = json.loads(line, parse_constant=refuse)
        if not isinstance(figures, dict):
            sys.exit(f"line {number + 1} is not an object")
        if figures.get("set") != number + 1 or figures.get("units") != units:
            sys.exit(f"line {number + 1}: set {figures.get('set')}, units {figures.get('units')}")
        for key in numbers:
            if key not in figures:
                sys.exit(f"line {number + 1}: no {key}")
            if figures[key] is not None and not isinstance(figures[key], (int, float)):
                sys.exit(f"line {number + 1}: {key} is {figures[key]!r}")
        for line_name in ("line_a", "line_b"):
            if not isinstance(figures.get(line_name), dict) or "fired_s" not in figures[line_name]:
                sys.exit(f"line {number + 1}: {line_name} is {figures.get(line_name)!r}")
        if not isinstance(figures.get("checksum_valid"), bool):
            sys.exit(f"line {number + 1}: checksum_valid is {figures.get('checksum_valid')!r}")
    print(f"{path}: {len(lines)} JSON objects in {units}")


if __name__ == "__main__":
    main()
