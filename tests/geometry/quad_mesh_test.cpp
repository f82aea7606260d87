// Quad meshes: rows of one width, their triangulation, caps and colours.
#include "geometry/QuadMesh.h"

#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace {
// A tube of `height` counter-clockwise circles of radius 2 around (1, 1), one per z = 0, 1, 2, ...
QuadMesh<float> tube(int height, int width, bool open = false) {
  const double pi = 3.14159265358979323846;
  QuadMesh<float> mesh(3, height, width, 0, 0, open);
  for (int l = 0; l < height; ++l) {
    for (int k = 0; k < width; ++k) {
      Vector<float>& v = mesh[l].vertex(k);
      v[0] = float(1 + 2 * std::cos(2 * pi * k / width));
      v[1] = float(1 + 2 * std::sin(2 * pi * k / width));
      v[2] = float(l);
    }
  }
  return mesh;
}

// Whether the mesh holds neither caps nor colours.
bool bare(const QuadMesh<float>& mesh) {
  return !mesh.hasAnyCap() && !mesh.hasExtensions() && !mesh.hasVertexColors();
}

Curve<float> row(int width, bool open = false) {
  return Curve<float>(3, width, 0, 0, open);
}
} // namespace

TEST(QuadMeshRows, OfAnotherSizeAreRefusedBeforeAnythingIsInserted) {
  QuadMesh<float> mesh = tube(2, 4);
  expectEach<SizeError>(
      {[&] { mesh.append(row(3)); }, [&] { mesh.prepend(row(5)); }, [&] { mesh.insert(1, row(2)); }});
  mesh.append(row(4));
  EXPECT_EQ(mesh.getHeight(), 3) << "nothing inserted before";
  EXPECT_THROW(mesh.append(row(4, true)), TypeError) << "closure mismatch";
  QuadMesh<float> empty;
  empty.append(row(7));
  EXPECT_EQ(empty.getWidth(), 7) << "the first row gives the width";
  EXPECT_EQ(tube(2, 4, true).toTriMesh(false).getNumTriangles(), 6);
  EXPECT_EQ(tube(1, 4).toTriMesh(false).getNumTriangles(), 0);
  EXPECT_EQ(tube(5, 6).toTriMesh(true).getNumTriangles(), 48);
  const QuadMesh<float> ring = tube(2, 4);
  const TriMesh<float> triangulated = ring.toTriMesh(false);
  EXPECT_EQ(triangulated.getNumVertices(), 8);
  EXPECT_EQ(triangulated.vertex(6), ring[1].vertex(2));
  std::vector<int> triples;
  for (int t = 0; t < 8; ++t)
    for (int k = 0; k < 3; ++k) triples.push_back(triangulated.getTriangleIndexes(t)[k]);
  EXPECT_EQ(triples,
            (std::vector<int>{0, 1, 4, 4, 1, 5, 1, 2, 5, 5, 2, 6, 2, 3, 6, 6, 3, 7, 3, 0, 7, 7, 0, 4}));
  EXPECT_NE(triangulated.getServer(), ring.getServer()) << "the vertices are copied";
  const TriMesh<float> tall = tube(4, 12).toTriMesh(false); // counter-clockwise rows going up face outwards
  ASSERT_TRUE(tall.hasNormals());
  for (int v = 0; v < tall.getNumVertices(); ++v)
    EXPECT_GT(tall.getNormal(v)[0] * (tall.vertex(v)[0] - 1) + tall.getNormal(v)[1] * (tall.vertex(v)[1] - 1),
              0);
}

TEST(QuadMeshCaps, HaveTenRowsFromTheContourToOnePercentOfIt) {
  QuadMesh<float> mesh = tube(3, 8);
  mesh.buildCaps();
  ASSERT_TRUE(mesh.hasAllCaps());
  const QuadMesh<float>& cap = *mesh.getBeginCap();
  EXPECT_TRUE(cap.getHeight() == 10 && cap.getWidth() == 8 && cap.isClosed());
  EXPECT_NE(cap.getServer(), mesh.getServer());
  EXPECT_EQ(cap.getServer()->getRefs(), 1 + 10) << "held by the cap and its rows only";
  for (int k = 0; k < 8; ++k) {
    const Vector<float>& rim = mesh[0].vertex(k);
    EXPECT_EQ(cap[0].vertex(k), rim);
    // The centre of the first row is (1, 1, 0); the last cap row lies at 1 % of the way out.
    EXPECT_NEAR(cap[9].vertex(k)[0], 1 + (rim[0] - 1) * 0.01f, 1e-6f);
    for (int r = 1; r < 9; ++r) {
      const float t = 1 - std::sqrt((9.0f - r) / 9.0f);
      EXPECT_NEAR(cap[r].vertex(k)[0], rim[0] + (cap[9].vertex(k)[0] - rim[0]) * t, 1e-5f);
    }
  }
  EXPECT_EQ((*mesh.getEndCap())[0].vertex(3), mesh[2].vertex(3));
  // The mesh extends to its caps' rows.
  mesh.assign(tube(2, 6));
  mesh.buildCaps();
  const Vector<float> beginTip = (*mesh.getBeginCap())[9].vertex(2);
  const Vector<float> beginNext = (*mesh.getBeginCap())[1].vertex(2);
  const Vector<float> endTip = (*mesh.getEndCap())[9].vertex(4);
  mesh.setVertexColors(new QuadMesh<int>(3, 2, 6));
  mesh.extendToCaps();
  EXPECT_EQ(mesh.getHeight(), 2 + 9 + 9);
  EXPECT_TRUE(mesh[0].vertex(2) == beginTip && mesh[8].vertex(2) == beginNext &&
              mesh[19].vertex(4) == endTip);
  EXPECT_TRUE(bare(mesh));
  for (int l = 0; l < mesh.getHeight(); ++l) EXPECT_EQ(mesh[l].getServer(), mesh.getServer());
  EXPECT_EQ(mesh.toTriMesh(false).getNumTriangles(), 19 * 12);
}

TEST(QuadMeshCaps, AreExtensionsOnceEachOnlyOfClosedMeshesWithRowsAndStayWithTheOriginalOfACopy) {
  QuadMesh<float> mesh = tube(3, 8);
  mesh.buildCaps();
  mesh.buildCaps();
  EXPECT_EQ(mesh.getExtensions().getSize(), 2);
  mesh.destroyBeginCap();
  EXPECT_TRUE(!mesh.hasBeginCap() && mesh.hasAnyCap() && mesh.getExtensions().getSize() == 1);
  mesh.destroyCaps();
  EXPECT_FALSE(mesh.hasExtensions());
  QuadMesh<float> open = tube(3, 8, true);
  open.buildCaps();
  EXPECT_FALSE(open.hasAnyCap()) << "an open mesh has no caps";
  QuadMesh<float> empty;
  expectEach<SizeError>({[&] { empty.buildBeginCap(); }, [&] { empty.buildEndCap(); }});
  mesh.buildCaps();
  mesh.setVertexColors(new QuadMesh<int>(3, 3, 8));
  const auto copy = sharingCopyOf(mesh);
  EXPECT_TRUE(bare(*copy));
  EXPECT_EQ(copy->getServer(), mesh.getServer());
  EXPECT_TRUE(mesh.hasAllCaps() && mesh.hasVertexColors());
  mesh.assign(*copy);
  EXPECT_TRUE(bare(mesh)) << "the caps of the rows given up go with them";
}
