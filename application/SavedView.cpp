#include "application/SavedView.h"

#include "application/Scene.h"
#include "foundation/ErrorThrowing.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace {

using Attributes = ShapePainterAttributesGL;

const qint64 largestFile = 64 << 20; // far beyond a view of tens of thousands of shapes
const double far = 1e30;             // bounds coordinates, offsets and map values

// A display attribute as a number or flag of the file: its key, its range, and how it is read and set.
struct AttributeField {
  const char* key;
  double low, high; // both 0 for a flag
  std::function<bool(const Attributes&)> defined;
  std::function<double(const Attributes&)> get;
  std::function<void(Attributes&, double)> set;
};

const std::vector<AttributeField>& attributeFields() {
  static const std::vector<AttributeField> fields = {
      {"displayMode", 1, 5, &Attributes::useDisplayMode,
       [](const Attributes& a) { return a.getDisplayMode(); },
       [](Attributes& a, double v) { a.setDisplayMode(static_cast<DisplayModeGL>(v)); }},
      {"vertexSymbol", 0, 5, &Attributes::useVertexSymbol,
       [](const Attributes& a) { return a.getVertexSymbol(); },
       [](Attributes& a, double v) { a.setVertexSymbol(static_cast<VertexSymbolGL>(v)); }},
      {"symbolSize", 0, 1e6, &Attributes::useSymbolSize, &Attributes::getSymbolSize,
       [](Attributes& a, double v) { a.setSymbolSize(float(v)); }},
      {"lineWidth", 0, 100, &Attributes::useLineWidth, &Attributes::getLineWidth,
       [](Attributes& a, double v) { a.setLineWidth(float(v)); }},
      {"opacity", 0, 255, &Attributes::useOpacity, &Attributes::getOpacity,
       [](Attributes& a, double v) { a.setOpacity(float(v)); }},
      {"shininess", 0, 128, &Attributes::useShininess, &Attributes::getShininess,
       [](Attributes& a, double v) { a.setShininess(float(v)); }},
      {"verticesSmoothing", 0, 100, &Attributes::useVerticesSmoothing, &Attributes::getVerticesSmoothing,
       [](Attributes& a, double v) { a.setVerticesSmoothing(int(v)); }},
      {"normalsSmoothing", 0, 100, &Attributes::useNormalsSmoothing, &Attributes::getNormalsSmoothing,
       [](Attributes& a, double v) { a.setNormalsSmoothing(int(v)); }},
      {"visible", 0, 0, &Attributes::useVisibility, &Attributes::getVisibility,
       [](Attributes& a, double v) { a.setVisibility(v != 0); }},
      {"beginCap", 0, 0, &Attributes::hasBeginCapFlag, &Attributes::getBeginCapFlag,
       [](Attributes& a, double v) { a.setBeginCapFlag(v != 0); }},
      {"endCap", 0, 0, &Attributes::hasEndCapFlag, &Attributes::getEndCapFlag,
       [](Attributes& a, double v) { a.setEndCapFlag(v != 0); }},
  };
  return fields;
}

bool isFlag(const AttributeField& field) {
  return field.low == 0 && field.high == 0;
}

template <class T> QJsonArray arrayOf(const Vector<T>& v, int count) {
  QJsonArray array;
  for (int i = 0; i < count; ++i) array.append(static_cast<double>(v[i]));
  return array;
}

template <class T> Vector<T> vectorOf(const std::vector<double>& values) {
  Vector<T> v(static_cast<int>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) v[static_cast<int>(i)] = static_cast<T>(values[i]);
  return v;
}

QJsonObject attributesObject(const Attributes& a) {
  QJsonObject object;
  if (a.useColor()) object["color"] = arrayOf(a.getColor(), 3);
  for (const AttributeField& field : attributeFields())
    if (field.defined(a)) object[field.key] = isFlag(field) ? QJsonValue(field.get(a) != 0) : field.get(a);
  return object;
}

// The lengths of a view (clipping offsets, scale bar) multiplied by factor.
ViewState scaled(ViewState view, float factor) {
  for (ClipPlaneGL& plane : view.clipPlanes) plane.offset *= factor;
  if (view.scaleBar.isValid())
    view.scaleBar =
        BoundingBox<float>(view.scaleBar.getVertex1() * factor, view.scaleBar.getVertex2() * factor);
  return view;
}

