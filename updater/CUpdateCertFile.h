#pragma once
// The trust-list run: refreshes up to two trust-certificate list files from
// the addresses on theApp's command line (-certeutlurl/-eutlfile,
// -certfatlurl/-fatlfile, -downtype) and prints one status number on standard
// output, the only thing the run writes there:
//   bits 0-7   result of the "certeutlurl" list, + 0x10000 when it was requested
//   bits 8-15  result of the "certfatlurl" list, + 0x1000000 when it was requested
//   0x10000000 when downtype is "auto"
// A list's result is 0 when it was fetched (or the server says it has no such
// file), 2 when its lock is held, its address or file name is unusable, or
// the transfer failed, ran past its deadline or brought an empty list; a
// failed list keeps its old file.
#include <QObject>
#include <QString>

class CUpdateCertFile : public QObject
{
    Q_OBJECT
public:
    explicit CUpdateCertFile(QObject* parent = nullptr);
    ~CUpdateCertFile() override;

    // Refreshes the requested lists and prints the status number (nothing
    // when neither address is given). Needs theApp and its command line.
    void UpdateFile();
    // One list: 0 or 2 as above.
    int UpdateFileEx(QString& url, QString& file);

public slots:
    void slotQueryModuleInfoFinish(QString filePath);
};
