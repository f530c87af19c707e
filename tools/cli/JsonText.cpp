#include "tools/cli/JsonText.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <cstdio>

std::string JsonText::quoted(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(QByteArray::fromStdString(bytes));
    if (decoder.hasError())
        text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    const QByteArray utf8 = text.toUtf8();
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}
