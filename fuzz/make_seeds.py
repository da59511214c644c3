#!/usr/bin/env python3
"""Writes the seed corpora in corpus/<target>/: small files of every form each reader takes, made here
byte by byte so that they are our own. JPEG seeds are encoded with stb_image_write through a few lines
of C compiled on the spot (libstb-dev). Run from anywhere; it rewrites the seeds it makes and leaves
other files in the corpus folders (inputs the fuzzer found worth keeping) alone."""
import os
import struct
import subprocess
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


# ---- X files -------------------------------------------------------------------------------------

CUBE_TEXT = """xof 0303txt 0032
template Header { <3D82AB43-62DA-11cf-AB39-0020AF71E433> WORD major; WORD minor; DWORD flags; }
Header { 1; 0; 1; }
// a comment
# another comment
Material Shared { 0.5;0.5;0.5;1.0;; 8.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; TextureFilename { "wood.png"; } }
Frame Root {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
  Frame Box {
    FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 2,0,0,1;; }
    Mesh BoxMesh {
      8; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0;0;1;, 1;0;1;, 1;1;1;, 0;1;1;;
      6; 4;0,3,2,1;, 4;4,5,6,7;, 4;0,1,5,4;, 4;2,3,7,6;, 4;0,4,7,3;, 3;1,2,6;;
      MeshNormals { 2; 0;0;-1;, 0;0;1;; 6; 4;0,0,0,0;, 4;1,1,1,1;, 4;0,0,0,0;, 4;1,1,1,1;, 4;0,0,0,0;, 3;1,1,1;; }
      MeshTextureCoords { 8; 0;0;, 1;0;, 1;1;, 0;1;, 0;0;, 1;0;, 1;1;, 0;1;; }
      MeshVertexColors { 2; 0;1;0;0;1;;, 5;0;0;1;1;;; }
      MeshMaterialList { 2; 6; 0,0,1,1,0,1;; { Shared } Material Red { 1;0;0;1;; 20; 0;0;0;; 0;0;0;; } }
    }
  }
  Frame Again { { BoxMesh } }
}
"""

SKINNED_TEXT = """xof 0303txt 0032
Frame Body {
  Mesh Strip {
    6; 0;0;0;, 0;1;0;, 1;0;0;, 1;1;0;, 2;0;0;, 2;1;0;;
    2; 4;0,1,3,2;, 4;2,3,5,4;;
    MeshMaterialList { 1; 2; 0,0;; Material Skin { 1;1;1;1;; 0; 0;0;0;; 1;1;1;; } }
    XSkinMeshHeader { 2; 4; 2; }
    SkinWeights { "Hip"; 4; 0,1,2,3; 1,1,0.5,0.5; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
    SkinWeights { "Knee"; 4; 2,3,4,5; 0.5,0.5,1,1; 1,0,0,0, 0,1,0,0, 0,0,1,0, -1,0,0,1;; }
  }
}
Frame Hip { Frame Knee { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; } } }
Frame Prop {
  Mesh Stick { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
}
AnimTicksPerSecond { 10; }
AnimationSet Bend {
  Animation { { Knee } AnimationKey { 2; 2; 0;3;1,0,0;;, 10;3;1,2,0;;; } AnimationOptions { 1; 0; } }
  Animation { AnimationKey { 0; 2; 0;4;1,0,0,0;;, 10;4;0.7,0.7,0,0;;; } AnimationKey { 1; 1; 0;3;1,1,1;;; } { Hip } }
}
AnimationSet Matrices {
  Animation { { Hip } AnimationKey { 4; 1; 5;16;1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;; } }
}
}
"""

