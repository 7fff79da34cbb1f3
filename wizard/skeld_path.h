// Paths as Skeld and its shared code take them: UTF-8 on Windows, where
// Skeld converts at the system's wide calls; on POSIX the bytes the file
// system holds. Never the local 8-bit code page, which cannot hold every name.
#pragma once

#include <QString>
#include <string>

std::string toSkeldPath(const QString& path);
QString fromSkeldPath(const std::string& path);
