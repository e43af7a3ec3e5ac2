#pragma once

#include "hotkeys/HXHotKeyContext.h"

#include <QWidget>

#include <functional>
#include <memory>

class HXHotKey;
class HXHotKeyClearButton;
class HXHotKeyDelegate;
class HXScheduler;
struct HXKeyboardEvent;

// The field in which the user records a hot key: a click starts recording, the next key with its
// modifiers becomes the hot key (after the delegate agrees), a bare Escape, the time-out of 30 seconds, a
// click elsewhere or the window losing or gaining activation end it. Shows the hot key as modifier
// symbols and the key's name, or "None"; a local hot key on a pale background.
class HXHotKeyTextView : public QWidget {
    Q_OBJECT

public:
    // Asks whether to use a hot key without shift, control or option; true for the default button.
    using Confirmation = std::function<bool(const QString& title, const QString& message,
                                            const QString& defaultButton, const QString& otherButton)>;

    HXHotKeyTextView(const HXHotKeyContext& context, HXScheduler& scheduler, QWidget* parent = nullptr);
    ~HXHotKeyTextView() override;

    const std::shared_ptr<HXHotKey>& hotKey() const { return m_hotKey; }
    void setHotKey(std::shared_ptr<HXHotKey> hotKey);
    HXHotKeyClearButton* deleteButton() const { return m_deleteButton; }
    void setDeleteButton(HXHotKeyClearButton* button);
    HXHotKeyDelegate* hotKeyDelegate() const { return m_hotKeyDelegate; }
    void setHotKeyDelegate(HXHotKeyDelegate* delegate);
    void setConfirmation(Confirmation confirmation) { m_confirmation = std::move(confirmation); }

    bool isRecording() const { return m_recording; }
    // The text shown.
    QString displayText() const { return m_text; }
    // The clear button's action: clears the hot key, or with none and not recording, starts recording.
    void deleteHotKey();
    void activelyResignFirstResponder();
    void timeOutFirstResponder();
    // A key press while recording.
    void recordKeyEvent(const HXKeyboardEvent& event);

    void setVisible(bool visible) override;
    QSize sizeHint() const override;

    static constexpr double kRecordingTimeout = 30;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void beginRecording();
    void endRecording();
    void updateDisplayForFirstResponder(bool on);
    void updateText();
    void updateClearButton();
    QString identifier() const;

    HXHotKeyContext m_context;
    HXScheduler& m_scheduler;
    HXHotKeyClearButton* m_deleteButton = nullptr;
    HXHotKeyDelegate* m_hotKeyDelegate = nullptr;
    std::shared_ptr<HXHotKey> m_hotKey;
    bool m_isActivelyResigningFirstResponder = false;
    bool m_recording = false;
    bool m_focusFromClearButton = false;
    QString m_text;
    Confirmation m_confirmation;
};
