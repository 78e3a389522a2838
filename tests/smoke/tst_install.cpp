// `cmake --install` into a fresh prefix: the program, its device library, the
// data files and the pictures land together in the application folder, the
// desktop entry names the installed program and an installed icon, and the
// installed program starts from there (its run path finds the installed
// library, and it loads its files from its own folder).
#include "programprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>

namespace {

const QString kCMake = QStringLiteral(VOGM_CMAKE);
const QString kBuildDir = QStringLiteral(VOGM_BUILD_DIR);
const QString kAppDir = QStringLiteral(VOGM_INSTALL_APPDIR);
const QString kIconName = QStringLiteral("veltrane-orvandel");

}  // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_prefix;
    QString m_appFolder;

    QString Installed(const QString &relative) const { return m_prefix.filePath(relative); }

    // The [Desktop Entry] keys of the installed desktop file.
    QMap<QString, QString> DesktopEntry() const
    {
        QMap<QString, QString> keys;
        QFile file(Installed(QStringLiteral("share/applications/veltrane-orvandel.desktop")));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return keys;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (lines.value(0) != QLatin1String("[Desktop Entry]"))
            return keys;
        for (const QString &line : lines.mid(1)) {
            const int equals = line.indexOf(QLatin1Char('='));
            if (equals > 0)
                keys.insert(line.left(equals), line.mid(equals + 1));
        }
        return keys;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(kCMake, {QStringLiteral("--install"), kBuildDir, QStringLiteral("--prefix"), m_prefix.path()});
        QVERIFY(install.waitForFinished(4 * TestSupport::kHangGuardMs));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
        m_appFolder = Installed(kAppDir);
    }

    void applicationFolderHoldsEverythingTheProgramLoads_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("binary");  // a program or library; else a data file
        QTest::newRow("program") << QStringLiteral("VeltraneOrvandel") << true;
        QTest::newRow("device library") << QStringLiteral("libHIDUsb.so") << true;
        QTest::newRow("world tool") << QStringLiteral("vogm-world") << true;
        QTest::newRow("Config.ini") << QStringLiteral("usersetting/Config.ini") << false;
        QTest::newRow("English") << QStringLiteral("Language/0-English.xml") << false;
        QTest::newRow("Japanese") << QStringLiteral("Language/5-Japanese.xml") << false;
        QTest::newRow("web links") << QStringLiteral("Language/Net.xml") << false;
        QTest::newRow("sensor description") << QStringLiteral("driver_sensor.h") << false;
        QTest::newRow("mouse image") << QStringLiteral("bin/VOM-M2_v1.3.bin") << false;
        QTest::newRow("receiver image") << QStringLiteral("bin/VOR-M2-4K_v1.2.bin") << false;
        QTest::newRow("page background grain") << QStringLiteral("Picture/Dialog/Grain.png") << false;
        QTest::newRow("notice picture") << QStringLiteral("Picture/WarningDialog/BackGround.png") << false;
    }

    void applicationFolderHoldsEverythingTheProgramLoads()
    {
        QFETCH(QString, path);
        QFETCH(bool, binary);
        const QFileInfo installed(m_appFolder + QLatin1Char('/') + path);
        QVERIFY2(installed.isFile() && installed.size() > 0, qPrintable(installed.filePath()));
        if (binary) {
            // Binaries get their run path rewritten, so only the mode is checked
            // (a shared library needs no execute bit).
            if (!path.endsWith(QLatin1String(".so")))
                QVERIFY(installed.isExecutable());
        } else {
            // Data files are installed as staged.
            QFile staged(TestSupport::AppFolder() + QLatin1Char('/') + path);
            QFile copy(installed.filePath());
            QVERIFY(staged.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
            QVERIFY(staged.readAll() == copy.readAll());
        }
    }

    void everyStagedFileIsInstalled()
    {
        // Whatever the build stages beside the program must be installed too.
        QDir stage(TestSupport::AppFolder());
        QStringList missing;
        QDirIterator it(stage.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = stage.relativeFilePath(it.next());
            if (!QFileInfo::exists(m_appFolder + QLatin1Char('/') + relative))
                missing << relative;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1String(", "))));
    }

    void desktopEntryNamesTheInstalledProgramAndIcon()
    {
        const QMap<QString, QString> entry = DesktopEntry();
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Veltrane Orvandel Gaming Mouse"));
        const QString program = QFileInfo(m_appFolder + QStringLiteral("/VeltraneOrvandel")).absoluteFilePath();
        QCOMPARE(entry.value(QStringLiteral("Exec")), QLatin1Char('"') + program + QLatin1Char('"'));
        QCOMPARE(entry.value(QStringLiteral("TryExec")), program);
        QCOMPARE(entry.value(QStringLiteral("Icon")), kIconName);
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const QString icon = Installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kIconName));
            QImage image(icon);
            QVERIFY2(!image.isNull(), qPrintable(icon));
            QCOMPARE(image.size(), QSize(size, size));
        }
    }

    void launcherLinkPointsAtTheProgram()
    {
        const QFileInfo link(Installed(QStringLiteral("bin/veltrane-orvandel")));
        QVERIFY(link.isSymLink());
        QCOMPARE(link.canonicalFilePath(), QFileInfo(m_appFolder + QStringLiteral("/VeltraneOrvandel")).canonicalFilePath());
    }

    void installedProgramStartsFromItsFolder()
    {
        QTemporaryDir control;
        QVERIFY(control.isValid());
        // No VOGM_APP_DIR and no library path: only what the installed tree provides.
        QProcessEnvironment environment = ProgramProcess::Environment(QString(), control.path(), QString());
        environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
        environment.remove(QStringLiteral("VOGM_SCENARIO"));
        ProgramProcess program(Installed(QStringLiteral("bin/veltrane-orvandel")), environment);
        program.Start();
        QVERIFY2(program.WaitShown(QStringLiteral("DialogMain")), qPrintable(program.ErrorText()));
        QVERIFY(program.Signal(SIGTERM));
        QVERIFY(program.WaitEnded());
        QCOMPARE(program.Process().exitCode(), 0);
    }
};

VOGM_TEST_MAIN(TestInstall)
#include "tst_install.moc"
