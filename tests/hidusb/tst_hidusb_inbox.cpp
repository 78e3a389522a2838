// World commands sent while a program starts: a command file written the
// moment the library has made its inbox is applied and answered, every time,
// without being sent again.

#include "testsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

constexpr int kStarts = 20;
constexpr int kAtOnce = 4;
const QByteArray kCommand = "unplug r4k";

void WriteCommand(const QString &inbox)
{
    QSaveFile file(QStringLiteral("%1/%2-test.cmd").arg(inbox).arg(QDateTime::currentMSecsSinceEpoch()));
    if (file.open(QIODevice::WriteOnly) && file.write(kCommand + '\n') > 0)
        file.commit();
}

// One start of the listener with a control folder of its own. A thread of
// the test blocks on the folder's inotify events and writes the command, as
// the vogm-world tool writes it, the moment the library has made the inbox.
class Start
{
public:
    explicit Start(const QString &folder) : m_folder(folder)
    {
        QDir().mkpath(m_folder);
        m_inotify = ::inotify_init1(IN_CLOEXEC);
        ::inotify_add_watch(m_inotify, QFile::encodeName(m_folder).constData(), IN_CREATE | IN_ONLYDIR);
        m_sender = std::thread([this] { SendOnceInboxExists(); });
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("VOGM_WORLD_DIR", m_folder);
        environment.remove("VOGM_SCENARIO");
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(INBOX_LISTENER), QStringList());
    }
    ~Start()
    {
        m_process.kill();
        m_process.waitForFinished();
        ::close(m_inotify);  // ends a sender still waiting
        m_sender.join();
    }

    bool Sent() const { return m_sent.load(); }

    QByteArray Result() const
    {
        QFile file(m_folder + "/last-result.txt");
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
    }

private:
    void SendOnceInboxExists()
    {
        const QString inbox = m_folder + "/inbox";
        alignas(inotify_event) char events[4096];
        while (!QFileInfo::exists(inbox)) {
            if (::read(m_inotify, events, sizeof events) <= 0)
                return;
        }
        WriteCommand(inbox);
        m_sent = true;
    }

    QString m_folder;
    int m_inotify = -1;
    std::thread m_sender;
    QProcess m_process;
    std::atomic<bool> m_sent{false};
};

}  // namespace

class TestHidUsbInbox : public QObject
{
    Q_OBJECT
private slots:
    void commandWrittenAsTheInboxAppearsIsAnswered();
    void commandsOfAnEarlierRunAreDropped();
    void filesWithoutTheCommandSuffixAreLeftAlone();
};

void TestHidUsbInbox::commandWrittenAsTheInboxAppearsIsAnswered()
{
    QTemporaryDir root;
    int answered = 0;
    for (int first = 0; first < kStarts; first += kAtOnce) {
        std::vector<std::unique_ptr<Start>> starts;
        for (int i = first; i < first + kAtOnce; ++i)
            starts.push_back(std::make_unique<Start>(root.filePath(QString::number(i))));
        for (const auto &start : starts) {
            QVERIFY(TestSupport::WaitFor([&] { return start->Sent(); }));
            if (TestSupport::WaitFor([&] { return start->Result() == "ok: " + kCommand; }))
                ++answered;
        }
    }
    QCOMPARE(answered, kStarts);
}

// A command file already in the inbox when the program starts was meant for
// an earlier run: it is deleted, not applied.
void TestHidUsbInbox::commandsOfAnEarlierRunAreDropped()
{
    QTemporaryDir root;
    const QString inbox = root.filePath("control/inbox");
    QVERIFY(QDir().mkpath(inbox));
    QFile old(inbox + "/1-old.cmd");
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("plug nobody\n");
    QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
    old.close();
    Start start(root.filePath("control"));
    QVERIFY(TestSupport::WaitFor([&] { return !QFile::exists(inbox + "/1-old.cmd"); }));
    // Only the command of this run is answered.
    WriteCommand(inbox);
    QVERIFY(TestSupport::WaitFor([&] { return !start.Result().isEmpty(); }));
    QCOMPARE(start.Result(), "ok: " + kCommand);
}

// Only *.cmd files are commands: a note beside them is neither applied nor
// deleted.
void TestHidUsbInbox::filesWithoutTheCommandSuffixAreLeftAlone()
{
    QTemporaryDir root;
    const QString inbox = root.filePath("control/inbox");
    Start start(root.filePath("control"));
    QVERIFY(TestSupport::WaitFor([&] { return start.Sent(); }));
    QVERIFY(TestSupport::WaitFor([&] { return !start.Result().isEmpty(); }));
    for (const QString &name : {QStringLiteral("note.txt"), QStringLiteral("2-old.cmd.bak")}) {
        QFile note(inbox + "/" + name);
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("plug nobody\n");
    }
    // Answered after the notes: the inbox has been read with them in it.
    QVERIFY(QFile::remove(root.filePath("control/last-result.txt")));
    WriteCommand(inbox);
    QVERIFY(TestSupport::WaitFor([&] { return !start.Result().isEmpty(); }));
    QCOMPARE(start.Result(), "ok: " + kCommand);
    QVERIFY(QFile::exists(inbox + "/note.txt"));
    QVERIFY(QFile::exists(inbox + "/2-old.cmd.bak"));
}

VOGM_TEST_MAIN(TestHidUsbInbox)
#include "tst_hidusb_inbox.moc"
