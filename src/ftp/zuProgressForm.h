#pragma once
// TProgressForm: the small borderless window that shows the state of a blocking FTP transfer:
// a status text, a progress bar and a Cancel button. It stays above the program's windows,
// centred on the window it is made for, and blocks input to every other window while shown.
// Closing it frees it; while a cancel handler is set, closing it cancels instead.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

class TProgressForm : public QWidget {
public:
    // Centred on `centreOn` (the screen's centre without one); becomes the global ProgressForm.
    explicit TProgressForm(QWidget* centreOn);
    ~TProgressForm() override;

    // Sets the status text, then lets the application handle what is pending, so the window
    // shows the text at once in the middle of a blocking transfer.
    void SetStatusText(const std::string& text);
    std::string StatusText() const;
    // The bar at `position` of `maximum` bytes; a maximum of 0 shows work of unknown length.
    void SetProgress(std::int64_t position, std::int64_t maximum);

    // Run by Cancel (and by closing the window) while set.
    std::function<void()> OnCancel;

    QLabel* TextLabel;
    QProgressBar* ProgressBar;
    QPushButton* CancelButton;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Cancel();
};

// The progress window while one exists, else null.
extern TProgressForm* ProgressForm;
