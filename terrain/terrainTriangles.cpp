// The terrain's triangles in immediate mode, as a display list holds them.
#include <GL/gl.h>

#include "terrain/terrain.h"

void issueTerrainTriangles(const TerrainVertex (&vertices)[TERRAIN_VERTICES]) {
    glBegin(GL_TRIANGLES);
    for (const TerrainVertex &v : vertices) {
        glTexCoord2f(v.s, v.t);
        glColor3f(v.shade, v.shade, v.shade);
        glVertex3i(v.x, v.y, v.z);
    }
    glEnd();
}
