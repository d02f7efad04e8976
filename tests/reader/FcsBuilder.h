// Builds FCS data sets byte by byte for the reader's tests and seed files: a HEADER with given
// or computed fields, a TEXT segment with a chosen delimiter (escaping delimiters in names and
// values), and DATA bytes. Every part can be overridden to make malformed variants.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class FcsBuilder {
public:
    std::string version = "FCS3.0";   // the first ten bytes, padded with blanks
    char delimiter = '/';
    int64_t textStart = 58;           // where TEXT begins, relative to the data set
    std::vector<std::pair<std::string, std::string>> keywords;
    std::optional<std::string> rawText;  // TEXT bytes used as they are instead of keywords
    std::vector<uint8_t> data;        // DATA bytes, right after TEXT
    bool dataKeywords = false;        // add $BEGINDATA/$ENDDATA giving the real DATA bounds
    // Raw texts of the six HEADER fields (at most 8 bytes; shorter ones are padded with blanks
    // on the right). Unset fields get the computed offset, right-aligned.
    std::array<std::optional<std::string>, 6> fieldText;

    FcsBuilder& Add(std::string name, std::string value) {
        keywords.emplace_back(std::move(name), std::move(value));
        return *this;
    }

    // Byte helpers for DATA.
    FcsBuilder& Bytes(std::initializer_list<uint8_t> bytes) {
        data.insert(data.end(), bytes.begin(), bytes.end());
        return *this;
    }

    std::string Escape(const std::string& item) const {
        std::string escaped;
        for (char c : item) {
            escaped.push_back(c);
            if (c == delimiter) {
                escaped.push_back(c);
            }
        }
        return escaped;
    }

    std::string TextBytes(int64_t dataStart, int64_t dataEnd) const {
        if (rawText) {
            return *rawText;
        }
        std::string text(1, delimiter);
        auto append = [&](const std::string& name, const std::string& value) {
            text += Escape(name) + delimiter + Escape(value) + delimiter;
        };
        for (const auto& [name, value] : keywords) {
            append(name, value);
        }
        if (dataKeywords) {
            append("$BEGINDATA", Padded(dataStart));
            append("$ENDDATA", Padded(dataEnd));
        }
        return text;
    }

    std::vector<uint8_t> Build() const {
        // The DATA keywords are written with fixed-width numbers, so TEXT's length does not
        // depend on them.
        const int64_t textLength = static_cast<int64_t>(TextBytes(0, 0).size());
        const int64_t textEnd = textStart + textLength - 1;
        const int64_t dataStart = textEnd + 1;
        const int64_t dataEnd = dataStart + static_cast<int64_t>(data.size()) - 1;
        const std::string text = TextBytes(dataStart, dataEnd);

        std::vector<uint8_t> bytes;
        std::string head = version;
        head.resize(10, ' ');
        const int64_t computed[6] = {textStart, textEnd, data.empty() ? 0 : dataStart,
                                     data.empty() ? 0 : dataEnd, 0, 0};
        for (int i = 0; i < 6; ++i) {
            std::string field;
            if (fieldText[i]) {
                field = *fieldText[i];
                field.resize(8, ' ');
            } else {
                field = std::to_string(computed[i]);
                field.insert(0, 8 - std::min<size_t>(8, field.size()), ' ');
            }
            head += field.substr(0, 8);
        }
        bytes.assign(head.begin(), head.end());
        if (static_cast<int64_t>(bytes.size()) < textStart) {
            bytes.resize(static_cast<size_t>(textStart), ' ');
        }
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.insert(bytes.end(), data.begin(), data.end());
        return bytes;
    }

    static std::string Padded(int64_t value) {
        std::string digits = std::to_string(value);
        return std::string(8 - std::min<size_t>(8, digits.size()), '0') + digits;
    }
};

// Appends one data set after another, for chains of data sets (LMD files): returns the offset
// at which the second begins.
inline size_t AppendDataSet(std::vector<uint8_t>& file, const std::vector<uint8_t>& dataSet) {
    const size_t at = file.size();
    file.insert(file.end(), dataSet.begin(), dataSet.end());
    return at;
}
