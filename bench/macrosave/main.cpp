// The time from Save on the macro page to the macro's record stored in the
// mouse, in the program's main window with the simulated default world at its
// usual timings. Button 3 of the 4 kHz receiver's mouse holds the macro
// "dev1" (A pressed, a delay, A released); each round shows it on the macro
// page, changes its delay, clicks Save and waits until the mouse holds the
// record with the new delay.
//
// Prints one line: the median of the rounds.
#include "dialog.h"
#include "dialogmain.h"
#include "devicetiles.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macro.h"
#include "macrorecord.h"
#include "mytoolbuttonenter.h"
#include "startup.h"
#include "updataparam.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QListView>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace {

const QString kMouse = QStringLiteral("m2");
constexpr int kButton = 3;
constexpr int kDeadlineMs = 20000;

// The record of "dev1": A pressed, `delay` ms, A released.
QByteArray AClickRecord(int delay)
{
    MacroRecord record = EmptyMacroRecord();
    record.NameLength = 4;
    std::copy_n("dev1", 4, record.Name);
    record.Count = 2;
    record.Events[0] = MacroEvent{0, uint8_t(kKindKeyboard), 0x04, uint32_t(delay)};
    record.Events[1] = MacroEvent{1, uint8_t(kKindKeyboard), 0x04, 0};
    const MacroRecordBytes bytes = StoreRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

QByteArray StoredRecord()
{
    return HidSim::StoredImage(kMouse).mid(int(offsetof(FlashDataMap, Macros)) + kMacroRecordSize * kButton,
                                           kMacroRecordSize);
}

bool SeedTheMouse()
{
    QByteArray stored = HidSim::StoredImage(kMouse);
    stored.replace(int(offsetof(FlashDataMap, Keys)) + 3 * kButton, 3, QByteArray::fromHex("0603fe"));
    stored.replace(int(offsetof(FlashDataMap, Macros)) + kMacroRecordSize * kButton, kMacroRecordSize,
                   AClickRecord(20));
    return HidSim::SetStoredImage(kMouse, stored);
}

int Fail(const char *reason)
{
    std::fprintf(stderr, "macro save bench: %s\n", reason);
    return 1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption roundsOption("rounds", "Saves for the median.", "n", "9");
    parser.addOption(roundsOption);
    parser.process(app);
    const int rounds = qMax(1, parser.value(roundsOption).toInt());

    Startup::PrepareUserFolders();
    HidSim::SetWorld(HidSim::DefaultWorld());
    if (!SeedTheMouse())
        return Fail("cannot seed the mouse");

    DialogMain window;
    window.show();
    if (!QTest::qWaitFor([] { return !g_DeviceTiles.isEmpty(); }, kDeadlineMs))
        return Fail("no device tiles");
    int entry = -1;
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices.at(i).Mid == 2 && g_PageDevices.at(i).Online)
            entry = i;
    }
    if (entry < 0 || entry >= g_DeviceTiles.size())
        return Fail("no tile of the receiver mouse");
    QSignalSpy popupClosed(window.DevicePage()->WaitPopup(), &QDialog::finished);
    QTest::mouseClick(g_DeviceTiles.at(entry), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return popupClosed.count() == 1; }, kDeadlineMs) || !HidSim::WaitUntilIdle())
        return Fail("the device page was not filled");

    // The macro editor is built when first chosen (or by a macro the read brought back).
    window.findChild<QToolButton *>(QStringLiteral("MacroButton"))->click();
    auto *page = window.findChild<Macro *>();
    auto *macros = page ? page->findChild<QListWidget *>(QStringLiteral("listWidgetHong")) : nullptr;
    auto *events = page ? page->findChild<QListView *>(QStringLiteral("listWidgetKey")) : nullptr;
    auto *save = page ? page->findChild<QToolButton *>(QStringLiteral("Save")) : nullptr;
    if (!macros || !events || !save)
        return Fail("no macro page");
    const QList<QListWidgetItem *> found = macros->findItems(QStringLiteral("dev1"), Qt::MatchExactly);
    if (found.size() != 1)
        return Fail("the read did not bring the macro back");
    QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(found.first()).center());
    QAbstractItemModel *rows = events->model();
    if (rows->rowCount() != 3)
        return Fail(qPrintable(QStringLiteral("the macro's events are not shown: %1 rows").arg(rows->rowCount())));

    std::vector<double> milliseconds;
    for (int round = 0; round < rounds; ++round) {
        const int delay = round % 2 ? 20 : 50;
        // The delay row edited as the page's editor writes it.
        rows->setData(rows->index(1, 0), QString::number(delay) + QStringLiteral("ms"), Qt::EditRole);
        const QByteArray expected = AClickRecord(delay);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(save, Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return StoredRecord() == expected; }, kDeadlineMs))
            return Fail("the mouse did not store the saved macro");
        milliseconds.push_back(clock.nsecsElapsed() / 1e6);
        HidSim::WaitUntilIdle();
    }
    std::printf("Save on the macro page to the record stored in the mouse: %.0f ms (median of %d saves)\n",
                Median(milliseconds), rounds);
    return 0;
}