// Reads the values of a view file, refusing one of the wrong kind or out of range; an absent key
// gives the fallback.
class Reader {
public:
  // where: the function that reads, which its errors name
  Reader(const char* where, const std::string& file) : _where(where), _file(file) {}

  [[noreturn]] void refuse(const std::string& what) const {
    throwFileError<FileFormatError>(_where, "Not a view of this program: " + what, _file);
  }

  QJsonObject object(const QJsonObject& in, const char* key) const {
    const QJsonValue value = in.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isObject()) refuse(std::string("'") + key + "' is not an object");
    return value.toObject();
  }

  QJsonArray array(const QJsonObject& in, const char* key) const {
    const QJsonValue value = in.value(QLatin1String(key));
    if (!value.isUndefined() && !value.isArray()) refuse(std::string("'") + key + "' is not a list");
    return value.toArray();
  }

  double number(const QJsonValue& value, const char* key, double low, double high) const {
    const double x = value.toDouble(std::nan(""));
    if (!(x >= low && x <= high))
      refuse(std::string("'") + key + "' is not a number from " + std::to_string(low) + " to " +
             std::to_string(high));
    return x;
  }

  double number(const QJsonObject& in, const char* key, double low, double high, double fallback) const {
    const QJsonValue value = in.value(QLatin1String(key));
    return value.isUndefined() ? fallback : number(value, key, low, high);
  }

  bool flag(const QJsonObject& in, const char* key, bool fallback) const {
    return flag(in.value(QLatin1String(key)), key, fallback);
  }

  bool flag(const QJsonValue& value, const char* key, bool fallback) const {
    if (value.isUndefined()) return fallback;
    if (!value.isBool()) refuse(std::string("'") + key + "' is not true or false");
    return value.toBool();
  }

  std::string text(const QJsonObject& in, const char* key, const std::string& fallback = {}) const {
    const QJsonValue value = in.value(QLatin1String(key));
    if (value.isUndefined()) return fallback;
    if (!value.isString()) refuse(std::string("'") + key + "' is not a text");
    return value.toString().toStdString();
  }

  // count numbers from low to high; fallback when the key is absent.
  std::vector<double> numbers(const QJsonObject& in, const char* key, int count, double low, double high,
                              std::vector<double> fallback) const {
    const QJsonValue value = in.value(QLatin1String(key));
    if (value.isUndefined()) return fallback;
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.size() != count)
      refuse(std::string("'") + key + "' is not a list of " + std::to_string(count) + " numbers");
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count));
    for (const QJsonValue& item : list) values.push_back(number(item, key, low, high));
    return values;
  }

  Attributes attributes(const QJsonObject& in) const {
    Attributes a;
    a.clear();
    if (in.contains(QLatin1String("color"))) a.setColor(vectorOf<int>(numbers(in, "color", 3, 0, 255, {})));
    for (const AttributeField& field : attributeFields()) {
      const QJsonValue value = in.value(QLatin1String(field.key));
      if (value.isUndefined()) continue;
      field.set(a, isFlag(field) ? flag(value, field.key, false)
                                 : number(value, field.key, field.low, field.high));
    }
    return a;
  }

private:
  const char* _where;
  const std::string& _file;
};

} // namespace

SavedView SavedView::of(const Scene& scene, float scaling) {
  SavedView view;
  view._view = scaled(scene.view(), 1.0f / scaling);
  view._colorMap = scene.shownMap();
  for (int row = 0; row < scene.size(); ++row) {
    const SceneItem& item = scene.at(row);
    view._looks.push_back({item.source(), item.shape().getName(), item.attributes()});
  }
  return view;
}

