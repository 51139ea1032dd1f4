#pragma once

#include <QString>

// The program's own messages are stored as CP1251 byte literals. Start-up
// installs the codec that decodes them; the form's UTF-8 texts never pass here.
namespace MessageCodec {

// Installs the CP1251 codec, as start-up does. Before that, or where the system has
// no such codec, messages read as Latin-1.
void installCp1251();

// Decodes one message literal through the installed codec.
QString decode(const char *literal);

} // namespace MessageCodec
