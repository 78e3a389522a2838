#pragma once
// The names keys show on this computer.
//
// Key names stand for positions: "A" is the key where a US keyboard has A,
// and that position's usage is what macros store and the mouse sends. On
// another layout the key at that position types something else: on AZERTY the
// US Q position types "a". The names shown are those the keys type wherever
// that is itself a key name of one character (a letter, a digit or a
// punctuation key); so on AZERTY the US Q position shows "A" and the US A
// position "Q". Every other key shows its own name. No two keys show the same
// label: a label taken by a key that keeps its name (the French "'" on the 4
// key, while the US "'" position types "ù") is dropped, and that key shows
// its own name.
//
// Names are only shown: records and files keep codes. GUI thread only.

#include <QHash>
#include <QString>
#include <functional>

class KeyLabels
{
public:
    // The keysym the first shift level of an X11 keycode gives in the current
    // group; 0 for none.
    using KeysymAt = std::function<quint32(quint32 keycode)>;

    // The labels of the layout in use, read from the X server through XKB on
    // the xcb platform; elsewhere, or without the server's keyboard extension,
    // every key shows its own name.
    static KeyLabels Current();
    static KeyLabels FromKeysyms(const KeysymAt &keysymAt);

    // The label of a key name; other texts (modifier words, unknown names)
    // come back unchanged.
    QString Shown(const QString &name) const;
    // The key name of a label; the inverse of Shown.
    QString Name(const QString &label) const;

private:
    QHash<QString, QString> labelOfName;
    QHash<QString, QString> nameOfLabel;
};
