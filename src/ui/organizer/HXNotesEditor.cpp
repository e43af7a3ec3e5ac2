#include "ui/organizer/HXNotesEditor.h"

#include "engine/HXMainController.h"
#include "engine/HXUserInterfacePort.h"
#include "foundation/HXLocalization.h"
#include "foundation/HXStringChecks.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace HXKeys;

HXNotesEditor::HXNotesEditor(HXMainController& controller)
    : QDialog(nullptr), m_controller(controller), m_header(new QLabel(this)),
      m_text(new QPlainTextEdit(this)) {
    setWindowTitle(QString());
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_header->setTextFormat(Qt::PlainText);
    m_header->setWordWrap(true);
    layout->addWidget(m_header);
    m_text->setAccessibleName(HXLocalized("Notes"));
    m_text->setTabChangesFocus(true);
    layout->addWidget(m_text, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QDialogButtonBox::Cancel);
    QPushButton* done = buttons->addButton(HXLocalized("Done"), QDialogButtonBox::AcceptRole);
    done->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &HXNotesEditor::noteEditorDone);
    connect(buttons, &QDialogButtonBox::rejected, this, &HXNotesEditor::noteEditorCancel);
    layout->addWidget(buttons);
    resize(420, 300);
}

HXNotesEditor::~HXNotesEditor() {
    if (m_pool)
        m_controller.setModal(false);
}

bool HXNotesEditor::editNotesForPool(const HXDictionaryRef& pool, QWidget* referenceWindow) {
    if (!pool || m_pool) {
        m_controller.services().ui.beep();
        return false;
    }
    m_pool = pool;
    m_header->setText(HXLocalized("\"%@\" - Notes").replace(QStringLiteral("%@"), pool->itemName()));
    const QString& notes = pool->stringForKey(PoolNotes);
    m_text->setPlainText(trimmedString(notes).isEmpty() ? QString() : notes);
    m_controller.setModal(true);
    if (referenceWindow) {
        if (!referenceWindow->isVisible())
            referenceWindow->show();
        referenceWindow->raise();
        referenceWindow->activateWindow();
        // A sheet never outgrows its window.
        setParent(referenceWindow, windowFlags());
        setMaximumSize(referenceWindow->size().expandedTo(QSize(240, 160)));
    }
    show();
    m_text->setFocus();
    return true;
}

void HXNotesEditor::noteEditorDone() {
    if (m_pool) {
        const QString text = m_text->toPlainText();
        const QString trimmed = trimmedString(text);
        // Compared exactly: a locale comparison would call an edit of letter case no change, and lose it.
        if (trimmed != trimmedString(m_pool->stringForKey(PoolNotes))) {
            m_controller.pushUndoStateAndClearRedoStatesAfterDelay();
            if (trimmed.isEmpty())
                m_pool->remove(PoolNotes);
            else
                m_pool->setValue(PoolNotes, text);
        }
    }
    noteEditorCancel();
}

void HXNotesEditor::noteEditorCancel() {
    hide();
    if (!m_pool)
        return;
    m_pool.reset();
    m_controller.setModal(false);
}

void HXNotesEditor::reject() {
    noteEditorCancel();
}
