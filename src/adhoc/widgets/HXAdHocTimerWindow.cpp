#include "adhoc/widgets/HXAdHocTimerWindow.h"

#include "adhoc/HXAdHocTimer.h"
#include "foundation/HXLocalization.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

// The suggestion's place among the timer's suggestions, and the entry name that completing matches and
// inserts (the display and edit roles are one in a standard item).
constexpr int kSuggestionRole = Qt::UserRole + 1;
constexpr int kEntryRole = Qt::UserRole + 2;

QIcon blankIcon(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

} // namespace

HXAdHocTimerWindow::HXAdHocTimerWindow(HXAdHocTimer& timer, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_timer(timer), m_poolSelector(new QComboBox(this)), m_nameField(new QLineEdit(this)),
      m_timerField(new QLabel(this)), m_pauseButton(new QPushButton(this)),
      m_discardButton(new QPushButton(HXLocalized("Discard"), this)),
      m_keepButton(new QPushButton(HXLocalized("Keep"), this)), m_completer(new QCompleter(this)),
      m_suggestions(new QStandardItemModel(this)) {
    setWindowTitle(HXAdHocTimer::windowTitle());
    setModal(false);

    m_poolSelector->setAccessibleName(HXLocalized("Pool"));
    m_poolSelector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_poolSelector->setMinimumContentsLength(16);
    m_nameField->setAccessibleName(HXLocalized("Name"));
    m_nameField->setPlaceholderText(HXLocalized("What are you timing?"));
    m_nameField->setClearButtonEnabled(true);

    // Fixed-width digits, so that the display does not jitter as it counts.
    QFont display = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    display.setPointSizeF(font().pointSizeF() * 2.4);
    display.setWeight(QFont::Normal);
    m_timerField->setFont(display);
    m_timerField->setAlignment(Qt::AlignCenter);
    m_timerField->setMinimumWidth(QFontMetrics(display).horizontalAdvance(QStringLiteral("00:00:00")) + 16);

    m_completer->setModel(m_suggestions);
    m_completer->setCompletionRole(kEntryRole);
    m_completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_completer->setFilterMode(Qt::MatchStartsWith);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    m_nameField->setCompleter(m_completer);

    m_keepButton->setDefault(true);
    m_keepButton->setAutoDefault(true);
    m_discardButton->setAutoDefault(false);
    m_pauseButton->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(HXLocalized("Pool:"), m_poolSelector);
    form->addRow(HXLocalized("Name:"), m_nameField);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pauseButton);
    buttons->addStretch(1);
    buttons->addWidget(m_discardButton);
    buttons->addWidget(m_keepButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_timerField, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_pauseButton, &QPushButton::clicked, this, [this] { m_timer.pause(); });
    connect(m_keepButton, &QPushButton::clicked, this, [this] { m_timer.done(1); });
    connect(m_discardButton, &QPushButton::clicked, this, [this] { m_timer.done(0); });
    connect(m_poolSelector, &QComboBox::activated, this, &HXAdHocTimerWindow::choosePool);
    connect(m_nameField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_updating)
            m_timer.controlTextDidChange(text);
    });
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) {
                const std::vector<HXNameSuggestion> suggestions = m_timer.suggestionsForTextField();
                const int at = index.data(kSuggestionRole).toInt();
                if (at < 0 || at >= static_cast<int>(suggestions.size()))
                    return;
                const HXNameSuggestion& picked = suggestions[static_cast<std::size_t>(at)];
                m_timer.controlTextDidChange(picked.representedStringValue, picked.origin);
            });

    connect(&m_timer, &HXAdHocTimer::windowShouldShow, this, &HXAdHocTimerWindow::showWindow);
    connect(&m_timer, &HXAdHocTimer::windowShouldClose, this, &QWidget::hide);
    connect(&m_timer, &HXAdHocTimer::poolChoicesChanged, this, &HXAdHocTimerWindow::reloadPools);
    connect(&m_timer, &HXAdHocTimer::selectedPoolChanged, this, &HXAdHocTimerWindow::showSelectedPool);
    connect(&m_timer, &HXAdHocTimer::nameFieldTextChanged, this, &HXAdHocTimerWindow::showName);
    connect(&m_timer, &HXAdHocTimer::displayChanged, this, &HXAdHocTimerWindow::showDisplay);
    reloadPools();
    showName();
    showDisplay();
}

