// Lays out and writes generated data files. The TEXT segment names the DATA offsets, whose
// values depend on the TEXT segment's own length, so the layout is found by iterating to a
// fixed point. The DATA segment is streamed in large blocks and never held whole in memory.
#include "FcsWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "EventEncoder.h"

namespace {

constexpr char kDelimiter = '/';
constexpr int64_t kHeaderSize = 58;
constexpr int kVersionFieldSize = 10;
constexpr int kOffsetFieldSize = 8;
// The largest offset an 8-character HEADER field can hold; larger DATA offsets are written as
// 0 there and given by $BEGINDATA and $ENDDATA alone.
constexpr int64_t kMaxHeaderOffset = 99999999;
constexpr int kMaxLayoutRounds = 16;
constexpr size_t kBlockBytes = 4u << 20;
constexpr int kBitsPerByte = 8;
constexpr const char* kRealRange = "262144";
constexpr const char* kWriterName = "Ketterlin fcsgen";

std::string ByteOrderText(const DataSetRecipe& recipe) {
    if (!recipe.byteOrderText.empty()) {
        return recipe.byteOrderText;
    }
    // Integer and single fields are described by a 32-bit order, as common writers do;
    // doubles by all eight bytes so every byte of the field is named.
    bool allDouble = !recipe.names.empty();
    for (size_t p = 0; p < recipe.names.size(); ++p) {
        allDouble = allDouble && recipe.ColumnType(p) == 'D';
    }
    const int count = allDouble || (recipe.names.empty() && recipe.dataType == 'D') ? 8 : 4;
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            text += ',';
        }
        text += std::to_string(recipe.bigEndian ? count - i : i + 1);
    }
    return text;
}

std::string RangeText(const DataSetRecipe& recipe, size_t parameter) {
    if (recipe.ColumnType(parameter) != 'I') {
        return kRealRange;
    }
    const int bits = recipe.ColumnBits(parameter);
    if (bits >= 64) {
        return "18446744073709551616";
    }
    return std::to_string(1ull << bits);
}

bool IsVersion3(const DataSetRecipe& recipe) {
    return recipe.versionMajor >= 3;
}

// FCS 3.2 no longer asks for the ANALYSIS and supplemental TEXT offsets or $MODE; the files
// written for it leave them out, as a writer of that version may.
bool IsVersion32(const DataSetRecipe& recipe) {
    return recipe.versionMajor > 3 || (recipe.versionMajor == 3 && recipe.versionMinor >= 2);
}

KeywordList BuildKeywords(const DataSetRecipe& recipe,
                          int64_t dataStart,
                          int64_t dataEnd,
                          int64_t nextData) {
    KeywordList keywords;
    const bool dataFitsHeader = dataEnd <= kMaxHeaderOffset;
    if (IsVersion3(recipe) && !IsVersion32(recipe)) {
        keywords.emplace_back("$BEGINANALYSIS", "0");
        keywords.emplace_back("$ENDANALYSIS", "0");
        keywords.emplace_back("$BEGINSTEXT", "0");
        keywords.emplace_back("$ENDSTEXT", "0");
    }
    if (IsVersion3(recipe) || !dataFitsHeader) {
        keywords.emplace_back("$BEGINDATA", std::to_string(dataStart));
        keywords.emplace_back("$ENDDATA", std::to_string(dataEnd));
    }
    keywords.emplace_back("$BYTEORD", ByteOrderText(recipe));
    keywords.emplace_back("$DATATYPE", std::string(1, recipe.dataType));
    if (!IsVersion32(recipe)) {
        keywords.emplace_back("$MODE", "L");
    }
    keywords.emplace_back("$NEXTDATA", std::to_string(nextData));
    keywords.emplace_back("$PAR", std::to_string(recipe.names.size()));
    keywords.emplace_back("$TOT", std::to_string(recipe.events));
    keywords.emplace_back("$CYT", kWriterName);
    for (size_t i = 0; i < recipe.names.size(); ++i) {
        const std::string prefix = "$P" + std::to_string(i + 1);
        keywords.emplace_back(prefix + "B", std::to_string(recipe.ColumnBits(i)));
        keywords.emplace_back(prefix + "E", "0,0");
        keywords.emplace_back(prefix + "N", recipe.names[i]);
        keywords.emplace_back(prefix + "R", RangeText(recipe, i));
        if (!recipe.columnTypes.empty()) {
            keywords.emplace_back(prefix + "DATATYPE", std::string(1, recipe.columnTypes[i]));
        }
    }
    keywords.insert(keywords.end(), recipe.extraKeywords.begin(), recipe.extraKeywords.end());
    return keywords;
}

