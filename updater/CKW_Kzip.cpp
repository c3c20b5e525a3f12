#include "CKW_Kzip.h"

#include "CUP_Log.h"
#include "KzipUnpack.h"
#include "UpdaterApp.h"

#include <unistd.h>

namespace {

QString uncompressFolder()
{
    return UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater/uncompress/");
}

void agentLog(const QString& line)
{
    CUP_Log::PrintLog(line);
}

int unpack(const QString& package, const QString& outputFolder, KzipUnpack::Form form)
{
    // A folder of the caller's own choosing is taken as its path leads.
    if (!UpdaterApp::IsAgentFolderPath(outputFolder))
        return KzipUnpack::unpack(package, outputFolder, uncompressFolder(), form, agentLog);
    // The agent's folders are reached from the data folder down without
    // following a link, and the unpack works relative to what was reached:
    // a link planted at any level cannot send the package elsewhere.
    const int temp = UpdaterApp::OpenAgentFolder(uncompressFolder(), Platform::FolderWalk::Open);
    const int result = KzipUnpack::unpackInto(
        package, [&outputFolder] { return UpdaterApp::OpenAgentFolder(outputFolder, Platform::FolderWalk::MakeOwn); },
        temp, form, agentLog);
    if (temp >= 0)
        ::close(temp);
    return result;
}

} // namespace

CKW_Kzip::CKW_Kzip() = default;

CKW_Kzip::~CKW_Kzip() = default;

int CKW_Kzip::Unzip2(QString& package, QString& outputFolder)
{
    return unpack(package, outputFolder, KzipUnpack::Form::Current);
}

int CKW_Kzip::Unzip(QString& package, QString& outputFolder)
{
    return unpack(package, outputFolder, KzipUnpack::Form::Legacy);
}

bool CKW_Kzip::UnzipFileToFile(QString& lzmaFile, QString& outputFile)
{
    return KzipUnpack::decodeFile(lzmaFile, outputFile, UINT64_MAX, agentLog);
}

unsigned long CKW_Kzip::RunCRC32(const unsigned char* data, unsigned long length, unsigned long polynomial)
{
    // The tables for the format's polynomial are built once, not per call.
    return KzipUnpack::crc(uint32_t(polynomial & 0xFFFFFFFFul), data, length);
}

void CKW_Kzip::BuildTable64(unsigned long polynomial, unsigned long* table)
{
    for (unsigned long i = 0; i < 256; ++i) {
        unsigned long c = i << 24;
        unsigned long r = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((c ^ r) & 0x80000000ul)
                r = ((r << 1) & 0xFFFFFFFFul) ^ polynomial;
            else
                r = (r << 1) & 0xFFFFFFFFul;
            c = (c << 1) & 0xFFFFFFFFul;
        }
        table[i] = r;
    }
}

void CKW_Kzip::BuildTable32(unsigned long polynomial, unsigned long* table)
{
    for (unsigned long i = 0; i < 256; ++i) {
        unsigned long c = i << 24;
        unsigned long r = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if ((c ^ r) & 0x80000000ul)
                r = (r << 1) ^ polynomial;
            else
                r = r << 1;
            c = c << 1;
        }
        table[i] = r;
    }
}

bool CKW_Kzip::MyReadFile(FILE* stream, void* buffer, unsigned long count)
{
    if (!stream || (!buffer && count))
        return false;
    return std::fread(buffer, 1, count, stream) == count;
}
