#pragma once

#include "foundation/HXDictionary.h"

#include <memory>
#include <vector>

// The organizer's object for one row: the record it shows (none for the header row), its place in the
// outline and its child rows. One proxy per record lives as long as the record is listed, so rows keep
// their identity (selection, expansion, editing) while the lists are rebuilt tick after tick.
class HXItemProxy {
public:
    HXItemProxy(HXDictionaryRef record, HXItemProxy* parent)
        : m_record(std::move(record)), m_parent(parent) {}

    const HXDictionaryRef& representedItem() const { return m_record; }
    bool isHeader() const { return !m_record; }
    HXItemProxy* parent() const { return m_parent; }
    int row() const { return m_row; }
    const std::vector<std::unique_ptr<HXItemProxy>>& children() const { return m_children; }
    // Whether the child rows are made (they are while the row is expanded).
    bool hasMadeChildren() const { return m_madeChildren; }

private:
    friend class HXOrganizerModel;

    // What a time cell shows: its text and its pie's step. The text is made again only when what it is
    // made from (whole seconds, whole percentages, the settings) changed.
    struct TimeCell {
        QString text;
        long step = -2;
        // The record's time, which an unchanged record keeps while the overall time moves on.
        double exactSeconds = -1;
        double seconds = -1;
        double percent = -1;
        unsigned settings = 0;
        bool sameSource(const TimeCell& other) const {
            return seconds == other.seconds && percent == other.percent && settings == other.settings;
        }
        bool looksLike(const TimeCell& other) const { return step == other.step && text == other.text; }
    };
    // What a row shows, compared between reloads to find the cells to redraw.
    struct Signature {
        // Flags that change the look of the whole row, then of the name cell alone.
        unsigned rowFlags = 0;
        unsigned nameFlags = 0;
        QString name;
        TimeCell front;
        TimeCell total;
    };

    HXDictionaryRef m_record;
    HXItemProxy* m_parent;
    int m_row = 0;
    std::vector<std::unique_ptr<HXItemProxy>> m_children;
    bool m_madeChildren = false;
    // The reload that last listed this proxy, and the one that made it.
    unsigned m_generation = 0;
    unsigned m_madeIn = 0;
    Signature m_signature;
};
