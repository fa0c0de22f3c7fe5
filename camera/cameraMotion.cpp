// Moving, strafing and turning a camera. Every temporary is a float; each
// expression is evaluated in double and rounded where it is stored.
#include <cmath>

#include "camera/camera.h"

// p <- p + speed * d, per component.
static void addScaled(Vector3 &p, float speed, const Vector3 &d) {
    p.x = static_cast<float>(p.x + double(speed) * d.x);
    p.y = static_cast<float>(p.y + double(speed) * d.y);
    p.z = static_cast<float>(p.z + double(speed) * d.z);
}

// Both points move by the same amount, so the view direction is unchanged.
static void translate(Camera &camera, float speed, const Vector3 &direction) {
    addScaled(camera.position, speed, direction);
    addScaled(camera.view, speed, direction);
}

void moveCamera(Camera &camera, float speed) {
    Vector3 d = subtract(camera.view, camera.position);
    normalize(d);
    translate(camera, speed, d);
}

void strafeCamera(Camera &camera, float speed) {
    Vector3 side = cross(subtract(camera.view, camera.position), camera.up);
    normalize(side);
    translate(camera, speed, side);
}

// Each row is accumulated term by term in its float: the first term is stored,
// then every further term is added to the stored value and stored again. This
// rounding is part of the result (the view point drifts differently without it).
static float rotatedRow(double m0, double m1, double m2, const Vector3 &v) {
    float row = static_cast<float>(m0 * v.x);
    row = static_cast<float>(row + m1 * v.y);
    row = static_cast<float>(row + m2 * v.z);
    return row;
}

void rotateView(Camera &camera, float angle, float x, float y, float z) {
    const Vector3 v = subtract(camera.view, camera.position);
    const float c = static_cast<float>(std::cos(double(angle)));
    const float s = static_cast<float>(std::sin(double(angle)));
    const double t = 1.0 - c;
    const double xd = x, yd = y, zd = z;

    const float nx = rotatedRow(t * xd * xd + c, t * xd * yd - s * zd, t * xd * zd + s * yd, v);
    const float ny = rotatedRow(t * xd * yd + s * zd, t * yd * yd + c, t * yd * zd - s * xd, v);
    const float nz = rotatedRow(t * xd * zd - s * yd, t * yd * zd + s * xd, t * zd * zd + c, v);

    camera.view.x = static_cast<float>(double(camera.position.x) + nx);
    camera.view.y = static_cast<float>(double(camera.position.y) + ny);
    camera.view.z = static_cast<float>(double(camera.position.z) + nz);
}
