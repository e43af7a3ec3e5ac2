#pragma once
// A widgets folder without a row of its own may use its area, not another area.
#include "hotkeys/widgets/HXRecorder.h"
#include "engine/HXNext.h"
#include <QPainter>
