#pragma once

#include "platform/HXDisplaySleepInhibitor.h"

#include <QDBusConnection>
#include <QObject>

#include <map>

// Keeps the display awake through org.freedesktop.ScreenSaver's Inhibit and UnInhibit on the session
// bus, falling back to another inhibitor (the X screen saver suspension) when the service is missing.
// The call is asynchronous, so an assertion's identifier is handed out at once and the service's cookie
// arrives later; an assertion released before that is given back as soon as the cookie is there.
class HXDBusDisplaySleepInhibitor final : public QObject, public HXDisplaySleepInhibitor {
    Q_OBJECT

public:
    // How an assertion is held at the moment.
    enum class Holder { Pending, ScreenSaverService, Fallback, Nothing };

    explicit HXDBusDisplaySleepInhibitor(HXDisplaySleepInhibitor* fallback = nullptr,
                                         QObject* parent = nullptr);
    HXDBusDisplaySleepInhibitor(QDBusConnection sessionBus, HXDisplaySleepInhibitor* fallback,
                                QObject* parent = nullptr);
    ~HXDBusDisplaySleepInhibitor() override;

    std::optional<std::uint32_t> createAssertion(const QString& name) override;
    bool releaseAssertion(std::uint32_t identifier) override;

    // Nothing for an unknown or released identifier.
    std::optional<Holder> holder(std::uint32_t identifier) const;

Q_SIGNALS:
    // The service (or the fallback) answered for an assertion.
    void assertionSettled(std::uint32_t identifier);

private:
    struct Assertion {
        Holder holder = Holder::Pending;
        std::uint32_t cookie = 0;
        std::uint32_t fallbackIdentifier = 0;
        bool released = false;
        QString name;
    };

    void inhibited(std::uint32_t identifier, const QDBusMessage& reply);
    void useFallback(Assertion& assertion);
    void unInhibit(std::uint32_t cookie);
    void logOnce(const QString& line);

    QDBusConnection m_bus;
    HXDisplaySleepInhibitor* m_fallback;
    std::map<std::uint32_t, Assertion> m_assertions;
    std::uint32_t m_nextIdentifier = 1;
    bool m_logged = false;
};
