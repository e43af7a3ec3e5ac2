#pragma once

#include "foundation/HXDictionary.h"

#include <QString>

class HXMainController;
class HXUserDefaults;

// Dragging records in the organizer and dropping them on the pool outline, without the widgets: what
// may be dragged, which drops are taken, and what taking one does to the pools.

// The two pasteboard types of organizer drags, used as MIME formats.
inline constexpr char kHXItemPasteboardType[] = "com.corvella.Qualdern.PasteboardType:Item";
inline constexpr char kHXDeletePasteboardType[] = "com.corvella.Qualdern.PasteboardType:Delete";

// What dragging a row carries: nothing (the header row, ad hoc records), the record itself (applications,
// windows, pool items) or the request to delete it (pools, deleted when dropped outside the organizer).
enum class HXOrganizerDragKind { None, Item, Delete };
HXOrganizerDragKind dragKindForRecord(const HXDictionary* record);

// Where a drop on the pool outline is proposed: on a row, between the children of a row, or at the top
// level (between top-level rows or in empty space).
struct HXProposedDrop {
    enum class Place { TopLevel, OnRow, BetweenChildren };
    Place place = Place::TopLevel;
    // The row's record for OnRow and BetweenChildren; null for the header row.
    const HXDictionary* row = nullptr;
};

struct HXDropDecision {
    bool accepted = false;
    // The drop was moved to the outline as a whole: it makes a new pool.
    bool makesNewPool = false;
};

// Decides a drop of the dragged record (read back from the pasteboard; null when the pasteboard holds no
// item) by the pool outline's rules.
HXDropDecision validateDrop(const HXDictionary* configuration, const HXUserDefaults& defaults,
                            const HXDictionary* dragged, const HXProposedDrop& proposed);

// Takes the dragged record into the pool, or into a new pool when pool is null. An undo state is pushed
// first and popped again when the drop turns out to be refused; then the result is false and nothing
// changed. With retroactive, every record the drop touched takes in the dragged record's history.
bool acceptDrop(HXMainController& controller, const HXDictionaryRef& dragged, const HXDictionaryRef& pool,
                bool retroactive);

// The record as the drag carries it (a binary property list), and back; null when the data do not hold a
// dictionary.
QByteArray itemPasteboardData(const HXDictionary& record);
HXDictionaryRef itemFromPasteboardData(const QByteArray& data);
