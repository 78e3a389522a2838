// Draws the application icon for the desktop's icon theme: the picture set's
// logo (Picture/Dialog/Logo.png, drawn for 64 x 64) at every size of the
// hicolor theme that menus and docks ask for. The drawing is vector work, so
// each size is drawn afresh rather than scaled from the 64-pixel file.
//
//   vogm_icongen --out DIR --name veltrane-orvandel
//   writes DIR/<N>x<N>/apps/veltrane-orvandel.png for each size.
#include "picturetable.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

namespace {

const int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

const PictureEntry *FindPicture(const QString &folder, const QString &name)
{
    for (const PictureEntry &entry : PictureTable()) {
        if (entry.folder == folder && entry.name == name)
            return &entry;
    }
    return nullptr;
}

QImage RenderAt(const PictureEntry &entry, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(qreal(size) / entry.size.width(), qreal(size) / entry.size.height());
    entry.paint(painter, QRectF(QPointF(0, 0), QSizeF(entry.size)));
    painter.end();
    return image;
}

bool SaveWhole(const QImage &image, const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!image.convertToFormat(QImage::Format_ARGB32).save(&file, "PNG"))
        return false;
    return file.commit();
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption outOption("out", "Icon theme folder (hicolor) to write into.", "dir");
    const QCommandLineOption nameOption("name", "Icon name (file name without .png).", "name");
    parser.addOptions({outOption, nameOption});
    parser.process(app);
    if (!parser.isSet(outOption) || !parser.isSet(nameOption)) {
        std::fprintf(stderr, "icon generator: --out and --name are needed\n");
        return 2;
    }

    const PictureEntry *logo = FindPicture(QStringLiteral("Dialog"), QStringLiteral("Logo"));
    if (!logo) {
        std::fprintf(stderr, "icon generator: the picture set has no Dialog/Logo\n");
        return 1;
    }
    const QDir out(parser.value(outOption));
    bool ok = true;
    for (int size : kIconSizes) {
        const QString path = out.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(parser.value(nameOption)));
        if (!SaveWhole(RenderAt(*logo, size), path)) {
            std::fprintf(stderr, "icon generator: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
