#include "windows/frmhelp.h"

#include "windows/labelfit.h"
#include "windows/layout.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel *makeHelpLabel(QWidget *parent, const char *name, const QString &text, const QRect &box)
{
    QLabel *label = makeLabel(parent, name, text, box, dialogFont(), LabelSizing::Fixed);
    label->setAutoFillBackground(true);
    narrowToFit(label);
    return label;
}

}

frmHelp::frmHelp(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window keeps it off the taskbar; fixed frame with a close button only.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowTitle(tr("Help using Pellavin"));
    setFont(dialogFont());
    setSizeGripEnabled(false);

    // The help texts are kept as written, misspellings included.
    Label1 = makeHelpLabel(this, "Label1",
                           tr("Use the difficulty settings to choose the difficulty which most "
                              "suits you."),
                           twipsRect(120, 120, 4335, 495));
    const QString levels[] = {
            //: The level names are the Difficulty menu's items.
            tr("Beginner - Only addition and subtraction(+,-)"),
            tr("Intermediate - Only addition, subtraction, and multiplication.(+,-,*)"),
            //: "mathimatical" is misspelt on purpose; spell your language correctly.
            tr("Advanced - All four mathimatical operators will be used.(+,-,*,/)"),
    };
    const QRect levelBoxes[] = {twipsRect(120, 720, 4455, 255), twipsRect(120, 1080, 4575, 255),
                                twipsRect(120, 1440, 4575, 255)};
    for (std::size_t i = 0; i < Label2.size(); ++i) {
        Label2[i] = makeHelpLabel(this, "Label2", levels[i], levelBoxes[i]);
        Label2[i]->setProperty("index", static_cast<int>(i));
    }
    Label3 = makeHelpLabel(this, "Label3",
                           //: "but answer correctly" is a slip for "but answer wrongly"; say
                           //: what is meant: you get 3 chances after a wrong answer.
                           tr("Answer the questions as they are given to you (20 questions is "
                              "all), and use the submit button to submit your answers. If you "
                              "feel you need to skip the question, click 'Next Question', this "
                              "will count as a wrong answer. If you do choose to do the question, "
                              "but answer correctly, you will have 3 chances to get the right "
                              "answer before you are given the next question."),
                           twipsRect(120, 1800, 4575, 1215));

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setFont(dialogFont());
    OKButton->setGeometry(twipsRect(3600, 3120, 1215, 375));
    // Neither default nor cancel button: Enter presses it only because it holds the focus.
    OKButton->setDefault(false);
    OKButton->setAutoDefault(true);
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, &frmHelp::OKButton_Click);

    const QRect client = twipsRect(2760, 3750, 4890, 3615);
    setFixedSize(client.size());
    setGeometry(client);
}

void frmHelp::OKButton_Click()
{
    close();
}

void frmHelp::keyPressEvent(QKeyEvent *event)
{
    // The window has no cancel button, so Esc must not reject the dialog.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
