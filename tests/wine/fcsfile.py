"""FCS files for the end-to-end tests: a small byte builder for hand-made files, and an
independent model of what the viewer must show for a file (warnings in order, segment rows,
header offsets, keywords, parameters and cell texts), written from the program's reading rules so
that real files can be checked without copying their expected contents into the tests.

Where the rules leave a case open (a parameter keyword outside $PAR, an event size of 0, byte
orders that do not fit the field, data types other than I, F and D, bytes beyond the end of the
file), the model says "unspecified" and the tests do not look.
"""

import re
import struct

HEADER_LABELS = ["Text Start", "Text End", "Data Start", "Data End", "Analysis Start",
                 "Analysis End"]

# Keywords every data set from the first version to before the second must carry, in the order
# in which their warnings appear (ordered by UTF-16 code units). FCS 3.2 made the ANALYSIS and
# supplemental TEXT offsets and $MODE optional and $CYT required.
NEVER = (1 << 31, 0)
REQUIRED = [("$BEGINANALYSIS", (3, 0), (3, 2)), ("$BEGINDATA", (3, 0), NEVER),
            ("$BEGINSTEXT", (3, 0), (3, 2)), ("$BYTEORD", (2, 0), NEVER),
            ("$CYT", (3, 2), NEVER), ("$DATATYPE", (2, 0), NEVER),
            ("$ENDANALYSIS", (3, 0), (3, 2)), ("$ENDDATA", (3, 0), NEVER),
            ("$ENDSTEXT", (3, 0), (3, 2)), ("$MODE", (2, 0), (3, 2)), ("$NEXTDATA", (2, 0), NEVER),
            ("$PAR", (2, 0), NEVER), ("$TOT", (2, 0), NEVER)]
MAX_PARAMETERS = 10000
MAX_INTEGER_BYTES = 8

BEGIN_DATA = "<begindata>"
END_DATA = "<enddata>"


# ---- building ---------------------------------------------------------------------------------

def build(version, keywords, data=b"", delimiter=b"/", header_data=True, analysis=(0, 0),
          text_gap=0):
    """One data set: HEADER (58 bytes), TEXT, DATA. `keywords` is a list of (name, value) texts;
    the values BEGIN_DATA and END_DATA are replaced by the DATA segment's offsets. Delimiters
    inside names or values are escaped by doubling. With header_data False the HEADER's DATA
    fields are 0 (as files with DATA beyond the HEADER's reach write them)."""
    def text_segment(begin, end):
        out = delimiter
        for name, value in keywords:
            value = {BEGIN_DATA: str(begin), END_DATA: str(end)}.get(value, value)
            for item in (name, value):
                raw = item.encode("cp1252") if isinstance(item, str) else item
                out += raw.replace(delimiter, delimiter * 2) + delimiter
        return out

    text_start = 58
    begin = end = 0
    for _ in range(10):      # the offsets' digits change the TEXT length; settle them
        text = text_segment(begin, end)
        text_end = text_start + len(text) - 1
        new_begin = text_end + 1 + text_gap
        new_end = new_begin + len(data) - 1 if data else 0
        if (new_begin, new_end) == (begin, end):
            break
        begin, end = new_begin, new_end
    text = text_segment(begin, end)
    fields = [text_start, text_start + len(text) - 1]
    fields += [begin, end] if header_data else [0, 0]
    fields += list(analysis)
    header = version.encode().ljust(10)
    for value in fields:
        header += (value if isinstance(value, bytes) else str(value).encode()).rjust(8)
    assert len(header) == 58
    return header + text + b"\0" * text_gap + data


# ---- reading by the program's rules -----------------------------------------------------------

class Unspecified(Exception):
    """The rules leave this case to the implementation; a test must not check it."""


def ansi(raw):
    """Bytes of the TEXT segment as the viewer sees them (Windows-1252; the five undefined
    bytes map to the control characters of the same value, as Windows does)."""
    return "".join(bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in raw)


def keyword_text(raw, version):
    """From FCS 3.1 on, an item that is valid UTF-8 reads as UTF-8; anything else as ANSI."""
    if version >= (3, 1):
        try:
            return raw.decode("utf-8")
        except UnicodeDecodeError:
            pass
    return ansi(raw)


def whole_number(text):
    """_wtoi: blanks skipped, optional sign, digits up to the first other character."""
    i = 0
    while i < len(text) and text[i] in " \t\n\v\f\r":
        i += 1
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    value = 0
    while i < len(text) and "0" <= text[i] <= "9":
        value = value * 10 + ord(text[i]) - 48
        i += 1
    return sign * value


