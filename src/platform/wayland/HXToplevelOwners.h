#pragma once

#include "platform/wayland/HXToplevel.h"

#include <QHash>

#include <optional>

// Who owns a toplevel, as the engine groups windows into applications: its process where the source tells
// it (as on X11), else its identifier, which then stands for one application. Identifiers are numbered
// above any process identifier, the same number for the whole run.
class HXToplevelOwners {
public:
    // Nothing for a window with neither a process nor an identifier: it belongs to no application.
    std::optional<std::int64_t> ownerOf(const HXToplevel& toplevel) {
        if (toplevel.processIdentifier && *toplevel.processIdentifier > 0)
            return toplevel.processIdentifier;
        if (toplevel.identifier.isEmpty())
            return std::nullopt;
        const auto found = m_byIdentifier.constFind(toplevel.identifier);
        if (found != m_byIdentifier.constEnd())
            return *found;
        const std::int64_t owner = kFirstIdentifierOwner + m_byIdentifier.size();
        m_byIdentifier.insert(toplevel.identifier, owner);
        return owner;
    }
    static bool isProcess(std::int64_t owner) { return owner < kFirstIdentifierOwner; }

    // Process identifiers stay far below (Linux allows at most 2^22).
    static constexpr std::int64_t kFirstIdentifierOwner = std::int64_t(1) << 40;

private:
    QHash<QString, std::int64_t> m_byIdentifier;
};
