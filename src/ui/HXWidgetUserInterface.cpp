#include "ui/HXWidgetUserInterface.h"

#include <QApplication>

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

void HXWidgetUserInterface::bringToFront() {
    if (QWidget* window = QApplication::activeWindow()) {
        window->raise();
        window->activateWindow();
    }
}

void HXWidgetUserInterface::beep() {
    QApplication::beep();
}

int HXWidgetUserInterface::runAlert(const HXAlert& alert) {
    QMessageBox box;
    box.setWindowTitle(alert.title.isEmpty() ? QStringLiteral("Qualdern") : alert.title);
    box.setText(alert.message);
    box.setInformativeText(alert.informativeText);
    std::vector<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < alert.buttons.size(); ++i) {
        // The first button is the default, a button named "Cancel" answers Escape.
        const bool cancel = alert.buttons[i] == QApplication::translate("Qualdern", "Cancel");
        QPushButton* button =
            box.addButton(alert.buttons[i], cancel ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
        if (i == 0)
            box.setDefaultButton(button);
        buttons.push_back(button);
    }
    if (buttons.empty())
        buttons.push_back(box.addButton(QMessageBox::Ok));
    box.exec();
    const auto chosen = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    if (chosen == buttons.end())
        return static_cast<int>(buttons.size()) - 1;
    return static_cast<int>(chosen - buttons.begin());
}

std::optional<QString> HXWidgetUserInterface::runOpenPanel(const HXOpenPanelRequest& request) {
    QStringList patterns;
    for (const QString& type : request.fileTypes)
        patterns.append(QStringLiteral("*.") + type);
    const QString path = QFileDialog::getOpenFileName(nullptr, request.title, request.startPath,
                                                      patterns.isEmpty() ? QString() : patterns.join(u' '));
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> HXWidgetUserInterface::runFolderPanel(const HXFolderPanelRequest& request) {
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.startPath);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::ReadOnly, !request.canCreateFolders);
    if (!request.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (!request.message.isEmpty()) {
        // The note needs the dialog's own widgets, which the desktop's dialog does not offer.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            auto* note = new QLabel(request.message, &dialog);
            note->setWordWrap(true);
            note->setMaximumWidth(530);
            grid->addWidget(note, grid->rowCount(), 0, 1, -1);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
