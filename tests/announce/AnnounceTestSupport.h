#pragma once

#include <QByteArray>
#include <QProcess>

#include <cstdint>

// The login name as the system's id tool tells it.
inline QByteArray testLoginName() {
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-un")});
    id.waitForFinished(5000);
    return id.readAllStandardOutput().trimmed();
}

// The Compression tag (259) of a TIFF's first image; -1 when there is none.
inline int tiffCompression(const QByteArray& tiff) {
    if (tiff.size() < 8)
        return -1;
    const bool little = tiff.startsWith("II");
    const auto u16 = [&](qsizetype at) -> std::uint32_t {
        if (at + 2 > tiff.size())
            return 0;
        const auto b0 = static_cast<std::uint8_t>(tiff[at]);
        const auto b1 = static_cast<std::uint8_t>(tiff[at + 1]);
        return little ? (b0 | (b1 << 8)) : ((b0 << 8) | b1);
    };
    const auto u32 = [&](qsizetype at) -> std::uint32_t {
        return little ? (u16(at) | (u16(at + 2) << 16)) : ((u16(at) << 16) | u16(at + 2));
    };
    const qsizetype directory = u32(4);
    const std::uint32_t entries = u16(directory);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const qsizetype entry = directory + 2 + 12 * static_cast<qsizetype>(i);
        if (u16(entry) == 259)
            return static_cast<int>(u16(entry + 8));
    }
    return -1;
}