def strict_number(text, start=0):
    """(value, end) for an optional sign and at least one digit exactly at start; None else."""
    i = start
    sign = 1
    if i < len(text) and text[i] in "+-":
        sign = -1 if text[i] == "-" else 1
        i += 1
    digits = i
    while i < len(text) and "0" <= text[i] <= "9":
        i += 1
    if i == digits:
        return None
    return sign * int(text[digits:i]), i


class DataSet:
    def __init__(self):
        self.version = (0, 0)
        self.offsets = []
        self.keywords = []
        self.parameters = []   # [name, width]
        self.data_type = "I"
        self.byte_order = []
        self.data_offset = 0
        self.event_size = 0
        self.event_count = 0
        self.file = b""

    def rows(self):
        return [["Header", "FCS%d.%d" % self.version],
                ["Text", "%d keywords" % len(self.keywords)],
                ["Data", "%d events" % self.event_count]]

    def header_rows(self):
        return [[label, "%d" % value] for label, value in zip(HEADER_LABELS, self.offsets)]

    def keyword_rows(self):
        return [[k, v] for k, v in self.keywords]

    def cell(self, event, parameter):
        """The text of one cell of the data view."""
        widths = [w for _, w in self.parameters]
        w = widths[parameter]
        start = self.data_offset + event * self.event_size + sum(widths[:parameter])
        if self.data_offset < 0 or start + w > len(self.file):
            raise Unspecified("bytes beyond the file")
        b = self.file[start:start + w]
        o = self.byte_order
        if self.data_type == "I":
            if w == 0:
                return "0"
            if w > MAX_INTEGER_BYTES:
                raise Unspecified("integers wider than 64 bits")
            if len(o) < w or any(not 1 <= o[k] <= w for k in range(w)):
                raise Unspecified("byte order does not fit the field")
            v = 0
            for k in range(w):
                v = (v << 8) | b[w - o[k]]
            return "%u" % v
        size = {"F": 4, "D": 8}.get(self.data_type)
        if size is None or w != size or len(o) < size or any(not 1 <= o[k] <= w
                                                            for k in range(size)):
            raise Unspecified("data type or byte order not decodable")
        t = bytes(b[o[k] - 1] for k in range(size))
        value = struct.unpack("<f" if size == 4 else "<d", t)[0]
        if value != value or value in (float("inf"), float("-inf")):
            raise Unspecified("not a finite number")
        return "%0.15g" % value


def parse(data, base, warnings, next_data):
    """One data set at `base`; returns (DataSet or None, next_data). Warnings are appended."""
    ds = DataSet()
    ds.file = data
    pos = base
    if pos < 0:
        return None, next_data

    def read(count):
        nonlocal pos
        chunk = data[pos:pos + count] if pos < len(data) else b""
        pos += len(chunk)
        return chunk

    version = read(10)
    if not version:
        return None, next_data
    version = version.split(b"\0")[0].decode("latin-1")
    match = re.match(r"FCS[ \t\n\v\f\r]*([+-]?\d+)\.[ \t\n\v\f\r]*([+-]?\d+)", version)
    if not match:
        return None, next_data
    ds.version = (int(match.group(1)), int(match.group(2)))
    for i in range(6):
        field = read(8)
        if not field:
            return None, next_data
        field = field.split(b"\0")[0]
        j = 0
        while j < len(field) and field[j] == 0x20:
            j += 1
        if j >= len(field) or not 0x30 <= field[j] <= 0x39:
            if ds.version[0] == 2 and i >= 4:
                ds.offsets.append(0)
                continue
            return None, next_data
        value = 0
        while j < len(field) and 0x30 <= field[j] <= 0x39:
            value = value * 10 + field[j] - 0x30
            j += 1
        ds.offsets.append(value)
    text_start, text_end = ds.offsets[0] + base, ds.offsets[1] + base
    if not text_start < text_end:
        return None, next_data
    text = data[text_start:text_end + 1] if text_start < len(data) else b""
    if not text:
        return None, next_data
    items = split_text(text + b"\0")
    if len(items) % 2:
        return None, next_data
    ds.keywords = [(keyword_text(items[i], ds.version), keyword_text(items[i + 1], ds.version))
                   for i in range(0, len(items), 2)]
    if ds.version >= (3, 2) and any(re.match(r"\$P\d+DATATYPE$", k) for k, _ in ds.keywords):
        raise Unspecified("columns with data types of their own")
    next_data = interpret(ds, base, warnings, next_data)
    return ds, next_data


