#pragma once

#include <QImage>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <optional>

// The wire format of icon announcements. An announcement is a JSON object of strings, the transport
// dictionary, sent as compact JSON text: "Format" "1", "User" (the user name hash), "Identifier" (the
// announcing program's desktop-entry id), "Image" (Base64 of a TIFF with LZW compression) and "Badge"
// (a badge text other than "0"), the last two only when announced.

inline constexpr const char* DQXAnnouncementNotification = "com.corvella.DQXAnnouncementNotification";
inline constexpr const char* DQXRequestNotification = "com.corvella.DQXRequestNotification";
inline constexpr const char* DQXDisableAnnouncingKey = "com.corvella.DQXDisableAnnouncing";
inline constexpr const char* DQXDisableListeningKey = "com.corvella.DQXDisableListening";

// What a program announces: its icon state is the whole input, so an image drops an earlier badge and
// the reverse. Nothing at all announces the bare identifier: the program shows its normal icon.
struct DQXAnnouncementInput {
    // The program's own desktop-entry id when absent.
    std::optional<QString> identifier;
    std::optional<QImage> image;
    std::optional<QString> badge;
};

// What a listener makes of a transport dictionary.
struct DQXReceivedIcon {
    QString identifier;
    QImage image;
    std::optional<QString> badge;
    // The image with the badge at its top right (on the announcing program's icon when there is no
    // image); the image alone without a badge.
    QImage compositeIcon;
};

// The icon of a running program with that desktop-entry id, for badges announced without an image; a
// null image when there is none.
using DQXBaseIconProvider = std::function<QImage(const QString& identifier)>;

// Base64 (standard alphabet, "=" fill, no line breaks) of the SHA-1 of the login name's UTF-8 bytes:
// 28 characters. Empty when the login name cannot be found.
QString DQXUserNameHash();
QString DQXTransportStringFromData(const QByteArray& data);
// The program's desktop-entry id, which announcements carry when the input names none.
QString DQXMainIdentifier();

// TIFF with LZW compression; empty when the image cannot be written so.
QByteArray DQXCompressedImageData(const QImage& image);

// Nothing when the user or the identifier cannot be found (logged). defaultIdentifier stands in for a
// missing "Identifier".
std::optional<QJsonObject> DQXCreateTransportDictionary(const DQXAnnouncementInput& input,
                                                        const QString& defaultIdentifier);
// Nothing without an identifier (logged); an image that cannot be decoded is left out (logged).
std::optional<DQXReceivedIcon> DQXProcessTransportDictionary(const QJsonObject& transport,
                                                             const DQXBaseIconProvider& baseIcon = {});
// What a listener would show for the input; a null image when the transport cannot be built or there is
// neither an image nor a base icon.
QImage DQXCreateCompositeIcon(const DQXAnnouncementInput& input, const DQXBaseIconProvider& baseIcon = {});
