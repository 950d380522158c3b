#!/usr/bin/env python3
"""Makes the ZIP archives of this folder, the manifest of the good ones and the fuzz seeds.

good_*     archives every reader must read: Info-ZIP's zip and Python's zipfile, stored and
           deflated entries, folder entries, comments, data descriptors, a large entry, bytes
           before the archive, a ZIP64 end record.
odd_*      valid archives with what the readers do not support: no entries, bzip2 and LZMA,
           encryption.
damaged_*  good archives with one fault each, made here by patching their bytes.

Deterministic: fixed content, fixed timestamps (TZ=UTC for zip), fixed file modes. Run it from
anywhere with python3; it needs Info-ZIP's zip. manifest.tsv lists every entry of the good
archives (name, method, sizes, CRC-32) and their comments, as Python's zipfile reads them.
"""
import calendar
import io
import os
import shutil
import struct
import subprocess
import tempfile
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "..", "..", "fuzz", "seeds", "unzip")
STAMP = (2021, 6, 15, 10, 30, 0)
DOS_TIME = (10 << 11) | (30 << 5)
DOS_DATE = ((2021 - 1980) << 9) | (6 << 5) | 15
SEED_NAMES = ["good_python_stored.zip", "good_infozip_streamed.zip", "good_zip64_end.zip",
              "odd_methods.zip", "damaged_sizes.zip"]


def noise(size, seed):
    """Pseudo-random bytes that deflate cannot shrink."""
    out = bytearray()
    state = seed
    while len(out) < size:
        state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        out += struct.pack("<Q", state)[4:]
    return bytes(out[:size])


def receipt_text(lines):
    return b"".join(b"RECEIPT LINE %05d  QTY %3d  ITEM %-12s %8.2f\r\n"
                    % (i, i % 7 + 1, b"ARTICLE-%d" % (i % 97), (i * 37 % 1000) / 10)
                    for i in range(lines))


README = b"Driver files for the thermal receipt printers.\r\n"
FONT = bytes(range(256)) * 12 + b"\x00" * 300
STRINGS = "Drucker bereit\nImprimante pr\u00eate\n".encode("utf-8")
# name -> content; None is a folder entry.
TREE = [("readme.txt", README), ("Font/", None), ("Font/receipt.fnt", FONT), ("RES/", None),
        ("RES/lang/strings.txt", STRINGS), ("empty.dat", b""), ("RES/noise.bin", noise(40000, 7))]
COMMENT = b"Kestrava driver payload, test archive"
UNIX_TIME = struct.pack("<HHBI", 0x5455, 5, 1, calendar.timegm(STAMP + (0, 0, 0)))
ZIP64_SIZES = struct.pack("<HHQQ", 0x0001, 16, len(FONT), 303)
# Extra fields and entry comments of the Python archives: a timestamp block, and a ZIP64 block
# whose sizes are not needed (readers must step over it).
EXTRAS = {"readme.txt": (UNIX_TIME, b"first entry"),
          "Font/receipt.fnt": (ZIP64_SIZES + UNIX_TIME, b"after a ZIP64 block")}


def zip_info(name, method=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, STAMP)
    info.extra, info.comment = EXTRAS.get(name, (b"", b""))
    info.compress_type = zipfile.ZIP_STORED if name.endswith("/") else method
    info.external_attr = (0o40755 << 16 | 0x10) if name.endswith("/") else 0o100644 << 16
    info.create_system = 3
    return info


def python_zip(path_or_stream, tree, method, comment=b"", level=None):
    with zipfile.ZipFile(path_or_stream, "w", compresslevel=level) as z:
        for name, data in tree:
            z.writestr(zip_info(name, method), data or b"")
        z.comment = comment


class Unseekable:
    """A stream zipfile cannot seek in, so that it writes data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def write(self, b):
        self.data += b
        return len(b)

    def flush(self):
        pass


def info_zip(out, tree, comment=None, stream=False):
    work = tempfile.mkdtemp()
    try:
        stamp = calendar.timegm(STAMP + (0, 0, 0))
        for name, data in tree:
            path = os.path.join(work, name)
            os.makedirs(os.path.dirname(path) if data is not None else path, exist_ok=True)
            if data is not None:
                with open(path, "wb") as f:
                    f.write(data)
        for name, data in tree:  # after writing, so that folders keep their times
            path = os.path.join(work, name)
            os.chmod(path, 0o644 if data is not None else 0o755)
            os.utime(path, (stamp, stamp))
        env = dict(os.environ, TZ="UTC")
        names = [name for name, _ in tree]
        if stream:  # zip writing to a pipe cannot go back, so it writes data descriptors
            zipped = subprocess.run(["zip", "-q", "-X", "-", *names], cwd=work, env=env,
                                    stdout=subprocess.PIPE, check=True).stdout
            with open(out, "wb") as f:
                f.write(zipped)
        else:
            args = ["zip", "-q", "-X"] + (["-z"] if comment else []) + [out, *names]
            subprocess.run(args, cwd=work, env=env, input=(comment or b"") + b"\n.\n",
                           check=True)
    finally:
        shutil.rmtree(work)


def records(data):
    """Offsets of the end record, and of each entry's central and local header."""
    end = data.rindex(b"PK\x05\x06")
    count, _, cd_offset = struct.unpack_from("<HII", data, end + 10)
    entries, at = [], cd_offset
    for _ in range(count):
        sizes = struct.unpack_from("<HHH", data, at + 28)
        entries.append((at, struct.unpack_from("<I", data, at + 42)[0]))
        at += 46 + sum(sizes)
    return end, entries


