#include "reports/widgets/HXReportPane.h"

#include "reports/HXReportController.h"
#include "reports/widgets/HXPullDownButton.h"
#include "reports/widgets/HXReportDrawing.h"
#include "reports/widgets/HXReportView.h"
#include "reports/widgets/HXReportViewMenu.h"

#include "pictures/HXIcons.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXUserDefaults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QDateTime dateOf(double timestamp) {
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(timestamp * 1000)), Qt::LocalTime);
}

double timestampOf(const QDateTime& date) {
    return static_cast<double>(date.toMSecsSinceEpoch()) / 1000.0;
}

// The scroll area tells the view when its viewport changes size, so that the rows fill it.
class ReportScrollArea final : public QScrollArea {
public:
    explicit ReportScrollArea(QWidget* parent) : QScrollArea(parent) {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(false);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QScrollArea::resizeEvent(event);
        if (auto* view = qobject_cast<HXReportView*>(widget()))
            view->tile();
    }
};

// The scroll bar beside the rows takes the scheme's colours: a light knob on the dark schemes, a dark one on
// the light scheme, over the rows' background. In the desktop's colours it was a light strip beside dark
// rows whose knob hardly stood out from its track.
QString scrollBarStyleSheet(HXColorScheme scheme) {
    const bool light = scheme == HXColorScheme::Light;
    const QString knob = light ? QStringLiteral("0, 0, 0") : QStringLiteral("255, 255, 255");
    return QStringLiteral(
               "QScrollBar:vertical { background: %1; width: 12px; margin: 0; border: none; }"
               "QScrollBar::handle:vertical { background: rgba(%2, %3); min-height: 24px;"
               " margin: 2px 2px 2px 3px; border-radius: 3px; }"
               "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed"
               " { background: rgba(%2, %4); }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
               " { height: 0; border: none; background: none; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(HXReportBackgroundColor(scheme).name(), knob,
             light ? QStringLiteral("100") : QStringLiteral("110"),
             light ? QStringLiteral("150") : QStringLiteral("170"));
}

QDateTimeEdit* makePicker(QWidget* parent, const QString& name) {
    auto* picker = new QDateTimeEdit(parent);
    picker->setCalendarPopup(true);
    // The short date with hours and minutes: the most the bar has room for.
    const QLocale locale;
    QString time = locale.timeFormat(QLocale::ShortFormat);
    time.remove(QStringLiteral(":ss"));
    picker->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat) + u' ' + time);
    picker->setAccessibleName(name);
    // The whole date or none: a squeezed picker cuts it short.
    picker->setMinimumWidth(picker->sizeHint().width());
    picker->setEnabled(false);
    return picker;
}

// Settings that change how every report looks.
bool redrawsReports(const QString& key) {
    return key == u"Color Scheme" || key == u"Reports Show Percentages" ||
           key == u"Express Time Intervals As Days" || key == u"Show Time At Mouse Location" ||
           key == u"Indicator Line Tracks Mouse" || key == u"Pie Color Components";
}

// Settings that change what the live report lists.
bool refillsReports(const QString& key) {
    return key == u"Live Report Content (1252)" || key == u"Live Report: Applications" ||
           key == u"Live Report: Pools" ||
           key == u"Reports Show Percentages: Reference Raw Report Interval" ||
           key == u"HXChameleonDatePicker: Day Offset";
}

} // namespace

HXReportPane::HXReportPane(HXReportController& controller, HXUserDefaults& defaults, HXScheduler& scheduler,
                           const HXClock& clock, QWidget* parent)
    : QWidget(parent), m_controller(controller), m_defaults(defaults) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildBar());
    m_scrollArea = new ReportScrollArea(this);
    m_view = new HXReportView(controller, defaults, scheduler, clock);
    m_scrollArea->setWidget(m_view);
    layout->addWidget(m_scrollArea, 1);
    applyScheme();

    connect(&m_controller, &HXReportController::controlsChanged, this, &HXReportPane::applyControls);
    connect(&m_controller, &HXReportController::appearanceChanged, m_view, qOverload<>(&QWidget::update));
    connect(&m_defaults, &HXUserDefaults::changed, this, &HXReportPane::settingChanged);
    applyControls();
}

HXReportPane::~HXReportPane() = default;

