#pragma once
// What the logger would write, and a file's bytes: shared by the logger's
// tests and its never-used-logger process.
#include "AUILibLogger.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <sstream>
#include <string>

inline std::wstring LogText()
{
    std::wostringstream out;
    AUILibLogger::GetInstance().WriteLog(out);
    return out.str();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
