#pragma once

#include <QIcon>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QHBoxLayout;

// A bar of one group of radio items, each a title with a small picture, and an accessory on its right:
// the panel's switch between the organizer and the live report.
class HXScopeBar : public QWidget {
    Q_OBJECT

public:
    explicit HXScopeBar(QWidget* parent = nullptr);

    void addItem(const QString& identifier, const QString& title, const QIcon& icon);
    void setAccessoryView(QWidget* accessory);
    // Without informing, the selection changes silently.
    void setSelected(const QString& identifier, bool informDelegate);
    QString selectedIdentifier() const;
    QAbstractButton* buttonForIdentifier(const QString& identifier) const;
    QStringList identifiers() const { return m_identifiers; }

Q_SIGNALS:
    void selectedStateChanged(bool selected, const QString& identifier);

private:
    QHBoxLayout* m_layout;
    QButtonGroup* m_group;
    QStringList m_identifiers;
    QWidget* m_accessory = nullptr;
};

// The scope bar's pictures: the pie for "Organizer", the report for "Activity Report", in the colour.
QIcon HXScopeBarIcon(const QString& identifier, const QColor& color);
