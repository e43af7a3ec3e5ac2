#pragma once

#include <QDialog>
#include <QIcon>

#include <functional>

class HXAdHocTimer;
class HXDictionary;
class QComboBox;
class QCompleter;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

// The ad hoc timer's window: the pool selector, the name field with its suggestions ("entry - pool"),
// the running display, the pause button and the two closing buttons (keep, discard). It shows the
// timer's state and hands the user's input to the timer; it floats above ordinary windows.
class HXAdHocTimerWindow : public QDialog {
    Q_OBJECT

public:
    explicit HXAdHocTimerWindow(HXAdHocTimer& timer, QWidget* parent = nullptr);
    ~HXAdHocTimerWindow() override;

    QComboBox* poolSelector() const { return m_poolSelector; }
    QLineEdit* nameField() const { return m_nameField; }
    QLabel* timerField() const { return m_timerField; }
    QPushButton* pauseButton() const { return m_pauseButton; }
    QPushButton* keepButton() const { return m_keepButton; }
    QPushButton* discardButton() const { return m_discardButton; }
    QCompleter* completer() const { return m_completer; }
    // The icons shown next to the pools in the selector (none without).
    using PoolIcons = std::function<QIcon(const HXDictionary& pool)>;
    void setPoolIcons(PoolIcons icons);

    // Nothing: Escape must not throw the time away.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showWindow(bool center);
    void reloadPools();
    void showSelectedPool();
    void reloadSuggestions();
    void showName();
    void showDisplay();
    void choosePool(int index);

    HXAdHocTimer& m_timer;
    QComboBox* m_poolSelector;
    QLineEdit* m_nameField;
    QLabel* m_timerField;
    QPushButton* m_pauseButton;
    QPushButton* m_discardButton;
    QPushButton* m_keepButton;
    QCompleter* m_completer;
    QStandardItemModel* m_suggestions;
    PoolIcons m_poolIcons;
    bool m_updating = false;
};
