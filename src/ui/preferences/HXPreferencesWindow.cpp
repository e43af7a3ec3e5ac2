#include "ui/preferences/HXPreferencesWindow.h"

#include "filters/widgets/HXBlacklistTextEditing.h"
#include "filters/widgets/HXBlacklistTextView.h"
#include "filters/widgets/HXQualifiableBlacklistTextView.h"
#include "foundation/HXLocalization.h"
#include "hotkeys/HXHibernationHotKey.h"
#include "hotkeys/widgets/HXHotKeyClearButton.h"
#include "hotkeys/widgets/HXHotKeyTextView.h"
#include "ui/HXLoginItemSwitch.h"
#include "ui/preferences/HXStatusItemIconChoices.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileIconProvider>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

using P = HXPreference;

const char* const kSectionNames[] = {"General", "Blacklist", "Report", "Export"};
const QStringList kSections = {QStringLiteral("General"), QStringLiteral("Blacklist"),
                               QStringLiteral("Report"), QStringLiteral("Export")};

QIcon sectionIcon(const QString& section, const QStyle* style) {
    const std::pair<const char*, QStyle::StandardPixmap> icons[] = {
        {"preferences-system", QStyle::SP_ComputerIcon},
        {"process-stop", QStyle::SP_BrowserStop},
        {"x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
        {"document-send", QStyle::SP_DialogSaveButton}};
    const auto& [name, fallback] = icons[kSections.indexOf(section)];
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name), style->standardIcon(fallback));
    // Centred in a full square, so that every label sits on the same line whatever size the theme has.
    const QSize square(32, 32);
    QPixmap pixmap(square);
    pixmap.fill(Qt::transparent);
    const QPixmap drawn = icon.pixmap(square);
    QPainter(&pixmap).drawPixmap(QRect(QPoint(), square).center() - drawn.rect().center(), drawn);
    return QIcon(pixmap);
}

QWidget* pageWith(QLayout* layout) {
    auto* page = new QWidget;
    page->setLayout(layout);
    return page;
}

QFormLayout* newForm() {
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFormAlignment(Qt::AlignHCenter | Qt::AlignTop);
    form->setContentsMargins(20, 16, 20, 20);
    return form;
}

// A heading-less gap between groups of rows.
void addGap(QFormLayout* form) {
    form->addItem(new QSpacerItem(0, 8, QSizePolicy::Minimum, QSizePolicy::Fixed));
}

} // namespace

HXPreferencesWindow::HXPreferencesWindow(HXPreferencesModel& model, const Services& services, QWidget* parent)
    : QMainWindow(parent), m_model(model), m_services(services) {
    setObjectName(QStringLiteral("Preferences"));
    auto* toolbar = new QToolBar(HXLocalized("Sections"), this);
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->toggleViewAction()->setVisible(false);
    addToolBar(toolbar);
    setContextMenuPolicy(Qt::NoContextMenu);

    m_sections = new QStackedWidget(this);
    m_sectionActions = new QActionGroup(this);
    QWidget* pages[] = {makeGeneralSection(), makeBlacklistSection(), makeReportSection(),
                        makeExportSection()};
    for (int i = 0; i < kSections.size(); ++i) {
        const QString& identifier = kSections[i];
        QAction* action = toolbar->addAction(sectionIcon(identifier, style()), HXLocalized(kSectionNames[i]));
        action->setData(identifier);
        action->setToolTip(action->text());
        action->setCheckable(true);
        m_sectionActions->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, identifier] { changePreferencesSection(identifier); });
        pages[i]->setObjectName(identifier);
        m_sections->addWidget(pages[i]);
    }
    setCentralWidget(m_sections);

    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_Period)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &HXPreferencesWindow::closeUnlessRecording);
    }
    connect(&m_model, &HXPreferencesModel::changed, this, &HXPreferencesWindow::updateControls);
    updateControls();
}

HXPreferencesWindow::~HXPreferencesWindow() = default;

void HXPreferencesWindow::addSwitch(QFormLayout* form, P preference, const QString& text,
                                    const QString& label) {
    auto* box = new QCheckBox(text);
    // Toggled, not clicked: assistive tools toggle without a click.
    connect(box, &QCheckBox::toggled, this, [this, preference](bool on) { m_model.setOn(preference, on); });
    // Unlabelled switches line up under the labelled one above them.
    form->addRow(label, box);
    m_controls[preference] = box;
    m_forms[preference] = form;
}