void AppendEscaped(std::string& text, const std::string& item) {
    for (char c : item) {
        text += c;
        if (c == kDelimiter) {
            text += kDelimiter;
        }
    }
    text += kDelimiter;
}

std::string EncodeText(const KeywordList& keywords) {
    std::string text(1, kDelimiter);
    for (const auto& [name, value] : keywords) {
        AppendEscaped(text, name);
        AppendEscaped(text, value);
    }
    return text;
}

// Right-aligned in its 8 characters; callers only pass offsets that fit.
void AppendField(std::string& header, int64_t value) {
    const std::string digits = std::to_string(value);
    header.append(kOffsetFieldSize - std::min<size_t>(digits.size(), kOffsetFieldSize), ' ');
    header.append(digits, 0, kOffsetFieldSize);
}

std::string BuildHeader(const DataSetRecipe& recipe,
                        int64_t textStart,
                        int64_t textEnd,
                        int64_t dataStart,
                        int64_t dataEnd) {
    char version[kVersionFieldSize + 1];
    std::snprintf(version, sizeof version, "FCS%d.%d", recipe.versionMajor, recipe.versionMinor);
    std::string header(version);
    header.resize(kVersionFieldSize, ' ');
    const bool dataFitsHeader = dataEnd <= kMaxHeaderOffset;
    AppendField(header, textStart);
    AppendField(header, textEnd);
    AppendField(header, dataFitsHeader ? dataStart : 0);
    AppendField(header, dataFitsHeader ? dataEnd : 0);
    AppendField(header, 0);
    AppendField(header, 0);
    return header;
}

// Owns a file descriptor opened for writing; Close reports what a late failure (a full disk)
// says, so a truncated file is never reported as written.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() {
        if (fd >= 0) {
            ::close(fd);
        }
    }

    int Open(const std::string& path) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        return fd < 0 ? errno : 0;
    }

    int Write(const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t written = ::write(fd, bytes, size);
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            bytes += written;
            size -= static_cast<size_t>(written);
        }
        return 0;
    }

    // Moves the write position; the bytes skipped become a hole that reads as zeros.
    int SeekTo(int64_t offset) {
        return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0 ? errno : 0;
    }

    int Extend(int64_t length) {
        return ::ftruncate(fd, static_cast<off_t>(length)) < 0 ? errno : 0;
    }

    int Close() {
        const int result = ::close(fd);
        fd = -1;
        return result < 0 ? errno : 0;
    }

private:
    int fd = -1;
};

// The events of a sparse file: every kSparseStride-th one and the last, each at its place.
int WriteSparseData(OutputFile& out, const DataSetRecipe& recipe, int64_t dataStart) {
    const EventEncoder encoder(recipe);
    const int64_t eventSize = encoder.EventSize();
    std::vector<uint8_t> event(static_cast<size_t>(std::max<int64_t>(eventSize, 1)));
    for (int64_t e = 0; e < recipe.events; e += kSparseStride) {
        for (const int64_t written : {e, std::min(e + kSparseStride, recipe.events) - 1}) {
            if (written != e && written % kSparseStride == 0) {
                continue;
            }
            encoder.Encode(written, event.data());
            if (int error = out.SeekTo(dataStart + written * eventSize)) {
                return error;
            }
            if (int error = out.Write(event.data(), static_cast<size_t>(eventSize))) {
                return error;
            }
        }
    }
    return out.Extend(dataStart + recipe.events * eventSize);
}

int WriteData(OutputFile& out, const DataSetRecipe& recipe) {
    const EventEncoder encoder(recipe);
    const size_t eventSize = static_cast<size_t>(encoder.EventSize());
    const int64_t eventsPerBlock =
        std::max<int64_t>(1, static_cast<int64_t>(kBlockBytes / std::max<size_t>(eventSize, 1)));
    const int64_t blockEvents = std::min(eventsPerBlock, std::max<int64_t>(recipe.events, 1));
    std::unique_ptr<uint8_t[]> block(new uint8_t[static_cast<size_t>(blockEvents) * eventSize]);
    for (int64_t first = 0; first < recipe.events; first += eventsPerBlock) {
        const int64_t count = std::min(eventsPerBlock, recipe.events - first);
        for (int64_t i = 0; i < count; ++i) {
            encoder.Encode(first + i, block.get() + static_cast<size_t>(i) * eventSize);
        }
        if (int error = out.Write(block.get(), static_cast<size_t>(count) * eventSize)) {
            return error;
        }
    }
    return 0;
}

