#pragma once

#include "platform/wayland/HXKWinScriptReceiver.h"
#include "platform/wayland/HXToplevelJson.h"
#include "platform/wayland/HXToplevelWindowSource.h"

#include <QDBusConnection>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

class QDBusServiceWatcher;

// The windows of KDE Plasma's KWin through a script of ours: loaded over D-Bus (org.kde.KWin /Scripting
// loadScript, then run on the script's object, at /Scripting/Script<id> on Plasma 6 and /<id> on Plasma 5),
// it sends every window's caption, resource class and process, and which is active, to an object of ours
// whenever something changes. The source answers once the first list arrived, stops answering when KWin
// leaves the bus, and unloads the script when stopped.
class HXKWinScriptSource final : public QObject, public HXToplevelWindowSource {
    Q_OBJECT

public:
    explicit HXKWinScriptSource(HXDesktopEntryMatcher matcher,
                                QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);
    ~HXKWinScriptSource() override;

    QString name() const override { return QStringLiteral("KWin script"); }
    void start() override;
    State state() override { return m_state; }
    void stop() override;
    QString failureReason() const override { return m_reason; }

    // The plug-in name the script is loaded under; a script a crashed tracker left behind is replaced.
    static constexpr const char* kPluginName = "qualdern-tracker";
    static constexpr int kFirstListTimeoutMs = 3000;

private:
    void loaded(int scriptId);
    void runScript(int scriptId, bool plasma6);
    void received(const QString& windows);
    void fail(const QString& reason);
    bool writeScript();

    QDBusConnection m_bus;
    HXKWinScriptReceiver m_receiver;
    HXToplevelJson m_json;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QDBusServiceWatcher> m_watcher;
    QTimer m_firstListTimer;
    State m_state = State::Failed;
    bool m_scriptLoaded = false;
    bool m_registered = false;
    // Replies to calls made before the last stop() are ignored.
    int m_generation = 0;
    QString m_reason;
    QString m_lastList;
};
