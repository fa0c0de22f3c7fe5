// The look-at transform as GLU defines it, for a GL that has no GLU of its own.
#include <cmath>

#include "camera/camera.h"

namespace {

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
