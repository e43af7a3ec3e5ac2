#pragma once

#include "foundation/HXDictionary.h"

#include <QDialog>

class HXMainController;
class QLabel;
class QPlainTextEdit;

// A pool's notes, edited in a window-modal dialog over the organizer's window. While it is open the
// main controller is modal. Done stores the text (an undo state first, only for a real change; notes
// that are empty once trimmed are removed); Cancel and Escape leave them as they were.
class HXNotesEditor : public QDialog {
    Q_OBJECT

public:
    explicit HXNotesEditor(HXMainController& controller);
    ~HXNotesEditor() override;

    // False (with a beep) without a pool or while the editor is already open.
    bool editNotesForPool(const HXDictionaryRef& pool, QWidget* referenceWindow);
    bool isOpen() const { return static_cast<bool>(m_pool); }
    const HXDictionaryRef& representedPool() const { return m_pool; }

    QLabel* headerField() const { return m_header; }
    QPlainTextEdit* textView() const { return m_text; }

public Q_SLOTS:
    void noteEditorDone();
    void noteEditorCancel();

protected:
    void reject() override;

private:
    HXMainController& m_controller;
    HXDictionaryRef m_pool;
    QLabel* m_header;
    QPlainTextEdit* m_text;
};
