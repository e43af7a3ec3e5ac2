// Announcements on a private session bus: the signal as another program (and dbus-monitor) sees it, the
// request answered with the same text again, the listener on its own queue ignoring other users'
// announcements, and the two settings that switch either side off.
#include "announce/DQXAnnouncements.h"
#include "announce/DQXAnnouncer.h"
#include "announce/DQXListener.h"

#include "AnnounceTestSupport.h"
#include "X11TestSupport.h"
#include "foundation/HXUserDefaults.h"
#include "platform/dbus/HXDBusDistributedNotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using Notification = std::pair<QString, QString>;

// Another program on the bus: its own connection, listening to the signal itself.
class BusReceiver : public QObject {
    Q_OBJECT

public:
    BusReceiver()
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("receiver"))) {
        m_connected =
            m_bus.connect(QString(), QString::fromLatin1(HXDBusDistributedNotificationCenter::kPath),
                          QString::fromLatin1(HXDBusDistributedNotificationCenter::kInterface),
                          QString::fromLatin1(HXDBusDistributedNotificationCenter::kMember), this,
                          SLOT(receive(QString, QString)));
    }
    ~BusReceiver() override { QDBusConnection::disconnectFromBus(QStringLiteral("receiver")); }
    bool isConnected() const { return m_connected; }
    // Waits for the count of notifications of that name.
    std::vector<QString> waitFor(const char* name, std::size_t count) {
        waitUntil([&] { return objects(name).size() >= count; }, 5000);
        return objects(name);
    }
    std::vector<QString> objects(const char* name) const {
        std::vector<QString> found;
        for (const Notification& n : received) {
            if (n.first == QString::fromLatin1(name))
                found.push_back(n.second);
        }
        return found;
    }
    // The bus connection used to post as another program.
    QDBusConnection& bus() { return m_bus; }

    std::vector<Notification> received;

public Q_SLOTS:
    void receive(const QString& name, const QString& object) { received.emplace_back(name, object); }

private:
    QDBusConnection m_bus;
    bool m_connected = false;
};

// What a listening block was given, and where.
struct Heard {
    DQXReceivedIcon icon;
    bool onMainThread = false;
};

class Announcements : public testing::Test {
protected:
    Announcements() : defaults(scratch.filePath(QStringLiteral("Defaults.plist"))) {}

    QJsonObject parse(const QString& text) const { return QJsonDocument::fromJson(text.toUtf8()).object(); }
    void postAsAnotherProgram(const char* name, const QString& object) {
        HXDBusDistributedNotificationCenter other(receiver.bus());
        other.postNotification(QString::fromLatin1(name), object);
    }
    // Returns once the program's center has seen everything posted before, as another program or, with
    // ownPosts, by itself (each sender's notifications arrive in order).
    void waitForDelivery(bool ownPosts = false) {
        bool seen = false;
        const std::uint64_t token = center.addObserver(
            QStringLiteral("test.Marker"), [&seen](const QString&, const QString&) { seen = true; });
        if (ownPosts)
            center.postNotification(QStringLiteral("test.Marker"), QString());
        else
            postAsAnotherProgram("test.Marker", QString());
        EXPECT_TRUE(waitUntil([&seen] { return seen; }, 5000));
        center.removeObserver(token);
    }
    DQXListener::ListeningBlock recorder() {
        return [this](const DQXReceivedIcon& icon) {
            QMutexLocker lock(&heardMutex);
            heard.push_back({icon, QThread::currentThread() == QCoreApplication::instance()->thread()});
        };
    }
    std::vector<Heard> heardSoFar() {
        QMutexLocker lock(&heardMutex);
        return heard;
    }
    QString announcementFrom(const QString& user, const QString& identifier, const QString& badge) const {
        QJsonObject transport{{QStringLiteral("Format"), QStringLiteral("1")},
                              {QStringLiteral("Identifier"), identifier},
                              {QStringLiteral("Badge"), badge}};
        if (!user.isNull())
            transport.insert(QStringLiteral("User"), user);
        return QString::fromUtf8(QJsonDocument(transport).toJson(QJsonDocument::Compact));
    }

    QTemporaryDir scratch;
    HXUserDefaults defaults;
    HXDBusDistributedNotificationCenter center;
    BusReceiver receiver;
    QMutex heardMutex;
    std::vector<Heard> heard;
};

QImage picture() {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(QColor(20, 120, 220));
    return image;
}

} // namespace

