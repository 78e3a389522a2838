// The event-list rules without a widget: where inserts, amends and deletes
// land, the 70-key cap, and the repair of lists read from damaged files.

#include "eventlisteditor.h"
#include "testsupport.h"

#include <QtTest>

namespace {

// A list written as words: "A+" a press of A, "A-" its release, "10ms" a delay.
MacroItems Items(const QString &words)
{
    MacroItems items;
    for (const QString &word : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.endsWith(QStringLiteral("ms")))
            items << MacroItem{word, MacroItem::kDelayType};
        else
            items << MacroItem::Key(word.chopped(1), word.endsWith(QLatin1Char('+')));
    }
    return items;
}

QString Words(const MacroItems &items)
{
    QStringList words;
    for (const MacroItem &item : items)
        words << (item.IsDelay() ? item.text : item.text + (item.IsPress() ? "+" : "-"));
    return words.join(QLatin1Char(' '));
}

// n presses of A with 10 ms between each two.
QString Keys(int n)
{
    QStringList words;
    for (int i = 0; i < n; ++i)
        words << (i ? QStringLiteral("10ms A+") : QStringLiteral("A+"));
    return words.join(QLatin1Char(' '));
}

using Edit = std::function<bool(EventListEditor &)>;

}  // namespace

Q_DECLARE_METATYPE(Edit)

class TestEventListEditor : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void repaired_data();
    void repaired();
    void limitsCountTheListAsRead();
};

void TestEventListEditor::edits_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("current");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<bool>("done");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("currentAfter");

    const Edit pressB = [](EventListEditor &e) { return e.InsertKeyEvent("B", true); };
    const Edit releaseA = [](EventListEditor &e) { return e.InsertKeyEvent("A", false); };
    const Edit click = [](EventListEditor &e) { return e.InsertMouseClick("L"); };
    const Edit delay50 = [](EventListEditor &e) { return e.InsertDelay(50); };
    const Edit remove = [](EventListEditor &e) { return e.DeleteCurrent(); };
    const QString aClick = "A+ 10ms A-";

    QTest::newRow("key into an empty list") << "" << -1 << pressB << true << "B+" << -1;
    QTest::newRow("release after a lone press") << "A+" << -1 << releaseA << true << aClick << -1;
    QTest::newRow("key after the first key") << aClick << 0 << pressB << true << "A+ 10ms B+ 10ms A-" << 0;
    QTest::newRow("key after a lone current key") << "A+" << 0 << pressB << true << "A+ 10ms B+" << 0;
    QTest::newRow("key after the last") << aClick << 2 << pressB << true << "A+ 10ms A- 10ms B+" << 2;
    QTest::newRow("key after a delay") << aClick << 1 << pressB << true << "A+ 10ms B+ 10ms A-" << 1;
    QTest::newRow("key after a middle key") << "A+ 10ms C+ 10ms A-" << 2 << pressB << true
                                            << "A+ 10ms C+ 10ms B+ 10ms A-" << 2;
    QTest::newRow("click after the first key") << aClick << 0 << click << true << "A+ 10ms L+ 10ms L- 10ms A-" << 0;
    QTest::newRow("click into an empty list") << "" << -1 << click << true << "L+ 10ms L-" << -1;
    QTest::newRow("click after a delay") << aClick << 1 << click << true << "A+ 10ms L+ 10ms L- 10ms A-" << 1;
    QTest::newRow("click after a middle key") << "A+ 10ms C+ 10ms A-" << 2 << click << true
                                              << "A+ 10ms C+ 10ms L+ 10ms L- 10ms A-" << 2;
    QTest::newRow("delay on a delay") << aClick << 1 << delay50 << true << "A+ 50ms A-" << 1;
    QTest::newRow("delay on the first key") << aClick << 0 << delay50 << false << aClick << 0;
    QTest::newRow("delay above a key") << aClick << 2 << delay50 << true << "A+ 50ms A-" << 1;
    QTest::newRow("delay between two keys") << "A+ A-" << 1 << delay50 << true << "A+ 50ms A-" << 1;
    QTest::newRow("delete three items") << aClick << -1 << remove << true << "" << -1;
    QTest::newRow("delete a key and its delay") << "A+ 10ms B+ 20ms A-" << 2 << remove << true << "A+ 10ms A-" << 2;
    QTest::newRow("delete a delay and its key") << "A+ 10ms B+ 20ms A-" << 3 << remove << true << "A+ 10ms A-" << 2;
    QTest::newRow("delete the last") << "A+ 10ms B+ 20ms A-" << 4 << remove << true << "A+ 10ms B+" << 2;
    QTest::newRow("delete without a current row") << "A+ 10ms B+ 20ms A-" << -1 << remove << false
                                                  << "A+ 10ms B+ 20ms A-" << -1;
    QTest::newRow("amend keeps a release") << aClick << 2 << Edit([](EventListEditor &e) { return e.AmendKey("Z"); })
                                           << true << "A+ 10ms Z-" << 2;
    QTest::newRow("amend a delay") << aClick << 1 << Edit([](EventListEditor &e) { return e.AmendDelay(70000); })
                                   << true << "A+ 70000ms A-" << 1;
    QTest::newRow("a key is no delay") << aClick << 0 << Edit([](EventListEditor &e) { return e.AmendDelay(5); })
                                       << false << aClick << 0;
    QTest::newRow("70th key") << Keys(69) << -1 << pressB << true << Keys(69) + " 10ms B+" << -1;
    QTest::newRow("71st key refused") << Keys(70) << -1 << pressB << false << Keys(70) << -1;
    QTest::newRow("click over 70 refused") << Keys(69) << 0 << click << false << Keys(69) << 0;
}

