// Vector operations and the camera record's program-wide state.
#include <cmath>

#include "camera/camera.h"

Camera cameras[CAMERA_COUNT];
int32_t currentCamera;

Vector3 subtract(const Vector3 &a, const Vector3 &b) {
    return Vector3{static_cast<float>(double(a.x) - b.x), static_cast<float>(double(a.y) - b.y),
                   static_cast<float>(double(a.z) - b.z)};
}

Vector3 cross(const Vector3 &a, const Vector3 &b) {
    return Vector3{static_cast<float>(double(a.y) * b.z - double(a.z) * b.y),
                   static_cast<float>(double(a.z) * b.x - double(a.x) * b.z),
                   static_cast<float>(double(a.x) * b.y - double(a.y) * b.x)};
}

float length(const Vector3 &v) {
    const float result = static_cast<float>(std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z));
    return result == 0.0f ? 1.0f : result;
}

void normalize(Vector3 &v) {
    const double l = length(v);
    v.x = static_cast<float>(v.x / l);
    v.y = static_cast<float>(v.y / l);
    v.z = static_cast<float>(v.z / l);
}

void setCamera(Camera &camera, float px, float py, float pz, float vx, float vy, float vz, float ux, float uy,
               float uz) {
    camera.position = Vector3{px, py, pz};
    camera.view = Vector3{vx, vy, vz};
    camera.up = Vector3{ux, uy, uz};
}

void loadCameraPreset(Camera &camera, int index) {
    const CameraPreset &p = CAMERA_PRESETS[index];
    setCamera(camera, p.position.x, p.position.y, p.position.z, p.view.x, p.view.y, p.view.z, p.up.x, p.up.y,
              p.up.z);
}
