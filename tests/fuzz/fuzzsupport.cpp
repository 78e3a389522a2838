#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

namespace {

QTemporaryDir *s_home = nullptr;
int s_scratchCount = 0;

}  // namespace

void SetUp(int *argc, char ***argv)
{
    if (s_home)
        return;
    s_home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/vogm-fuzz-XXXXXX"));
    qputenv("HOME", QFile::encodeName(s_home->path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(s_home->path() + QStringLiteral("/data")));
    QDir().mkpath(s_home->path() + QStringLiteral("/data"));
    if (qEnvironmentVariableIsEmpty("VOGM_APP_DIR"))
        qputenv("VOGM_APP_DIR", VOGM_FUZZ_STAGE_DIR);
    new QCoreApplication(*argc, *argv);  // lives as long as the process
}

QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

QString ScratchFile(const QByteArray &content, bool fresh)
{
    const QString path = s_home->path() + QStringLiteral("/scratch")
        + (fresh ? QString::number(++s_scratchCount) : QString());
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

void Check(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz: property broken: %s\n", what);
    std::abort();
}

}  // namespace FuzzSupport
