#include "ui/organizer/HXOrganizerModel.h"

#include "engine/HXMainController.h"
#include "engine/HXOrganizerDrops.h"
#include "filters/HXFilterKeys.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXStringChecks.h"
#include "foundation/HXUserDefaults.h"
#include "pictures/HXPieImage.h"
#include "reports/HXDurationText.h"
#include "ui/HXAdHocTimerCommands.h"

#include <QGuiApplication>
#include <QMimeData>

#include <bit>
#include <cmath>

using namespace HXKeys;

namespace {

constexpr unsigned ActiveFlag = 1;
constexpr unsigned FrontActiveFlag = 2;
constexpr unsigned PausedFlag = 4;
constexpr unsigned ActionFlag = 8;
constexpr unsigned IconActiveFlag = 16;
constexpr unsigned ExpandableFlag = 32;
// Settings every row depends on.
constexpr unsigned PercentagesFlag = 64;
constexpr unsigned DaysFlag = 128;
constexpr unsigned InfoButtonsFlag = 256;
constexpr unsigned kNoFlag = 0;

bool isPool(const HXDictionary& record) {
    return record.stringForKey(Path) == kPoolPath;
}

} // namespace

HXOrganizerModel::HXOrganizerModel(HXMainController& controller, Outline outline,
                                   HXAdHocTimerCommands* adHocTimer, QObject* parent)
    : QAbstractItemModel(parent), m_controller(controller), m_outline(outline), m_adHocTimer(adHocTimer) {
    m_root.m_madeChildren = true;
    // The header row.
    m_root.m_children.push_back(std::make_unique<HXItemProxy>(nullptr, &m_root));
    connect(&controller,
            outline == Outline::Applications ? &HXMainController::applicationListReloaded
                                             : &HXMainController::poolListReloaded,
            this, &HXOrganizerModel::reloadAfterTick);
}

HXOrganizerModel::~HXOrganizerModel() = default;

HXArrayRef HXOrganizerModel::topLevelRecords() const {
    return m_outline == Outline::Applications ? m_controller.listApplications() : m_controller.listPools();
}

const HXArray* HXOrganizerModel::childRecords(const HXDictionary& record) {
    const HXArrayRef& windows = record.listWindows();
    if (windows && !windows->isEmpty())
        return windows.get();
    // Pools' items in display order; the stored children keep the user's order.
    const HXArrayRef& listed = record.listChildren();
    if (listed && !listed->isEmpty())
        return listed.get();
    const HXArray* children = record.arrayPointerForKey(Children);
    return children && !children->isEmpty() ? children : nullptr;
}

void HXOrganizerModel::reload() {
    reloadRows(true);
}

void HXOrganizerModel::reloadAfterTick() {
    reloadRows(m_controller.lastTickLookedAtEverything());
}

void HXOrganizerModel::reloadRows(bool everything) {
    m_generationBeforeLastReload = m_generation;
    ++m_generation;
    const bool filtersChanged = collectFilteredApplications();
    const HXUserDefaults& defaults = m_controller.services().defaults;
    const unsigned globalFlags =
        (defaults.boolForKey(u"Organizer Shows Percentages") ? PercentagesFlag : kNoFlag) |
        (defaults.boolForKey(u"Express Time Intervals As Days") ? DaysFlag : kNoFlag) |
        (defaults.boolForKey(u"Show Info Buttons") ? InfoButtonsFlag : kNoFlag);
    AdHocTiming timing = adHocTiming();
    m_lastReloadWasFull =
        everything || filtersChanged || globalFlags != m_globalFlags || timing != m_adHocTiming;
    m_globalFlags = globalFlags;
    m_adHocTiming = std::move(timing);
    // Everything below the header row.
    const HXArrayRef records = topLevelRecords();
    updateChildren(m_root, records.get());
    updateSubtree(m_root, m_lastReloadWasFull ? RowsToRead::All : RowsToRead::LookedAtByTheTick);
    Q_EMIT reloaded();
}

