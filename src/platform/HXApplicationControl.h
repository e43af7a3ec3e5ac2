#pragma once

#include "platform/HXRunningApplication.h"

#include <QString>

// Starting, bringing forward and closing applications, and their icons, as the desktop offers them.
class HXApplicationControl {
public:
    virtual ~HXApplicationControl() = default;

    // Raises and focuses the application's front-most window; false when it has none.
    virtual bool activate(const HXRunningApplication& application) = 0;
    // Asks every window of the application to close, as its close button would; false when it has none.
    virtual bool close(const HXRunningApplication& application) = 0;
    // Starts the application at path: a desktop entry's command, or the executable itself.
    virtual bool launch(const QString& path) = 0;
    // The icon of the application at path: an icon theme name or an absolute file; empty when none.
    virtual QString iconName(const QString& path) = 0;
};
