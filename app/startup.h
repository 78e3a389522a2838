#pragma once
// Process start-up: the per-user folders, the purge of old log and dump files,
// the single-instance guard and the (uninstalled) log-message handler.
//
// main() is one call:
//
//     Q_INIT_RESOURCE(qtconf);   // the compiled-in :/qt/etc/qt.conf lives in a static library
//     return Startup::Run<QApplication>(argc, argv,
//                                       [] { return new DialogMain; },
//                                       [] { ExeIsRun notice; notice.exec(); });

#include "paths.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace Startup {

// The folders below the base folder that every start makes sure exist.
QStringList UserFolderNames();

// The process environment Qt reads when the application object is made:
// QT_XCB_GL_INTEGRATION=none unless it is set already (the program draws
// nothing with OpenGL, so the GL driver is not loaded for its windows), and a
// QT_QPA_PLATFORM that names a platform the program does not bring gets "xcb"
// to fall back to; TZ=":/etc/localtime" when TZ is not set.
void PrepareEnvironment();

// Creates the base folder's subfolders (with missing parents) and an empty
// "Macro.ini" when there is none. Failures are ignored: later reads of the
// settings file then see empty values.
void PrepareUserFolders();

// Makes a write past the file-size limit (ulimit -f) fail with EFBIG, as on
// a full disk, instead of ending the process with SIGXFSZ. The first step of Run.
void IgnoreFileSizeSignal();

// Removes what saves interrupted by a kill or a crash left behind: the
// temporary files (e.g. "registry.ini.vogm-save-AbCdEf") in the base folder
// and its subfolders that were last changed before `startedAt`, and the
// temporary files elsewhere (exports, the autostart entry) that the journal
// of whole-file writes lists.
void RemoveInterruptedSaves(const QDateTime &startedAt);

}  // namespace Startup

// Removes every file (never a folder, never descending) of `dir` whose age in
// whole days is more than 7. A file changed "in the future" counts as age 0.
void PurgeOldFiles(const QString &dir);

// Appends debug messages to "<base>/Log/yyyy-MM-dd.txt". Not installed by the
// program; kept for diagnosing a build by hand (qInstallMessageHandler).
void LogMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

namespace SingleInstance {

// Takes the per-user instance lock (a file named by the product title in the
// base folder, held with flock). Returns false only when another running
// process holds it; any other failure lets this process start all the same.
// The kernel drops the lock when the holder ends, however it ends, so a
// crashed instance never blocks the next start. Held until the process ends.
bool TryAcquire();

}  // namespace SingleInstance

namespace Startup {

// The whole start-up, in order: SIGXFSZ ignored, folders and Macro.ini, the environment for Qt, purge of "/Log" then
// "/Exception", the application object, the single-instance check, the
// removal of interrupted saves (only by the instance that holds the lock, so
// it never takes a running instance's save away), the main window and the
// event loop. `Application` is QApplication (this library is
// widget-free, so the caller names it). A second start runs
// `showAlreadyRunning` and returns 0. The main window is never deleted.
template <typename Application, typename MakeMainWindow, typename ShowAlreadyRunning>
int Run(int &argc, char **argv, MakeMainWindow makeMainWindow, ShowAlreadyRunning showAlreadyRunning)
{
    IgnoreFileSizeSignal();
    const QDateTime startedAt = QDateTime::currentDateTime();
    PrepareUserFolders();
    PrepareEnvironment();
    PurgeOldFiles(Paths::BaseFolder() + "/Log");
    PurgeOldFiles(Paths::BaseFolder() + "/Exception");
    Application app(argc, argv);
    if (!SingleInstance::TryAcquire()) {
        showAlreadyRunning();
        return 0;
    }
    RemoveInterruptedSaves(startedAt);
    auto *mainWindow = makeMainWindow();
    mainWindow->show();
    return app.exec();
}

}  // namespace Startup
