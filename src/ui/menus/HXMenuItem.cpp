#include "ui/menus/HXMenuItem.h"

HXMenuItem::HXMenuItem(const QString& title, HXMenuAction action, QObject* parent)
    : QAction(title, parent), m_action(action) {}
