// The transport dictionary, its TIFF, badges and the composite icon, without a bus.
#include "announce/DQXTransport.h"
#include "announce/DQXAnnouncements.h"
#include "announce/DQXBadge.h"

#include "AnnounceTestSupport.h"
#include "foundation/HXLog.h"

#include <QCryptographicHash>
#include <QImageReader>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

QImage solidImage(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

TEST(DQXTransport, TheUserIsTheBase64OfTheSha1OfTheLoginName) {
    const QString hash = DQXUserNameHash();
    EXPECT_EQ(hash.size(), 28);
    EXPECT_TRUE(hash.endsWith(u'='));
    EXPECT_EQ(hash, QString::fromLatin1(
                        QCryptographicHash::hash(testLoginName(), QCryptographicHash::Sha1).toBase64()));
    EXPECT_EQ(DQXTransportStringFromData(QByteArray(200, 'x')).indexOf(u'\n'), -1) << "no line breaks";
}

TEST(DQXTransport, NothingAnnouncedIsTheBareIdentifierAndEveryAnnouncementIsTheWholeState) {
    const auto bare = DQXCreateTransportDictionary(DQXAnnouncementInput(), QStringLiteral("com.example.App"));
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->keys(),
              (QStringList{QStringLiteral("Format"), QStringLiteral("Identifier"), QStringLiteral("User")}));
    EXPECT_EQ(bare->value(QStringLiteral("Format")).toString(), QStringLiteral("1"));
    EXPECT_EQ(bare->value(QStringLiteral("Identifier")).toString(), QStringLiteral("com.example.App"));

    DQXAnnouncementInput named;
    named.identifier = QStringLiteral("org.example.Other");
    named.badge = QStringLiteral("3");
    const auto badged = DQXCreateTransportDictionary(named, QStringLiteral("com.example.App"));
    ASSERT_TRUE(badged);
    EXPECT_EQ(badged->value(QStringLiteral("Identifier")).toString(), QStringLiteral("org.example.Other"));
    EXPECT_EQ(badged->value(QStringLiteral("Badge")).toString(), QStringLiteral("3"));
    EXPECT_FALSE(badged->contains(QStringLiteral("Image")));

    // An image alone: no badge of an earlier announcement.
    const auto imaged = DQXCreateTransportDictionary(DQXInputForImage(solidImage({16, 16}, Qt::blue)),
                                                     QStringLiteral("com.example.App"));
    ASSERT_TRUE(imaged);
    EXPECT_TRUE(imaged->contains(QStringLiteral("Image")));
    EXPECT_FALSE(imaged->contains(QStringLiteral("Badge")));
    for (const QString& k : imaged->keys())
        EXPECT_TRUE(imaged->value(k).isString()) << k.toStdString();

    HXLogging::Capture log;
    EXPECT_FALSE(DQXCreateTransportDictionary(DQXAnnouncementInput(), QString()));
    EXPECT_TRUE(log.contains(QStringLiteral("[DQX] cannot determine bundle identifier")));
}

TEST(DQXTransport, BadgeCountsAndTheBadgeZero) {
    EXPECT_FALSE(DQXInputForBadgeCount(0).badge);
    EXPECT_EQ(DQXInputForBadgeCount(7).badge, QStringLiteral("7"));
    EXPECT_EQ(DQXInputForBadgeCount(-12).badge, QStringLiteral("-12"));
    const auto zero =
        DQXCreateTransportDictionary(DQXInputForBadge(QStringLiteral("0")), QStringLiteral("a"));
    ASSERT_TRUE(zero);
    EXPECT_FALSE(zero->contains(QStringLiteral("Badge")));
    EXPECT_FALSE(DQXInputForImage(QImage()).image) << "a null image announces the normal icon";
}

TEST(DQXTransport, TheImageTravelsAsTiffWithLzwCompressionAndComesBackTheSame) {
    QImage picture = solidImage({40, 30}, QColor(10, 200, 30));
    {
        QPainter painter(&picture);
        painter.fillRect(QRect(0, 0, 20, 30), QColor(250, 0, 0, 128));
    }
    const auto transport = DQXCreateTransportDictionary(DQXInputForImage(picture), QStringLiteral("a"));
    ASSERT_TRUE(transport);
    const QByteArray tiff =
        QByteArray::fromBase64(transport->value(QStringLiteral("Image")).toString().toLatin1());
    EXPECT_EQ(tiffCompression(tiff), 5) << "LZW";
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(tiff, "TIFF"));
    EXPECT_EQ(decoded.size(), picture.size());
    EXPECT_EQ(decoded.pixelColor(30, 10), picture.pixelColor(30, 10));
    EXPECT_EQ(decoded.pixelColor(5, 10).alpha(), picture.pixelColor(5, 10).alpha());

    const auto received = DQXProcessTransportDictionary(*transport);
    ASSERT_TRUE(received);
    EXPECT_EQ(received->identifier, QStringLiteral("a"));
    EXPECT_EQ(received->image.size(), picture.size());
    EXPECT_FALSE(received->badge);
    EXPECT_EQ(received->compositeIcon.size(), picture.size()) << "without a badge, the image itself";
}

