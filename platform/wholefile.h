#pragma once
// Reading and writing the program's own files safely. Every file the program
// writes goes through Write.
//
// Writing: a file is replaced whole or not at all. The content goes to a
// temporary file beside the target ("<name>.vogm-save-XXXXXX"), is flushed and
// synced, and only then renamed over the target. Any failure on the way (full
// disk, file-size limit, read-only folder) removes the temporary file, keeps
// the old file byte for byte and returns false. The process ignores SIGXFSZ
// (Startup::IgnoreFileSizeSignal), so a write past the file-size limit fails
// with EFBIG like one on a full disk.
//
// Inside the per-user base folder (Paths::BaseFolder) a write never follows a
// symbolic link: neither a subfolder below the base folder nor the target may
// be one, and the write fails when one is. Outside it (exports to a path the
// user picked, the autostart entry) links are followed as picked, and each
// temporary file is listed in a journal in the base folder before it is
// created, so a start after a kill removes exactly those files
// (RemoveJournaledSaves).
//
// Reading: only regular files are opened. A FIFO, a device or a folder in
// place of a file counts as missing, so a reader never blocks on it. Files
// larger than a reader's limit count as unreadable.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace WholeFile {

// Settings files and caches the program reads are far below this.
constexpr qint64 kDefaultMaxReadBytes = 16 * 1024 * 1024;

// Replaces `path` with `content` (the folder must exist). False, with the old
// file kept, when anything fails.
bool Write(const QString &path, const QByteArray &content);

// True when `path` (after following links) is a regular file of at most
// `maxBytes` bytes.
bool IsRegularFile(const QString &path, qint64 maxBytes = kDefaultMaxReadBytes);

// Reads the whole of a regular file of at most `maxBytes`. The file is opened
// without blocking and checked on the open descriptor, so a FIFO swapped in
// after a check still never blocks. False when missing, not a regular file,
// too large or unreadable; `*content` is then left empty.
bool Read(const QString &path, QByteArray *content, qint64 maxBytes = kDefaultMaxReadBytes);

// True for a name that Write's temporary files take: a target name followed
// by ".vogm-save-" and six letters or digits.
bool IsTemporaryName(const QString &fileName);

// Removes the temporary files that saves interrupted by a kill or a crash left
// in `folder`: those of Write's naming last changed before `startedAt`. Never
// descends into subfolders. Returns the number removed.
int RemoveInterruptedSaves(const QString &folder, const QDateTime &startedAt);

// The journal of temporary files outside the base folder:
// BaseFolder()/pending-saves.txt, one absolute path a line.
QString JournalPath();
// The temporary files the journal lists now (a write outside the base folder
// in progress, or one a kill cut short).
QStringList JournaledSaves();
// Removes the files the journal lists, where each still is a regular file of
// Write's naming (never a link, a folder or any other name), then empties
// the journal; entries that could not be removed stay listed. For the start
// that holds the instance lock, before anything writes. Returns the number removed.
int RemoveJournaledSaves();

}  // namespace WholeFile
