#include "viewer/CaptionGL.h"

#include "viewer/OverlayImageGL.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

QImage CaptionGL::image(const QColor& color, int pixelSize) const {
  QFont font;
  font.setPixelSize(pixelSize);
  const QFontMetrics metrics(font);
  QImage picture(metrics.horizontalAdvance(_text) + 2, metrics.height(), QImage::Format_RGBA8888);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter, _text);
  return picture;
}

void CaptionGL::glDraw(int x, int y, const QColor& color, int pixelSize) const {
  if (_text.isEmpty()) return;
  if (_image.isNull() || _imageText != _text || _imageColor != color || _imagePixelSize != pixelSize) {
    _image = image(color, pixelSize).mirrored(); // OpenGL rows run bottom-up
    _imageText = _text;
    _imageColor = color;
    _imagePixelSize = pixelSize;
  }
  glDrawOverlayImage(_image, x, y);
}
