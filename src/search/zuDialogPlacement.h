#pragma once
// Where the search dialogs open: in the middle of the screen that holds their program window,
// whatever window opened them.

class QWidget;

void CentreOnScreen(QWidget& window);