void TestEventListEditor::edits()
{
    QFETCH(QString, before);
    QFETCH(int, current);
    QFETCH(Edit, edit);
    QFETCH(bool, done);
    QFETCH(QString, after);
    QFETCH(int, currentAfter);
    EventListEditor editor(Items(before), current);
    QCOMPARE(edit(editor), done);
    QCOMPARE(Words(editor.Items()), after);
    QCOMPARE(editor.CurrentRow(), currentAfter);
    QVERIFY(!done || EventListEditor::Alternates(editor.Items()));
}

void TestEventListEditor::repaired_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("repaired");
    QTest::newRow("sound") << "A+ 10ms A-" << "A+ 10ms A-";
    QTest::newRow("keys in a row, delays in a row") << "A+ B+ 10ms 20ms A-" << "A+ 0ms B+ 30ms A-";
    QTest::newRow("leading and trailing delays") << "5ms A+ 10ms A- 7ms" << "A+ 10ms A-";
    QTest::newRow("only delays") << "5ms 6ms" << "";
    QTest::newRow("above 32 bits") << "A+ 4294967296ms A-" << "A+ 4294967295ms A-";
    QTest::newRow("sum above 32 bits") << "A+ 4294967000ms 4294967000ms A-" << "A+ 4294967295ms A-";
    QTest::newRow("no number") << "A+ xms A-" << "A+ 0ms A-";
    QTest::newRow("leading zeros") << "A+ 007ms A-" << "A+ 7ms A-";
}

void TestEventListEditor::repaired()
{
    QFETCH(QString, read);
    QFETCH(QString, repaired);
    const MacroItems items = EventListEditor::Repaired(Items(read));
    QCOMPARE(Words(items), repaired);
    QVERIFY(EventListEditor::Alternates(items));
}

void TestEventListEditor::limitsCountTheListAsRead()
{
    QVERIFY(EventListEditor::WithinLimits(Items(Keys(70))));
    QVERIFY(!EventListEditor::WithinLimits(Items(Keys(71))));
    // 2 keys and 138 delays: 140 items before the repair sums them.
    QVERIFY(!EventListEditor::WithinLimits(Items("A+ " + QString("1ms ").repeated(138) + "A-")));
    QVERIFY(EventListEditor::WithinLimits(Items("A+ " + QString("1ms ").repeated(137) + "A-")));
    QVERIFY(!EventListEditor::Alternates(Items("A+ A-")));
    QVERIFY(!EventListEditor::Alternates(Items("A+ 10ms")));
    QVERIFY(EventListEditor::Alternates({}));
}

VOGM_TEST_MAIN(TestEventListEditor)
#include "tst_eventlisteditor.moc"