def split_text(buf):
    delimiter = buf[0]
    items = []
    s = p = 1
    while buf[p] != 0:
        if buf[p] != delimiter:
            p += 1
        elif p == s or buf[p + 1] != delimiter:
            items.append(unescape(buf[s:p], delimiter))
            s = p + 1
            p += 1
        else:
            p += 2
    return items


def unescape(item, delimiter):
    pair = bytes([delimiter, delimiter])
    i = item.find(pair)
    while i >= 0:
        item = item[:i] + item[i + 1:]
        i = item.find(pair, i + 1)
    return item


def interpret(ds, base, warnings, next_data):
    data_start = ds.offsets[2] + base
    data_end = ds.offsets[3] + base
    tot = 0
    found = set()
    required = {name for name, _, _ in REQUIRED}
    for name, value in ds.keywords:
        if name == "$PAR":
            count = whole_number(value)
            if count < 0:
                raise Unspecified("negative $PAR")
            if count > MAX_PARAMETERS:
                raise Unspecified("more parameters than the program lists")
            ds.parameters = ds.parameters[:count] + [["", 0]] * max(0, count - len(ds.parameters))
            ds.parameters = [list(p) for p in ds.parameters]
        elif name == "$DATATYPE":
            ds.data_type = chr(ord(value[0]) & 0xFF) if value else "\0"
        elif name == "$BYTEORD":
            at = 0
            while True:
                number = strict_number(value, at)
                if number is None:
                    break
                ds.byte_order.append(number[0])
                at = number[1]
                if at < len(value) and value[at] == ",":
                    at += 1
                else:
                    break
        elif name == "$BEGINDATA":
            data_start = base + whole_number(value)
        elif name == "$ENDDATA":
            data_end = base + whole_number(value)
        elif name == "$NEXTDATA":
            next_data = whole_number(value)
        elif name == "$TOT":
            tot = whole_number(value)
        if name in required:
            found.add(name)
    if not ds.byte_order:
        if ds.data_type != "I":
            warnings.append("Required keyword $BYTEORD not present for data type "
                            + ds.data_type)
        ds.byte_order = [1]
    def at_least(version):
        return ds.version[0] > version[0] or (ds.version[0] == version[0] and (
            version[1] == 0 or ds.version[1] >= version[1]))

    for name, since, until in REQUIRED:
        if at_least(since) and not at_least(until) and name not in found:
            warnings.append("Required keyword %s not present" % name)
    names = {name for name, _ in ds.keywords}
    for n in range(1, len(ds.parameters) + 1):
        for letter in "BENR":
            keyword = "$P%d%s" % (n, letter)
            if keyword not in names:
                warnings.append("Required keyword %s not present" % keyword)
    width_sum = 0
    for name, value in ds.keywords:
        if not name.startswith("$P"):
            continue
        number = strict_number(name, 2)
        if number is None or number[1] >= len(name):
            continue
        n, letter = number[0], name[number[1]]
        if letter == "B":
            bits = strict_number(value, 0)
            if bits is None:
                continue
            if not 1 <= n <= len(ds.parameters):
                raise Unspecified("$PnB outside $PAR")
            width = int(bits[0] / 8)
            width_sum += width
            ds.parameters[n - 1][1] = width
        elif letter == "N":
            if n < 1:
                raise Unspecified("$PnN below 1")
            if n > len(ds.parameters):
                if ds.version[0] == 1:
                    ds.parameters += [["", 0] for _ in range(n - len(ds.parameters))]
                    ds.parameters[n - 1][0] = value
                else:
                    warnings.append("%s conflicts with $PAR (%d). Ignoring."
                                    % (name, len(ds.parameters)))
            else:
                ds.parameters[n - 1][0] = value
    ds.data_offset = data_start
    ds.event_size = width_sum
    if width_sum == 0:
        raise Unspecified("event size 0")
    span = data_end - data_start + 1
    ds.event_count = int(span / width_sum) if span >= 0 else -int(-span / width_sum)
    if ds.event_count != tot:
        warnings.append("$TOT conflict with data size")
    return next_data


class Opened:
    """What the viewer shows after opening a file: the boxes in order (caption, text), the data
    sets that were read and whether the open succeeded."""

    def __init__(self):
        self.boxes = []
        self.data_sets = []
        self.ok = False

    def warnings(self):
        return [text for caption, text in self.boxes]

    def segment_rows(self):
        return [row for ds in self.data_sets for row in ds.rows()]