def data_offset(data, local):
    """Where the data of the entry whose local header is at `local` starts."""
    return local + 30 + sum(struct.unpack_from("<HH", data, local + 26))


def patch(data, offset, fmt, *values):
    out = bytearray(data)
    struct.pack_into(fmt, out, offset, *values)
    return bytes(out)


def patch_both(data, entry, central_field, local_field, fmt, value):
    """Sets a field in an entry's central and local header alike."""
    _, entries = records(data)
    central, local = entries[entry]
    return patch(patch(data, central + central_field, fmt, value), local + local_field, fmt,
                 value)


def remove_bytes(data, at, count):
    """Cuts bytes out of an entry's data, moving the records after it so they stay valid."""
    end, entries = records(data)
    out = data[:at] + data[at + count:]
    out = patch(out, end - count + 16, "<I", struct.unpack_from("<I", data, end + 16)[0] - count)
    for central, local in entries:
        if local > at:
            out = patch(out, central - count + 42, "<I", local - count)
    return out


def crafted(entries, comment=b"", zip64_end=False, encrypt=None):
    """A hand-made archive: (name, method, data) entries, optionally encrypted with the
    traditional scheme (fixed header bytes) or ended by a ZIP64 end record and locator."""
    body, central = b"", b""
    for name, method, data in entries:
        name = name.encode()
        packed = data if method == 0 else zlib.compress(data, 9)[2:-4]
        crc, flags = zlib.crc32(data), 0
        if encrypt:
            packed, flags = zip_crypto(encrypt, bytes(11) + bytes([crc >> 24]) + packed), 1
        fields = (flags, method, DOS_TIME, DOS_DATE, crc, len(packed), len(data), len(name))
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, *fields, 0, 0, 0, 0,
                               0, len(body)) + name
        body += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, *fields, 0) + name + packed
    count, size = len(entries), len(central)
    tail = b""
    if zip64_end:
        end64 = len(body) + size
        tail = struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, count, count, size,
                           len(body))
        tail += struct.pack("<IIQI", 0x07064B50, 0, end64, 1)
        count, size = 0xFFFF, 0xFFFFFFFF
    end = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, size,
                      0xFFFFFFFF if zip64_end else len(body), len(comment))
    return body + central + tail + end + comment


def zip_crypto(password, data):
    keys = [0x12345678, 0x23456789, 0x34567890]

    def crc_byte(crc, b):
        return zlib.crc32(bytes([b]), crc ^ 0xFFFFFFFF) ^ 0xFFFFFFFF

    def update(b):
        keys[0] = crc_byte(keys[0], b)
        keys[1] = ((keys[1] + (keys[0] & 0xFF)) * 134775813 + 1) & 0xFFFFFFFF
        keys[2] = crc_byte(keys[2], keys[1] >> 24)

    for b in password:
        update(b)
    out = bytearray()
    for b in data:
        t = (keys[2] | 2) & 0xFFFF
        out.append(b ^ (((t * (t ^ 1)) >> 8) & 0xFF))
        update(b)
    return bytes(out)


def good_archives():
    made = {}
    path = os.path.join(HERE, "good_infozip_mixed.zip")
    info_zip(path, TREE, comment=COMMENT)
    made["good_infozip_mixed.zip"] = open(path, "rb").read()
    path = os.path.join(HERE, "good_infozip_streamed.zip")
    info_zip(path, TREE[:3] + TREE[4:6], stream=True)
    made["good_infozip_streamed.zip"] = open(path, "rb").read()
    for name, method in [("stored", zipfile.ZIP_STORED), ("deflated", zipfile.ZIP_DEFLATED)]:
        tree = TREE + [("RES/lang/\u00e9t\u00e9.txt", "\u00e9t\u00e9\n".encode())]
        path = os.path.join(HERE, "good_python_%s.zip" % name)
        python_zip(path, tree if name == "deflated" else TREE[:6], method, COMMENT, level=9)
        made[os.path.basename(path)] = open(path, "rb").read()
    stream = Unseekable()
    python_zip(stream, TREE[:6], zipfile.ZIP_DEFLATED, level=6)
    made["good_python_streamed.zip"] = bytes(stream.data)
    path = os.path.join(HERE, "good_python_big.zip")
    python_zip(path, [("Drivers/big.txt", receipt_text(6000)), ("readme.txt", README)],
               zipfile.ZIP_DEFLATED, level=9)
    made["good_python_big.zip"] = open(path, "rb").read()
    program = b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\x00\x00" + noise(4026, 3)
    made["good_prefixed.zip"] = program + made["good_python_stored.zip"]
    made["good_zip64_end.zip"] = crafted([("a.txt", 8, README * 3), ("b/", 0, b""),
                                          ("b/c.bin", 0, FONT[:500])], zip64_end=True)
    return made


