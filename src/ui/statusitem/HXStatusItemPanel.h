#pragma once

#include "animation/HXAlphaValueAnimationWindow.h"

class HXScopeBar;
class HXStatusItemPanelResizeView;
class QToolButton;
class QVBoxLayout;

// The panel that opens from the tray icon: frameless, above other windows, out of the taskbar. It holds
// the scope bar with the main menu's gear on its right, the content (the organizer or the live report)
// and the resize strip along its free edge. It fades in and out in steps of 0.12 and goes away on Escape
// and when it loses the focus, unless one of its dialogs is open.
class HXStatusItemPanel : public HXAlphaValueAnimationPanel {
    Q_OBJECT

public:
    HXStatusItemPanel(HXScheduler& scheduler, const HXUserDefaults& defaults,
                      HXFadeEnvironment* environment = nullptr);

    double alphaValueAnimationQuantum() const override { return 0.12; }

    HXScopeBar* scopeBar() const { return m_scopeBar; }
    QToolButton* mainMenuButton() const { return m_mainMenuButton; }
    QWidget* contentView() const { return m_contentView; }
    HXStatusItemPanelResizeView* resizeView() const { return m_resizeView; }
    // Above a tray at the bottom the strip moves to the top.
    void setStripAtTop(bool atTop);

    // A dialog of the panel is open (the notes editor, an alert): it stays.
    bool hasAttachedDialog() const;
    // Fades out and closes unless a dialog of it is open; false when it stays.
    bool vanishAndCloseIfAppropriate();

protected:
    // A hairline around the frameless panel, so that it stands apart from what lies behind it.
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QVBoxLayout* m_layout;
    HXScopeBar* m_scopeBar;
    QToolButton* m_mainMenuButton;
    QWidget* m_contentView;
    HXStatusItemPanelResizeView* m_resizeView;
};
