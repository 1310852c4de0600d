// File names from the command line, kept byte for byte. A Linux file name
// is any bytes, not always UTF-8; Qt would turn the bytes that are no UTF-8
// into replacement characters and the file could no longer be found. They
// are carried instead as the lone surrogates U+DC80..U+DCFF, one per byte,
// and given back as those bytes when the file is opened.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdio>

namespace bl {

QString argument_text(const char *argument);
QByteArray file_name_bytes(const QString &name);

// Opens a file named on the command line for reading (binary); nullptr and
// errno when it cannot (a folder is refused with EISDIR).
std::FILE *open_for_reading(const QString &name);

// Creates the file new (never over another, nor through a link) and opens
// it for unbuffered writing; false and errno (EEXIST where anything of the
// name is there, a dangling link too) where it cannot.
bool create_new(QFile &file, const QString &name);
// Whether anything has the name: a file, a folder, a link leading nowhere.
bool name_taken(const QString &name);
// Creates the folder and those above it that are missing.
bool make_folders(const QString &name);
// The user's home folder as the environment names it, its bytes kept.
QString home_folder();

} // namespace bl
