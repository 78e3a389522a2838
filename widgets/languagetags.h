#pragma once
// The registry of interface texts: for every class that loads texts from the
// language files, the element it reads and the tags it reads from it.
//
// This list is the one place where a class declares its texts. A class builds
// its LanguageReader map from the tags listed here (LanguageReader checks that
// in debug builds), and the language-file test checks that every shipped
// language file holds every tag of every element, non-empty. A new class, or a
// new text of an existing class, is added here and to all six language files.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

namespace LanguageTags {

struct ClassTexts {
    QString className;  // the class that reads the texts
    QString element;    // its element below Total
    QStringList tags;   // the children of that element it reads
};

// One entry per class, in the order of the language files.
const QVector<ClassTexts> &Classes();

// Every element with the tags that any class reads from it (two classes may
// share an element: UpDateWarning and FindNewVer both read NewVer).
QMap<QString, QStringList> Elements();

// The tags of one class; empty when the class is not listed.
QStringList TagsOf(const QString &className);

// True when some class reads `tag` from `element`.
bool Declares(const QString &element, const QString &tag);

// prefix + from .. prefix + to ("S", 1, 3 gives S1, S2, S3).
QStringList Numbered(const QString &prefix, int from, int to);

}  // namespace LanguageTags
