#include "ui/menus/HXReportControllerMenuTarget.h"

#include "reports/HXReportController.h"

int HXReportControllerMenuTarget::timeFormat() const {
    return m_controller.timeFormat();
}

void HXReportControllerMenuTarget::setTimeFormat(int format) {
    m_controller.setTimeFormat(format);
}

bool HXReportControllerMenuTarget::drawFrontActivity() const {
    return m_controller.drawFrontActivity();
}

bool HXReportControllerMenuTarget::drawTotalActivity() const {
    return m_controller.drawTotalActivity();
}

void HXReportControllerMenuTarget::toggleShownActivity(int tag) {
    m_controller.toggleShownActivity(tag);
}

bool HXReportControllerMenuTarget::isSnapshot() const {
    return m_controller.isSnapshot();
}
