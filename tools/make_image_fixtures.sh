#!/usr/bin/env bash
# Makes the picture fixtures of tests/image/fixtures: small files in every
# variant the readers accept or refuse, plus, for each readable one, the
# decoding of ImageMagick itself (<name>.ppm, or <name>.pam with alpha) that
# the tests compare against pixel by pixel. Variants ImageMagick cannot write
# (RLE4, 1-bit and 4-plane PCX, right-to-left TGA, GIF87a with local tables
# only, top-down BMP) are encoded by the small Python part below; ImageMagick
# still decodes them for the expected pixels.
#   tools/make_image_fixtures.sh [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/tests/image/fixtures}
C=/usr/bin/convert
if [ ! -x "$C" ]; then
  echo "make_image_fixtures: $C (Debian's imagemagick) is missing: apt-get install imagemagick" >&2
  exit 1
fi
command -v python3 >/dev/null || { echo "make_image_fixtures: python3 is missing" >&2; exit 1; }
mkdir -p "$out"
cd "$out"
rm -f ./*.bmp ./*.rle ./*.jpg ./*.png ./*.gif ./*.pcx ./*.tga ./*.tif ./*.psd ./*.ppm ./*.pam

# The source picture: 37 x 23 (odd, so rows need padding), smooth and busy.
src=$(mktemp --suffix=.png)
trap 'rm -f "$src"' EXIT
$C -size 37x23 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' \
  -channel B -fx '((i*3+j*5)%11)/10' +channel -depth 8 "$src"
# PNG files carry no date chunks, so that running the script again changes nothing.
mk() { $C "$src" -define png:exclude-chunk=date,time "$@"; }

# BMP (info header of 40 bytes: BMP3).
mk -monochrome -compress None BMP3:bmp1.bmp
mk -colors 16 -compress None BMP3:bmp4.bmp
mk -colors 200 -compress None BMP3:bmp8.bmp
mk -colors 200 -compress RLE BMP3:bmp8_rle.rle
mk -compress None BMP3:bmp24.bmp
mk -compress None BMP:bmp_v5.bmp                    # 124-byte header: refused
# Width 8: every row is filled exactly and followed by an end-of-line code.
$C -size 8x6 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' +channel -colors 8 \
  -compress RLE BMP3:bmp8_rle_eol.bmp

# JPEG.
mk -quality 90 JPEG:jpeg.jpg
mk -quality 90 -interlace JPEG JPEG:jpeg_progressive.jpg
mk -colorspace gray -quality 90 JPEG:jpeg_grey.jpg  # refused
mk -colorspace CMYK -quality 90 JPEG:jpeg_cmyk.jpg  # refused

# PNG: palette, grey, RGB, RGBA, interlaced; 16-bit and grey+alpha are refused.
mk -colors 200 PNG8:png8.png
mk -colorspace gray -define png:bit-depth=8 -define png:color-type=0 PNG:png_grey.png
mk PNG24:png24.png
mk -alpha set -channel A -fx '(i+j)/(w+h)' +channel PNG32:png32.png
mk -interlace PNG PNG24:png24_interlaced.png
mk -depth 16 PNG48:png48.png
mk -colors 16 -define png:bit-depth=4 PNG8:png_palette4.png  # 4-bit palette: refused
mk -colorspace gray -alpha set -channel A -fx 'i/w' +channel -define png:color-type=4 PNG:png_grey_alpha.png

# GIF.
mk -colors 64 GIF:gif.gif
mk -colors 64 -interlace GIF GIF:gif_interlaced.gif
mk -colors 63 -alpha set -channel A -fx '(i>=5&&i<=20&&j>=4&&j<=12)?0:1' +channel GIF:gif_transparent.gif
mk -colors 63 -alpha set -channel A -fx '(i>=5&&i<=20&&j>=4&&j<=12)?0:1' +channel -set dispose None GIF:gif_dispose1.gif
mk -colors 63 -alpha set -channel A -fx '(i>=5&&i<=20&&j>=4&&j<=12)?0:1' +channel -set dispose Background GIF:gif_dispose2.gif
# A frame placed at (6, 5) on a 50 x 40 screen.
mk -colors 64 -set page 50x40+6+5 GIF:gif_offset.gif
mk -colors 64 -alpha set -channel A -fx '(i>=5&&i<=20&&j>=4&&j<=12)?0:1' +channel -set page 50x40+6+5 GIF:gif_offset_transparent.gif
$C "$src" \( "$src" -negate \) -colors 64 -delay 20 -loop 0 GIF:gif_animated.gif

# PCX: 8-bit palette and 24-bit from ImageMagick, 1- and 4-bit below.
mk -colors 200 PCX:pcx8.pcx
mk PCX:pcx24.pcx

# TGA: types 1, 2, 3 and their run-length forms 9, 10, 11; both row orders.
mk -type palette -colors 40 TGA:tga1.tga
mk TGA:tga2.tga
mk -orient TopLeft TGA:tga2_top.tga
mk -type grayscale TGA:tga3.tga
mk -type palette -colors 40 -compress RLE TGA:tga9.tga
mk -compress RLE TGA:tga10.tga
mk -compress RLE -orient TopLeft TGA:tga10_top.tga
mk -type grayscale -compress RLE TGA:tga11.tga
mk -type palette -colors 40 -orient TopLeft TGA:tga1_top.tga
mk -type grayscale -compress RLE -orient TopLeft TGA:tga11_top.tga

# TIFF: II and MM, uncompressed and PackBits, several strips; fax and LZW refused.
mk -compress None -define tiff:endian=lsb TIFF:tif24_ii.tif
mk -compress None -define tiff:endian=msb TIFF:tif24_mm.tif
mk -compress RLE -define tiff:endian=lsb TIFF:tif24_packbits.tif
mk -compress RLE -define tiff:endian=msb TIFF:tif24_packbits_mm.tif
mk -compress None -define tiff:rows-per-strip=5 TIFF:tif24_strips.tif
mk -type palette -colors 16 -compress None TIFF:tif4_palette.tif
mk -type palette -colors 200 -compress RLE TIFF:tif8_palette.tif
mk -type grayscale -compress None -depth 8 TIFF:tif8_grey.tif
mk -monochrome -compress None TIFF:tif1.tif
mk -monochrome -compress Group4 TIFF:tif_fax4.tif   # refused
mk -compress LZW TIFF:tif_lzw.tif                   # refused

# PSD: raw and PackBits composites; CMYK and 16-bit refused.
mk -compress None PSD:psd_raw.psd
mk -compress RLE PSD:psd_packbits.psd
mk -colorspace CMYK -compress None PSD:psd_cmyk.psd
mk -depth 16 -compress None PSD:psd_16.psd

# The variants ImageMagick does not write.
python3 - <<'PY'
import struct

def pattern(w, h, colours):
    return [[(x * 3 + y * 5 + (x * y) % 7) % colours for x in range(w)] for y in range(h)]

def palette16():
    return [((i * 53) % 256, (i * 97) % 256, (i * 31 + 40) % 256) for i in range(16)]

def bmp_header(w, h, bits, compression, table, pixels):
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, compression, len(pixels), 2835, 2835,
                       len(table) // 4, 0)
    off = 14 + 40 + len(table)
    return b'BM' + struct.pack('<IHHI', off + len(pixels), 0, 0, off) + info + table + pixels

def rle4(w, h, px):
    # Rows bottom-up; runs of equal pixels as runs, the rest as literals.
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row, x = px[y], 0
        while x < w:
            n = 1
            while x + n < w and row[x + n] == row[x] and n < 255:
                n += 1
            if n >= 2 or w - x < 3:
                data += bytes([n, row[x] << 4 | row[x]])
                x += n
                continue
            n = min(w - x, 20)
            lit = row[x:x + n] + [0]
            bs = bytes(lit[i] << 4 | lit[i + 1] for i in range(0, n, 2))
            if len(bs) % 2:
                bs += b'\0'
            data += bytes([0, n]) + bs
            x += n
        data += b'\0\0'
    return bytes(data + b'\0\1')

table16 = b''.join(bytes([b, g, r, 0]) for r, g, b in palette16())
for name, w, h in (('bmp4_rle.bmp', 37, 23), ('bmp4_rle_w5.bmp', 5, 7)):
    px = pattern(w, h, 16)
    open(name, 'wb').write(bmp_header(w, h, 4, 2, table16, rle4(w, h, px)))

# Top-down 24-bit BMP: the rows of bmp24.bmp in reverse order, negative height.
b = open('bmp24.bmp', 'rb').read()
w, h = struct.unpack('<ii', b[18:26])
stride = (w * 3 + 3) & ~3
rows = [b[54 + y * stride:54 + (y + 1) * stride] for y in range(h)]
open('bmp24_topdown.bmp', 'wb').write(bmp_header(w, -h, 24, 0, b'', b''.join(reversed(rows))))

def pcx(w, h, bits, planes, bpl, palette16_bytes, lines, trailer=b''):
    hdr = struct.pack('<BBBBHHHHHH', 10, 5, 1, bits, 0, 0, w - 1, h - 1, 72, 72)
    hdr += palette16_bytes.ljust(48, b'\0') + b'\0' + bytes([planes]) + struct.pack('<HH', bpl, 1)
    hdr = hdr.ljust(128, b'\0')
    enc = bytearray()
    for line in lines:  # runs may not cross a scan line
        i = 0
        while i < len(line):
            n = 1
            while i + n < len(line) and line[i + n] == line[i] and n < 63:
                n += 1
            if n > 1 or line[i] >= 0xC0:
                enc += bytes([0xC0 | n, line[i]])
            else:
                enc.append(line[i])
            i += n
    return hdr + bytes(enc) + trailer

def pack_bits(values, bpl):
    out = bytearray(bpl)
    for x, v in enumerate(values):
        if v:
            out[x // 8] |= 0x80 >> (x % 8)
    return bytes(out)

w, h = 37, 23
bpl = ((w + 15) // 16) * 2
px = pattern(w, h, 2)
open('pcx1.pcx', 'wb').write(pcx(w, h, 1, 1, bpl, b'', [pack_bits(r, bpl) for r in px]))
px = pattern(w, h, 16)
pal = b''.join(bytes(c) for c in palette16())
lines = [b''.join(pack_bits([(v >> p) & 1 for v in r], bpl) for p in range(4)) for r in px]
open('pcx4.pcx', 'wb').write(pcx(w, h, 1, 4, bpl, pal, lines))
# A 256-colour PCX whose palette marker is wrong.
p8 = bytearray(open('pcx8.pcx', 'rb').read())
p8[-769] = 0x0B
open('pcx8_bad_marker.pcx', 'wb').write(bytes(p8))

# Right-to-left TGA: the rows of tga2.tga mirrored, descriptor bit 4 set.
t = open('tga2.tga', 'rb').read()
idl = t[0]
w, h = struct.unpack('<HH', t[12:16])
body = t[18 + idl:18 + idl + w * h * 3]
rows = [body[y * w * 3:(y + 1) * w * 3] for y in range(h)]
mir = b''.join(b''.join(r[x * 3:x * 3 + 3] for x in range(w - 1, -1, -1)) for r in rows)
hdr = bytearray(t[:18 + idl])
hdr[17] |= 0x10
open('tga2_rtl.tga', 'wb').write(bytes(hdr) + mir + t[18 + idl + w * h * 3:])

# GIF87a without a global table: gif.gif with its table moved into the frame.
g = open('gif.gif', 'rb').read()
flags = g[10]
gsize = 3 * (2 << (flags & 7))
gtable = g[13:13 + gsize]
pos = 13 + gsize
while g[pos] == 0x21:  # drop the extensions (87a has none)
    pos += 2
    while g[pos]:
        pos += g[pos] + 1
    pos += 1
assert g[pos] == 0x2C
desc = bytearray(g[pos:pos + 10])
desc[9] = (desc[9] & 0x40) | 0x80 | (flags & 7)
out = b'GIF87a' + g[6:10] + bytes([flags & 0x70, 0, 0]) + bytes(desc) + gtable + g[pos + 10:]
open('gif87_local.gif', 'wb').write(out)
PY

# The expected pixels: ImageMagick's decoding of every readable fixture (not tga2_rtl.tga:
# ImageMagick ignores the right-to-left bit; its rows are those of tga2.tga mirrored).
for f in bmp1.bmp bmp4.bmp bmp8.bmp bmp8_rle.rle bmp24.bmp bmp8_rle_eol.bmp bmp4_rle.bmp \
    bmp4_rle_w5.bmp bmp24_topdown.bmp jpeg.jpg jpeg_progressive.jpg png8.png png_grey.png \
    png24.png png24_interlaced.png gif.gif gif_interlaced.gif gif87_local.gif gif_animated.gif \
    pcx4.pcx pcx8.pcx pcx24.pcx tga1.tga tga2.tga tga2_top.tga tga3.tga \
    tga9.tga tga10.tga tga10_top.tga tga11.tga tga1_top.tga tga11_top.tga tif24_ii.tif tif24_mm.tif tif24_packbits.tif \
    tif24_packbits_mm.tif tif24_strips.tif tif4_palette.tif tif8_palette.tif tif8_grey.tif \
    tif1.tif psd_raw.psd psd_packbits.psd; do
  # -auto-orient: ImageMagick keeps a bottom-up TGA's rows as stored and only notes the orientation.
  $C "$f[0]" -auto-orient -depth 8 -alpha off "ppm:${f%.*}.ppm"
done
# ImageMagick reads a 1-bit PCX with set bits black, the reverse of the ZSoft
# monochrome convention (0 black, 1 white) that our reader follows.
$C pcx1.pcx -negate -depth 8 ppm:pcx1.ppm
# With alpha: the frame on its screen (GIF) or the picture with its alpha (PNG).
$C png32.png -depth 8 pam:png32.pam
for f in gif_transparent gif_dispose1 gif_dispose2 gif_offset gif_offset_transparent; do
  $C "$f.gif[0]" -coalesce -depth 8 "pam:$f.pam"
done
echo "make_image_fixtures: $(ls | wc -l) files in $out"
