#pragma once

#include <QString>
#include <QStringList>

// Starting the program with the desktop session: an XDG autostart entry
// "$XDG_CONFIG_HOME/autostart/<desktop-entry id>.desktop" whose Exec is the program's absolute path. The
// entry in the user's folder overrides one of the same name in the system's folders ($XDG_CONFIG_DIRS);
// an entry with "Hidden=true" or "X-GNOME-Autostart-enabled=false" counts as off.

// The program's desktop-entry id.
QString HXDesktopEntryId();
// The running program's absolute path.
QString HXLoginItemProgramPath();

// The user's autostart folder and the system's, most important first.
QString HXUserAutostartFolder();
QStringList HXSystemAutostartFolders();
QString HXUserAutostartEntryPath();

// Whether the program starts with the session; usable tells whether that can be changed (the user's
// autostart folder is writable, or can be made).
bool HXIsLoginItem(bool* usable = nullptr);
// Whether the effective autostart entry is on and starts the program at programPath.
bool HXIsLoginItemViaBundle(const QString& programPath);

bool HXSetLoginItem(bool enable);
// Enabling writes the entry, replacing one that starts the program from another path; disabling removes
// the user's entry (such a stale one too), or hides a system entry of the same name. True when the entry
// was there or written (enabling), or removed or hidden (disabling).
bool HXSetLoginItemViaBundle(bool enable, const QString& programPath);

// The text of an autostart entry that starts programPath.
QByteArray HXLoginItemEntryText(const QString& programPath);