bool HXOrganizerModel::mayNeedExpansionRestored(const HXItemProxy& proxy) const {
    return m_lastReloadWasFull || proxy.m_madeIn > m_generationBeforeLastReload;
}

HXOrganizerModel::AdHocTiming HXOrganizerModel::adHocTiming() const {
    if (!m_adHocTimer || !m_adHocTimer->isRunning())
        return {};
    return {true, m_adHocTimer->timedPool(), m_adHocTimer->timedName()};
}

void HXOrganizerModel::noteWindowTitleFiltersChanged() {
    m_filterEntries = nullptr;
    m_filterEntriesCount = -1;
}

bool HXOrganizerModel::collectFilteredApplications() {
    if (m_outline != Outline::Applications)
        return false;
    const HXDictionaryRef& configuration = m_controller.configuration();
    const HXArray* entries =
        configuration ? configuration->arrayPointerForKey(HXFilterKeys::WindowTitleFilters) : nullptr;
    // Filters change through their editor (which says so) or with the configuration.
    const qsizetype count = entries ? entries->count() : 0;
    if (entries == m_filterEntries && count == m_filterEntriesCount)
        return false;
    m_filterEntries = entries;
    m_filterEntriesCount = count;
    m_filteredApplications.clear();
    m_proxiesWithFilters.clear();
    if (!entries)
        return true;
    for (const HXValue& value : entries->values()) {
        const HXDictionaryRef& entry = value.toDictionary();
        const HXArray* filters = entry ? entry->arrayPointerForKey(HXFilterKeys::Filters) : nullptr;
        const HXDictionaryRef last = filters ? filters->last().toDictionary() : nullptr;
        if (!last || last->isEmpty())
            continue;
        for (HXKey key : {ApplicationID, Name}) {
            if (const HXValue* v = entry->find(key); v && v->isString())
                m_filteredApplications.insert(v->toString());
        }
    }
    return true;
}

// Brings the parent's child rows (after the header row, for the root) to the records' order.
void HXOrganizerModel::updateChildren(HXItemProxy& parent, const HXArray* records) {
    const int offset = &parent == &m_root ? 1 : 0;
    const QModelIndex parentIndex = &parent == &m_root ? QModelIndex() : indexForProxy(&parent);
    static const std::vector<HXValue> kNone;
    const std::vector<HXValue>& values = records ? records->values() : kNone;
    // The proxy a record already has under this parent.
    const auto existing = [&](const HXDictionary* record) -> HXItemProxy* {
        const auto found = m_proxies.find(record);
        return found != m_proxies.end() && found->second->m_parent == &parent ? found->second : nullptr;
    };
    // Mark the rows that stay.
    for (const HXValue& value : values) {
        if (const HXDictionary* record = value.toDictionary().get()) {
            if (HXItemProxy* proxy = existing(record))
                proxy->m_generation = m_generation;
        }
    }
    // Remove the others, a run at a time from the end.
    Proxies& children = parent.m_children;
    for (int last = static_cast<int>(children.size()) - 1; last >= offset;) {
        if (children[static_cast<std::size_t>(last)]->m_generation == m_generation) {
            --last;
            continue;
        }
        int first = last;
        while (first - 1 >= offset &&
               children[static_cast<std::size_t>(first - 1)]->m_generation != m_generation)
            --first;
        beginRemoveRows(parentIndex, first, last);
        for (int i = first; i <= last; ++i)
            forget(*children[static_cast<std::size_t>(i)]);
        children.erase(children.begin() + first, children.begin() + last + 1);
        renumber(parent, static_cast<std::size_t>(first));
        endRemoveRows();
        last = first - 1;
    }
    // Walk the wanted order: move rows into place, insert new ones in runs.
    int position = offset;
    std::vector<HXDictionaryRef> run;
    const auto flushRun = [&] {
        if (run.empty())
            return;
        insertProxies(parent, position, run);
        position += static_cast<int>(run.size());
        run.clear();
    };
    for (const HXValue& value : values) {
        const HXDictionaryRef& record = value.toDictionary();
        if (!record)
            continue;
        HXItemProxy* proxy = existing(record.get());
        if (!proxy) {
            run.push_back(record);
            continue;
        }
        flushRun();
        const int from = proxy->m_row;
        if (from != position) {
            beginMoveRows(parentIndex, from, from, parentIndex, position);
            std::unique_ptr<HXItemProxy> moved = std::move(children[static_cast<std::size_t>(from)]);
            children.erase(children.begin() + from);
            children.insert(children.begin() + position, std::move(moved));
            renumber(parent, static_cast<std::size_t>(position));
            endMoveRows();
        }
        ++position;
    }
    flushRun();
}