def odd_archives():
    made = {}
    path = os.path.join(HERE, "odd_empty.zip")
    python_zip(path, [], zipfile.ZIP_STORED)
    made["odd_empty.zip"] = open(path, "rb").read()
    path = os.path.join(HERE, "odd_methods.zip")
    with zipfile.ZipFile(path, "w") as z:
        for name, method in [("a.bz2", zipfile.ZIP_BZIP2), ("b.lzma", zipfile.ZIP_LZMA),
                             ("c.txt", zipfile.ZIP_STORED)]:
            z.writestr(zip_info(name, method), README * 4)
    made["odd_methods.zip"] = open(path, "rb").read()
    made["odd_encrypted.zip"] = crafted([("s.txt", 0, README), ("d.txt", 8, README * 5)],
                                        encrypt=b"secret")
    return made


def damaged_archives(good):
    stored, deflated = good["good_python_stored.zip"], io.BytesIO()
    python_zip(deflated, TREE[:6], zipfile.ZIP_DEFLATED, COMMENT, level=9)
    deflated = deflated.getvalue()  # the deflated archive without its large entry
    made = {}
    end, entries = records(deflated)
    made["damaged_cd_cut.zip"] = deflated[:entries[3][0] + 20]
    last = entries[-1][0]
    cut = deflated[:last + 23] + deflated[end:]
    made["damaged_cd_short_record.zip"] = patch(cut, last + 23 + 12, "<I",
                                                last + 23 - entries[0][0])
    made["damaged_local_signature.zip"] = patch(stored, records(stored)[1][2][1], "<I",
                                                0x04034B51)
    crc = crafted([("stored.txt", 0, README), ("deflated.txt", 8, README * 3)])
    for entry in (0, 1):
        crc = patch_both(crc, entry, 16, 14, "<I", 0xDEADBEEF)
    made["damaged_crc.zip"] = crc
    sizes = crafted([("usize_plus", 8, README), ("usize_minus", 8, README),
                     ("csize_minus", 8, README), ("csize_plus", 8, README),
                     ("stored_short", 0, README), ("crc_central_only", 8, README)])
    for entry, (central, local, delta) in enumerate([(24, 22, 9), (24, 22, -9), (20, 18, -9),
                                                     (20, 18, 30), (24, 22, -4)]):
        field = struct.unpack_from("<I", sizes, records(sizes)[1][entry][0] + central)[0]
        sizes = patch_both(sizes, entry, central, local, "<I", field + delta)
    made["damaged_sizes.zip"] = patch(sizes, records(sizes)[1][5][0] + 16, "<I", 1)
    font = data_offset(deflated, entries[2][1])  # the deflated font: cut its data short
    made["damaged_truncated_data.zip"] = remove_bytes(deflated, font + 40, 200)
    made["damaged_deflate_stream.zip"] = patch(deflated, font + 5, "<I", 0xFFFFFFFF)
    made["damaged_eocd_outside.zip"] = patch(deflated, end + 16, "<I", len(deflated) + 100)
    made["damaged_eocd_entries.zip"] = patch(deflated, end + 8, "<HH", len(entries) + 2,
                                             len(entries) + 2)
    made["damaged_comment_length.zip"] = patch(deflated, end + 20, "<H", len(COMMENT) + 50)
    made["damaged_eocd_truncated.zip"] = deflated[:end + 6]
    made["damaged_eocd_cut_in_count.zip"] = deflated[:end + 11]  # half the entry count
    made["damaged_local_mismatch.zip"] = patch(patch(deflated, entries[1][1] + 26, "<H", 3),
                                               entries[4][1] + 8, "<H", 0)
    return made


def manifest(good):
    rows = ["# archive\tcomment (hex) | entry name\tmethod\tcompressed\tuncompressed\tcrc32"]
    for name in sorted(good):
        with zipfile.ZipFile(os.path.join(HERE, name)) as z:
            rows.append("%s\tcomment\t%s" % (name, z.comment.hex()))
            for i in z.infolist():
                rows.append("%s\tentry\t%s\t%d\t%d\t%d\t%08x" % (
                    name, i.orig_filename, i.compress_type, i.compress_size, i.file_size,
                    i.CRC))
    return "\n".join(rows) + "\n"


def main():
    for old in os.listdir(HERE):
        if old.endswith(".zip"):
            os.remove(os.path.join(HERE, old))
    good = good_archives()
    made = dict(good, **odd_archives(), **damaged_archives(good))
    for name, data in made.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
    with open(os.path.join(HERE, "manifest.tsv"), "w", encoding="utf-8") as f:
        f.write(manifest(good))
    os.makedirs(SEEDS, exist_ok=True)
    for name in SEED_NAMES:
        shutil.copyfile(os.path.join(HERE, name), os.path.join(SEEDS, name))


if __name__ == "__main__":
    main()
