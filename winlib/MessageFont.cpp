// The message font from SPI_GETNONCLIENTMETRICS, asked for with the whole structure of Vista and
// later, whose size the system checks.
#include "MessageFont.h"

namespace {

// The whole NONCLIENTMETRICSW of Vista and later, iPaddedBorderWidth included.
constexpr UINT kNonClientMetricsSize = 504;
static_assert(sizeof(NONCLIENTMETRICSW) == kNonClientMetricsSize,
              "NONCLIENTMETRICSW must include iPaddedBorderWidth");

}  // namespace

bool QueryMessageFont(LOGFONTW& font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
        return false;
    }
    font = metrics.lfMessageFont;
    return true;
}
