#pragma once

#include "filters/HXERECaseConversion.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

// A replacement template with its case-conversion markers taken out: each marker is replaced by a
// placeholder that template expansion copies unchanged, and decoding an expanded replacement splits
// it at the placeholders and converts each fragment by the marker before it. Immutable once built.
class HXERETemplate {
public:
    // Contains neither "$" nor a backslash, so expansion passes it through.
    static const QString& placeholder();

    static HXERETemplate templateWithString(const QString& templateString);
    // From the process-wide cache, parsing and storing on a miss. Main thread only.
    static std::shared_ptr<const HXERETemplate> cachedTemplateWithString(const QString& templateString);
    // Releases the whole cache; the next use starts a new one.
    static void clearCache();

    const QString& encodedString() const { return m_encodedString; }
    // Nothing when the template has no markers.
    const std::optional<std::vector<HXERECaseConversion>>& caseConversions() const {
        return m_caseConversions;
    }

    // The expanded replacement without placeholders, each fragment converted. A fragment count that
    // does not fit the markers (captured text holding the placeholder) is logged and left as it is.
    QString decodeReplacementString(const QString& replacement) const;

private:
    QString m_encodedString;
    std::optional<std::vector<HXERECaseConversion>> m_caseConversions;
};
