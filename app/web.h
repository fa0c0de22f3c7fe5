// What only the browser build has: the page around the canvas.
#pragma once

// From the first click on the canvas on, the pointer is captured (pointer
// lock), and its movement is what mouse look sees.
void capturePointerOnClick();

// The page says that the demo has ended and how to start it again.
void showDemoEnded();
