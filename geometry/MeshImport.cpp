#include "geometry/MeshImport.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/HugePages.h"
#include "foundation/StringTools.h"
#include "geometry/ImportedValues.h"
#include "geometry/TriMesh.h"
#include "geometry/Vertices.h"

#include <assimp/BaseImporter.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <set>
#include <type_traits>
#include <unistd.h>

namespace {

[[noreturn]] void refuse(const std::string& what, const std::string& path) {
  throwFileError<FileFormatError>(OSTREL_HERE, what, path);
}

// A mesh of the scene where a node puts it.
struct Placement {
  aiMesh* mesh;
  aiMatrix4x4 transform;
  std::string nodeName;
};

// Every mesh that a node of the tree names, with the product of the transforms down to it, in the
// order of a depth-first walk. Walked with a stack of its own: a file can nest nodes very deeply.
std::vector<Placement> placements(const aiScene& scene, const std::string& path) {
  std::vector<Placement> list;
  if (!scene.mRootNode) {
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) list.push_back({scene.mMeshes[m], aiMatrix4x4(), ""});
    return list;
  }
  std::vector<std::pair<const aiNode*, aiMatrix4x4>> pending = {
      {scene.mRootNode, scene.mRootNode->mTransformation}};
  while (!pending.empty()) {
    const auto [node, transform] = pending.back();
    pending.pop_back();
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
      if (node->mMeshes[k] >= scene.mNumMeshes) refuse("A node names a mesh that does not exist", path);
      list.push_back({scene.mMeshes[node->mMeshes[k]], transform, node->mName.C_Str()});
    }
    for (unsigned c = node->mNumChildren; c-- > 0;)
      pending.push_back({node->mChildren[c], transform * node->mChildren[c]->mTransformation});
  }
  return list;
}

std::uint32_t floatBits(float x) {
  if (x == 0.0f) x = 0.0f; // -0 and +0 are one position
  std::uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The new number of every vertex once those of equal position (and colour, when there are colours)
// are one, numbered in the order of their first occurrence; count is the number of distinct ones.
// An open-addressing table of first occurrences holds each distinct position beside its new number,
// so that a probe reads one slot and nothing else; the slot of a vertex some way ahead is fetched
// into the cache while the current one is looked up. The table is sized for about one distinct
// vertex per six corners (a closed surface) and doubles when it fills.
struct Welding {
  std::vector<int> number; // per vertex of the mesh
  std::vector<int> source; // per distinct vertex: its first occurrence
  int count = 0;
};

Welding weld(const aiMesh& mesh) {
  const unsigned n = mesh.mNumVertices;
  const aiVector3D* positions = mesh.mVertices;
  const aiColor4D* colours = mesh.mColors[0];
  // Coordinates compare as numbers (so -0 meets 0) and hash by their bits.
  auto hashOf = [&](unsigned v) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull;
    auto mix = [&hash](float x) { hash = (hash ^ floatBits(x)) * 0xFF51AFD7ED558CCDull, hash ^= hash >> 29; };
    mix(positions[v].x), mix(positions[v].y), mix(positions[v].z);
    if (colours) mix(colours[v].r), mix(colours[v].g), mix(colours[v].b), mix(colours[v].a);
    return hash;
  };
  struct Slot {
    aiVector3D position;
    int number = -1; // -1: empty
  };
  std::size_t size = 1024;
  while (size < n / 4) size *= 2;
  std::vector<Slot> table(size);
  std::size_t mask = table.size() - 1;
  Welding welding;
  welding.number.resize(n);
  auto same = [&](const Slot& slot, unsigned v) {
    return slot.position == positions[v] &&
           (!colours || colours[welding.source[static_cast<std::size_t>(slot.number)]] == colours[v]);
  };
  constexpr unsigned ahead = 16; // a power of two: the hashes of the vertices ahead wait in a ring
  std::uint64_t hashes[ahead];
  for (unsigned v = 0; v < std::min(ahead, n); ++v) hashes[v] = hashOf(v);
  for (unsigned v = 0; v < n; ++v) {
    const std::uint64_t hash = hashes[v % ahead];
    if (v + ahead < n) {
      hashes[v % ahead] = hashOf(v + ahead);
      __builtin_prefetch(&table[hashes[v % ahead] & mask]);
    }
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      Slot& entry = table[slot];
      if (entry.number < 0) {
        entry = {positions[v], welding.count};
        welding.number[v] = welding.count++;
        welding.source.push_back(static_cast<int>(v));
        break;
      }
      if (same(entry, v)) {
        welding.number[v] = entry.number;
        break;
      }
    }
    if (std::size_t(welding.count) * 4 > table.size() * 3) { // keep it at most three quarters full
      std::vector<Slot> larger(table.size() * 2);
      mask = larger.size() - 1;
      for (const Slot& entry : table) {
        if (entry.number < 0) continue;
        std::size_t slot = hashOf(static_cast<unsigned>(welding.source[entry.number])) & mask;
        while (larger[slot].number >= 0) slot = (slot + 1) & mask;
        larger[slot] = entry;
      }
      table.swap(larger);
    }
  }
  return welding;
}

