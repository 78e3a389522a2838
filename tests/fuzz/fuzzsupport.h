#pragma once
// What every fuzz target shares: a Qt application object, the staged data
// files, per-user folders of its own, and a scratch file for readers that
// take a path.
//
// A target is one file fuzz_<name>.cpp that calls FuzzSupport::SetUp() from
// LLVMFuzzerInitialize and defines LLVMFuzzerTestOneInput; its seed corpus of
// valid files is corpus/<name>/. tests/fuzz/CMakeLists.txt and scripts/fuzz
// pick up every such pair by itself.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace FuzzSupport {

// Once per process: a QCoreApplication, VOGM_APP_DIR at the staged data when
// unset, HOME and XDG_DATA_HOME at a temporary folder.
void SetUp(int *argc, char ***argv);

QByteArray Bytes(const uint8_t *data, size_t size);

// Writes `content` to a file of this process and returns its path. With
// `fresh` every call gets a new name (for readers that cache by path).
QString ScratchFile(const QByteArray &content, bool fresh = false);

// Ends the process with a message when a property of the reader is broken:
// libFuzzer reports it as a crash and keeps the input.
void Check(bool holds, const char *what);

}  // namespace FuzzSupport
