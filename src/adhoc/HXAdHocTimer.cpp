#include "adhoc/HXAdHocTimer.h"

#include "engine/HXUserInterfacePort.h"
#include "foundation/HXClock.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXLog.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXSorting.h"
#include "foundation/HXUserDefaults.h"
#include "reports/HXDurationText.h"

#include <QCollator>

#include <algorithm>

using namespace HXKeys;

namespace {

constexpr std::string_view kRefreshAction = "updateTimerDisplay";
constexpr double kRefreshInterval = 1.0;
constexpr double kShortestStretch = 0.001;

std::vector<HXDictionaryRef> records(const HXArray* array) {
    std::vector<HXDictionaryRef> result;
    if (!array)
        return result;
    for (const HXValue& value : array->values()) {
        if (const HXDictionaryRef& record = value.toDictionary())
            result.push_back(record);
    }
    return result;
}

void sortByName(std::vector<HXDictionaryRef>& items) {
    std::stable_sort(items.begin(), items.end(), [](const HXDictionaryRef& a, const HXDictionaryRef& b) {
        return HXSortItemsByName(*a, *b) < 0;
    });
}

HXDictionaryRef adHocPoolItem(const HXDictionary& pool) {
    for (const HXDictionaryRef& child : records(pool.arrayPointerForKey(Children))) {
        if (child->stringForKey(ApplicationID) == QStringView(kAdHocPath))
            return child;
    }
    return nullptr;
}

int localizedCaseInsensitiveCompare(const QString& a, const QString& b) {
    thread_local const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b);
}

} // namespace

HXAdHocTimer::HXAdHocTimer(const Services& services, QObject* parent)
    : QObject(parent), m_services(services), m_poolChoices{nullptr} {
    updateTimerDisplay();
}

HXAdHocTimer::~HXAdHocTimer() {
    cancelDisplayRefresh();
}

QString HXAdHocTimer::windowTitle() {
    return HXLocalized("Ad Hoc Timer");
}

QString HXAdHocTimer::suggestionTitleSuffixFormat() {
    return HXLocalized(" - %@").replace(QStringLiteral("%@"), QStringLiteral("%1"));
}

QString HXAdHocTimer::pauseButtonTitle() const {
    return m_running ? HXLocalized("Pause") : HXLocalized("Resume");
}

bool HXAdHocTimer::startAtTimestamp(double timestamp, const std::optional<QString>& name,
                                    const HXDictionaryRef& pool, HXAdHocTimerDelegate* delegate) {
    if (m_active) {
        Q_EMIT windowShouldShow(false);
        return false;
    }
    m_delegate = delegate;
    m_active = true;
    m_retroactive = false;
    setRunning(true);
    m_eventStream.reset();
    m_durationOffset = 0;
    m_referenceTimestamp = timestamp;

    std::vector<HXDictionaryRef> pools =
        records(m_delegate ? m_delegate->poolsForAdHocTimer(*this).get() : nullptr);
    sortByName(pools);
    m_poolChoices = {nullptr};
    m_poolChoices.insert(m_poolChoices.end(), pools.begin(), pools.end());
    Q_EMIT poolChoicesChanged();
    selectPool(pool);

    m_nameFieldText = name.value_or(QString());
    Q_EMIT nameFieldTextChanged();

    updateTimerDisplay();
    m_services.ui.bringToFront();
    Q_EMIT windowShouldShow(true);
    return true;
}

void HXAdHocTimer::showWindow() {
    Q_EMIT windowShouldShow(false);
}

void HXAdHocTimer::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    Q_EMIT displayChanged();
}

bool HXAdHocTimer::stop() {
    if (!m_running)
        return false;
    setRunning(false);
    const double now = m_services.clock.now();
    const double stretch = now - m_referenceTimestamp;
    if (stretch > kShortestStretch) {
        m_durationOffset += stretch;
        if (!m_eventStream)
            m_eventStream = HXArray::create();
        m_eventStream->appendDouble(m_referenceTimestamp);
        m_eventStream->appendDouble(-now);
    }
    updateTimerDisplay();
    return true;
}

bool HXAdHocTimer::resumeAtTimestamp(double timestamp) {
    if (m_running)
        return false;
    setRunning(true);
    m_referenceTimestamp = timestamp;
    updateTimerDisplay();
    return true;
}

void HXAdHocTimer::pause() {
    if (!m_active)
        return;
    cancelDisplayRefresh();
    if (!stop())
        resumeAtTimestamp(m_services.clock.now());
}

void HXAdHocTimer::done(int tag) {
    if (m_active) {
        m_active = false;
        cancelDisplayRefresh();
        if (tag == 1) {
            stop();
            if (!m_delegate || !m_delegate->absorbAdHocTimer(*this)) {
                HXSystemLog(QStringLiteral("cannot absorb ad hoc timer"));
                m_services.ui.beep();
            }
        }
    }
    Q_EMIT windowShouldClose();
    m_delegate = nullptr;
    setRunning(false);
    m_eventStream.reset();
}

