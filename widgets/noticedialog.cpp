#include "noticedialog.h"

#include "configini.h"
#include "languagereader.h"
#include "paths.h"

#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QToolButton>
#include <QVariant>

int g_OfflineNoticeKind = 0;
int g_ImportCheckResult = 0;

namespace {

const QSize kNoticeSize(300, 140);
const QSize kTextButtonSize(90, 24);

QFont NoticeFont()
{
    QFont font;
    font.setFamily(QString::fromUtf8("微软雅黑"));
    font.setPointSize(11);
    return font;
}

// "r,g,b" of a theme colour of Config.ini.
QString ThemeColour(const char *key)
{
    return ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QString::fromLatin1(key));
}

QFrame *BuildFrame(QDialog *dialog, const NoticeLayout &layout)
{
    auto *frame = new QFrame(dialog);
    frame->setObjectName(QString::fromLatin1(layout.frameName));
    frame->setGeometry(QRect(QPoint(0, 0), kNoticeSize));
    switch (layout.frameLimits) {
    case NoticeLayout::FrameLimits::Fixed300x140:
        frame->setMinimumSize(kNoticeSize);
        frame->setMaximumSize(kNoticeSize);
        break;
    case NoticeLayout::FrameLimits::Fixed300x130:
        frame->setMinimumSize(300, 130);
        frame->setMaximumSize(300, 130);
        break;
    case NoticeLayout::FrameLimits::Free:
        break;
    }
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

QToolButton *BuildCloseButton(QFrame *frame, QPoint pos)
{
    auto *button = new QToolButton(frame);
    button->setObjectName(QStringLiteral("CloseButton"));
    button->setGeometry(QRect(pos, QSize(20, 20)));
    button->setMaximumSize(20, 20);
    button->setIconSize(QSize(30, 30));
    button->setAutoRaise(true);
    return button;
}

QLabel *BuildLabel(QFrame *frame, const NoticeLayout &layout)
{
    auto *label = new QLabel(frame);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(layout.labelGeometry);
    label->setFont(NoticeFont());
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setText(layout.labelText);
    return label;
}

QToolButton *BuildTextButton(QFrame *frame, const NoticeTextButton &place)
{
    auto *button = new QToolButton(frame);
    button->setObjectName(QString::fromLatin1(place.name));
    button->setGeometry(QRect(place.pos, kTextButtonSize));
    button->setMinimumSize(0, 0);
    button->setMaximumSize(500, 500);
    button->setFont(NoticeFont());
    button->setAutoRaise(true);
    button->setText(place.text);
    return button;
}

}  // namespace

QPoint NoticePosition(const QRect &openerOnScreen, const QSize &noticeSize, int dx, int dy)
{
    // C++ integer division truncates toward zero, also for a notice wider
    // than its opener.
    const int x = openerOnScreen.x() + (openerOnScreen.width() - noticeSize.width()) / 2 + dx;
    const int y = openerOnScreen.y() + (openerOnScreen.height() - noticeSize.height()) / 2 + dy;
    return QPoint(x, y);
}

namespace {

// One coordinate of `start` moved so that [start, start + length) lies in
// [low, low + room); unchanged when it cannot fit.
int MovedInto(int start, int length, int low, int room)
{
    if (length > room)
        return start;
    return qBound(low, start, low + room - length);
}

QRect MovedInto(const QRect &rect, const QRect &area)
{
    return QRect(QPoint(MovedInto(rect.x(), rect.width(), area.x(), area.width()),
                        MovedInto(rect.y(), rect.height(), area.y(), area.height())),
                 rect.size());
}

void MoveKeptInside(QWidget *notice, const QWidget *opener, const QPoint &placed)
{
    const QWidget *window = opener->window();
    const QRect windowOnScreen(window->mapToGlobal(QPoint(0, 0)), window->size());
    const QScreen *screen = window->screen();
    const QRect screenArea = screen ? screen->availableGeometry() : QRect();
    notice->move(KeptInside(QRect(placed, notice->size()), windowOnScreen, screenArea).topLeft());
}

const char kFitBasePointSize[] = "vogmFitBasePointSize";

bool MessageFits(const QFont &font, const QString &text, const QRect &room)
{
    const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 1 << 20),
                                                         Qt::AlignHCenter | Qt::TextWordWrap, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

}  // namespace

QRect KeptInside(const QRect &placed, const QRect &window, const QRect &screen)
{
    QRect kept = placed;
    if (window.isValid() && !window.contains(kept))
        kept = MovedInto(kept, window);
    if (screen.isValid())
        kept = MovedInto(kept, screen);
    return kept;
}

void PlaceOnOpener(QWidget *notice, const QWidget *opener, int dx, int dy)
{
    if (!notice || !opener)
        return;
    const QRect openerOnScreen(opener->mapToGlobal(QPoint(0, 0)), opener->size());
    MoveKeptInside(notice, opener, NoticePosition(openerOnScreen, notice->size(), dx, dy));
}

