#pragma once

#include "ui/menus/HXReportMenuTarget.h"

#include <functional>

class HXReportController;

// A report controller as the View menu's target; viewIsVisible tells whether its report can be seen.
class HXReportControllerMenuTarget final : public HXReportMenuTarget {
public:
    HXReportControllerMenuTarget(HXReportController& controller, std::function<bool()> viewIsVisible)
        : m_controller(controller), m_viewIsVisible(std::move(viewIsVisible)) {}

    int timeFormat() const override;
    void setTimeFormat(int format) override;
    bool drawFrontActivity() const override;
    bool drawTotalActivity() const override;
    void toggleShownActivity(int tag) override;
    bool isReportViewVisible() const override { return m_viewIsVisible && m_viewIsVisible(); }
    bool isSnapshot() const override;

private:
    HXReportController& m_controller;
    std::function<bool()> m_viewIsVisible;
};