QByteArray SavedView::toJson() const {
  const ViewState& v = _view;
  QJsonObject root;
  root["version"] = version;
  root["pose"] = QJsonObject{{"rotation", arrayOf(v.rotation, 3)},
                             {"translation", QJsonArray{v.translationX, v.translationY}},
                             {"zoom", v.zoom},
                             {"lights", QJsonArray{v.ambientLight, v.diffuseLight, v.specularLight}}};
  root["background"] = QJsonObject{{"color", arrayOf(v.background.getColor(), 3)},
                                   {"gradient", v.background.isGradientEnabled()}};
  root["projection"] = QJsonObject{{"perspective", v.projection.isPerspective()},
                                   {"strength", v.projection.getPerspectiveStrength()}};
  root["sceneBox"] = QJsonObject{
      {"shown", v.sceneBoxShown}, {"scaling", v.sceneBoxScaling}, {"color", arrayOf(v.boxColor, 3)}};
  QJsonObject bar{{"shown", v.scaleBarShown}, {"caption", v.scaleBarCaption}};
  if (v.scaleBar.isValid() && v.scaleBar.getDimension() == 3) {
    bar["lower"] = arrayOf(v.scaleBar.getVertex1(), 3);
    bar["upper"] = arrayOf(v.scaleBar.getVertex2(), 3);
  }
  root["scaleBar"] = bar;
  QJsonObject map{{"variable", QString::fromStdString(_colorMap.getName())},
                  {"colorMap", QString::fromStdString(_colorMap.getColormapName())}};
  if (_colorMap.getMinimum()) map["minimum"] = *_colorMap.getMinimum();
  if (_colorMap.getMaximum()) map["maximum"] = *_colorMap.getMaximum();
  root["parametricMap"] = map;
  QJsonArray planes;
  for (const ClipPlaneGL& plane : v.clipPlanes)
    planes.append(QJsonObject{{"on", plane.enabled},
                              {"normal", QJsonArray{plane.normal[0], plane.normal[1], plane.normal[2]}},
                              {"offset", plane.offset}});
  root["clipPlanes"] = planes;
  QJsonArray looks;
  for (const Look& look : _looks)
    looks.append(QJsonObject{{"file", QString::fromStdString(look.file)},
                             {"name", QString::fromStdString(look.name)},
                             {"attributes", attributesObject(look.attributes)}});
  root["shapes"] = looks;
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

SavedView SavedView::fromJson(const QByteArray& json, const std::string& file) {
  const Reader read(OSTREL_HERE, file);
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(json, &error);
  if (document.isNull()) read.refuse("not JSON (" + error.errorString().toStdString() + ")");
  if (!document.isObject()) read.refuse("not a JSON object");
  const QJsonObject root = document.object();
  const QJsonValue fileVersion = root.value("version");
  if (fileVersion.toDouble(-1) != version)
    read.refuse("version " + (fileVersion.isDouble() ? std::to_string(fileVersion.toInt()) : "unknown") +
                ", this program reads version " + std::to_string(version));

  SavedView saved;
  ViewState& v = saved._view;
  const QJsonObject pose = read.object(root, "pose");
  v.rotation = vectorOf<float>(read.numbers(pose, "rotation", 3, -360, 360, {0, 0, 0}));
  const std::vector<double> translation = read.numbers(pose, "translation", 2, -far, far, {0, 0});
  v.translationX = float(translation[0]);
  v.translationY = float(translation[1]);
  v.zoom = float(read.number(pose, "zoom", 0.01, 10, 1));
  const std::vector<double> lights = read.numbers(pose, "lights", 3, 0, 255, {80, 128, 128});
  v.ambientLight = int(lights[0]);
  v.diffuseLight = int(lights[1]);
  v.specularLight = int(lights[2]);

  const QJsonObject background = read.object(root, "background");
  if (background.contains("color"))
    v.background.setColor(vectorOf<int>(read.numbers(background, "color", 3, 0, 255, {})));
  v.background.setGradientEnabled(read.flag(background, "gradient", true));
  const QJsonObject projection = read.object(root, "projection");
  if (!read.flag(projection, "perspective", true)) v.projection.setOrthographic();
  v.projection.setPerspectiveStrength(float(read.number(projection, "strength", 1, 5, 1)));

  const QJsonObject box = read.object(root, "sceneBox");
  v.sceneBoxShown = read.flag(box, "shown", true);
  v.sceneBoxScaling = int(read.number(box, "scaling", 100, 110, 110));
  if (box.contains("color")) v.boxColor = vectorOf<int>(read.numbers(box, "color", 3, 0, 255, {}));
  const QJsonObject bar = read.object(root, "scaleBar");
  v.scaleBarShown = read.flag(bar, "shown", false);
  v.scaleBarCaption = QString::fromStdString(read.text(bar, "caption"));
  if (bar.contains("lower") || bar.contains("upper"))
    v.scaleBar = BoundingBox<float>(vectorOf<float>(read.numbers(bar, "lower", 3, -far, far, {})),
                                    vectorOf<float>(read.numbers(bar, "upper", 3, -far, far, {})));

  const QJsonObject map = read.object(root, "parametricMap");
  saved._colorMap.setName(read.text(map, "variable"));
  const std::string colormap = read.text(map, "colorMap", "Grey");
  const std::vector<std::string>& names = ParameterData::colormapNames();
  if (std::find(names.begin(), names.end(), colormap) == names.end())
    read.refuse("no colour map " + colormap);
  saved._colorMap.setColormapName(colormap);
  if (map.contains("minimum"))
    saved._colorMap.updateMinimum(float(read.number(map, "minimum", -far, far, 0)));
  if (map.contains("maximum"))
    saved._colorMap.updateMaximum(float(read.number(map, "maximum", -far, far, 0)));

  const QJsonArray planes = read.array(root, "clipPlanes");
  if (planes.size() > ClipPlaneGL::count)
    read.refuse("more than " + std::to_string(ClipPlaneGL::count) + " clipping planes");
  for (int i = 0; i < planes.size(); ++i) {
    if (!planes[i].isObject()) read.refuse("a clipping plane is not an object");
    const QJsonObject plane = planes[i].toObject();
    ClipPlaneGL& into = v.clipPlanes[static_cast<std::size_t>(i)];
    into.enabled = read.flag(plane, "on", false);
    const std::vector<double> normal = read.numbers(plane, "normal", 3, -far, far, {0, 0, 1});
    into.normal = {normal[0], normal[1], normal[2]};
    into.offset = read.number(plane, "offset", -far, far, 0);
  }

  const QJsonArray shapes = read.array(root, "shapes");
  saved._looks.reserve(static_cast<std::size_t>(shapes.size()));
  for (const QJsonValue& item : shapes) {
    if (!item.isObject()) read.refuse("a shape is not an object");
    const QJsonObject shape = item.toObject();
    saved._looks.push_back({read.text(shape, "file"), read.text(shape, "name"),
                            read.attributes(read.object(shape, "attributes"))});
  }
  return saved;
}

void SavedView::write(const std::string& file) const {
  QFile out(QString::fromStdString(file));
  const QByteArray json = toJson();
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(json) != json.size() || !out.flush())
    throwFileError<FileWriteError>(OSTREL_HERE, "Cannot write the view: " + out.errorString().toStdString(),
                                   file);
}

