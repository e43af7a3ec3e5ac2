#pragma once

#include "platform/HXInputMonitor.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>
#include <vector>

// Input activity from the first of several monitors that can be installed, in order. When the one in use
// stops answering (its compositor or service went away) the next ones are tried. The choice is logged
// once.
class HXInputMonitorChooser final : public QObject, public HXInputMonitor {
    Q_OBJECT

public:
    struct Candidate {
        QString name;
        HXInputMonitor* monitor = nullptr;
        // Whether it still answers once installed; always when not given.
        std::function<bool()> answering;
    };

    explicit HXInputMonitorChooser(std::vector<Candidate> candidates,
                                   std::chrono::milliseconds checkInterval = std::chrono::seconds(2),
                                   QObject* parent = nullptr);
    ~HXInputMonitorChooser() override;

    bool install(std::function<void()> onActivity) override;
    void remove() override;

    // The name of the monitor in use; empty when none is.
    QString currentName() const;

private:
    bool installFrom(std::size_t first);
    void check();

    std::vector<Candidate> m_candidates;
    std::optional<std::size_t> m_current;
    std::function<void()> m_onActivity;
    QTimer m_checkTimer;
};
