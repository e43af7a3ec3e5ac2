#pragma once

#include "announce/DQXSerialQueueOwner.h"
#include "announce/DQXTransport.h"

#include <QString>

#include <cstdint>
#include <functional>

class HXDistributedNotificationCenter;
class HXUserDefaults;

// Receives the announcements of the user's other programs: each one is decoded on the listener's own
// queue and handed to the listening block there, never on the main thread. Announcements of other users
// (a "User" that is not this user's hash) are ignored, and everything received while
// "com.corvella.DQXDisableListening" is on.
class DQXListener : public DQXSerialQueueOwner {
public:
    using ListeningBlock = std::function<void(const DQXReceivedIcon& icon)>;

    DQXListener(HXDistributedNotificationCenter& center, const HXUserDefaults& defaults,
                DQXBaseIconProvider baseIcon = {});
    ~DQXListener() override;

    // The one listener of the program while it lives; null before and after.
    static DQXListener* defaultListener();

    // A block starts listening (when there was none) and asks every announcer for its current state; no
    // block stops listening. The block is swapped on the listener's queue, waiting for it.
    void setListeningBlock(ListeningBlock block);
    // A received announcement's object text.
    void listen(const QString& object);

    // Waits until everything received so far has been handled.
    void waitUntilHandled() {
        sync([] {});
    }

private:
    void handle(const QString& object);

    HXDistributedNotificationCenter& m_center;
    const HXUserDefaults& m_defaults;
    DQXBaseIconProvider m_baseIcon;
    // Used on the queue only.
    ListeningBlock m_block;
    QString m_userNameHash;
    std::uint64_t m_observer = 0;
    bool m_isDefault = false;
};
