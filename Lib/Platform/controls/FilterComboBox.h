#pragma once
// A drop-down of file filters, as the file dialogs take them: "Description|mask|Description|mask",
// a mask being patterns separated by ";". It shows the descriptions; its mask is the chosen
// filter's. OnChange runs when the user or SetFilter changes the chosen filter.

#include <QComboBox>

#include <functional>
#include <string>

class TFilterComboBox : public QComboBox {
public:
    explicit TFilterComboBox(QWidget* parent = nullptr);

    // Replaces the filters; the first one is chosen. Pieces without a mask are dropped.
    void SetFilter(const std::string& filter);
    const std::string& Filter() const { return FFilter; }
    // The chosen filter's mask, "" when there is none.
    std::string Mask() const;

    std::function<void()> OnChange;

private:
    std::string FFilter;
};
