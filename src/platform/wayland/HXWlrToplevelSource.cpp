#include "platform/wayland/HXWlrToplevelSource.h"

#include "platform/wayland/HXWaylandConnection.h"

#include <wayland-client.h>
#include <wlr-foreign-toplevel-management-unstable-v1-client-protocol.h>

#include <algorithm>

struct HXWlrToplevelSource::Handle {
    HXWlrToplevelSource* source = nullptr;
    zwlr_foreign_toplevel_handle_v1* proxy = nullptr;
    // As the events since the last done say.
    HXToplevel pending;
    // As of the last done.
    HXToplevel current;
    bool done = false;
};

struct HXWlrToplevelSource::Listener {
    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* proxy) {
        auto* source = static_cast<HXWlrToplevelSource*>(data);
        auto handle = std::make_unique<Handle>();
        handle->source = source;
        handle->proxy = proxy;
        handle->pending.number = source->m_nextNumber++;
        zwlr_foreign_toplevel_handle_v1_add_listener(proxy, &handleListener, handle.get());
        source->m_handles.insert(source->m_handles.begin(), std::move(handle));
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1*) {
        auto* source = static_cast<HXWlrToplevelSource*>(data);
        // The compositor destroyed the manager.
        zwlr_foreign_toplevel_manager_v1_destroy(source->m_manager);
        source->m_manager = nullptr;
        source->fail();
    }

    static void title(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text) {
        static_cast<Handle*>(data)->pending.title = QString::fromUtf8(text);
    }
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text) {
        static_cast<Handle*>(data)->pending.identifier = QString::fromUtf8(text);
    }
    static void output(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        HXToplevel& t = static_cast<Handle*>(data)->pending;
        t.activated = false;
        t.minimized = false;
        const auto* begin = static_cast<const std::uint32_t*>(states->data);
        for (const std::uint32_t* s = begin; s < begin + states->size / sizeof(std::uint32_t); ++s) {
            if (*s == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                t.activated = true;
            else if (*s == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
                t.minimized = true;
        }
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* handle = static_cast<Handle*>(data);
        HXWlrToplevelSource* source = handle->source;
        const bool activatedNow = handle->pending.activated && !handle->current.activated;
        handle->current = handle->pending;
        handle->done = true;
        if (activatedNow) {
            auto& handles = source->m_handles;
            const auto it = std::find_if(handles.begin(), handles.end(),
                                         [handle](const auto& h) { return h.get() == handle; });
            std::rotate(handles.begin(), it, it + 1);
        }
        source->publish();
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* handle = static_cast<Handle*>(data);
        handle->source->remove(handle);
    }
    static void parent(void* data, zwlr_foreign_toplevel_handle_v1*,
                       zwlr_foreign_toplevel_handle_v1* parent) {
        // A toplevel with a parent is its dialog.
        static_cast<Handle*>(data)->pending.kind = parent ? HXToplevelKind::Dialog : HXToplevelKind::Normal;
    }

    static constexpr zwlr_foreign_toplevel_manager_v1_listener managerListener = {&toplevel, &finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener handleListener = {
        &title, &appId, &output, &output, &state, &done, &closed, &parent};
};

HXWlrToplevelSource::HXWlrToplevelSource(std::shared_ptr<HXWaylandConnection> connection,
                                         HXDesktopEntryMatcher matcher, QObject* parent)
    : QObject(parent), HXToplevelWindowSource(std::move(matcher)), m_connection(std::move(connection)) {
    // Requests on a broken connection are dropped, so the proxies are still destroyed as usual.
    connect(m_connection.get(), &HXWaylandConnection::lost, this, &HXWlrToplevelSource::fail);
}

HXWlrToplevelSource::~HXWlrToplevelSource() {
    stop();
}

void HXWlrToplevelSource::start() {
    stop();
    m_manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        m_connection->bind(zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!m_manager) {
        m_state = State::Failed;
        return;
    }
    zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &Listener::managerListener, this);
    m_state = State::Answering;
    setAnswering(true);
    // The toplevels that exist are announced at once.
    if (!m_connection->roundtrip())
        fail();
}

void HXWlrToplevelSource::stop() {
    for (auto& handle : m_handles) {
        if (handle->proxy)
            zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    }
    m_handles.clear();
    if (m_manager) {
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        m_manager = nullptr;
        m_connection->flush();
    }
    m_state = State::Failed;
    setAnswering(false);
}

void HXWlrToplevelSource::fail() {
    m_state = State::Failed;
    setAnswering(false);
}

void HXWlrToplevelSource::publish() {
    std::vector<HXToplevel> list;
    list.reserve(m_handles.size());
    for (const auto& handle : m_handles) {
        if (handle->done)
            list.push_back(handle->current);
    }
    setToplevels(std::move(list));
}

void HXWlrToplevelSource::remove(Handle* handle) {
    zwlr_foreign_toplevel_handle_v1_destroy(handle->proxy);
    m_handles.erase(std::find_if(m_handles.begin(), m_handles.end(),
                                 [handle](const auto& h) { return h.get() == handle; }));
    publish();
}
