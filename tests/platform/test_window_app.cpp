// Opens top-level windows with chosen titles, classes, types and (deliberately odd) properties for the
// X11 backend tests, prints "ready" and the window ids, and then follows commands on standard input
// until it closes:
//   title INDEX TEXT     sets window INDEX's _NET_WM_NAME and WM_NAME
//   class INDEX INSTANCE CLASS  sets its WM_CLASS
//
// Options apply to the windows named after them:
//   --class INSTANCE,CLASS  --type normal|utility|dock|menu|desktop  --skip-taskbar  --no-pid  --pid N
//   --color RRGGBB  --geometry WxH+X+Y
//   --title TEXT          a window with _NET_WM_NAME (UTF-8) and WM_NAME (Latin-1 where it fits)
//   --legacy-title TEXT   a window with only WM_NAME, Latin-1 STRING
//   --compound-title HEX  a window with only WM_NAME, COMPOUND_TEXT given as hex bytes
//   --odd TEXT            a window titled TEXT whose other properties have wrong types and formats
//   --huge-title          a window with a 1 MiB _NET_WM_NAME
//   --churn               no fixed windows: creates and destroys windows without pause

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

xcb_connection_t* g_connection = nullptr;
xcb_screen_t* g_screen = nullptr;

xcb_atom_t atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        g_connection, xcb_intern_atom(g_connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void setProperty(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, int format, const void* data,
                 std::size_t items) {
    xcb_change_property(g_connection, XCB_PROP_MODE_REPLACE, w, property, type, format,
                        static_cast<std::uint32_t>(items), data);
}

void setText(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, const std::string& text) {
    setProperty(w, property, type, 8, text.data(), text.size());
}

// Latin-1 when every character fits, else nothing.
bool toLatin1(const std::string& utf8, std::string& latin1) {
    latin1.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            latin1 += static_cast<char>(c);
        } else if ((c == 0xc2 || c == 0xc3) && i + 1 < utf8.size()) {
            latin1 += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3f));
        } else {
            return false;
        }
    }
    return true;
}

std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

struct Settings {
    std::string instance = "qdtest";
    std::string className = "QdTest";
    std::string type = "normal";
    bool skipTaskbar = false;
    bool setPid = true;
    std::uint32_t pid = static_cast<std::uint32_t>(::getpid());
    std::uint32_t color = 0x808080;
    int width = 200, height = 120, x = 40, y = 40;
};

enum class TitleKind { Modern, Legacy, Compound, Odd, Huge };

void setTitle(xcb_window_t w, const std::string& title) {
    setText(w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), title);
    std::string latin1;
    if (toLatin1(title, latin1))
        setText(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, latin1);
}

