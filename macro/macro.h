#pragma once
// The macro editor, third of the device page's settings pages.
//
// What the device page relies on today: the back arrow's SigSetMacroPage ends
// a running recording and tells the frame (SigStartRecord(1)) to enable its
// navigation again. The editor itself (macro list, event list, recording,
// files, export and import, the device macro record) is added by the macro
// editor's own work.

#include "flashdatamap.h"

#include <QString>
#include <QWidget>

class Macro : public QWidget
{
    Q_OBJECT
public:
    explicit Macro(QWidget *parent = nullptr);
    ~Macro() override;

public slots:
    void SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer);
    void SlotMacroDownLoadData(QString MacroName, int index);
    // SigSetMacroPage: the device page is left; a running recording ends.
    void SlotSetMacroPage();
    void SlotChangeLanguage(int index);
};
