// The terrain's display list where the GL has none (WebGL under Emscripten's
// fixed-function emulation): compiling records the frame's vertices, calling
// replays them in immediate mode, as the GL would replay a compiled list.
#include <GL/gl.h>

#include "terrain/terrain.h"

unsigned int terrainList;

static TerrainVertex recorded[TERRAIN_VERTICES];

// One list, always the same name, as the GL would hand out first.
void buildTerrainList() {
    buildTerrainVertices(recorded);
    terrainList = 1;
}

void callTerrainList() {
    if (terrainList == 0) {
        return;
    }
    issueTerrainTriangles(recorded);
}

void deleteTerrainList() { terrainList = 0; }
