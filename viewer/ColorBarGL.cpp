#include "viewer/ColorBarGL.h"

#include "viewer/OverlayImageGL.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>

ColorBarGL::ColorBarGL(const Colormap& colormap, float minimum, float maximum, const std::string& title)
    : _colormap(colormap), _minimum(minimum), _maximum(maximum), _title(title) {}

namespace {

// The step of the ticks: the largest of 1, 2, 5 times a power of ten that gives 4 to 8 ticks.
double tickStep(double minimum, double maximum) {
  const double range = maximum - minimum;
  const int top = static_cast<int>(std::ceil(std::log10(range)));
  double best = 0.0;
  int bestDistance = 1 << 30;
  for (int power = top; power >= top - 3; --power)
    for (double mantissa : {5.0, 2.0, 1.0}) {
      const double step = mantissa * std::pow(10.0, power);
      const double count = std::floor(maximum / step) - std::ceil(minimum / step) + 1;
      if (count >= 4 && count <= 8) return step;
      const int distance = static_cast<int>(std::min(std::abs(count - 6), 1e9));
      if (distance < bestDistance) bestDistance = distance, best = step;
    }
  return best;
}

} // namespace

std::vector<double> ColorBarGL::ticks(double minimum, double maximum) {
  if (!(maximum > minimum) || !std::isfinite(maximum - minimum)) return {minimum};
  const double step = tickStep(minimum, maximum);
  std::vector<double> values;
  const double first = std::ceil(minimum / step), last = std::floor(maximum / step);
  for (double n = first; n <= last && values.size() < 100; ++n) values.push_back(n * step);
  return values;
}

std::string ColorBarGL::tickLabel(double value, double step) {
  const int decimals = step > 0 ? std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9))) : 0;
  if (std::abs(value) < step * 1e-6) value = 0.0; // no "-0"
  char text[64];
  if (!(step > 0) || std::abs(value) >= 1e9 || decimals > 9) // a lone value: its own shortest form
    std::snprintf(text, sizeof text, "%g", value);
  else
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

QImage ColorBarGL::image(int pictureWidth, int pictureHeight, const QColor& textColor) const {
  const int side = std::min(pictureWidth, pictureHeight); // a narrow picture gets a slim legend
  const int barHeight = std::max(40, pictureHeight / 2);
  const int barWidth = std::max(8, side / 40);
  const int margin = std::max(4, side / 60);
  QFont font;
  font.setPixelSize(std::max(9, side / 45));
  const QFontMetrics metrics(font);

  const std::vector<double> values = ticks(_minimum, _maximum);
  const double step = values.size() > 1 ? values[1] - values[0] : 0.0;
  std::vector<QString> labels;
  int labelWidth = 0;
  for (double value : values) {
    labels.push_back(QString::fromStdString(tickLabel(value, step)));
    labelWidth = std::max(labelWidth, metrics.horizontalAdvance(labels.back()));
  }
  const QString title = QString::fromUtf8(_title.c_str());
  const int tick = barWidth / 2;
  const int width =
      std::max(labelWidth + margin + tick + barWidth + margin, metrics.horizontalAdvance(title) + margin);
  const int top = metrics.height() + margin; // the title's line, then the bar
  const int height = top + barHeight + metrics.height();

  QImage picture(width, height, QImage::Format_RGBA8888);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(textColor);
  const int barLeft = width - margin - barWidth;
  const int cells = _colormap.getSize();
  for (int y = 0; y < barHeight; ++y) {
    const int cell = std::min(cells - 1, (barHeight - 1 - y) * cells / barHeight);
    painter.fillRect(barLeft, top + y, barWidth, 1,
                     QColor(_colormap.getRed()[cell], _colormap.getGreen()[cell], _colormap.getBlue()[cell]));
  }
  painter.drawRect(barLeft - 1, top - 1, barWidth + 1, barHeight + 1);
  painter.drawText(QRect(0, 0, width - margin, metrics.height()), Qt::AlignRight | Qt::AlignVCenter, title);
  const double range = _maximum - _minimum;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double fraction = range > 0 ? (values[i] - _minimum) / range : 0.5;
    const int y = top + barHeight - 1 - static_cast<int>(std::lround(fraction * (barHeight - 1)));
    painter.drawLine(barLeft - tick, y, barLeft - 1, y);
    painter.drawText(QRect(0, y - metrics.height() / 2, barLeft - tick - 2, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, labels[i]);
  }
  return picture;
}

void ColorBarGL::glDraw(int width, int height, int left, int bottom, const QColor& textColor) const {
  if (!isShown()) return;
  if (_image.isNull() || _imageSize != QSize(width, height) || _imageColor != textColor) {
    _image = image(width, height, textColor).mirrored(); // OpenGL rows run bottom-up
    _imageSize = QSize(width, height);
    _imageColor = textColor;
  }
  const int x = width - _image.width();
  const int y = (height - _image.height()) / 2;
  glDrawOverlayImage(_image, x - left, y - bottom);
}
