#!/usr/bin/env python3
"""The stand-in the counts are measured against: what a user writes with plain numpy for a file
of 32-bit little-endian floats (the layout ketterlin-fcsgen writes by default): numpy.fromfile
of the DATA segment (its place from $BEGINDATA/$ENDDATA), then numpy.histogram of each parameter
asked for with the bin edges in data space, or numpy.histogram2d for a density map of two. The
edges are ketterlin-dump's own (its --json output, read from EDGES), so that both sides count
into the same bins and no scale is written twice.
Usage: numpy_counts.py FILE EDGES.json histogram P... | density P Q   (P counted from 1)"""

import json
import sys

import numpy

sys.dont_write_bytecode = True  # keep the source folder clean
from numpy_csv import text_keywords  # noqa: E402


def data_segment(path):
    keywords = text_keywords(path)
    count = int(keywords["$PAR"])
    begin, end = int(keywords["$BEGINDATA"]), int(keywords["$ENDDATA"])
    values = numpy.fromfile(path, dtype="<f4", count=(end - begin + 1) // 4, offset=begin)
    return values.reshape(-1, count)


def main():
    path, edges_path, kind = sys.argv[1], sys.argv[2], sys.argv[3]
    parameters = [int(p) - 1 for p in sys.argv[4:]]
    with open(edges_path) as f:
        doc = json.loads(f.readline())
    values = data_segment(path)
    if kind == "histogram":
        edges = numpy.array(doc["edges"])
        for p in parameters:
            numpy.histogram(values[:, p], bins=edges)
    else:
        numpy.histogram2d(values[:, parameters[0]], values[:, parameters[1]],
                          bins=[numpy.array(doc["x"]["edges"]), numpy.array(doc["y"]["edges"])])


if __name__ == "__main__":
    main()