void PlaceAtOpenerCorner(QWidget *notice, const QWidget *opener)
{
    if (!notice || !opener)
        return;
    MoveKeptInside(notice, opener, opener->mapToGlobal(QPoint(0, 0)));
}

void FitMessage(QLabel *label, int margin, int minPointSize)
{
    if (!label)
        return;
    QVariant base = label->property(kFitBasePointSize);
    if (!base.isValid()) {
        base = label->font().pointSize();
        label->setProperty(kFitBasePointSize, base);
    }
    label->setContentsMargins(margin, 0, margin, 0);
    if (base.toInt() <= 0)
        return;  // a pixel-sized font: only the margins apply
    const QRect room = label->contentsRect();
    QFont font = label->font();
    for (int size = base.toInt();; --size) {
        font.setPointSize(size);
        if (size <= minPointSize || MessageFits(font, label->text(), room))
            break;
    }
    label->setFont(font);
}

void NoticeForm::Build(QDialog *dialog, const NoticeLayout &layout)
{
    dialog->setObjectName(QString::fromLatin1(layout.dialogName));
    dialog->resize(kNoticeSize);
    if (layout.dialogMinimum.isValid())
        dialog->setMinimumSize(layout.dialogMinimum);
    if (layout.dialogMaximum.isValid())
        dialog->setMaximumSize(layout.dialogMaximum);
    dialog->setWindowTitle(QStringLiteral("Dialog"));

    frame = BuildFrame(dialog, layout);
    CloseButton = BuildCloseButton(frame, layout.closeButtonPos);
    label = BuildLabel(frame, layout);
    for (const NoticeTextButton &place : layout.buttons) {
        QToolButton *button = BuildTextButton(frame, place);
        const QString name = button->objectName();
        if (name == QLatin1String("OK"))
            OK = button;
        else if (name == QLatin1String("Cancel"))
            Cancel = button;
        else
            NewHong = button;
    }
}

NoticeDialog::NoticeDialog(const NoticeLayout &layout, QWidget *parent)
    : QDialog(parent)
{
    ui.Build(this, layout);
    pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(NoticeWindowFlags());
    ApplyStyleSheets();
}

NoticeDialog::~NoticeDialog() = default;

void NoticeDialog::showEvent(QShowEvent *event)
{
    FitMessage(ui.label);
    QDialog::showEvent(event);
}

Qt::WindowFlags NoticeDialog::NoticeWindowFlags()
{
    return Qt::SubWindow | Qt::BypassWindowManagerHint | Qt::FramelessWindowHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint;
}

void NoticeDialog::ApplyStyleSheets()
{
    const QString &D = pictureDir;
    ui.label->setStyleSheet(QStringLiteral("QLabel{color: rgb(") + ThemeColour("LabelColor")
                            + QStringLiteral(";);}"));

    // Notices without a text button never read ButtonColor.
    QToolButton *const textButtons[] = {ui.OK, ui.Cancel, ui.NewHong};
    if (ui.OK || ui.Cancel || ui.NewHong) {
        const QString buttonSheet
            = QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:"
                             "no-repeat;color: rgb(")
            + ThemeColour("ButtonColor") + QStringLiteral(";);border-image: url(") + D
            + QStringLiteral("Confirm.png);}QToolButton:pressed{border-image: url(") + D
            + QStringLiteral("ConfirmClick.png); }");
        for (QToolButton *button : textButtons) {
            if (button)
                button->setStyleSheet(buttonSheet);
        }
    }

    ui.CloseButton->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-image: url(") + D
        + QStringLiteral("Close.png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + D + QStringLiteral("CloseHover.png);}QToolButton:pressed{background-image: url(") + D
        + QStringLiteral("CloseClick.png);}"));

    ui.frame->setStyleSheet(QStringLiteral("#") + ui.frame->objectName()
                            + QStringLiteral("{border:0px;background-position:center;"
                                             "background-repeat:no-repeat;background-image: url(")
                            + D + QStringLiteral("BackGround.png);}"));
}

QString NoticeDialog::LabelColour()
{
    return ThemeColour("LabelColor");
}

void NoticeDialog::BindButtonSlots()
{
    QMetaObject::connectSlotsByName(this);
}

int NoticeDialog::StoredLanguageIndex()
{
    return CurrentLanguageIndex();
}

void NoticeDialog::LoadTexts(int index, const QString &element, const TagMap &targets)
{
    LanguageReader(element, targets).Load(index);
}

TagMap NoticeDialog::WidgetTargets(const QStringList &tags) const
{
    TagMap targets;
    for (const QString &tag : tags) {
        QWidget *widget = findChild<QWidget *>(tag);
        Q_ASSERT_X(widget, "NoticeDialog::WidgetTargets", qPrintable("no widget " + tag));
        if (widget)
            targets.insert(tag, PropertyTarget(widget));
    }
    return targets;
}
