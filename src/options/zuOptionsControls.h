#pragma once
// The controls the two options dialogs place, made and laid out one way: pages of a page
// control with a form layout, labelled edits of the control library, the "&Apply" and
// "&Cancel" buttons, and the small input rules the dialogs share.

#include <functional>
#include <string>

class QBoxLayout;
class QDialog;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QValidator;
class QWidget;
class TExDirectoryEdit;
class TExFilenameEdit;
class TExPageControl;
class TExSpinEdit;

// A new page at the end of the page control, with a form layout for its fields.
QFormLayout* AddFormPage(TExPageControl& pages, const std::string& caption);
// A file-name edit whose browse button offers `filter` ("Description|masks|..."); without
// `typing` the name can only be chosen through the button.
TExFilenameEdit* AddFileEdit(QFormLayout& form, const std::string& caption, const std::string& filter, bool typing);
TExDirectoryEdit* AddFolderEdit(QFormLayout& form, const std::string& caption);
QLineEdit* AddLineEdit(QFormLayout& form, const std::string& caption);
// A spin edit bounded to minimum..maximum, checked while typing and on leaving it.
TExSpinEdit* AddSpinEdit(QFormLayout& form, const std::string& caption, int minimum, int maximum);
// A spin edit on its own, bounded like AddSpinEdit's.
TExSpinEdit* MakeSpinEdit(QWidget* parent, int minimum, int maximum);

// Refuses blanks typed or pasted into the edit.
QValidator* NoBlanksValidator(QWidget* parent);
// What is typed shows in lower case.
void KeepLowerCase(QLineEdit& edit);

// "&Apply" (the default button) and "&Cancel" (Esc, result Cancel) at the right of a row
// added to `layout`; the row is returned.
QBoxLayout* AddDialogButtons(QBoxLayout& layout, QDialog& dialog, QPushButton*& apply, QPushButton*& cancel);

// Runs a handler of a button or control; an exception is shown by the application's handler
// instead of reaching Qt.
void RunGuarded(const std::function<void()>& handler);
