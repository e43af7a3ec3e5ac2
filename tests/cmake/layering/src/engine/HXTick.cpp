// Allowed: foundation, the engine itself, QtCore, standard headers; refused: the rest.
#include "HXNext.h"
#include "foundation/HXBase.h"
#include "ui/HXWindow.h"
#include <QString>
#include <QWidget>
#include <xcb/xcb.h>
#include <vector>
