#pragma once

#include <QFileInfo>
#include <QString>
#include <string>

// How the window turns what report/messages.cpp words into what it shows.

// A sentence as shown.
inline QString Text(const std::string& sentence) {
    return QString::fromStdString(sentence);
}

// A file's name as the status line and the path fields show it: upper case,
// without folders.
inline QString ShownFileName(const QString& path) {
    return QFileInfo(path).fileName().toUpper();
}
inline std::string Name(const QString& path) {
    return ShownFileName(path).toStdString();
}
