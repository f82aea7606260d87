#include "rendering/FileKinds.h"

#include "foundation/FileBytes.h"
#include "foundation/MemoryStream.h"
#include "foundation/PathForReader.h"
#include "foundation/Trace.h"
#include "geometry/QuadMesh.h"
#include "geometry/ShapeFormats.h"
#include "imaging/ImageFileSignature.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VertexStackPainterGL.h"
#include "rendering/VerticesPainterGL.h"

#include <algorithm>
#include <cctype>

namespace {

using Content = FileKind::Content;
using Painter = std::function<std::unique_ptr<ShapePainterGL<float>>(const Shape<float>&)>;

template <class P> Painter painter() {
  return [](const Shape<float>&) -> std::unique_ptr<ShapePainterGL<float>> { return std::make_unique<P>(); };
}

// Whether a quad mesh comes with colours is traced as it gets its painter.
std::unique_ptr<ShapePainterGL<float>> quadMeshPainter(const Shape<float>& shape) {
  traceValue("quadMesh->hasVertexColors()", static_cast<const QuadMesh<float>&>(shape).hasVertexColors());
  return std::make_unique<QuadMeshPainterGL<float>>();
}

// The painters of the own shape formats, by the type code their shapes answer.
Painter ownPainter(int typeCode) {
  switch (static_cast<ShapeType>(typeCode)) {
  case ShapeType::ClosedCurve:
  case ShapeType::OpenCurve:
    return painter<CurvePainterGL<float>>();
  case ShapeType::ClosedCurveStack:
  case ShapeType::OpenCurveStack:
    return painter<CurveStackPainterGL<float>>();
  case ShapeType::ClosedQuadMesh:
  case ShapeType::OpenQuadMesh:
    return quadMeshPainter;
  case ShapeType::Vertices:
    return painter<VerticesPainterGL<float>>();
  case ShapeType::VertexStack:
    return painter<VertexStackPainterGL<float>>();
  case ShapeType::TriMesh:
    return painter<TriMeshPainterGL<float>>();
  }
  return nullptr;
}

FileKind shapeKind(const ShapeFormat<float>& format) {
  FileKind kind{format.label, Content::Shapes, format.extensions, format.showsItself, nullptr,
                &format,      nullptr};
  kind.read = [&format](const FileBytes& file) {
    LoadedFile loaded;
    loaded.shapes = format.read(file);
    return loaded;
  };
  if (!format.typeCodes.empty()) kind.painter = ownPainter(format.typeCodes.front());
  return kind;
}

// The image of a TIFF file, or the first plane of an LSM stack (whose pixels the plain read skips).
// The image library opens the file itself, and tells the formats apart by their content.
LoadedFile readImage(const FileBytes& file) {
  const PathForReader readable(file, {});
  ImageReader reader;
  ImageHeader header;
  reader.read(header, readable.path());
  LoadedFile loaded;
  loaded.image = std::make_unique<Image>();
  if (header.getFormat() == ImageFormat::Lsm) {
    ImageSourceLSMStackPlane source;
    source.setLSMStackFilename(readable.path());
    source.setPlane(0);
    reader.read(*loaded.image, source);
  } else {
    reader.read(*loaded.image, readable.path());
  }
  return loaded;
}

LoadedFile readTiffStack(const FileBytes& file) {
  const PathForReader readable(file, {"tif", "tiff"}); // the suffix that makes it a stack
  LoadedFile loaded;
  loaded.voxelMatrix = std::make_unique<VoxelMatrix<float>>(readable.path());
  return loaded;
}

LoadedFile readVoxelMatrix(const FileBytes& file) {
  MemoryStream in(file);
  LoadedFile loaded;
  loaded.voxelMatrix = std::make_unique<VoxelMatrix<float>>();
  loaded.voxelMatrix->loadVm(in, file.path());
  return loaded;
}

// A TIFF file of one page is an image, of two or more a stack of slices; an LSM file is an image
// whatever its pages (thumbnails among them).
bool showsTiffImage(std::string_view bytes) {
  const ImageFileSignature signature(bytes);
  return signature.tiffPages(2) == 1 && !signature.isLsm();
}

bool showsTiffStack(std::string_view bytes) {
  const ImageFileSignature signature(bytes);
  return signature.tiffPages(2) == 2 && !signature.isLsm();
}

std::vector<FileKind> allKinds() {
  std::vector<FileKind> kinds;
  for (const ShapeFormat<float>& format : ShapeFormats<float>::all()) kinds.push_back(shapeKind(format));
  kinds.push_back(
      {"TIFF images", Content::Image, {"tif", "tiff"}, showsTiffImage, readImage, nullptr, nullptr});
  kinds.push_back({"LSM images",
                   Content::Image,
                   {"lsm"},
                   [](std::string_view bytes) { return ImageFileSignature(bytes).isLsm(); },
                   readImage,
                   nullptr,
                   nullptr});
  kinds.push_back({"TIFF stacks",
                   Content::VoxelMatrix,
                   {"tif", "tiff"},
                   showsTiffStack,
                   readTiffStack,
                   nullptr,
                   nullptr});
  kinds.push_back({"Voxel matrices",
                   Content::VoxelMatrix,
                   {"vm"},
                   [](std::string_view bytes) { return ImageFileSignature(bytes).isVoxelMatrix(); },
                   readVoxelMatrix,
                   nullptr,
                   nullptr});
  return kinds;
}

std::string filter(const std::string& label, const std::vector<std::string>& suffixes) {
  std::string text = label + " (";
  for (std::size_t i = 0; i < suffixes.size(); ++i) text += (i ? " *." : "*.") + suffixes[i];
  return text + ")";
}

} // namespace

