#include "skeld_path.h"

std::string toSkeldPath(const QString& path)
{
    return path.toStdString();  // UTF-8
}

QString fromSkeldPath(const std::string& path)
{
    return QString::fromStdString(path);
}