TEMPLATES_TEXT = """xof 0303txt 0032
template Empty { <11111111-2222-3333-4444-555555555555> }
template Pair { DWORD a; FLOAT b; }
template Nest { DWORD n; array Pair pairs[n]; array Empty none[3]; STRING label; }
template Grid { DWORD w; DWORD h; array FLOAT cells[w][h]; }
template Open { <22222222-2222-3333-4444-555555555555> [...] }
template Closed { <33333333-2222-3333-4444-555555555555> DWORD x; [Pair <00000000-0000-0000-0000-000000000000>] }
Nest One { 2; 1; 0.5;, 2; 1.5;; "label"; }
Grid { 2; 3; 1,2,3,4,5,6;; }
Open { Pair { 1; 2.0; } Nest { 0; ; ""; } }
Unknown Thing { 1; 2; 3; Child { } }
"""

DOUBLES_TEXT = """xof 0303txt 0064
Mesh Tri { 3; 0.0;0.0;0.0;, 1.0e0;0;0;, 0;1.5e-3;0;; 1; 3;0,1,2;;
  MeshMaterialList { 1; 1; 0;; Material { 1;1;1;1;; 1; 1;1;1;; 0;0;0;; } } }
"""


def binary_file(doubles=False):
    """A small mesh in the binary token stream."""
    out = bytearray(b"xof 0303bin " + (b"0064" if doubles else b"0032"))

    def tok(t):
        out.extend(struct.pack("<H", t))

    def name(n):
        tok(1)
        out.extend(struct.pack("<I", len(n)) + n.encode())

    def ints(values):
        tok(6)
        out.extend(struct.pack("<I", len(values)))
        for v in values:
            out.extend(struct.pack("<I", v))

    def floats(values):
        tok(7)
        out.extend(struct.pack("<I", len(values)))
        for v in values:
            out.extend(struct.pack("<d" if doubles else "<f", v))

    name("Frame"); name("F"); tok(10)
    name("FrameTransformMatrix"); tok(10); floats([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]); tok(11)
    name("Mesh"); name("M"); tok(10)
    ints([4]); floats([0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0]); ints([2, 3, 0, 1, 2, 3, 0, 2, 3])
    name("MeshMaterialList"); tok(10); ints([1, 2, 0, 0])
    name("Material"); tok(10); floats([1, 0, 0, 1, 10, 1, 1, 1, 0, 0, 0])
    name("TextureFilename"); tok(10); tok(2); out.extend(struct.pack("<I", 5) + b"a.png"); tok(20); tok(11)
    tok(11); tok(11)
    tok(11); tok(11)
    # a template declared in binary
    tok(31); name("Pair"); tok(10); tok(41); name("a"); tok(20); tok(52); tok(42); name("b"); tok(14)
    tok(3); out.extend(struct.pack("<I", 2)); tok(15); tok(20); tok(11)
    name("Pair"); tok(10); ints([7]); floats([1, 2]); tok(11)
    return bytes(out)


def mszip(plain):
    """The MSZIP form of an uncompressed X file: 32 KiB blocks, each primed with the input before it."""
    out = bytearray(plain[:16])
    out[8:12] = b"tzip" if plain[8:9] == b"t" else b"bzip"
    out.extend(struct.pack("<I", len(plain)))
    for start in range(16, len(plain), 32768):
        block = plain[start:start + 32768]
        history = plain[max(16, start - 32768):start]
        packer = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=history) if history else \
            zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(block) + packer.flush()
        out.extend(struct.pack("<HH", len(block), len(packed) + 2) + b"CK" + packed)
    return bytes(out)


def xfile_seeds():
    t = "fuzz_xfile"
    write(t, "cube.x", CUBE_TEXT)
    write(t, "skinned.x", SKINNED_TEXT)
    write(t, "templates.x", TEMPLATES_TEXT)
    write(t, "doubles.x", DOUBLES_TEXT)
    write(t, "binary32.x", binary_file())
    write(t, "binary64.x", binary_file(doubles=True))
    write(t, "cube-tzip.x", mszip(CUBE_TEXT.encode()))
    write(t, "skinned-tzip.x", mszip(SKINNED_TEXT.encode()))
    write(t, "binary-bzip.x", mszip(binary_file()))
    write(t, "empty-templates.x", "xof 0303txt 0032\ntemplate E { }\ntemplate L1 { array E e[40]; }\n"
          "template L2 { array L1 e[40]; }\ntemplate Frame { array L2 e[40]; [...] }\nFrame F { }\n//"
          + "-" * 100 + "\n")
    write(t, "references.x", "xof 0303txt 0032\nMesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }\n"
          "Frame A { {M} {M} } Frame B { { M } }\n")
    write(t, "fan.x", "xof 0303txt 0032\nMesh Fan { 4; 0;0;0;, 1;0;0;, 0;1;0;, 0;0;1;;\n"
          " 4; 3;0,1,2;, 3;0,1,2;, 3;0,1,3;, 3;1,0,3;; }\n")


