#pragma once

#include <QAbstractButton>

class HXHotKeyTextView;

// The small button next to a hot key recorder: clears the hot key when one is set or recording is in
// progress (a cross), starts recording otherwise (a plus). It never takes the focus from the recorder.
class HXHotKeyClearButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit HXHotKeyClearButton(QWidget* parent = nullptr);

    HXHotKeyTextView* hotKeyTextView() const { return m_textView; }
    void setHotKeyTextView(HXHotKeyTextView* view);
    // Whether it shows the cross (clearing) rather than the plus (recording).
    bool showsClear() const;
    // Names the button by what it does now, for tooltips and assistive tools.
    void updateDescription();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HXHotKeyTextView* m_textView = nullptr;
};
