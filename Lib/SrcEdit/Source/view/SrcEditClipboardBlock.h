#pragma once
// The editor's private clipboard format "SrcEdit Control Block Type" and the data it travels in
// on the clipboard and in drags: the selection mode byte, the text and a terminating 0, beside
// the same text as plain text with Linux line breaks.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>

class QMimeData;

// "application/x-zentu-srcedit-control-block-type".
QString SrcEditBlockMimeType();

// Mode byte, text, 0: text size + 2 bytes.
QByteArray SrcEditMakeBlock(TSrcSelectionMode mode, const std::string& text);

// Reads a block that may come from another process: false, and nothing read, unless it holds a
// known mode byte and a terminating 0 within its real size. The text ends at the first 0.
bool SrcEditReadBlock(const QByteArray& block, TSrcSelectionMode& mode, std::string& text);

// The text as other programs take it: every line break (CR LF, CR) becomes LF.
std::string SrcEditPlainText(const std::string& text);

// The text in the private format (line breaks as the editor joins them) and as plain text
// (UTF-8, LF line breaks), into `data`.
void SrcEditFillMimeData(QMimeData& data, TSrcSelectionMode mode, const std::string& text);
