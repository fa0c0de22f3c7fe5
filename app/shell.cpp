// The shell's program-wide state.
#include "app/shell.h"

bool quitRequested;
float worldScale;
int32_t rollAngle;

void initShellState() {
    worldScale = 0.3f;
    rollAngle = 90;
    quitRequested = false;
}
