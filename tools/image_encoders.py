"""The two picture encoders of tools/make_images.py, a few lines each:

    gif_bytes(pixels)          rows of (r, g, b, a) floats 0..1 -> a GIF89a
    jpeg_bytes(rgb, quality)   rows of (r, g, b) floats 0..1 -> a baseline JFIF

Nothing beyond the Python standard library, so any developer can redraw the
panel's pictures.
"""

import math
import struct


# ---------------------------------------------------------------- GIF encoder


def gif_bytes(pixels):
    """A GIF89a of one frame. Nearly transparent pixels become the one
    transparent index; the rest are laid over white, because the icons sit on
    white or pale table rows and GIF knows no partial transparency."""
    height, width = len(pixels), len(pixels[0])
    palette = []
    index_of = {}
    indices = []
    for row in pixels:
        for r, g, b, a in row:
            if a < 0.25:
                key = None
            else:
                key = tuple(int(round((ch * a + (1 - a)) * 255)) for ch in (r, g, b))
            if key not in index_of:
                index_of[key] = len(palette)
                palette.append(key)
            indices.append(index_of[key])
    if len(palette) > 256:
        raise SystemExit("too many colours for one GIF palette: %d" % len(palette))
    bits = max(2, (len(palette) - 1).bit_length())
    table = b"".join(bytes(p) if p is not None else b"\xff\xff\xff" for p in palette)
    table += b"\x00" * (3 * (1 << bits) - len(table))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    out += table
    if None in index_of:
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 1, 0, index_of[None], 0)
    out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
    out += bytes([bits])
    data = lzw(indices, bits)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    out += b"\x00\x3b"
    return bytes(out)


def lzw(indices, min_bits):
    clear, end = 1 << min_bits, (1 << min_bits) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def fresh():
        return {(i,): i for i in range(clear)}, end + 1, min_bits + 1

    table, next_code, size = fresh()
    emit(clear, size)
    prefix = ()
    for index in indices:
        candidate = prefix + (index,)
        if candidate in table:
            prefix = candidate
            continue
        emit(table[prefix], size)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder widens its codes one entry later than we add them.
            if next_code - 1 == (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table, next_code, size = fresh()
        prefix = (index,)
    if prefix:
        emit(table[prefix], size)
    emit(end, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


# ---------------------------------------------------------------- baseline JPEG encoder

ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,
          7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31,
          39, 46, 53, 60, 61, 54, 47, 55, 62, 63]
LUMA_Q = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16, 24, 40, 57, 69, 56,
          14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
          49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99]
CHROMA_Q = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99, 99, 99,
            47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32
# The usual Huffman tables of baseline JPEG files (luminance and chrominance).
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282090a161718191a25262728292a"
    "3435363738393a434445464748494a535455565758595a636465666768696a737475767778797a838485868788898a929394"
    "95969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8"
    "e9eaf1f2f3f4f5f6f7f8f9fa"))
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a162434e125f11718191a262728"
    "292a35363738393a434445464748494a535455565758595a636465666768696a737475767778797a82838485868788898a92"
    "939495969798999aa2a3a4a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7"
    "e8e9eaf2f3f4f5f6f7f8f9fa"))


def huffman_codes(spec):
    counts, symbols = spec
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


def scaled_table(base, quality):
    scale = 5000 / quality if quality < 50 else 200 - quality * 2
    return [max(1, min(255, int((q * scale + 50) / 100))) for q in base]


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, code, length):
        self.acc = (self.acc << length) | code
        self.n += length
        while self.n >= 8:
            byte = (self.acc >> (self.n - 8)) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)  # byte stuffing keeps 0xFF from reading as a marker
            self.n -= 8
        self.acc &= (1 << self.n) - 1

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)


COS = [[(math.sqrt(0.125) if u == 0 else 0.5) * math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)]
       for u in range(8)]