TEST_F(Announcements, AnAnnouncementIsOneSignalOnTheSessionBusWithTheExactKeys) {
    ASSERT_TRUE(receiver.isConnected());
    QProcess monitor;
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--session"),
                   QStringLiteral("type='signal',interface='com.corvella.DistributedNotifications'")});
    ASSERT_TRUE(monitor.waitForStarted(5000));
    QByteArray monitored;
    ASSERT_TRUE(waitUntil(
        [&] {
            monitored += monitor.readAllStandardOutput();
            return monitored.contains("NameAcquired");
        },
        5000))
        << "dbus-monitor did not start";

    DQXAnnouncer announcer(center, defaults);
    announcer.announce(DQXInputForImage(picture()));
    const std::vector<QString> objects = receiver.waitFor(DQXAnnouncementNotification, 1);
    ASSERT_EQ(objects.size(), 1u);
    const QJsonObject transport = parse(objects.front());
    EXPECT_EQ(transport.keys(), (QStringList{QStringLiteral("Format"), QStringLiteral("Identifier"),
                                             QStringLiteral("Image"), QStringLiteral("User")}));
    EXPECT_EQ(transport.value(QStringLiteral("Format")).toString(), QStringLiteral("1"));
    EXPECT_EQ(transport.value(QStringLiteral("Identifier")).toString(),
              QStringLiteral("com.corvella.Qualdern"));
    const QString user = transport.value(QStringLiteral("User")).toString();
    EXPECT_EQ(user.size(), 28);
    EXPECT_EQ(user, DQXUserNameHash());
    const QByteArray tiff =
        QByteArray::fromBase64(transport.value(QStringLiteral("Image")).toString().toLatin1());
    EXPECT_EQ(tiffCompression(tiff), 5);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(tiff));
    EXPECT_EQ(decoded.pixelColor(32, 32), QColor(20, 120, 220));
    EXPECT_FALSE(objects.front().contains(u'\n')) << "compact JSON";
    EXPECT_EQ(objects.front(), announcer.latestTransportString());

    // dbus-monitor sees the same: the path, interface and member, the name and the text.
    EXPECT_TRUE(waitUntil(
        [&] {
            monitored += monitor.readAllStandardOutput();
            return monitored.contains("DQXAnnouncementNotification") &&
                   monitored.contains("\"Format\":\"1\"");
        },
        5000));
    EXPECT_TRUE(monitored.contains("path=/com/corvella/DistributedNotifications; "
                                   "interface=com.corvella.DistributedNotifications; member=Notification"))
        << monitored.left(2000).toStdString();
    EXPECT_TRUE(monitored.contains("string \"com.corvella.DQXAnnouncementNotification\""));
    EXPECT_TRUE(monitored.contains("\"User\":\"" + user.toUtf8() + "\""));
    monitor.terminate();
    monitor.waitForFinished(3000);
}

TEST_F(Announcements, ARequestGetsTheLatestTextAgainAndBeforeAnyAnnouncementAnEmptyOne) {
    DQXAnnouncer announcer(center, defaults);
    // The bus takes the announcer's match rule without a reply; a post of its own coming back proves
    // the rule is in place before another program asks.
    waitForDelivery(true);
    postAsAnotherProgram(DQXRequestNotification, QString());
    std::vector<QString> objects = receiver.waitFor(DQXAnnouncementNotification, 1);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_TRUE(objects.front().isEmpty());

    DQXAnnouncementInput badged = DQXInputForBadgeCount(7);
    announcer.announce(badged);
    objects = receiver.waitFor(DQXAnnouncementNotification, 2);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(parse(objects[1]).value(QStringLiteral("Badge")).toString(), QStringLiteral("7"));
    postAsAnotherProgram(DQXRequestNotification, QString());
    objects = receiver.waitFor(DQXAnnouncementNotification, 3);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(objects[2], objects[1]) << "identical re-post";

    // Announcements leave in the order they were made.
    announcer.announce(DQXInputForBadge(QStringLiteral("a")));
    announcer.announce(DQXInputForBadge(QStringLiteral("b")));
    announcer.announce(DQXAnnouncementInput());
    objects = receiver.waitFor(DQXAnnouncementNotification, 6);
    ASSERT_EQ(objects.size(), 6u);
    EXPECT_EQ(parse(objects[3]).value(QStringLiteral("Badge")).toString(), QStringLiteral("a"));
    EXPECT_EQ(parse(objects[4]).value(QStringLiteral("Badge")).toString(), QStringLiteral("b"));
    EXPECT_FALSE(parse(objects[5]).contains(QStringLiteral("Badge")));
}

