#pragma once
// Reading and writing the program's own files safely.
//
// Writing: a file is replaced whole or not at all. The content goes to a
// temporary file beside the target, is flushed and synced, and only then
// renamed over the target. Any failure on the way (full disk, file-size limit,
// read-only folder) removes the temporary file, keeps the old file byte for
// byte and returns false. QSaveFile::commit() alone is not enough: a write cut
// short while its buffer is flushed at commit time goes unnoticed there.
//
// Reading: only regular files are opened. A FIFO, a device or a folder in
// place of a file counts as missing, so a reader never blocks on it. Files
// larger than a reader's limit count as unreadable.

#include <QByteArray>
#include <QDateTime>
#include <QString>

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

// True for a name that Write's temporary files take: the target's name
// followed by "." and six letters or digits.
bool IsTemporaryName(const QString &fileName);

// Removes the temporary files that saves interrupted by a kill or a crash left
// in `folder`: those of Write's naming last changed before `startedAt`. Never
// descends into subfolders. Returns the number removed.
int RemoveInterruptedSaves(const QString &folder, const QDateTime &startedAt);

}  // namespace WholeFile
