#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class HXFadeEnvironment;
class HXScheduler;
class HXStatusItemController;
class HXStatusItemPanel;
class HXStatusItemView;
class HXUserDefaults;
class QMenu;

// What the status item asks of the program around it (the main controller's side).
class HXStatusItemControllerDelegate {
public:
    virtual ~HXStatusItemControllerDelegate() = default;

    // False when insomnia may not be switched on; otherwise toggles it.
    virtual bool toggleInsomniaForStatusItemController(HXStatusItemController& controller) = 0;
    // Appends the main menu's entries to the menu.
    virtual void populateMainMenu(QMenu& menu, HXStatusItemController& controller) = 0;
    // The live report is about to show: its view should be loaded and up to date, visible or not.
    virtual void updateLiveReportForStatusItemController(HXStatusItemController&) {}
    virtual void beep() = 0;
};

// The program's tray icon and the panel it opens. A click (or a double click, which only opens) shows or
// hides the panel next to the icon; the right click shows the main menu, rebuilt as it opens; a middle
// click, or a click with Alt held, toggles insomnia, the first time with a hint. The panel holds the
// organizer and the live report behind its scope bar ("Organizer", "Activity Report").
class HXStatusItemController : public QObject {
    Q_OBJECT

public:
    // The scope bar's identifiers, which are also its titles before translation.
    static QString organizerIdentifier() { return QStringLiteral("Organizer"); }
    static QString activityReportIdentifier() { return QStringLiteral("Activity Report"); }

    struct Services {
        HXUserDefaults& defaults;
        HXScheduler& scheduler;
        HXFadeEnvironment* fadeEnvironment = nullptr;
    };

    HXStatusItemController(const Services& services, HXStatusItemControllerDelegate& delegate,
                           QObject* parent = nullptr);
    ~HXStatusItemController() override;

    QSystemTrayIcon& statusItem() const { return *m_statusItem; }
    HXStatusItemView& statusItemView() const { return *m_view; }
    QMenu& contextMenu() const { return *m_contextMenu; }
    // Made on first use and kept.
    HXStatusItemPanel& panel();
    bool hasPanel() const { return static_cast<bool>(m_panel); }

    // The views the scope bar switches between; ignored when either is missing.
    void setView(QWidget* view, const QString& identifier);
    QWidget* viewForIdentifier(const QString& identifier) const {
        return m_viewsByIdentifier.value(identifier);
    }
    // Selects the view "Status Item Shows Activity Report" names, as if the user had.
    void updateSelection();
    void scopeBarSelectedStateChanged(bool selected, const QString& identifier);

    bool isPanelVisible() const;
    // False when the panel could not be shown or hidden (the icon then beeps).
    bool setPanelVisible(bool visible);
    // Next to the tray icon when the tray tells where it is, else next to the pointer.
    void positionPanel();

    // A click on the icon with the modifiers held; false makes the caller beep.
    bool handleMouseDown(QSystemTrayIcon::ActivationReason reason, Qt::KeyboardModifiers modifiers);
    // The insomnia hint while it shows.
    QWidget* insomniaHint() const { return m_popover; }

    // Where the tray icon and the pointer are; the desktop's unless a test says otherwise.
    void setIconGeometryProvider(std::function<QRect()> provider) { m_iconGeometry = std::move(provider); }
    void setPointerProvider(std::function<QPoint()> provider) { m_pointer = std::move(provider); }

Q_SIGNALS:
    void panelVisibilityChanged(bool visible);

private:
    void updateStatusItem();
    void activated(QSystemTrayIcon::ActivationReason reason);
    void rebuildContextMenu();
    void showInsomniaHint();
    void savePanelFrame();
    void restorePanelFrame();

    Services m_services;
    HXStatusItemControllerDelegate& m_delegate;
    std::unique_ptr<HXStatusItemView> m_view;
    std::unique_ptr<QMenu> m_contextMenu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<HXStatusItemPanel> m_panel;
    std::unique_ptr<QMenu> m_mainMenu;
    QPointer<QWidget> m_popover;
    QHash<QString, QPointer<QWidget>> m_viewsByIdentifier;
    std::function<QRect()> m_iconGeometry;
    std::function<QPoint()> m_pointer;
};
