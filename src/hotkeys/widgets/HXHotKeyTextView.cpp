#include "hotkeys/widgets/HXHotKeyTextView.h"

#include "foundation/HXLocalization.h"
#include "foundation/HXScheduler.h"
#include "foundation/HXUserDefaults.h"
#include "hotkeys/HXHotKey.h"
#include "hotkeys/HXHotKeyDelegate.h"
#include "hotkeys/HXKeyCodeConverter.h"
#include "hotkeys/HXModifierFlags.h"
#include "hotkeys/widgets/HXHotKeyClearButton.h"
#include "hotkeys/widgets/HXQtKeyEvents.h"
#include "platform/HXHotKeyRegistrar.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>

namespace {

constexpr std::string_view kTimeOutAction = "timeOutFirstResponder";
constexpr double kDefaultFontSize = 12;
constexpr std::uint16_t kNoKeyCode = 0xFFFF;
// Shift, control or option: command alone does not make a combination safe to take from everyone.
constexpr std::uint64_t kSafeModifiers =
    HXModifierFlags::Shift | HXModifierFlags::Control | HXModifierFlags::Option;

bool askWithMessageBox(const QString& title, const QString& message, const QString& defaultButton,
                       const QString& otherButton) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Qualdern"), title);
    box.setInformativeText(message);
    QPushButton* use = box.addButton(defaultButton, QMessageBox::AcceptRole);
    box.addButton(otherButton, QMessageBox::RejectRole);
    box.setDefaultButton(use);
    box.exec();
    return box.clickedButton() == use;
}

} // namespace

HXHotKeyTextView::HXHotKeyTextView(const HXHotKeyContext& context, HXScheduler& scheduler, QWidget* parent)
    : QWidget(parent), m_context(context), m_scheduler(scheduler), m_confirmation(askWithMessageBox) {
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QFont font = this->font();
    font.setPointSizeF(kDefaultFontSize);
    setFont(font);
    updateText();
}

HXHotKeyTextView::~HXHotKeyTextView() {
    m_scheduler.cancelPerforms(this, kTimeOutAction);
}

QString HXHotKeyTextView::identifier() const {
    return m_hotKeyDelegate ? m_hotKeyDelegate->identifierForHotKeyTextView(this) : QString();
}

void HXHotKeyTextView::setHotKeyDelegate(HXHotKeyDelegate* delegate) {
    m_hotKeyDelegate = delegate;
    QFont font = this->font();
    const std::optional<double> size = delegate ? delegate->fontSizeForHotKeyTextView(this) : std::nullopt;
    font.setPointSizeF(size && *size > 0 ? *size : kDefaultFontSize);
    setFont(font);
    updateGeometry();
}

void HXHotKeyTextView::setDeleteButton(HXHotKeyClearButton* button) {
    m_deleteButton = button;
    if (button)
        button->setHotKeyTextView(this);
    updateClearButton();
}

void HXHotKeyTextView::setHotKey(std::shared_ptr<HXHotKey> hotKey) {
    m_hotKey = std::move(hotKey);
    updateText();
    updateClearButton();
    if (m_hotKeyDelegate)
        m_hotKeyDelegate->didSetHotKey(m_hotKey, identifier());
}

void HXHotKeyTextView::updateText() {
    if (m_hotKey)
        m_text = m_hotKey->visualRepresentation();
    else
        m_text = m_recording ? QStringLiteral(" ") : HXLocalized("None");
    setAccessibleName(m_hotKey ? m_text : HXLocalized("None"));
    setAccessibleDescription(m_recording ? HXLocalized("Type the hot key") : QString());
    update();
}

void HXHotKeyTextView::updateClearButton() {
    if (!m_deleteButton)
        return;
    // The plus starts recording, so the button is always of use.
    m_deleteButton->setEnabled(true);
    m_deleteButton->updateDescription();
    m_deleteButton->update();
}

void HXHotKeyTextView::updateDisplayForFirstResponder(bool on) {
    m_recording = on;
    updateText();
    updateClearButton();
}

void HXHotKeyTextView::beginRecording() {
    m_scheduler.cancelPerforms(this, kTimeOutAction);
    m_scheduler.performAfterDelay(this, kTimeOutAction, kRecordingTimeout,
                                  [this] { timeOutFirstResponder(); });
    updateDisplayForFirstResponder(true);
}

void HXHotKeyTextView::endRecording() {
    m_scheduler.cancelPerforms(this, kTimeOutAction);
    if (m_recording)
        updateDisplayForFirstResponder(false);
}

void HXHotKeyTextView::activelyResignFirstResponder() {
    m_isActivelyResigningFirstResponder = true;
    clearFocus();
    endRecording();
    m_isActivelyResigningFirstResponder = false;
}

void HXHotKeyTextView::timeOutFirstResponder() {
    if (m_recording)
        activelyResignFirstResponder();
}

void HXHotKeyTextView::deleteHotKey() {
    if (!m_hotKey && !m_recording) {
        m_focusFromClearButton = true;
        setFocus(Qt::OtherFocusReason);
        m_focusFromClearButton = false;
        return;
    }
    if (m_hotKey)
        m_hotKey->unregister();
    if (m_hotKeyDelegate && m_hotKeyDelegate->shouldSetHotKey(nullptr, identifier()))
        setHotKey(nullptr);
    if (m_recording)
        activelyResignFirstResponder();
    else
        update();
}

