#pragma once

#include "announce/DQXSerialQueueOwner.h"
#include "announce/DQXTransport.h"

#include <QMutex>
#include <QString>

#include <cstdint>

class HXDistributedNotificationCenter;
class HXUserDefaults;

// Publishes the program's icon state as the announcement notification and posts it again whenever a
// listener asks (the request notification). Announcing returns at once: the transport is built and
// posted on the announcer's own queue, in the order of the calls. "com.corvella.DQXDisableAnnouncing"
// stops both, read where the call is made (the settings belong to that thread).
class DQXAnnouncer : public DQXSerialQueueOwner {
public:
    DQXAnnouncer(HXDistributedNotificationCenter& center, const HXUserDefaults& defaults);
    ~DQXAnnouncer() override;

    // The one announcer of the program while it lives; null before and after.
    static DQXAnnouncer* defaultAnnouncer();

    void announce(const DQXAnnouncementInput& input);
    // The answer to a request: the latest transport string again, or an empty object before the first.
    void reannounce();
    // Null before the first announcement.
    QString latestTransportString() const;

    // Waits until everything announced so far has been posted.
    void waitUntilPosted() {
        sync([] {});
    }

private:
    void post(const DQXAnnouncementInput& input, const QString& defaultIdentifier);

    HXDistributedNotificationCenter& m_center;
    const HXUserDefaults& m_defaults;
    std::uint64_t m_requestObserver = 0;
    mutable QMutex m_mutex;
    QString m_latestTransportString;
    bool m_isDefault = false;
};
