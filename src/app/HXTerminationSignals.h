#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (the session ends, the user logs out, Control-C) arrive as a Qt signal on
// the main thread, so that the orderly shutdown with its save runs instead of an abrupt end.
class HXTerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit HXTerminationSignals(QObject* parent = nullptr);
    ~HXTerminationSignals() override;

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
