#include "app/HXLiveReportPicture.h"

#include "reports/widgets/HXLiveReportWindow.h"

#include <QImage>

void HXLiveReportPicture::updateLiveReport() {
    m_live.updateIgnoringVisibility(true);
}

QImage HXLiveReportPicture::liveReportImage(const QSize& size, bool withBackground) {
    return m_live.liveReportImage(size, withBackground);
}
