// What only the browser build has: the page around the canvas.
#pragma once

// Listens to the page's input: from the first click on the canvas on, the
// pointer is captured (pointer lock), and its movement is what mouse look
// sees; Escape pressed in full screen leaves full screen and is not seen
// until it is let go.
void listenForInput();

// The page says that the demo has ended and how to start it again.
void showDemoEnded();

// The page says that the browser took the WebGL context away, and how to start again.
void showContextLost();