# ---- effect files --------------------------------------------------------------------------------

def effect_seeds():
    t = "fuzz_effect"
    fx = os.path.join(ROOT, "Data", "Shader", "FX")
    for name in sorted(os.listdir(fx)):
        if name.endswith(".fx"):
            with open(os.path.join(fx, name), "rb") as source:
                write(t, name, source.read())
    write(t, "small.fx", "// flat\r\nparameter float4x4 Bones[4];\nparameter float Scale = 0x10;\n"
          "parameter string Name = \"two words\";\nparameter texture MeshTex\nparameter bool On = TRUE\n"
          "technique Tech\npass P0\n  state CULLMODE CCW\n  state D3DRS_ZENABLE 1\n  state DEPTHBIAS 0.5\n"
          "vertex\n#version 330 core\nvoid main() {}\nfragment\nvoid main() {}\npass P1\nvertex\nvoid main() {}\n"
          "fragment\nvoid main() {}\n")
    write(t, "blanks.fx", "\v\f\n \t\r\n" + "technique T\npass P\nvertex\nx\nfragment\ny\n")


# ---- pictures ------------------------------------------------------------------------------------

def png(width, height, colour_type, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def bmp(width, height, bits):
    row = (width * bits // 8 + 3) & ~3
    pixels = bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + pixels


def tga(width, height, rle):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 10 if rle else 2, 0, 0, 0, 0, 0, width, height, 32, 8)
    if rle:
        body = bytes([0x80 | (width * height - 1), 10, 20, 30, 255])
    else:
        body = bytes((i * 13) & 0xFF for i in range(width * height * 4))
    return header + body


def dds(fourcc, width, height, mips, payload, rgb_bits=0, masks=(0, 0, 0, 0)):
    flags = 0x1007 | (0x20000 if mips > 1 else 0)
    pf_flags = 0x4 if fourcc else (0x40 | (0x1 if masks[3] else 0))
    header = struct.pack("<4sIIIIII", b"DDS ", 124, flags, height, width, 0, 0) + struct.pack("<I", mips)
    header += b"\0" * 44
    header += struct.pack("<II4sIIIII", 32, pf_flags, fourcc or b"\0\0\0\0", rgb_bits, *masks)
    header += struct.pack("<IIIII", 0x1000 | (0x400008 if mips > 1 else 0), 0, 0, 0, 0)
    return header + payload


JPEG_C = r"""
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
int main(int argc, char** argv) {
    (void)argc;
    unsigned char px[16 * 16 * 3];
    for (int i = 0; i < 16 * 16 * 3; ++i) px[i] = (unsigned char)(i * 7);
    stbi_write_jpg(argv[1], 16, 8, 3, px, 90);
    stbi_write_jpg(argv[2], 8, 8, 1, px, 50);
    return 0;
}
"""


def jpeg_seeds(t):
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "jpeg.c")
        with open(source, "w") as out:
            out.write(JPEG_C)
        program = os.path.join(tmp, "jpeg")
        subprocess.run(["cc", "-O1", "-o", program, source, "-lm"], check=True)
        colour, grey = os.path.join(tmp, "c.jpg"), os.path.join(tmp, "g.jpg")
        subprocess.run([program, colour, grey], check=True)
        for path, name in ((colour, "colour.jpg"), (grey, "grey.jpg")):
            with open(path, "rb") as data:
                write(t, name, data.read())


