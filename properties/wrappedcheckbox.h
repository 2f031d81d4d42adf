#pragma once

#include <QCheckBox>

// A check box whose text wraps onto further lines within its width instead of
// being cut off, so a long text stays whole with large fonts. It keeps
// QCheckBox's class name (no Q_OBJECT of its own) and its text as set.
class WrappedCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    // The width the indicator and the gap after it take.
    int indicatorSpan() const;
    QRect textBounds(int textWidth) const;
};