void HXHotKeyTextView::recordKeyEvent(const HXKeyboardEvent& event) {
    const std::uint64_t flags = event.modifierFlags;
    const bool bareEscape = event.type == HXKeyboardEvent::Type::KeyDown &&
                            !(flags & HXModifierFlags::Modifiers) &&
                            !m_context.defaults.boolForKey(u"HXHotKeyTextView: Ignore Meta Keys") &&
                            !event.characters.isEmpty() && event.characters[0] == QChar(27);
    if (bareEscape) {
        activelyResignFirstResponder();
        return;
    }
    const QString id = identifier();
    auto hotKey = HXHotKey::hotKeyWithIdentifer(
        m_context, id,
        visualKeyboardEventRepresentation(event, m_context.layout,
                                          HXHotKey::requireExactModifierMatches(m_context.defaults)),
        event.keyCode, flags);
    if (m_hotKeyDelegate) {
        if (const std::optional<bool> canBeLocal = m_hotKeyDelegate->hotKeyCanBeLocal(*hotKey))
            hotKey->setCanBeLocal(*canBeLocal);
    }
    // A key without a place on the keyboard cannot be a hot key.
    if (event.keyCode == kNoKeyCode || !m_hotKeyDelegate || !hotKey->testForDelegate(*m_hotKeyDelegate)) {
        QApplication::beep();
        return;
    }
    if (!(flags & kSafeModifiers) && !hotKey->isLocal()) {
        if (QWidget* top = window())
            top->activateWindow();
        const QString shown = hotKey->visualRepresentation();
        const bool use = m_confirmation(
            HXLocalized("Use \"%@\"?").replace(QStringLiteral("%@"), shown),
            HXLocalized("Some applications might not respond properly to your input with the key "
                        "combination \"%@\" being reserved as a hot key.")
                .replace(QStringLiteral("%@"), shown),
            HXLocalized("Use \"%@\"").replace(QStringLiteral("%@"), shown), HXLocalized("Cancel"));
        if (!use) {
            activelyResignFirstResponder();
            return;
        }
    }
    if (m_hotKeyDelegate->shouldSetHotKey(hotKey, id))
        setHotKey(hotKey);
    activelyResignFirstResponder();
}

bool HXHotKeyTextView::event(QEvent* event) {
    if (m_recording) {
        // Tab is recorded rather than moving the focus, and shortcuts do not reach the menus.
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
                keyPressEvent(key);
                return true;
            }
        }
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void HXHotKeyTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_recording) {
        setFocus(Qt::MouseFocusReason);
        if (hasFocus() && !m_recording)
            beginRecording();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void HXHotKeyTextView::keyPressEvent(QKeyEvent* event) {
    if (!m_recording) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (event->isAutoRepeat() || HXIsModifierKey(event->key()))
        return;
    const std::uint64_t sides = m_context.registrar ? m_context.registrar->heldModifierSides() : 0;
    recordKeyEvent(HXKeyboardEventFromQKeyEvent(*event, m_context.layout, sides));
}

void HXHotKeyTextView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Recording starts only by a click (or the clear button), never by the focus coming back.
    if (event->reason() == Qt::MouseFocusReason || m_focusFromClearButton)
        beginRecording();
    else
        activelyResignFirstResponder();
}

void HXHotKeyTextView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    endRecording();
}

void HXHotKeyTextView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        update();
        if (m_recording && !isActiveWindow())
            activelyResignFirstResponder();
    }
}

void HXHotKeyTextView::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (m_deleteButton)
        m_deleteButton->setVisible(visible);
}

QSize HXHotKeyTextView::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QLatin1Char('M')) * 10, metrics.height() + 10);
}

void HXHotKeyTextView::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    QPainter painter(this);
    const bool keyWindow = isActiveWindow();
    const QPalette& colors = palette();
    const bool local = m_hotKey && m_hotKey->isLocal();
    QColor background = colors.color(QPalette::Base);
    QColor text = m_hotKey ? colors.color(QPalette::Text) : colors.color(QPalette::PlaceholderText);
    if (m_recording) {
        background = colors.color(keyWindow ? QPalette::Active : QPalette::Inactive, QPalette::Highlight);
        text = colors.color(keyWindow ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText);
    } else if (local) {
        // A hot key that works only in this program stands out on a pale background.
        background = keyWindow ? QColor::fromRgbF(1.0, 0.9, 0.63) : QColor::fromRgbF(0.9, 0.9, 0.9);
        text = Qt::black;
    }
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    if (m_recording)
        frame.state |= QStyle::State_HasFocus;
    const int inset = frame.lineWidth;
    painter.fillRect(rect().adjusted(inset, inset, -inset, -inset), background);
    style()->drawPrimitive(QStyle::PE_FrameLineEdit, &frame, &painter, this);
    painter.setPen(text);
    const QRect textRect = rect().adjusted(inset + 3, 0, -inset - 3, 0);
    painter.drawText(textRect, Qt::AlignCenter,
                     fontMetrics().elidedText(m_text, Qt::ElideRight, textRect.width()));
}
