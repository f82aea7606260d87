// ostrel-render: draws shape files, voxel matrices and images as the viewer draws them into a picture
// or a turntable video, or each file into its own, without a display server.
#include "application/RenderOptions.h"
#include "application/RenderScene.h"
#include "application/SavedView.h"
#include "application/SurfacelessContextGL.h"
#include "foundation/Exception.h"
#include "foundation/HugePages.h"
#include "foundation/StageTimes.h"
#include "foundation/Trace.h"
#include "viewer/OffscreenRendererGL.h"
#include "viewer/TurntableVideo.h"
#include "viewer/VideoEncoder.h"
#include "viewer/ViewerSceneGL.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace {

const int colorCycleLength = 14;

int refuse(const std::string& what) {
  std::cerr << "ostrel-render: " << what << "\nTry 'ostrel-render --help'.\n";
  return 2;
}

Pose standardPose(int n) {
  switch (n) {
  case 1:
    return Pose::canonicalPose1();
  case 2:
    return Pose::canonicalPose2();
  case 3:
    return Pose::canonicalPose3();
  case 4:
    return Pose::reverseCanonicalPose1();
  case 5:
    return Pose::reverseCanonicalPose2();
  default:
    return Pose::reverseCanonicalPose3();
  }
}

template <class T> Vector<T> vectorOf(const std::vector<T>& values) {
  Vector<T> vector(static_cast<int>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) vector[static_cast<int>(i)] = values[i];
  return vector;
}

// The options change the view they start from (the viewer's start view, or a saved one): a standard
// pose changes the rotation only; the background and the panning are set later.
void changeView(ViewState& view, const RenderOptions& options) {
  if (!options.box) view.sceneBoxShown = false;
  if (options.pose) view.rotation = standardPose(options.pose).getRotation();
  if (options.rotation) view.rotation = vectorOf(*options.rotation);
  if (options.zoom) view.zoom = static_cast<float>(*options.zoom) / 100.0f;
  if (options.clipPlanes.empty()) return;
  view.clipPlanes = ClipPlanesGL();
  for (std::size_t i = 0; i < options.clipPlanes.size(); ++i) {
    const std::vector<double>& equation = options.clipPlanes[i];
    view.clipPlanes[i].enabled = true;
    view.clipPlanes[i].normal = {equation[0], equation[1], equation[2]};
    view.clipPlanes[i].offset = equation[3];
  }
}

// The saved view's looks and view go to the loaded shapes, as "Load view..." applies them in the
// viewer; false after naming on the standard error stream what the view names that is not loaded.
// With --each the view's looks belong to the files it was saved with, so the others' shapes are
// drawn in their own looks and only the rest of the view applies to them.
bool applySavedView(const SavedView& saved, RenderScene& content, const RenderOptions& options) {
  const std::vector<std::string> unmatched =
      saved.applyTo(content.scene(), static_cast<float>(options.scaling));
  if (!options.each.empty()) return true;
  for (const std::string& look : unmatched)
    std::cerr << "ostrel-render: the view " << options.view << " names a shape that is not loaded: " << look
              << "\n";
  return unmatched.empty();
}

// The colour bar's letters need Qt's fonts, which need an application object: one of the offscreen
// platform, which needs no display server.
std::unique_ptr<QGuiApplication> fontsApplication() {
  static char name[] = "ostrel-render", platform[] = "-platform", offscreen[] = "offscreen";
  static char* arguments[] = {name, platform, offscreen, nullptr};
  static int count = 3;
  return std::make_unique<QGuiApplication>(count, arguments);
}

// The map of --map, else the saved view's; false after saying that no mesh has its variable.
bool showMap(RenderScene& content, ViewerSceneGL& scene, const RenderOptions& options,
             const ParameterData& saved) {
  if (!options.map.empty()) return content.showMap(options.map, options.colormap, options.range, scene);
  std::optional<std::vector<float>> range;
  if (saved.getMinimum() && saved.getMaximum())
    range = std::vector<float>{*saved.getMinimum(), *saved.getMaximum()};
  return content.showMap(saved.getName(), saved.getColormapName(), range, scene);
}

// The turntable video, named as the window's recorder names one; false after saying why not.
bool writeTurntable(ViewerSceneGL& scene, const RenderOptions& options, const std::string& name,
                    const OffscreenRendererGL::Options& how) {
  const QString output = VideoEncoder::withVideoSuffix(QString::fromStdString(name), "*.mp4");
  QString error;
  if (TurntableVideo::write(scene, options.width, options.height, how, *options.turntable, options.fps,
                            output, error))
    return true;
  std::cerr << "ostrel-render: could not make the video " << output.toStdString() << "\n"
            << error.toStdString() << "\n";
  return false;
}

// Loads files into content; false when one could not be read (the others are loaded).
bool load(RenderScene& content, const std::vector<std::string>& files) {
  bool loaded = true;
  for (const std::string& file : files) {
    const StageTimes::Stage stage("loading, other"); // scaling, colours, painters
    loaded = content.load(file) && loaded;
  }
  return loaded;
}

Vector<float> scalingOf(const RenderOptions& options) {
  Vector<float> scaling(3);
  scaling.fill(static_cast<float>(options.scaling));
  return scaling;
}

