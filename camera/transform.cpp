// The transforms GLU defines, for a GL that has no GLU of its own: the look-at
// and the lens, and a frame's product of the two.
#include <cmath>

#include "camera/camera.h"

namespace {

// GLU's pi, in full; the program's own PI is a six-decimal value.
constexpr double GLU_PI = 3.14159265358979323846;

struct Direction {
    double x, y, z;
};

Direction crossed(const Direction &a, const Direction &b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(const Direction &a, const Direction &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A zero vector stays zero, as in GLU: a view along up gives a degenerate transform.
Direction unit(const Direction &d) {
    const double l = std::sqrt(dot(d, d));
    return l == 0 ? d : Direction{d.x / l, d.y / l, d.z / l};
}

// gluPerspective's matrix for the lens, column-major.
void perspectiveMatrix(double (&m)[16]) {
    const double half = FIELD_OF_VIEW / 2 * GLU_PI / 180;
    const double cotangent = std::cos(half) / std::sin(half);
    const double depth = FAR_PLANE - NEAR_PLANE;
    for (double &element : m) {
        element = 0;
    }
    m[0] = cotangent / ASPECT;
    m[5] = cotangent;
    m[10] = -(FAR_PLANE + NEAR_PLANE) / depth;
    m[11] = -1;
    m[14] = -2 * NEAR_PLANE * FAR_PLANE / depth;
}

} // namespace

void lookAtMatrix(const Camera &camera, double (&m)[16]) {
    const Direction eye{camera.position.x, camera.position.y, camera.position.z};
    const Direction forward = unit({camera.view.x - eye.x, camera.view.y - eye.y, camera.view.z - eye.z});
    const Direction side = unit(crossed(forward, {camera.up.x, camera.up.y, camera.up.z}));
    const Direction up = crossed(side, forward);
    const double rows[3][4] = {{side.x, side.y, side.z, -dot(side, eye)},
                               {up.x, up.y, up.z, -dot(up, eye)},
                               {-forward.x, -forward.y, -forward.z, dot(forward, eye)}};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 3; ++row) {
            m[4 * column + row] = rows[row][column];
        }
        m[4 * column + 3] = column == 3 ? 1 : 0;
    }
}

void frameTransform(const Camera &camera, float sx, float sy, float sz, float (&m)[16]) {
    double lens[16];
    double view[16];
    perspectiveMatrix(lens);
    lookAtMatrix(camera, view);
    const double scale[3] = {sx, sy, sz};
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 4; ++row) {
            view[4 * column + row] *= scale[column];
        }
    }
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += lens[4 * k + row] * view[4 * column + k];
            }
            m[4 * column + row] = static_cast<float>(sum);
        }
    }
}