void HXPreferencesWindow::addSelector(QFormLayout* form, P preference, const QString& label) {
    auto* selector = new QComboBox;
    selector->setAccessibleName(QString(label).remove(u':'));
    connect(selector, &QComboBox::activated, this, [this, preference, selector](int index) {
        m_model.selectTag(preference, selector->itemData(index).toInt());
    });
    form->addRow(label, selector);
    m_controls[preference] = selector;
    m_forms[preference] = form;
}

QSlider* HXPreferencesWindow::addSlider(QFormLayout* form, P preference, const QString& label, int minimum,
                                        int maximum, double scale) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(minimum, maximum);
    slider->setMinimumWidth(180);
    slider->setAccessibleName(QString(label).remove(u':'));
    connect(slider, &QSlider::valueChanged, this, [this, preference, scale](int value) {
        if (!m_updating)
            m_model.setValue(preference, value / scale);
    });
    m_controls[preference] = slider;
    m_forms[preference] = form;
    m_sliderScales[preference] = scale;
    return slider;
}

QWidget* HXPreferencesWindow::makeGeneralSection() {
    QFormLayout* form = newForm();
    addSwitch(form, P::StatusItem, HXLocalized("Run as an icon in the tray"), HXLocalized("Mode:"));
    m_loginItemSwitch =
        new HXLoginItemSwitch(HXLocalized("Start Qualdern with the session"), m_services.clock);
    form->addRow(QString(), m_loginItemSwitch);
    m_loginItemForm = form;
    addSelector(form, P::StatusItemIcon, HXLocalized("Tray icon:"));
    addGap(form);

    QSlider* slider = addSlider(form, P::UpdateInterval, HXLocalized("Look every:"), 5, 100, 10);
    slider->setPageStep(5);
    m_updateIntervalLabel = new QLabel;
    m_updateIntervalLabel->setMinimumWidth(
        m_updateIntervalLabel->fontMetrics().horizontalAdvance(HXPreferencesModel::updateIntervalText(88.8)));
    auto* row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(m_updateIntervalLabel);
    form->addRow(HXLocalized("Look every:"), row);
    m_updateIntervalLabel->setBuddy(slider);
    addGap(form);

    addSelector(form, P::HibernationInterval, HXLocalized("Suspend when idle:"));
    addSelector(form, P::HibernationMode, HXLocalized("Suspend Timers:"));
    if (m_services.hibernationHotKey) {
        m_recorder = new HXHotKeyTextView(m_services.hibernationHotKey->context(), m_services.scheduler);
        m_recorder->setHotKeyDelegate(m_services.hibernationHotKey);
        m_recorder->setHotKey(m_services.hibernationHotKey->hotKey());
        m_recorder->setAccessibleName(HXLocalized("Suspend hot key"));
        auto* clear = new HXHotKeyClearButton;
        m_recorder->setDeleteButton(clear);
        auto* keys = new QHBoxLayout;
        keys->setSpacing(4);
        keys->addWidget(m_recorder);
        keys->addWidget(clear);
        form->addRow(HXLocalized("Suspend hot key:"), keys);
        connect(m_services.hibernationHotKey, &HXHibernationHotKey::hotKeyChanged, this,
                [this] { m_recorder->setHotKey(m_services.hibernationHotKey->hotKey()); });
    }
    addSwitch(form, P::HibernationTimer, HXLocalized("Offer the time away when tracking resumes"));
    addGap(form);

    addSwitch(form, P::ShowInactiveApplications, HXLocalized("Show inactive applications"),
              HXLocalized("Lists:"));
    addSwitch(form, P::ShowInactivePools, HXLocalized("Show inactive pools"));
    addSwitch(form, P::ExcludeAccessoryApplications, HXLocalized("Leave out programs without windows"));
    addSwitch(form, P::AutoResetApplications, HXLocalized("Reset application timers every day"),
              HXLocalized("Every day:"));
    addSwitch(form, P::AutoResetPools, HXLocalized("Reset pool timers every day"));
    return pageWith(form);
}

HXBlacklistTextView* HXPreferencesWindow::addBlacklist(QWidget* page, const QString& name,
                                                       const QString& label, bool qualifiable) {
    HXBlacklistTextView* view =
        qualifiable ? new HXQualifiableBlacklistTextView(page) : new HXBlacklistTextView(page);
    view->setAccessibleName(QString(label).remove(u':'));
    view->document()->setDocumentMargin(3);
    view->setTabChangesFocus(true);
    view->setMinimumSize(420, 120);
    connect(view, &QPlainTextEdit::textChanged, this, [this, view, name] {
        if (const HXArrayRef list = m_model.blacklist(name))
            blacklistTextDidChange(view, *list);
    });
    m_blacklists[name] = view;
    auto* caption = new QLabel(label, page);
    caption->setBuddy(view);
    page->layout()->addWidget(caption);
    page->layout()->addWidget(view);
    return view;
}