QWidget* HXReportPane::buildBar() {
    auto* bar = new QWidget(this);
    bar->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(6);

    m_viewButton = new HXPullDownButton(bar);
    m_viewButton->setText(HXLocalized("View"));
    m_viewButton->setToolTip(HXLocalized("View"));
    m_viewButton->setAccessibleName(HXLocalized("View"));
    QImage face = reportIconWithSize(QSizeF(16, 16), devicePixelRatioF());
    QImage tinted(face.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.setDevicePixelRatio(face.devicePixelRatio());
    tinted.fill(palette().color(QPalette::ButtonText));
    {
        QPainter painter(&tinted);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(QPointF(0, 0), face);
    }
    m_viewButton->setIcon(QIcon(QPixmap::fromImage(tinted)));
    m_viewButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_viewButton->setAutoRaise(true);
    m_viewMenu = new QMenu(m_viewButton);
    QAction* heading = m_viewMenu->addAction(HXLocalized("View"));
    heading->setEnabled(false);
    populateViewMenu(*m_viewMenu, m_controller, m_defaults, [this] { return m_view && m_view->isVisible(); });
    m_viewButton->setMenu(m_viewMenu);
    row->addWidget(m_viewButton);
    row->addStretch(1);

    m_beginCheck = new QCheckBox(bar);
    m_beginCheck->setAccessibleName(HXLocalized("Begin"));
    m_beginCheck->setToolTip(HXLocalized("Begin"));
    m_beginPicker = makePicker(bar, HXLocalized("Begin"));
    m_endCheck = new QCheckBox(bar);
    m_endCheck->setAccessibleName(HXLocalized("End"));
    m_endCheck->setToolTip(HXLocalized("End"));
    m_endPicker = makePicker(bar, HXLocalized("End"));

    m_selector = new QComboBox(bar);
    m_selector->setToolTip(HXLocalized("Select report interval"));
    m_selector->setAccessibleName(HXLocalized("Report Interval"));
    m_selector->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_selector->addItem(HXLocalized("Today"), 1);
    m_selector->addItem(HXLocalized("This Week"), 2);
    m_selector->addItem(HXLocalized("This Month"), 3);
    m_selector->addItem(HXLocalized("This Year"), 4);
    m_selector->insertSeparator(m_selector->count());
    m_indicator = new QLabel(QStringLiteral("\u2192"), bar);
    m_indicator->setAccessibleName(HXLocalized("Custom Interval"));
    m_selector->addItem(m_indicator->text(), 0);
    m_selector->setItemData(m_selector->count() - 1, HXLocalized("Custom Interval"), Qt::AccessibleTextRole);

    row->addWidget(m_beginCheck);
    row->addWidget(m_beginPicker);
    row->addWidget(m_selector);
    row->addWidget(m_indicator);
    row->addWidget(m_endCheck);
    row->addWidget(m_endPicker);
    row->addStretch(1);

    connect(m_beginCheck, &QCheckBox::toggled, this, [this](bool on) { m_controller.setBeginChecked(on); });
    connect(m_endCheck, &QCheckBox::toggled, this, [this](bool on) { m_controller.setEndChecked(on); });
    connect(m_beginPicker, &QDateTimeEdit::dateTimeChanged, this,
            [this](const QDateTime& date) { m_controller.setBeginDate(timestampOf(date)); });
    connect(m_endPicker, &QDateTimeEdit::dateTimeChanged, this,
            [this](const QDateTime& date) { m_controller.setEndDate(timestampOf(date)); });
    connect(m_selector, &QComboBox::activated, this, [this](int index) {
        const QVariant tag = m_selector->itemData(index);
        if (tag.isValid())
            m_controller.selectInterval(tag.toInt());
    });
    return bar;
}

void HXReportPane::applyControls() {
    const HXReportControls& c = m_controller.controls();
    // The last data move on at every sampling tick; the pickers show minutes, so they are touched only
    // when what they show changes.
    const auto minute = [](double t) {
        return std::floor(t / 60);
    };
    const bool first = !m_appliedControls;
    const HXReportControls was = first ? HXReportControls() : *m_appliedControls;
    const auto changed = [&](double a, double b) {
        return first || minute(a) != minute(b);
    };
    const QSignalBlocker blockBeginCheck(m_beginCheck);
    const QSignalBlocker blockEndCheck(m_endCheck);
    const QSignalBlocker blockBegin(m_beginPicker);
    const QSignalBlocker blockEnd(m_endPicker);
    const QSignalBlocker blockSelector(m_selector);
    if (first || was.datesVisible != c.datesVisible) {
        for (QWidget* w : {static_cast<QWidget*>(m_beginCheck), static_cast<QWidget*>(m_beginPicker),
                           static_cast<QWidget*>(m_endCheck), static_cast<QWidget*>(m_endPicker)})
            w->setVisible(c.datesVisible);
    }
    m_beginCheck->setChecked(c.beginChecked);
    if (changed(c.beginMinimum, was.beginMinimum) || changed(c.beginMaximum, was.beginMaximum))
        m_beginPicker->setDateTimeRange(dateOf(c.beginMinimum),
                                        dateOf(std::max(c.beginMinimum, c.beginMaximum)));
    if (changed(c.beginDate, was.beginDate) || timestampOf(m_beginPicker->dateTime()) != c.beginDate)
        m_beginPicker->setDateTime(dateOf(c.beginDate));
    m_beginPicker->setEnabled(c.beginChecked);
    m_endCheck->setChecked(c.endChecked);
    if (changed(c.endMinimum, was.endMinimum) || changed(c.endMaximum, was.endMaximum))
        m_endPicker->setDateTimeRange(dateOf(c.endMinimum), dateOf(std::max(c.endMinimum, c.endMaximum)));
    if (changed(c.endDate, was.endDate))
        m_endPicker->setDateTime(dateOf(c.endDate));
    m_endPicker->setEnabled(c.endChecked);
    m_selector->setVisible(c.selectorVisible);
    m_indicator->setVisible(c.indicatorVisible);
    const int index = m_selector->findData(c.selectorTag);
    m_selector->setCurrentIndex(index >= 0 ? index : m_selector->findData(0));
    m_appliedControls = c;
    if (isVisible())
        focusSelector();
}

void HXReportPane::applyScheme() {
    m_scrollArea->verticalScrollBar()->setStyleSheet(scrollBarStyleSheet(HXCurrentColorScheme(m_defaults)));
}

void HXReportPane::settingChanged(const QString& key) {
    if (key == u"Color Scheme")
        applyScheme();
    if (redrawsReports(key))
        m_view->update();
    else if (refillsReports(key))
        m_view->updateIgnoringVisibility(false);
}

void HXReportPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_view->updateIgnoringVisibility(true);
    focusSelector();
}

void HXReportPane::focusSelector() {
    // The keyboard starts at the interval selector, the window's main control, once it shows.
    if (m_selectorFocused || !m_selector->isVisible())
        return;
    m_selector->setFocus(Qt::OtherFocusReason);
    m_selectorFocused = true;
}
