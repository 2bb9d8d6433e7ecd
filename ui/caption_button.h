// The settings' push button. Its caption is kept exactly, trailing blanks included (they push
// the visible words towards the left edge); when a fallback font is too wide for a caption, the
// blanks are left out of the drawing before any letter would be cut off.
#pragma once

#include <QPushButton>

class QFontMetrics;

namespace eds {

// Caption without as many trailing blanks as it takes to fit Width pixels in Metrics' font; the
// caption unchanged when it fits or has no trailing blanks left to drop.
QString FitCaption(const QString& Caption, const QFontMetrics& Metrics, int Width);

class TCaptionButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* Event) override;
};

}  // namespace eds
