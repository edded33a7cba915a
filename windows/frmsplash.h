#pragma once

#include "cursor/animatedcursor.h"
#include "windows/cursorguard.h"

#include <QWidget>

class CaptionFrame;
class Forms;
class QLabel;
class RuntimeServices;

// The first window: title, version and logo, and the greeting cursor. A character key or a
// click on its frame, logo or labels hands over to the main window.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    inline static const QString HelloCursorFile = QStringLiteral("Cursors\\Calc-Hello.ani");

    // Runs the load step: the labels are filled in and the greeting cursor installed.
    frmSplash(RuntimeServices &services, cursorplatform::CursorPlatform &cursors, Forms &forms,
              QWidget *parent = nullptr);
    ~frmSplash() override;

    AnimatedCursor &animatedCursor() { return m_cursor; }

    void Form_Load();
    void Form_Resize();
    void Form_KeyPress(int KeyAscii);
    void Form_Terminate();
    void tmrCursorSecurity_Timer();
    void Frame1_Click();
    void imgLogo_Click();
    void lblCompany_Click();
    void lblCompanyProduct_Click();
    void lblCopyright_Click();
    void lblPlatform_Click();
    void lblProductName_Click();
    void lblVersion_Click();

    CursorGuard *tmrCursorSecurity = nullptr;
    CaptionFrame *Frame1 = nullptr;
    QLabel *imgLogo = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblCompany = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblPlatform = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblCompanyProduct = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildControls();
    void loadLogo();
    void unloadAndShowMath();
    void unloadPictures();
    void clicked();

    RuntimeServices &m_services;
    Forms &m_forms;
    AnimatedCursor m_cursor;
};
