"""Reads (and, for test copies, rewrites) the version resource of a 32- or 64-bit PE executable, so the
end-to-end tests can check what the build put into ketterlin.exe and run copies of it that carry
other versions without building the program again.

Only the standard library is used.
"""

import struct
from pathlib import Path

RT_VERSION = 16
VS_FIXEDFILEINFO_SIGNATURE = 0xFEEF04BD


PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B


class PeImage:
    def __init__(self, data):
        self.data = bytearray(data)
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        sections, optional_size = struct.unpack_from("<H12xH", self.data, pe + 4 + 2)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        # The data directories follow the optional header's fixed part, which is longer in a
        # 64-bit image (PE32+: 8-byte image base and stack/heap sizes).
        directories = {PE32_MAGIC: 96, PE32_PLUS_MAGIC: 112}.get(magic)
        if directories is None:
            raise ValueError("not a PE32 or PE32+ image (optional header magic 0x%x)" % magic)
        # Data directory 2 is the resource table.
        self.resource_rva, self.resource_size = struct.unpack_from(
            "<II", self.data, optional + directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            (virtual_size, virtual_address, raw_size,
             raw_pointer) = struct.unpack_from("<IIII", self.data, table + 40 * i + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_pointer))
        self.resource_base = self.file_offset(self.resource_rva)

    def file_offset(self, rva):
        for virtual_address, size, raw_pointer in self.sections:
            if virtual_address <= rva < virtual_address + size:
                return raw_pointer + rva - virtual_address
        raise ValueError("RVA %#x is in no section" % rva)

    def _entries(self, directory_offset):
        """(id, is_directory, offset of the target, offset of the entry) of a resource
        directory; named entries are skipped."""
        at = self.resource_base + directory_offset
        named, ids = struct.unpack_from("<HH", self.data, at + 12)
        for i in range(named + ids):
            entry = at + 16 + 8 * i
            name, target = struct.unpack_from("<II", self.data, entry)
            if name & 0x80000000:
                continue
            yield name, bool(target & 0x80000000), target & 0x7FFFFFFF, entry

    def versions(self):
        """Every version resource: a list of (id, language, file offset, size)."""
        found = []
        for type_id, is_dir, target, _ in self._entries(0):
            if type_id != RT_VERSION or not is_dir:
                continue
            for name_id, name_dir, name_target, _ in self._entries(target):
                for language, _, data_entry, _ in self._entries(name_target):
                    rva, size = struct.unpack_from("<II", self.data,
                                                   self.resource_base + data_entry)
                    found.append((name_id, language, self.file_offset(rva), size))
        return found

    def hide_versions(self):
        """Renumbers the version resource's type so the system finds none."""
        for type_id, _, _, entry in self._entries(0):
            if type_id == RT_VERSION:
                struct.pack_into("<I", self.data, entry, 0x7FFF)


def _text(data, at):
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def _align(offset):
    return (offset + 3) & ~3


def parse_block(data, at):
    """One node of a VS_VERSIONINFO tree: dict(key, value, children, value_at)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    key, after = _text(data, at + 6)
    value_at = _align(after)
    if kind == 1:  # text: the length counts characters, terminator included
        value = data[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        value_end = value_at + 2 * value_length
    else:
        value = bytes(data[value_at:value_at + value_length])
        value_end = value_at + value_length
    children = []
    child = _align(value_end)
    while child < at + length:
        node = parse_block(data, child)
        children.append(node)
        child = _align(child + node["length"])
    return {"key": key, "value": value, "children": children, "length": length,
            "value_at": value_at}


def fixed_info(root):
    """The VS_FIXEDFILEINFO of a parsed root as a dict of its fields."""
    names = ("signature", "struc_version", "file_ms", "file_ls", "product_ms", "product_ls",
             "flags_mask", "flags", "os", "type", "subtype", "date_ms", "date_ls")
    return dict(zip(names, struct.unpack_from("<13I", root["value"], 0)))


def string_table(root):
    """{block name: {key: text}} of the StringFileInfo child, and the Translation words."""
    tables, translation = {}, None
    for child in root["children"]:
        if child["key"] == "StringFileInfo":
            for table in child["children"]:
                tables[table["key"]] = {s["key"]: s["value"] for s in table["children"]}
        elif child["key"] == "VarFileInfo":
            for var in child["children"]:
                if var["key"] == "Translation":
                    translation = struct.unpack("<%dH" % (len(var["value"]) // 2), var["value"])
    return tables, translation


def read_version(path):
    """(resources, root node, fixed info) of an executable's first version resource."""
    image = PeImage(Path(path).read_bytes())
    resources = image.versions()
    _, _, offset, size = resources[0]
    root = parse_block(bytes(image.data[offset:offset + size]), 0)
    return resources, root, fixed_info(root)


def with_version(source, target, product=None, file=None, hide=False):
    """Writes a copy of an executable whose fixed version numbers are replaced (four numbers
    each), or whose version resource cannot be found at all (hide)."""
    image = PeImage(Path(source).read_bytes())
    _, _, offset, size = image.versions()[0]
    root = parse_block(bytes(image.data[offset:offset + size]), 0)
    fixed = offset + root["value_at"]
    assert struct.unpack_from("<I", image.data, fixed)[0] == VS_FIXEDFILEINFO_SIGNATURE
    if file is not None:
        struct.pack_into("<II", image.data, fixed + 8, (file[0] << 16) | file[1],
                         (file[2] << 16) | file[3])
    if product is not None:
        struct.pack_into("<II", image.data, fixed + 16, (product[0] << 16) | product[1],
                         (product[2] << 16) | product[3])
    if hide:
        image.hide_versions()
    Path(target).write_bytes(image.data)
    return target