QWidget* HXPreferencesWindow::makeBlacklistSection() {
    auto* page = pageWith(new QVBoxLayout);
    page->layout()->setContentsMargins(20, 16, 20, 20);
    addBlacklist(page, QStringLiteral("Application Blacklist"), HXLocalized("Applications never tracked:"),
                 false);
    addBlacklist(page, QStringLiteral("Window Blacklist"), HXLocalized("Window titles never tracked:"), true);
    auto* hint =
        new QLabel(HXLocalized("One name or title per line; * matches anything, a line starting with ! "
                               "makes an exception. In window titles, “Application ▸ title” limits a "
                               "line to one application."),
                   page);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    page->layout()->addWidget(hint);
    return page;
}

QWidget* HXPreferencesWindow::makeReportSection() {
    QFormLayout* form = newForm();
    addSelector(form, P::LiveReportContent, HXLocalized("Live report lists:"));
    addSwitch(form, P::LiveReportApplications, HXLocalized("Applications"), HXLocalized("Sections:"));
    addSwitch(form, P::LiveReportPools, HXLocalized("Pools"));
    addSelector(form, P::LiveReportDayOffset, HXLocalized("Days begin at:"));
    addGap(form);
    addSwitch(form, P::LiveReportDock, HXLocalized("Show the live report as the windows' icon"),
              HXLocalized("Show:"));
    addSwitch(form, P::LiveReportDesktop, HXLocalized("Show the live report on the desktop"));
    QSlider* alpha =
        addSlider(form, P::LiveReportDesktopAlpha, HXLocalized("Desktop opacity:"), 10, 100, 100);
    alpha->setPageStep(10);
    form->addRow(HXLocalized("Desktop opacity:"), alpha);
    addSwitch(form, P::LiveReportMouseTracking, HXLocalized("Show the time at the mouse pointer in reports"));
    return pageWith(form);
}

QWidget* HXPreferencesWindow::makeExportSection() {
    QFormLayout* form = newForm();
    addSelector(form, P::ExportContent, HXLocalized("Exports contain:"));
    addSwitch(form, P::ExportColumnPool, HXLocalized("Pool"), HXLocalized("Columns:"));
    addSwitch(form, P::ExportColumnPoolNotes, HXLocalized("Pool notes"));
    addSwitch(form, P::ExportColumnApplication, HXLocalized("Application"));
    addSwitch(form, P::ExportColumnWindow, HXLocalized("Window"));
    addSwitch(form, P::ExportColumnFront, HXLocalized("Front time"));
    addSwitch(form, P::ExportColumnTotal, HXLocalized("Total time"));
    addSelector(form, P::ExportColumnSeparator, HXLocalized("Column separator:"));
    addSelector(form, P::ExportRowSeparator, HXLocalized("Line ends:"));
    addGap(form);
    addSwitch(form, P::AutoExport, HXLocalized("Export every day"), HXLocalized("Automatic export:"));
    addSelector(form, P::AutoExportHour, HXLocalized("Export at:"));
    m_folderSelector = new QComboBox;
    m_folderSelector->setAccessibleName(HXLocalized("Export folder"));
    m_folderSelector->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_folderSelector, &QComboBox::activated, this, &HXPreferencesWindow::folderChosen);
    form->addRow(HXLocalized("Export folder:"), m_folderSelector);
    addSelector(form, P::AutoExportRange, HXLocalized("Exported range:"));
    return pageWith(form);
}

void HXPreferencesWindow::fillFolderSelector() {
    const QSignalBlocker blocker(m_folderSelector);
    m_folderSelector->clear();
    const QString path = m_model.exportFolderPath();
    m_folderSelector->addItem(QFileIconProvider().icon(QFileIconProvider::Folder),
                              m_model.exportFolderTitle(), path);
    m_folderSelector->insertSeparator(1);
    m_folderSelector->addItem(HXLocalized("Other..."));
    m_folderSelector->setCurrentIndex(0);
}

void HXPreferencesWindow::folderChosen(int index) {
    if (m_folderSelector->itemData(index).isValid()) {
        fillFolderSelector();
        return;
    }
    m_model.chooseExportFolder();
    // The model says changed, which fills the selector again; also when nothing was chosen.
    fillFolderSelector();
}

