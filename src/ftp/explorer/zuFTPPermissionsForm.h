#pragma once
// TFTPPermissionForm: the modal dialog that edits a Unix permission value as nine check boxes
// (read, write and execute for the owner, the group and the public). The value is the usual
// octal number written with decimal digits (755 for rwxr-xr-x); the panel shows it as the
// sum of the checked boxes.

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

class TFTPPermissionForm : public QDialog {
public:
    explicit TFTPPermissionForm(QWidget* parent = nullptr);

    // Checks each box whose bit is set in its digit (hundreds for the owner, tens for the
    // group, units for the public; read 4, write 2, execute 1) and clears the others.
    void SetPermissionValue(int value);
    // The number on the panel.
    int GetPermissionValue() const { return FValue; }

    QLabel* Header;
    QLabel* ValuePanel;
    // Owner read, write, execute; group read, write, execute; public read, write, execute.
    std::array<QCheckBox*, 9> Boxes{};
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

    // The decimal value each box stands for, in the order of Boxes.
    static constexpr std::array<int, 9> BoxValues = {400, 200, 100, 40, 20, 10, 4, 2, 1};

private:
    void DoChangePermission(int box, bool checked);

    int FValue = 0;
};
