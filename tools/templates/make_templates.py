#!/usr/bin/env python3
"""Lays the new-document lists out in an installation tree: preset sizes,
papers (light fibre textures the chosen colour tints), colours, practice-grid
textures with transparency, and two ready-made practice sheets.

    make_templates.py TREE

Writes TREE/GLIB/template/size, paper, color, texture and file (the program's
"Gtemplate\\..."), each with its name.xml list. Pictures are drawn
with ImageMagick and are the same on every run (fixed noise seeds).
"""
import math
import os
import subprocess
import sys

CONVERT = "/usr/bin/convert"

SIZES = [  # width, height, description
    (1600, 1200, "横幅 1600×1200"),
    (1200, 1600, "竖幅 1200×1600"),
    (1200, 1200, "斗方 1200×1200"),
    (2400, 800, "横批 2400×800"),
    (800, 2400, "条幅 800×2400"),
    (1024, 768, "小幅 1024×768"),
]

# file, description, base colour, fibre strength: light so that a colour can tint them
PAPERS = [
    ("xuan.bmp", "生宣", "#fbfaf6", 6),
    ("maobian.bmp", "毛边纸", "#f6f1e2", 10),
    ("pijian.bmp", "皮纸", "#f3efe6", 16),
]

COLOURS = [
    ("255,255,255", "本色"),
    ("250,238,204", "米黄"),
    ("228,240,232", "淡青"),
    ("250,226,220", "粉笺"),
    ("236,236,236", "素灰"),
]

GRID = "#c8483c"  # practice grids in vermilion


def run(args):
    subprocess.run([CONVERT] + args, check=True)


def write_list(folder, entries):
    """entries: a list of dicts of key -> text, written as sections i0, i1, ..."""
    lines = ['<?xml version="1.0" encoding="utf-8" ?>', "<zun>", "<info>",
             "<num>%d</num>" % len(entries), "</info>"]
    for i, entry in enumerate(entries):
        lines.append("<i%d>" % i)
        lines += ["<%s>%s</%s>" % (k, v, k) for k, v in entry.items()]
        lines.append("</i%d>" % i)
    lines.append("</zun>")
    with open(os.path.join(folder, "name.xml"), "w", encoding="utf-8", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


def paper(path, base, strength, seed):
    # Long soft fibres: noise smeared along one direction (wrapping at the
    # edges, so that the tiles meet without seams), lifted close to white and
    # multiplied by the base colour.
    run(["-seed", str(seed), "-size", "256x256", "xc:gray50", "+noise", "Random",
         "-colorspace", "Gray", "-virtual-pixel", "tile",
         "-motion-blur", "0x8+%d" % (seed * 37 % 180), "-auto-level",
         "+level", "%d%%,100%%" % (100 - strength), "-colorspace", "sRGB",
         "(", "-size", "256x256", "xc:" + base, ")", "-compose", "Multiply", "-composite",
         "-type", "TrueColor", "BMP3:" + path])


def grid(path, kind, cell=200):
    """A transparent cell with a practice grid drawn in vermilion."""
    c, m = cell - 1, cell // 2
    draw = ["-stroke", GRID, "-strokewidth", "3", "-fill", "none",
            "-draw", "rectangle 1,1 %d,%d" % (c - 1, c - 1), "-strokewidth", "1"]
    if kind in ("tian", "mi"):
        draw += ["-draw", "line %d,0 %d,%d" % (m, m, c), "-draw", "line 0,%d %d,%d" % (m, c, m)]
    if kind == "mi":
        draw += ["-draw", "line 0,0 %d,%d" % (c, c), "-draw", "line %d,0 0,%d" % (c, c)]
    if kind == "jiu":
        for t in (cell // 3, 2 * cell // 3):
            draw += ["-draw", "line %d,0 %d,%d" % (t, t, c), "-draw", "line 0,%d %d,%d" % (t, c, t)]
    if kind == "hui":
        q = cell // 5
        draw += ["-draw", "rectangle %d,%d %d,%d" % (q, q, c - q, c - q)]
    run(["-size", "%dx%d" % (cell, cell), "xc:none"] + draw + ["PNG32:" + path])


def sheet(path, kind, w, h):
    """A whole practice sheet: a border and columns for vertical writing, or a fan."""
    if kind == "columns":
        cols, margin = 8, 80
        step = (w - 2 * margin) // cols
        draw = ["-stroke", GRID, "-fill", "none", "-strokewidth", "4",
                "-draw", "rectangle %d,%d %d,%d" % (margin, margin, w - margin, h - margin),
                "-strokewidth", "2"]
        for i in range(1, cols):
            x = margin + i * step
            draw += ["-draw", "line %d,%d %d,%d" % (x, margin, x, h - margin)]
    else:  # fan: two arcs and the ribs between them
        cx, cy, outer, inner = w // 2, h - 40, h - 80, (h - 80) * 2 // 5
        draw = ["-stroke", GRID, "-fill", "none", "-strokewidth", "4",
                "-draw", "arc %d,%d %d,%d 200,340" % (cx - outer, cy - outer, cx + outer, cy + outer),
                "-draw", "arc %d,%d %d,%d 200,340" % (cx - inner, cy - inner, cx + inner, cy + inner),
                "-strokewidth", "1"]
        for i in range(15):
            a = math.radians(200 + i * 10)
            draw += ["-draw", "line %d,%d %d,%d" % (cx + inner * math.cos(a), cy + inner * math.sin(a),
                                                     cx + outer * math.cos(a), cy + outer * math.sin(a))]
    run(["-size", "%dx%d" % (w, h), "xc:#f8f4ea"] + draw + ["-type", "TrueColor", "PNG24:" + path])


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    base = os.path.join(sys.argv[1], "GLIB", "template")
    folders = {}
    for name in ("size", "paper", "color", "texture", "file"):
        folders[name] = os.path.join(base, name)
        os.makedirs(folders[name], exist_ok=True)

    write_list(folders["size"], [{"width": w, "height": h, "desc": d} for w, h, d in SIZES])
    for seed, (f, _d, colour, strength) in enumerate(PAPERS, 1):
        paper(os.path.join(folders["paper"], f), colour, strength, seed)
    write_list(folders["paper"], [{"file": f, "desc": d} for f, d, _c, _s in PAPERS])
    write_list(folders["color"], [{"clr": c, "desc": d} for c, d in COLOURS])

    textures = [("tian.png", "tian", "田字格", 0, ""), ("mi.png", "mi", "米字格", 0, ""),
                ("jiu.png", "jiu", "九宫格", 1, ""), ("hui.png", "hui", "回宫格", 0, "")]
    for f, kind, _d, _m, _c in textures:
        grid(os.path.join(folders["texture"], f), kind)
    write_list(folders["texture"], [dict({"file": f, "desc": d, "mode": m}, **({"color": c} if c else {}))
                                    for f, _k, d, m, c in textures])

    sheets = [("columns.png", "columns", 1600, 1200, "八行竖写笺"), ("fan.png", "fan", 1600, 900, "扇面")]
    for f, kind, w, h, _d in sheets:
        sheet(os.path.join(folders["file"], f), kind, w, h)
    write_list(folders["file"], [{"file": f, "icon": "", "desc": d} for f, _k, _w, _h, d in sheets])


if __name__ == "__main__":
    main()
