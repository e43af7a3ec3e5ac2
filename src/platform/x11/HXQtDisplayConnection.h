#pragma once

// Whether the program's own windows have lost their X server: Qt's connection to it broke. False when
// the program's windows are not on X11.
bool HXQtDisplayConnectionBroke();
