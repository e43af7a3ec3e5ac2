#pragma once

#include "platform/wayland/HXToplevel.h"

#include <QByteArray>
#include <QHash>

#include <optional>
#include <vector>

// The window list the KWin script and the GNOME Shell extension send, as JSON:
//   {"windows": [{"id": "...", "title": "...", "class": "...", "instance": "...", "pid": 1234,
//                 "active": true, "minimized": false, "currentDesktop": true, "skipTaskbar": false,
//                 "above": false, "type": "normal"}, ...]}
// front to back; "type" is normal, dialog, utility, dock, desktop or transient. Values are read
// defensively: a missing or mistyped one is empty, false or 0 ("currentDesktop" true), a window without an
// "id" is left out. Ids become window numbers that stay the same while the window exists.
class HXToplevelJson {
public:
    // Nothing when the text is no such object.
    std::optional<std::vector<HXToplevel>> read(const QByteArray& json);

    static constexpr qsizetype kMaxLength = 16 << 20;

private:
    QHash<QString, std::uint64_t> m_numbers;
    std::uint64_t m_nextNumber = 1;
};
