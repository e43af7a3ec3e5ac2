#include "engine/HXScreenshots.h"

#include "engine/HXFolderPaths.h"
#include "engine/HXSecurityScopedBookmarkManager.h"
#include "foundation/HXAtomicFile.h"
#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXUserDefaults.h"
#include "platform/HXScreenCapture.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kDefaultAmount = 50;

QDateTime creationDate(const QFileInfo& info) {
    // Not every file system records a birth time; the modification time is the next best witness.
    QDateTime date = info.birthTime();
    if (!date.isValid())
        date = info.lastModified();
    return date.isValid() ? date : QDateTime::currentDateTime();
}

// The folder may be the user's own (screenshots of the desktop land in "~/Pictures/Screenshots"), so
// only what this program writes there is ever pruned: files named like baseName() with ".png", and
// per-screen folders so named that hold nothing but their numbered ".png" files.
bool isOwnBaseName(const QString& name) {
    static const QRegularExpression pattern(
        QStringLiteral("^-?\\d{4,}-\\d{2}-\\d{2} \\d{2}-\\d{2} \\(-?\\d+\\)$"));
    return pattern.match(name).hasMatch();
}

bool isOwnScreenFolder(const QString& path) {
    static const QRegularExpression screen(QStringLiteral("^\\d+\\.png$"));
    const QFileInfoList inside =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return std::all_of(inside.begin(), inside.end(), [](const QFileInfo& info) {
        return info.isFile() && !info.isSymLink() && screen.match(info.fileName()).hasMatch();
    });
}

bool isOwnScreenshot(const QFileInfo& info) {
    if (info.isSymLink())
        return false;
    if (info.isDir())
        return isOwnBaseName(info.fileName()) && isOwnScreenFolder(info.absoluteFilePath());
    return info.isFile() && info.suffix() == u"png" && isOwnBaseName(info.completeBaseName());
}

} // namespace

QString HXScreenshots::baseName(double timestamp) {
    const auto seconds = static_cast<qint64>(std::floor(timestamp));
    const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds);
    const QDate d = local.date();
    const QTime t = local.time();
    return QString::asprintf("%04d-%02d-%02d %02d-%02d (%lld)", d.year(), d.month(), d.day(), t.hour(),
                             t.minute(), static_cast<long long>(seconds));
}

void HXScreenshots::takeScreenshotIfDue(double now) {
    const std::int64_t minutes = m_defaults.integerForKey(HXDefaultsKeys::ScreenshotsInterval);
    if (minutes <= 0)
        return;
    if (m_lastScreenshotDate && now - *m_lastScreenshotDate < static_cast<double>(minutes) * 60)
        return;
    const QString folder = HXExpandTilde(folderPathForKey(m_defaults, HXDefaultsKeys::AutoExportFolder,
                                                          m_paths.defaultAutoExportFolderPath()));
    QString bookmark;
    if (HXConfirmWriteAccess(m_bookmarks, folder, &bookmark)) {
        const QString shots = folder + QStringLiteral("/Screenshots");
        if (HXAtomicFile::createPrivateFolder(shots)) {
            capture(shots, now);
            const std::int64_t amount = m_defaults.integerForKey(HXDefaultsKeys::ScreenshotsAmount);
            prune(shots,
                  amount > 0 ? static_cast<int>(std::min<std::int64_t>(amount, 1 << 20)) : kDefaultAmount);
        }
        m_bookmarks.stopAccessingBookmarkForPath(bookmark);
    }
    m_lastScreenshotDate = now;
}

void HXScreenshots::capture(const QString& folder, double now) {
    if (!m_capture || !m_capture->isAvailable())
        return;
    const QString base = folder + u'/' + baseName(now);
    const int screens = m_capture->screenCount();
    if (screens <= 1) {
        m_capture->captureScreens({base + QStringLiteral(".png")});
        return;
    }
    if (!HXAtomicFile::createPrivateFolder(base))
        return;
    std::vector<QString> files;
    for (int i = 1; i <= screens; ++i)
        files.push_back(base + QStringLiteral("/%1.png").arg(i));
    m_capture->captureScreens(files);
}

void HXScreenshots::prune(const QString& folder, int keep) {
    QDir dir(folder);
    QFileInfoList entries;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (isOwnScreenshot(info))
            entries.append(info);
    }
    if (entries.size() <= 1)
        return;
    std::vector<std::pair<QDateTime, QFileInfo>> dated;
    for (const QFileInfo& info : entries)
        dated.emplace_back(creationDate(info), info);
    std::stable_sort(dated.begin(), dated.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return a.second.fileName() < b.second.fileName();
    });
    for (std::size_t i = 0; i + static_cast<std::size_t>(keep) < dated.size(); ++i) {
        const QFileInfo& victim = dated[i].second;
        if (victim.isDir())
            QDir(victim.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(victim.absoluteFilePath());
    }
}