// True when some vertex serves two triangle corners: the file shares its vertices and they stay as
// they are.
bool sharesVertices(const aiMesh& mesh) {
  std::vector<bool> used(mesh.mNumVertices, false);
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices != 3) continue;
    for (unsigned k = 0; k < 3; ++k) {
      if (used[face.mIndices[k]]) return true;
      used[face.mIndices[k]] = true;
    }
  }
  return false;
}

// Refuses what the library's readers let through and would make its triangulation fail: faces
// without vertex numbers or naming vertices that do not exist. Answers whether some face is a
// polygon of more than three vertices.
bool checkFaces(const aiScene& scene, const std::string& path) {
  bool polygons = false, empty = false, outside = false;
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const aiMesh* mesh = scene.mMeshes[m];
    if (!mesh || !mesh->mVertices) continue;
    const std::int64_t faces = mesh->mNumFaces;
    const unsigned vertices = mesh->mNumVertices;
#pragma omp parallel for schedule(static) reduction(|| : polygons, empty, outside)
    for (std::int64_t f = 0; f < faces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices == 0 || !face.mIndices) {
        empty = true;
        continue;
      }
      for (unsigned k = 0; k < face.mNumIndices; ++k) outside = outside || face.mIndices[k] >= vertices;
      polygons = polygons || face.mNumIndices > 3;
    }
  }
  if (empty) refuse("A face names no vertex", path);
  if (outside) refuse("A face names a vertex that does not exist", path);
  return polygons;
}

unsigned countTriangles(const aiMesh& mesh) {
  const std::int64_t faces = mesh.mNumFaces;
  unsigned triangles = 0;
#pragma omp parallel for schedule(static) reduction(+ : triangles)
  for (std::int64_t f = 0; f < faces; ++f) triangles += mesh.mFaces[f].mNumIndices == 3;
  return triangles;
}

// Writes vertex source[k] of the mesh (vertex k without sources), placed by the transform, into the
// shape's vertex k; refuses coordinates that are not finite.
template <class T>
void placeVertices(Vertices<T>& shape, const aiMesh& mesh, const aiMatrix4x4& transform,
                   const std::vector<int>* source, const std::string& path) {
  const bool moved = !transform.IsIdentity();
  const int count = shape.getNumVertices();
  bool finite = true;
#pragma omp parallel for schedule(static) reduction(&& : finite)
  for (int k = 0; k < count; ++k) {
    const aiVector3D& original = mesh.mVertices[source ? (*source)[k] : k];
    const aiVector3D p = moved ? transform * original : original;
    finite = finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
    T* target = shape.vertex(k).data();
    target[0] = importedCoordinate<T>(p.x), target[1] = importedCoordinate<T>(p.y),
    target[2] = importedCoordinate<T>(p.z);
  }
  if (!finite) refuse("A vertex coordinate is not a finite number", path);
}

