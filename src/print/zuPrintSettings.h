#pragma once
// The [Print] section of the main settings file and the print component: read at start, written
// by the page setup dialog. Each key read defaults to the component's current value.

class TIniFileEx;
class TSrcEditPrint;

void ReadPrintSettings(const TIniFileEx& ini, TSrcEditPrint& print);
// Writes every key, in the order the page setup dialog writes them.
void WritePrintSettings(TIniFileEx& ini, TSrcEditPrint& print);
