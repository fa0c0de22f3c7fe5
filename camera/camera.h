// Camera: vectors, the camera record and its presets, motion and mouse look.
// Pure maths: positions in world units, angles in radians, roll in degrees.
#pragma once

#include <cstdint>

#include "app/conventions.h"

struct Vector3 {
    float x, y, z;
};

struct Camera {
    Vector3 position; // eye point
    Vector3 view;     // point looked at; view - position is not kept at unit length
    Vector3 up;       // handed to the look-at transform; refreshed from roll by mouseLook
    int32_t roll;     // whole degrees
};

struct CameraPreset {
    Vector3 position, view, up;
};

constexpr int CAMERA_COUNT = 2;

// Camera 0 looks down at the origin from above and behind; camera 1 straight
// down from above, its view parallel to its preset up until mouseLook rolls it.
constexpr CameraPreset CAMERA_PRESETS[CAMERA_COUNT] = {
    {{0, 25, 50}, {0, 0, 0}, {0, 1, 0}},
    {{0, 45, 0}, {0, 0, 0}, {0, 1, 0}},
};

// Mouse look turns by one radian per this many pixels of pointer movement.
constexpr double PIXELS_PER_RADIAN = 1000.0;
// The accumulated tilt stays strictly inside (-PITCH_LIMIT, PITCH_LIMIT) or on a bound.
constexpr float PITCH_LIMIT = 1.0f;

// Program-wide: both cameras (all zero until loaded), the index of the one in
// use, and the tilt accumulated by mouse look, shared by both cameras.
extern Camera cameras[CAMERA_COUNT];
extern int32_t currentCamera;
extern float pitchTotal;

// a - b, per component.
Vector3 subtract(const Vector3 &a, const Vector3 &b);

// The right-handed cross product a x b.
Vector3 cross(const Vector3 &a, const Vector3 &b);

// Euclidean length rounded to float; 1 instead of 0, so normalize never divides by zero.
float length(const Vector3 &v);

// Scales v to unit length in place; the zero vector stays zero.
void normalize(Vector3 &v);

// Assigns position, view and up; roll is left as it is.
void setCamera(Camera &camera, float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
               float uz);

// setCamera with preset `index` (0 or 1).
void loadCameraPreset(Camera &camera, int index);

// Moves position and view `speed` units along the view direction.
void moveCamera(Camera &camera, float speed);

// Moves position and view `speed` units to the right (view direction x up).
void strafeCamera(Camera &camera, float speed);

// Turns the view point about the unit axis (x, y, z) through the position by `angle` radians.
void rotateView(Camera &camera, float angle, float x, float y, float z);

// The lens: 40 degrees of view from bottom to top, a 4:3 picture, and
// nothing nearer than 1 or farther than 500 world units.
constexpr double FIELD_OF_VIEW = 40.0; // degrees
constexpr double ASPECT = 1.333333333333333;
constexpr double NEAR_PLANE = 1.0;
constexpr double FAR_PLANE = 500.0;

// The look-at transform GLU's gluLookAt multiplies by, column-major: the eye
// moved to the origin, looking down -z with up along +y.
void lookAtMatrix(const Camera &camera, double (&m)[16]);

// Where a GL without GLU draws from: the lens as gluPerspective makes it,
// times the camera's look-at, times a scale of (sx, sy, sz). Column-major,
// carried in double and rounded to float once.
void frameTransform(const Camera &camera, float sx, float sy, float sz, float (&m)[16]);

// Refreshes up from roll, then turns and tilts the view by the pointer's
// offset (mx, my) from the window centre. Returns true when the pointer moved
// and must be put back at the centre.
bool mouseLook(Camera &camera, int mx, int my);
