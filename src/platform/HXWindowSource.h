#pragma once

#include <QString>

class HXWindowServer;
class HXWorkspace;

// One way of seeing the windows and applications of the desktop session (the wlroots protocol, the KWin
// script, the GNOME Shell extension, X11). Starting may take a moment: a source is asked, tick by tick,
// whether it answers yet, and reports when it fails or stops answering, so that another can take over.
class HXWindowSource {
public:
    enum class State {
        Starting,
        Answering,
        // It never answered, or it stopped answering.
        Failed,
    };

    virtual ~HXWindowSource() = default;

    // For the log: "wlroots foreign-toplevel", "KWin script", ...
    virtual QString name() const = 0;
    // Begins connecting; never waits for more than the local compositor or bus.
    virtual void start() = 0;
    virtual State state() = 0;
    // Gives back what start took (a loaded script, a connection); the source may be started again.
    virtual void stop() = 0;
    // Why the source failed, for the log and for the user when nothing else works; empty when unknown.
    virtual QString failureReason() const { return QString(); }
    // What the user can do to make it work, once it failed; empty when there is nothing to do.
    virtual QString advice() const { return QString(); }

    // Asked only while the source answers.
    virtual HXWindowServer& windowServer() = 0;
    virtual HXWorkspace& workspace() = 0;
};
