// The texts of the pages and dialogs fit their widgets in all six languages:
// no label or button that does not wrap has a text wider than its room, none
// is drawn past its parent's edge, and a label that wraps is tall enough for
// its lines. The macro names of the button page's macro chooser are the one
// deliberate exception: they are elided at the end.

#include "../hosts/altpanelspage.h"
#include "../notices/noticetestkit.h"

#include "adddelaytime.h"
#include "addkey.h"
#include "dialog.h"
#include "dialogchange.h"
#include "firekey.h"
#include "flashdatamap.h"
#include "groupkey.h"
#include "hidusb_control.h"
#include "lamplight.h"
#include "languagereader.h"
#include "macroini.h"
#include "match.h"
#include "questiondialog.h"
#include "testsupport.h"
#include "updataparam.h"
#include "updaterepair.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionToolButton>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

namespace {

struct Surface {
    QString name;
    std::function<QWidget *()> build;
};

// The device page with each of its pages chosen once, so all are built.
QWidget *DevicePageWithAllPages()
{
    auto *frame = new Dialog;
    for (const char *navigation : {"SensorButton", "MacroButton", "FormSetting", "ButtonMain"})
        frame->findChild<QToolButton *>(navigation)->click();
    return frame;
}

QWidget *AlternativePanels()
{
    FlashDataMap image;
    const QByteArray factory = HidSim::DefaultFactoryImage(1);
    std::memcpy(&image, factory.constData(), sizeof image);
    return BuildAlternativePanels(image);
}

// Every page and dialog, each built in the stored language.
QVector<Surface> Surfaces()
{
    QVector<Surface> surfaces{
        {"device list", [] { return new DialogChange; }},
        {"device page", &DevicePageWithAllPages},  // the button, sensor, macro and settings pages
        {"lighting page", [] { return new LampLight; }},
        {"alternative panels", &AlternativePanels},
        {"key-combination dialog", [] { return new GroupKey; }},
        {"fire-key dialog", [] { return new FireKey; }},
        {"single-key dialog", [] { return new addKey; }},
        {"delay dialog", [] { return new AddDelayTime; }},
        {"macro name dialog", [] { return new QuestionDialog; }},
        {"pairing dialog", [] { return new Match; }},
        {"repair dialog", [] { return new UpDateRepair; }},
        {"wait popup", [] { return new UpDataParam; }},
        {"progress", [] { return new Progress; }},
    };
    for (const QString &notice : NoticeTestKit::NoticeClasses())
        surfaces.append({notice, [notice] { return NoticeTestKit::MakeNotice(notice).release(); }});
    return surfaces;
}

// The macro chooser on the button page's detail list elides long names.
bool InMacroChooser(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->objectName() == QLatin1String("scrollArea_7"))
            return true;
    }
    return false;
}

QString Plain(QString text)
{
    // A single "&" marks a shortcut letter and takes no room.
    return text.replace(QLatin1String("&&"), QLatin1String("\x01")).remove(QLatin1Char('&'));
}

int WidestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    return widest;
}

struct Fit {
    int need = 0;   // width of the text
    int room = 0;   // width it may take
    QRect drawn;    // where it is drawn, in the widget's coordinates
};

Fit LabelFit(const QLabel *label)
{
    Fit fit;
    const QString text = label->text();
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    QSize size;
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setHtml(text);
        document.setDocumentMargin(0);
        size = document.size().toSize();
    } else {
        const QFontMetrics metrics(label->font());
        size = QSize(WidestLine(metrics, text), metrics.height() * (text.count(QLatin1Char('\n')) + 1));
    }
    const QRect contents = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
    const int indent = qMax(label->indent(), 0);
    fit.need = size.width() + indent;
    fit.room = contents.width();
    fit.drawn = QStyle::alignedRect(label->layoutDirection(), label->alignment(), size, contents);
    return fit;
}