void HXPreferencesWindow::updateControls() {
    m_updating = true;
    setWindowTitle(m_model.title());
    for (const auto& [preference, widget] : m_controls) {
        const QSignalBlocker blocker(widget);
        widget->setEnabled(m_model.isEnabled(preference));
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            box->setChecked(m_model.isOn(preference));
        } else if (auto* selector = qobject_cast<QComboBox*>(widget)) {
            selector->clear();
            for (const HXPreferenceChoice& choice : m_model.choices(preference)) {
                const QIcon icon = preference == P::StatusItemIcon
                                       ? HXStatusItemIconChoice(choice.tag, m_services.defaults, palette(),
                                                                devicePixelRatioF())
                                       : QIcon();
                selector->addItem(icon, choice.title, choice.tag);
            }
            if (preference == P::StatusItemIcon)
                selector->setIconSize(QSize(46, 21));
            selector->setCurrentIndex(selector->findData(m_model.tag(preference)));
        } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
            slider->setValue(
                static_cast<int>(std::lround(m_model.value(preference) * m_sliderScales[preference])));
        }
        if (QFormLayout* form = m_forms[preference]; form->indexOf(widget) >= 0)
            form->setRowVisible(widget, m_model.isShown(preference));
    }
    m_updateIntervalLabel->setText(HXPreferencesModel::updateIntervalText(m_model.value(P::UpdateInterval)));
    m_loginItemForm->setRowVisible(m_loginItemSwitch, m_model.showsLoginItemSwitch());
    fillFolderSelector();
    m_updating = false;
    fitToSection();
}

void HXPreferencesWindow::updateBlacklists() {
    for (const auto& [name, view] : m_blacklists) {
        if (const HXArrayRef list = m_model.blacklist(name))
            showBlacklist(view, *list);
    }
}

QPlainTextEdit* HXPreferencesWindow::blacklistView(const QString& name) const {
    const auto found = m_blacklists.find(name);
    return found == m_blacklists.end() ? nullptr : found->second;
}

QWidget* HXPreferencesWindow::control(P preference) const {
    const auto found = m_controls.find(preference);
    return found == m_controls.end() ? nullptr : found->second;
}

void HXPreferencesWindow::showPreferences(const std::optional<QRect>& frame) {
    m_model.load();
    updateBlacklists();
    m_loginItemSwitch->updateLoginItemState(true);
    changePreferencesSection(kSections.constFirst());
    if (!isVisible()) {
        const QList<QScreen*> screens = QGuiApplication::screens();
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (frame && std::any_of(screens.begin(), screens.end(), [&frame](const QScreen* s) {
                return s->availableGeometry().intersects(*frame);
            })) {
            // Only the place: the height follows the section shown.
            setGeometry(QRect(frame->topLeft(), size()));
        } else if (screen) {
            QRect centred = frameGeometry();
            centred.moveCenter(screen->availableGeometry().center());
            move(centred.topLeft());
        }
    }
    show();
    raise();
    activateWindow();
}

void HXPreferencesWindow::changePreferencesSection(const QString& identifier) {
    const int index = kSections.indexOf(identifier);
    if (index < 0)
        return;
    // Changing the section ends a recording.
    if (m_recorder && m_recorder->isRecording())
        m_recorder->activelyResignFirstResponder();
    m_sections->setCurrentIndex(index);
    m_sectionActions->actions().at(index)->setChecked(true);
    fitToSection();
}

QString HXPreferencesWindow::currentSection() const {
    return kSections.value(m_sections->currentIndex());
}

void HXPreferencesWindow::fitToSection() {
    // Each section is as tall as its content; the window follows the one shown.
    for (int i = 0; i < m_sections->count(); ++i) {
        QWidget* page = m_sections->widget(i);
        page->setSizePolicy(QSizePolicy::Preferred,
                            i == m_sections->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    }
    m_sections->adjustSize();
    adjustSize();
    // Only the height follows the section: the width is that of the widest.
    int width = 0;
    for (int i = 0; i < m_sections->count(); ++i)
        width = std::max(width, m_sections->widget(i)->sizeHint().width());
    resize(std::max(width, this->width()), height());
}

void HXPreferencesWindow::closeUnlessRecording() {
    if (m_recorder && m_recorder->isRecording())
        return;
    close();
}

void HXPreferencesWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        updateControls();
    QMainWindow::changeEvent(event);
}