void HXOrganizerModel::insertProxies(HXItemProxy& parent, int position,
                                     const std::vector<HXDictionaryRef>& records) {
    const QModelIndex parentIndex = &parent == &m_root ? QModelIndex() : indexForProxy(&parent);
    beginInsertRows(parentIndex, position, position + static_cast<int>(records.size()) - 1);
    Proxies made;
    made.reserve(records.size());
    for (const HXDictionaryRef& record : records) {
        auto proxy = std::make_unique<HXItemProxy>(record, &parent);
        proxy->m_generation = m_generation;
        proxy->m_madeIn = m_generation;
        proxy->m_signature = signatureOf(*proxy, childRecords(*record) != nullptr);
        m_proxies[record.get()] = proxy.get();
        made.push_back(std::move(proxy));
    }
    parent.m_children.insert(parent.m_children.begin() + position, std::make_move_iterator(made.begin()),
                             std::make_move_iterator(made.end()));
    renumber(parent, static_cast<std::size_t>(position));
    endInsertRows();
}

void HXOrganizerModel::forget(HXItemProxy& proxy) {
    for (const std::unique_ptr<HXItemProxy>& child : proxy.m_children)
        forget(*child);
    if (proxy.m_record) {
        m_proxiesWithFilters.erase(proxy.m_record.get());
        const auto found = m_proxies.find(proxy.m_record.get());
        if (found != m_proxies.end() && found->second == &proxy)
            m_proxies.erase(found);
    }
}

void HXOrganizerModel::renumber(HXItemProxy& parent, std::size_t from) {
    for (std::size_t i = from; i < parent.m_children.size(); ++i)
        parent.m_children[i]->m_row = static_cast<int>(i);
}

// Child rows of expanded rows follow their records; the cells whose look changed are redrawn, runs of
// rows with the same changed columns at a time. Rows whose records cannot have changed are not read:
// their cells follow the overall time from what they show.
void HXOrganizerModel::updateSubtree(HXItemProxy& parent, RowsToRead rows) {
    int first = -1;
    int last = -1;
    unsigned runColumns = 0;
    const auto flush = [&] {
        if (first < 0)
            return;
        const QModelIndex parentIndex = &parent == &m_root ? QModelIndex() : indexForProxy(&parent);
        Q_EMIT dataChanged(index(first, std::countr_zero(runColumns), parentIndex),
                           index(last, std::bit_width(runColumns) - 1, parentIndex));
        first = last = -1;
        runColumns = 0;
    };
    for (const std::unique_ptr<HXItemProxy>& child : parent.m_children) {
        HXItemProxy& proxy = *child;
        unsigned columns = 0;
        if (!proxy.m_record || rows == RowsToRead::All ||
            (rows == RowsToRead::LookedAtByTheTick && m_controller.lastTickLookedAt(proxy.m_record.get()))) {
            const HXArray* records = proxy.m_record ? childRecords(*proxy.m_record) : nullptr;
            if (records && proxy.m_record->boolForKey(Expanded)) {
                proxy.m_madeChildren = true;
                updateChildren(proxy, records);
                updateSubtree(proxy, RowsToRead::All);
            } else if (proxy.m_madeChildren) {
                removeChildRows(proxy);
            }
            HXItemProxy::Signature signature = signatureOf(proxy, records != nullptr);
            columns = changedColumns(proxy.m_signature, signature);
            proxy.m_signature = std::move(signature);
        } else {
            // Only the outline changes "Expanded" between full reloads, and it makes the rows it opens.
            if (proxy.m_madeChildren) {
                if (proxy.m_record->boolForKey(Expanded))
                    updateSubtree(proxy, RowsToRead::None);
                else
                    removeChildRows(proxy);
            }
            columns = retime(proxy.m_signature);
        }
        if (columns != runColumns)
            flush();
        if (!columns)
            continue;
        if (first < 0) {
            first = proxy.m_row;
            runColumns = columns;
        }
        last = proxy.m_row;
    }
    flush();
}

