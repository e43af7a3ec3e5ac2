#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <span>

// Reads CSV records: quoted sections (with doubled quotes for a quote) may hold separators and line
// breaks; LF, CR and CR LF end lines and empty lines are skipped; with trim, white space outside quotes is
// stripped from both ends of each field. The first record fixes the field count: a later record with
// another count is dropped and logged (the first few of them; then one line with the count of the rest).
// A first record of more than kMaximumFields fields is dropped as well. A quote left open makes the whole
// scan fail.
class HXCSVScanner {
public:
    using RecordHandler = std::function<void(std::span<const QStringView> fields)>;

    HXCSVScanner(QStringView text, QString separator, bool trimFields);

    static constexpr std::size_t kMaximumFields = 4096;

    // Hands each kept record (the header first) to the handler; the views last until it returns.
    // False when a quoted field is not closed; records handed over before that are to be discarded.
    bool scan(const RecordHandler& handler);

private:
    bool nextSkeletonLine(QStringView& line, bool& hasPlaceholders);
    void handleLine(QStringView line, bool hasPlaceholders, const RecordHandler& handler);
    QStringView takeLifted();
    void logDropped(std::span<const QStringView> fields, QStringView line);

    static constexpr qsizetype kLoggedDrops = 10;
    static constexpr qsizetype kLoggedLength = 200;

    QStringView m_text;
    QString m_separator;
    bool m_trim;
    qsizetype m_position = 0;
    qsizetype m_expected = -1;
    bool m_failed = false;
    qsizetype m_dropped = 0;
    // The skeleton of the current line when it has quoted sections (placeholders in their place).
    QString m_skeleton;
    // Lifted quoted texts not yet put back, oldest first; doubled quotes need a text of their own.
    std::vector<QStringView> m_lifted;
    std::size_t m_liftedRead = 0;
    std::vector<QString> m_liftedStore;
    std::vector<QStringView> m_fields;
    std::vector<QString> m_fieldStore;
};

// The record list, or nothing when a quoted field is not closed.
std::optional<QList<QStringList>> scanCSVRecordsWithFieldSeparator(QStringView text, const QString& separator,
                                                                   bool trimFields);