TEST(DQXTransport, ReceivedDictionariesAreReadDefensively) {
    HXLogging::Capture log;
    QJsonObject transport{{QStringLiteral("User"), DQXUserNameHash()}};
    EXPECT_FALSE(DQXProcessTransportDictionary(transport));
    EXPECT_TRUE(log.contains(QStringLiteral("[DQX] missing bundle identifier")));

    transport.insert(QStringLiteral("Identifier"), QStringLiteral("a"));
    transport.insert(QStringLiteral("Image"), QStringLiteral("not base64 at all!"));
    auto received = DQXProcessTransportDictionary(transport);
    ASSERT_TRUE(received) << "a bad image is left out";
    EXPECT_TRUE(received->image.isNull());
    EXPECT_TRUE(log.contains(QStringLiteral("[DQX] cannot decode image")));

    transport.insert(QStringLiteral("Image"), QString::fromLatin1(QByteArray("no picture").toBase64()));
    received = DQXProcessTransportDictionary(transport);
    ASSERT_TRUE(received);
    EXPECT_TRUE(log.contains(QStringLiteral("[DQX] cannot generate image")));

    transport.insert(QStringLiteral("Badge"), 5);
    received = DQXProcessTransportDictionary(transport);
    ASSERT_TRUE(received);
    EXPECT_FALSE(received->badge) << "a badge that is not a text";
}

TEST(DQXBadge, ShortTextsAreRoundLongOnesCappedAt2Point7TimesTheHeight) {
    const QImage one = DQXCreateBadgeImage(QStringLiteral("7"));
    EXPECT_EQ(one.width(), one.height());
    EXPECT_GT(one.height(), 40 + 22 - 1) << "the text's height and the padding";
    const QImage two = DQXCreateBadgeImage(QStringLiteral("1234"));
    EXPECT_GT(two.width(), two.height());
    EXPECT_LT(two.width(), two.height() * 2.7) << "room enough for four digits";

    const QImage longer = DQXCreateBadgeImage(QStringLiteral("1234567890 overdue tasks"));
    EXPECT_EQ(longer.height(), one.height());
    EXPECT_LE(longer.width(), std::ceil(longer.height() * 2.7));
    EXPECT_GE(longer.width(), std::floor(longer.height() * 2.7));

    const QImage empty = DQXCreateBadgeImage(QString());
    EXPECT_EQ(empty.size(), QSize(30, 30));

    // Red, a little transparent, inside; the corners stay clear but for the shadow.
    const QColor middle = one.pixelColor(one.width() / 2, one.height() - 8);
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 60);
    EXPECT_LT(one.pixelColor(0, 0).alpha(), 30);
    // The text in white at the centre row somewhere.
    bool white = false;
    for (int x = 0; x < one.width(); ++x) {
        const QColor c = one.pixelColor(x, one.height() / 2);
        white = white || (c.green() > 200 && c.blue() > 200);
    }
    EXPECT_TRUE(white);

    const QImage stroked = DQXCreateBadgeImage(QStringLiteral("7"), Qt::white, Qt::blue, Qt::green);
    const QColor edge = stroked.pixelColor(stroked.width() / 2, 4);
    EXPECT_GT(edge.green(), 120) << "the stroke along the top";
    EXPECT_GT(stroked.pixelColor(stroked.width() / 2, stroked.height() - 10).blue(), 200);
}

TEST(DQXBadge, BadgesSitAtACornerAThirdOfTheRectangleHigh) {
    const QRectF rect(0, 0, 270, 270);
    const QRectF topRight = DQXBadgeRect(QSizeF(120, 60), true, true, rect);
    EXPECT_DOUBLE_EQ(topRight.height(), 100);
    EXPECT_DOUBLE_EQ(topRight.width(), 200);
    EXPECT_DOUBLE_EQ(topRight.right(), 270);
    EXPECT_DOUBLE_EQ(topRight.top(), 0);
    const QRectF bottomLeft = DQXBadgeRect(QSizeF(60, 60), false, false, rect);
    EXPECT_DOUBLE_EQ(bottomLeft.left(), 0);
    EXPECT_DOUBLE_EQ(bottomLeft.bottom(), 270);
}

TEST(DQXBadge, TheCompositeIconDrawsTheBadgeOverTheImageOrTheProgramsIcon) {
    DQXAnnouncementInput input = DQXInputForBadge(QStringLiteral("4"));
    input.image = solidImage({128, 128}, Qt::blue);
    const QImage composite = DQXCreateCompositeIcon(input);
    ASSERT_EQ(composite.size(), QSize(128, 128));
    EXPECT_EQ(composite.pixelColor(10, 120), QColor(Qt::blue));
    const QRectF badge = DQXBadgeRect(QSizeF(1, 1), true, true, QRectF(0, 0, 128, 128));
    const QColor inBadge = composite.pixelColor(badge.center().toPoint() + QPoint(0, 14));
    EXPECT_GT(inBadge.red(), 200);
    EXPECT_LT(inBadge.blue(), 80);

    // A badge alone goes over the running program's icon; without one there is no composite.
    const QImage withBase =
        DQXCreateCompositeIcon(DQXInputForBadge(QStringLiteral("4")), [](const QString& id) {
            return id == QStringLiteral("com.corvella.Qualdern") ? solidImage({64, 64}, Qt::green) : QImage();
        });
    ASSERT_EQ(withBase.size(), QSize(64, 64));
    EXPECT_EQ(withBase.pixelColor(4, 60), QColor(Qt::green));
    HXLogging::Capture log;
    EXPECT_TRUE(DQXCreateCompositeIcon(DQXInputForBadge(QStringLiteral("4"))).isNull());
    EXPECT_TRUE(log.contains(QStringLiteral("[DQX] cannot identify base icon")));
}