HXAdHocTimerWindow::~HXAdHocTimerWindow() = default;

void HXAdHocTimerWindow::reject() {}

void HXAdHocTimerWindow::closeEvent(QCloseEvent* event) {
    // While the timer is active the window stays: the time is kept or discarded by its buttons.
    if (m_timer.active()) {
        event->ignore();
        raise();
        activateWindow();
        return;
    }
    QDialog::closeEvent(event);
}

void HXAdHocTimerWindow::showWindow(bool center) {
    if (center) {
        reloadSuggestions();
        adjustSize();
        QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
        m_nameField->setFocus(Qt::OtherFocusReason);
    }
    show();
    raise();
    activateWindow();
}

void HXAdHocTimerWindow::reloadPools() {
    m_updating = true;
    m_poolSelector->clear();
    const std::vector<HXDictionaryRef>& choices = m_timer.poolChoices();
    // With icons, a blank one keeps "New Pool" in line with the pools' names.
    m_poolSelector->addItem(m_poolIcons ? blankIcon(m_poolSelector->iconSize()) : QIcon(),
                            HXLocalized("New Pool"), 0);
    if (choices.size() > 1)
        m_poolSelector->insertSeparator(1);
    for (std::size_t i = 1; i < choices.size(); ++i)
        m_poolSelector->addItem(m_poolIcons ? m_poolIcons(*choices[i]) : QIcon(), choices[i]->itemName(),
                                static_cast<int>(i));
    m_updating = false;
    showSelectedPool();
}

void HXAdHocTimerWindow::setPoolIcons(PoolIcons icons) {
    m_poolIcons = std::move(icons);
    reloadPools();
}

void HXAdHocTimerWindow::showSelectedPool() {
    const std::vector<HXDictionaryRef>& choices = m_timer.poolChoices();
    const HXDictionaryRef selected = m_timer.pool();
    int choice = 0;
    for (std::size_t i = 1; i < choices.size(); ++i) {
        if (choices[i] == selected)
            choice = static_cast<int>(i);
    }
    m_updating = true;
    m_poolSelector->setCurrentIndex(std::max(0, m_poolSelector->findData(choice)));
    m_updating = false;
}

void HXAdHocTimerWindow::choosePool(int index) {
    if (m_updating)
        return;
    const int choice = m_poolSelector->itemData(index).toInt();
    const std::vector<HXDictionaryRef>& choices = m_timer.poolChoices();
    if (choice > 0 && choice < static_cast<int>(choices.size()))
        m_timer.selectPool(choices[static_cast<std::size_t>(choice)]);
    else
        m_timer.selectPool(nullptr);
}

void HXAdHocTimerWindow::reloadSuggestions() {
    m_suggestions->clear();
    const std::vector<HXNameSuggestion> suggestions = m_timer.suggestionsForTextField();
    const QString suffix = HXAdHocTimer::suggestionTitleSuffixFormat();
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        const HXNameSuggestion& suggestion = suggestions[i];
        if (suggestion.isSeparator())
            continue;
        auto* item = new QStandardItem(suggestion.representedStringValue + suffix.arg(suggestion.title));
        item->setData(suggestion.representedStringValue, kEntryRole);
        item->setData(static_cast<int>(i), kSuggestionRole);
        item->setEditable(false);
        m_suggestions->appendRow(item);
    }
}

void HXAdHocTimerWindow::showName() {
    m_updating = true;
    m_nameField->setText(m_timer.name());
    m_updating = false;
}

void HXAdHocTimerWindow::showDisplay() {
    m_timerField->setText(m_timer.timerText());
    QPalette colors = m_timerField->palette();
    const QPalette::ColorGroup group = m_timer.isTimerTextDimmed() ? QPalette::Disabled : QPalette::Active;
    colors.setColor(QPalette::WindowText, palette().color(group, QPalette::WindowText));
    m_timerField->setPalette(colors);
    m_pauseButton->setText(m_timer.pauseButtonTitle());
}
