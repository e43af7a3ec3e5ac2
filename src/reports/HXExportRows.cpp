#include "reports/HXExportRows.h"

#include "reports/HXEventStream.h"

#include <cmath>

namespace {

double orLargest(double v) {
    return std::isnan(v) ? std::numeric_limits<double>::max() : v;
}

int compareNumbers(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

int HXSortSnapshotLines(const HXExportRow& a, const HXExportRow& b) {
    if (const int c = compareNumbers(orLargest(a.foregroundBegin), orLargest(b.foregroundBegin)))
        return c;
    return compareNumbers(orLargest(a.totalBegin), orLargest(b.totalBegin));
}

void addEventStream(HXExportRows& rows, HXKey streamKey, const HXDictionary& item, HXExportStream stream,
                    double a, double b, const HXExportRowTexts& texts) {
    const HXArrayRef log = item.arrayForKey(streamKey);
    if (!log || log->isEmpty())
        return;
    thread_local std::vector<double> clip;
    clip.clear();
    recordEventStream(*log, clip, a, b);
    if (clip.empty())
        return;
    const auto textIndex = static_cast<std::uint32_t>(rows.texts.size());
    bool used = false;
    double remembered = -1; // the sign walk starts as if after an end
    for (const double v : clip) {
        if ((v > 0) == (remembered > 0))
            continue;
        if (v < 0) {
            HXExportRow row;
            row.texts = textIndex;
            if (stream == HXExportStream::Foreground) {
                row.foregroundBegin = remembered;
                row.foregroundEnd = std::fabs(v);
            } else {
                row.totalBegin = remembered;
                row.totalEnd = std::fabs(v);
            }
            rows.rows.push_back(row);
            used = true;
        }
        remembered = v;
    }
    if (used)
        rows.texts.push_back(texts);
}
