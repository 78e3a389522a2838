#include "onoffpanel.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

#include <QFont>
#include <QLabel>
#include <QToolButton>

namespace {

struct LayoutGeometry {
    const char *frameSuffix;
    QSize frame;
    QRect toggle;
    QRect label;
    Qt::Alignment labelAlignment;
    bool fixedSize;
};

const LayoutGeometry &GeometryOf(OnOffPanel::Layout layout)
{
    static const LayoutGeometry toggleFirst{"", QSize(275, 31), QRect(0, 0, 36, 18), QRect(40, 0, 232, 31),
                                            Qt::AlignLeft | Qt::AlignTop, false};
    static const LayoutGeometry labelFirst{"B", QSize(204, 31), QRect(165, 0, 36, 18), QRect(0, 0, 161, 31),
                                           Qt::AlignRight | Qt::AlignTop, true};
    return layout == OnOffPanel::Layout::LabelFirst ? labelFirst : toggleFirst;
}

}  // namespace

OnOffPanel::OnOffPanel(QWidget *parent, const QString &name, const QString &labelText, Writer writer,
                       Layout layout)
    : QFrame(parent), m_writer(writer)
{
    BuildForm(name, labelText, layout);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ApplyTheme(name);
    PanelTheme::DropFrameLine(this);
}

OnOffPanel::~OnOffPanel() = default;

void OnOffPanel::BuildForm(const QString &name, const QString &labelText, Layout layout)
{
    const LayoutGeometry &geometry = GeometryOf(layout);
    setObjectName(name + geometry.frameSuffix);
    setWindowTitle("Frame");
    resize(geometry.frame);
    if (geometry.fixedSize)
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);

    m_toggle = new QToolButton(this);
    m_toggle->setObjectName(name + "_2");
    m_toggle->setGeometry(geometry.toggle);
    m_toggle->setFixedSize(36, 18);
    m_toggle->setCheckable(true);
    m_toggle->setAutoRaise(false);
    m_toggle->setFocusPolicy(Qt::NoFocus);
    m_toggle->setText(QString());

    m_label = new QLabel(this);
    m_label->setObjectName("label");
    m_label->setGeometry(geometry.label);
    QFont font("微软雅黑");
    font.setPointSize(11);
    m_label->setFont(font);
    m_label->setStyleSheet("color: rgb(255, 255, 255);");
    m_label->setAlignment(geometry.labelAlignment);
    m_label->setText(labelText);
}

void OnOffPanel::ApplyTheme(const QString &name)
{
    const QString label = PanelTheme::Triple("LabelColor");
    m_label->setStyleSheet("QLabel{color: rgb(" + label + ";);}");
    const QString toggle = "#" + name + "_2";
    m_toggle->setStyleSheet(toggle
                            + "{color: rgb(255, 255, 255);border:0px;background-position:center;"
                              "background-repeat:no-repeat;background-image: url("
                            + m_pictureDir + "Close.png" + ");}" + toggle + ":checked {background-image: url("
                            + m_pictureDir + "Open.png" + ");}");
}

void OnOffPanel::SetChecked(bool on)
{
    m_toggle->setChecked(on);
}

void OnOffPanel::SetLabelText(const QString &text)
{
    m_label->setText(text);
}

void OnOffPanel::SetLabelToolTip(const QString &text)
{
    m_label->setToolTip(text);
}

void OnOffPanel::WriteClickedState(bool checked)
{
    if (!g_WritesAllowed)
        return;
    m_writer(checked ? 1 : 0);
}

RippeControl::RippeControl(QWidget *parent)
    : OnOffPanel(parent, "RippeControl", "波纹控制", &WriteRippeControl)
{
    QMetaObject::connectSlotsByName(this);
}

void RippeControl::on_RippeControl_2_clicked(bool checked)
{
    WriteClickedState(checked);
}

StraightLine::StraightLine(QWidget *parent)
    : OnOffPanel(parent, "StraightLine", "直线修正", &WriteStraightLine)
{
    QMetaObject::connectSlotsByName(this);
}

void StraightLine::on_StraightLine_2_clicked(bool checked)
{
    WriteClickedState(checked);
}

MotionSync::MotionSync(QWidget *parent)
    : OnOffPanel(parent, "MotionSync", "motion sync", &WriteMotionSync)
{
    QMetaObject::connectSlotsByName(this);
}

void MotionSync::on_MotionSync_2_clicked(bool checked)
{
    WriteClickedState(checked);
}