Fit ButtonFit(const QAbstractButton *button)
{
    Fit fit;
    const QString text = Plain(button->text());
    const QFontMetrics metrics(button->font());
    fit.need = WidestLine(metrics, text);
    QStyle *style = button->style();
    QRect room;
    if (qobject_cast<const QCheckBox *>(button) || qobject_cast<const QRadioButton *>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        option.icon = button->icon();
        option.iconSize = button->iconSize();
        const bool check = qobject_cast<const QCheckBox *>(button);
        room = style->subElementRect(check ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &option,
                                     button);
        // The label starts after the indicator, and may end at the edge.
        fit.drawn = QRect(room.left(), 0, fit.need, button->height());
    } else if (const auto *push = qobject_cast<const QPushButton *>(button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        option.features = push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
        room = style->subElementRect(QStyle::SE_PushButtonContents, &option, push);
        fit.drawn = QRect(room.center().x() - fit.need / 2, 0, fit.need, push->height());
    } else {
        QStyleOptionToolButton option;
        option.initFrom(button);
        option.text = button->text();
        option.subControls = QStyle::SC_ToolButton;
        option.toolButtonStyle = static_cast<const QToolButton *>(button)->toolButtonStyle();
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        room = style->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, button)
                   .adjusted(frame, 0, -frame, 0);
        fit.drawn = QRect(room.center().x() - fit.need / 2, 0, fit.need, button->height());
    }
    fit.room = room.width();
    return fit;
}

// Whether the wrapped text of `label` ends in a line of a single character.
bool LeavesOneCharacterAlone(const QLabel *label)
{
    if (Qt::mightBeRichText(label->text()))
        return false;
    QTextLayout layout(label->text(), label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const int width = label->contentsRect().width() - 2 * label->margin();
    int lines = 0;
    int lastLength = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
        lastLength = label->text().mid(line.textStart(), line.textLength()).trimmed().size();
    }
    layout.endLayout();
    return lines > 1 && lastLength == 1;
}

// What does not fit on `root`, one line each.
QStringList Misfits(QWidget *root)
{
    QStringList misfits;
    const auto report = [&misfits](const QWidget *widget, const QString &text, const QString &what) {
        misfits << QString("%1 \"%2\": %3").arg(widget->objectName(), text.left(60), what);
    };
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        // Hidden widgets too: the pages show most of them for some device
        // or state. A dialog of the toolkit inside a page has its own texts.
        if (widget->window() != root || InMacroChooser(widget))
            continue;
        Fit fit;
        QString text;
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            text = label->text();
            if (text.isEmpty())
                continue;
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height())
                    report(widget, text, QString("wraps to %1 px in %2").arg(label->heightForWidth(label->width()))
                                             .arg(label->height()));
                else if (LeavesOneCharacterAlone(label))
                    report(widget, text, "leaves one character alone on its last line");
                continue;
            }
            fit = LabelFit(label);
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            text = button->text();
            // Picture buttons keep the form's placeholder text.
            if (Plain(text).trimmed().isEmpty() || (qobject_cast<const QToolButton *>(button) && text == "..."))
                continue;
            fit = ButtonFit(button);
        } else {
            continue;
        }
        if (fit.need > fit.room) {
            report(widget, text, QString("%1 px in %2").arg(fit.need).arg(fit.room));
            continue;
        }
        const QWidget *parent = widget->parentWidget();
        const QRect inParent = fit.drawn.translated(widget->pos());
        if (parent && !widget->isWindow() && (inParent.left() < 0 || inParent.right() >= parent->width()))
            report(widget, text, QString("drawn past the edge of %1").arg(parent->objectName()));
    }
    return misfits;
}

}  // namespace

class TestTextFit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void textsFitInEveryLanguage_data();
    void textsFitInEveryLanguage();
};

void TestTextFit::initTestCase()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
    QVERIFY(QDir().mkpath(TestSupport::BaseFolder()));
}

void TestTextFit::textsFitInEveryLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int language = 0; language <= 5; ++language)
        QTest::newRow(qPrintable(LanguageFilePath(language))) << language;
}

void TestTextFit::textsFitInEveryLanguage()
{
    QFETCH(int, language);
    QVERIFY(MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(language)));
    QStringList misfits;
    for (const Surface &surface : Surfaces()) {
        std::unique_ptr<QWidget> root(surface.build());
        // Laid out as shown, without showing it.
        root->ensurePolished();
        for (QWidget *widget : root->findChildren<QWidget *>())
            widget->ensurePolished();
        root->setAttribute(Qt::WA_DontShowOnScreen);
        root->show();
        for (const QString &misfit : Misfits(root.get()))
            misfits << surface.name + ": " + misfit;
        root->hide();
    }
    for (const QString &misfit : qAsConst(misfits))
        qWarning("%s", qPrintable(misfit));
    QVERIFY(misfits.isEmpty());
}

VOGM_TEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
