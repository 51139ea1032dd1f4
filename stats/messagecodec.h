#pragma once

#include <QString>

class QTextCodec;

// The program's own messages are stored as CP1251 byte literals. Start-up
// installs the codec that decodes them; the form's UTF-8 texts never pass here.
namespace MessageCodec {

// Installs the codec for message literals. Null means Latin-1, as before any install.
void install(QTextCodec *codec);

// Installs the CP1251 codec, as start-up does; where the system has none, messages
// read as Latin-1.
void installCp1251();

// Decodes one message literal through the installed codec.
QString decode(const char *literal);

} // namespace MessageCodec
