#include "platform/x11/HXX11Property.h"
#include "platform/x11/HXX11WindowSnapshot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A property reply as xcb lays it out: the 32-byte header, then the value.
class FakeReply {
public:
    FakeReply(xcb_atom_t type, std::uint8_t format, std::uint32_t valueLength,
              const std::vector<std::uint8_t>& value)
        : m_storage((sizeof(xcb_get_property_reply_t) + value.size() + 3) / 4 + 1) {
        auto* reply = get();
        reply->response_type = 1;
        reply->type = type;
        reply->format = format;
        reply->value_len = valueLength;
        reply->length = static_cast<std::uint32_t>((value.size() + 3) / 4);
        std::memcpy(reinterpret_cast<std::uint8_t*>(reply + 1), value.data(), value.size());
    }
    xcb_get_property_reply_t* get() { return reinterpret_cast<xcb_get_property_reply_t*>(m_storage.data()); }

private:
    std::vector<std::uint32_t> m_storage;
};

std::vector<std::uint8_t> words(std::initializer_list<std::uint32_t> values) {
    std::vector<std::uint8_t> bytes(values.size() * 4);
    std::memcpy(bytes.data(), std::data(values), bytes.size());
    return bytes;
}

TEST(HXX11PropertyTest, ItemsNeedTheRightTypeAndFormat) {
    FakeReply cardinals(XCB_ATOM_CARDINAL, 32, 2, words({7, 9}));
    EXPECT_EQ(HXX11Property::items32(cardinals.get(), XCB_ATOM_CARDINAL), std::vector<std::uint32_t>({7, 9}));
    EXPECT_EQ(HXX11Property::first32(cardinals.get(), XCB_ATOM_CARDINAL), 7u);
    EXPECT_TRUE(HXX11Property::items32(cardinals.get(), XCB_ATOM_WINDOW).empty());
    EXPECT_FALSE(HXX11Property::first32(nullptr, XCB_ATOM_CARDINAL));

    FakeReply bytes(XCB_ATOM_CARDINAL, 8, 4, {1, 2, 3, 4});
    EXPECT_TRUE(HXX11Property::items32(bytes.get(), XCB_ATOM_CARDINAL).empty());
    FakeReply empty(XCB_ATOM_CARDINAL, 32, 0, {});
    EXPECT_FALSE(HXX11Property::first32(empty.get(), XCB_ATOM_CARDINAL));
}

TEST(HXX11PropertyTest, AnItemCountBeyondTheDataIsNotBelieved) {
    FakeReply lying(XCB_ATOM_ATOM, 32, 1000000, words({5}));
    EXPECT_EQ(HXX11Property::items32(lying.get(), XCB_ATOM_ATOM), std::vector<std::uint32_t>({5}));
    FakeReply lyingText(XCB_ATOM_STRING, 8, 1000000, {'a', 'b', 'c'});
    // Padded to whole 4-byte units, as on the wire.
    EXPECT_EQ(HXX11Property::bytes8(lyingText.get()), QByteArray("abc\0", 4));
}

TEST(HXX11PropertyTest, TextIsAnyTypeOfFormatEight) {
    FakeReply text(XCB_ATOM_STRING, 8, 5, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_EQ(HXX11Property::bytes8(text.get()), QByteArray("hello"));
    FakeReply wide(XCB_ATOM_STRING, 32, 1, words({0x41}));
    EXPECT_FALSE(HXX11Property::bytes8(wide.get()));
    FakeReply missing(XCB_ATOM_NONE, 0, 0, {});
    EXPECT_FALSE(HXX11Property::bytes8(missing.get()));
    FakeReply blank(XCB_ATOM_STRING, 8, 0, {});
    EXPECT_EQ(HXX11Property::bytes8(blank.get()), QByteArray());
}

TEST(HXX11WindowSnapshotTest, WhichWindowsAreOnTheCurrentDesktop) {
    HXX11WindowSnapshot snapshot;
    snapshot.currentDesktop = 1;
    HXX11ClientWindow w;
    w.desktop = 1;
    EXPECT_TRUE(snapshot.isOnCurrentDesktop(w));
    w.desktop = 0;
    EXPECT_FALSE(snapshot.isOnCurrentDesktop(w));
    w.sticky = true;
    EXPECT_TRUE(snapshot.isOnCurrentDesktop(w));
    w.sticky = false;
    w.desktop = HXX11ClientWindow::kAllDesktops;
    EXPECT_TRUE(snapshot.isOnCurrentDesktop(w));
    w.desktop.reset();
    EXPECT_TRUE(snapshot.isOnCurrentDesktop(w));
    w.desktop = 0;
    snapshot.currentDesktop.reset();
    EXPECT_TRUE(snapshot.isOnCurrentDesktop(w));
}

} // namespace
