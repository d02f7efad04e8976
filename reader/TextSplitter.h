// Splitting of a TEXT segment into its delimited items and keyword pairs.
#pragma once

#include <string>
#include <vector>

#include "DataSet.h"
#include "KeywordText.h"

// Splits a zero-terminated TEXT buffer (its first byte is the delimiter) into items with their
// escaped delimiters undone. A zero byte ends the scan; an item without a closing delimiter is
// dropped.
std::vector<std::string> SplitTextItems(const char* text);

// Undoes escapes within one item: each pair of delimiters becomes one.
std::string UndoEscapes(const std::string& item, char delimiter);

// Pairs items into keywords converted by the data set's text encoding. False (and no keywords)
// when the number of items is odd.
bool PairKeywords(const std::vector<std::string>& items,
                  TextEncoding encoding,
                  std::vector<Keyword>& keywords);
