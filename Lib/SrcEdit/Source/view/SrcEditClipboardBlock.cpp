// The editor's private clipboard format and the data it travels in.

#include "SrcEdit/Source/view/SrcEditClipboardBlock.h"

#include <QMimeData>
#include <cstring>

namespace {

// The format name a process registers; it becomes the MIME type.
constexpr const char* BlockFormatName = "SrcEdit Control Block Type";

} // namespace

QString SrcEditBlockMimeType()
{
    return QStringLiteral("application/x-zentu-") + QString::fromLatin1(BlockFormatName).toLower().replace(' ', '-');
}

QByteArray SrcEditMakeBlock(TSrcSelectionMode mode, const std::string& text)
{
    QByteArray block;
    block.reserve(static_cast<qsizetype>(text.size()) + 2);
    block.append(static_cast<char>(mode));
    block.append(text.data(), static_cast<qsizetype>(text.size()));
    block.append('\0');
    return block;
}

bool SrcEditReadBlock(const QByteArray& block, TSrcSelectionMode& mode, std::string& text)
{
    // invariant: nothing is read beyond the block's real size; a block that does not hold its
    // own terminating 0 is not trusted at all.
    if (block.size() < 2)
        return false;
    const auto modeByte = static_cast<unsigned char>(block[0]);
    if (modeByte > static_cast<unsigned char>(TSrcSelectionMode::smColumn))
        return false;
    const char* body = block.constData() + 1;
    const auto room = static_cast<size_t>(block.size() - 1);
    const void* terminator = std::memchr(body, '\0', room);
    if (!terminator)
        return false;
    mode = static_cast<TSrcSelectionMode>(modeByte);
    text.assign(body, static_cast<size_t>(static_cast<const char*>(terminator) - body));
    return true;
}

std::string SrcEditPlainText(const std::string& text)
{
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            plain += text[i];
            continue;
        }
        plain += '\n';
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    return plain;
}

void SrcEditFillMimeData(QMimeData& data, TSrcSelectionMode mode, const std::string& text)
{
    const std::string plain = SrcEditPlainText(text);
    data.setData(QStringLiteral("text/plain"), QByteArray(plain.data(), static_cast<qsizetype>(plain.size())));
    data.setData(SrcEditBlockMimeType(), SrcEditMakeBlock(mode, text));
}
