#pragma once

#include <QApplication>

#include <functional>

class QKeyEvent;

// The program's application object: key presses go to the hot key handler first (a local hot key takes
// its press), and every key, mouse and scroll event it sees counts as activity for idle detection.
class HXApplication : public QApplication {
    Q_OBJECT

public:
    HXApplication(int& argc, char** argv);

    void setActivityHandler(std::function<void()> handler) { m_activity = std::move(handler); }
    // True when the handler took the key press; it then goes nowhere else.
    void setKeyPressHandler(std::function<bool(const QKeyEvent&)> handler) {
        m_keyPress = std::move(handler);
    }

protected:
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void()> m_activity;
    std::function<bool(const QKeyEvent&)> m_keyPress;
};
