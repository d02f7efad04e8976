#!/usr/bin/env python3
"""The stand-in the CSV export is measured against: what a user writes with plain numpy for a
file of 32-bit little-endian floats (the layout ketterlin-fcsgen writes by default): the DATA
segment's place from $BEGINDATA/$ENDDATA and the names from $PnN, numpy.fromfile of the DATA
segment, numpy.savetxt, with its default format ('%.18e', exact but long) or with the format
given ('%.9g' is the shortest that brings every float back exactly).
Usage: numpy_csv.py FILE OUT [FORMAT]"""

import sys

import numpy


def text_keywords(path):
    with open(path, "rb") as f:
        header = f.read(58)
        start, end = int(header[10:18]), int(header[18:26])
        f.seek(start)
        text = f.read(end - start + 1).decode("latin-1")
    items = text[1:].split(text[0])
    return dict(zip(items[0::2], items[1::2]))


def main():
    path, out = sys.argv[1], sys.argv[2]
    options = {"fmt": sys.argv[3]} if len(sys.argv) > 3 else {}
    keywords = text_keywords(path)
    count = int(keywords["$PAR"])
    begin, end = int(keywords["$BEGINDATA"]), int(keywords["$ENDDATA"])
    names = [keywords.get("$P%dN" % (n + 1), "P%d" % (n + 1)) for n in range(count)]
    values = numpy.fromfile(path, dtype="<f4", count=(end - begin + 1) // 4, offset=begin)
    numpy.savetxt(out, values.reshape(-1, count), delimiter=",", header=",".join(names),
                  comments="", **options)


if __name__ == "__main__":
    main()
