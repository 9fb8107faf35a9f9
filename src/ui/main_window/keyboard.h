#pragma once

struct MainControls;

// Makes the main window work from the keyboard: Tab goes the way the eye reads the window (drive
// list, folders, files, ">", selection, Delete, Delete All, the three names, the colour swatch,
// Make, Help, Exit) and Enter presses the focused button, as Space does.
void SetUpKeyboard(const MainControls &controls);
