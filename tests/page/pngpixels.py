"""The pixels of a PNG file (8 bits per channel, not interlaced), with Python's own zlib."""
import struct
import zlib

CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


class Png:
    def __init__(self, data):
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG")
        pos, idat, self.palette, alpha = 8, b"", [], b""
        while pos < len(data):
            length, kind = struct.unpack(">I4s", data[pos:pos + 8])
            body = data[pos + 8:pos + 8 + length]
            pos += 12 + length
            if kind == b"IHDR":
                self.width, self.height, depth, self.kind, _, _, interlace = struct.unpack(
                    ">IIBBBBB", body)
                if depth != 8 or interlace:
                    raise ValueError("only 8-bit, non-interlaced PNG files are read")
            elif kind == b"PLTE":
                self.palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
            elif kind == b"tRNS":
                alpha = body
            elif kind == b"IDAT":
                idat += body
        self.palette = [p + ((alpha[i] if i < len(alpha) else 255),)
                        for i, p in enumerate(self.palette)]
        self.step = CHANNELS[self.kind]
        self.rows = self._unfilter(zlib.decompress(idat))

    def _unfilter(self, raw):
        stride, rows, previous, pos = self.width * self.step, [], None, 0
        for _ in range(self.height):
            kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
            pos += 1 + stride
            prior = previous or bytearray(stride)
            for i in range(stride):
                a = line[i - self.step] if i >= self.step else 0
                c = prior[i - self.step] if i >= self.step else 0
                b = prior[i]
                if kind == 1:
                    line[i] = (line[i] + a) & 255
                elif kind == 2:
                    line[i] = (line[i] + b) & 255
                elif kind == 3:
                    line[i] = (line[i] + ((a + b) >> 1)) & 255
                elif kind == 4:
                    line[i] = (line[i] + _paeth(a, b, c)) & 255
            rows.append(line)
            previous = line
        return rows

    def pixel(self, x, y):
        """(red, green, blue, alpha) at (x, y)."""
        v = self.rows[y][x * self.step:(x + 1) * self.step]
        if self.kind == 3:
            return self.palette[v[0]]
        if self.kind in (0, 4):
            return (v[0], v[0], v[0], v[1] if self.kind == 4 else 255)
        return (v[0], v[1], v[2], v[3] if self.kind == 6 else 255)


def read(path):
    with open(path, "rb") as f:
        return Png(f.read())
