#include "PlistFuzzSupport.h"

#include "foundation/HXLog.h"
#include "foundation/HXPropertyList.h"
#include "foundation/HXUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Any bytes as the settings file: the reader never crashes, takes a dictionary as it is (every key reads
// back the parsed value, every typed getter answers), calls anything else unreadable with a reason, and
// what it read can be written and read again.
namespace {

struct Files {
    QTemporaryDir folder{QDir::tempPath() + QStringLiteral("/fuzz_user_defaults-XXXXXX")};
    QString input = folder.filePath(QStringLiteral("Defaults.plist"));
    QString output = folder.filePath(QStringLiteral("Written/Defaults.plist"));
};

void writeInput(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    require(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
            static_cast<qint64>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Unreadable files are logged; a capture keeps the lines in memory instead of the output.
    static HXLogging::Capture* const quiet = new HXLogging::Capture;
    static Files* const files = new Files;
    quiet->clear();
    writeInput(files->input, data, size);

    const HXUserDefaults defaults(files->input, HXUserDefaults::ReadOnly{});
    const HXPropertyListResult parsed = HXPropertyList::read(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const HXDictionaryRef values = parsed.value.toDictionary();
    if (!values) {
        require(defaults.unreadableFile().has_value() && !defaults.unreadableFile()->reason.isEmpty());
        return 0;
    }
    require(!defaults.unreadableFile().has_value());

    QFile::remove(files->output);
    HXUserDefaults written(files->output);
    for (const HXDictionary::Entry& entry : values->entries()) {
        const QString& key = entry.key;
        require(sameValue(defaults.objectForKey(key), entry.value));
        require(defaults.hasUserValue(key));
        [[maybe_unused]] const bool flag = defaults.boolForKey(key);
        [[maybe_unused]] const std::int64_t whole = defaults.integerForKey(key);
        [[maybe_unused]] const double real = defaults.doubleForKey(key);
        require(defaults.stringForKey(key).isNull() || entry.value.isString() || entry.value.isNumber());
        require(!defaults.arrayForKey(key) || entry.value.isArray());
        require(!defaults.dictionaryForKey(key) || entry.value.isDictionary());
        written.setObject(key, entry.value);
    }
    // What was read can be written and read back (the settings are XML, which holds a little less: a
    // null, which only a binary file can hold, is a removal when set).
    if (written.synchronize()) {
        const HXUserDefaults again(files->output, HXUserDefaults::ReadOnly{});
        require(!again.unreadableFile().has_value());
        for (const HXDictionary::Entry& entry : values->entries())
            require(again.hasUserValue(entry.key) == !entry.value.isNull());
    }
    return 0;
}