// The vertex numbers of the mesh's triangles, renumbered; one pass per thread when every face is a
// triangle.
std::vector<int> triangleCorners(const aiMesh& mesh, unsigned triangles, const std::vector<int>* number) {
  std::vector<int> corners(3 * static_cast<std::size_t>(triangles));
  auto renumbered = [number](unsigned v) { return number ? (*number)[v] : static_cast<int>(v); };
  if (triangles == mesh.mNumFaces) {
    const int faces = static_cast<int>(mesh.mNumFaces);
#pragma omp parallel for schedule(static)
    for (int f = 0; f < faces; ++f)
      for (unsigned k = 0; k < 3; ++k)
        corners[3 * std::size_t(f) + k] = renumbered(mesh.mFaces[f].mIndices[k]);
    return corners;
  }
  std::size_t next = 0;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f)
    if (mesh.mFaces[f].mNumIndices == 3)
      for (unsigned k = 0; k < 3; ++k) corners[next++] = renumbered(mesh.mFaces[f].mIndices[k]);
  return corners;
}

// A shape taken out of the library's scene: its vertices (and colours) are placed; a triangle
// mesh's corners wait beside it until the scene has been let go.
template <class T> struct Converted {
  std::unique_ptr<Shape<T>> shape;
  std::vector<int> corners;
};

// Frees the faces of a mesh that no later placement needs, a block per face: a large mesh's take
// more than its vertices and corners together, which are then made in their place.
void dropFaces(aiMesh& mesh) {
  delete[] mesh.mFaces;
  mesh.mFaces = nullptr;
  mesh.mNumFaces = 0;
}

template <class T>
Converted<T> convert(const Placement& placement, unsigned triangles, bool lastUse, const std::string& path) {
  aiMesh& mesh = *placement.mesh;
  if (triangles == 0) {
    auto points = std::make_unique<Vertices<T>>(3, static_cast<int>(mesh.mNumVertices));
    placeVertices(*points, mesh, placement.transform, nullptr, path);
    return {std::move(points), {}};
  }
  Welding welding;
  if (!sharesVertices(mesh)) welding = weld(mesh);
  const bool welded = welding.count > 0;
  const int count = welded ? welding.count : static_cast<int>(mesh.mNumVertices);
  const std::vector<int>* source = welded ? &welding.source : nullptr;
  std::vector<int> corners = triangleCorners(mesh, triangles, welded ? &welding.number : nullptr);
  if (lastUse) dropFaces(mesh);

  auto result = std::make_unique<TriMesh<T>>(3, count);
  placeVertices(*result, mesh, placement.transform, source, path);
  if (const aiColor4D* colours = mesh.mColors[0]) {
    auto vertexColours = std::make_unique<TriMesh<int>>(3, count);
    for (int k = 0; k < count; ++k) {
      const aiColor4D& colour = colours[source ? (*source)[k] : k];
      int* target = vertexColours->vertex(k).data();
      target[0] = importedColourComponent(colour.r), target[1] = importedColourComponent(colour.g),
      target[2] = importedColourComponent(colour.b);
    }
    result->setVertexColors(vertexColours.release());
  }
  return {std::move(result), std::move(corners)};
}

std::string partName(const Placement& placement, std::size_t position) {
  if (placement.mesh->mName.length > 0) return placement.mesh->mName.C_Str();
  if (!placement.nodeName.empty()) return placement.nodeName;
  return std::to_string(position + 1);
}

// OBJ files have a reader of their own (ObjReader): the library's, which writes past its memory on
// some files, is taken out so that no file reaches it, whatever its name or contents.
void dropObjReader(Assimp::Importer& importer) {
  std::unique_ptr<Assimp::BaseImporter> reader(importer.GetImporter("obj"));
  importer.UnregisterLoader(reader.get()); // which leaves the reader to its caller
}

