#include "skeld_path.h"

#include <QFile>

std::string toSkeldPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromSkeldPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
