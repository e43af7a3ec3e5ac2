#pragma once

#include <QObject>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

class HXApplication;

// The running tracker: the engine with the real window system, input, sleep and session backends, the
// tray, the daily tasks, single start per session and an orderly shutdown on every way out.
class HXTracker : public QObject {
    Q_OBJECT

public:
    explicit HXTracker(HXApplication& application, QObject* parent = nullptr);
    ~HXTracker() override;

    // Nothing when the tracker now runs; otherwise the exit status of a program that ends here: 0 after
    // handing the files to the tracker that already runs, non-zero after telling the user why it
    // cannot track.
    std::optional<int> start(const QStringList& files);
    // The main loop, once start() let the tracker run; its exit status.
    int exec();

    // After a termination signal, once the data is saved, the program ends within this time whatever
    // the display does.
    static constexpr std::chrono::seconds kEndGrace{5};
    // How long a termination signal may wait for the main thread before the X connection it may be
    // stuck on is cut.
    static constexpr std::chrono::seconds kSignalPatience{2};

private:
    struct Parts;

    void terminate(int signalNumber);

    HXApplication& m_application;
    std::unique_ptr<Parts> m_parts;
    bool m_inMainLoop = false;
};
