#pragma once

#include "ui/HXApplicationModeWindows.h"

class HXLiveReportWindow;

// The live report as a picture for the taskbar icon and the desktop: its view drawn as small renderings
// are, without labels or the pointer.
class HXLiveReportPicture final : public HXLiveReportImages {
public:
    explicit HXLiveReportPicture(HXLiveReportWindow& live) : m_live(live) {}

    void updateLiveReport() override;
    QImage liveReportImage(const QSize& size, bool withBackground) override;

private:
    HXLiveReportWindow& m_live;
};