SavedView SavedView::read(const std::string& file) {
  const char* const where = OSTREL_HERE;
  QFile in(QString::fromStdString(file));
  if (!in.open(QIODevice::ReadOnly))
    throwFileError<FileReadError>(where, "Cannot open the view: " + in.errorString().toStdString(), file);
  // Read in blocks up to the limit: a device such as /dev/zero has no size and no end, and one read
  // of the whole limit would set 64 MB aside for a file of a few kilobytes.
  QByteArray json;
  for (QByteArray block; json.size() <= largestFile && !(block = in.read(1 << 16)).isEmpty();) json += block;
  if (json.size() > largestFile)
    throwFileError<FileFormatError>(where, "Not a view of this program: larger than 64 MB", file);
  return fromJson(json, file);
}

std::vector<std::string> SavedView::applyTo(Scene& scene, float scaling) const {
  using Key = std::pair<std::string, std::string>; // the file's last component and the shape's name
  const auto keyOf = [](const std::string& file, const std::string& name) {
    return Key(file.substr(file.find_last_of('/') + 1), name);
  };
  std::map<Key, std::vector<const Look*>> looks;
  for (const Look& look : _looks) looks[keyOf(look.file, look.name)].push_back(&look);
  std::map<Key, std::size_t> taken;
  std::vector<std::pair<ItemId, ShapePainterAttributesGL>> changes;
  changes.reserve(static_cast<std::size_t>(scene.size()));
  for (int row = 0; row < scene.size(); ++row) {
    const SceneItem& item = scene.at(row);
    const Key key = keyOf(item.source(), item.shape().getName());
    const auto found = looks.find(key);
    std::size_t& n = taken[key];
    if (found != looks.end() && n < found->second.size())
      changes.emplace_back(item.id(), found->second[n++]->attributes);
  }
  std::vector<std::string> unmatched;
  for (const auto& [key, list] : looks)
    for (std::size_t i = taken[key]; i < list.size(); ++i)
      unmatched.push_back(list[i]->name + " (" + list[i]->file + ")");
  scene.applyEach(changes);
  scene.setView(scaled(_view, scaling));
  return unmatched;
}
