#include "Platform/controls/FilterComboBox.h"

#include <QSignalBlocker>

TFilterComboBox::TFilterComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (OnChange)
            OnChange();
    });
}

void TFilterComboBox::SetFilter(const std::string& filter)
{
    FFilter = filter;
    {
        const QSignalBlocker block(this);
        clear();
        std::size_t start = 0;
        while (start < filter.size()) {
            const std::size_t bar = filter.find('|', start);
            if (bar == std::string::npos)
                break;
            const std::size_t end = std::min(filter.find('|', bar + 1), filter.size());
            const std::string description = filter.substr(start, bar - start);
            const std::string mask = filter.substr(bar + 1, end - bar - 1);
            if (!mask.empty())
                addItem(QString::fromStdString(description), QString::fromStdString(mask));
            start = end + 1;
        }
        setCurrentIndex(count() > 0 ? 0 : -1);
    }
    if (OnChange)
        OnChange();
}

std::string TFilterComboBox::Mask() const
{
    return currentIndex() < 0 ? std::string() : currentData().toString().toStdString();
}
