#include "ui/HXAutostartEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kDesktopEntryGroup = QStringLiteral("[Desktop Entry]");

bool isFieldCode(const QString& argument) {
    return argument.size() == 2 && argument[0] == QLatin1Char('%') &&
           QStringLiteral("fFuUdDnNickvm").contains(argument[1]);
}

QString resolvePercentEscapes(const QString& argument) {
    QString resolved = argument;
    return resolved.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

} // namespace

HXAutostartEntry HXAutostartEntry::fromText(const QByteArray& text) {
    HXAutostartEntry entry;
    bool inGroup = false;
    bool seenGroup = false;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            // Only the first "[Desktop Entry]" group counts; actions and other groups follow it.
            inGroup = line == kDesktopEntryGroup && !seenGroup;
            seenGroup = seenGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        // Translations ("Name[de]") do not matter here.
        if (key.contains(QLatin1Char('[')))
            continue;
        if (!entry.m_values.contains(key))
            entry.m_values.insert(key, HXUnescapeDesktopEntryValue(line.mid(equals + 1).trimmed()));
    }
    entry.m_valid = seenGroup;
    return entry;
}

HXAutostartEntry HXAutostartEntry::fromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return HXAutostartEntry();
    return fromText(file.readAll());
}

bool HXAutostartEntry::isDisabled() const {
    const auto isTrue = [](const QString& text) {
        return text.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
    };
    const auto isFalse = [](const QString& text) {
        return text.trimmed().compare(u"false", Qt::CaseInsensitive) == 0;
    };
    return isTrue(value(QStringLiteral("Hidden"))) ||
           isFalse(value(QStringLiteral("X-GNOME-Autostart-enabled")));
}

QStringList HXAutostartEntry::execArguments() const {
    QStringList arguments;
    for (const QString& argument : HXSplitExecValue(value(QStringLiteral("Exec")))) {
        if (!isFieldCode(argument))
            arguments.append(resolvePercentEscapes(argument));
    }
    return arguments;
}

QString HXAutostartEntry::program() const {
    const QStringList arguments = execArguments();
    if (arguments.isEmpty())
        return QString();
    const QString& program = arguments.first();
    if (QFileInfo(program).isAbsolute())
        return program;
    if (program.contains(QLatin1Char('/')))
        return QString();
    return QStandardPaths::findExecutable(program);
}

QString HXUnescapeDesktopEntryValue(const QString& value) {
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            text.append(c);
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            text.append(QLatin1Char(' '));
            break;
        case 'n':
            text.append(QLatin1Char('\n'));
            break;
        case 't':
            text.append(QLatin1Char('\t'));
            break;
        case 'r':
            text.append(QLatin1Char('\r'));
            break;
        case '\\':
            text.append(QLatin1Char('\\'));
            break;
        default:
            // Not a string escape: the backslash belongs to the value (Exec quoting uses it).
            text.append(c);
            text.append(next);
            break;
        }
    }
    return text;
}

QStringList HXSplitExecValue(const QString& unescaped) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < unescaped.size() &&
                       QStringLiteral("\"`$\\").contains(unescaped[i + 1])) {
                current.append(unescaped[++i]);
            } else {
                current.append(c);
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == QLatin1Char('"'))
            quoted = true;
        else
            current.append(c);
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

QString HXExecValueForProgram(const QString& program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument = program;
    argument.replace(QStringLiteral("%"), QStringLiteral("%%"));
    bool needsQuotes = false;
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (needsQuotes) {
        QString quoted = QStringLiteral("\"");
        for (const QChar c : argument) {
            if (QStringLiteral("\"`$\\").contains(c))
                quoted.append(QLatin1Char('\\'));
            quoted.append(c);
        }
        quoted.append(QLatin1Char('"'));
        argument = quoted;
    }
    // The string-value escapes come last: a backslash of the quoting is itself written doubled.
    QString value;
    for (const QChar c : argument) {
        if (c == QLatin1Char('\\'))
            value.append(QStringLiteral("\\\\"));
        else if (c == QLatin1Char('\n'))
            value.append(QStringLiteral("\\n"));
        else if (c == QLatin1Char('\t'))
            value.append(QStringLiteral("\\t"));
        else if (c == QLatin1Char('\r'))
            value.append(QStringLiteral("\\r"));
        else
            value.append(c);
    }
    return value;
}
