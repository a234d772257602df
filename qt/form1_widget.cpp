#include "qt/form1_widget.h"

#include "qt/caption_clock.h"
#include "qt/dir_list_box.h"
#include "qt/drive_list_box.h"
#include "qt/input_lock.h"
#include "qt/text_box.h"

#include <QAccessibleWidget>
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

// A plain widget window reads as a filler, not as a frame with a title; the failure line is a
// notification, which a screen reader speaks as it shows, and a long move's progress the status
// that a screen reader reads on demand.
QAccessibleInterface* accessibleRole(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->isWindow() && widget->objectName() == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (widget && widget->objectName() == QLatin1String("failureLine"))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    if (widget && widget->objectName() == QLatin1String("progressLine"))
        return new QAccessibleWidget(widget, QAccessible::StatusBar);
    return nullptr;
}

} // namespace

Form1Widget::Form1Widget(SettingsStore& settings, QWidget* parent) : QWidget(parent)
{
    [[maybe_unused]] static const bool rolesKnown =
        (QAccessible::installFactory(accessibleRole), true);
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
    m_failureLine->hide();
    m_progressLine = make<QLabel>(this, "progressLine");
    m_progressLine->setTextFormat(Qt::PlainText);
    m_progressLine->setAutoFillBackground(true);
    m_progressLine->hide();

    // Named by the column's label; AT-SPI names a drop-down list by its value, and its label by
    // the buddy's relation.
    Dir1->setAccessibleName(Label1[0]->text());
    Dir2->setAccessibleName(Label1[1]->text());
    Label1[0]->setBuddy(Drive1);
    Label1[1]->setBuddy(Drive2);
    Text1->setAccessibleName(QString::fromUtf8(countNames[0]));
    Text2->setAccessibleName(QString::fromUtf8(countNames[1]));

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
    m_failureLine->setToolTip(QString::fromStdString(details));
    const QString text = QString::fromStdString(line);
    if (text == m_failureLine->accessibleName())
        return;
    // A long line gives up its middle, where a path stands, to keep what failed and why; the
    // tool tip and a screen reader have it whole.
    m_failureLine->setText(m_failureLine->fontMetrics().elidedText(
        text, Qt::ElideMiddle, m_failureLine->contentsRect().width()));
    m_failureLine->setAccessibleName(text);
    // Shown afresh, so that a screen reader speaks each new line.
    m_failureLine->hide();
    m_failureLine->setVisible(!text.isEmpty());
}

void Form1Widget::showProgress(const std::string& text)
{
    m_progressLine->setText(QString::fromStdString(text));
    m_progressLine->setAccessibleName(m_progressLine->text());
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
