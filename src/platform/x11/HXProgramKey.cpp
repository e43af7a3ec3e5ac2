#include "platform/x11/HXProgramKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <unistd.h>

namespace {

QString readLink(const QByteArray& path) {
    char buffer[4096];
    const ssize_t length = ::readlink(path.constData(), buffer, sizeof(buffer));
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof(buffer))
        return QString();
    return QFile::decodeName(QByteArray(buffer, length));
}

QByteArray procPath(std::int64_t pid, const char* leaf) {
    return QByteArray("/proc/") + QByteArray::number(pid) + '/' + leaf;
}

QString canonical(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

} // namespace

bool HXProgramKey::isInterpreter(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral(
        "^(python|perl|ruby|node|nodejs|bash|sh|dash|zsh|ksh|lua|php|gjs|tclsh|wish|guile)[0-9.]*$"));
    return pattern.match(fileName).hasMatch();
}

QString HXProgramKey::findOnPath(const QString& program, const QString& searchPath) {
    if (program.isEmpty())
        return QString();
    if (program.contains(u'/'))
        return QFileInfo(program).isExecutable() ? program : QString();
    for (const QString& folder : searchPath.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = QDir(folder).filePath(program);
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return candidate;
    }
    return QString();
}

QString HXProgramKey::scriptArgument(const QStringList& arguments, qsizetype from) {
    for (qsizetype i = from; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"-c" || a == u"-m" || a == u"-e" || a == u"--")
            return a == u"--" && i + 1 < arguments.size() ? arguments[i + 1] : QString();
        // Python's options with a separate value.
        if (a == u"-W" || a == u"-X") {
            ++i;
            continue;
        }
        if (!a.startsWith(u'-'))
            return a;
    }
    return QString();
}

QString HXProgramKey::forCommand(const QStringList& arguments, const QString& searchPath) {
    qsizetype first = 0;
    if (!arguments.isEmpty() && QFileInfo(arguments.front()).fileName() == u"env") {
        first = 1;
        while (first < arguments.size() &&
               (arguments[first].contains(u'=') || arguments[first].startsWith(u'-')))
            ++first;
    }
    if (first >= arguments.size())
        return QString();
    const QString program = canonical(findOnPath(arguments[first], searchPath));
    if (program.isEmpty() || !isInterpreter(QFileInfo(program).fileName()))
        return program;
    // A desktop entry names its script by an absolute path, if at all.
    const QString script = scriptArgument(arguments, first + 1);
    return script.startsWith(u'/') ? canonical(script) : QString();
}

QString HXProgramKey::executableOf(std::int64_t pid) {
    if (pid <= 0)
        return QString();
    QString exe = readLink(procPath(pid, "exe"));
    // An executable replaced since the process started (an upgrade) is still the same program.
    static const QString kDeleted = QStringLiteral(" (deleted)");
    if (exe.endsWith(kDeleted))
        exe.chop(kDeleted.size());
    return exe;
}

QString HXProgramKey::forProcess(std::int64_t pid) {
    const QString exe = executableOf(pid);
    if (exe.isEmpty() || !isInterpreter(QFileInfo(exe).fileName()))
        return exe;
    QFile cmdline(QString::fromLatin1(procPath(pid, "cmdline")));
    if (!cmdline.open(QIODevice::ReadOnly))
        return exe;
    QStringList arguments;
    for (const QByteArray& a : cmdline.read(1 << 16).split('\0'))
        arguments << QFile::decodeName(a);
    QString script = scriptArgument(arguments, 1);
    if (script.isEmpty())
        return exe;
    if (!script.startsWith(u'/'))
        script = QDir(readLink(procPath(pid, "cwd"))).filePath(script);
    const QString resolved = canonical(script);
    return resolved.isEmpty() ? exe : resolved;
}
