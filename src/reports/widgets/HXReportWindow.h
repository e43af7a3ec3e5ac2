#pragma once

#include <QWidget>

class HXReportController;
class HXReportPane;
class HXReportView;
class HXUserDefaults;
class QComboBox;
class QMenu;
class QToolButton;

// The window of one report, holding its pane: the live report's in window mode, a snapshot's always. The
// frame is kept under "Window Frame: <autosave name>"; closing it tells the controller that the user
// closed it.
class HXReportWindow : public QWidget {
    Q_OBJECT

public:
    // The window holds the pane while it is attached, as a child; null leaves it empty.
    HXReportWindow(HXReportController& controller, HXUserDefaults& defaults, QString autosaveName,
                   HXReportPane* pane, QWidget* parent = nullptr);
    ~HXReportWindow() override;

    HXReportController& controller() const { return m_controller; }
    // The pane it holds, or null.
    HXReportPane* pane() const { return m_pane; }
    void attachPane(HXReportPane* pane);
    // Takes the pane out, without a parent; the window hides first, not counting as closed by the user.
    HXReportPane* detachPane();

    // Of the pane it holds.
    HXReportView& view() const;
    QToolButton& viewButton() const;
    QComboBox& intervalSelector() const;
    QMenu& viewMenu() const;

    // The saved frame when it lies on a screen, else the frame given (the default).
    void restoreFrame(const QRect& fallback);
    // The right half of the first screen, inset as the live report wants it; null without a screen.
    static QRect halfScreenFrame();
    void setStaysInFront(bool stay);
    // Hides the window without counting as closed by the user.
    void hideQuietly();

Q_SIGNALS:
    // Closed by its close button (or a close asked for): the window is hidden now.
    void windowWillClose(HXReportWindow* window);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void saveFrame();

    HXReportController& m_controller;
    HXUserDefaults& m_defaults;
    QString m_autosaveName;
    HXReportPane* m_pane = nullptr;
    bool m_restoringFrame = false;
    bool m_quiet = false;
};