def image_seeds():
    t = "fuzz_image"
    write(t, "rgba.png", png(3, 2, 6, [bytes(range(12)), bytes(range(12, 24))]))
    write(t, "grey.png", png(2, 2, 0, [b"\x10\x80", b"\xff\x00"]))
    write(t, "rgb.png", png(2, 1, 2, [b"\x01\x02\x03\x04\x05\x06"]))
    write(t, "24.bmp", bmp(3, 2, 24))
    write(t, "32.bmp", bmp(2, 2, 32))
    write(t, "raw.tga", tga(2, 2, False))
    write(t, "rle.tga", tga(2, 2, True))
    write(t, "dxt1.dds", dds(b"DXT1", 4, 4, 1, bytes(8)))
    write(t, "dxt5-mips.dds", dds(b"DXT5", 8, 8, 4, bytes(range(64)) + bytes(16) * 3))
    write(t, "argb.dds", dds(None, 2, 2, 2, bytes(range(16)) + bytes(4), 32,
                            (0xFF0000, 0xFF00, 0xFF, 0xFF000000)))
    jpeg_seeds(t)


# ---- the editor's files and the library's records ------------------------------------------------

def files_seeds():
    t = "fuzz_files"
    with open(os.path.join(ROOT, "Data", "Sample", "Sample.map"), "rb") as source:
        write(t, "sample.map", source.read())
    write(t, "one.mat", "Matrix(1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n")
    write(t, "split.mat", "Matrix(5,6,\r\n7,8);\tMatrix(9);")
    write(t, "list.matList", "Matrix(1,1.25,1.5,1.75,2,2.25,2.5,2.75,3,3.25,3.5,3.75,4,4.25,4.5,4.75);\r\n"
          "Matrix(-1e+10,nan,inf,0,0,1,0,0,0,0,1,0,0,0,0,1);\r\n")
    write(t, "binary.matList", struct.pack("<32f", *([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1] * 2)))
    write(t, "transform.txt", "p(0,1,0)r(0,90,0)s(1,1,1)\r\n")
    write(t, "transforms.txt", "p(0,1,0)r(0,90,0)s(1,1,1)\r\np(1,2,3)\r\nr(4,5)s(2)\r\n")
    write(t, "camera.txt", "p(0,0,-10)r(32,-38,0)\r\n")
    write(t, "maplist.txt", "obj(tree.x)p(0,0,0)r(0,90,0)s(1,1,1)\r\nobj(rock.x)p(1,0,2)\r\n")
    write(t, "record.bin", struct.pack("<9f", 1, 2, 3, 0, 90, 0, 1, 1, 1))
    write(t, "cammove.bin", struct.pack("<10f", 0, 0, -10, 30, 0, 0, 0, -5, 10, 45))


# ---- wave files ----------------------------------------------------------------------------------

def wave(channels, rate, bits, samples, extra=None, before_data=b""):
    block = channels * bits // 8
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block, block, bits)
    if extra is not None:
        fmt += struct.pack("<H", len(extra)) + extra
    chunks = b"fmt " + struct.pack("<I", len(fmt)) + fmt + before_data
    chunks += b"data" + struct.pack("<I", len(samples)) + samples + (b"\0" if len(samples) % 2 else b"")
    return b"RIFF" + struct.pack("<I", 4 + len(chunks)) + b"WAVE" + chunks


def wave_seeds():
    t = "fuzz_wave"
    sine = b"".join(struct.pack("<h", int(12000 * ((i % 20) - 10) / 10)) for i in range(200))
    write(t, "mono16.wav", wave(1, 22050, 16, sine))
    write(t, "stereo8.wav", wave(2, 8000, 8, bytes(range(101))))
    write(t, "list-chunk.wav", wave(1, 11025, 16, sine[:64], extra=b"",
                                     before_data=b"LIST" + struct.pack("<I", 4) + b"INFO"))
    write(t, "extra-format.wav", wave(1, 44100, 16, sine[:32], extra=b"\1\2"))


if __name__ == "__main__":
    xfile_seeds()
    effect_seeds()
    image_seeds()
    files_seeds()
    wave_seeds()
