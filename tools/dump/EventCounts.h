// ketterlin-dump's histograms and density maps: the command line's counts turned into requests
// (parameters by name or number, each axis from its options or the parameter's default), all
// counted in one pass by two lanes, and printed as text or one JSON document per count.
#pragma once

#include <cstdio>
#include <string>

#include "DataSet.h"
#include "DumpCommandLine.h"

// Counts the events of dataSet that parsed asks for and prints them to out; problems go to
// stderr, the program named first. Returns the exit status: 0 all counted, 2 a request refused
// before any event was read, 3 the file ends inside its DATA segment or a read failed (the
// counts of the events read are printed all the same).
int PrintEventCounts(const ParsedDumpCommandLine& parsed,
                     const DataSet& dataSet,
                     const std::string& path,
                     std::FILE* out);
