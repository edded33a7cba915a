#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class RuntimeServices;

// The About box: title, version, a description and the way to the system-information tool.
// Modeless and without an owner; OK (or Esc, or the close button) closes and discards it.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    inline static const QString PicturePath = QStringLiteral(":/pictures/calculator.jpg");

    // startSysInfo is the launcher behind System Info; the box only calls it.
    frmAbout(RuntimeServices &services, std::function<void()> startSysInfo, QWidget *parent = nullptr);

    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();

    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    // Both lines of the etched rule between the text and the buttons.
    QWidget *Line1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void setBlackText();
    void Form_Load();

    RuntimeServices &m_services;
    std::function<void()> m_startSysInfo;
};
