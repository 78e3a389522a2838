#pragma once
// The macro editor, third of the device page's settings pages.
//
// The page has no controls. The back arrow's SigSetMacroPage ends a running
// recording and tells the frame (SigStartRecord(1)) to enable its navigation
// again; the page loads the mouse-button names of the key vocabulary from its
// language element.

#include "flashdatamap.h"
#include "macrorecord.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class LanguageReader;

class Macro : public QWidget
{
    Q_OBJECT
public:
    explicit Macro(QWidget *parent = nullptr);
    ~Macro() override;

    // The key vocabulary (keynames.h), as the page's own operations.
    static QStringList KeyNameToHexCode(const QString &name);
    static QString HexCodeToKeyName(const QString &code, int kind);
    static void KeyNameToEvent(const QString &name, int button, int index, MacroRecord &record);
    static QString CodeToKeyName(int usage, int kind);
    static QString MouseCodeToName(int bit);

public slots:
    void SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void SlotMacroDownLoadData(QString MacroName, int index);
    // SigSetMacroPage: the device page is left; a running recording ends.
    void SlotSetMacroPage();
    void SlotChangeLanguage(int index);

private:
    std::unique_ptr<LanguageReader> reader;
};