// Collapsed: its rows are made again when it opens.
void HXOrganizerModel::removeChildRows(HXItemProxy& proxy) {
    if (!proxy.m_children.empty()) {
        beginRemoveRows(indexForProxy(&proxy), 0, static_cast<int>(proxy.m_children.size()) - 1);
        for (const std::unique_ptr<HXItemProxy>& grandchild : proxy.m_children)
            forget(*grandchild);
        proxy.m_children.clear();
        endRemoveRows();
    }
    proxy.m_madeChildren = false;
}

unsigned HXOrganizerModel::changedColumns(const HXItemProxy::Signature& was,
                                          const HXItemProxy::Signature& is) {
    if (was.rowFlags != is.rowFlags)
        return runOfColumns((1u << ColumnCount) - 1);
    unsigned changed = 0;
    if (was.nameFlags != is.nameFlags || was.name != is.name)
        changed |= 1u << NameColumn;
    if (!was.front.looksLike(is.front))
        changed |= 1u << FrontColumn;
    if (!was.total.looksLike(is.total))
        changed |= 1u << TotalColumn;
    return runOfColumns(changed);
}

// The columns to redraw as a contiguous run of bits: from the first changed column to the last.
unsigned HXOrganizerModel::runOfColumns(unsigned changed) {
    if (!changed)
        return 0;
    const unsigned below = (1u << std::countr_zero(changed)) - 1;
    return ((1u << std::bit_width(changed)) - 1) & ~below;
}

void HXOrganizerModel::measure(HXItemProxy::TimeCell& cell, double seconds) const {
    const double overall = overallTime();
    // Without any overall time the pies are empty rings, whatever the record's time.
    const bool noOverall = overall < 0.001;
    cell.step = noOverall ? -2 : HXPieQuantizationStep(seconds, overall);
    cell.exactSeconds = seconds;
    cell.seconds = std::floor(seconds);
    cell.percent = -1;
    if ((m_globalFlags & PercentagesFlag) && !noOverall)
        cell.percent = overall - seconds <= 0.001 ? 100 : std::floor(seconds * 100 / overall);
    cell.settings = m_globalFlags;
}

HXItemProxy::TimeCell HXOrganizerModel::timeCell(double seconds, const HXItemProxy::TimeCell& was) const {
    HXItemProxy::TimeCell cell;
    measure(cell, seconds);
    cell.text = cell.sameSource(was) ? was.text : timeText(seconds);
    return cell;
}

// An unchanged record's time cells against the overall time as it is now; the columns to redraw.
unsigned HXOrganizerModel::retime(HXItemProxy::Signature& signature) const {
    unsigned changed = 0;
    for (const auto& [cell, column] :
         {std::pair{&signature.front, FrontColumn}, std::pair{&signature.total, TotalColumn}}) {
        HXItemProxy::TimeCell now;
        measure(now, cell->exactSeconds);
        const bool sameText = now.sameSource(*cell);
        if (sameText && now.step == cell->step)
            continue;
        now.text = sameText ? std::move(cell->text) : timeText(now.exactSeconds);
        if (now.step != cell->step || (!sameText && now.text != cell->text))
            changed |= 1u << column;
        *cell = std::move(now);
    }
    return runOfColumns(changed);
}

