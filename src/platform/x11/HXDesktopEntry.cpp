#include "platform/x11/HXDesktopEntry.h"

#include <QFile>
#include <QHash>

namespace {

bool isTrue(QStringView value) {
    return value == u"true" || value == u"1";
}

// Removes the field codes of one Exec argument; %% stands for a percent sign.
QString withoutFieldCodes(const QString& argument, bool& onlyCodes) {
    QString out;
    onlyCodes = true;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] == u'%' && i + 1 < argument.size()) {
            if (argument[++i] == u'%') {
                out += u'%';
                onlyCodes = false;
            }
            continue;
        }
        out += argument[i];
        onlyCodes = false;
    }
    return out;
}

} // namespace

QString HXDesktopEntry::unescape(QStringView value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's':
            out += u' ';
            break;
        case 'n':
            out += u'\n';
            break;
        case 't':
            out += u'\t';
            break;
        case 'r':
            out += u'\r';
            break;
        default:
            // Unknown escapes, and \\ (and \; of list values), keep the character.
            if (next != u'\\' && next != u';')
                out += u'\\';
            out += next;
            break;
        }
    }
    return out;
}

std::optional<QStringList> HXDesktopEntry::splitExec(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    bool wasQuoted = false;
    auto finish = [&] {
        if (!inArgument)
            return;
        bool onlyCodes = false;
        // A quoted argument is taken literally, field codes included.
        QString argument = wasQuoted ? current : withoutFieldCodes(current, onlyCodes);
        if (wasQuoted || !onlyCodes)
            arguments << argument;
        current.clear();
        inArgument = wasQuoted = false;
    };
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'"') {
                quoted = false;
            } else if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec[i + 1])) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = wasQuoted = inArgument = true;
        } else if (c == u' ' || c == u'\t' || c == u'\n') {
            finish();
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return std::nullopt;
    finish();
    return arguments;
}

std::optional<HXDesktopEntry> HXDesktopEntry::parse(const QByteArray& content,
                                                    const HXDesktopLocale& locale) {
    HXDesktopEntry entry;
    bool inGroup = false;
    bool sawGroup = false;
    QHash<QString, QString> localizedNames;
    QHash<QString, QString> values;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            // Keys of one group must not be taken from another; only the first [Desktop Entry] counts.
            inGroup = !sawGroup && line == u"[Desktop Entry]";
            sawGroup = sawGroup || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key.startsWith(u"Name[") && key.endsWith(u']')) {
            const QString localeKey = key.mid(5, key.size() - 6);
            if (!localizedNames.contains(localeKey))
                localizedNames.insert(localeKey, unescape(value));
        } else if (!values.contains(key)) {
            values.insert(key, value);
        }
    }
    if (!sawGroup)
        return std::nullopt;

    entry.type = unescape(values.value(QStringLiteral("Type")));
    entry.name = unescape(values.value(QStringLiteral("Name")));
    for (const QString& candidate : locale.candidates()) {
        const auto it = localizedNames.constFind(candidate);
        if (it != localizedNames.constEnd() && !it->isEmpty()) {
            entry.name = *it;
            break;
        }
    }
    entry.startupWMClass = unescape(values.value(QStringLiteral("StartupWMClass")));
    entry.tryExec = unescape(values.value(QStringLiteral("TryExec")));
    entry.icon = unescape(values.value(QStringLiteral("Icon")));
    entry.exec = splitExec(unescape(values.value(QStringLiteral("Exec")))).value_or(QStringList());
    entry.hidden = isTrue(values.value(QStringLiteral("Hidden")));
    entry.noDisplay = isTrue(values.value(QStringLiteral("NoDisplay")));
    return entry;
}

std::optional<HXDesktopEntry> HXDesktopEntry::read(const QString& path, const HXDesktopLocale& locale) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return std::nullopt;
    std::optional<HXDesktopEntry> entry = parse(file.read(kMaxFileSize), locale);
    if (entry)
        entry->path = path;
    return entry;
}
