#include "rendering/ShapePainterAttributesGL.h"

#include "foundation/ErrorThrowing.h"

#include <iostream>

namespace {

template <class V> void copyIfDefined(std::optional<V>& target, const std::optional<V>& source) {
  if (source) target = *source;
}

template <class V>
void keepIfEqual(std::optional<V>& result, const std::optional<V>& a, const std::optional<V>& b) {
  if (a && b && *a == *b) result = *a;
}

bool sameColor(const Vector<int>& a, const Vector<int>& b) {
  if (a.getSize() != b.getSize()) return false;
  for (int i = 0; i < a.getSize(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

template <class V> void printLine(const char* label, const std::optional<V>& value) {
  std::cout << label;
  if (value)
    std::cout << *value << " at " << static_cast<const void*>(&*value) << "\n";
  else
    std::cout << "(none)\n";
}

} // namespace

ShapePainterAttributesGL::ShapePainterAttributesGL()
    : _displayMode(DISPLAY_MODE_NONE), _lineWidth(1.0f), _opacity(255.0f), _shininess(32.0f),
      _symbolSize(10.0f), _vertexSymbol(VERTEX_SYMBOL_DOT), _visibility(true) {}

ShapePainterAttributesGL::ShapePainterAttributesGL(Empty) {}

ShapePainterAttributesGL::ShapePainterAttributesGL(const ShapePainterAttributesGL& other) {
  update(other);
}

ShapePainterAttributesGL& ShapePainterAttributesGL::operator=(const ShapePainterAttributesGL& other) {
  if (this == &other) return *this;
  clear();
  update(other);
  return *this;
}

ShapePainterAttributesGL::~ShapePainterAttributesGL() = default;

void ShapePainterAttributesGL::clear() {
  _color.reset();
  _displayMode.reset();
  _lineWidth.reset();
  _opacity.reset();
  _shininess.reset();
  _verticesSmoothing.reset();
  _normalsSmoothing.reset();
  _symbolSize.reset();
  _vertexSymbol.reset();
  _visibility.reset();
  _beginCapFlag.reset();
  _endCapFlag.reset();
}

void ShapePainterAttributesGL::update(const ShapePainterAttributesGL& other) {
  copyIfDefined(_color, other._color);
  copyIfDefined(_displayMode, other._displayMode);
  copyIfDefined(_lineWidth, other._lineWidth);
  copyIfDefined(_opacity, other._opacity);
  copyIfDefined(_shininess, other._shininess);
  copyIfDefined(_verticesSmoothing, other._verticesSmoothing);
  copyIfDefined(_normalsSmoothing, other._normalsSmoothing);
  copyIfDefined(_symbolSize, other._symbolSize);
  copyIfDefined(_vertexSymbol, other._vertexSymbol);
  copyIfDefined(_visibility, other._visibility);
  copyIfDefined(_beginCapFlag, other._beginCapFlag);
  copyIfDefined(_endCapFlag, other._endCapFlag);
}

ShapePainterAttributesGL ShapePainterAttributesGL::intersection(const ShapePainterAttributesGL& other) const {
  ShapePainterAttributesGL result(Empty::Tag);
  if (_color && other._color && sameColor(*_color, *other._color)) result._color = *_color;
  keepIfEqual(result._displayMode, _displayMode, other._displayMode);
  keepIfEqual(result._lineWidth, _lineWidth, other._lineWidth);
  keepIfEqual(result._opacity, _opacity, other._opacity);
  keepIfEqual(result._shininess, _shininess, other._shininess);
  keepIfEqual(result._verticesSmoothing, _verticesSmoothing, other._verticesSmoothing);
  keepIfEqual(result._normalsSmoothing, _normalsSmoothing, other._normalsSmoothing);
  keepIfEqual(result._symbolSize, _symbolSize, other._symbolSize);
  keepIfEqual(result._vertexSymbol, _vertexSymbol, other._vertexSymbol);
  keepIfEqual(result._visibility, _visibility, other._visibility);
  keepIfEqual(result._beginCapFlag, _beginCapFlag, other._beginCapFlag);
  keepIfEqual(result._endCapFlag, _endCapFlag, other._endCapFlag);
  return result;
}

bool ShapePainterAttributesGL::operator==(const ShapePainterAttributesGL& other) const {
  const ShapePainterAttributesGL common = intersection(other);
  return common.useColor() && common.useDisplayMode() && common.useLineWidth() && common.useOpacity() &&
         common.useShininess() && common.useVerticesSmoothing() && common.useNormalsSmoothing() &&
         common.useSymbolSize() && common.useVertexSymbol() && common.useVisibility() &&
         common.hasBeginCapFlag() && common.hasEndCapFlag();
}

void ShapePainterAttributesGL::setColor(const Vector<int>& color) {
  _color = Vector<int>(color);
}

bool ShapePainterAttributesGL::getVisibility() const {
  if (!_visibility) throwError<ProgramError>(OSTREL_HERE, "Visibility: undefined attribute");
  return *_visibility;
}

bool ShapePainterAttributesGL::getBeginCapFlag() const {
  if (!_beginCapFlag) throwError<ProgramError>(OSTREL_HERE, "Begin cap flag: undefined attribute");
  return *_beginCapFlag;
}

bool ShapePainterAttributesGL::getEndCapFlag() const {
  if (!_endCapFlag) throwError<ProgramError>(OSTREL_HERE, "End cap flag: undefined attribute");
  return *_endCapFlag;
}

void ShapePainterAttributesGL::print(const std::string& title) const {
  if (!title.empty()) std::cout << title << "\n";
  std::cout << "Color        = ";
  if (_color)
    std::cout << static_cast<const void*>(&*_color) << "\n";
  else
    std::cout << "(none)\n";
  printLine("Display mode = ", _displayMode);
  printLine("LineWidth    = ", _lineWidth);
  printLine("Transparency = ", _opacity);
  printLine("Shininess    = ", _shininess);
  printLine("Symbol size  = ", _symbolSize);
  printLine("Symbol type  = ", _vertexSymbol);
}