HXItemProxy::Signature HXOrganizerModel::signatureOf(const HXItemProxy& proxy, bool expandable) const {
    HXItemProxy::Signature s;
    const HXItemProxy::Signature& was = proxy.m_signature;
    if (!proxy.m_record) {
        s.rowFlags = m_globalFlags;
        // The total, blank in the pool outline while it is within a second of the application total.
        const double overall = overallTime();
        const double other = m_outline == Outline::Pools ? m_controller.overallApplicationTime() : overall;
        s.total.seconds = std::floor(overall);
        s.total.percent = std::fabs(other - overall) > 0.99 ? 1 : 0;
        s.total.settings = m_globalFlags;
        s.total.text = s.total.sameSource(was.total) ? was.total.text : headerText(TotalColumn);
        return s;
    }
    const HXDictionary& r = *proxy.m_record;
    s.rowFlags = m_globalFlags | (r.boolForKey(Active) ? ActiveFlag : kNoFlag) |
                 (r.boolForKey(FrontActive) ? FrontActiveFlag : kNoFlag);
    s.nameFlags = (r.boolForKey(Paused) ? PausedFlag : kNoFlag) |
                  (canPerformActionForItem(&r) ? ActionFlag : kNoFlag) |
                  (isIconActive(&r) ? IconActiveFlag : kNoFlag) | (expandable ? ExpandableFlag : kNoFlag);
    // Only pools and some pool items are named by more than their "Name".
    s.name = r.isPoolOrPoolItem() || r.boolForKey(MatchAnyApplication) ? r.itemName() : r.stringForKey(Name);
    s.front = timeCell(r.timeIntervalForKey(FrontTime), was.front);
    s.total = timeCell(r.timeIntervalForKey(Time), was.total);
    return s;
}

double HXOrganizerModel::overallTime() const {
    return m_outline == Outline::Applications ? m_controller.overallApplicationTime()
                                              : m_controller.overallPoolTime();
}

bool HXOrganizerModel::canPerformActionForItem(const HXDictionary* record) const {
    if (!record)
        return false;
    if (isPool(*record))
        return true;
    if (m_filteredApplications.isEmpty() || !record->isWindowTitleFilterEligibleItem())
        return false;
    // Looked up once per record while the filters stay the same.
    const auto known = m_proxiesWithFilters.find(record);
    if (known != m_proxiesWithFilters.end())
        return known->second;
    const bool filtered = m_filteredApplications.contains(record->stringForKey(ApplicationID));
    m_proxiesWithFilters.emplace(record, filtered);
    return filtered;
}

bool HXOrganizerModel::isIconActive(const HXDictionary* record) const {
    if (!record)
        return false;
    if (record->boolForKey(Active))
        return true;
    if (!m_adHocTimer || !m_adHocTimer->isRunning())
        return false;
    std::optional<QString> timerName;
    const HXDictionaryRef related = m_controller.poolWithAdHocTimerRelatedItem(record, &timerName);
    if (!related || related != m_adHocTimer->timedPool())
        return false;
    return !timerName || *timerName == m_adHocTimer->timedName();
}

bool HXOrganizerModel::shouldEditItem(const HXDictionary* record) const {
    if (!record || m_outline != Outline::Pools)
        return false;
    if (isPool(*record) || record->stringForKey(Path) == kWindowPath)
        return true;
    return m_controller.services().defaults.boolForKey(u"Pools: Editable Application Names") &&
           record->stringForKey(ApplicationID) != kAdHocPath && !record->boolForKey(MatchAnyApplication);
}

HXItemProxy* HXOrganizerModel::proxyForIndex(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<HXItemProxy*>(index.internalPointer());
}

QModelIndex HXOrganizerModel::indexForProxy(const HXItemProxy* proxy, int column) const {
    if (!proxy || proxy == &m_root)
        return {};
    return createIndex(proxy->m_row, column, const_cast<HXItemProxy*>(proxy));
}

