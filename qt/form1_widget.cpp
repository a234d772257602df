#include "qt/form1_widget.h"

#include "qt/caption_clock.h"
#include "qt/dir_list_box.h"
#include "qt/drive_list_box.h"
#include "qt/input_lock.h"
#include "qt/text_box.h"

#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QStyleOptionFrame>
#include <QTimer>
#include <array>

namespace vorlund::qt {
namespace {

void showMsgBox(const std::string& prompt, MsgBoxStyle style, const std::string& title)
{
    QMessageBox box(style == vbCritical ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdString(title), QString::fromStdString(prompt), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

template <typename Widget> Widget* make(QWidget* parent, const char* name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The room a line edit leaves its text: its frame and the margin it draws inside.
int textRoom(const QLineEdit& edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
    const int insideMargin = 2;
    return edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit).width() -
           2 * insideMargin;
}

} // namespace

Form1Widget::Form1Widget(SettingsStore& settings, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowIcon(QIcon(QStringLiteral(":/vorlund.ico")));
    createControls();
    m_form = std::make_unique<Form1>(
        Form1Controls{*this, *Drive1, *Drive2, *Dir1, *Dir2, *Text1, *Text2},
        Form1Services{[] { return dateTimeText(QDateTime::currentDateTime()).toStdString(); },
                      settings, showMsgBox, &systemFileOps(), Client{}});
    connect(Timer1, &QTimer::timeout, this, [this] { m_form->startPassUnlessOneRuns(); });
}

Form1Widget::~Form1Widget()
{
    m_form.reset();
}

void Form1Widget::createControls()
{
    for (int index = 0; index < 2; ++index) {
        Label1[index] = make<QLabel>(this, "Label1");
        Label1[index]->setText(QString::fromUtf8(Label1Captions[index]));
        Label1[index]->setProperty("Index", index);
    }
    Dir1 = make<DirListBox>(this, "Dir1");
    Drive1 = make<DriveListBox>(this, "Drive1");
    Drive2 = make<DriveListBox>(this, "Drive2");
    Dir2 = make<DirListBox>(this, "Dir2");
    Text1 = make<TextBox>(this, "Text1");
    Text2 = make<TextBox>(this, "Text2");
    m_failureLine = make<QLabel>(this, "failureLine");
    m_failureLine->setStyleSheet(
        QStringLiteral("color: ") +
        QColor(failureColour.red, failureColour.green, failureColour.blue).name());
    m_failureLine->setTextFormat(Qt::PlainText);
    m_progressLine = make<QLabel>(this, "progressLine");
    m_progressLine->setTextFormat(Qt::PlainText);
    m_progressLine->setAutoFillBackground(true);
    m_progressLine->hide();

    Twips twips{logicalDpiX(), 1.0};
    placeControls(twips);
    twips.scale = scaleToFit(twips.dpi, [this](Control control, const std::string& text) {
        return textWidthWithFrame(control, QString::fromStdString(text));
    });
    placeControls(twips);

    // A long pass greys the lists out; a short one shows nothing.
    m_selectionLock =
        new InputLock({Drive1, Drive2, Dir1, Dir2}, SelectionLock::greyOutDelay, this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
}

// In the order of the layout's controls.
std::array<QWidget*, 9> Form1Widget::controls() const
{
    return {Label1[0], Label1[1], Dir1, Drive1, Drive2, Dir2, Text1, Text2, m_failureLine};
}

void Form1Widget::placeControls(const Twips& twips)
{
    for (const auto& [control, rect] : controlPlaces) {
        const QRect geometry(twips.pixels(rect.left), twips.pixels(rect.top),
                             twips.pixels(rect.width), twips.pixels(rect.height));
        controls()[std::size_t(control)]->setGeometry(geometry);
        if (control == Control::FailureLine)
            m_progressLine->setGeometry(geometry);
    }
    resize(twips.pixels(clientWidthTwips), twips.pixels(clientHeightTwips));
}

// Measured on the controls as placed at the layout's own size.
int Form1Widget::textWidthWithFrame(Control control, const QString& text) const
{
    const QWidget& widget = *controls()[std::size_t(control)];
    const auto* edit = qobject_cast<const QLineEdit*>(&widget);
    const int room = edit ? textRoom(*edit) : widget.contentsRect().width();
    return widget.fontMetrics().horizontalAdvance(text) + widget.width() - room;
}

void Form1Widget::load()
{
    m_form->Form_Load();
    Timer1->start();
}

void Form1Widget::setCaption(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
}

void Form1Widget::lockSelections(bool locked)
{
    if (locked)
        m_selectionLock->lock();
    else
        m_selectionLock->unlock();
}

void Form1Widget::showFailures(const std::string& line, const std::string& details)
{
    m_failureLine->setText(QString::fromStdString(line));
    m_failureLine->setToolTip(QString::fromStdString(details));
}

void Form1Widget::showProgress(const std::string& text)
{
    m_progressLine->setText(QString::fromStdString(text));
    m_progressLine->setVisible(!text.empty());
}

void Form1Widget::post(std::function<void()> task)
{
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void Form1Widget::closeEvent(QCloseEvent* event)
{
    // A copy broken off keeps its source; the window need not wait for a long one to end.
    m_form->Form_Unload();
    QWidget::closeEvent(event);
}

} // namespace vorlund::qt
