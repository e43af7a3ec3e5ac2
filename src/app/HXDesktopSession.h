#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class HXInputMonitor;
class HXInputMonitorChooser;
class HXWaylandConnection;
class HXWindowServer;
class HXWindowSource;
class HXWindowSourceChooser;
class HXWorkspace;
struct HXSessionFacts;

// The window and idle sources of this desktop session, probed at start and chosen in the documented
// order: on Wayland the wlroots protocol, the KWin script, the GNOME Shell extension, then X11 through
// Xwayland; idle from the compositor's idle protocols or the shell's idle time before X11. One source is
// used at a time, so the windows of X11 programs are seen once, by whichever source is in use.
class HXDesktopSession {
public:
    explicit HXDesktopSession(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment());
    ~HXDesktopSession();
    HXDesktopSession(const HXDesktopSession&) = delete;
    HXDesktopSession& operator=(const HXDesktopSession&) = delete;

    // The Qt platform for the program's own windows: Wayland where the compositor can be reached, else
    // X11; nothing, with the reason, when there is neither.
    static std::optional<QByteArray> qtPlatform(const QProcessEnvironment& environment, QString* reason);

    // Probes and starts the first window source; false, with the reason, when no source can work here.
    bool open(QString* reason);
    // Stops the window source in use (a KWin script is unloaded).
    void close();

    // Told once per run when a source fails and the user can do something about it (the GNOME Shell
    // extension is not enabled).
    void setAdviceHandler(std::function<void(const QString&)> handler);

    HXWindowServer& windowServer();
    HXWorkspace& workspace();
    HXInputMonitor& inputMonitor();
    const HXSessionFacts& facts() const { return *m_facts; }
    HXWindowSourceChooser& chooser() { return *m_chooser; }

private:
    void probe();
    std::unique_ptr<HXWindowSource> makeWindowSource(int kind);

    QProcessEnvironment m_environment;
    std::unique_ptr<HXSessionFacts> m_facts;
    std::shared_ptr<HXWaylandConnection> m_wayland;
    std::vector<std::unique_ptr<HXWindowSource>> m_windowSources;
    std::vector<std::unique_ptr<HXInputMonitor>> m_inputMonitors;
    std::unique_ptr<HXWindowSourceChooser> m_chooser;
    std::unique_ptr<HXInputMonitorChooser> m_inputChooser;
    std::function<void(const QString&)> m_adviceHandler;
};
