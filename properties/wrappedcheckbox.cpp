#include "properties/wrappedcheckbox.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace {
const int textFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
}

int WrappedCheckBox::indicatorSpan() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).left();
}

QRect WrappedCheckBox::textBounds(int textWidth) const
{
    return fontMetrics().boundingRect(QRect(0, 0, std::max(1, textWidth), 100000), textFlags, text());
}

QSize WrappedCheckBox::sizeHint() const
{
    // One line as wide as the text needs; heightForWidth tells the rest.
    const QSize single = QCheckBox::sizeHint();
    return QSize(single.width(), heightForWidth(width()));
}

int WrappedCheckBox::heightForWidth(int width) const
{
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    // A little room above and below for the focus frame.
    return std::max(indicator, textBounds(width - indicatorSpan()).height()) + 4;
}

void WrappedCheckBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString label = option.text;
    // The style draws the indicator (and the focus frame); the text is drawn
    // here so that it may wrap.
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);
    const QRect area(indicatorSpan(), 0, width() - indicatorSpan(), height());
    painter.drawItemText(area, textFlags, palette(), isEnabled(), label, QPalette::WindowText);
}

bool WrappedCheckBox::hitButton(const QPoint &position) const
{
    return rect().contains(position);
}
