#pragma once

// Registers the resources compiled into the ui library (the section marker
// ":/sensor/Source/SensorImage/Title.png"). A static library's resources are
// only linked when something refers to them, so the program calls this once
// at start, before any form is built.
void LoadCompiledResources();
