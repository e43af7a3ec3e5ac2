#include "ui/HXLinuxEnglish.h"

#include <QHash>

namespace {

const QHash<QString, QString>& wording() {
    static const QHash<QString, QString> table = {
        {QStringLiteral(
             "Congratulations, you found Qualdern's insomnia mode easter egg!\n\nAuto-hibernation and "
             "display sleep are now disabled. Option-click the menu bar icon again to re-enable them "
             "when you're done keeping Qualdern and your Mac awake.\n\nThis message is only shown "
             "once. Click it to dismiss it."),
         QStringLiteral(
             "Congratulations, you found Qualdern's insomnia mode easter egg!\n\nAuto-hibernation and "
             "display sleep are now disabled. Middle-click (or Alt-click) the tray icon again to "
             "re-enable them when you're done keeping Qualdern and your computer awake.\n\nThis "
             "message is only shown once. Click it to dismiss it.")},
    };
    return table;
}

} // namespace

QString HXLinuxEnglish::translate(const char*, const char* sourceText, const char*, int) const {
    if (!sourceText)
        return QString();
    // A null result tells Qt to keep the source text.
    return wording().value(QString::fromUtf8(sourceText));
}
