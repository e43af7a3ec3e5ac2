#pragma once

#include "foundation/HXArray.h"

#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

class HXDictionary;

// The interval that percentages in a report refer to: with rawInterval the report's own length; else the
// time during which any application or pool of the report list was active (windows and pool items do not
// count), from their clipped "Active Log" or, where that is empty, "Front Active Log".
double HXReportReferenceInterval(const HXArray& reportList, double begin, double end, bool rawInterval);

// That union of activity, kept so that the next report of the same begin and a later end, which the live
// report asks for at every sampling tick, adds only what its records gained at their ends instead of
// uniting everything again.
class HXReportActivityUnion {
public:
    // From the previous union when the list only grew at its end since; otherwise afresh.
    static std::shared_ptr<const HXReportActivityUnion>
    make(const HXArray& reportList, double begin, double end, const HXReportActivityUnion* previous);
    double length() const { return m_length; }

private:
    using Intervals = std::vector<std::pair<double, double>>;
    // What a counted record contributed: its clipped record and the log it was read from. The record is
    // held, so that a later record made at its address cannot pass for it.
    struct Contribution {
        std::shared_ptr<const HXDictionary> clipped;
        const HXArray* log = nullptr;
        bool front = false;
        qsizetype count = 0;
        double first = 0;
        double lastBegin = 0;
    };

    bool growFrom(const HXReportActivityUnion& previous, const HXArray& reportList);
    void uniteAfresh(const HXArray& reportList);

    double m_begin = 0;
    double m_end = 0;
    double m_length = 0;
    Intervals m_union;
    // By source record.
    std::unordered_map<const HXDictionary*, Contribution> m_contributions;
};
