#include "platform/x11/HXX11Display.h"

#include "platform/x11/HXX11QueryThread.h"
#include "platform/x11/HXX11Reply.h"
#include "platform/x11/HXX11WindowQuery.h"

#include "foundation/HXLog.h"

#include <xcb/res.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <sys/socket.h>

struct HXX11Display::Atoms {
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    xcb_atom_t compoundText = XCB_ATOM_NONE;

    ~Atoms() {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
    }
};

namespace {

// Client PIDs need XRes 1.2.
bool hasClientIds(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
    if (!extension || !extension->present)
        return false;
    HXX11Reply<xcb_res_query_version_reply_t> version(
        xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr));
    return version &&
           (version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2));
}

} // namespace

HXX11Display::HXX11Display(const QByteArray& displayName) {
    int screenNumber = 0;
    xcb_connection_t* c =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(c);
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(c);
        return;
    }
    m_connection = c;
    m_root = screens.data->root;

    m_atoms = std::make_unique<Atoms>();
    const char kCompoundText[] = "COMPOUND_TEXT";
    const auto compoundCookie = xcb_intern_atom(c, 0, sizeof(kCompoundText) - 1, kCompoundText);
    xcb_intern_atom_cookie_t* ewmhCookies = xcb_ewmh_init_atoms(c, &m_atoms->ewmh);
    m_atoms->ewmhReady = xcb_ewmh_init_atoms_replies(&m_atoms->ewmh, ewmhCookies, nullptr) != 0;
    HXX11Reply<xcb_intern_atom_reply_t> compound(xcb_intern_atom_reply(c, compoundCookie, nullptr));
    if (compound)
        m_atoms->compoundText = compound->atom;
    if (!m_atoms->ewmhReady) {
        m_availability = HXX11Availability::ConnectionLost;
        return;
    }
    m_query = std::make_unique<HXX11WindowQuery>(m_atoms->ewmh, m_root, m_atoms->compoundText,
                                                 setup->resource_id_mask, hasClientIds(c));
    m_queryThread = std::make_unique<HXX11QueryThread>();
    m_availability = HXX11Availability::Available;
}

HXX11Display::~HXX11Display() {
    // A query still waiting on a server that stopped answering is woken: with the socket shut, the
    // X library gives up at once.
    if (m_queryThread && m_queryThread->isBusy())
        ::shutdown(xcb_get_file_descriptor(m_connection), SHUT_RDWR);
    m_queryThread.reset();
    m_query.reset();
    m_atoms.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
}

HXX11Availability HXX11Display::availability() {
    snapshot();
    return m_availability;
}

std::shared_ptr<const HXX11WindowSnapshot> HXX11Display::snapshot() {
    if (!m_query)
        return nullptr;
    const auto now = std::chrono::steady_clock::now();
    if (m_snapshotTime && now - *m_snapshotTime < m_lifetime)
        return m_snapshot;
    // The query owns what it fills in, so that it may outlast the wait.
    struct Answer {
        std::optional<HXX11WindowSnapshot> snapshot;
        HXX11Availability availability;
    };
    const auto answer = std::make_shared<Answer>(Answer{std::nullopt, m_availability});
    const HXX11WindowQuery* query = m_query.get();
    if (m_queryThread->run([answer, query] { answer->snapshot = query->run(answer->availability); },
                           m_queryTimeout)) {
        setAvailability(answer->availability);
        m_snapshot = answer->snapshot
                         ? std::make_shared<const HXX11WindowSnapshot>(std::move(*answer->snapshot))
                         : nullptr;
    } else {
        setAvailability(HXX11Availability::NotResponding);
        m_snapshot = nullptr;
    }
    m_snapshotTime = now;
    return m_snapshot;
}

void HXX11Display::setAvailability(HXX11Availability availability) {
    const HXX11Availability before = m_availability;
    m_availability = availability;
    if (!m_read) {
        m_read = true;
        return;
    }
    if (availability == before)
        return;
    if (availability != HXX11Availability::Available)
        HXSystemLog(
            QStringLiteral("cannot read the window list: %1").arg(HXX11AvailabilityReason(availability)));
    else if (before == HXX11Availability::NoWindowManager)
        HXSystemLog(QStringLiteral("found a window manager with EWMH support"));
    else
        HXSystemLog(QStringLiteral("the window list can be read again"));
}
