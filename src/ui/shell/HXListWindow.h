#pragma once

#include <QMainWindow>
#include <QTimer>

class HXUserDefaults;

// The organizer's window in window mode: the organizer with the menu bar above it. Closing it by its
// close button is remembered ("Organizer: Closed"), so that the next launch leaves it closed; its frame
// is kept under the autosave name "Organizer".
class HXListWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HXListWindow(HXUserDefaults& defaults, QWidget* parent = nullptr);
    ~HXListWindow() override;

    // Floats above other windows with "Organizer: Stay In Front".
    void applyStayInFront();
    // The organizer's container, which the status item's panel borrows in the other mode.
    void setContainer(QWidget* container);

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    HXUserDefaults& m_defaults;
    // Frames are written once the window rests.
    QTimer m_frameSave;
};
