#include "platform/x11/HXX11InputMonitor.h"

#include "foundation/HXLog.h"
#include "platform/x11/HXX11Reply.h"

#include <QSocketNotifier>

#include <xcb/screensaver.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

HXX11InputMonitor::HXX11InputMonitor(QObject* parent) : HXX11InputMonitor(Options(), parent) {}

HXX11InputMonitor::HXX11InputMonitor(Options options, QObject* parent)
    : QObject(parent), m_options(std::move(options)) {
    m_pollTimer.setInterval(m_options.idlePollInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, &HXX11InputMonitor::pollIdleTime);
    m_trailingReport.setSingleShot(true);
    connect(&m_trailingReport, &QTimer::timeout, this, &HXX11InputMonitor::report);
}

HXX11InputMonitor::~HXX11InputMonitor() {
    remove();
}

bool HXX11InputMonitor::install(std::function<void()> onActivity) {
    remove();
    int screenNumber = 0;
    const QByteArray& name = m_options.displayName;
    m_connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        HXSystemLog(QStringLiteral("cannot install event monitor"));
        remove();
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    m_root = screens.rem > 0 ? screens.data->root : 0;
    m_onActivity = std::move(onActivity);

    if (selectRawInput()) {
        m_source = Source::RawInput;
    } else {
        HXSystemLog(QStringLiteral("cannot install event monitor"));
        if (!startIdlePolling()) {
            remove();
            return false;
        }
        m_source = Source::IdleTime;
    }
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &HXX11InputMonitor::readEvents);
    // Events that arrived with the replies above are already queued and would not wake the notifier.
    readEvents();
    return true;
}

void HXX11InputMonitor::remove() {
    m_pollTimer.stop();
    m_trailingReport.stop();
    m_notifier.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
    m_source = Source::None;
    m_lastIdleTime.reset();
    m_onActivity = nullptr;
}

bool HXX11InputMonitor::selectRawInput() {
    if (!m_root)
        return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_input_id);
    if (!extension || !extension->present)
        return false;
    m_xinputOpcode = extension->major_opcode;
    // The server answers with the lower of its own version and the one asked for.
    HXX11Reply<xcb_input_xi_query_version_reply_t> version(xcb_input_xi_query_version_reply(
        m_connection, xcb_input_xi_query_version(m_connection, 2, 2), nullptr));
    const int major = std::max<int>(version ? version->major_version : 0, 0);
    const int minor = version ? version->minor_version : 0;
    if (!version || major < m_options.minimumXInputMajor ||
        (major == m_options.minimumXInputMajor && minor < m_options.minimumXInputMinor))
        return false;
    struct {
        xcb_input_event_mask_t head;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE |
               XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE |
               XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    HXX11Reply<xcb_generic_error_t> error(xcb_request_check(
        m_connection, xcb_input_xi_select_events_checked(m_connection, m_root, 1, &mask.head)));
    return !error;
}

bool HXX11InputMonitor::startIdlePolling() {
    if (!m_root)
        return false;
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(m_connection, &xcb_screensaver_id);
    if (!extension || !extension->present)
        return false;
    pollIdleTime();
    if (!m_lastIdleTime)
        return false;
    m_pollTimer.start();
    return true;
}

void HXX11InputMonitor::pollIdleTime() {
    HXX11Reply<xcb_screensaver_query_info_reply_t> info(xcb_screensaver_query_info_reply(
        m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr));
    if (!info)
        return;
    const std::uint32_t idle = info->ms_since_user_input;
    if (m_lastIdleTime && idle < *m_lastIdleTime)
        activity();
    m_lastIdleTime = idle;
}

void HXX11InputMonitor::readEvents() {
    if (!m_connection)
        return;
    bool sawInput = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == XCB_GE_GENERIC &&
            reinterpret_cast<xcb_ge_generic_event_t*>(event)->extension == m_xinputOpcode)
            sawInput = true;
        std::free(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        // A closed socket stays readable; without this the notifier would spin.
        HXSystemLog(QStringLiteral("lost the connection to the X server; input is no longer watched"));
        if (m_notifier)
            m_notifier->setEnabled(false);
        m_pollTimer.stop();
        return;
    }
    if (sawInput)
        activity();
}

void HXX11InputMonitor::activity() {
    if (!m_sinceReport.isValid() || m_sinceReport.elapsed() >= kCoalescingInterval.count()) {
        report();
        return;
    }
    // The last event of a burst is reported too, a little later.
    if (!m_trailingReport.isActive())
        m_trailingReport.start(int(kCoalescingInterval.count() - m_sinceReport.elapsed()));
}

void HXX11InputMonitor::report() {
    m_sinceReport.start();
    // The handler may remove the monitor, which drops the stored function.
    if (const std::function<void()> handler = m_onActivity)
        handler();
}