xcb_window_t openWindow(const Settings& s, TitleKind kind, const std::string& text) {
    const xcb_window_t w = xcb_generate_id(g_connection);
    const std::uint32_t values[] = {s.color};
    xcb_create_window(g_connection, XCB_COPY_FROM_PARENT, w, g_screen->root, static_cast<std::int16_t>(s.x),
                      static_cast<std::int16_t>(s.y), static_cast<std::uint16_t>(s.width),
                      static_cast<std::uint16_t>(s.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      g_screen->root_visual, XCB_CW_BACK_PIXEL, values);
    const std::string wmClass = s.instance + '\0' + s.className + '\0';
    setText(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
    // Ask for the position given (USPosition | USSize), so that window managers keep it.
    std::uint32_t hints[18] = {1 | 2};
    hints[1] = static_cast<std::uint32_t>(s.x);
    hints[2] = static_cast<std::uint32_t>(s.y);
    hints[3] = static_cast<std::uint32_t>(s.width);
    hints[4] = static_cast<std::uint32_t>(s.height);
    setProperty(w, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, hints, 18);
    if (s.setPid)
        setProperty(w, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, &s.pid, 1);
    const std::string typeName = "_NET_WM_WINDOW_TYPE_" + [&] {
        std::string upper = s.type;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
    }();
    const xcb_atom_t type = atom(typeName.c_str());
    setProperty(w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, &type, 1);
    if (s.skipTaskbar) {
        const xcb_atom_t skip = atom("_NET_WM_STATE_SKIP_TASKBAR");
        setProperty(w, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32, &skip, 1);
    }
    switch (kind) {
    case TitleKind::Modern:
        setTitle(w, text);
        break;
    case TitleKind::Legacy: {
        std::string latin1;
        toLatin1(text, latin1);
        setText(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, latin1);
        break;
    }
    case TitleKind::Compound:
        setText(w, XCB_ATOM_WM_NAME, atom("COMPOUND_TEXT"), fromHex(text));
        break;
    case TitleKind::Odd: {
        setTitle(w, text);
        // A PID as text, a state list of bytes, a class without terminators, a desktop of 8 bits.
        setText(w, atom("_NET_WM_PID"), XCB_ATOM_STRING, "12345");
        setText(w, atom("_NET_WM_STATE"), XCB_ATOM_ATOM, "\x01\x02\x03");
        setText(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, "no-terminators");
        const std::uint8_t desktop = 7;
        setProperty(w, atom("_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 8, &desktop, 1);
        const std::uint32_t notAnAtom = 0xFFFFFF;
        setProperty(w, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, &notAnAtom, 1);
        break;
    }
    case TitleKind::Huge:
        setText(w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), std::string(1 << 20, 'x'));
        break;
    }
    xcb_map_window(g_connection, w);
    return w;
}

void drainEvents() {
    while (xcb_generic_event_t* e = xcb_poll_for_event(g_connection))
        std::free(e);
}

bool stdinReadable(int timeoutMs) {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    return ::poll(&p, 1, timeoutMs) > 0;
}

void churn() {
    Settings s;
    s.instance = "qdchurn";
    s.className = "QdChurn";
    std::vector<xcb_window_t> windows;
    std::cout << "ready" << std::endl;
    for (unsigned n = 0;; ++n) {
        if (stdinReadable(0)) {
            std::string line;
            if (!std::getline(std::cin, line))
                return;
        }
        windows.push_back(openWindow(s, TitleKind::Modern, "Churn " + std::to_string(n)));
        if (windows.size() > 4) {
            xcb_destroy_window(g_connection, windows.front());
            windows.erase(windows.begin());
        }
        xcb_flush(g_connection);
        drainEvents();
        ::usleep(5000);
    }
}

} // namespace

int main(int argc, char** argv) {
    g_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(g_connection)) {
        std::fprintf(stderr, "test_window_app: cannot connect to the X display\n");
        return 2;
    }
    g_screen = xcb_setup_roots_iterator(xcb_get_setup(g_connection)).data;

    Settings s;
    std::vector<xcb_window_t> windows;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        const std::string value = hasValue ? argv[i + 1] : std::string();
        if (option == "--churn") {
            churn();
            return 0;
        }
        if (option == "--skip-taskbar") {
            s.skipTaskbar = true;
        } else if (option == "--no-pid") {
            s.setPid = false;
        } else if (option == "--huge-title") {
            windows.push_back(openWindow(s, TitleKind::Huge, std::string()));
        } else if (!hasValue) {
            std::fprintf(stderr, "test_window_app: %s needs a value\n", option.c_str());
            return 2;
        } else {
            ++i;
            if (option == "--class") {
                const std::size_t comma = value.find(',');
                s.instance = value.substr(0, comma);
                s.className = comma == std::string::npos ? value : value.substr(comma + 1);
            } else if (option == "--type") {
                s.type = value;
            } else if (option == "--pid") {
                s.pid = static_cast<std::uint32_t>(std::stoul(value));
            } else if (option == "--color") {
                s.color = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
            } else if (option == "--geometry") {
                std::sscanf(value.c_str(), "%dx%d+%d+%d", &s.width, &s.height, &s.x, &s.y);
            } else if (option == "--title") {
                windows.push_back(openWindow(s, TitleKind::Modern, value));
            } else if (option == "--legacy-title") {
                windows.push_back(openWindow(s, TitleKind::Legacy, value));
            } else if (option == "--compound-title") {
                windows.push_back(openWindow(s, TitleKind::Compound, value));
            } else if (option == "--odd") {
                windows.push_back(openWindow(s, TitleKind::Odd, value));
            } else {
                std::fprintf(stderr, "test_window_app: unknown option %s\n", option.c_str());
                return 2;
            }
        }
    }
    // A round trip, so that every window exists before "ready" is printed.
    xcb_get_input_focus_reply_t* sync =
        xcb_get_input_focus_reply(g_connection, xcb_get_input_focus(g_connection), nullptr);
    std::free(sync);
    std::cout << "ready";
    for (const xcb_window_t w : windows)
        std::cout << ' ' << w;
    std::cout << std::endl;

    std::string line;
    while (true) {
        if (!stdinReadable(200)) {
            drainEvents();
            continue;
        }
        if (!std::getline(std::cin, line))
            break;
        // Done once the server has carried the change out: any client asking after that sees it.
        const bool title = line.rfind("title ", 0) == 0;
        if (title || line.rfind("class ", 0) == 0) {
            const std::size_t space = line.find(' ', 6);
            const std::size_t index = std::stoul(line.substr(6, space - 6));
            if (index < windows.size() && space != std::string::npos) {
                const std::string rest = line.substr(space + 1);
                if (title) {
                    setTitle(windows[index], rest);
                } else {
                    std::string wmClass = rest + '\0';
                    std::replace(wmClass.begin(), wmClass.end(), ' ', '\0');
                    setText(windows[index], XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
                }
            }
            std::free(xcb_get_input_focus_reply(g_connection, xcb_get_input_focus(g_connection), nullptr));
            std::cout << "done" << std::endl;
        }
    }
    xcb_disconnect(g_connection);
    return 0;
}
