// The density map's colours. The table is a straight path through the OKLab colour space (a
// space built so that equal distances look equally different): its lightness rises evenly from
// dark to light while its hue turns from blue through green to yellow at a constant chroma. An
// even path in that space gives steps of even visual size, and the rising lightness keeps the
// order readable in grey as well. It is computed once, on first use, from these few numbers.
#include "DensityColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kFirstLightness = 0.30;
constexpr double kLastLightness = 0.93;
constexpr double kChroma = 0.10;
constexpr double kFirstHueDegrees = 280;  // blue-violet
constexpr double kLastHueDegrees = 100;   // yellow
constexpr double kPi = 3.14159265358979323846;

double SrgbEncoded(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

uint32_t Channel(double linear) {
    return static_cast<uint32_t>(std::lround(SrgbEncoded(linear) * 255));
}

// OKLab to sRGB, with the published matrices of the space.
Colour ColourFromOkLab(double lightness, double a, double b) {
    const double l = std::pow(lightness + 0.3963377774 * a + 0.2158037573 * b, 3);
    const double m = std::pow(lightness - 0.1055613458 * a - 0.0638541728 * b, 3);
    const double s = std::pow(lightness - 0.0894841775 * a - 1.2914855480 * b, 3);
    return RgbColour(Channel(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
                     Channel(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
                     Channel(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s));
}

std::array<Colour, kDensityColourCount> BuildTable() {
    std::array<Colour, kDensityColourCount> table{};
    for (int i = 0; i < kDensityColourCount; ++i) {
        const double t = static_cast<double>(i) / (kDensityColourCount - 1);
        const double lightness = kFirstLightness + t * (kLastLightness - kFirstLightness);
        const double hue =
            (kFirstHueDegrees + t * (kLastHueDegrees - kFirstHueDegrees)) * kPi / 180;
        table[i] = ColourFromOkLab(lightness, kChroma * std::cos(hue), kChroma * std::sin(hue));
    }
    return table;
}

}  // namespace

const Colour* DensityColourTable() {
    static const std::array<Colour, kDensityColourCount> table = BuildTable();
    return table.data();
}

DensityColourScale::DensityColourScale(uint64_t maxCount) {
    if (maxCount > 1) {
        levelsPerLog = (kDensityColourCount - 1) / std::log(static_cast<double>(maxCount));
    }
}

int DensityColourScale::LevelOf(uint64_t count) const {
    if (count == 0) {
        return -1;
    }
    if (levelsPerLog == 0) {
        return kDensityColourCount - 1;  // every bin holds the one count there is
    }
    const double level = std::log(static_cast<double>(count)) * levelsPerLog;
    return std::clamp(static_cast<int>(std::lround(level)), 0, kDensityColourCount - 1);
}

Colour DensityColourScale::ColourOf(uint64_t count) const {
    const int level = LevelOf(count);
    return level < 0 ? kEmptyBinColour : DensityColourTable()[level];
}
