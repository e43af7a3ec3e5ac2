#include "app/HXDefaultsCommand.h"

#include "engine/HXRegisteredDefaults.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXPaths.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXRegularFile.h"
#include "foundation/HXUserDefaults.h"

#include <QDir>
#include <QLockFile>

#include <cmath>
#include <optional>

namespace {

constexpr int kFailure = 1;
constexpr int kUsageError = 2;

const char kUsage[] = "usage: qualdern defaults read [KEY]\n"
                      "       qualdern defaults write KEY -bool|-int|-float|-string VALUE\n"
                      "       qualdern defaults delete KEY\n";

QString text(const HXValue& value) {
    switch (value.type()) {
    case HXValueType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case HXValueType::Integer:
        return QString::number(value.toInteger());
    case HXValueType::UnsignedInteger:
        return QString::number(value.toUnsignedInteger());
    case HXValueType::Real:
        return QString::number(value.toDouble(), 'g', 17);
    case HXValueType::String:
        return value.toString();
    default:
        // Containers, dates and data as the property list they are stored as.
        return QString::fromUtf8(HXPropertyList::writeXML(value).value_or(QByteArray())).trimmed();
    }
}

std::optional<HXValue> parse(const QString& type, const QString& argument) {
    bool ok = false;
    if (type == u"-bool") {
        const QString lower = argument.toLower();
        if (lower == u"true" || lower == u"yes" || lower == u"1")
            return HXValue(true);
        if (lower == u"false" || lower == u"no" || lower == u"0")
            return HXValue(false);
    } else if (type == u"-int") {
        const long long number = argument.toLongLong(&ok);
        if (ok)
            return HXValue(number);
    } else if (type == u"-float") {
        const double number = argument.toDouble(&ok);
        if (ok && std::isfinite(number))
            return HXValue(number);
    } else if (type == u"-string") {
        return HXValue(argument);
    }
    return std::nullopt;
}

int read(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    HXUserDefaults defaults(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{});
    if (const auto& unreadable = defaults.unreadableFile()) {
        err << "qualdern defaults: " << defaults.path() << ": " << unreadable->reason << "\n";
        return kFailure;
    }
    HXRegisterDefaults(defaults);
    if (arguments.isEmpty()) {
        // Every key written, in the file's order.
        const std::optional<QByteArray> data = HXReadRegularFile(defaults.path());
        const HXValue all = data ? HXPropertyList::read(*data).value : HXValue();
        if (const HXDictionaryRef& dictionary = all.toDictionary()) {
            for (const HXDictionary::Entry& entry : dictionary->entries())
                out << '"' << entry.key << "\" = " << text(entry.value) << "\n";
        }
        return 0;
    }
    const HXValue value = defaults.objectForKey(arguments.constFirst());
    if (value.isNull()) {
        err << "qualdern defaults: \"" << arguments.constFirst() << "\" is not set and has no default\n";
        return kFailure;
    }
    out << text(value) << "\n";
    return 0;
}

int change(const QStringList& arguments, QTextStream& err) {
    const bool write = arguments.constFirst() == u"write";
    if (arguments.size() != (write ? 4 : 2)) {
        err << kUsage;
        return kUsageError;
    }
    const QString key = arguments.at(1);
    std::optional<HXValue> value;
    if (write) {
        value = parse(arguments.at(2), arguments.at(3));
        if (!value) {
            err << "qualdern defaults: not a " << arguments.at(2).mid(1) << ": " << arguments.at(3) << "\n";
            return kUsageError;
        }
    }
    // Held while writing, so that no tracker starts in between and writes its own settings back. Before
    // the tracker's first start its folder is not there yet, and nothing holds the lock.
    QDir().mkpath(HXLibraryFolder());
    QLockFile lock(HXLibraryFolder() + QStringLiteral("/tracker.lock"));
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0)) {
        if (lock.error() == QLockFile::LockFailedError)
            err << "qualdern defaults: Qualdern is running; quit it first (it would write its settings "
                   "back)\n";
        else
            err << "qualdern defaults: cannot lock " << HXLibraryFolder() << " against a starting tracker\n";
        return kFailure;
    }
    {
        HXUserDefaults check(HXUserDefaults::standardPath(), HXUserDefaults::ReadOnly{});
        if (const auto& unreadable = check.unreadableFile()) {
            err << "qualdern defaults: " << check.path() << ": " << unreadable->reason << "; left alone\n";
            return kFailure;
        }
    }
    HXUserDefaults defaults(HXUserDefaults::standardPath());
    if (write)
        defaults.setObject(key, *value);
    else
        defaults.removeObject(key);
    if (!defaults.synchronize()) {
        err << "qualdern defaults: cannot write " << defaults.path() << "\n";
        return kFailure;
    }
    return 0;
}

} // namespace

int HXRunDefaultsCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    if (arguments.isEmpty() || arguments.constFirst() == u"--help" || arguments.constFirst() == u"-h") {
        (arguments.isEmpty() ? err : out) << kUsage;
        return arguments.isEmpty() ? kUsageError : 0;
    }
    const QString& verb = arguments.constFirst();
    if (verb == u"read" && arguments.size() <= 2)
        return read(arguments.mid(1), out, err);
    if (verb == u"write" || verb == u"delete")
        return change(arguments, err);
    err << kUsage;
    return kUsageError;
}
