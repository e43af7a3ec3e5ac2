#pragma once

#include <QString>

// Where a user's files go, by the XDG base-directory rules, and paths written with "~".

// $XDG_DATA_HOME, or ~/.local/share when it is unset or not absolute.
QString HXDataHome();
// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute.
QString HXConfigHome();
// The program's library folder: HXDataHome() + "/Qualdern".
QString HXLibraryFolder();

// "~" and "~/..." expanded; other paths unchanged.
QString HXExpandTilde(const QString& path);
// The home folder (and paths below it) written with "~".
QString HXAbbreviateWithTilde(const QString& path);
