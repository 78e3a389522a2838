#pragma once
// The shared template of the small notice and question dialogs: a 300 x 140
// frameless window painted with the pictures of Picture/WarningDialog/, a
// close button at the top right, a centred word-wrapped message and up to two
// text buttons. Each notice class describes only how its form differs
// (NoticeLayout) and which language tags it reads.
// The template is built in code, not from a form, because each notice's widget
// tree comes from the data of its NoticeLayout.

#include "languagereader.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QCheckBox;
class QFrame;
class QShowEvent;
class QLabel;
class QProgressBar;
class QToolButton;

// Which message MouseOffLine shows: 0 the offline text (tag `label`),
// 1 the time-out text (tag `Timeout`). Set by the opener before it builds the
// notice; read at every language load.
extern int g_OfflineNoticeKind;

// Result of the settings-file check that InportFail explains: 0 ok, 1 the file
// cannot be read or is not a settings file, 2 sensor or level count differ.
extern int g_ImportCheckResult;

// Places `notice` over `opener`: the opener's top-left corner on screen plus
// half the difference of the two sizes (truncated toward zero), plus (dx, dy).
QPoint NoticePosition(const QRect &openerOnScreen, const QSize &noticeSize, int dx, int dy);
// Where a notice placed at `placed` ends up: moved over the opener's window
// when the offset would take it (partly) outside that window, then moved
// wholly onto the window's screen. A rectangle larger than the window or the
// screen in one direction keeps its place in that direction.
QRect KeptInside(const QRect &placed, const QRect &window, const QRect &screen);
// Both put the notice where NoticePosition (or the opener's corner) says,
// kept inside the opener's window and screen (KeptInside), so a notice never
// opens out of reach.
void PlaceOnOpener(QWidget *notice, const QWidget *opener, int dx = 0, int dy = 0);
// Puts `notice` at the opener's top-left corner on screen (not centred).
void PlaceAtOpenerCorner(QWidget *notice, const QWidget *opener);

// The room a notice's message keeps from the frame's left and right edges,
// and the smallest point size a message may shrink to.
constexpr int kNoticeTextMargin = 12;
constexpr int kNoticeTextMinPointSize = 9;
// Fits a word-wrapped message into its label: the text keeps `margin` pixels
// from the label's left and right edges (the label's geometry is unchanged)
// and, when it still needs more room than the label has, its font shrinks a
// point at a time, down to `minPointSize`. The label's own font size is the
// starting point every time, so a shorter text after a language change gets
// its full size back.
void FitMessage(QLabel *label, int margin = kNoticeTextMargin, int minPointSize = kNoticeTextMinPointSize);

// A text button of a notice: object name, position (90 x 24), default text.
struct NoticeTextButton {
    const char *name;
    QPoint pos;
    QString text;
};

// How one notice's form differs from the template.
struct NoticeLayout {
    enum class FrameLimits { Fixed300x140, Fixed300x130, Free };

    NoticeLayout(const char *dialog, const char *frame, const QRect &labelRect, const QString &text,
                 std::vector<NoticeTextButton> textButtons)
        : dialogName(dialog), frameName(frame), labelGeometry(labelRect), labelText(text),
          buttons(std::move(textButtons))
    {
    }

    const char *dialogName;
    const char *frameName;
    QRect labelGeometry;
    QString labelText;
    std::vector<NoticeTextButton> buttons;
    QPoint closeButtonPos{275, 5};
    FrameLimits frameLimits = FrameLimits::Fixed300x140;
    QSize dialogMinimum;  // invalid: none
    QSize dialogMaximum;  // invalid: none
};

// The widgets of a notice, built from its layout. Every widget is a child of
// the dialog and deleted with it; the pointers of absent widgets stay null.
struct NoticeForm {
    QFrame *frame = nullptr;
    QToolButton *CloseButton = nullptr;
    QLabel *label = nullptr;
    QToolButton *OK = nullptr;
    QToolButton *Cancel = nullptr;
    QToolButton *NewHong = nullptr;
    QCheckBox *NoApear = nullptr;
    QProgressBar *progressBar_2 = nullptr;

    void Build(QDialog *dialog, const NoticeLayout &layout);
};

class NoticeDialog : public QDialog
{
    Q_OBJECT
public:
    ~NoticeDialog() override;

    // The window flags every notice carries (window type bits included: a
    // parentless notice closing while the main window is hidden must not end
    // the program).
    static Qt::WindowFlags NoticeWindowFlags();

protected:
    // Builds the form, sets the window flags and applies the pictures and
    // theme colours of Config.ini.
    NoticeDialog(const NoticeLayout &layout, QWidget *parent);

    // The message is fitted to the frame each time the notice is shown
    // (its text may have come from any language since).
    void showEvent(QShowEvent *event) override;

    // Connects the on_<button>_clicked slots of the concrete notice to its
    // buttons; called by each notice's constructor, once its slots exist.
    void BindButtonSlots();

    // The language index stored in Macro.ini (0 when missing or not a number).
    static int StoredLanguageIndex();

    // Reads `element` of the language file `index` and hands each tag's text
    // to its target.
    void LoadTexts(int index, const QString &element, const TagMap &targets);
    // Targets that put the tag's text into the child widget of the same name.
    TagMap WidgetTargets(const QStringList &tags) const;

    // "r,g,b" of the theme's label colour.
    static QString LabelColour();

    NoticeForm ui;
    QString pictureDir;

private:
    void ApplyStyleSheets();
};
