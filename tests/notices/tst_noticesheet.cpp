// Renders every notice with the shipped pictures and English texts into one
// contact sheet (notices-sheet.png in the folder VOGM_TEST_SHOTS names) for a
// person to look at, and checks what a missing or misnamed picture would
// spoil: every picture a style sheet names exists, and the background picture
// covers each notice.

#include "languagereader.h"
#include "macroini.h"
#include "noticetestkit.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QtTest>

using namespace NoticeTestKit;

namespace {

struct Shot {
    QString caption;
    QImage image;
};

// Share of the notice's pixels left in the plain window colour.
double PlainShare(const QImage &image, const QColor &plain)
{
    int plainPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == plain)
                ++plainPixels;
        }
    }
    return double(plainPixels) / (image.width() * image.height());
}

QImage ContactSheet(const QVector<Shot> &shots)
{
    const int columns = 4;
    const QSize cell(300 + 20, 140 + 40);
    const int rows = (shots.size() + columns - 1) / columns;
    QImage sheet(columns * cell.width(), rows * cell.height(), QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 96));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    for (int i = 0; i < shots.size(); ++i) {
        const QPoint origin((i % columns) * cell.width() + 10, (i / columns) * cell.height() + 8);
        painter.drawText(QRect(origin, QSize(300, 20)), Qt::AlignLeft | Qt::AlignVCenter, shots[i].caption);
        painter.drawImage(origin + QPoint(0, 24), shots[i].image);
    }
    return sheet;
}

}  // namespace

class TestNoticeSheet : public QObject
{
    Q_OBJECT

private:
    QVector<Shot> shots;

    void Take(QDialog *notice, const QString &caption)
    {
        notice->show();
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        const QImage image = notice->grab().toImage();
        shots.append({caption, image});

        for (const QString &file : TestSupport::PicturesNamed(notice))
            QVERIFY2(QFileInfo::exists(file), qPrintable(caption + ": " + file));
        const QColor plain = notice->palette().color(QPalette::Window);
        QVERIFY2(PlainShare(image, plain) < 0.02, qPrintable(caption + ": background not painted"));
        notice->hide();
    }

private slots:
    void everyNotice()
    {
        for (const QString &name : NoticeClasses()) {
            const auto notice = MakeNotice(name);
            if (auto *warning = qobject_cast<UpDateWarning *>(notice.get()))
                warning->SetLabelText("The receiver firmware is older than the mouse firmware. Please update the receiver first.");
            Take(notice.get(), name);
        }
    }

    void offlineTimeout()
    {
        g_OfflineNoticeKind = 1;
        MouseOffLine notice;
        g_OfflineNoticeKind = 0;
        Take(&notice, "MouseOffLine, time-out");
    }

    void importMismatch()
    {
        g_ImportCheckResult = 2;
        InportFail notice;
        g_ImportCheckResult = 0;
        Take(&notice, "InportFail, result 2");
    }

    void progressStates()
    {
        Progress running;
        running.SlotProgress(37, 0);
        Take(&running, "Progress, 37%");
        Progress failed;
        failed.SlotProgress(37, 1);
        Take(&failed, "Progress, failed");
        Progress succeeded;
        succeeded.SlotProgress(100, 2);
        Take(&succeeded, "Progress, succeeded");
    }

    // The CJK files need their own font: this shows whether one is found.
    void otherLanguages()
    {
        for (int index : {1, 5}) {
            RePair notice;
            notice.SlotChangeLanguage(index);
            Take(&notice, QString("RePair, language %1").arg(index));
        }
    }

    // The macro page's refusals, one notice with the text of the language
    // file, in English and in Simplified Chinese.
    void macroRefusals_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("tag");
        for (const char *tag : {"SaveFail", "ImportFail"})
            QTest::newRow(tag) << "Macro" << tag;
        QTest::newRow("NameRefused") << "Question" << "NameRefused";
    }

    void macroRefusals()
    {
        QFETCH(QString, element);
        QFETCH(QString, tag);
        QVERIFY(QDir().mkpath(TestSupport::BaseFolder()));
        for (int index : {0, 1}) {
            // The notice takes its button texts from the language in use.
            QVERIFY(MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(index)));
            QString text;
            LanguageReader(element, {{tag, StoreTarget(&text)}}).Load(index);
            QVERIFY2(!text.isEmpty(), qPrintable(QString("%1 in language %2").arg(tag).arg(index)));
            UpDateWarning notice;
            notice.SetLabelText(text);
            Take(&notice, QString("%1, language %2").arg(tag).arg(index));
            QVERIFY(TestSupport::SaveShot(shots.last().image, QString("notice-%1-%2.png").arg(tag).arg(index)));
        }
        QVERIFY(MacroIni::GetInstance()->SetValue("Language", "Language", "0"));
    }

    void cleanupTestCase()
    {
        QVERIFY(TestSupport::SaveShot(ContactSheet(shots), QStringLiteral("notices-sheet.png")));
    }
};

VOGM_TEST_MAIN(TestNoticeSheet)
#include "tst_noticesheet.moc"
