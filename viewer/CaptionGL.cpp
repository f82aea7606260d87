#include "viewer/CaptionGL.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

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
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_ALPHA_TEST); // what is transparent around the letters is not drawn at all
  glAlphaFunc(GL_GREATER, 0.0f);
  glEnable(GL_BLEND);
  glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glWindowPos2i(x, y);
  glDrawPixels(_image.width(), _image.height(), GL_RGBA, GL_UNSIGNED_BYTE, _image.constBits());
  glPopAttrib();
}
