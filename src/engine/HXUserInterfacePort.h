#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A modal question to the user: the answer is the index of the chosen button.
struct HXAlert {
    QString title;
    QString message;
    QString informativeText;
    QStringList buttons;
};

struct HXOpenPanelRequest {
    QString title;
    QStringList fileTypes;
    QString startPath;
};

// A folder to choose: the panel's title, its confirming button's text (the desktop's when empty), where
// it starts, whether new folders may be made in it, and a note shown in it (none when empty).
struct HXFolderPanelRequest {
    QString title;
    QString prompt;
    QString startPath;
    bool canCreateFolders = true;
    QString message;
};

// What the engine asks of the user interface; the widgets implement it, tests answer it.
class HXUserInterfacePort {
public:
    virtual ~HXUserInterfacePort() = default;

    virtual void bringToFront() = 0;
    virtual void beep() = 0;
    // The index of the chosen button.
    virtual int runAlert(const HXAlert& alert) = 0;
    // A chosen file, or nothing when cancelled.
    virtual std::optional<QString> runOpenPanel(const HXOpenPanelRequest& request) = 0;
    // A chosen folder, or nothing when cancelled (always, where no panel can be shown).
    virtual std::optional<QString> runFolderPanel(const HXFolderPanelRequest&) { return std::nullopt; }
};
