#pragma once

#include "ui/organizer/HXItemProxy.h"

#include <QAbstractItemModel>
#include <QSet>

#include <unordered_map>

class HXAdHocTimerCommands;
class HXMainController;

// One outline of the organizer: the header row ("Apps" or "Pools" with the outline's total), then the
// listed applications with their windows, or the pools with their items and windows. Every sampling tick
// updates the rows in place: changed rows are redrawn, new ones inserted, vanished ones removed and moved
// ones moved, and the model is never reset, so that selection, expansion, editing and scrolling survive.
// Rows of a record are found by identity. Child rows exist while their row is expanded: a collapsed row
// with children has children but no child rows, which its outline makes when it opens the row.
class HXOrganizerModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum class Outline { Applications, Pools };
    enum Column { NameColumn = 0, FrontColumn = 1, TotalColumn = 2, ColumnCount = 3 };

    HXOrganizerModel(HXMainController& controller, Outline outline, HXAdHocTimerCommands* adHocTimer,
                     QObject* parent = nullptr);
    ~HXOrganizerModel() override;

    Outline outline() const { return m_outline; }
    HXMainController& controller() const { return m_controller; }

    // Brings every row up to the controller's list.
    void reload();
    // What every tick does: after a tick only the applications and pools it looked at have changed,
    // unless it was a full pass.
    void reloadAfterTick();
    // Whether the outline should look at the row's "Expanded" after the last reload: after a full one, or
    // when the row is new since the reload before.
    bool mayNeedExpansionRestored(const HXItemProxy& proxy) const;

    HXItemProxy* proxyForIndex(const QModelIndex& index) const;
    QModelIndex indexForProxy(const HXItemProxy* proxy, int column = NameColumn) const;
    // The record of a row; null for the header row and invalid indexes.
    HXDictionaryRef recordForIndex(const QModelIndex& index) const;
    HXItemProxy* existingProxyRepresentingItem(const HXDictionary* record) const;
    QModelIndex indexForRecord(const HXDictionary* record, int column = NameColumn) const;

    // Stores whether the row is expanded in its record ("Expanded") and makes its child rows.
    void setRowExpanded(const QModelIndex& index, bool expanded);

    // The overall time the rows' pies and percentages refer to.
    double overallTime() const;
    // The pool row has an action button (pause or notes), an application row a funnel while its window
    // title filter is set.
    bool canPerformActionForItem(const HXDictionary* record) const;
    // A window title filter was edited in place: the funnels are looked up again.
    void noteWindowTitleFiltersChanged();
    // The name's icon counts as active: the record is, or the ad hoc timer times its pool and entry.
    bool isIconActive(const HXDictionary* record) const;
    // Editing in place: pools, window pool items, and application pool items while their names are
    // editable.
    bool shouldEditItem(const HXDictionary* record) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

Q_SIGNALS:
    // The rows were brought up to date; the outline restores the expansion of its rows.
    void reloaded();

private:
    using Proxies = std::vector<std::unique_ptr<HXItemProxy>>;
    // The rows a reload reads from their records; the others only follow the overall time.
    enum class RowsToRead { All, LookedAtByTheTick, None };
    // What the name cells of pools' entries show while the ad hoc timer runs.
    struct AdHocTiming {
        bool running = false;
        HXDictionaryRef pool;
        QString name;
        bool operator==(const AdHocTiming&) const = default;
    };

    void reloadRows(bool everything);
    AdHocTiming adHocTiming() const;

    HXArrayRef topLevelRecords() const;
    static const HXArray* childRecords(const HXDictionary& record);
    void makeChildren(HXItemProxy& proxy);
    void updateChildren(HXItemProxy& parent, const HXArray* records);
    void insertProxies(HXItemProxy& parent, int position, const std::vector<HXDictionaryRef>& records);
    void forget(HXItemProxy& proxy);
    void renumber(HXItemProxy& parent, std::size_t from);
    void updateSubtree(HXItemProxy& parent, RowsToRead rows);
    void removeChildRows(HXItemProxy& proxy);
    HXItemProxy::Signature signatureOf(const HXItemProxy& proxy, bool expandable) const;
    void measure(HXItemProxy::TimeCell& cell, double seconds) const;
    HXItemProxy::TimeCell timeCell(double seconds, const HXItemProxy::TimeCell& was) const;
    unsigned retime(HXItemProxy::Signature& signature) const;
    static unsigned changedColumns(const HXItemProxy::Signature& was, const HXItemProxy::Signature& is);
    static unsigned runOfColumns(unsigned changed);
    // True when the filters changed since the last reload.
    bool collectFilteredApplications();
    QString timeText(double seconds) const;
    QString headerText(int column) const;
    const HXDictionary* draggedRecord(const QMimeData* data) const;

    HXMainController& m_controller;
    Outline m_outline;
    HXAdHocTimerCommands* m_adHocTimer;
    HXItemProxy m_root{nullptr, nullptr};
    std::unordered_map<const HXDictionary*, HXItemProxy*> m_proxies;
    unsigned m_generation = 0;
    // The generation of the reload before the last, and whether the last was a full one.
    unsigned m_generationBeforeLastReload = 0;
    bool m_lastReloadWasFull = true;
    AdHocTiming m_adHocTiming;
    // Application identifiers and names whose window title filter is set, gathered at each reload.
    QSet<QString> m_filteredApplications;
    const HXArray* m_filterEntries = nullptr;
    qsizetype m_filterEntriesCount = -1;
    mutable std::unordered_map<const HXDictionary*, bool> m_proxiesWithFilters;
    // Settings every row depends on, as of the last reload.
    unsigned m_globalFlags = 0;
    // The dragged record read back from the pasteboard once per drag.
    mutable const QMimeData* m_draggedData = nullptr;
    mutable HXDictionaryRef m_dragged;
};
