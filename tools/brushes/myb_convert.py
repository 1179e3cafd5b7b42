#!/usr/bin/env python3
"""Converts the brush pens' brushes from Debian's mypaint-brushes JSON (.myb)
into the older text brush format that the program reads.

myb_convert.py CATALOGUE BRUSHES_DIR OWN_DIR OUT_DIR

CATALOGUE is paint/pen_catalogue.cpp: the brush names ("folder$name") are
taken from it, so the catalogue stays the one list of brushes. Each name is
looked up by its brush name, case-insensitively, among BRUSHES_DIR/*/*.myb;
when several folders hold one, the folder of the catalogue's own name wins,
else the package folder that the catalogue folder's other brushes come from.
Names found in OWN_DIR ("folder$name.myb", already in the text format) are
copied as they are. Writes OUT_DIR/<folder$name>.myb, lower case, and
OUT_DIR/brushes.lst (one file name a line). Fails when a name is not found.
"""
import collections
import json
import os
import re
import sys

# The settings and inputs of the text format, in its order.
SETTINGS = """opaque opaque_multiply opaque_linearize radius_logarithmic hardness
dabs_per_basic_radius dabs_per_actual_radius dabs_per_second radius_by_random
speed1_slowness speed2_slowness speed1_gamma speed2_gamma offset_by_random
offset_by_speed offset_by_speed_slowness slow_tracking slow_tracking_per_dab
tracking_noise color_h color_s color_v change_color_h change_color_l
change_color_hsl_s change_color_v change_color_hsv_s smudge smudge_length
smudge_radius_log eraser stroke_threshold stroke_duration_logarithmic
stroke_holdtime custom_input custom_input_slowness elliptical_dab_ratio
elliptical_dab_angle direction_filter""".split()
INPUTS = """pressure speed1 speed2 random stroke direction tilt_declination
tilt_ascension custom""".split()
MAX_POINTS = 8


def catalogue_names(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    names = []
    for m in re.finditer(r'"([A-Za-z0-9_-]+\$[^"\\]+)"', text):
        if m.group(1) not in names:
            names.append(m.group(1))
    return names


def index_brushes(root):
    found = collections.defaultdict(list)  # lower-case name -> [(folder, path)]
    for folder in sorted(os.listdir(root)):
        d = os.path.join(root, folder)
        if not os.path.isdir(d):
            continue
        for f in sorted(os.listdir(d)):
            if f.lower().endswith(".myb"):
                found[f[:-4].lower()].append((folder, os.path.join(d, f)))
    return found


def choose(names, found):
    """Picks one package file per catalogue name (see the module text)."""
    alias = collections.defaultdict(collections.Counter)
    for n in names:
        folder, brush = n.split("$", 1)
        hits = found.get(brush.lower(), [])
        if len(hits) == 1:
            alias[folder][hits[0][0]] += 1
    chosen = {}
    for n in names:
        folder, brush = n.split("$", 1)
        hits = found.get(brush.lower(), [])
        if not hits:
            continue
        pick = [h for h in hits if h[0] == folder]
        if not pick and alias[folder]:
            best = alias[folder].most_common(1)[0][0]
            pick = [h for h in hits if h[0] == best]
        chosen[n] = (pick or hits)[0][1]
    return chosen


def fmt(v):
    return "%f" % v


def convert(path, name):
    with open(path, encoding="utf-8") as f:
        brush = json.load(f)
    settings = brush.get("settings", {})
    lines = ["# brush %s, converted from mypaint-brushes %s" % (name, os.path.relpath(path, os.path.dirname(os.path.dirname(path)))),
             "version 2"]
    for s in SETTINGS:
        if s not in settings:
            continue
        entry = settings[s]
        line = "%s %s" % (s, fmt(float(entry.get("base_value", 0.0))))
        for i in INPUTS:
            pts = entry.get("inputs", {}).get(i)
            if not pts:
                continue
            if len(pts) > MAX_POINTS:
                raise ValueError("%s: %s/%s has %d points" % (path, s, i, len(pts)))
            line += " | %s %s" % (i, ", ".join("(%s %s)" % (fmt(x), fmt(y)) for x, y in pts))
        lines.append(line)
    return "\n".join(lines) + "\n"


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(__doc__)
        return 2
    catalogue, root, own, out = argv[1:]
    names = catalogue_names(catalogue)
    if not names:
        sys.stderr.write("myb_convert: no brush names in %s\n" % catalogue)
        return 1
    found = index_brushes(root)
    chosen = choose(names, found)
    os.makedirs(out, exist_ok=True)
    written = []
    for n in names:
        target = os.path.join(out, n.lower() + ".myb")
        own_file = os.path.join(own, n + ".myb")
        if os.path.exists(own_file):
            with open(own_file, encoding="utf-8") as f:
                text = f.read()
        elif n in chosen:
            text = convert(chosen[n], n)
        else:
            sys.stderr.write("myb_convert: brush %s is neither in %s nor in %s\n" % (n, root, own))
            return 1
        tmp = target + ".tmp"
        with open(tmp, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        os.replace(tmp, target)
        written.append(os.path.basename(target))
    with open(os.path.join(out, "brushes.lst"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(written) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
