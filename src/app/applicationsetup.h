#pragma once

// What the program sets up once, after the application object and before
// the window: its name, the design font as the application's font (before
// any style measures text in another), Qt's own texts in French where the
// system has them, and how assistive technology sees the window.
void setUpApplication();
