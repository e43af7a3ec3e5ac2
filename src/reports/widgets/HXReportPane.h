#pragma once

#include "reports/HXReportControls.h"

#include <QWidget>

#include <optional>

class HXClock;
class HXReportController;
class HXReportView;
class HXScheduler;
class HXUserDefaults;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;

// What a report window holds, and the status item's panel holds of the live report: a bar at its top with
// the "View" menu button, the begin and end check boxes with their date pickers and, between them, the
// interval selector (live report) or the direction indicator (snapshots); below it the report view in a
// scroll area. The controls show what the controller decides and hand every change to it.
class HXReportPane : public QWidget {
    Q_OBJECT

public:
    HXReportPane(HXReportController& controller, HXUserDefaults& defaults, HXScheduler& scheduler,
                 const HXClock& clock, QWidget* parent = nullptr);
    ~HXReportPane() override;

    HXReportController& controller() const { return m_controller; }
    HXReportView& view() const { return *m_view; }
    QToolButton& viewButton() const { return *m_viewButton; }
    QComboBox& intervalSelector() const { return *m_selector; }
    QMenu& viewMenu() const { return *m_viewMenu; }

    // Once the pane shows again, the keyboard starts at the interval selector again.
    void resetFocus() { m_selectorFocused = false; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildBar();
    void applyControls();
    void focusSelector();
    void applyScheme();
    void settingChanged(const QString& key);

    HXReportController& m_controller;
    HXUserDefaults& m_defaults;
    HXReportView* m_view = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QToolButton* m_viewButton = nullptr;
    QMenu* m_viewMenu = nullptr;
    QCheckBox* m_beginCheck = nullptr;
    QDateTimeEdit* m_beginPicker = nullptr;
    QComboBox* m_selector = nullptr;
    QLabel* m_indicator = nullptr;
    QCheckBox* m_endCheck = nullptr;
    QDateTimeEdit* m_endPicker = nullptr;
    std::optional<HXReportControls> m_appliedControls;
    bool m_selectorFocused = false;
};
