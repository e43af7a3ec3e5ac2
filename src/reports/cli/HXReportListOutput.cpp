#include "reports/cli/HXReportListOutput.h"

#include "reports/HXCSVExport.h"
#include "reports/HXDurationText.h"
#include "reports/HXReportReference.h"

#include "foundation/HXDefaultsKeys.h"
#include "foundation/HXDictionary.h"
#include "foundation/HXUserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

using namespace HXKeys;

namespace {

struct Line {
    QString kind;
    int depth = 0;
    QString name;
    double front = 0;
    double total = 0;
    QString frontText;
    QString frontPercentage;
    QString totalText;
    QString totalPercentage;
    HXArrayRef activeLog;
    HXArrayRef frontActiveLog;
};

std::vector<Line> linesOf(const HXArray& list, double reference, const HXUserDefaults& defaults) {
    const bool days = defaults.boolForKey(HXDefaultsKeys::ExpressTimeIntervalsAsDays);
    const bool percentages = defaults.boolForKey(HXDefaultsKeys::ReportsShowPercentages);
    std::vector<Line> lines;
    int parentDepth = 0;
    for (const HXValue& v : list.values()) {
        const HXDictionaryRef& record = v.toDictionary();
        if (!record)
            continue;
        Line line;
        const QString& path = record->stringForKey(Path);
        if (path == QStringView(kPoolPath)) {
            line.kind = QStringLiteral("Pool");
            parentDepth = 0;
        } else if (path == QStringView(kWindowPath)) {
            line.kind = QStringLiteral("Window");
            line.depth = parentDepth + 1;
        } else if (record->stringForKey(Type) == QStringView(kPoolItemType)) {
            line.kind = QStringLiteral("Pool Item");
            line.depth = 1;
            parentDepth = 1;
        } else {
            line.kind = QStringLiteral("Application");
            parentDepth = 0;
        }
        line.name = record->stringForKey(Name);
        line.front = record->timeIntervalForKey(FrontTime);
        line.total = record->timeIntervalForKey(Time);
        line.frontText = stringWithTimeIntervalEatZero(line.front, false, days);
        line.totalText = stringWithTimeIntervalEatZero(line.total, false, days);
        if (percentages) {
            line.frontPercentage =
                stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(line.front, reference, false, days);
            line.totalPercentage =
                stringWithTimeIntervalAsPercentageOfTimeIntervalEatZero(line.total, reference, false, days);
        }
        line.activeLog = record->arrayForKey(ActiveLog);
        line.frontActiveLog = record->arrayForKey(FrontActiveLog);
        lines.push_back(std::move(line));
    }
    return lines;
}

QJsonArray jsonLog(const HXArrayRef& log) {
    QJsonArray array;
    if (log) {
        for (qsizetype i = 0; i < log->count(); ++i)
            array.append(log->numberAt(i));
    }
    return array;
}

void writeText(QTextStream& out, const std::vector<Line>& lines) {
    qsizetype kindWidth = 0;
    qsizetype nameWidth = 0;
    for (const Line& l : lines) {
        kindWidth = std::max(kindWidth, l.kind.size());
        nameWidth = std::max(nameWidth, l.name.size() + 2 * l.depth);
    }
    for (const Line& l : lines) {
        const QString name = QString(2 * l.depth, u' ') + l.name;
        out << l.kind.leftJustified(kindWidth) << "  " << name.leftJustified(nameWidth) << "  "
            << l.frontText.rightJustified(10);
        if (!l.frontPercentage.isNull())
            out << ' ' << l.frontPercentage.rightJustified(5);
        out << "  " << l.totalText.rightJustified(10);
        if (!l.totalPercentage.isNull())
            out << ' ' << l.totalPercentage.rightJustified(5);
        out << '\n';
    }
}

void writeCSV(QTextStream& out, const std::vector<Line>& lines) {
    const QString sep = QStringLiteral(",");
    out << "Kind,Depth,Name,Front Time,Front Percentage,Time,Percentage\n";
    for (const Line& l : lines) {
        out << HXCSVStringWithField(l.kind, sep) << sep << l.depth << sep << HXCSVStringWithField(l.name, sep)
            << sep << HXCSVStringWithField(l.frontText, sep) << sep
            << HXCSVStringWithField(l.frontPercentage, sep) << sep << HXCSVStringWithField(l.totalText, sep)
            << sep << HXCSVStringWithField(l.totalPercentage, sep) << '\n';
    }
}

void writeJSON(QTextStream& out, const std::vector<Line>& lines, double begin, double end, double reference) {
    QJsonArray records;
    for (const Line& l : lines) {
        QJsonObject o;
        o[QStringLiteral("kind")] = l.kind;
        o[QStringLiteral("depth")] = l.depth;
        o[QStringLiteral("name")] = l.name;
        o[QStringLiteral("frontTime")] = l.front;
        o[QStringLiteral("frontTimeText")] = l.frontText;
        o[QStringLiteral("time")] = l.total;
        o[QStringLiteral("timeText")] = l.totalText;
        if (!l.frontPercentage.isNull()) {
            o[QStringLiteral("frontPercentage")] = l.frontPercentage;
            o[QStringLiteral("percentage")] = l.totalPercentage;
        }
        o[QStringLiteral("activeLog")] = jsonLog(l.activeLog);
        o[QStringLiteral("frontActiveLog")] = jsonLog(l.frontActiveLog);
        records.append(o);
    }
    QJsonObject root;
    root[QStringLiteral("begin")] = begin;
    root[QStringLiteral("end")] = end;
    root[QStringLiteral("reference")] = reference;
    root[QStringLiteral("records")] = records;
    out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

} // namespace

void HXWriteReportList(QTextStream& out, const HXArray& list, double begin, double end,
                       const HXUserDefaults& defaults, HXReportOutputFormat format) {
    const double reference = HXReportReferenceInterval(
        list, begin, end, defaults.boolForKey(u"Reports Show Percentages: Reference Raw Report Interval"));
    const std::vector<Line> lines = linesOf(list, reference, defaults);
    switch (format) {
    case HXReportOutputFormat::Text:
        writeText(out, lines);
        break;
    case HXReportOutputFormat::CSV:
        writeCSV(out, lines);
        break;
    case HXReportOutputFormat::JSON:
        writeJSON(out, lines, begin, end, reference);
        break;
    }
}
