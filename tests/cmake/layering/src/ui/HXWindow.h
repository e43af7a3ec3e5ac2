#pragma once
#include "engine/HXNext.h"
#include <QWidget>
