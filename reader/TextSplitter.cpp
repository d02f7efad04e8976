// TEXT segment splitting: items between delimiters, escaped (doubled) delimiters, and the
// pairing into keyword names and values. Pure byte work; conversion is KeywordTextToWide's job.
#include "TextSplitter.h"

std::string UndoEscapes(const std::string& item, char delimiter) {
    std::string result = item;
    size_t from = 0;
    for (;;) {
        size_t pair = from;
        while (pair + 1 < result.size() &&
               !(result[pair] == delimiter && result[pair + 1] == delimiter)) {
            ++pair;
        }
        if (pair + 1 >= result.size()) {
            return result;
        }
        result.erase(pair, 1);
        from = pair + 1;  // just after the delimiter that remains
    }
}

std::vector<std::string> SplitTextItems(const char* text) {
    std::vector<std::string> items;
    const char delimiter = text[0];
    if (delimiter == '\0') {
        return items;
    }
    size_t start = 1;
    size_t p = 1;
    while (text[p] != '\0') {
        if (text[p] != delimiter) {
            ++p;
        } else if (p == start || text[p + 1] != delimiter) {
            items.push_back(UndoEscapes(std::string(text + start, p - start), delimiter));
            start = p + 1;
            ++p;
        } else {
            // A doubled delimiter inside a started item is an escaped delimiter; the byte after
            // the pair is at most the terminator, so the scan stays inside the buffer.
            p += 2;
        }
    }
    return items;
}

bool PairKeywords(const std::vector<std::string>& items,
                  TextEncoding encoding,
                  std::vector<Keyword>& keywords) {
    if (items.size() % 2 != 0) {
        return false;
    }
    keywords.reserve(keywords.size() + items.size() / 2);
    for (size_t k = 0; 2 * k + 1 < items.size(); ++k) {
        keywords.push_back(Keyword{KeywordTextToWide(items[2 * k], encoding),
                                   KeywordTextToWide(items[2 * k + 1], encoding)});
    }
    return true;
}