HXDictionaryRef HXOrganizerModel::recordForIndex(const QModelIndex& index) const {
    const HXItemProxy* proxy = proxyForIndex(index);
    return proxy ? proxy->m_record : nullptr;
}

HXItemProxy* HXOrganizerModel::existingProxyRepresentingItem(const HXDictionary* record) const {
    const auto found = m_proxies.find(record);
    return found == m_proxies.end() ? nullptr : found->second;
}

QModelIndex HXOrganizerModel::indexForRecord(const HXDictionary* record, int column) const {
    return indexForProxy(existingProxyRepresentingItem(record), column);
}

void HXOrganizerModel::setRowExpanded(const QModelIndex& index, bool expanded) {
    HXItemProxy* proxy = proxyForIndex(index);
    if (!proxy || !proxy->m_record || proxy->m_record->boolForKey(Expanded) == expanded)
        return;
    proxy->m_record->setBool(expanded, Expanded);
    if (expanded)
        makeChildren(*proxy);
}

QModelIndex HXOrganizerModel::index(int row, int column, const QModelIndex& parent) const {
    const HXItemProxy* owner = parent.isValid() ? proxyForIndex(parent) : &m_root;
    if (!owner || row < 0 || column < 0 || column >= ColumnCount ||
        row >= static_cast<int>(owner->m_children.size()))
        return {};
    return createIndex(row, column, owner->m_children[static_cast<std::size_t>(row)].get());
}

QModelIndex HXOrganizerModel::parent(const QModelIndex& child) const {
    const HXItemProxy* proxy = proxyForIndex(child);
    return proxy ? indexForProxy(proxy->m_parent) : QModelIndex();
}

int HXOrganizerModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const HXItemProxy* owner = parent.isValid() ? proxyForIndex(parent) : &m_root;
    return owner ? static_cast<int>(owner->m_children.size()) : 0;
}

int HXOrganizerModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

bool HXOrganizerModel::hasChildren(const QModelIndex& parent) const {
    if (!parent.isValid())
        return true;
    const HXItemProxy* proxy = proxyForIndex(parent);
    if (!proxy || !proxy->m_record || parent.column() > 0)
        return false;
    return !proxy->m_children.empty() || childRecords(*proxy->m_record) != nullptr;
}

void HXOrganizerModel::makeChildren(HXItemProxy& proxy) {
    if (!proxy.m_record || proxy.m_madeChildren)
        return;
    proxy.m_madeChildren = true;
    ++m_generation;
    updateChildren(proxy, childRecords(*proxy.m_record));
}

QString HXOrganizerModel::headerText(int column) const {
    const bool days = m_controller.services().defaults.boolForKey(u"Express Time Intervals As Days");
    switch (column) {
    case NameColumn:
        return m_outline == Outline::Applications ? HXLocalized("Apps") : HXLocalized("Pools");
    case TotalColumn:
        // The pool total says something only where it differs from the application total.
        if (m_outline == Outline::Pools &&
            std::fabs(m_controller.overallPoolTime() - m_controller.overallApplicationTime()) <= 0.99)
            return {};
        return stringWithTimeIntervalEatZero(overallTime(), true, days);
    default:
        return {};
    }
}

QString HXOrganizerModel::timeText(double seconds) const {
    const HXUserDefaults& defaults = m_controller.services().defaults;
    const double reference = defaults.boolForKey(u"Organizer Shows Percentages") ? overallTime() : -1;
    return stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(
        seconds, reference, true, defaults.boolForKey(u"Express Time Intervals As Days"));
}

