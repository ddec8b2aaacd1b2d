#include "search/zuSearchHistory.h"

#include "settings/zuSettings.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Strings.h"

#include <QComboBox>

#include <algorithm>

std::vector<std::string> ReadSearchHistory(const TIniFileEx& ini, std::string_view section)
{
    TStringList list;
    ReadNumberedList(ini, section, list);
    std::vector<std::string> history;
    for (int i = 0; i < list.Count(); ++i)
        history.push_back(list[i]);
    return history;
}

void PushSearchHistory(std::vector<std::string>& history, const std::string& text)
{
    if (text.empty())
        return;
    const QString wanted = QStr(text);
    const auto same = std::find_if(history.begin(), history.end(), [&wanted](const std::string& entry) {
        return QStr(entry).compare(wanted, Qt::CaseInsensitive) == 0;
    });
    if (same == history.end()) {
        history.insert(history.begin(), text);
        return;
    }
    std::rotate(history.begin(), same, same + 1);
}

void WriteSearchHistory(TIniFileEx& ini, std::string_view section, const std::vector<std::string>& history,
                        const std::vector<std::string_view>& keepKeys)
{
    TStringList list;
    for (const std::string& entry : history)
        list.Add(entry);
    WriteNumberedList(ini, section, list, MaxSearchHistory, keepKeys);
}

void FillHistoryBox(QComboBox& box, const std::vector<std::string>& history, const std::string& text)
{
    box.clear();
    for (const std::string& entry : history)
        box.addItem(QStr(entry));
    box.setEditText(QStr(text));
}

std::vector<std::string> HistoryOfBox(const QComboBox& box)
{
    std::vector<std::string> history;
    for (int i = 0; i < box.count(); ++i)
        history.push_back(StdStr(box.itemText(i)));
    return history;
}
