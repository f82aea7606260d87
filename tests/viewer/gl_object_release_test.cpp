// OpenGL objects of painters are deleted in the canvas's context, however and whenever painters go;
// a scene box of fewer than three dimensions frames the scene without reading past its vectors.
#include "viewer/ViewerCanvasGL.h"

#include "rendering/GLObject.h"
#include "rendering/TriMeshPainterGL.h"
#include "tests/support/GLCallRecorder.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/OffscreenGL.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QSettings>

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {
// Makes a texture at its first paint and keeps it, as image painters keep theirs.
class TexturePainter : public PainterGL<float> {
public:
  void glDraw() const override {
    GLuint name = 0;
    if (_texture.name() == 0) glGenTextures(1, &name);
    if (name == 0) return;
    glBindTexture(GL_TEXTURE_2D, name); // a name becomes a texture when first bound
    glBindTexture(GL_TEXTURE_2D, 0);
    _texture = GLObject(GLObject::Kind::Texture, name);
  }

private:
  mutable GLObject _texture;
};
} // namespace

// A hundred times: a mesh and a texture painter painted, then deleted with no context, another one or
// the canvas's own current. Each list and texture is deleted once, in the canvas's context.
TEST(GLObjectRelease, PaintersDeletedAnywhereLeaveNoListOrTextureAlive) {
  QSettings().clear();
  auto mesh = torus(8, 6);
  ViewerCanvasGL canvas;
  OffscreenGL other;
  GLCallRecorder recorder(true);
  for (int k = 0; k < 100; ++k) {
    auto surface = std::make_unique<TriMeshPainterGL<float>>();
    surface->setShape(*mesh);
    auto image = std::make_unique<TexturePainter>();
    canvas.setPainters({surface.get(), image.get()});
    canvas.grabFramebuffer();
    canvas.removePainters();
    k % 3 == 0 ? canvas.doneCurrent() : k % 3 == 1 ? other.clear() : canvas.makeCurrent();
    surface.reset();
    image.reset();
  }
  canvas.grabFramebuffer(); // the next paint deletes what waited for the canvas's context
  canvas.makeCurrent();
  for (const auto& [made, deleted, isAlive] :
       {std::make_tuple("glGenLists", "glDeleteLists", &glIsList),
        std::make_tuple("glGenTextures", "glDeleteTextures", &glIsTexture)}) {
    ASSERT_EQ(recorder.count(made), 100) << made;
    EXPECT_EQ(recorder.count(deleted), 100) << deleted;
    for (const GLCall& call : recorder.named(made)) EXPECT_FALSE(isAlive(static_cast<GLuint>(call.args[1])));
    for (const GLCall& call : recorder.named(deleted)) EXPECT_EQ(call.context, canvas.context());
  }
  for (const GLCall& call : recorder.calls()) ASSERT_NE(call.context, nullptr) << call.name;
}

TEST(SceneBox, OfTwoDimensionsIsCentredWithZeroDepth) {
  QSettings().clear();
  BlockPainter flat(0, 0, 0, 1, 1, 1, 255, 255, 255);
  flat.setBox(
      BoundingBox<float>(Vector<float>(std::vector<float>{0, 2}), Vector<float>(std::vector<float>{4, 6})));
  ViewerCanvasGL canvas;
  canvas.addPainter(flat);
  canvas.initializeGL();
  canvas.grabFramebuffer();
  EXPECT_EQ(canvas.getCenter(), point3(2, 4, 0));
}
