#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>
#include <optional>

// Exit status of a verb: 0 on success, these otherwise.
constexpr int HXCommandLineFailure = 1;
constexpr int HXCommandLineUsage = 2;

// A mistake in the arguments. The verbs throw it; each dispatcher prints it after the verb's name, on one
// line, and exits with HXCommandLineUsage.
struct HXCommandLineUsageError {
    QString text;
};

// The arguments of one verb (the verb itself first, skipped): "--name value" options, "--name" switches,
// plain arguments and --help or -h. An option the verb does not know, one without its value or one given
// twice is a usage error. A value is taken as it is, even when it looks like an option.
class HXCommandLineOptions {
public:
    HXCommandLineOptions(const QStringList& arguments, const QStringList& withValue,
                         const QStringList& switches = {});

    bool help() const { return m_help; }
    const QStringList& plain() const { return m_plain; }
    std::optional<QString> value(QStringView name) const;
    bool isSet(QStringView name) const { return m_switches.contains(name); }

    // For verbs that take no plain arguments: "-x" reads as an unknown option, anything else as unexpected.
    void refusePlainArguments() const;

private:
    bool m_help = false;
    std::map<QString, QString, std::less<>> m_values;
    QStringList m_switches;
    QStringList m_plain;
};

// One of an option's named values ("--scheme dark"); another name is a usage error that names the option
// without its dashes ("unknown scheme pink").
int HXCommandLineChoice(const QString& given, QStringView option, const std::map<QString, int>& choices);

// An ISO 8601 local time as Unix seconds; a date alone is the start of that day, or with endOfDay the
// start of the next.
double HXParseCommandLineDate(const QString& text, bool endOfDay);

// An end before the begin is a mistake in the arguments, not an empty interval.
void HXCheckCommandLineInterval(double begin, double end);

// The times of --from and --to, each when given; given both, an end before the begin is a usage error.
struct HXCommandLineDates {
    std::optional<double> from;
    std::optional<double> to;
};
HXCommandLineDates HXReadCommandLineDates(const HXCommandLineOptions& options);
