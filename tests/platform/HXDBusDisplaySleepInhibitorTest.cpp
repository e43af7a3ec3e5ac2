#include "DBusTestSupport.h"
#include "QtTypePrinting.h"
#include "X11TestSupport.h"

#include "foundation/HXLog.h"
#include "platform/dbus/HXDBusDisplaySleepInhibitor.h"

#include <QDBusConnection>

#include <set>

namespace {

using Holder = HXDBusDisplaySleepInhibitor::Holder;

// Stands for the X screen saver suspension.
class RecordingInhibitor final : public HXDisplaySleepInhibitor {
public:
    std::optional<std::uint32_t> createAssertion(const QString& name) override {
        names.push_back(name);
        if (!works)
            return std::nullopt;
        held.insert(++last);
        return last;
    }
    bool releaseAssertion(std::uint32_t identifier) override { return held.erase(identifier) == 1; }

    bool works = true;
    std::vector<QString> names;
    std::set<std::uint32_t> held;
    std::uint32_t last = 100;
};

bool settled(HXDBusDisplaySleepInhibitor& inhibitor, std::uint32_t identifier) {
    return waitUntil([&] { return inhibitor.holder(identifier) != Holder::Pending; });
}

TEST(DBusDisplaySleepInhibitorTest, InhibitAndUnInhibitWithTheServicesCookies) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    RecordingInhibitor fallback;
    HXDBusDisplaySleepInhibitor inhibitor(&fallback);

    const auto first = inhibitor.createAssertion(QStringLiteral("Qualdern Insomnia"));
    ASSERT_TRUE(first);
    EXPECT_NE(*first, 0u);
    EXPECT_EQ(inhibitor.holder(*first), Holder::Pending);
    ASSERT_TRUE(settled(inhibitor, *first));
    EXPECT_EQ(inhibitor.holder(*first), Holder::ScreenSaverService);
    const auto second = inhibitor.createAssertion(QStringLiteral("Second"));
    ASSERT_TRUE(second && settled(inhibitor, *second));
    EXPECT_NE(*first, *second);
    EXPECT_EQ(fake.calls(), QByteArrayList({"Inhibit Qualdern|Qualdern Insomnia -> 7000",
                                            "Inhibit Qualdern|Second -> 7001"}));

    EXPECT_TRUE(inhibitor.releaseAssertion(*first));
    EXPECT_FALSE(inhibitor.releaseAssertion(*first));
    EXPECT_FALSE(inhibitor.holder(*first));
    EXPECT_TRUE(fake.waitForCall("UnInhibit 7000"));
    EXPECT_TRUE(inhibitor.releaseAssertion(*second));
    EXPECT_TRUE(fake.waitForCall("UnInhibit 7001"));
    EXPECT_TRUE(fallback.names.empty());
}

TEST(DBusDisplaySleepInhibitorTest, ReleasedBeforeTheCookieArrives) {
    FakeDBusServices fake;
    ASSERT_TRUE(fake.isReady());
    HXDBusDisplaySleepInhibitor inhibitor;
    const auto identifier = inhibitor.createAssertion(QStringLiteral("Brief"));
    ASSERT_TRUE(identifier);
    EXPECT_TRUE(inhibitor.releaseAssertion(*identifier));
    EXPECT_FALSE(inhibitor.holder(*identifier));
    // The cookie that comes afterwards is handed straight back.
    QByteArray inhibit;
    ASSERT_TRUE(fake.waitForCall("Inhibit Qualdern|Brief", &inhibit));
    EXPECT_TRUE(fake.waitForCall("UnInhibit " + inhibit.split(' ').last()));
}

TEST(DBusDisplaySleepInhibitorTest, FallsBackWhenTheServiceIsMissing) {
    HXLogging::Capture log;
    FakeDBusServices fake({QStringLiteral("--no-screensaver")});
    ASSERT_TRUE(fake.isReady());
    RecordingInhibitor fallback;
    HXDBusDisplaySleepInhibitor inhibitor(&fallback);
    const auto first = inhibitor.createAssertion(QStringLiteral("One"));
    const auto second = inhibitor.createAssertion(QStringLiteral("Two"));
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(settled(inhibitor, *first) && settled(inhibitor, *second));
    EXPECT_EQ(inhibitor.holder(*first), Holder::Fallback);
    EXPECT_EQ(inhibitor.holder(*second), Holder::Fallback);
    EXPECT_EQ(fallback.names, std::vector<QString>({QStringLiteral("One"), QStringLiteral("Two")}));
    EXPECT_EQ(fallback.held.size(), 2u);
    EXPECT_EQ(log.lines().filter(QStringLiteral("cannot inhibit the screen saver")).size(), 1);

    EXPECT_TRUE(inhibitor.releaseAssertion(*first));
    EXPECT_TRUE(inhibitor.releaseAssertion(*second));
    EXPECT_TRUE(fallback.held.empty());
}

TEST(DBusDisplaySleepInhibitorTest, WithoutASessionBusTheFallbackAnswersAtOnce) {
    HXLogging::Capture log;
    const QDBusConnection nowhere = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    RecordingInhibitor fallback;
    HXDBusDisplaySleepInhibitor inhibitor(nowhere, &fallback);
    const auto identifier = inhibitor.createAssertion(QStringLiteral("Offline"));
    ASSERT_TRUE(identifier);
    EXPECT_EQ(inhibitor.holder(*identifier), Holder::Fallback);
    EXPECT_EQ(fallback.held.size(), 1u);
    EXPECT_TRUE(log.contains(QStringLiteral("cannot connect to the session bus")));
    EXPECT_TRUE(inhibitor.releaseAssertion(*identifier));
    EXPECT_TRUE(fallback.held.empty());

    fallback.works = false;
    EXPECT_FALSE(inhibitor.createAssertion(QStringLiteral("Nothing Works")));
    HXDBusDisplaySleepInhibitor withoutFallback(nowhere, nullptr);
    EXPECT_FALSE(withoutFallback.createAssertion(QStringLiteral("Nothing At All")));
}

} // namespace
