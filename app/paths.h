#pragma once
#include <QString>

// Where the program finds its files.
namespace Paths {

// The product title: window title, per-user folder name, single-instance key,
// registry key names.
extern const char *const kProductTitle;

// The folder beside the program that holds usersetting/Config.ini, Language/,
// Picture/, driver_sensor.h and bin/. The environment variable VOGM_APP_DIR
// overrides it (tests point it at the staged build data).
QString AppFolder();

// The per-user base folder: $XDG_DATA_HOME/<product title>
// (default ~/.local/share/<product title>). This is where the program keeps
// Macro.ini, Device_Info/, Exception/, Log/, usersetting/ and the registry store.
QString BaseFolder();

}  // namespace Paths