// The library reads a file with the reader of its suffix. When no reader or several readers have
// that suffix (glTF 1 and 2) and none of them recognises the file, it tries each of its dozens of
// readers on the contents, and reads the file with any that finds its own signature there: parsers
// that the checks of the file never prepared for. Such a file is refused instead.
void requireReaderOfSuffix(const Assimp::Importer& importer, const std::string& path) {
  const std::string suffix = StringTools::lowerCase(FileInfo::suffixName(path));
  std::vector<Assimp::BaseImporter*> readers;
  for (std::size_t r = 0; r < importer.GetImporterCount(); ++r) {
    std::set<std::string> suffixes;
    importer.GetImporter(r)->GetExtensionList(suffixes);
    if (suffixes.count(suffix)) readers.push_back(importer.GetImporter(r));
  }
  if (readers.size() == 1) return;
  for (Assimp::BaseImporter* reader : readers)
    if (reader->CanRead(path, importer.GetIOHandler(), true)) return;
  refuse("The file's contents are not those its suffix names", path);
}

} // namespace

template <class T> std::vector<std::unique_ptr<Shape<T>>> importMeshFile(const std::string& path) {
  if (::access(path.c_str(), R_OK) != 0)
    throwFileError<FileReadError>(OSTREL_HERE, "Cannot open file for reading", path);
  auto importer = std::make_unique<Assimp::Importer>();
  const aiScene* scene = nullptr;
  try {
    // Nothing but the triangulation of polygons is asked of the library, and only once the scene
    // has been checked: the welding and the normals are done here, faster than its general steps.
    dropObjReader(*importer);
    requireReaderOfSuffix(*importer, path);
    scene = importer->ReadFile(path, 0);
    if (scene && checkFaces(*scene, path)) scene = importer->ApplyPostProcessing(aiProcess_Triangulate);
  } catch (const Exception&) {
    throw; // the checks' own refusals
  } catch (const std::exception& e) {
    refuse(std::string("The mesh library cannot read this file: ") + e.what(), path);
  }
  if (!scene)
    refuse(std::string("The mesh library cannot read this file: ") + importer->GetErrorString(), path);

  std::vector<Placement> parts;
  std::vector<unsigned> triangles;
  for (const Placement& placement : placements(*scene, path)) {
    if (!placement.mesh || placement.mesh->mNumVertices == 0 || !placement.mesh->mVertices) continue;
    triangles.push_back(countTriangles(*placement.mesh));
    parts.push_back(placement);
  }
  if (parts.empty()) refuse("The file holds no mesh", path);

  const std::string baseName = FileInfo::baseName(path);
  std::vector<Converted<T>> converted;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const bool lastUse = std::none_of(parts.begin() + static_cast<std::ptrdiff_t>(i) + 1, parts.end(),
                                      [&](const Placement& later) { return later.mesh == parts[i].mesh; });
    converted.push_back(convert<T>(parts[i], triangles[i], lastUse, path));
    converted.back().shape->setName(parts.size() == 1 ? baseName : baseName + ":" + partName(parts[i], i));
  }
  // The rest of the library's scene (with millions of small face blocks when a mesh is placed several
  // times) is freed by another thread meanwhile; the normals, computed by every thread, come after.
  std::future<void> freed =
      std::async(std::launch::async, [scene = std::move(importer)]() mutable { scene.reset(); });
  std::vector<std::unique_ptr<Shape<T>>> shapes;
  for (Converted<T>& part : converted) {
    if (auto* mesh = dynamic_cast<TriMesh<T>*>(part.shape.get()))
      mesh->setTriangleIndexes(std::move(part.corners));
    shapes.push_back(std::move(part.shape));
  }
  freed.wait();
  if constexpr (!std::is_integral_v<T>)
    for (auto& shape : shapes)
      if (auto* mesh = dynamic_cast<TriMesh<T>*>(shape.get())) mesh->computeNormals();
  giveFreedMemoryBack(); // the scene took more than the shapes made of it, normals included
  return shapes;
}

template std::vector<std::unique_ptr<Shape<int>>> importMeshFile<int>(const std::string&);
template std::vector<std::unique_ptr<Shape<float>>> importMeshFile<float>(const std::string&);
template std::vector<std::unique_ptr<Shape<double>>> importMeshFile<double>(const std::string&);
template std::vector<std::unique_ptr<Shape<long double>>> importMeshFile<long double>(const std::string&);
