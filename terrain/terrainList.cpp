// The terrain display list: one list name, recompiled every frame.
#include <GL/gl.h>

#include "terrain/terrain.h"

static_assert(sizeof(GLuint) == sizeof(unsigned int), "terrainList holds a GL list name");

unsigned int terrainList;

// Recompiling the same name replaces its contents, so exactly one list is
// alive however long the program runs.
void buildTerrainList() {
    static TerrainVertex vertices[TERRAIN_VERTICES];
    buildTerrainVertices(vertices);

    if (terrainList == 0) {
        terrainList = glGenLists(1);
    }
    glNewList(terrainList, GL_COMPILE);
    issueTerrainTriangles(vertices);
    glEndList();
    glColor4f(1, 1, 1, 1);
}

void callTerrainList() { glCallList(terrainList); }

void deleteTerrainList() {
    glDeleteLists(terrainList, 1);
    terrainList = 0;
}
