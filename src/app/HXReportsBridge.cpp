#include "app/HXReportsBridge.h"

#include "engine/HXFolderPaths.h"
#include "engine/HXMainController.h"

HXDictionaryRef HXReportsBridge::configuration() const {
    return m_controller.configuration();
}

HXArrayRef HXReportsBridge::listApplications() const {
    return m_controller.listApplications();
}

HXArrayRef HXReportsBridge::listPools() const {
    return m_controller.listPools();
}

int HXReportsBridge::sortColumn() const {
    return m_controller.sortColumn();
}

const HXUserDefaults& HXReportsBridge::userDefaults() const {
    return m_controller.services().defaults;
}

void HXReportsBridge::resetTimers(const HXTimerReset& reset) {
    m_controller.resetTimers(reset);
}

QString HXReportsBridge::libraryReportsFolderPath() const {
    return m_controller.folderPaths()
        .libraryFolderPathWithName(QStringLiteral("Reports"))
        .value_or(QString());
}

bool HXReportsBridge::hasWriteAccess(const QString& folder) const {
    return HXConfirmWriteAccess(m_controller.bookmarkManager(), folder);
}