// Draws content, posed by the saved view and the options, and writes the picture or video to output;
// returns the exit status.
int draw(const RenderOptions& options, const std::optional<SavedView>& saved, RenderScene& content,
         const std::string& output) {
  int status = 0;
  ViewerSceneGL scene;
  scene.setPainters(content.painters());
  if (saved && !applySavedView(*saved, content, options)) status = 1;
  ViewState view = saved ? content.scene().view() : ViewState();
  changeView(view, options);
  scene.setView(view);
  if (options.background || options.uniform) {
    BackgroundGL background = view.background;
    if (options.background) background.setColor(vectorOf(*options.background));
    if (options.uniform) background.setGradientEnabled(false);
    scene.setBackground(background); // with the contrast colour of its scene box
  }
  scene.updateBoundingBox();
  scene.glInitialize();
  if (options.translation) scene.setTranslation(vectorOf(*options.translation));
  const ParameterData savedMap = saved ? saved->colorMap() : ParameterData();
  if ((!options.map.empty() || !savedMap.getName().empty()) && !showMap(content, scene, options, savedMap))
    status = 1;
  if (options.opacity) content.setOpacity(*options.opacity);
  OffscreenRendererGL::Options how;
  how.transparent = options.transparent;
  how.cropped = options.crop;
  if (options.turntable) return writeTurntable(scene, options, output, how) ? status : 1;
  const QImage picture = OffscreenRendererGL::render(scene, options.width, options.height, how);
  // Only the picture is left to write: the shapes give their memory back to the encoder and the system.
  scene.setPainters({});
  content.scene().clear();
  const StageTimes::Stage stage("picture encoding");
  if (!picture.save(QString::fromStdString(output), RenderOptions::pictureFormat(output).c_str())) {
    std::cerr << "ostrel-render: could not write " << output << "\n";
    return 1;
  }
  return status;
}

// --each: every file alone into its own picture, in the one context. A file that fails, however it
// fails, is reported and the others are drawn; the status is 1 when any failed.
int drawEach(const RenderOptions& options, const std::optional<SavedView>& saved) {
  if (!QDir().mkpath(QString::fromStdString(options.each))) {
    std::cerr << "ostrel-render: could not make the folder " << options.each << "\n";
    return 1;
  }
  int failures = 0;
  for (const std::string& file : options.files) {
    int status = 1;
    try {
      RenderScene content(scalingOf(options), colorCycleLength, options.slice);
      if (load(content, {file})) status = draw(options, saved, content, options.eachOutput(file));
    } catch (const Exception& e) {
      std::cerr << e << std::endl;
    } catch (const std::bad_alloc&) {
      std::cerr << "ostrel-render: not enough memory" << std::endl;
    }
    if (status != 0) {
      std::cerr << "ostrel-render: failed: " << file << std::endl;
      ++failures;
    }
  }
  if (failures > 0)
    std::cerr << "ostrel-render: " << failures << " of " << options.files.size() << " files failed\n";
  return failures > 0 ? 1 : 0;
}

// Makes the context once and draws; returns the exit status.
int render(const RenderOptions& options) {
  // Mesa's software rasteriser lets the drawing thread prepare up to four batches of binned triangles
  // ahead of its rasterising threads, tens of MB each for millions of triangles and more the busier
  // the processors are. A picture too large for one strip is rasterised by the drawing thread itself,
  // which bounds its memory to the picture and one strip (unless the user chose a thread count).
  if (static_cast<long long>(options.width) * options.height > OffscreenRendererGL::Options().stripPixels)
    setenv("LP_NUM_THREADS", "0", 0);
  const SurfacelessContextGL context;
  const int limit = OffscreenRendererGL::maximumSize();
  if (options.width > limit || options.height > limit)
    return refuse("--resolution: this OpenGL draws at most " + std::to_string(limit) + " pixels a side");

  // A view that cannot be read stops everything before the files are read.
  const std::optional<SavedView> saved =
      options.view.empty() ? std::nullopt : std::optional<SavedView>(SavedView::read(options.view));
  std::unique_ptr<QGuiApplication> fonts; // made once, for every colour bar
  if (!options.map.empty() || (saved && !saved->colorMap().getName().empty())) fonts = fontsApplication();
  if (!options.each.empty()) return drawEach(options, saved);
  RenderScene content(scalingOf(options), colorCycleLength, options.slice);
  const int status = load(content, options.files) ? 0 : 1;
  return std::max(status, draw(options, saved, content, options.output));
}

} // namespace

int main(int argc, char** argv) {
  StageTimes::addSinceProcessStart("start-up");
  reserveHeapOnHugePages(std::size_t(1) << 30); // address space only: pages are used as written
  // Shape files are read with a point as decimal separator, whatever the locale.
  std::setlocale(LC_NUMERIC, "C");
  RenderOptions options;
  try {
    options = RenderOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const Exception& e) {
    return refuse(e.getWhat());
  }
  if (options.help) {
    std::cout << RenderOptions::usage();
    return 0;
  }
  Trace::setEnabled(options.verbose); // the tracer writes to the standard output only when asked
  try {
    const int status = render(options);
    StageTimes::traceAndClear();
    return status;
  } catch (const Exception& e) {
    std::cerr << e << std::endl;
  } catch (const std::bad_alloc&) {
    std::cerr << "ostrel-render: not enough memory" << std::endl;
  }
  return 1;
}
