#pragma once

#include <QColor>
#include <QImage>
#include <QString>

// A line of text drawn over the scene in window pixels, neither lit nor turned with the pose, and
// part of every frame read back; the canvas labels the scale bar with it. Plain value; an empty text
// draws nothing.
class CaptionGL {
public:
  void setText(const QString& text) { _text = text; }
  const QString& getText() const { return _text; }

  // The text in `color`, with letters of `pixelSize` pixels, transparent around the letters.
  QImage image(const QColor& color, int pixelSize) const;
  // Draws the text with its lower left corner at pixel (x, y) of the current draw buffer; needs a
  // current context. Keeps the image between frames.
  void glDraw(int x, int y, const QColor& color, int pixelSize) const;

private:
  QString _text;
  mutable QImage _image; // drawn last, for the text, colour and size it was made for
  mutable QString _imageText;
  mutable QColor _imageColor;
  mutable int _imagePixelSize = 0;
};
