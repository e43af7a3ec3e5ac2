#include "announce/DQXTransport.h"

#include "announce/DQXBadge.h"

#include "foundation/HXLog.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

QString stringValue(const QJsonObject& object, const char* name) {
    const QJsonValue value = object.value(key(name));
    return value.isString() ? value.toString() : QString();
}

// The login name of the process's user, from the password database.
std::optional<QByteArray> loginName() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_name)
        return std::nullopt;
    return QByteArray(found->pw_name);
}

QImage composite(const QImage& base, const QString& badge) {
    QImage image(base.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(base.devicePixelRatio());
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QRectF bounds(QPointF(0, 0), base.deviceIndependentSize());
    painter.drawImage(bounds, base);
    DQXDrawBadgeImage(painter, DQXCreateBadgeImage(badge), true, true, bounds);
    return image;
}

} // namespace

QString DQXTransportStringFromData(const QByteArray& data) {
    return QString::fromLatin1(data.toBase64());
}

QString DQXUserNameHash() {
    const std::optional<QByteArray> name = loginName();
    if (!name)
        return QString();
    return DQXTransportStringFromData(QCryptographicHash::hash(*name, QCryptographicHash::Sha1));
}

QString DQXMainIdentifier() {
    return QGuiApplication::desktopFileName();
}

QByteArray DQXCompressedImageData(const QImage& image) {
    if (image.isNull())
        return QByteArray();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    // The TIFF writer's compression 1 is LZW.
    writer.setCompression(1);
    if (!writer.write(image))
        return QByteArray();
    return data;
}

std::optional<QJsonObject> DQXCreateTransportDictionary(const DQXAnnouncementInput& input,
                                                        const QString& defaultIdentifier) {
    const QString user = DQXUserNameHash();
    if (user.isEmpty()) {
        HXSystemLog(QStringLiteral("[DQX] cannot determine user name"));
        return std::nullopt;
    }
    const QString identifier = input.identifier.value_or(defaultIdentifier);
    if (identifier.isEmpty()) {
        HXSystemLog(QStringLiteral("[DQX] cannot determine bundle identifier"));
        return std::nullopt;
    }
    QJsonObject transport;
    transport.insert(QStringLiteral("Format"), QStringLiteral("1"));
    transport.insert(QStringLiteral("User"), user);
    transport.insert(QStringLiteral("Identifier"), identifier);
    if (input.image) {
        const QByteArray tiff = DQXCompressedImageData(*input.image);
        if (tiff.isEmpty())
            HXSystemLog(QStringLiteral("[DQX] cannot compress image"));
        else
            transport.insert(QStringLiteral("Image"), DQXTransportStringFromData(tiff));
    }
    if (input.badge && *input.badge != u"0")
        transport.insert(QStringLiteral("Badge"), *input.badge);
    return transport;
}

std::optional<DQXReceivedIcon> DQXProcessTransportDictionary(const QJsonObject& transport,
                                                             const DQXBaseIconProvider& baseIcon) {
    DQXReceivedIcon icon;
    icon.identifier = stringValue(transport, "Identifier");
    if (icon.identifier.isEmpty()) {
        HXSystemLog(QStringLiteral("[DQX] missing bundle identifier"));
        return std::nullopt;
    }
    if (transport.contains(key("Image"))) {
        const QByteArray encoded = stringValue(transport, "Image").toLatin1();
        const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || decoded.decoded.isEmpty())
            HXSystemLog(QStringLiteral("[DQX] cannot decode image"));
        else if (!icon.image.loadFromData(decoded.decoded))
            HXSystemLog(QStringLiteral("[DQX] cannot generate image"));
    }
    if (transport.value(key("Badge")).isString())
        icon.badge = stringValue(transport, "Badge");
    icon.compositeIcon = icon.image;
    if (icon.badge) {
        const QImage base = !icon.image.isNull() ? icon.image
                            : baseIcon           ? baseIcon(icon.identifier)
                                                 : QImage();
        if (base.isNull())
            HXSystemLog(QStringLiteral("[DQX] cannot identify base icon"));
        else
            icon.compositeIcon = composite(base, *icon.badge);
    }
    return icon;
}

QImage DQXCreateCompositeIcon(const DQXAnnouncementInput& input, const DQXBaseIconProvider& baseIcon) {
    const std::optional<QJsonObject> transport = DQXCreateTransportDictionary(input, DQXMainIdentifier());
    if (!transport)
        return QImage();
    const std::optional<DQXReceivedIcon> icon = DQXProcessTransportDictionary(*transport, baseIcon);
    return icon ? icon->compositeIcon : QImage();
}
