#pragma once
// The on/off panels: a picture toggle and a label, each for one byte of the
// settings image (1 on, 0 off). RippeControl, StraightLine and MotionSync share
// everything but their names, default label text and writer, so the one form
// is built in code from those three. It comes in two layouts: the sensor
// page's (toggle left of a left-aligned label) and the mirrored one of the
// alternative panels (right-aligned label left of the toggle, frame name
// ending in "B").

#include "writers.h"

#include <QFrame>
#include <QString>

class QLabel;
class QToolButton;

class OnOffPanel : public QFrame
{
    Q_OBJECT
public:
    using Writer = WriteResult (*)(int);

    enum class Layout {
        ToggleFirst,  // 275 x 31: toggle at x 0, label at x 40 aligned left
        LabelFirst,   // 204 x 31: label at x 0 aligned right, toggle at x 165
    };

    ~OnOffPanel() override;

    // Shows the state without writing it (fills and defaults use this).
    void SetChecked(bool on);
    void SetLabelText(const QString &text);
    void SetLabelToolTip(const QString &text);

protected:
    // The toggle is called name + "_2", which the derived class's by-name slot
    // and the toggle's style sheet rely on. The frame is called name, or
    // name + "B" in the mirrored layout.
    OnOffPanel(QWidget *parent, const QString &name, const QString &labelText, Writer writer,
               Layout layout = Layout::ToggleFirst);

    // A click on the toggle: writes the state it now shows, when writes are
    // allowed. A failed write has raised the offline notice; the toggle keeps
    // the user's state until the page is filled again.
    void WriteClickedState(bool checked);

private:
    void BuildForm(const QString &name, const QString &labelText, Layout layout);
    void ApplyTheme(const QString &name);

    QToolButton *m_toggle = nullptr;
    QLabel *m_label = nullptr;
    Writer m_writer;
    QString m_pictureDir;
};

// Ripple control, image byte 10.
class RippeControl : public OnOffPanel
{
    Q_OBJECT
public:
    explicit RippeControl(QWidget *parent = nullptr);

private slots:
    void on_RippeControl_2_clicked(bool checked);
};

// Straight-line correction, image byte 9.
class StraightLine : public OnOffPanel
{
    Q_OBJECT
public:
    explicit StraightLine(QWidget *parent = nullptr);

private slots:
    void on_StraightLine_2_clicked(bool checked);
};

// Motion sync, image byte 7.
class MotionSync : public OnOffPanel
{
    Q_OBJECT
public:
    explicit MotionSync(QWidget *parent = nullptr);

private slots:
    void on_MotionSync_2_clicked(bool checked);
};