const std::vector<FileKind>& FileKinds::all() {
  static const std::vector<FileKind> kinds = allKinds();
  return kinds;
}

int FileKinds::score(const FileKind& kind, const FileBytes& file) {
  return (kind.showsItself && kind.showsItself(file.bytes()) ? 2 : 0) + file.suffixScore(kind.suffixes);
}

const FileKind& FileKinds::recognise(const FileBytes& file) {
  static const FileKind shapeFiles{"Shape files",
                                   Content::Shapes,
                                   {},
                                   nullptr,
                                   [](const FileBytes& file) {
                                     LoadedFile loaded;
                                     loaded.shapes = ShapeFormats<float>::load(file);
                                     return loaded;
                                   },
                                   nullptr,
                                   nullptr};
  const FileKind* best = &shapeFiles;
  int bestScore = 0;
  for (const FileKind& kind : all())
    if (const int s = score(kind, file); s > bestScore) best = &kind, bestScore = s;
  return *best;
}

const FileKind* FileKinds::ofShapeType(int typeCode) {
  for (const FileKind& kind : all()) {
    if (!kind.shapeFormat) continue;
    const std::vector<int>& codes = kind.shapeFormat->typeCodes;
    if (std::find(codes.begin(), codes.end(), typeCode) != codes.end()) return &kind;
  }
  return nullptr;
}

std::string FileKinds::noun(const FileKind& kind) {
  std::string singular = kind.label;
  const std::size_t plural = singular.rfind("ices");
  if (plural != std::string::npos && plural + 4 == singular.size())
    singular.replace(plural, 4, "ix");
  else if (!singular.empty() && singular.back() == 's')
    singular.pop_back();
  // "an" before a vowel, and before the acronyms spoken from one: "an OBJ file", "an LSM image".
  const bool acronym = singular.size() > 1 && std::isupper(static_cast<unsigned char>(singular[1]));
  const bool vowel = std::string("AEIOU").find(singular.front()) != std::string::npos ||
                     (acronym && std::string("FHLMNRSX").find(singular.front()) != std::string::npos);
  return (vowel ? "an " : "a ") + singular;
}

std::vector<std::string> FileKinds::openFilters(Content content) {
  static const char* const names[] = {"Shape files", "Voxel matrices and TIFF stacks", "TIFF and LSM images"};
  std::vector<std::string> each;
  std::vector<std::string> suffixes;
  for (const FileKind& kind : all()) {
    if (kind.content != content) continue;
    each.push_back(filter(kind.label, kind.suffixes));
    for (const std::string& suffix : kind.suffixes)
      if (std::find(suffixes.begin(), suffixes.end(), suffix) == suffixes.end()) suffixes.push_back(suffix);
  }
  std::vector<std::string> filters = {filter(names[static_cast<int>(content)], suffixes)};
  filters.insert(filters.end(), each.begin(), each.end());
  filters.push_back("All files (*)");
  return filters;
}

std::unique_ptr<ShapePainterGL<float>> FileKinds::painterOf(const Shape<float>& shape) {
  const FileKind* kind = ofShapeType(shape.getShapeType());
  if (!kind || !kind->painter) return nullptr;
  std::unique_ptr<ShapePainterGL<float>> painter = kind->painter(shape);
  painter->setShape(shape);
  return painter;
}
