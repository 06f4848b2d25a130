#include "app/formsplash.h"

#include "app/appinfo.h"
#include "app/platform.h"
#include "app/shape.h"
#include "app/svgpicture.h"
#include "app/uihelpers.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace app {

namespace {

const QColor kNavy(0, 0, 128);

/// A link in the about window: a click on it opens its target and leaves the window open.
class LinkLabel : public QLabel
{
public:
    LinkLabel(QWidget* parent, const QString& name, const QString& text, QRect geometry,
              std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setObjectName(name);
        setTextFormat(Qt::PlainText);
        setGeometry(geometry);
        setFont(arial(13));
        QPalette p = palette();
        p.setColor(QPalette::WindowText, kNavy);
        setPalette(p);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        event->accept(); // not a click on the window: it must not close it
        onClick_();
    }

private:
    std::function<void()> onClick_;
};

bool isSpanish(const QString& code)
{
    return code == QLatin1String("SPA") || code == QLatin1String("ESP");
}

} // namespace

FormSplash::FormSplash(Role role, Platform& platform, const QString& languageCode, QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint), platform_(platform), languageCode_(languageCode)
{
    setObjectName(QStringLiteral("FormSplash"));
    setWindowTitle(kProgramName); // no title bar shows it, but the desktop lists the window by it
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(kSize);
    setBackground(this, QColor(80, 128, 240));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    buildControls();
    Form_Load();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(400);
    timer1_->setSingleShot(true);
    connect(timer1_, &QTimer::timeout, this, &QWidget::close);
    if (role == Role::Splash)
        timer1_->start();
}

void FormSplash::buildControls()
{
    // A white frame round the window, and white bands behind the logo and the links.
    auto* frame =
        new Shape(this, QStringLiteral("Shape1(2)"), {4, 5, 462, 310}, Qt::transparent, Qt::white);
    frame->setBorderWidth(2);
    new Shape(this, QStringLiteral("Shape1(1)"), {9, 11, 452, 73}, Qt::white);
    new Shape(this, QStringLiteral("Shape1(0)"), {9, 203, 452, 73}, Qt::white);
    new SvgPicture(this, QStringLiteral("Image1"), QStringLiteral(":/art/logo.svg"),
                   {17, 14, 105, 49});

    lblTIT1_ = makeLabel(this, QStringLiteral("LblTIT1"), QString(), {22, 112, 426, 24}, arial(16),
                         Qt::white);
    lblTIT1_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblTIT2_ = makeLabel(this, QStringLiteral("LblTIT2"), QString(), {17, 147, 435, 55}, arial(16),
                         Qt::white);
    lblTIT2_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblVersion_ = makeLabel(this, QStringLiteral("lblVersion"), QString(), {300, 218, 154, 18},
                            arial(13), kNavy);
    lblVersion_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    makeLabel(this, QStringLiteral("lblCopyright"),
              QStringLiteral("\u00a9 2026 Lumbrix Software. Free for teaching and learning."),
              {13, 287, 297, 17}, arial(11), Qt::white);

    lblWEB_ = new LinkLabel(this, QStringLiteral("LblWEB"), kMakerHost, {23, 219, 176, 17},
                            [this] { LblWEB_Click(); });
    auto* mail = new LinkLabel(this, QStringLiteral("LlblMAIL"), kContactAddress,
                               {23, 244, 156, 17}, [this] { LlblMAIL_Click(); });
    mail->setToolTip(kContactMail);
}

bool FormSplash::spanish() const
{
    return isSpanish(languageCode_);
}

void FormSplash::Form_Load()
{
    lblVersion_->setText(
        (spanish() ? QStringLiteral("Versi\u00f3n: ") : QStringLiteral("Version: ")) +
        QString::number(kVersionMajor) + QLatin1Char('.') + QString::number(kVersionMinor));
    lblTIT1_->setText(QStringLiteral("Acidora"));
    lblTIT2_->setText(QStringLiteral("Acid base titration calculator"));
    lblWEB_->setToolTip(spanish() ? kMakerHost + QStringLiteral("/indexes.html") : kMakerHost);
}

void FormSplash::LblWEB_Click()
{
    platform_.opener.open(
        QUrl(spanish() ? kSpanishIndexPage : kHomePage), this, [this](bool opened) {
            if (opened)
                return;
            if (spanish())
                platform_.messages.show(
                    this, MessageBoxes::Icon::Exclamation,
                    QStringLiteral("No se puede abrir la p\u00e1gina"),
                    QStringLiteral("No se puede abrir la p\u00e1gina ") + kMakerHost +
                        QStringLiteral("/indexes.html\r\nAseg\u00farese de tener una conexi\u00f3n "
                                       "activa a internet y un navegador instalado."));
            else
                platform_.messages.show(this, MessageBoxes::Icon::Exclamation, kProgramName,
                                        QStringLiteral("Sorry, cannot connect to ") + kMakerHost);
        });
}

void FormSplash::LlblMAIL_Click()
{
    platform_.opener.open(QUrl(kContactMail), this, [this](bool opened) {
        if (!opened)
            mailFailed();
    });
}

void FormSplash::mailFailed()
{
    if (spanish())
        platform_.messages.show(
            this, MessageBoxes::Icon::Exclamation, QStringLiteral("No se puede acceder al correo"),
            QStringLiteral("No se puede acceder al correo.\r\nAseg\u00farese de tener una "
                           "conexi\u00f3n activa a internet y un lector de correos instalado."));
    else
        platform_.messages.show(
            this, MessageBoxes::Icon::Exclamation, kProgramName,
            QStringLiteral("Sorry, cannot found your email client application."));
}

void FormSplash::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

void FormSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

void FormSplash::closeEvent(QCloseEvent* event)
{
    // Show the main window first, so that the program never runs out of windows.
    if (!closing_) {
        closing_ = true;
        timer1_->stop();
        emit closing();
    }
    event->accept();
}

} // namespace app