def fdct(block):
    tmp = [[sum(COS[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [sum(COS[v][y] * tmp[y][u] for y in range(8)) for v in range(8) for u in range(8)]


def magnitude(value):
    size = abs(value).bit_length()
    bits = value if value >= 0 else value + (1 << size) - 1
    return size, bits


def encode_block(writer, block, table, dc_codes, ac_codes, previous_dc):
    coeffs = fdct(block)
    quant = [int(round(coeffs[ZIGZAG[i]] / table[ZIGZAG[i]])) for i in range(64)]
    diff = quant[0] - previous_dc
    size, bits = magnitude(diff)
    writer.put(*dc_codes[size])
    if size:
        writer.put(bits, size)
    run = 0
    for value in quant[1:]:
        if value == 0:
            run += 1
            continue
        while run > 15:
            writer.put(*ac_codes[0xF0])
            run -= 16
        size, bits = magnitude(value)
        writer.put(*ac_codes[(run << 4) | size])
        writer.put(bits, size)
        run = 0
    if run:
        writer.put(*ac_codes[0x00])
    return quant[0]


def jpeg_bytes(rgb, quality=90):
    """A baseline JFIF, 4:4:4, with the standard tables."""
    height, width = len(rgb), len(rgb[0])
    lq, cq = scaled_table(LUMA_Q, quality), scaled_table(CHROMA_Q, quality)
    planes = [[], [], []]
    for row in rgb:
        for r, g, b in row:
            r, g, b = r * 255, g * 255, b * 255
            planes[0].append(0.299 * r + 0.587 * g + 0.114 * b - 128)
            planes[1].append(-0.168736 * r - 0.331264 * g + 0.5 * b)
            planes[2].append(0.5 * r - 0.418688 * g - 0.081312 * b)
    codes = [(huffman_codes(DC_LUMA), huffman_codes(AC_LUMA)), (huffman_codes(DC_CHROMA), huffman_codes(AC_CHROMA))]
    writer = BitWriter()
    dc = [0, 0, 0]
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for ch in range(3):
                # Edge blocks repeat the last row and column.
                block = [planes[ch][min(by + y, height - 1) * width + min(bx + x, width - 1)]
                         for y in range(8) for x in range(8)]
                dc_codes, ac_codes = codes[0 if ch == 0 else 1]
                dc[ch] = encode_block(writer, block, lq if ch == 0 else cq, dc_codes, ac_codes, dc[ch])
    writer.flush()

    def segment(marker, payload):
        return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload

    out = bytearray(b"\xff\xd8")
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment(0xDB, bytes([0]) + bytes(lq[ZIGZAG[i]] for i in range(64)) +
                   bytes([1]) + bytes(cq[ZIGZAG[i]] for i in range(64)))
    out += segment(0xC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    for cls_id, (counts, symbols) in ((0x00, DC_LUMA), (0x10, AC_LUMA), (0x01, DC_CHROMA), (0x11, AC_CHROMA)):
        out += segment(0xC4, bytes([cls_id]) + bytes(counts) + bytes(symbols))
    out += segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    out += writer.out
    out += b"\xff\xd9"
    return bytes(out)


# ---------------------------------------------------------------- ICO encoder


def ico_bytes(images):
    """An icon file holding each picture (rows of (r, g, b, a) floats 0..1,
    at most 256 pixels a side) as a 32-bit bitmap with its alpha channel:
    browsers ask every site for favicon.ico and read this form of it."""
    count = len(images)
    head = struct.pack("<HHH", 0, 1, count)
    entries, bodies = b"", b""
    offset = 6 + 16 * count
    for pixels in images:
        height, width = len(pixels), len(pixels[0])
        mask_row = ((width + 31) // 32) * 4
        colour, mask = bytearray(), bytearray()
        for row in reversed(pixels):                  # bitmaps run bottom-up
            bits = bytearray(mask_row)
            for x, (r, g, b, a) in enumerate(row):
                colour += bytes(int(round(ch * 255)) for ch in (b, g, r, a))
                if a < 0.02:
                    bits[x // 8] |= 0x80 >> (x % 8)   # transparent for readers without alpha
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                           len(colour) + len(mask), 0, 0, 0, 0)
        body = info + bytes(colour) + bytes(mask)
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(body), offset)
        bodies += body
        offset += len(body)
    return head + entries + bodies
