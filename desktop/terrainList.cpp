// The terrain display list: one list name, recompiled every frame.
#include <GL/gl.h>

#include "desktop/desktop.h"
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
    glBegin(GL_TRIANGLES);
    for (const TerrainVertex &v : vertices) {
        glTexCoord2f(v.s, v.t);
        glColor3f(v.shade, v.shade, v.shade);
        glVertex3i(v.x, v.y, v.z);
    }
    glEnd();
    glEndList();
    glColor4f(1, 1, 1, 1);
}

void deleteTerrainList() {
    glDeleteLists(terrainList, 1);
    terrainList = 0;
}
