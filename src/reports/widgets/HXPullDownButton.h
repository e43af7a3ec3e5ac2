#pragma once

#include <QToolButton>

// A tool button that opens its menu at a click and shows so by a down arrow beside its text, centred on
// it as on a combo box. Some styles put that arrow into the button's lower corner, where it read as a stray
// mark under the text.
class HXPullDownButton : public QToolButton {
    Q_OBJECT

public:
    explicit HXPullDownButton(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The button as the style draws it without a menu: the arrow is drawn here.
    QStyleOptionToolButton plainOption() const;
    int arrowSize() const;
};
