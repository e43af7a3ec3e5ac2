#pragma once

#include <functional>

// Whether the program's own windows have lost their X server: Qt's connection to it broke. False when
// the program's windows are not on X11.
bool HXQtDisplayConnectionBroke();

// Cuts the program's own connection to its X server, callable from any thread (nothing when its windows
// are not on X11): a main thread stuck waiting on a frozen server then returns, and Qt ends the program
// as when the server goes away. Made on the main thread.
std::function<void()> HXQtDisplayConnectionCutter();
