#pragma once
#include "ui/HXWindow.h"
#include <QWidget>