QVariant HXOrganizerModel::data(const QModelIndex& index, int role) const {
    const HXItemProxy* proxy = proxyForIndex(index);
    if (!proxy)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        if (!proxy->m_record)
            return headerText(index.column());
        return index.column() == NameColumn ? proxy->m_record->itemName()
                                            : timeText(proxy->m_record->timeIntervalForKey(
                                                  index.column() == FrontColumn ? FrontTime : Time));
    case Qt::ToolTipRole:
        if (proxy->m_record && index.column() == NameColumn && isPool(*proxy->m_record)) {
            const QString notes = trimmedString(proxy->m_record->stringForKey(PoolNotes));
            if (!notes.isEmpty())
                return notes;
        }
        return {};
    case Qt::TextAlignmentRole:
        return index.column() == NameColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant HXOrganizerModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    switch (section) {
    case NameColumn:
        return HXLocalized("Name");
    case FrontColumn:
        return HXLocalized("Front");
    case TotalColumn:
        return HXLocalized("Total");
    default:
        return {};
    }
}

Qt::ItemFlags HXOrganizerModel::flags(const QModelIndex& index) const {
    const bool pools = m_outline == Outline::Pools;
    if (!index.isValid())
        return pools ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
    const HXItemProxy* proxy = proxyForIndex(index);
    if (!proxy)
        return Qt::NoItemFlags;
    if (!proxy->m_record)
        return Qt::ItemIsEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (pools)
        flags |= Qt::ItemIsDropEnabled;
    if (dragKindForRecord(proxy->m_record.get()) != HXOrganizerDragKind::None)
        flags |= Qt::ItemIsDragEnabled;
    if (index.column() == NameColumn && shouldEditItem(proxy->m_record.get()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool HXOrganizerModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const HXDictionaryRef record = recordForIndex(index);
    if (role != Qt::EditRole || !record || index.column() != NameColumn ||
        value.typeId() != QMetaType::QString)
        return false;
    const QString text = value.toString();
    if (text == record->itemName())
        return false;
    // Only a pool may lose its name: it is then named by its members.
    if (!isPool(*record) && trimmedString(text).isEmpty())
        return false;
    m_controller.pushUndoStateAndClearRedoStatesAfterDelay();
    record->setValue(Name, text);
    m_controller.updateLists(HXTrigger::Command);
    return true;
}

QStringList HXOrganizerModel::mimeTypes() const {
    return {QString::fromLatin1(kHXItemPasteboardType), QString::fromLatin1(kHXDeletePasteboardType)};
}

Qt::DropActions HXOrganizerModel::supportedDropActions() const {
    return m_outline == Outline::Pools ? Qt::CopyAction : Qt::IgnoreAction;
}

const HXDictionary* HXOrganizerModel::draggedRecord(const QMimeData* data) const {
    if (!data || !data->hasFormat(QString::fromLatin1(kHXItemPasteboardType)))
        return nullptr;
    // Read once per drag: the record may carry a long history.
    if (data != m_draggedData || !m_dragged) {
        m_draggedData = data;
        m_dragged = itemFromPasteboardData(data->data(QString::fromLatin1(kHXItemPasteboardType)));
    }
    return m_dragged.get();
}

bool HXOrganizerModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                       const QModelIndex& parent) const {
    if (m_outline != Outline::Pools)
        return false;
    HXProposedDrop proposed;
    if (parent.isValid()) {
        proposed.place = row >= 0 ? HXProposedDrop::Place::BetweenChildren : HXProposedDrop::Place::OnRow;
        proposed.row = recordForIndex(parent).get();
    }
    return validateDrop(m_controller.configuration().get(), m_controller.services().defaults,
                        draggedRecord(data), proposed)
        .accepted;
}

bool HXOrganizerModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const HXDictionaryRef dragged =
        itemFromPasteboardData(data->data(QString::fromLatin1(kHXItemPasteboardType)));
    m_draggedData = nullptr;
    m_dragged.reset();
    // Alt or Shift held: the pool takes in the dragged record's past as well.
    const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
    const bool retroactive = modifiers & (Qt::AltModifier | Qt::ShiftModifier);
    return acceptDrop(m_controller, dragged, parent.isValid() ? recordForIndex(parent) : nullptr,
                      retroactive);
}
