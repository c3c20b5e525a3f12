#pragma once
// The agent's log file, "Update.log" in the product's data folder. Lines are
// written only while the reader's debug setting is 1; the file is opened and
// closed for every line and never truncated.
#include <QString>

class QFile;

class CUP_Log
{
public:
    CUP_Log() = delete;

    // Prepares the log folder and path; called first thing by main.
    static void CreateLog();
    // Appends "[CUP_Log][<time>]<message>\n" when logging is on.
    static void PrintLog(QString message);

private:
    static QFile* m_pFile;
};
