#include "caption_button.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace eds {

QString FitCaption(const QString& Caption, const QFontMetrics& Metrics, int Width) {
    QString Shown = Caption;
    while (Shown.endsWith(QLatin1Char(' ')) && Metrics.horizontalAdvance(Shown) > Width)
        Shown.chop(1);
    return Shown;
}

void TCaptionButton::paintEvent(QPaintEvent* /*Event*/) {
    QStylePainter Painter(this);
    QStyleOptionButton Option;
    initStyleOption(&Option);
    const QRect Contents = style()->subElementRect(QStyle::SE_PushButtonContents, &Option, this);
    Option.text = FitCaption(Option.text, fontMetrics(), Contents.width());
    Painter.drawControl(QStyle::CE_PushButton, Option);
}

}  // namespace eds
