#pragma once

#include <QApplication>

#include <functional>

// The program's application object: besides dispatching events, every key, mouse and scroll event
// it sees counts as activity for idle detection.
class HXApplication : public QApplication {
    Q_OBJECT

public:
    HXApplication(int& argc, char** argv);

    void setActivityHandler(std::function<void()> handler) { m_activity = std::move(handler); }

protected:
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void()> m_activity;
};
