#include "ui/statusitem/HXScopeBar.h"

#include "pictures/HXIcons.h"
#include "pictures/HXImageOperations.h"
#include "pictures/HXPieImage.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace {

QImage scopeImage(const QString& identifier, const QColor& color, qreal ratio) {
    QImage image(static_cast<int>(16 * ratio), static_cast<int>(16 * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    if (identifier == QStringLiteral("Organizer"))
        drawInRect(painter, pieIconWithSize(QSizeF(15, 15), ratio), QRectF(1, 1, 15, 15), color, 1, false, 0);
    else
        drawInRect(painter, reportIconWithSize(QSizeF(15, 13), ratio), QRectF(1, 2, 15, 13), color, 1, false,
                   0);
    return image;
}

} // namespace

QIcon HXScopeBarIcon(const QString& identifier, const QColor& color) {
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(scopeImage(identifier, color, ratio)));
    return icon;
}

HXScopeBar::HXScopeBar(QWidget* parent)
    : QWidget(parent), m_layout(new QHBoxLayout(this)), m_group(new QButtonGroup(this)) {
    m_layout->setContentsMargins(6, 3, 6, 3);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton* button, bool checked) {
        if (signalsBlocked())
            return;
        const int index = m_group->id(button);
        if (index >= 0 && index < m_identifiers.size())
            Q_EMIT selectedStateChanged(checked, m_identifiers[index]);
    });
}

void HXScopeBar::addItem(const QString& identifier, const QString& title, const QIcon& icon) {
    auto* button = new QToolButton(this);
    button->setText(title);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFocusPolicy(Qt::TabFocus);
    QFont font = button->font();
    font.setWeight(QFont::Medium);
    button->setFont(font);
    m_group->addButton(button, static_cast<int>(m_identifiers.size()));
    m_identifiers.append(identifier);
    // Items stay left of the stretch, the accessory right of it.
    m_layout->insertWidget(static_cast<int>(m_identifiers.size()) - 1, button);
}

void HXScopeBar::setAccessoryView(QWidget* accessory) {
    if (m_accessory)
        m_layout->removeWidget(m_accessory);
    m_accessory = accessory;
    if (accessory)
        m_layout->addWidget(accessory);
}

void HXScopeBar::setSelected(const QString& identifier, bool informDelegate) {
    QAbstractButton* button = buttonForIdentifier(identifier);
    if (!button)
        return;
    const bool blocked = blockSignals(!informDelegate);
    button->setChecked(true);
    blockSignals(blocked);
}

QString HXScopeBar::selectedIdentifier() const {
    const int index = m_group->checkedId();
    return index >= 0 && index < m_identifiers.size() ? m_identifiers[index] : QString();
}

QAbstractButton* HXScopeBar::buttonForIdentifier(const QString& identifier) const {
    const qsizetype index = m_identifiers.indexOf(identifier);
    return index < 0 ? nullptr : m_group->button(static_cast<int>(index));
}
