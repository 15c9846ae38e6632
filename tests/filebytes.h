#pragma once

// What every folder's tests compare written files with.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace tav::test {

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tav::test
