#pragma once

#include "foundation/HXDictionary.h"
#include "ui/menus/HXMenuAction.h"

#include <QAction>

class HXReportMenuTarget;

// A menu entry built in code: its command, the record it acts on (the expansion entry finds the
// organizer's row of it when chosen, as rows come and go between ticks), a tag, and whether it is the
// alternate of the entry before it, shown instead of that one while the modifier keys are held.
class HXMenuItem : public QAction {
    Q_OBJECT

public:
    HXMenuItem(const QString& title, HXMenuAction action, QObject* parent);

    HXMenuAction menuAction() const { return m_action; }
    const HXDictionaryRef& representedObject() const { return m_representedObject; }
    void setRepresentedObject(HXDictionaryRef record) { m_representedObject = std::move(record); }
    // The report a View entry acts on.
    HXReportMenuTarget* reportTarget() const { return m_reportTarget; }
    void setReportTarget(HXReportMenuTarget* report) { m_reportTarget = report; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Shown only while exactly these modifiers are held, in place of the entry before it.
    Qt::KeyboardModifiers alternateModifiers() const { return m_alternateModifiers; }
    void setAlternateModifiers(Qt::KeyboardModifiers modifiers) { m_alternateModifiers = modifiers; }
    bool isAlternate() const { return m_alternateModifiers != Qt::NoModifier; }

private:
    HXMenuAction m_action;
    HXDictionaryRef m_representedObject;
    HXReportMenuTarget* m_reportTarget = nullptr;
    int m_tag = 0;
    Qt::KeyboardModifiers m_alternateModifiers = Qt::NoModifier;
};
