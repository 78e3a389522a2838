// The labels keys show under a layout: what the key at a name's position
// types, where that is a key name of one character, with no two keys showing
// the same label. Layouts are given as the keysyms of their keycodes; the
// same on a real X server: tests/xkeys.

#include "keylabels.h"
#include "keynames.h"
#include "testsupport.h"

#include <QHash>
#include <QSet>
#include <QtTest>

namespace {

// The first level of the main keys of a French AZERTY layout.
QHash<quint32, quint32> Azerty()
{
    QHash<quint32, quint32> keysyms{
        {10, '&'}, {11, 0xe9}, {12, '"'}, {13, '\''}, {14, '('}, {15, '-'}, {16, 0xe8}, {17, '_'}, {18, 0xe7},
        {19, 0xe0}, {20, ')'}, {21, '='}, {34, 0xfe52}, {35, '$'}, {47, 'm'}, {48, 0xf9}, {49, 0xb2}, {51, '*'},
        {58, ','}, {59, ';'}, {60, ':'}, {61, '!'}};
    const char *rows[] = {"azertyuiop", "qsdfghjkl", "wxcvbn"};
    const quint32 firsts[] = {24, 38, 52};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; rows[row][i]; ++i)
            keysyms.insert(firsts[row] + quint32(i), quint32(rows[row][i]));
    }
    return keysyms;
}

KeyLabels LabelsOf(const QHash<quint32, quint32> &keysyms)
{
    return KeyLabels::FromKeysyms([&](quint32 keycode) { return keysyms.value(keycode); });
}

}  // namespace

class TestKeyLabels : public QObject
{
    Q_OBJECT
private slots:
    void azertyLabels_data();
    void azertyLabels();
    void labelsAreOneToOne_data();
    void labelsAreOneToOne();
    void withoutAnXServerNamesShowThemselves();
};

void TestKeyLabels::azertyLabels_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("label");
    QTest::newRow("A position types a") << "Q" << "A";
    QTest::newRow("Q position types q") << "A" << "Q";
    QTest::newRow("Z and W swap") << "W" << "Z";
    QTest::newRow("M position types a comma") << "M" << ",";
    QTest::newRow("comma position types a semicolon") << "," << ";";
    QTest::newRow("semicolon position types m") << ";" << "M";
    QTest::newRow("ampersand is no name") << "1" << "1";
    QTest::newRow("apostrophe on 4 clashes with the apostrophe key") << "4" << "4";
    QTest::newRow("u grave is no name") << "'" << "'";
    QTest::newRow("minus on 6 clashes with the minus key") << "6" << "6";
    QTest::newRow("equal stays") << "=" << "=";
    QTest::newRow("keypad") << "Num1" << "Num1";
    QTest::newRow("modifier word") << "Ctrl" << "Ctrl";
}

void TestKeyLabels::azertyLabels()
{
    QFETCH(QString, name);
    QFETCH(QString, label);
    const KeyLabels labels = LabelsOf(Azerty());
    QCOMPARE(labels.Shown(name), label);
    QCOMPARE(labels.Name(label), name);
}

void TestKeyLabels::labelsAreOneToOne_data()
{
    QTest::addColumn<bool>("azerty");
    QTest::newRow("AZERTY") << true;
    QTest::newRow("no keysyms") << false;
}

// The combination dialog's text goes back to keys through the labels.
void TestKeyLabels::labelsAreOneToOne()
{
    QFETCH(bool, azerty);
    const KeyLabels labels = LabelsOf(azerty ? Azerty() : QHash<quint32, quint32>());
    QSet<QString> shown;
    for (const QString &name : KeyNames::AllKeyNames()) {
        QVERIFY2(!shown.contains(labels.Shown(name)), qPrintable(name));
        shown.insert(labels.Shown(name));
        QCOMPARE(labels.Name(labels.Shown(name)), name);
        if (!azerty)
            QCOMPARE(labels.Shown(name), name);
    }
}

void TestKeyLabels::withoutAnXServerNamesShowThemselves()
{
    QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    const KeyLabels labels = KeyLabels::Current();
    for (const QString &name : KeyNames::AllKeyNames())
        QCOMPARE(labels.Shown(name), name);
}

VOGM_TEST_MAIN(TestKeyLabels)
#include "tst_keylabels.moc"