int WriteDataSet(OutputFile& out, const DataSetPlan& plan, const DataSetRecipe& recipe) {
    if (int error = out.Write(plan.header.data(), plan.header.size())) {
        return error;
    }
    if (int error = out.Write(plan.text.data(), plan.text.size())) {
        return error;
    }
    if (recipe.sparse) {
        return WriteSparseData(out, recipe, plan.base + plan.dataStart);
    }
    return WriteData(out, recipe);
}

}  // namespace

DataSetPlan PlanDataSet(const DataSetRecipe& recipe, int64_t base, bool chained) {
    DataSetPlan plan;
    plan.base = base;
    plan.textStart = kHeaderSize;
    int64_t eventSize = 0;
    for (size_t p = 0; p < recipe.names.size(); ++p) {
        eventSize += recipe.ColumnBits(p) / kBitsPerByte;
    }
    plan.dataLength = recipe.events * eventSize;
    // Growing offsets only lengthen the TEXT, so starting low the rounds climb to the layout
    // whose TEXT ends just before the DATA segment it names.
    int64_t dataStart = plan.textStart + 1;
    for (int round = 0; round < kMaxLayoutRounds; ++round) {
        const int64_t dataEnd = dataStart + plan.dataLength - 1;
        const int64_t nextData = chained ? base + dataEnd + 1 : 0;
        plan.text = EncodeText(BuildKeywords(recipe, dataStart, dataEnd, nextData));
        plan.nextData = nextData;
        const int64_t settled = plan.textStart + static_cast<int64_t>(plan.text.size());
        if (settled == dataStart) {
            break;
        }
        dataStart = settled;
    }
    plan.dataStart = dataStart;
    // With no events the DATA segment is empty: its inclusive end lies just before its start,
    // which reads back as zero events whatever the event size.
    plan.header = BuildHeader(recipe, plan.textStart,
                              plan.textStart + static_cast<int64_t>(plan.text.size()) - 1,
                              dataStart, dataStart + plan.dataLength - 1);
    return plan;
}

DataSetRecipe LmdFirstDataSet(const DataSetRecipe& second) {
    DataSetRecipe first = second;
    first.versionMajor = 2;
    first.versionMinor = 0;
    first.dataType = 'I';
    first.bits = 16;
    first.bigEndian = false;
    first.byteOrderText = "1,2";
    first.columnTypes.clear();
    first.integerBase = 0;
    first.sparse = false;
    return first;
}

int WriteFcsFile(const GenOptions& options, std::string& error) {
    std::vector<std::pair<DataSetRecipe, DataSetPlan>> dataSets;
    if (options.lmd) {
        DataSetRecipe second = options.dataSet;
        second.versionMajor = 3;
        second.versionMinor = 0;
        const DataSetRecipe first = LmdFirstDataSet(second);
        DataSetPlan firstPlan = PlanDataSet(first, 0, true);
        const int64_t secondBase = firstPlan.nextData;
        dataSets.emplace_back(first, std::move(firstPlan));
        dataSets.emplace_back(second, PlanDataSet(second, secondBase, false));
    } else {
        dataSets.emplace_back(options.dataSet, PlanDataSet(options.dataSet, 0, false));
    }
    for (const auto& entry : dataSets) {
        if (entry.second.textStart + static_cast<int64_t>(entry.second.text.size()) >
            kMaxHeaderOffset) {
            error = "TEXT segment too long for the HEADER";
            return EINVAL;
        }
    }

    OutputFile out;
    int result = out.Open(options.outPath);
    const bool opened = result == 0;
    if (opened) {
        for (const auto& [recipe, plan] : dataSets) {
            result = WriteDataSet(out, plan, recipe);
            if (result != 0) {
                break;
            }
        }
    }
    const int closeResult = result == 0 ? out.Close() : 0;
    if (result == 0) {
        result = closeResult;
    }
    if (result != 0) {
        error = "cannot write " + options.outPath + ": " + std::strerror(result);
        // A half-written file would read as a damaged sample; leave none behind.
        if (opened) {
            ::unlink(options.outPath.c_str());
        }
    }
    return result;
}