def open_file(data):
    opened = Opened()
    warnings = []

    def flush():
        opened.boxes.extend(("Ketterlin", w) for w in warnings)
        warnings.clear()

    first, next_data = parse(data, 0, warnings, 0)
    flush()
    if first is None:
        opened.boxes.append(("Ketterlin", "Unknown format"))
        return opened
    opened.data_sets.append(first)
    if next_data != 0:
        if next_data < 0:
            raise Unspecified("negative $NEXTDATA shows the system's error text")
        second, next_data = parse(data, next_data, warnings, next_data)
        flush()
        if second is None:
            opened.boxes.append(("Ketterlin", "Unknown format"))
            return opened
        opened.data_sets.append(second)
    opened.ok = True
    return opened


def index_value(data_type, bits, event, parameter):
    """ketterlin-fcsgen's index pattern as the viewer must print it."""
    if data_type == "I":
        return "%u" % ((event * 10 + parameter) % (1 << bits))
    value = event + parameter / 10.0
    if data_type == "F":
        value = struct.unpack("<f", struct.pack("<f", value))[0]
    return "%0.15g" % value


def standard(*args, **kw):
    """standard_parts as the bytes of a file."""
    return build(*standard_parts(*args, **kw))


def standard_parts(version="FCS3.0", par=2, data_type="I", bits=16, events=4, byte_order=None,
                   names=None, drop=(), rename=None, add=(), tot=None, next_data="0"):
    """A complete, consistent data set of `par` parameters and `events` events whose values are
    event * 10 + parameter, little-endian; then changed by the arguments: keywords in `drop` left
    out, `rename` maps old names to new ones, `add` appends (name, value) pairs, `tot` replaces
    the $TOT value. Returns (version, keywords, data) for build() or chain()."""
    width = bits // 8
    if byte_order is None:
        byte_order = ",".join(str(i) for i in range(1, max(width, 1) + 1)) if data_type == "I" \
            else ",".join(str(i) for i in range(1, width + 1))
    names = names or ["FSC-A", "SSC-A", "FL1-A", "FL2-A", "FL3-A"][:par]
    keywords = [("$BEGINANALYSIS", "0"), ("$ENDANALYSIS", "0"), ("$BEGINSTEXT", "0"),
                ("$ENDSTEXT", "0"), ("$BEGINDATA", BEGIN_DATA), ("$ENDDATA", END_DATA),
                ("$BYTEORD", byte_order), ("$DATATYPE", data_type), ("$MODE", "L"),
                ("$NEXTDATA", next_data), ("$PAR", str(par)),
                ("$TOT", str(events if tot is None else tot))]
    for n in range(1, par + 1):
        keywords += [("$P%dB" % n, str(bits)), ("$P%dE" % n, "0,0"),
                     ("$P%dN" % n, names[n - 1]), ("$P%dR" % n, "1024")]
    rename = rename or {}
    keywords = [(rename.get(k, k), v) for k, v in keywords if k not in drop] + list(add)
    data = b""
    for e in range(events):
        for p in range(par):
            value = e * 10 + p
            if data_type == "I":
                data += (value % (1 << bits)).to_bytes(width, "little")
            elif data_type == "F":
                data += struct.pack("<f", value)
            else:
                data += struct.pack("<d", value)
    return version, keywords, data



def chain(*data_sets):
    """Data sets one after the other in one file. Each is bytes (placed as it is) or a triple
    (version, keywords, data) as standard_parts gives; in a triple, the $NEXTDATA value "next"
    becomes the offset of the data set that follows, and every $NEXTDATA value is written with
    ten characters, so that the offsets do not change the lengths they depend on."""
    def render(keywords, following):
        return [(k, "%010d" % (following if v == "next" else int(v)) if k == "$NEXTDATA" else v)
                for k, v in keywords]

    sizes = [len(item) if isinstance(item, bytes)
             else len(build(item[0], render(item[1], 0), item[2])) for item in data_sets]
    starts = [sum(sizes[:i]) for i in range(len(sizes))]
    out = b""
    for index, item in enumerate(data_sets):
        if isinstance(item, bytes):
            out += item
        else:
            following = starts[index + 1] if index + 1 < len(starts) else 0
            out += build(item[0], render(item[1], following), item[2])
    return out
