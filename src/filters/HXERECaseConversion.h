#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// One case-conversion marker (\l, \L, \u, \U or \E) in a replacement template.
class HXERECaseConversion {
public:
    enum Type : int {
        LowerFirst = 0, // \l
        LowerAll = 1,   // \L
        UpperFirst = 2, // \u
        UpperAll = 3,   // \U
        Unchanged = 4,  // \E
    };

    HXERECaseConversion(Type type, qsizetype location, qsizetype length)
        : m_type(type), m_location(location), m_length(length) {}

    Type type() const { return m_type; }
    // Where the marker stands in the template as written, in UTF-16 code units.
    qsizetype location() const { return m_location; }
    qsizetype length() const { return m_length; }

    // The markers in order of appearance; a marker counts only after an even number of backslashes.
    // Nothing when the detector cannot be built.
    static std::optional<std::vector<HXERECaseConversion>>
    caseConversionsInString(const QString& templateString);

    // The text that follows this marker, converted.
    QString convertedFragment(QStringView fragment) const;

    friend bool operator==(const HXERECaseConversion&, const HXERECaseConversion&) = default;

private:
    Type m_type;
    qsizetype m_location;
    qsizetype m_length;
};
