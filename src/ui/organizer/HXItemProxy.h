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

    // What a row shows, compared between reloads to find the rows to redraw.
    struct Signature {
        double time = -1;
        double frontTime = -1;
        int totalStep = -2;
        int frontStep = -2;
        unsigned flags = 0;
        QString name;
        friend bool operator==(const Signature&, const Signature&) = default;
    };

    HXDictionaryRef m_record;
    HXItemProxy* m_parent;
    int m_row = 0;
    std::vector<std::unique_ptr<HXItemProxy>> m_children;
    bool m_madeChildren = false;
    // The reload that last listed this proxy.
    unsigned m_generation = 0;
    Signature m_signature;
};
