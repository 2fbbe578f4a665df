// mkdemo: writes the demo installation into the folder given as its argument:
// the glider and cockpit meshes, a few meshes to browse, their textures in every
// accepted format, the exhaust and cloud textures, the planet textures, and the
// empty design folder.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "mkdemo/glider.h"
#include "mkdemo/imgwrite.h"
#include "mkdemo/planet.h"
#include "mkdemo/textures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkdemo ROOT\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const std::string root = argv[1];
  try {
    for (const char* dir : {"Meshes/dg", "Meshes/Demo/Station", "Meshes/Demo/Probes", "Textures/dg", "Textures/Demo",
                            "Vessel_Design"})
      fs::create_directories(fs::path(root) / dir);
    const struct { const char* path; demo_mesh (*build)(); } meshes[] = {
      {"Meshes/dg/deltaglider.msh", glider_mesh},
      {"Meshes/dg/deltaglidercockpit.msh", cockpit_mesh},
      {"Meshes/Demo/cargopod.msh", cargo_pod_mesh},
      {"Meshes/Demo/Station/dockring.msh", dock_ring_mesh},
      {"Meshes/Demo/Probes/probe.msh", probe_mesh},
    };
    for (const auto& m : meshes) {
      const std::string text = mesh_text(m.build());
      write_file_bytes(root + "/" + m.path, bytes(text.begin(), text.end()));
    }
    write_demo_textures(root);
    write_demo_planets(root);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkdemo: %s\n", e.what());
    return 1;
  }
  return 0;
}
