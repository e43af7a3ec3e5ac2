#pragma once

#include <QObject>
#include <QString>

// The object the KWin script sends the window list to.
class HXKWinScriptReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvella.Qualdern.KWinScript")

public:
    static constexpr const char* kObjectPath = "/com/corvella/Qualdern/KWinScript";
    static constexpr const char* kInterface = "com.corvella.Qualdern.KWinScript";

    using QObject::QObject;

public Q_SLOTS:
    void Update(const QString& windows) { Q_EMIT updated(windows); }

Q_SIGNALS:
    void updated(const QString& windows);
};
