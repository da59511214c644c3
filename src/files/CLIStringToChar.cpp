#include "CLIStringToChar.h"

#include <QByteArray>

std::string CLIStringToChar(const QString& str) {
    // Characters the encoding cannot hold come back as Qt's substitute; the size is taken from the
    // array so that an embedded zero does not cut the name short.
    const QByteArray bytes = str.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