void HXAdHocTimer::selectPool(const HXDictionaryRef& pool) {
    const auto found =
        pool ? std::find(m_poolChoices.begin(), m_poolChoices.end(), pool) : m_poolChoices.end();
    HXDictionaryRef selected = found == m_poolChoices.end() ? nullptr : *found;
    if (selected == m_selectedPool)
        return;
    m_selectedPool = std::move(selected);
    Q_EMIT selectedPoolChanged();
    updateTimerDisplay();
}

void HXAdHocTimer::controlTextDidChange(const QString& text, const HXDictionaryRef& origin) {
    if (text == m_nameFieldText && !origin)
        return;
    m_nameFieldText = text;
    if (!text.isEmpty()) {
        for (const HXNameSuggestion& suggestion : nameSuggestionsForMenu(false)) {
            if (suggestion.representedStringValue == text) {
                selectPool(origin ? origin : suggestion.origin);
                break;
            }
        }
    }
    updateTimerDisplay();
}

QStringList HXAdHocTimer::completions(const QString& text, qsizetype partialStart,
                                      qsizetype partialLength) const {
    QStringList result;
    if (partialStart != 0 || partialLength <= 0 || partialLength > text.size())
        return result;
    const QString prefix = text.left(partialLength).toLower();
    for (const HXNameSuggestion& suggestion : nameSuggestionsForMenu(false)) {
        const QString& value = suggestion.representedStringValue;
        if (value.toLower().startsWith(prefix) && !result.contains(value))
            result.append(value);
    }
    return result;
}

std::vector<HXNameSuggestion> HXAdHocTimer::nameSuggestionsForMenu(bool menu) const {
    std::vector<HXNameSuggestion> suggestions;
    std::vector<HXDictionaryRef> pools =
        records(m_delegate ? m_delegate->poolsForAdHocTimer(*this).get() : nullptr);
    if (menu && pools.size() > 1)
        sortByName(pools);
    for (const HXDictionaryRef& pool : pools) {
        const HXDictionaryRef adHoc = adHocPoolItem(*pool);
        if (!adHoc)
            continue;
        std::vector<HXDictionaryRef> entries = records(adHoc->arrayPointerForKey(Children));
        if (menu && entries.size() > 1)
            sortByName(entries);
        bool first = true;
        const QString poolName = pool->itemName();
        for (const HXDictionaryRef& entry : entries) {
            const QString& name = entry->stringForKey(Name);
            if (name.isEmpty())
                continue;
            if (menu && first && !suggestions.empty())
                suggestions.push_back(HXNameSuggestion{});
            first = false;
            suggestions.push_back(
                HXNameSuggestion{poolName, name, pool, QStringLiteral("%1\n%2").arg(name, poolName)});
        }
    }
    if (!menu && suggestions.size() > 1) {
        std::stable_sort(suggestions.begin(), suggestions.end(),
                         [](const HXNameSuggestion& a, const HXNameSuggestion& b) {
                             return localizedCaseInsensitiveCompare(a.sortString, b.sortString) < 0;
                         });
    }
    return suggestions;
}

double HXAdHocTimer::entryTimeForOffset() const {
    if (!m_selectedPool || !m_services.defaults.boolForKey(u"Offset Ad Hoc Timers"))
        return 0;
    const HXDictionaryRef adHoc = adHocPoolItem(*m_selectedPool);
    if (!adHoc)
        return 0;
    const QString name = m_nameFieldText.trimmed();
    for (const HXDictionaryRef& entry : records(adHoc->arrayPointerForKey(Children))) {
        const HXValue* value = entry->find(Name);
        if (value && value->isString() && value->toString() == name)
            return entry->timeIntervalForKey(Time);
    }
    return 0;
}

void HXAdHocTimer::updateTimerDisplay() {
    double elapsed = m_durationOffset;
    if (m_running)
        elapsed += m_services.clock.now() - m_referenceTimestamp;
    elapsed += entryTimeForOffset();
    QString text = stringWithTimeIntervalEatZero(
        elapsed, true, m_services.defaults.boolForKey(u"Express Time Intervals As Days"));
    if (text.isEmpty())
        text = QStringLiteral("0:00");
    m_timerText = text;
    Q_EMIT displayChanged();
    if (m_running)
        scheduleDisplayRefresh();
}

void HXAdHocTimer::scheduleDisplayRefresh() {
    cancelDisplayRefresh();
    m_services.scheduler.performAfterDelay(this, kRefreshAction, kRefreshInterval,
                                           [this] { updateTimerDisplay(); });
}

void HXAdHocTimer::cancelDisplayRefresh() {
    m_services.scheduler.cancelPerforms(this, kRefreshAction);
}