TEST_F(Announcements, TheListenerAsksForTheStateHearsOnItsOwnQueueAndIgnoresOtherUsers) {
    DQXAnnouncer announcer(center, defaults);
    DQXListener listener(center, defaults, [](const QString&) {
        QImage base(32, 32, QImage::Format_ARGB32);
        base.fill(Qt::green);
        return base;
    });
    ASSERT_EQ(DQXListener::defaultListener(), &listener);
    announcer.announce(DQXInputForImage(picture()));
    announcer.waitUntilPosted();
    ASSERT_EQ(receiver.waitFor(DQXAnnouncementNotification, 1).size(), 1u);

    // Listening asks every announcer: this one answers with the image it announced.
    DQXSetListeningBlock(recorder());
    EXPECT_EQ(receiver.waitFor(DQXRequestNotification, 1).size(), 1u);
    ASSERT_TRUE(waitUntil([&] { return !heardSoFar().empty(); }, 5000));
    Heard first = heardSoFar().front();
    EXPECT_EQ(first.icon.identifier, QStringLiteral("com.corvella.Qualdern"));
    EXPECT_EQ(first.icon.image.size(), QSize(64, 64));
    EXPECT_FALSE(first.onMainThread);

    // Another user's announcement, one without a user, an empty one and broken JSON are ignored; the next
    // one of this user is heard, with its badge over the program's icon.
    postAsAnotherProgram(DQXAnnouncementNotification,
                         announcementFrom(QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAA="),
                                          QStringLiteral("x.Foreign"), QStringLiteral("1")));
    postAsAnotherProgram(DQXAnnouncementNotification,
                         announcementFrom(QString(), QStringLiteral("x.Nobody"), QStringLiteral("1")));
    postAsAnotherProgram(DQXAnnouncementNotification, QString());
    postAsAnotherProgram(DQXAnnouncementNotification, QStringLiteral("{\"User\":"));
    postAsAnotherProgram(DQXAnnouncementNotification,
                         announcementFrom(DQXUserNameHash(), QStringLiteral("x.Mine"), QStringLiteral("3")));
    ASSERT_TRUE(waitUntil([&] { return heardSoFar().size() >= 2; }, 5000));
    listener.waitUntilHandled();
    const std::vector<Heard> all = heardSoFar();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].icon.identifier, QStringLiteral("x.Mine"));
    EXPECT_EQ(all[1].icon.badge, QStringLiteral("3"));
    EXPECT_EQ(all[1].icon.compositeIcon.size(), QSize(32, 32));
    EXPECT_EQ(all[1].icon.compositeIcon.pixelColor(2, 30), QColor(Qt::green));

    // No block: nothing more is heard.
    listener.setListeningBlock({});
    announcer.announce(DQXInputForBadge(QStringLiteral("9")));
    announcer.waitUntilPosted();
    waitForDelivery();
    listener.waitUntilHandled();
    EXPECT_EQ(heardSoFar().size(), 2u);
}

TEST_F(Announcements, TheTwoSettingsSwitchEachSideOff) {
    DQXAnnouncer announcer(center, defaults);
    DQXListener listener(center, defaults);
    defaults.setBool(QString::fromLatin1(DQXDisableAnnouncingKey), true);
    announcer.announce(DQXInputForBadge(QStringLiteral("1")));
    postAsAnotherProgram(DQXRequestNotification, QString());
    waitForDelivery();
    announcer.waitUntilPosted();
    defaults.setBool(QString::fromLatin1(DQXDisableAnnouncingKey), false);
    announcer.announce(DQXInputForBadge(QStringLiteral("2")));
    std::vector<QString> objects = receiver.waitFor(DQXAnnouncementNotification, 1);
    ASSERT_EQ(objects.size(), 1u) << "neither the announcement nor the answer to the request went out";
    EXPECT_EQ(parse(objects[0]).value(QStringLiteral("Badge")).toString(), QStringLiteral("2"));
    EXPECT_TRUE(announcer.latestTransportString().contains(QStringLiteral("\"Badge\":\"2\"")));

    defaults.setBool(QString::fromLatin1(DQXDisableListeningKey), true);
    listener.setListeningBlock(recorder());
    receiver.waitFor(DQXAnnouncementNotification, 2);
    announcer.waitUntilPosted();
    waitForDelivery(true);
    postAsAnotherProgram(DQXAnnouncementNotification,
                         announcementFrom(DQXUserNameHash(), QStringLiteral("x.Quiet"), QStringLiteral("4")));
    waitForDelivery();
    listener.waitUntilHandled();
    EXPECT_TRUE(heardSoFar().empty());
    defaults.setBool(QString::fromLatin1(DQXDisableListeningKey), false);
    postAsAnotherProgram(DQXAnnouncementNotification,
                         announcementFrom(DQXUserNameHash(), QStringLiteral("x.Heard"), QStringLiteral("5")));
    ASSERT_TRUE(waitUntil([&] { return !heardSoFar().empty(); }, 5000));
    listener.waitUntilHandled();
    ASSERT_EQ(heardSoFar().size(), 1u);
    EXPECT_EQ(heardSoFar().front().icon.identifier, QStringLiteral("x.Heard"));
}

#include "DQXAnnouncementBusTest.moc"
