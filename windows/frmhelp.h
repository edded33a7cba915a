#pragma once

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

// A fixed page of advice on the levels and on answering. OK closes and discards it;
// Esc does nothing.
class frmHelp : public QDialog
{
    Q_OBJECT

public:
    explicit frmHelp(QWidget *parent = nullptr);

    void OKButton_Click();

    QLabel *Label1 = nullptr;
    // One control of three elements, one line per level: each is named "Label2" and carries
    // its element number in the property "index".
    std::array<QLabel *, 3> Label2{};
    QLabel *Label3 = nullptr;
    QPushButton *OKButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
