#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// What a program is, for matching running processes against desktop entries: the canonical path of its
// executable, or of its script when the executable is an interpreter (python3, perl, bash, node, ...), so
// that every Python program does not look like Python. Empty when it cannot be told.
class HXProgramKey {
public:
    // For a command line such as a desktop entry's Exec: the program is looked up on searchPath (PATH
    // syntax) unless it has a slash; a leading "env VAR=value" is skipped.
    static QString forCommand(const QStringList& arguments, const QString& searchPath);
    // For a running process, from /proc/PID/exe and, for interpreters, /proc/PID/cmdline.
    static QString forProcess(std::int64_t pid);

    // /proc/PID/exe; empty when it cannot be read (another user's process, a process that ended).
    static QString executableOf(std::int64_t pid);
    static bool isInterpreter(const QString& fileName);
    static QString findOnPath(const QString& program, const QString& searchPath);

private:
    // The script an interpreter runs, from the arguments after the interpreter; empty for -c/-m/-e code.
    static QString scriptArgument(const QStringList& arguments, qsizetype from);
};
