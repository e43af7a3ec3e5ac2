#pragma once

#include "platform/wayland/HXToplevelJson.h"
#include "platform/wayland/HXToplevelWindowSource.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

class QDBusServiceWatcher;

// The windows of GNOME Shell through Qualdern's GNOME Shell extension, which offers on the session bus
// (com.corvella.Qualdern.Shell, /com/corvella/Qualdern/Shell) the window list as GetWindows and every
// change of it as WindowsChanged: title, wm_class, process and focus of every window. The source answers
// once the list was had and stops answering when the extension leaves the bus (disabled, or the shell
// restarts). Without the extension it fails with advice on how to enable it.
class HXGnomeShellSource final : public QObject, public HXToplevelWindowSource {
    Q_OBJECT

public:
    static constexpr const char* kService = "com.corvella.Qualdern.Shell";
    static constexpr const char* kObjectPath = "/com/corvella/Qualdern/Shell";
    static constexpr const char* kInterface = "com.corvella.Qualdern.Shell";
    static constexpr const char* kExtensionUuid = "qualdern@corvella.com";

    explicit HXGnomeShellSource(HXDesktopEntryMatcher matcher,
                                QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);
    ~HXGnomeShellSource() override;

    QString name() const override { return QStringLiteral("GNOME Shell extension"); }
    void start() override;
    State state() override { return m_state; }
    void stop() override;
    QString failureReason() const override { return m_reason; }
    // How to enable the extension, when it is not there.
    QString advice() const override { return m_missing ? enableInstructions() : QString(); }

    static QString enableInstructions();

private Q_SLOTS:
    void windowsChanged(const QString& windows);

private:
    void received(const QString& windows);
    void fail(const QString& reason);

    QDBusConnection m_bus;
    HXToplevelJson m_json;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    State m_state = State::Failed;
    bool m_subscribed = false;
    bool m_missing = false;
    int m_generation = 0;
    QString m_reason;
};
