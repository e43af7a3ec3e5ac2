#include "platform/wayland/HXToplevelJson.h"

#include <gtest/gtest.h>

TEST(HXToplevelJson, ReadsEveryFieldAndKeepsNumbersWhileWindowsLive) {
    HXToplevelJson json;
    const auto first = json.read(R"({"windows": [
        {"id": "{a}", "title": "Notes \u2014 today", "class": "org.kde.kate", "instance": "kate", "pid": 4242,
         "active": true, "minimized": false, "currentDesktop": false, "skipTaskbar": true, "above": true,
         "type": "dialog"},
        {"id": "{b}", "title": "Other"}]})");
    ASSERT_TRUE(first);
    ASSERT_EQ(first->size(), 2u);
    const HXToplevel& a = (*first)[0];
    EXPECT_EQ(a.title, QStringLiteral("Notes \u2014 today"));
    EXPECT_EQ(a.identifier, QStringLiteral("org.kde.kate"));
    EXPECT_EQ(a.instanceName, QStringLiteral("kate"));
    EXPECT_EQ(a.processIdentifier, 4242);
    EXPECT_TRUE(a.activated);
    EXPECT_FALSE(a.onCurrentDesktop);
    EXPECT_TRUE(a.skipTaskbar);
    EXPECT_TRUE(a.above);
    EXPECT_EQ(a.kind, HXToplevelKind::Dialog);
    const HXToplevel& b = (*first)[1];
    EXPECT_FALSE(b.processIdentifier);
    EXPECT_TRUE(b.onCurrentDesktop) << "unless said otherwise a window is on the current desktop";
    EXPECT_EQ(b.kind, HXToplevelKind::Normal);
    EXPECT_NE(a.number, b.number);

    const auto second = json.read(R"({"windows": [{"id": "{c}"}, {"id": "{a}", "title": "Renamed"}]})");
    ASSERT_TRUE(second);
    EXPECT_EQ((*second)[1].number, a.number) << "the same window keeps its number";
    EXPECT_NE((*second)[0].number, b.number) << "a new window gets a number of its own";
    // A window that went and came back is a new window.
    const auto third = json.read(R"({"windows": [{"id": "{b}"}]})");
    EXPECT_NE((*third)[0].number, b.number);
}

TEST(HXToplevelJson, ReadsDefensively) {
    HXToplevelJson json;
    for (const char* bad : {"", "not json", "[]", R"({"windows": 3})", R"({"list": []})", "{\"windows\": ["})
        EXPECT_FALSE(json.read(bad)) << bad;
    const auto odd = json.read(R"({"windows": [
        {"title": "no id"}, 7, null,
        {"id": "x", "title": 12, "class": ["a"], "pid": "123", "active": "yes", "type": "spaceship"},
        {"id": "x", "title": "duplicate"},
        {"id": "neg", "pid": -5}, {"id": "huge", "pid": 1e30}, {"id": "frac", "pid": 0.5}]})");
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->size(), 4u);
    const HXToplevel& x = (*odd)[0];
    EXPECT_TRUE(x.title.isEmpty());
    EXPECT_TRUE(x.identifier.isEmpty());
    EXPECT_FALSE(x.processIdentifier);
    EXPECT_FALSE(x.activated);
    EXPECT_EQ(x.kind, HXToplevelKind::Normal);
    for (std::size_t i = 1; i < odd->size(); ++i)
        EXPECT_FALSE((*odd)[i].processIdentifier);
    EXPECT_FALSE(json.read(QByteArray(HXToplevelJson::kMaxLength + 1, ' ')));
}
