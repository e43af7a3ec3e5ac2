#pragma once

#include "ui/HXApplicationModeWindows.h"

class HXClock;
class HXLiveReportSource;

// The live report as a picture for the taskbar icon, the desktop and the live report window: a row per
// application and pool of today's report, its total time as a light bar and its foreground time as a
// bar in the front activity colour over it, both as shares of the day so far (from the first data
// on, when that came later).
class HXLiveReportPicture final : public HXLiveReportImages {
public:
    HXLiveReportPicture(const HXLiveReportSource& source, const HXClock& clock);

    void updateLiveReport() override;
    QImage liveReportImage(const QSize& size, bool withBackground) override;

private:
    const HXLiveReportSource& m_source;
    const HXClock& m_clock;
};
