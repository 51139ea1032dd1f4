#include "messagecodec.h"

#include <QTextCodec>

namespace {
// Codecs belong to Qt's codec registry and live as long as the process; null means Latin-1.
QTextCodec *messageCodec = nullptr;
} // namespace

namespace MessageCodec {

void installCp1251()
{
    messageCodec = QTextCodec::codecForName("CP1251");
}

QString decode(const char *literal)
{
    return messageCodec ? messageCodec->toUnicode(literal) : QString::fromLatin1(literal);
}

} // namespace MessageCodec
