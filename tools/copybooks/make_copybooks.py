#!/usr/bin/env python3
"""Lays the copybook library out in an installation tree: model pictures of
classical texts written in Debian's Chinese fonts (rendered with ImageMagick,
which draws the glyphs with FreeType) on practice grids, their thumbnails and
descriptions, and the database that describes them.

    make_copybooks.py TREE

Writes TREE/GLIB/tie/tie.dat (SQLite), tie/pic/NAME.jpg, tie/pic/NAME.txt and
tie/icon/NAME.jpg. The metadata says what the pictures are: modern renderings
of a typeface, with the typeface's maker as the author.
"""
import os
import sqlite3
import subprocess
import sys
import tempfile

CONVERT = "/usr/bin/convert"
FONTS = {
    # style: (font file, the typeface's maker, its name)
    "楷书": ("/usr/share/fonts/truetype/arphic/ukai.ttc", "文鼎科技", "AR PL UKai"),
    "宋体": ("/usr/share/fonts/truetype/arphic/uming.ttc", "文鼎科技", "AR PL UMing"),
    "黑体": ("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", "文泉驿", "WenQuanYi Micro Hei"),
}
DYNASTIES = ["先秦", "秦", "汉", "魏晋", "南北朝", "隋", "唐", "五代", "宋", "元", "明", "清", "现代"]

# name, style, title, source, text
BOOKS = [
    ("yong", "楷书", "永字八法", "", "永"),
    ("shangshan", "楷书", "上善若水", "《老子》", "上善若水"),
    ("houde", "宋体", "厚德载物", "《周易》", "厚德载物"),
    ("ningjing", "黑体", "宁静致远", "诸葛亮《诫子书》", "宁静致远"),
    ("qianziwen", "楷书", "千字文（首十六字）", "周兴嗣《千字文》", "天地玄黄宇宙洪荒日月盈昃辰宿列张"),
    ("dengguanque", "楷书", "登鹳雀楼", "王之涣", "白日依山尽黄河入海流欲穷千里目更上一层楼"),
    ("jingyesi", "宋体", "静夜思", "李白", "床前明月光疑是地上霜举头望明月低头思故乡"),
    ("chunxiao", "黑体", "春晓", "孟浩然", "春眠不觉晓处处闻啼鸟夜来风雨声花落知多少"),
    ("lanting", "楷书", "兰亭集序（首二十五字）", "王羲之《兰亭集序》",
     "永和九年岁在癸丑暮春之初会于会稽山阴之兰亭修禊事也"),
    ("xiangsi", "宋体", "相思", "王维", "红豆生南国春来发几枝愿君多采撷此物最相思"),
]

W, H = 600, 900
PAPER, GRID, INK = "#f8f4ea", "#d8a6a0", "#1a1a1a"


def grid_of(n):
    """Columns, rows and cell size for n characters on the page."""
    if n == 1:
        return 1, 1, 480
    if n == 4:
        return 2, 2, 250
    cols = 4
    rows = (n + cols - 1) // cols
    return cols, rows, min(132, (H - 60) // rows)


def render(book, out_path):
    name, style, _title, _source, text = book
    font = FONTS[style][0]
    cols, rows, cell = grid_of(len(text))
    left, top = (W - cols * cell) // 2, (H - rows * cell) // 2
    args = [CONVERT, "-size", f"{W}x{H}", f"xc:{PAPER}", "-fill", "none", "-stroke", GRID,
            "-strokewidth", "2"]
    for c in range(cols):
        for r in range(rows):
            x0, y0 = left + c * cell, top + r * cell
            args += ["-draw", f"rectangle {x0},{y0} {x0 + cell},{y0 + cell}"]
    # The cells' middle lines, thin: the practice grid of the copybooks.
    args += ["-strokewidth", "1"]
    for c in range(cols):
        for r in range(rows):
            x0, y0 = left + c * cell, top + r * cell
            h = cell // 2
            args += ["-draw", f"line {x0 + h},{y0} {x0 + h},{y0 + cell}",
                     "-draw", f"line {x0},{y0 + h} {x0 + cell},{y0 + h}"]
    args += ["-stroke", "none", "-fill", INK, "-font", font, "-pointsize", str(int(cell * 0.8)),
             "-gravity", "center"]
    # Columns from right to left, each from top to bottom.
    for i, ch in enumerate(text):
        c, r = cols - 1 - i // rows, i % rows
        cx, cy = left + c * cell + cell // 2, top + r * cell + cell // 2
        args += ["-annotate", f"{cx - W // 2:+d}{cy - H // 2:+d}", ch]
    args += ["-quality", "92", out_path]
    subprocess.run(args, check=True)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_copybooks.py TREE")
    root = os.path.join(sys.argv[1], "GLIB", "tie")
    pic, icon = os.path.join(root, "pic"), os.path.join(root, "icon")
    os.makedirs(pic, exist_ok=True)
    os.makedirs(icon, exist_ok=True)
    for book in BOOKS:
        name, style, title, source, text = book
        render(book, os.path.join(pic, name + ".jpg"))
        subprocess.run([CONVERT, os.path.join(pic, name + ".jpg"), "-resize", "133x133",
                        "-quality", "90", os.path.join(icon, name + ".jpg")], check=True)
        _font, maker, face = FONTS[style]
        lines = [title, "", text, ""]
        if source:
            lines.append("原文：" + source)
        lines.append(f"字体：{face}（{maker}），{style}。")
        lines.append("以该字体渲染于习字格上，供临摹练习。")
        # The program shows descriptions as they are, in the Chinese ANSI code page.
        with open(os.path.join(pic, name + ".txt"), "wb") as f:
            f.write("\r\n".join(lines).encode("gbk") + b"\r\n")

    # The database, written beside the old one and then put in its place.
    fd, tmp = tempfile.mkstemp(dir=root, suffix=".tmp")
    os.close(fd)
    try:
        db = sqlite3.connect(tmp)
        db.execute("CREATE TABLE MyDynasty (ID0 INTEGER PRIMARY KEY, Name0 TEXT NOT NULL)")
        db.execute("CREATE TABLE MyPic (ID0 INTEGER PRIMARY KEY, DynastyName0 TEXT, "
                   "AuthorName0 TEXT, Style0 TEXT, FileName0 TEXT NOT NULL)")
        db.executemany("INSERT INTO MyDynasty VALUES (?, ?)",
                       [(i + 1, n) for i, n in enumerate(DYNASTIES)])
        db.executemany("INSERT INTO MyPic VALUES (?, ?, ?, ?, ?)",
                       [(i + 1, "现代", FONTS[b[1]][1], b[1], b[0]) for i, b in enumerate(BOOKS)])
        db.commit()
        db.close()
        os.chmod(tmp, 0o644)
        os.replace(tmp, os.path.join(root, "tie.dat"))
    finally:
        if os.path.exists(tmp):
            os.remove(tmp)


if __name__ == "__main__":
    main()
