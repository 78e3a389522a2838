// Draws the picture set of the program into <stage>/Picture/<folder>/<name>.png,
// and on request a manifest of the table, a contact sheet and the compiled-in
// section marker of the resources.
#include "contactsheet.h"
#include "picturetable.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>

namespace {

// Pictures this large (the page backgrounds, the device tiles) are stored
// without compression: a page's first paint waits for their decoding, and an
// uncompressed one decodes about three times faster.
constexpr int kUncompressedPixels = 100000;

bool EveryPixelOpaque(const QImage &argb)
{
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

// A picture without a single transparent pixel is written as RGB: the same
// pixels, less to read and decode, and no alpha to blend when painted.
// Large pictures are written uncompressed (above).
bool SaveWhole(const QImage &image, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const QImage stored = EveryPixelOpaque(argb) ? argb.convertToFormat(QImage::Format_RGB32) : argb;
    QImageWriter writer(&file, "PNG");
    if (stored.width() * stored.height() >= kUncompressedPixels)
        writer.setQuality(100);  // zlib level 0
    if (!writer.write(stored))
        return false;
    return file.commit();
}

QString CsvField(QString text)
{
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool WriteManifest(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "folder,name,width,height,variant_of,used_by\n";
    for (const PictureEntry &entry : PictureTable())
        out << entry.folder << ',' << entry.name << ',' << entry.size.width() << ',' << entry.size.height() << ','
            << entry.variantOf << ',' << CsvField(entry.usedBy) << '\n';
    out.flush();
    return file.commit();
}

bool Fail(const QString &what)
{
    std::fprintf(stderr, "picture generator: cannot write %s\n", qPrintable(what));
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption stageOption("stage", "Folder beside the program; pictures go to its Picture/.",
                                         "dir");
    const QCommandLineOption manifestOption("manifest", "Write the picture table as CSV.", "file");
    const QCommandLineOption sheetOption("contact-sheet", "Write a contact sheet of every picture.", "file");
    const QCommandLineOption resourceOption("resource-title", "Write the compiled-in section marker.", "file");
    parser.addOptions({stageOption, manifestOption, sheetOption, resourceOption});
    parser.process(app);

    bool ok = true;
    if (parser.isSet(stageOption)) {
        const QDir stage(parser.value(stageOption));
        for (const PictureEntry &entry : PictureTable()) {
            const QString path = stage.filePath(entry.RelativePath());
            if (!SaveWhole(RenderPicture(entry), path))
                ok = Fail(path);
        }
    }
    if (parser.isSet(manifestOption) && !WriteManifest(parser.value(manifestOption)))
        ok = Fail(parser.value(manifestOption));
    if (parser.isSet(sheetOption) && !SaveWhole(BuildContactSheet(), parser.value(sheetOption)))
        ok = Fail(parser.value(sheetOption));
    if (parser.isSet(resourceOption)
        && !SaveWhole(RenderPicture(CompiledTitleEntry()), parser.value(resourceOption)))
        ok = Fail(parser.value(resourceOption));
    return ok ? 0 : 1;
}
