#pragma once
// A folder whose writes fail the way a full or read-only disk makes them fail.
//
// Where the process may mount (root), the folder is a small tmpfs of its own:
// FillUp() fills it to the last block, MakeReadOnly() remounts it read-only.
// Elsewhere FillUp() sets a file-size limit of 0 bytes for the process until
// Release() (a write then fails with EFBIG only in a process that ignores
// SIGXFSZ, as the program does from its start-up; any other process ends), and
// MakeReadOnly() takes the write permission of the folder and every folder
// below it.

#include <QFileDevice>
#include <QString>
#include <QTemporaryDir>

class SmallFileSystem
{
public:
    SmallFileSystem();
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool IsValid() const { return m_dir.isValid(); }
    QString Path() const { return m_dir.path(); }
    bool Mounted() const { return m_mounted; }
    // How the failure is made, for messages.
    QString Kind() const;

    // Every later write that needs a new block fails.
    bool FillUp();
    // Nothing below the folder can be created, changed or removed.
    bool MakeReadOnly();
    // Undoes FillUp and MakeReadOnly so the folder can be cleaned up.
    void Release();

private:
    bool SetFolderPermissions(QFileDevice::Permissions permissions);

    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_limited = false;
    bool m_readOnly = false;
};
