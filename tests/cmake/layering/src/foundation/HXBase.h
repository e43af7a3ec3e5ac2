#pragma once
#include <QtCore>
