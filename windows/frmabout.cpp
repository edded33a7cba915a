#include "windows/frmabout.h"

#include "services/runtimeservices.h"
#include "windows/contrast.h"
#include "windows/labelfit.h"
#include "windows/layout.h"
#include "windows/syscolor.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace {

// The etched rule: a grey line with a two-pixel white line just below it. The widget spans
// the client's width; the lines are drawn where the design puts them, end points excluded
// as the system draws lines. The grey stays on every ordinary scheme, even on Windows Classic's
// grey (2.6 to 1); only a high-contrast scheme that hides it has its text colour draw that line.
class EtchedRule : public QWidget
{
public:
    static constexpr int Top = twipsToPixels(2445);

    explicit EtchedRule(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int end = twipsToPixels(5654);
        const QColor dark = contrast::markColour(QColor(128, 128, 128), palette(), syscolor::highContrast());
        painter.fillRect(QRect(QPoint(twipsToPixels(90), twipsToPixels(2445) - Top),
                               QPoint(end - 1, twipsToPixels(2445) - Top)),
                         dark);
        painter.fillRect(QRect(QPoint(twipsToPixels(105), twipsToPixels(2460) - Top),
                               QPoint(end - 1, twipsToPixels(2460) - Top + 1)),
                         Qt::white);
    }
};

}

frmAbout::frmAbout(RuntimeServices &services, std::function<void()> startSysInfo, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_startSysInfo(std::move(startSysInfo))
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window keeps the box off the taskbar; fixed frame with a close button only.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFont(dialogFont());
    setSizeGripEnabled(false);

    buildControls();

    const QRect client = twipsRect(2340, 1935, 5730, 3075);
    setFixedSize(client.size());
    setGeometry(client);

    Form_Load();
}

void frmAbout::buildControls()
{
    const QFont font = dialogFont();
    using enum LabelSizing;

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon->setPixmap(QPixmap(PicturePath));
    // A picture box takes the keyboard focus, without showing it.
    picIcon->setFocusPolicy(Qt::StrongFocus);
    // It takes the focus, so a screen reader lands on it: say what it shows.
    picIcon->setAccessibleName(tr("Calculator"));
    const int border = 2 * picIcon->frameWidth();
    picIcon->setGeometry(
            QRect(twipsRect(120, 240, 0, 0).topLeft(), picIcon->pixmap().size() + QSize(border, border)));

    lblTitle = makeLabel(this, "lblTitle", {}, twipsRect(1560, 240, 3885, 480), font, Fixed);
    lblVersion = makeLabel(this, "lblVersion", {}, twipsRect(1560, 840, 3885, 225), font, Fixed);
    // The description is kept as written, misspellings included.
    lblDescription = makeLabel(this, "lblDescription",
                               //: "mathimatical", "expriance", "challange" and "accurace" are
                               //: misspelt on purpose; spell your language correctly.
                               tr("A Pellavin program designed to build mathimatical skills. Users "
                                  "will expriance some challange in the beginning, but towards the "
                                  "end of the sessions the goal is to improve your speed and accurace "
                                  "when solving the questions given."),
                               twipsRect(1560, 1125, 3885, 1170), font, Fixed);
    narrowToFit(lblDescription);
    setBlackText();

    Line1 = new EtchedRule(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setGeometry(0, EtchedRule::Top, twipsToPixels(5730), 3);

    cmdOK = makeButton(this, "cmdOK", tr("OK"), twipsRect(2880, 2640, 1260, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = makeButton(this, "cmdSysInfo", tr("&System Info..."), twipsRect(4260, 2640, 1245, 345));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    setTabOrder(cmdOK, picIcon);
    setTabOrder(picIcon, cmdSysInfo);
    setTabOrder(cmdSysInfo, cmdOK);
    cmdOK->setFocus();
}

void frmAbout::setBlackText()
{
    // Black, unless a scheme's dark window would hide it.
    contrast::setTextColour(lblTitle, Qt::black);
    contrast::setTextColour(lblDescription, Qt::black);
}

void frmAbout::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        setBlackText();
    QDialog::changeEvent(event);
}

void frmAbout::Form_Load()
{
    //: %1 is the program's name.
    setWindowTitle(tr("About %1").arg(m_services.appTitle()));
    //: Major, minor and revision number.
    setLabelText(lblVersion, tr("Version %1.%2.%3")
                                     .arg(m_services.appMajor())
                                     .arg(m_services.appMinor())
                                     .arg(m_services.appRevision()));
    setLabelText(lblTitle, m_services.appTitle());
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    if (m_startSysInfo)
        m_startSysInfo();
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // OK is the cancel button too: Esc presses it rather than rejecting behind its back.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cmdOK->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
