#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Diagnostic lines go to the system log (ident "Qualdern") and to standard error.
void HXSystemLog(const QString& line);

// Writes "[Qualdern Debug Log] " and the line only while debug logging is on (the user default
// "HXDebugLog"); returns whether it logged.
bool HXDebugLog(const QString& line);

namespace HXLogging {

void setDebugEnabled(bool enabled);
bool debugEnabled();

// Collects the lines logged while it lives instead of writing them (for tests and tools).
class Capture {
public:
    Capture();
    ~Capture();
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    QStringList lines() const;
    bool contains(const QString& fragment) const;
    void clear();
};

} // namespace HXLogging
