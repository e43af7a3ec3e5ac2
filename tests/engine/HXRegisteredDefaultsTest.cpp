// The user guide's table of settings against the registered defaults: every default the guide gives as
// on, off or a number is what the settings answer for a key nobody wrote.
#include "engine/HXRegisteredDefaults.h"

#include "foundation/HXUserDefaults.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The cells of the guide's table rows that name settings.
std::vector<QStringList> settingsRows() {
    QFile guide(QStringLiteral(QD_SETTINGS_GUIDE));
    EXPECT_TRUE(guide.open(QIODevice::ReadOnly | QIODevice::Text));
    std::vector<QStringList> rows;
    for (const QString& line : QString::fromUtf8(guide.readAll()).split(u'\n')) {
        if (!line.startsWith(QStringLiteral("| \"")))
            continue;
        QStringList cells = line.split(QStringLiteral(" | "));
        for (QString& cell : cells)
            cell = cell.remove(u'|').trimmed();
        rows.push_back(cells);
    }
    return rows;
}

// On, off, a number, or nothing for the defaults the guide describes in words.
std::optional<HXValue> documentedDefault(const QString& text) {
    const QString word = text.section(u' ', 0, 0).remove(u',');
    if (word == u"on")
        return HXValue(true);
    if (word == u"off")
        return HXValue(false);
    bool ok = false;
    const double number = word.toDouble(&ok);
    if (ok)
        return HXValue(number);
    return std::nullopt;
}

} // namespace

TEST(HXRegisteredDefaults, AnswerWhatTheUserGuideSays) {
    ScratchFolder scratch;
    HXUserDefaults defaults(scratch.file(QStringLiteral("Defaults.plist")));
    HXRegisterDefaults(defaults);
    // The tray icon's width is limited where it is read, so its fallback is not a registered value.
    const QStringList fallbackOnly{QStringLiteral("HXStatusItemWidth")};
    int checked = 0;
    for (const QStringList& row : settingsRows()) {
        ASSERT_GE(row.size(), 5) << row.join(u'|').toStdString();
        QStringList keys;
        static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
        for (const QRegularExpressionMatch& match : quoted.globalMatch(row[0]))
            keys.append(match.captured(1));
        // A default for each key, or one for all of them.
        QStringList texts = row[2].split(QStringLiteral(", "));
        if (texts.size() != keys.size())
            texts = QStringList(keys.size(), row[2]);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const std::optional<HXValue> expected = documentedDefault(texts[i]);
            if (!expected || keys[i].contains(u"%@") || fallbackOnly.contains(keys[i]))
                continue;
            ++checked;
            const HXValue registered = defaults.objectForKey(keys[i]);
            if (expected->type() == HXValueType::Bool) {
                EXPECT_EQ(defaults.boolForKey(keys[i]), expected->toBool()) << keys[i].toStdString();
            } else {
                EXPECT_DOUBLE_EQ(defaults.doubleForKey(keys[i]), expected->toDouble())
                    << keys[i].toStdString();
            }
            if (registered.isNull()) {
                EXPECT_TRUE(expected->toDouble() == 0) << keys[i].toStdString() << " is not registered";
            }
        }
    }
    EXPECT_GT(checked, 50) << "the guide's tables were read";
}
