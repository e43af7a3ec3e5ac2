#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

// One tracker per user session: a lock in the data folder. The running tracker offers "OpenFiles" and
// "Reopen" on the session bus, so that a second start hands its file arguments over, or without files
// brings the running tracker to the front, and ends.
class HXSingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvella.Qualdern.Tracker")

public:
    static constexpr const char* kServiceName = "com.corvella.Qualdern";
    static constexpr const char* kObjectPath = "/Tracker";

    explicit HXSingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~HXSingleInstance() override;

    enum class Acquisition {
        // This process is now the tracker of the session.
        Acquired,
        // Another tracker holds the lock.
        AnotherRuns,
        // The lock cannot be made at all (the data folder is read-only or not a folder, the lock is a
        // folder): errorString() says why.
        Failed,
    };
    Acquisition acquire();
    QString errorString() const { return m_error; }
    QString lockPath() const { return m_lockPath; }
    // Hands files to the running tracker; false when it cannot be reached.
    static bool handOver(const QStringList& files);
    // Asks the running tracker to show itself; false when it cannot be reached.
    static bool reopenRunning();

    void setFileHandler(std::function<void(const QStringList&)> handler) {
        m_fileHandler = std::move(handler);
    }
    void setReopenHandler(std::function<void()> handler) { m_reopenHandler = std::move(handler); }

public Q_SLOTS:
    void OpenFiles(const QStringList& files);
    void Reopen();

private:
    QString m_lockPath;
    QString m_folderError;
    QString m_error;
    std::unique_ptr<QLockFile> m_lock;
    std::function<void(const QStringList&)> m_fileHandler;
    std::function<void()> m_reopenHandler;
};
