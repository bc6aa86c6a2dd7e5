#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets: make_corpus.py OUT_DIR
makes OUT_DIR/<target>/ for every target that has seeds here. The byte
layouts follow FuzzInput in FuzzSupport.hpp."""
import base64
import os
import struct
import sys
import zlib


def coordinate(value):
    # The common kind: a signed 16-bit count of 1/64 pixels.
    return bytes([0]) + struct.pack('<h', int(round(value * 64)))


def raw_float(value):
    return bytes([200]) + struct.pack('<f', value)


def target(width=32, height=24, stride_sign=0, pad=0):
    return bytes([width - 1, height - 1, pad, stride_sign])


def render_state(origin=1, blend=1, scissor=None, path_matrix=b'\x00'):
    out = bytes([origin, blend, 1 if scissor else 0, len(scissor or [])])
    for x, y, w, h in scissor or []:
        out += bytes([x & 255, y & 255, 0, w & 255, h & 255])
    return out + path_matrix + b'\x00\x00'  # fill and stroke paint transforms: identity


def fill(rule=1, rgba=(200, 40, 40, 255), paint=None):
    # `paint`: the bytes a target's own paint maker reads instead of a colour.
    return bytes([2 + 4 * rule]) + (paint if paint is not None else bytes(rgba))


def stroke(width=2.0, cap=0, join=0, miter=4.0, dashes=(), phase=0.0, rgba=(20, 20, 180, 200), paint=None):
    out = bytes([2]) + (paint if paint is not None else bytes(rgba)) + coordinate(width) + bytes([cap + 3 * join]) + coordinate(miter)
    out += bytes([len(dashes)])
    for length, gap in dashes:
        out += coordinate(length) + coordinate(gap)
    return out + coordinate(phase)


def command(code, *values):
    return bytes([code, len(values)]) + b''.join(coordinate(v) for v in values)


def stream_seeds():
    rectangle = command(1, 4, 4) + command(3, 20, 4) + command(3, 20, 16) + command(3, 4, 16) + command(0)
    curves = (command(1, 2, 2) + command(9, 16, 30, 30, 2) + command(11, 40, 10, 0, 20, 10, 22) +
              command(15, 5, 5, 20, 20) + command(13, 28, 3) + command(0))
    arcs = command(1, 8, 12) + command(17, 6, 4, 0.5, 24, 12) + command(23, 6, 4, 0, 8, 12)
    relative = command(2, 3, 3) + command(4, 10, 0) + command(6, 5) + command(8, 9) + command(12, 1, 2, 3, 4, 5, 6)
    flip = render_state(origin=0, scissor=[(2, 2, 12, 9)])
    rotated = render_state(path_matrix=b'\x02' + coordinate(0.3))
    return {
        'fill_rectangle': target() + render_state() + fill() + b'\x00' + rectangle,
        'stroke_dashed': target(stride_sign=1) + flip + b'\x00' + stroke(dashes=[(4, 2), (1, 1)], phase=1) + curves,
        'fill_and_stroke': target(17, 31, pad=1) + rotated + fill(rule=0) + stroke(3, 1, 1) + arcs,
        'relative': target() + render_state(blend=5) + fill() + stroke(1, 2, 2, 1.5) + relative,
    }


def builder_call(index, *values):
    return bytes([index]) + b''.join(coordinate(v) for v in values)


def builder_seeds():
    head = target() + render_state() + fill() + stroke(1.5, 1, 1)
    return {
        'shapes': head + builder_call(26, 2, 2, 12, 8) + builder_call(28, 16, 4, 12, 10) +
                  builder_call(27, 4, 12, 20, 10, 6, 4),
        'arc': head + builder_call(29, 4, 4, 20, 16, 0.5, 5.0) + bytes([2]),
        'commands': head + builder_call(1, 3, 3) + builder_call(11, 10, 0, 20, 20, 30, 5) +
                    builder_call(21, 5, 5, 0, 10, 20) + builder_call(0),
        'huge_arc': head + builder_call(29, 10, 10) + raw_float(1e12) + raw_float(1e12) +
                    coordinate(0) + raw_float(3000.0) + bytes([0]),
    }


def shapes():
    # What RandomShapes reads: a rectangle, an ellipse and a triangle.
    return (bytes([0]) + b''.join(coordinate(v) for v in (2, 2, 20, 14)) +
            bytes([1]) + b''.join(coordinate(v) for v in (16, 12, 24, 16)) +
            bytes([2]) + coordinate(4) + coordinate(20) + bytes([3]) + coordinate(28) + coordinate(22) +
            bytes([3]) + coordinate(10) + coordinate(4))


def gradient(linear, points, spread=0, premultiplied=0, stops=((0, (255, 0, 0, 255)), (1, (0, 0, 255, 128)))):
    out = bytes([1 if linear else 0]) + b''.join(coordinate(v) for v in points) + bytes([spread, premultiplied])
    out += bytes([len(stops)])
    for offset, rgba in stops:
        out += bytes([0, int(round(offset * 255))]) + bytes(rgba)
    return out


def gradient_seeds():
    head = target() + render_state()
    linear = gradient(True, (0, 0, 32, 24))
    radial = gradient(False, (16, 12, 10, 12, 10), spread=1,
                      stops=((0.2, (0, 255, 0, 255)), (0.5, (0, 0, 0, 0)), (0.9, (255, 255, 0, 200))))
    repeat = gradient(True, (4, 0, 12, 6), spread=2, premultiplied=1)
    return {
        'linear': head + fill(paint=linear) + b'\x00' + shapes(),
        'radial': head + fill(paint=radial) + stroke(3, 1, 1, paint=repeat) + shapes(),
        'rotated': target() + render_state(path_matrix=b'\x02' + coordinate(0.5)) + b'\x00' +
                   stroke(6, paint=radial) + shapes(),
    }


def image_paint(width, height, mode=0, kind=0, stride_sign=0):
    pixels = bytes((x * 53 + 7) & 255 for x in range(4 * width * height))
    return (bytes([0, width - 1, height - 1, 0, stride_sign]) + pixels + bytes([kind, mode]) +
            bytes([90, 90, 200, 255]) + b'\x00')


def image_paint_seeds():
    head = target() + render_state()
    return {
        'clip': head + fill(paint=image_paint(4, 3)) + b'\x00' + shapes(),
        'repeat': head + fill(paint=image_paint(3, 5, mode=2, stride_sign=1)) +
                  stroke(4, paint=image_paint(2, 2, mode=3, kind=1)) + shapes(),
        'noclip': target() + render_state(path_matrix=b'\x02' + coordinate(0.3)) +
                  fill(paint=image_paint(5, 5, mode=1)) + b'\x00' + shapes(),
    }


# A two-glyph bitmap font in the text format FreeType reads: a valid font to
# mutate besides DejaVu Sans.
BITMAP_FONT = b"""STARTFONT 2.1
FONT -fuzz-seed-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 -1
STARTPROPERTIES 2
FONT_ASCENT 7
FONT_DESCENT 1
ENDPROPERTIES
CHARS 2
STARTCHAR A
ENCODING 65
SWIDTH 500 0
DWIDTH 8 0
BBX 8 8 0 -1
BITMAP
18
24
42
42
7E
42
42
00
ENDCHAR
STARTCHAR B
ENCODING 66
SWIDTH 500 0
DWIDTH 8 0
BBX 8 8 0 -1
BITMAP
7C
42
7C
42
42
7C
00
00
ENDCHAR
ENDFONT
"""


def font_seed(text, size=12, x=2, y=18, matrix=b'\x00', origin=0, own=None, utf8=0, evicting=0):
    out = target() + bytes([origin]) + matrix + bytes([0, size]) + struct.pack('<hh', x, y)
    out += bytes([30, 30, 200, 255]) + bytes([len(text)]) + text + bytes([utf8, evicting])
    return out + (bytes([1]) + own if own is not None else bytes([0]))


def font_seeds():
    return {
        'dejavu': font_seed(b'Hello'),
        'dejavu_rotated': font_seed(b'\xc3\xa9t\xc3\xa9 W', size=20, matrix=b'\x02' + coordinate(0.4), origin=1),
        'dejavu_utf8': font_seed('Température 25 °C, αβγ Жж €'.encode() + b' \xe2\x82 \xed\xa0\x80 \xf4\x90\x80\x80',
                                 utf8=1),
        'dejavu_utf8_evicting': font_seed('Größe µm ΑΩ'.encode(), size=30, utf8=1, evicting=1, origin=1),
        'bitmap': font_seed(b'ABBA', size=8, own=BITMAP_FONT),
    }


def png_chunk(kind, payload):
    return struct.pack('>I', len(payload)) + kind + payload + struct.pack('>I', zlib.crc32(kind + payload))


def png(width, height, depth, color_type, pixel_bytes, interlace=0, extra=b''):
    rows = b''.join(bytes([0]) + bytes((x * 37 + y * 11) & 255 for x in range(width * pixel_bytes))
                    for y in range(height))
    header = struct.pack('>IIBBBBB', width, height, depth, color_type, 0, 0, interlace)
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', header) + extra +
            png_chunk(b'IDAT', zlib.compress(rows)) + png_chunk(b'IEND', b''))


def png_seeds():
    return {
        'rgba': png(5, 3, 8, 6, 4),
        'rgb': png(4, 4, 8, 2, 3),
        'gray8': png(3, 2, 8, 0, 1),
        'gray16': png(3, 2, 16, 0, 2),
        'palette': png(2, 2, 8, 3, 1, extra=png_chunk(b'PLTE', bytes(i & 255 for i in range(3 * 256)))),
        'interlaced': png(9, 7, 8, 6, 4, interlace=1),
    }


# Small files written by libjpeg-turbo's encoder at quality 50 with optimised
# Huffman tables: RGB baseline, progressive, with a restart marker every MCU
# row, grey, CMYK, progressive YCCK, an Exif orientation 6 (Motorola order) and
# arithmetic coding; the bytes are kept here since Python has no JPEG encoder.
JPEG_SEEDS = {
    'baseline': (
        '/9j/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/'
        '2wBDARESEhgVGC8aGi9jQjhCY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2P/wAAR'
        'CAAQABADASIAAhEBAxEB/8QAFQABAQAAAAAAAAAAAAAAAAAAAwT/xAAlEAACAQEHBQEBAAAAAAAAAAABAhEDAAQFEiEiMQYU'
        'QVFhcfD/xAAVAQEBAAAAAAAAAAAAAAAAAAAAAf/EABgRAAMBAQAAAAAAAAAAAAAAAAABIRFR/9oADAMBAAIRAxEAPwAGXtel'
        'lRJRqzrTlSBI5M+xpEffVnxAKtLDrkJGaajKAIjgE6fv9FjxAMy4ddd4MGqcp2nxqPY8H6bUVi156jpUAqDtqarIM5p3ceOb'
        'Vq4xkvD/2Q=='
),
    'progressive': (
        '/9j/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/'
        '2wBDARESEhgVGC8aGi9jQjhCY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2P/wgAR'
        'CAAQABADASIAAhEBAxEB/8QAFQABAQAAAAAAAAAAAAAAAAAAAwL/xAAUAQEAAAAAAAAAAAAAAAAAAAAA/9oADAMBAAIQAxAA'
        'AAE0lD//xAAaEAACAgMAAAAAAAAAAAAAAAADBAABIjEy/9oACAEBAAEFAuVSaJLyY//EABQRAQAAAAAAAAAAAAAAAAAAAAD/'
        '2gAIAQMBAT8Bf//EABQRAQAAAAAAAAAAAAAAAAAAAAD/2gAIAQIBAT8Bf//EABsQAAEEAwAAAAAAAAAAAAAAAAABAgOBIVJx'
        '/9oACAEBAAY/Au4I2WRtsRNUP//EABsQAQADAAMBAAAAAAAAAAAAAAEAESExQXFR/9oACAEBAAE/IUqDFmJQ+jRLJr44l6Uw'
        'Pe5//9oADAMBAAIAAwAAABCL/8QAFxEAAwEAAAAAAAAAAAAAAAAAABEhUf/aAAgBAwEBPxBS4f/EABcRAQADAAAAAAAAAAAA'
        'AAAAAAEAESH/2gAIAQIBAT8QTaZ//8QAHRABAAICAwEBAAAAAAAAAAAAAREhAFExQWFx8P/aAAgBAQABPxCxcyIJOWdlRHus'
        'AeSwAiOBa+/owUKwuVurNnT64h43AzbTrnP/2Q=='
),
    'restarts': (
        '/9j/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/'
        '2wBDARESEhgVGC8aGi9jQjhCY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2P/wAAR'
        'CAAQABgDASIAAhEBAxEB/8QAFgABAQEAAAAAAAAAAAAAAAAAAwAE/8QAKRAAAgEBBwMDBQAAAAAAAAAAAQIRAwAEBRIhIjEG'
        'QVETFGFxgZGh8P/EABYBAQEBAAAAAAAAAAAAAAAAAAABAv/EABwRAAICAgMAAAAAAAAAAAAAAAECACEDERNRwf/dAAQAAv/a'
        'AAwDAQACEQMRAD8ABl9r0sqJKNWdacqQJHJnyNIj58WfEAq0sOuQkZpqMoAiOATp9f6LHiAZlw667wYNU5TtPbUeR2PybaKx'
        'a89R0qAVB7amqyDOad3Hbm1IvRjVX1EvdL1sdutFdadKiu2NAxYz+gPxasWFOhxm/wB9SnkprUZiuaSYEEzPeJ+/Nq2GzLjA'
        'Dm442YnXgn//2Q=='
),
    'grey': (
        '/9j/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/'
        'wAALCAAHAAkBAREA/8QAFQABAQAAAAAAAAAAAAAAAAAABQb/xAAfEAABAgYDAAAAAAAAAAAAAAABAAIDBAUSUfAUIpP/2gAI'
        'AQEAAD8ALoskyxnUEkDdyqDhw8s8wv/Z'
),
    'cmyk': (
        '/9j/7gAOQWRvYmUAZAAAAAAA/9sAQwAQCwwODAoQDg0OEhEQExgoGhgWFhgxIyUdKDozPTw5Mzg3QEhcTkBEV0U3OFBtUVdf'
        'YmdoZz5NcXlwZHhcZWdj/8AAFAgACAAIBEMRAE0RAFkRAEsRAP/EABUAAQEAAAAAAAAAAAAAAAAAAAIE/8QAJRAAAgECBgEF'
        'AQAAAAAAAAAAAQIRAyEABAUSMUETIiNhcYHw/9oADgRDAE0AWQBLAAA/AJqFEDT9Iy+2RUcuYAgFQBxEk+vr5sbQaWXC5bR6'
        'HjBV2djc8qF/Ozzf6k4CpT8mjZNGI27qrrBgg2Ukdmzfxw6NP39LygEBd1Rqe4QTYCRPV7kdnm+P/9k='
),
    'ycck': (
        '/9j/7gAOQWRvYmUAZAAAAAAC/9sAQwAQCwwODAoQDg0OEhEQExgoGhgWFhgxIyUdKDozPTw5Mzg3QEhcTkBEV0U3OFBtUVdf'
        'YmdoZz5NcXlwZHhcZWdj/9sAQwEREhIYFRgvGhovY0I4QmNjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2Nj'
        'Y2NjY2NjY2NjY2Nj/8IAFAgACAAIBAEiAAIRAQMRAQQiAP/EABYAAQEBAAAAAAAAAAAAAAAAAAABAv/EABUBAQEAAAAAAAAA'
        'AAAAAAAAAAAC/9oADgQBAAIQAxAEAAAAAdBVH//EABUQAQEAAAAAAAAAAAAAAAAAAAEi/9oACAEBAAEFAlr/xAAUEQEAAAAA'
        'AAAAAAAAAAAAAAAA/9oACAECAQEFAn//xAAUEQEAAAAAAAAAAAAAAAAAAAAA/9oACAEDAQEFAn//xAAVEAEBAAAAAAAAAAAA'
        'AAAAAAABIf/aAAgBBAABBQIL/8QAFhAAAwAAAAAAAAAAAAAAAAAAAAID/9oACAEBAAY/ArMf/8QAFBEBAAAAAAAAAAAAAAAA'
        'AAAAAP/aAAgBAgEGPwJ//8QAFBEBAAAAAAAAAAAAAAAAAAAAAP/aAAgBAwEGPwJ//8QAGBAAAgMAAAAAAAAAAAAAAAAAAAID'
        'EYH/2gAIAQQABj8CiXaP/8QAGBAAAgMAAAAAAAAAAAAAAAAAATEAkfD/2gAIAQEAAT8haEANU//EABURAQEAAAAAAAAAAAAA'
        'AAAAAAEA/9oACAECAQE/IUv/xAAUEQEAAAAAAAAAAAAAAAAAAAAA/9oACAEDAQE/IX//xAAXEAADAQAAAAAAAAAAAAAAAAAA'
        'ARFx/9oACAEEAAE/IcrWo//aAA4EAQACAAMABAAAABAD/wD/xAAXEAEBAQEAAAAAAAAAAAAAAAABIYEA/9oACAEBAAE/EHZK'
        'Tqrcd//EABYRAQEBAAAAAAAAAAAAAAAAABEAAf/aAAgBAgEBPxADL//EABQRAQAAAAAAAAAAAAAAAAAAAAD/2gAIAQMBAT8Q'
        'f//EABkQAQEBAQEBAAAAAAAAAAAAAAEhEUEAMf/aAAgBBAABPxCFMIBiwNN5anX7ff/Z'
),
    'exif_turned': (
        '/9j/4QAiRXhpZgAATU0AKgAAAAgAAQESAAMAAAABAAYAAAAAAAD/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9'
        'PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/2wBDARESEhgVGC8aGi9jQjhCY2NjY2NjY2NjY2NjY2NjY2Nj'
        'Y2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2P/wAARCAAFAAsDASIAAhEBAxEB/8QAFgABAQEAAAAAAAAAAAAAAAAA'
        'AAMF/8QAIRAAAQQBAwUAAAAAAAAAAAAAAQACAxEEBhQhMkFhgaH/xAAVAQEBAAAAAAAAAAAAAAAAAAABAv/EABkRAQACAwAA'
        'AAAAAAAAAAAAAAEAAjJB8P/aAAwDAQACEQMRAD8AgAINKVGSwyObGS3iweSD4NffS3sDHj2MNMb092hEV1yYlRqdtn//2Q=='
),
    'arithmetic': (
        '/9j/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1RV19iZ2hnPk1xeXBkeFxlZ2P/'
        '2wBDARESEhgVGC8aGi9jQjhCY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2NjY2P/ygAR'
        'CAAQABADASIAAhEBAxEB/8wABgAQARD/2gAMAwEAAhADEAAAAflTDP/MAAQQBf/aAAgBAQABBQJiRCRweBHiYP/MAAQRBf/a'
        'AAgBAwEBPwHA/8wABBEF/9oACAECAQE/AcD/zAAEEAX/2gAIAQEABj8CTH70Z0w9ZcrKS4D/zAAEEAX/2gAIAQEAAT8hy+Lo'
        'oidt3iBa3Swf1kJfx1xp/9oADAMBAAIAAwAAABCs/8wABBEF/9oACAEDAQE/EJGDyP/MAAQRBf/aAAgBAgEBPxAwAID/zAAE'
        'EAX/2gAIAQEAAT8QW7ahoE9a9bElKyHD6nI5KtptAu9FhQRNHz9Np5+Zc0eKJmFpT58aKaD/2Q=='
),
}


def jpeg_seeds():
    seeds = {name: base64.b64decode(text) for name, text in JPEG_SEEDS.items()}
    seeds['cut_short'] = seeds['progressive'][:300]
    return seeds


def svg_path_seeds():
    """A scene, a transform (0 identity, 3 a full matrix), the road, then the text."""
    scene = target() + render_state() + fill() + stroke()
    scaled = bytes([3]) + b''.join(coordinate(v) for v in (8, 0, 0, 8, 4, 4))
    texts = {
        'squares': b'M1 1 h2 v2 h-2 z m4 0 h2 v2 h-2 z',
        'curves': b'M0 0 c0 1 2 1 2 0 s2-1 2 0 q1 2 2 0 t2 0 V3 H0 z',
        'arcs': b'M1 2a1 1 0 00 2 0A.5.5 30 1 1 1 2zm0 1a1e-3 1e-3 0 0 1 2 0',
        'numbers': b'M.5.5-1-2E0L1e1,2.5E-1+5e+0-.0 3.4e38 1e-400',
        'errors': b'M1 1 L2 2 3,z 5',
    }
    return {name: scene + (scaled if name != 'numbers' else b'\x00') + b'\x00' + text
            for name, text in texts.items()}


def road_seeds():
    """Scene bytes are read as random choices: a few fixed random streams."""
    import random
    return {'scene-%d' % i: bytes(random.Random(i).getrandbits(8) for _ in range(1024)) for i in range(8)}


def utf8_seeds():
    """Font size, x and y, then the text: well-formed, cut short, overlong, surrogate, out of range."""
    texts = {
        'ascii': b'Hello, W',
        'latin': 'Température 25 °C'.encode(),
        'mixed': 'αβγ Жж € 𝄞 中'.encode(),
        'cut': b'a\xe2\x82 b\xf0\x9f\x98 c\xc3',
        'overlong': b'\xc0\xaf \xe0\x80\xaf \xf0\x80\x80\xaf',
        'surrogate': b'\xed\xa0\x80 \xed\xbf\xbf \xef\xbf\xbd',
        'beyond': b'\xf4\x90\x80\x80 \xf5\x80 \xff\xfe \x80\xbf',
    }
    return {name: bytes([12, 2, 18]) + text for name, text in texts.items()}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'corpus'
    for name, seeds in (('path_stream_fuzzer', stream_seeds()), ('path_builder_fuzzer', builder_seeds()),
                        ('png_fuzzer', png_seeds()), ('jpeg_fuzzer', jpeg_seeds()),
                        ('gradient_fuzzer', gradient_seeds()),
                        ('image_paint_fuzzer', image_paint_seeds()), ('font_fuzzer', font_seeds()),
                        ('road_fuzzer', road_seeds()), ('svg_path_fuzzer', svg_path_seeds()),
                        ('utf8_text_fuzzer', utf8_seeds())):
        os.makedirs(os.path.join(out, name), exist_ok=True)
        for seed, data in seeds.items():
            with open(os.path.join(out, name, seed), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
