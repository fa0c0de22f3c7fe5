// Mouse look: the pointer's offset from the window centre turns and tilts the view.
#include <cmath>

#include "camera/camera.h"

float pitchTotal;

bool mouseLook(Camera &camera, int mx, int my) {
    const double a = camera.roll * PI / 180.0;
    camera.up = Vector3{static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0.0f};
    normalize(camera.up);

    if (mx == WINDOW_CENTRE_X && my == WINDOW_CENTRE_Y) {
        return false;
    }

    const float yaw = static_cast<float>((WINDOW_CENTRE_X - mx) / PIXELS_PER_RADIAN);
    const float pitch = static_cast<float>((WINDOW_CENTRE_Y - my) / PIXELS_PER_RADIAN);

    // A movement that would carry the tilt past a bound pins it there and is
    // dropped whole, turn included; the pointer is re-centred all the same.
    pitchTotal = static_cast<float>(double(pitchTotal) - pitch);
    if (pitchTotal > PITCH_LIMIT) {
        pitchTotal = PITCH_LIMIT;
        return true;
    }
    if (pitchTotal < -PITCH_LIMIT) {
        pitchTotal = -PITCH_LIMIT;
        return true;
    }

    Vector3 axis = cross(subtract(camera.view, camera.position), camera.up);
    normalize(axis);

    rotateView(camera, pitch, axis.x, axis.y, axis.z);
    rotateView(camera, yaw, camera.up.x, camera.up.y, camera.up.z);
    return true;
}
