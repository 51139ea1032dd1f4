#include "messagecodec.h"

#include <QTextCodec>

namespace {
// Codecs belong to Qt's codec registry and live as long as the process.
QTextCodec *messageCodec = nullptr;
} // namespace

namespace MessageCodec {

void install(QTextCodec *codec)
{
    messageCodec = codec;
}

void installCp1251()
{
    install(QTextCodec::codecForName("CP1251"));
}

QString decode(const char *literal)
{
    return messageCodec ? messageCodec->toUnicode(literal) : QString::fromLatin1(literal);
}

} // namespace MessageCodec
