#include "ui/statusitem/HXStatusItemView.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXColorScheme.h"
#include "pictures/HXFrontActivityColor.h"

#include <QGuiApplication>
#include <QPixmap>

HXStatusItemView::HXStatusItemView(const HXUserDefaults& defaults, QObject* parent)
    : QObject(parent), m_defaults(defaults) {}

void HXStatusItemView::set(bool& flag, bool value) {
    if (flag == value)
        return;
    flag = value;
    Q_EMIT needsDisplay();
}

void HXStatusItemView::setShowsLiveReport(bool shows) {
    set(m_showsLiveReport, shows);
}

void HXStatusItemView::setHibernating(bool hibernating) {
    set(m_hibernating, hibernating);
}

void HXStatusItemView::setInsomniac(bool insomniac) {
    set(m_insomniac, insomniac);
}

void HXStatusItemView::setHighlighted(bool highlighted) {
    set(m_highlighted, highlighted);
}

HXStatusItemAppearance HXStatusItemView::appearance() const {
    const QPalette palette = QGuiApplication::palette();
    HXStatusItemAppearance a = HXStatusItemAppearanceFromDefaults(m_defaults, palette);
    a.showsLiveReport = m_showsLiveReport;
    a.hibernating = m_hibernating;
    a.insomniac = m_insomniac;
    a.highlighted = m_highlighted;
    a.accentColor = frontActivityColorForReportViewContext(
        false, static_cast<long long>(HXCurrentColorScheme(m_defaults)), m_defaults, palette);
    return a;
}

int HXStatusItemView::width() const {
    return HXStatusItemWidth(m_defaults.integerForKey(u"HXStatusItemWidth"));
}

QIcon HXStatusItemView::icon() const {
    const HXStatusItemAppearance a = appearance();
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(HXStatusItemImage(a, width(), ratio)));
    return icon;
}

QString HXStatusItemView::toolTip() const {
    if (m_hibernating)
        return HXLocalized("Qualdern (suspended)");
    if (m_insomniac)
        return HXLocalized("Qualdern (insomnia)");
    return QStringLiteral("Qualdern");
}
